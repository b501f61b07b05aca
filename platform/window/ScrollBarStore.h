#pragma once
// The scroll bars of every window, by handle: a window's horizontal and vertical bar and a
// control's own (SB_CTL). Any thread may ask. One lock guards the table; it is held only to copy
// or change a bar, never while a message is sent or a window is looked at. A window's bars go
// with it (WM_NCDESTROY); bars of windows whose procedure kept WM_NCDESTROY from DefWindowProc
// are swept out as the table grows.

#include <cstddef>
#include <mutex>

#include "platform/window/ScrollBarState.h"

class ScrollBarStore {
public:
    // A copy of a bar; the defaults when nothing was set yet.
    static ScrollBarState Get(HWND hwnd, int bar);
    // Changes a bar under the lock and returns it as it is afterwards. `hwnd` must be a window.
    template <class Change>
    static ScrollBarState Update(HWND hwnd, int bar, Change&& change) {
        std::lock_guard guard(Lock());
        ScrollBarState& state = Slot(hwnd, bar);
        change(state);
        return state;
    }
    static void Forget(HWND hwnd);
    static std::size_t Windows();  // how many windows have bars kept

private:
    static std::mutex& Lock();
    static ScrollBarState& Slot(HWND hwnd, int bar);  // under the lock; made on first use
};
