#pragma once
// A named event shared between processes. The service creates its events; clients open them.

#include "platform/kernel/WinTypes.h"

class NamedEvent {
public:
    explicit NamedEvent(HANDLE existing = nullptr);
    ~NamedEvent();
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    // Service side: creates the event (or opens the existing one), open to every local user or
    // with default security (its creator's alone). 0, or -1 when it fails or a handle is held
    // already.
    int Create(const char* name, bool manualReset, bool initialState, bool openToAll = true);
    // -1 if a handle is held already or the event cannot be opened; else 0.
    int Open(const char* name, BOOL inherit);
    bool Set();
    bool Reset();
    // True exactly when the event was signalled within the time-out.
    bool Wait(DWORD timeoutMs);

    HANDLE Handle() const { return handle; }

private:
    HANDLE handle = nullptr;
    BOOL borrowed = FALSE;
};
