#include "platform/window/NonClientScrollBars.h"

#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/ScrollBarPainter.h"
#include "platform/window/ScrollBarStore.h"
#include "platform/window/ScrollBarTracker.h"
#include "platform/window/Windows.h"

namespace {

// Where a window's bars and size box are, on the screen.
struct Placement {
    RECT window{};
    RECT vertical{};
    RECT horizontal{};
    RECT box{};
};

Placement PlacementOf(HWND hwnd) {
    Placement p;
    RECT client;
    if (!GetWindowRect(hwnd, &p.window) || !GetClientRect(hwnd, &client)) return p;
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    // A bar is there when the style asks for it and the frame made room for it.
    const bool v = (style & WS_VSCROLL) && p.window.right - client.right >= cx;
    const bool h = (style & WS_HSCROLL) && p.window.bottom - client.bottom >= cy;
    if (v) p.vertical = RECT{client.right, client.top, client.right + cx, client.bottom};
    if (h) p.horizontal = RECT{client.left, client.bottom, client.right, client.bottom + cy};
    if (v && h) p.box = RECT{client.right, client.bottom, client.right + cx, client.bottom + cy};
    return p;
}

RECT InWindow(RECT r, const RECT& window) {
    OffsetRect(&r, -window.left, -window.top);
    return r;
}

}  // namespace

void NonClientScrollBars::CalcSize(DWORD style, RECT& client) {
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    if ((style & WS_VSCROLL) && client.right - client.left >= cx) client.right -= cx;
    if ((style & WS_HSCROLL) && client.bottom - client.top >= cy) client.bottom -= cy;
}

LRESULT NonClientScrollBars::HitTest(HWND hwnd, POINT screen) {
    const Placement p = PlacementOf(hwnd);
    if (PtInRect(&p.vertical, screen)) return HTVSCROLL;
    if (PtInRect(&p.horizontal, screen)) return HTHSCROLL;
    return HTNOWHERE;
}

void NonClientScrollBars::Paint(HWND hwnd, HDC windowDc) {
    const Placement p = PlacementOf(hwnd);
    for (int bar : {SB_VERT, SB_HORZ}) {
        const RECT& r = bar == SB_VERT ? p.vertical : p.horizontal;
        if (IsRectEmpty(&r)) continue;
        const ScrollBarState state = ScrollBarStore::Get(hwnd, bar);
        ScrollBarPainter::Paint(windowDc, ScrollBarLayout(InWindow(r, p.window), bar == SB_VERT, state), state);
    }
    if (!IsRectEmpty(&p.box)) ScrollBarPainter::PaintSizeBox(windowDc, InWindow(p.box, p.window));
}

void NonClientScrollBars::ButtonDown(HWND hwnd, WPARAM hit, LPARAM screen) {
    if (hit == static_cast<WPARAM>(HTVSCROLL))
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_VSCROLL | hit, screen);
    else if (hit == static_cast<WPARAM>(HTHSCROLL))
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_HSCROLL | hit, screen);
}

bool NonClientScrollBars::SysCommand(HWND hwnd, WPARAM command, LPARAM screen) {
    const WPARAM which = command & 0xFFF0;
    if (which != SC_VSCROLL && which != SC_HSCROLL) return false;
    const int bar = which == SC_VSCROLL ? SB_VERT : SB_HORZ;
    const RECT where = OnScreen(hwnd, bar);
    if (IsRectEmpty(&where)) return true;
    ScrollBarTracker::Track(ScrollBarTracker::Target{hwnd, bar, bar == SB_VERT, where, hwnd, 0},
                            POINT{GET_X_LPARAM(screen), GET_Y_LPARAM(screen)});
    return true;
}

void NonClientScrollBars::Show(HWND hwnd, DWORD bits, bool show) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    const DWORD wanted = show ? style | bits : style & ~bits;
    if (wanted == style) return;
    RECT before, after;
    GetClientRect(hwnd, &before);
    SetWindowLongPtrA(hwnd, GWL_STYLE, wanted);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(hwnd, &after);
    // The window's size stayed, so SetWindowPos announced none; its client area changed.
    if (after.right != before.right || after.bottom != before.bottom)
        SendMessageA(hwnd, WM_SIZE, (wanted & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELPARAM(after.right, after.bottom));
}

void NonClientScrollBars::Redraw(HWND hwnd, int bar) {
    if (bar == SB_CTL) {
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    // The frame alone: an empty client area to invalidate.
    const RECT none{};
    RedrawWindow(hwnd, &none, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

RECT NonClientScrollBars::OnScreen(HWND hwnd, int bar) {
    const Placement p = PlacementOf(hwnd);
    return bar == SB_VERT ? p.vertical : bar == SB_HORZ ? p.horizontal : RECT{};
}
