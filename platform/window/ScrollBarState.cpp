#include "platform/window/ScrollBarState.h"

#include <algorithm>

bool ScrollBarState::Apply(const SCROLLINFO& info) {
    if ((info.fMask & SIF_RANGE) && info.nMin > info.nMax) return false;
    if (info.fMask & SIF_RANGE) {
        min = info.nMin;
        max = info.nMax;
    }
    if (info.fMask & SIF_PAGE) page = info.nPage;
    // 64 bits: a range from INT_MIN to INT_MAX holds 2^32 positions.
    const long long span = static_cast<long long>(max) - min + 1;
    page = static_cast<UINT>(std::min<long long>(page, span));
    if (info.fMask & SIF_POS) pos = info.nPos;
    pos = Clamp(pos);
    return true;
}

bool ScrollBarState::Set(const SCROLLINFO& info) {
    if (!Apply(info)) return false;
    if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
        if (Scrollable())
            disabled = ESB_ENABLE_BOTH;
        else if (info.fMask & SIF_DISABLENOSCROLL)
            disabled = ESB_DISABLE_BOTH;
    }
    return true;
}

void ScrollBarState::Fill(SCROLLINFO& info) const {
    if (info.fMask & SIF_RANGE) {
        info.nMin = min;
        info.nMax = max;
    }
    if (info.fMask & SIF_PAGE) info.nPage = page;
    if (info.fMask & SIF_POS) info.nPos = pos;
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = tracking ? trackPos : pos;
}

int ScrollBarState::Top() const {
    const long long top = static_cast<long long>(max) - std::max<long long>(static_cast<long long>(page) - 1, 0);
    return static_cast<int>(std::max<long long>(top, min));
}

int ScrollBarState::Clamp(long long position) const {
    return static_cast<int>(std::clamp<long long>(position, min, Top()));
}
