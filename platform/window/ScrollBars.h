#pragma once
// Scroll bars: the ones a window gets from WS_HSCROLL and WS_VSCROLL in its non-client area, and
// the ones of a "ScrollBar" control (SB_CTL), under the platform's names. A bar reports to its
// window with WM_HSCROLL / WM_VSCROLL (the control's: to its parent, lParam = the control).

#include "platform/window/WindowTypes.h"

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// Which bar.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

// Scroll requests (LOWORD of WM_HSCROLL / WM_VSCROLL's wParam; HIWORD is the position for the
// thumb requests).
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// EnableScrollBar.
constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_LTUP = 0x0001;
constexpr UINT ESB_DISABLE_RTDN = 0x0002;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;
constexpr UINT ESB_DISABLE_LEFT = ESB_DISABLE_LTUP;
constexpr UINT ESB_DISABLE_UP = ESB_DISABLE_LTUP;
constexpr UINT ESB_DISABLE_RIGHT = ESB_DISABLE_RTDN;
constexpr UINT ESB_DISABLE_DOWN = ESB_DISABLE_RTDN;

// ScrollWindowEx.
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;

// The control's styles.
constexpr DWORD SBS_HORZ = 0x0000;
constexpr DWORD SBS_VERT = 0x0001;

// The control's messages: the functions below send them for SB_CTL. SBM_SETPOS: wParam the
// position, lParam redraw, returns the previous one; SBM_SETRANGE(REDRAW): wParam and lParam the
// minimum and maximum, returns the previous position; SBM_GETRANGE: wParam and lParam point to
// them; SBM_ENABLE_ARROWS: wParam ESB_*, TRUE when it changed; SBM_SETSCROLLINFO: wParam redraw,
// lParam the SCROLLINFO, returns the new position; SBM_GETSCROLLINFO: lParam the SCROLLINFO.
constexpr UINT SBM_SETPOS = 0x00E0;
constexpr UINT SBM_GETPOS = 0x00E1;
constexpr UINT SBM_SETRANGE = 0x00E2;
constexpr UINT SBM_GETRANGE = 0x00E3;
constexpr UINT SBM_ENABLE_ARROWS = 0x00E4;
constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
constexpr UINT SBM_GETSCROLLINFO = 0x00EA;

// A press on a window's bar reaches DefWindowProc as WM_SYSCOMMAND with these (| the hit test),
// which tracks the bar.
constexpr WPARAM SC_VSCROLL = 0xF070;
constexpr WPARAM SC_HSCROLL = 0xF080;

// A standard bar's range starts as 0 to 100; a control's as 0 to 0. SCROLLINFO's cbSize must be
// sizeof(SCROLLINFO). Positions are clamped to [nMin, nMax - max(nPage - 1, 0)], nPage to the
// range. Setting the range or page of a window's bar shows it when the range exceeds a page and
// hides it otherwise (with SIF_DISABLENOSCROLL: keeps it, disabled); showing or hiding changes
// the client area, and the window gets WM_SIZE.

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);  // the new position
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);  // the previous position
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
// Moves the pixels of `scroll` (null: the client area) by (dx, dy), changing none outside `clip`
// (null: the client area), and gives what was uncovered in `update` and `updateRect`; with
// SW_INVALIDATE it is invalidated (SW_ERASE: erased too), with SW_SCROLLCHILDREN the children in
// `scroll` move along. On the window's own thread, which draws its surface. NULLREGION,
// SIMPLEREGION or COMPLEXREGION; ERROR for a bad window.
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags);

// Flat scroll bars (the list view's LVS_EX_FLATSB): the same bars drawn flat.
BOOL InitializeFlatSB(HWND hwnd);
BOOL UninitializeFlatSB(HWND hwnd);
// The flat bars' functions are the standard ones.
inline int FlatSB_SetScrollInfo(HWND h, int bar, const SCROLLINFO* i, BOOL redraw) {
    return SetScrollInfo(h, bar, i, redraw);
}
inline BOOL FlatSB_GetScrollInfo(HWND h, int bar, SCROLLINFO* i) { return GetScrollInfo(h, bar, i); }
inline int FlatSB_SetScrollPos(HWND h, int bar, int pos, BOOL redraw) { return SetScrollPos(h, bar, pos, redraw); }
inline int FlatSB_GetScrollPos(HWND h, int bar) { return GetScrollPos(h, bar); }
inline BOOL FlatSB_ShowScrollBar(HWND h, int bar, BOOL show) { return ShowScrollBar(h, bar, show); }
inline BOOL FlatSB_EnableScrollBar(HWND h, int bar, UINT arrows) {
    return EnableScrollBar(h, static_cast<UINT>(bar), arrows);
}
