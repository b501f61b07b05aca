// Changing the colour scheme and telling the windows.

#include <vector>

#include "platform/graphics/SystemColors.h"
#include "platform/kernel/LastError.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors) {
    if (!StoreSysColors(count, indexes, colors)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (count == 0) return TRUE;
    std::vector<HWND> topLevels;
    {
        Mutex::Guard guard(gWindowLock);
        for (const Window* w : WindowManager::Instance().TopLevels()) topLevels.push_back(w->handle);
    }
    // Sent without the lock: the calling thread's own windows are called right here. One destroyed
    // meanwhile is simply skipped.
    for (HWND hwnd : topLevels) SendNotifyMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}
