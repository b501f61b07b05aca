#include "channel/NamedMutex.h"

#include "channel/OpenSecurity.h"
#include "platform/kernel/Handles.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Synchronization.h"

NamedMutex::NamedMutex(HANDLE existing) {
    if (existing != nullptr && existing != INVALID_HANDLE_VALUE) {
        handle = existing;
        borrowed = TRUE;
    }
}

NamedMutex::~NamedMutex() {
    if (handle == nullptr) return;
    if (locked) Unlock();
    if (!borrowed) CloseHandle(handle);
}

int NamedMutex::Create(const char* name, bool allowExisting, const BOOL* inheritFlag,
                       const SECURITY_ATTRIBUTES* externalAttributes) {
    if (handle != nullptr) return borrowed ? -1 : -2;
    if (inheritFlag != nullptr) {
        securityDescriptor.reset();
        auto descriptor = std::make_unique<SECURITY_DESCRIPTOR>();
        if (!OpenSecurity::Initialize(*descriptor)) return -1;
        securityDescriptor = std::move(descriptor);
        securityAttributes = SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), securityDescriptor.get(), *inheritFlag};
    }
    handle = CreateMutexA(securityDescriptor ? &securityAttributes : externalAttributes, FALSE, name);
    DWORD error = GetLastError();
    // A name that exists but may not be opened counts as existing too.
    if (!allowExisting && (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED)) {
        if (handle != nullptr) CloseHandle(handle);
        handle = nullptr;
        return -2;
    }
    return handle != nullptr ? 0 : -1;
}

int NamedMutex::Open(const char* name, BOOL inherit, DWORD desiredAccess) {
    if (handle != nullptr) return -1;
    handle = OpenMutexA(desiredAccess, inherit, name);
    return handle != nullptr ? 0 : -1;
}

int NamedMutex::Lock(DWORD timeoutMs, HANDLE cancel) {
    if (handle == nullptr) return -3;
    if (locked) return 0;
    const HANDLE waits[2] = {handle, cancel};
    switch (WaitForMultipleObjects(cancel ? 2 : 1, waits, FALSE, timeoutMs)) {
        case WAIT_OBJECT_0:
            locked = TRUE;
            return 0;
        case WAIT_ABANDONED:
            locked = TRUE;
            return -1;
        default:
            return -1;
    }
}

int NamedMutex::Unlock() {
    if (handle == nullptr) return -3;
    if (!locked) return 0;
    // A release that fails means the mutex is not ours any more (another process wrote its word,
    // or shrank its file): believing otherwise would let every later Lock through unowned.
    locked = FALSE;
    return ReleaseMutex(handle) ? 0 : -1;
}
