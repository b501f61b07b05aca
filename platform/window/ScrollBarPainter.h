#pragma once
// Draws a bar: arrows as frame controls, the track in the classic checked pattern, the thumb as a
// raised block; flat bars have one-pixel frames instead of 3-D edges. Used in WM_NCPAINT for a
// window's bars and in WM_PAINT for the control.

#include "platform/window/ScrollBarLayout.h"

class ScrollBarPainter {
public:
    static void Paint(HDC hdc, const ScrollBarLayout& layout, const ScrollBarState& state);
    // The square where a window's two bars meet.
    static void PaintSizeBox(HDC hdc, const RECT& box);
};
