#include "platform/window/ScrollBarPainter.h"

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

namespace {

// Alternate pixels in two colours, the pattern fixed to the surface so that strips drawn apart
// join up.
void Checker(HDC hdc, const RECT& r, COLORREF first, COLORREF second) {
    const auto dc = DeviceContext::Find(hdc);
    Surface* surface = dc ? dc->Target() : nullptr;
    if (!surface || IsRectEmpty(&r)) return;
    const std::uint32_t pixels[2] = {Surface::PixelOf(first), Surface::PixelOf(second)};
    RECT target = r;
    const POINT offset = dc->Offset();
    OffsetRect(&target, offset.x, offset.y);
    target = surface->Clip(target);
    for (const RECT& clip : dc->Clip().Rects()) {
        RECT part;
        if (!IntersectRect(&part, &target, &clip)) continue;
        for (LONG y = part.top; y < part.bottom; ++y) {
            std::uint32_t* row = surface->Row(y);
            for (LONG x = part.left; x < part.right; ++x) row[x] = pixels[(x + y) & 1];
        }
    }
}

void Track(HDC hdc, const RECT& r, bool pushed) {
    if (pushed)
        Checker(hdc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DSHADOW));
    else
        Checker(hdc, r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DFACE));
}

void Arrow(HDC hdc, const ScrollBarLayout& layout, const ScrollBarState& state, ScrollBarPart part) {
    RECT r = layout.PartRect(part);
    if (IsRectEmpty(&r)) return;
    const bool up = part == ScrollBarPart::LineUp;
    UINT kind = layout.Vertical() ? (up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) : (up ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT);
    if (state.pushed == part) kind |= DFCS_PUSHED;
    if (!state.Enabled() || !state.ArrowEnabled(part)) kind |= DFCS_INACTIVE;
    if (state.flat) kind |= DFCS_FLAT;
    DrawFrameControl(hdc, &r, DFC_SCROLL, kind);
}

}  // namespace

void ScrollBarPainter::Paint(HDC hdc, const ScrollBarLayout& layout, const ScrollBarState& state) {
    Arrow(hdc, layout, state, ScrollBarPart::LineUp);
    Arrow(hdc, layout, state, ScrollBarPart::LineDown);
    const RECT upArrow = layout.PartRect(ScrollBarPart::LineUp), downArrow = layout.PartRect(ScrollBarPart::LineDown);
    if (!layout.HasThumb()) {
        const RECT track = layout.Vertical()
                               ? RECT{layout.Bar().left, upArrow.bottom, layout.Bar().right, downArrow.top}
                               : RECT{upArrow.right, layout.Bar().top, downArrow.left, layout.Bar().bottom};
        Track(hdc, track, false);
        return;
    }
    Track(hdc, layout.PartRect(ScrollBarPart::PageUp), state.pushed == ScrollBarPart::PageUp);
    Track(hdc, layout.PartRect(ScrollBarPart::PageDown), state.pushed == ScrollBarPart::PageDown);
    RECT thumb = layout.PartRect(ScrollBarPart::Thumb);
    if (state.flat)
        DrawEdge(hdc, &thumb, 0, BF_RECT | BF_FLAT | BF_MIDDLE);
    else
        DrawEdge(hdc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void ScrollBarPainter::PaintSizeBox(HDC hdc, const RECT& box) { FillRect(hdc, &box, GetSysColorBrush(COLOR_3DFACE)); }
