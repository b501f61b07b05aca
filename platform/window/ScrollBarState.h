#pragma once
// The numbers of one scroll bar and the rules that keep them consistent. A value: the window
// system keeps one per bar of a window (ScrollBarStore) and hands out copies.

#include "platform/window/ScrollBars.h"

// The parts of a bar, from its top (left) end to its bottom (right) end.
enum class ScrollBarPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

class ScrollBarState {
public:
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    UINT disabled = ESB_ENABLE_BOTH;  // ESB_DISABLE_LTUP / RTDN: arrows that take no input
    bool flat = false;                // drawn flat (InitializeFlatSB)
    // While the bar is tracked: the thumb follows trackPos, and `pushed` is the part held down
    // while the pointer is on it.
    bool tracking = false;
    int trackPos = 0;
    ScrollBarPart pushed = ScrollBarPart::None;

    // Takes what `info` sets; the position is clamped afterwards whatever was set. A range whose
    // minimum exceeds its maximum is refused: nothing changes and the result is false.
    bool Apply(const SCROLLINFO& info);
    // SetScrollInfo: Apply, then a new range or page enables a bar that can scroll, and disables
    // one that cannot when SIF_DISABLENOSCROLL keeps it shown.
    bool Set(const SCROLLINFO& info);
    void Fill(SCROLLINFO& info) const;

    // The highest position: nMax - max(nPage - 1, 0), never below nMin.
    int Top() const;
    int Clamp(long long position) const;
    bool Scrollable() const { return Top() > min; }
    bool Enabled() const { return (disabled & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH; }
    bool ArrowEnabled(ScrollBarPart arrow) const {
        return !(disabled & (arrow == ScrollBarPart::LineUp ? ESB_DISABLE_LTUP : ESB_DISABLE_RTDN));
    }
    int ThumbPos() const { return tracking ? trackPos : pos; }

    bool operator==(const ScrollBarState&) const = default;
};
