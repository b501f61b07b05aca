#pragma once
// Named mutexes and events, shared between processes, and the waits on them.
//
// Mutexes are owned by a thread and recursive; a mutex whose owner thread ended while owning it
// is reported as WAIT_ABANDONED to the next waiter, which then owns it. Events are auto-reset
// (a wait consumes the signal) or manual-reset. A wait spins briefly before it sleeps.
// WaitForMultipleObjects waits for any one object; waiting for all is not offered.
// An object whose file another process shrank is lost to this one: waits fail, and so do
// SetEvent, ResetEvent and ReleaseMutex, with ERROR_FILE_CORRUPT.

#include "platform/kernel/WinTypes.h"

HANDLE CreateMutexA(const SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, LPCSTR name);
HANDLE OpenMutexA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
// Linux extension: what CreateMutexA would report for `name`, without creating or opening
// anything: ERROR_ALREADY_EXISTS, ERROR_ACCESS_DENIED (exists, not for this user),
// ERROR_FILE_NOT_FOUND, ERROR_INVALID_HANDLE (another type), ERROR_INVALID_NAME. A name probed
// before costs one system call.
DWORD ProbeMutexA(LPCSTR name);
// Linux extension: TRUE when the mutex `name` exists and a thread that still runs owns it (in
// any process, this one included), without creating or opening anything. FALSE otherwise, with
// the last error ERROR_NOT_OWNER (nobody, or a thread that ended, owns it), ERROR_FILE_NOT_FOUND,
// ERROR_INVALID_HANDLE (another type), ERROR_ACCESS_DENIED or ERROR_INVALID_NAME. Holding the
// object open does not make it owned: only its owner decides, and others may not write its file
// unless it was made open to every user.
BOOL IsMutexOwnedA(LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);

HANDLE CreateEventA(const SECURITY_ATTRIBUTES* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
HANDLE OpenEventA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
// `alertable` is accepted and has no effect: nothing queues calls to a thread.
DWORD WaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, BOOL alertable);
