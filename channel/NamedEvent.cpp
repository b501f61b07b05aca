#include "channel/NamedEvent.h"

#include "channel/OpenSecurity.h"
#include "platform/kernel/Handles.h"
#include "platform/kernel/Synchronization.h"

namespace {
constexpr DWORD kEventOpenAccess = SYNCHRONIZE | EVENT_MODIFY_STATE;  // 0x100002
}

NamedEvent::NamedEvent(HANDLE existing) {
    if (existing != nullptr && existing != INVALID_HANDLE_VALUE) {
        handle = existing;
        borrowed = TRUE;
    }
}

NamedEvent::~NamedEvent() {
    if (handle != nullptr && !borrowed) CloseHandle(handle);
}

int NamedEvent::Create(const char* name, bool manualReset, bool initialState, bool openToAll) {
    if (handle != nullptr) return -1;
    OpenSecurity security;
    if (openToAll && !security.Attributes()) return -1;
    handle = CreateEventA(openToAll ? security.Attributes() : nullptr, manualReset, initialState, name);
    if (handle == nullptr) return -1;
    borrowed = FALSE;
    return 0;
}

int NamedEvent::Open(const char* name, BOOL inherit) {
    if (handle != nullptr) return -1;
    handle = OpenEventA(kEventOpenAccess, inherit, name);
    if (handle == nullptr) return -1;
    borrowed = FALSE;
    return 0;
}

bool NamedEvent::Set() { return handle != nullptr && SetEvent(handle); }

bool NamedEvent::Reset() { return handle != nullptr && ResetEvent(handle); }

bool NamedEvent::Wait(DWORD timeoutMs) {
    return handle != nullptr && WaitForSingleObject(handle, timeoutMs) == WAIT_OBJECT_0;
}
