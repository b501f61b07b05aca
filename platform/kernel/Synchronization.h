#pragma once
// Named mutexes and events, shared between processes, and the waits on them.
//
// Mutexes are owned by a thread and recursive; a mutex whose owner thread ended while owning it
// is reported as WAIT_ABANDONED to the next waiter, which then owns it. Events are auto-reset
// (a wait consumes the signal) or manual-reset. A wait spins briefly before it sleeps.
// WaitForMultipleObjects waits for any one object; waiting for all is not offered.

#include "platform/kernel/WinTypes.h"

HANDLE CreateMutexA(const SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, LPCSTR name);
HANDLE OpenMutexA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);

HANDLE CreateEventA(const SECURITY_ATTRIBUTES* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
HANDLE OpenEventA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
// `alertable` is accepted and has no effect: nothing queues calls to a thread.
DWORD WaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, BOOL alertable);
