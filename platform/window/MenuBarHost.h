#pragma once
// How DefWindowProc reaches a window's menu bar without knowing menus: the controls layer
// registers one host when it registers its classes. Without a host, windows have no bar and
// the menu keys do nothing.

#include "platform/window/WindowTypes.h"

class MenuBarHost {
public:
    virtual ~MenuBarHost() = default;

    // Process-wide; the last one registered serves.
    static void Register(MenuBarHost* host);

    // A top-level window's menu, as CreateWindowExA's hMenu or SetMenu gave it (child windows
    // have none: their hMenu is their id).
    static HMENU MenuOf(HWND hwnd);
    static bool SetMenuOf(HWND hwnd, HMENU menu);

    // DefWindowProc's share, each a no-op without a host or a bar.
    // WM_NCCALCSIZE: the bar's rows come off the top of the client area `r`.
    static void ReserveBar(HWND hwnd, RECT* r);
    // WM_NCPAINT: draws the bar.
    static void PaintBar(HWND hwnd);
    // WM_NCHITTEST: HTMENU over the bar, else `hit`.
    static LRESULT HitTest(HWND hwnd, LPARAM screen, LRESULT hit);
    // The menu keys and the press on the bar (WM_NCLBUTTONDOWN, WM_NCMOUSEMOVE, WM_SYSKEYDOWN,
    // WM_SYSKEYUP, WM_SYSCHAR, WM_SYSCOMMAND with SC_KEYMENU and SC_MOUSEMENU, WM_ACTIVATE):
    // true when handled, with the result.
    static bool Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Lays the bar out for a window `width` pixels wide: its height (0 for an empty bar).
    virtual int BarHeight(HWND hwnd, HMENU menu, int width) = 0;
    // Draws it into the window's context; `bar` in window coordinates.
    virtual void Paint(HWND hwnd, HMENU menu, HDC windowDc, const RECT& bar) = 0;
    // The height it took at the last layout.
    virtual int LaidOutHeight(HMENU menu) = 0;
    // The menu loop from a press on the bar at a screen point.
    virtual void TrackMouse(HWND hwnd, POINT screen) = 0;
    // The menu loop from the keyboard: `key` 0 selects the bar's first item, ' ' opens the
    // system menu, any other character opens the item it is the mnemonic of.
    virtual void TrackKey(HWND hwnd, UINT key) = 0;
    // The pointer over the bar (or `onBar` false: it left) outside the loop.
    virtual void Hover(HWND hwnd, HMENU menu, POINT screen, bool onBar) = 0;
};
