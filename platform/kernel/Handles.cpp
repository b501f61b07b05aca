#include "platform/kernel/Handles.h"

#include "platform/kernel/KernelState.h"
#include "platform/kernel/LastError.h"

BOOL CloseHandle(HANDLE handle) {
    if (!kernel::KernelState::Instance().Handles().Close(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
