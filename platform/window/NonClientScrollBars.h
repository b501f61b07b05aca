#pragma once
// The bars of a window with WS_HSCROLL / WS_VSCROLL, in its non-client area: DefWindowProc
// reserves their room, draws them, hit-tests and tracks them through these. The vertical bar lies
// right of the client area, the horizontal one below it, and where both meet a size box fills the
// corner. The style bits are what shows a bar.

#include "platform/window/WindowTypes.h"

class NonClientScrollBars {
public:
    // WM_NCCALCSIZE: takes the bars' room from the client rectangle, where there is room for them.
    static void CalcSize(DWORD style, RECT& client);
    // WM_NCHITTEST: HTVSCROLL or HTHSCROLL for a screen point on a bar, else HTNOWHERE.
    static LRESULT HitTest(HWND hwnd, POINT screen);
    // WM_NCPAINT: the bars and the size box, into a context of the whole window.
    static void Paint(HWND hwnd, HDC windowDc);
    // WM_NCLBUTTONDOWN and WM_NCLBUTTONDBLCLK: a press on a bar becomes WM_SYSCOMMAND with
    // SC_VSCROLL or SC_HSCROLL, as on the platform.
    static void ButtonDown(HWND hwnd, WPARAM hit, LPARAM screen);
    // WM_SYSCOMMAND: tracks the bar for SC_VSCROLL / SC_HSCROLL; false for other commands.
    static bool SysCommand(HWND hwnd, WPARAM command, LPARAM screen);

    // Shows or hides the bars of `bits` (WS_HSCROLL, WS_VSCROLL); a window whose client area
    // changed gets WM_SIZE.
    static void Show(HWND hwnd, DWORD bits, bool show);
    // Draws a bar again in the next paint cycle: a window's frame, or a control's client area.
    static void Redraw(HWND hwnd, int bar);
    // A window's bar on the screen; empty when it shows none.
    static RECT OnScreen(HWND hwnd, int bar);
};
