#pragma once
// A named mutex shared between processes. Results: 0 success, -1 failure, -2 the object exists
// already (or this wrapper holds one), -3 no handle.

#include <memory>

#include "platform/kernel/WinTypes.h"

class NamedMutex {
public:
    explicit NamedMutex(HANDLE existing = nullptr);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // With `inheritFlag` given, the mutex gets a security descriptor that lets every local user
    // open it; else `externalAttributes` (or the default security) apply.
    int Create(const char* name, bool allowExisting, const BOOL* inheritFlag = nullptr,
               const SECURITY_ATTRIBUTES* externalAttributes = nullptr);
    int Open(const char* name, BOOL inherit, DWORD desiredAccess);
    // 0 once owned; -1 on time-out, failure, or an abandoned mutex. An abandoned mutex is owned
    // all the same (the wait hands it over), so Unlock and the destructor release it.
    // A `cancel` event, when given and set, ends the wait: -1, not owned.
    int Lock(DWORD timeoutMs, HANDLE cancel = nullptr);
    // -1 when the release fails; the wrapper owns nothing afterwards either way.
    int Unlock();

    HANDLE Handle() const { return handle; }
    bool IsLocked() const { return locked != 0; }

private:
    HANDLE handle = nullptr;
    BOOL borrowed = FALSE;
    BOOL locked = FALSE;
    std::unique_ptr<SECURITY_DESCRIPTOR> securityDescriptor;
    SECURITY_ATTRIBUTES securityAttributes{};
};
