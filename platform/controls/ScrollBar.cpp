#include "platform/controls/ScrollBar.h"

#include "platform/controls/ControlSupport.h"
#include "platform/graphics/Rects.h"
#include "platform/window/NonClientScrollBars.h"
#include "platform/window/ScrollBarPainter.h"
#include "platform/window/ScrollBarStore.h"
#include "platform/window/ScrollBarTracker.h"
#include "platform/window/Windows.h"

namespace {

bool Vertical(HWND hwnd) { return GetWindowLongPtrA(hwnd, GWL_STYLE) & SBS_VERT; }

void Notify(HWND hwnd, int request) {
    if (HWND parent = GetParent(hwnd))
        SendMessageA(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, 0),
                     reinterpret_cast<LPARAM>(hwnd));
}

SCROLLINFO Info(UINT mask, int minPos = 0, int maxPos = 0, int pos = 0) {
    return SCROLLINFO{sizeof(SCROLLINFO), mask, minPos, maxPos, 0, pos, 0};
}

}  // namespace

bool ScrollBar::Register() { return ControlSupport::Register(WC_SCROLLBARA, Proc, IDC_ARROW); }

LRESULT CALLBACK ScrollBar::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the bar covers all of it
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (OnKey(hwnd, static_cast<int>(wParam), message == WM_KEYDOWN)) return 0;
            return DefWindowProcA(hwnd, message, wParam, lParam);
        case SBM_SETSCROLLINFO:
            return OnSetScrollInfo(hwnd, reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0);
        case SBM_GETSCROLLINFO:
            return OnGetScrollInfo(hwnd, reinterpret_cast<SCROLLINFO*>(lParam));
        case SBM_SETPOS: {
            int previous = 0;
            const SCROLLINFO info = Info(SIF_POS, 0, 0, static_cast<int>(wParam));
            OnSetScrollInfo(hwnd, &info, lParam != 0, &previous);
            return previous;
        }
        case SBM_GETPOS:
            return ScrollBarStore::Get(hwnd, SB_CTL).pos;
        case SBM_SETRANGE:
        case SBM_SETRANGEREDRAW: {
            int previous = 0;
            const SCROLLINFO info = Info(SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam));
            OnSetScrollInfo(hwnd, &info, message == SBM_SETRANGEREDRAW, &previous);
            return previous;
        }
        case SBM_GETRANGE: {
            const ScrollBarState s = ScrollBarStore::Get(hwnd, SB_CTL);
            if (auto* minPos = reinterpret_cast<int*>(wParam)) *minPos = s.min;
            if (auto* maxPos = reinterpret_cast<int*>(lParam)) *maxPos = s.max;
            return 0;
        }
        case SBM_ENABLE_ARROWS:
            return OnEnableArrows(hwnd, static_cast<UINT>(wParam));
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void ScrollBar::OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) {
        RECT client;
        GetClientRect(hwnd, &client);
        ScrollBarState state = ScrollBarStore::Get(hwnd, SB_CTL);
        if (!IsWindowEnabled(hwnd)) state.disabled = ESB_DISABLE_BOTH;
        ScrollBarPainter::Paint(hdc, ScrollBarLayout(client, Vertical(hwnd), state), state);
    }
    EndPaint(hwnd, &ps);
}

void ScrollBar::OnButtonDown(HWND hwnd, POINT client) {
    if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_TABSTOP) SetFocus(hwnd);
    RECT bar;
    GetClientRect(hwnd, &bar);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&bar), 2);
    ClientToScreen(hwnd, &client);
    ScrollBarTracker::Track(
        ScrollBarTracker::Target{hwnd, SB_CTL, Vertical(hwnd), bar, GetParent(hwnd), reinterpret_cast<LPARAM>(hwnd)},
        client);
}

bool ScrollBar::OnKey(HWND hwnd, int vk, bool down) {
    int request;
    switch (vk) {
        case VK_UP:
        case VK_LEFT:
            request = SB_LINEUP;
            break;
        case VK_DOWN:
        case VK_RIGHT:
            request = SB_LINEDOWN;
            break;
        case VK_PRIOR:
            request = SB_PAGEUP;
            break;
        case VK_NEXT:
            request = SB_PAGEDOWN;
            break;
        case VK_HOME:
            request = SB_TOP;
            break;
        case VK_END:
            request = SB_BOTTOM;
            break;
        default:
            return false;
    }
    if (ScrollBarStore::Get(hwnd, SB_CTL).Enabled()) Notify(hwnd, down ? request : SB_ENDSCROLL);
    return true;
}

LRESULT ScrollBar::OnSetScrollInfo(HWND hwnd, const SCROLLINFO* info, bool redraw, int* previous) {
    if (!info || info->cbSize != sizeof(SCROLLINFO)) return 0;
    bool changed = false;
    const ScrollBarState after = ScrollBarStore::Update(hwnd, SB_CTL, [&](ScrollBarState& s) {
        const ScrollBarState before = s;
        if (previous) *previous = s.pos;
        s.Set(*info);
        changed = !(before == s);
    });
    if (redraw && changed) NonClientScrollBars::Redraw(hwnd, SB_CTL);
    return after.pos;
}

LRESULT ScrollBar::OnGetScrollInfo(HWND hwnd, SCROLLINFO* info) {
    if (!info || info->cbSize != sizeof(SCROLLINFO)) return FALSE;
    ScrollBarStore::Get(hwnd, SB_CTL).Fill(*info);
    return TRUE;
}

LRESULT ScrollBar::OnEnableArrows(HWND hwnd, UINT arrows) {
    bool changed = false;
    ScrollBarStore::Update(hwnd, SB_CTL, [&](ScrollBarState& s) {
        changed = s.disabled != (arrows & ESB_DISABLE_BOTH);
        s.disabled = arrows & ESB_DISABLE_BOTH;
    });
    if (changed) NonClientScrollBars::Redraw(hwnd, SB_CTL);
    return changed ? TRUE : FALSE;
}
