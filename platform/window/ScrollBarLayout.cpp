#include "platform/window/ScrollBarLayout.h"

#include <algorithm>

#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

ScrollBarLayout::ScrollBarLayout(const RECT& bar, bool vertical, const ScrollBarState& state)
    : bar_(bar), vertical_(vertical), state_(state) {
    const int length = std::max<int>(0, vertical ? Height(bar) : Width(bar));
    const int thickness = std::max<int>(0, vertical ? Width(bar) : Height(bar));
    // A bar shorter than its two arrows squeezes them and has no track.
    arrow_ = std::min(thickness, length / 2);
    trackStart_ = (vertical ? bar.top : bar.left) + arrow_;
    trackLength_ = length - 2 * arrow_;
    if (!state.Enabled() || !state.Scrollable()) return;
    const long long span = static_cast<long long>(state.max) - state.min + 1;
    int thumb = state.page ? static_cast<int>(trackLength_ * static_cast<long long>(state.page) / span)
                           : GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    thumb = std::max(thumb, kMinThumb);
    if (thumb >= trackLength_) return;  // no room for a thumb that can move
    thumbLength_ = thumb;
    const long long free = trackLength_ - thumbLength_;
    const long long positions = static_cast<long long>(state.Top()) - state.min;
    const long long at = static_cast<long long>(state.Clamp(state.ThumbPos())) - state.min;
    thumbOffset_ = static_cast<int>((free * at + positions / 2) / positions);
}

RECT ScrollBarLayout::Span(int from, int to) const {
    if (to <= from) return RECT{};
    return vertical_ ? RECT{bar_.left, from, bar_.right, to} : RECT{from, bar_.top, to, bar_.bottom};
}

RECT ScrollBarLayout::PartRect(ScrollBarPart part) const {
    const int start = vertical_ ? bar_.top : bar_.left;
    const int end = vertical_ ? bar_.bottom : bar_.right;
    switch (part) {
        case ScrollBarPart::LineUp:
            return Span(start, start + arrow_);
        case ScrollBarPart::LineDown:
            return Span(end - arrow_, end);
        case ScrollBarPart::PageUp:
            return HasThumb() ? Span(trackStart_, ThumbStart()) : RECT{};
        case ScrollBarPart::Thumb:
            return HasThumb() ? Span(ThumbStart(), ThumbStart() + thumbLength_) : RECT{};
        case ScrollBarPart::PageDown:
            return HasThumb() ? Span(ThumbStart() + thumbLength_, trackStart_ + trackLength_) : RECT{};
        case ScrollBarPart::None:
            break;
    }
    return RECT{};
}

ScrollBarPart ScrollBarLayout::PartAt(POINT p) const {
    for (ScrollBarPart part : {ScrollBarPart::LineUp, ScrollBarPart::LineDown, ScrollBarPart::PageUp,
                               ScrollBarPart::Thumb, ScrollBarPart::PageDown}) {
        const RECT r = PartRect(part);
        if (PtInRect(&r, p)) return part;
    }
    return ScrollBarPart::None;
}

int ScrollBarLayout::PositionForThumbAt(int start) const {
    if (!HasThumb()) return state_.pos;
    const long long free = trackLength_ - thumbLength_;
    const long long offset = std::clamp<long long>(start - trackStart_, 0, free);
    const long long positions = static_cast<long long>(state_.Top()) - state_.min;
    return state_.Clamp(state_.min + (offset * positions + free / 2) / free);
}
