// The scroll bar functions. A window's own bars keep their numbers in the store and are drawn and
// tracked in its non-client area; for SB_CTL the functions send the control its SBM_ messages.

#include "platform/window/ScrollBars.h"

#include <limits>

#include "platform/window/NonClientScrollBars.h"
#include "platform/window/ScrollBarStore.h"
#include "platform/window/Windows.h"

namespace {

bool IsWindowBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

DWORD StyleOf(int bar) { return bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL | WS_VSCROLL; }

bool Valid(const SCROLLINFO* info) { return info && info->cbSize == sizeof(SCROLLINFO); }

// SetScrollInfo on a window's bar: the numbers, then the bar shown or hidden as the range asks.
// The position before goes to `previous`.
int SetWindowBar(HWND hwnd, int bar, const SCROLLINFO& info, BOOL redraw, int* previous = nullptr) {
    bool changed = false;
    const ScrollBarState after = ScrollBarStore::Update(hwnd, bar, [&](ScrollBarState& s) {
        const ScrollBarState before = s;
        if (previous) *previous = s.pos;
        s.Set(info);
        changed = !(before == s);
    });
    if (info.fMask & (SIF_RANGE | SIF_PAGE))
        NonClientScrollBars::Show(hwnd, StyleOf(bar), after.Scrollable() || (info.fMask & SIF_DISABLENOSCROLL));
    if (redraw && changed) NonClientScrollBars::Redraw(hwnd, bar);
    return after.pos;
}

}  // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (!Valid(info)) return 0;
    if (bar == SB_CTL)
        return static_cast<int>(SendMessageA(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
    if (!IsWindowBar(bar) || !IsWindow(hwnd)) return 0;
    return SetWindowBar(hwnd, bar, *info, redraw);
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    if (!Valid(info) || !(info->fMask & SIF_ALL)) return FALSE;
    if (bar == SB_CTL) return SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE : FALSE;
    if (!IsWindowBar(bar) || !IsWindow(hwnd)) return FALSE;
    ScrollBarStore::Get(hwnd, bar).Fill(*info);
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (bar == SB_CTL) return static_cast<int>(SendMessageA(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
    if (!IsWindowBar(bar) || !IsWindow(hwnd)) return 0;
    int previous = 0;
    SetWindowBar(hwnd, bar, SCROLLINFO{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0}, redraw, &previous);
    return previous;
}

int GetScrollPos(HWND hwnd, int bar) {
    if (bar == SB_CTL) return static_cast<int>(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
    if (!IsWindowBar(bar) || !IsWindow(hwnd)) return 0;
    return ScrollBarStore::Get(hwnd, bar).pos;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    // The platform refuses a range wider than the largest int.
    if (minPos > maxPos || static_cast<long long>(maxPos) - minPos > std::numeric_limits<int>::max()) return FALSE;
    if (bar == SB_CTL) {
        if (!IsWindow(hwnd)) return FALSE;
        SendMessageA(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos), maxPos);
        return TRUE;
    }
    if (!IsWindowBar(bar) || !IsWindow(hwnd)) return FALSE;
    SetWindowBar(hwnd, bar, SCROLLINFO{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0}, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    if (!minPos || !maxPos) return FALSE;
    if (bar == SB_CTL) {
        if (!IsWindow(hwnd)) return FALSE;
        SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos), reinterpret_cast<LPARAM>(maxPos));
        return TRUE;
    }
    if (!IsWindowBar(bar) || !IsWindow(hwnd)) return FALSE;
    const ScrollBarState s = ScrollBarStore::Get(hwnd, bar);
    *minPos = s.min;
    *maxPos = s.max;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    if (!IsWindow(hwnd)) return FALSE;
    if (bar == SB_CTL) {
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    if (!IsWindowBar(bar) && bar != SB_BOTH) return FALSE;
    NonClientScrollBars::Show(hwnd, StyleOf(bar), show);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    arrows &= ESB_DISABLE_BOTH;
    if (bar == SB_CTL) return SendMessageA(hwnd, SBM_ENABLE_ARROWS, arrows, 0) ? TRUE : FALSE;
    if (bar > SB_BOTH || bar == SB_CTL || !IsWindow(hwnd)) return FALSE;
    bool changed = false;
    for (int b : {SB_HORZ, SB_VERT}) {
        if (bar != SB_BOTH && static_cast<int>(bar) != b) continue;
        ScrollBarStore::Update(hwnd, b, [&](ScrollBarState& s) {
            if (s.disabled == arrows) return;
            s.disabled = arrows;
            changed = true;
        });
        if (changed) NonClientScrollBars::Redraw(hwnd, b);
    }
    return changed ? TRUE : FALSE;
}

namespace {

BOOL SetFlat(HWND hwnd, bool flat) {
    if (!IsWindow(hwnd)) return FALSE;
    for (int bar : {SB_HORZ, SB_VERT}) ScrollBarStore::Update(hwnd, bar, [flat](ScrollBarState& s) { s.flat = flat; });
    NonClientScrollBars::Redraw(hwnd, SB_BOTH);
    return TRUE;
}

}  // namespace

BOOL InitializeFlatSB(HWND hwnd) { return SetFlat(hwnd, true); }
BOOL UninitializeFlatSB(HWND hwnd) { return SetFlat(hwnd, false); }
