#include "platform/kernel/Synchronization.h"

#include "platform/kernel/KernelState.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Security.h"
#include "platform/kernel/Waiter.h"

using kernel::KernelObject;
using kernel::KernelState;
using kernel::ObjectRecipe;
using kernel::ObjectType;

namespace {

HANDLE Finish(kernel::ObjectNamespace::Lookup found, DWORD access) {
    if (!found.object) {
        SetLastError(found.error);
        return nullptr;
    }
    HANDLE handle = KernelState::Instance().Handles().Insert(std::move(found.object), access);
    SetLastError(found.error);
    return handle;
}

// The object behind a handle, if it is of `type` and was opened with `access`.
std::shared_ptr<KernelObject> Resolve(HANDLE handle, ObjectType type, DWORD access) {
    DWORD granted = 0;
    auto object = KernelState::Instance().Handles().Get(handle, &granted);
    if (!object || object->Type() != type) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if ((granted & access) != access) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (object->Broken()) {
        SetLastError(ERROR_FILE_CORRUPT);
        return nullptr;
    }
    return object;
}

}  // namespace

HANDLE CreateMutexA(const SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, LPCSTR name) {
    ObjectRecipe recipe;
    recipe.type = ObjectType::Mutex;
    recipe.openToAll = IsOpenToEveryone(attributes);
    recipe.initiallyOwned = initialOwner != FALSE;
    return Finish(KernelState::Instance().Namespace().Create(name, recipe), MUTEX_ALL_ACCESS);
}

HANDLE OpenMutexA(DWORD desiredAccess, BOOL, LPCSTR name) {
    return Finish(KernelState::Instance().Namespace().Open(name, ObjectType::Mutex, true), desiredAccess);
}

DWORD ProbeMutexA(LPCSTR name) { return KernelState::Instance().Namespace().Probe(name, ObjectType::Mutex); }

BOOL IsMutexOwnedA(LPCSTR name) {
    const DWORD result = KernelState::Instance().Namespace().ProbeOwner(name);
    SetLastError(result);
    return result == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto object = Resolve(mutex, ObjectType::Mutex, 0);
    return object && object->ReleaseMutexOwnership() ? TRUE : FALSE;
}

HANDLE CreateEventA(const SECURITY_ATTRIBUTES* attributes, BOOL manualReset, BOOL initialState, LPCSTR name) {
    ObjectRecipe recipe;
    recipe.type = ObjectType::Event;
    recipe.openToAll = IsOpenToEveryone(attributes);
    recipe.manualReset = manualReset != FALSE;
    recipe.initialState = initialState != FALSE;
    return Finish(KernelState::Instance().Namespace().Create(name, recipe), EVENT_ALL_ACCESS);
}

HANDLE OpenEventA(DWORD desiredAccess, BOOL, LPCSTR name) {
    return Finish(KernelState::Instance().Namespace().Open(name, ObjectType::Event, true), desiredAccess);
}

BOOL SetEvent(HANDLE event) {
    auto object = Resolve(event, ObjectType::Event, EVENT_MODIFY_STATE);
    if (!object) return FALSE;
    object->SetEvent();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto object = Resolve(event, ObjectType::Event, EVENT_MODIFY_STATE);
    if (!object) return FALSE;
    object->ResetEvent();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjectsEx(1, &handle, FALSE, milliseconds, FALSE);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    return WaitForMultipleObjectsEx(count, handles, waitAll, milliseconds, FALSE);
}

DWORD WaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, BOOL) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr || waitAll) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::shared_ptr<KernelObject> held[MAXIMUM_WAIT_OBJECTS];  // keeps them alive while waiting
    KernelObject* objects[MAXIMUM_WAIT_OBJECTS];
    for (DWORD i = 0; i < count; ++i) {
        DWORD granted = 0;
        held[i] = KernelState::Instance().Handles().Get(handles[i], &granted);
        if (!held[i] || held[i]->Type() == ObjectType::Section) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (!(granted & SYNCHRONIZE)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return WAIT_FAILED;
        }
        objects[i] = held[i].get();
    }
    return kernel::Waiter::WaitAny(objects, count, milliseconds);
}
