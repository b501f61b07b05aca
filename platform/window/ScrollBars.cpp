// Placeholder: keeps each bar's numbers so that controls can be written against the functions;
// the bars are neither drawn nor tracked yet.

#include "platform/window/ScrollBars.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/kernel/Immortal.h"
#include "platform/window/Windows.h"

namespace {

struct Bars {
    std::mutex lock;
    std::map<std::pair<HWND, int>, SCROLLINFO> bars;  // guarded by lock
};

Bars& All() {
    static Immortal<Bars> bars;
    return *bars;
}

void Clamp(SCROLLINFO& s) {
    const int top = std::max(s.nMin, s.nMax - std::max(0, static_cast<int>(s.nPage) - 1));
    s.nPos = std::clamp(s.nPos, s.nMin, top);
}

}  // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL) {
    if (!info) return 0;
    std::lock_guard guard(All().lock);
    SCROLLINFO& s = All().bars[{hwnd, bar}];
    if (info->fMask & SIF_RANGE) {
        s.nMin = info->nMin;
        s.nMax = info->nMax;
    }
    if (info->fMask & SIF_PAGE) s.nPage = info->nPage;
    if (info->fMask & SIF_POS) s.nPos = info->nPos;
    Clamp(s);
    return s.nPos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    if (!info) return FALSE;
    std::lock_guard guard(All().lock);
    const SCROLLINFO s = All().bars[{hwnd, bar}];
    if (info->fMask & SIF_RANGE) {
        info->nMin = s.nMin;
        info->nMax = s.nMax;
    }
    if (info->fMask & SIF_PAGE) info->nPage = s.nPage;
    if (info->fMask & SIF_POS) info->nPos = s.nPos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.nPos;
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    const int previous = GetScrollPos(hwnd, bar);
    SCROLLINFO s{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &s, redraw);
    return previous;
}

int GetScrollPos(HWND hwnd, int bar) {
    SCROLLINFO s{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, bar, &s);
    return s.nPos;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    SCROLLINFO s{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
    SetScrollInfo(hwnd, bar, &s, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    SCROLLINFO s{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, bar, &s);
    if (minPos) *minPos = s.nMin;
    if (maxPos) *maxPos = s.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND, int, BOOL) { return TRUE; }
BOOL EnableScrollBar(HWND, UINT, UINT) { return TRUE; }

int ScrollWindowEx(HWND hwnd, int, int, const RECT*, const RECT*, HRGN, RECT*, UINT flags) {
    if (flags & SW_INVALIDATE) InvalidateRect(hwnd, nullptr, (flags & SW_ERASE) != 0);
    return 1;
}

BOOL InitializeFlatSB(HWND) { return TRUE; }
BOOL UninitializeFlatSB(HWND) { return TRUE; }
