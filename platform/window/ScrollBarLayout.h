#pragma once
// Where the parts of one bar lie: two arrows as long as the bar is thick, the track between them
// and the thumb on the track, sized by the page. Computed from a bar's rectangle (any
// coordinates) and its numbers; also the position that belongs to a dragged thumb.

#include "platform/window/ScrollBarState.h"

class ScrollBarLayout {
public:
    static constexpr int kMinThumb = 8;  // pixels: a thumb for a tiny page is still grabbable

    ScrollBarLayout(const RECT& bar, bool vertical, const ScrollBarState& state);

    const RECT& Bar() const { return bar_; }
    bool Vertical() const { return vertical_; }
    RECT PartRect(ScrollBarPart part) const;  // empty for a part that is not there
    bool HasThumb() const { return thumbLength_ > 0; }
    ScrollBarPart PartAt(POINT p) const;

    // Along the bar: a point's coordinate, and the thumb's start and length on the track.
    int Along(POINT p) const { return vertical_ ? p.y : p.x; }
    int Across(POINT p) const { return vertical_ ? p.x : p.y; }
    int ThumbStart() const { return trackStart_ + thumbOffset_; }
    // The position shown with the thumb's start at `start` along the bar (clamped to the track).
    int PositionForThumbAt(int start) const;

private:
    RECT Span(int from, int to) const;  // a piece of the bar between two coordinates along it

    RECT bar_;
    bool vertical_;
    ScrollBarState state_;
    int arrow_ = 0;       // each arrow's length
    int trackStart_ = 0;  // along the bar
    int trackLength_ = 0;
    int thumbLength_ = 0;  // 0: no thumb
    int thumbOffset_ = 0;  // from the track's start
};
