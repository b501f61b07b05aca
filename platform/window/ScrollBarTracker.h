#pragma once
// Tracks a press on a bar until the left button comes up: an arrow or the track scrolls at once
// and then repeats on a timer while the pointer stays on it (a page stops when the thumb reaches
// the pointer); the thumb follows the pointer with SB_THUMBTRACK and lands with
// SB_THUMBPOSITION; SB_ENDSCROLL ends every press. Runs in the modal loop with the mouse captured,
// so that sends from other threads keep being answered meanwhile.

#include "platform/window/ScrollBarState.h"

class ScrollBarTracker {
public:
    static constexpr UINT kFirstDelay = 200;  // ms before an arrow or page repeats
    static constexpr UINT kRepeatDelay = 50;  // ms between repeats
    static constexpr std::uintptr_t kTimerId = 0xFFFF5CB0;
    // How far across the bar (in bar thicknesses) the pointer may stray before a dragged thumb
    // goes back to where it started.
    static constexpr int kThumbReach = 4;

    struct Target {
        HWND hwnd;  // whose bar it is: takes the capture and the timer
        int bar;    // SB_HORZ, SB_VERT or SB_CTL
        bool vertical;
        RECT screen;     // the bar on the screen
        HWND notify;     // gets WM_HSCROLL / WM_VSCROLL
        LPARAM control;  // their lParam: the control, or 0 for a window's own bar
    };

    // False when the press at `screen` hit nothing that takes input (a disabled arrow, no bar).
    static bool Track(const Target& target, POINT screen);
};
