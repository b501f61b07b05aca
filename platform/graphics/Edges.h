#pragma once
// Three-dimensional edges, the frame controls the widgets draw (scroll arrows, menu glyphs),
// and gradient fills.

#include "platform/graphics/GdiTypes.h"

// With BF_ADJUST, `r` is moved inside the edge drawn.
BOOL DrawEdge(HDC hdc, RECT* r, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC hdc, RECT* r, UINT type, UINT state);
// The dotted frame of the keyboard focus, every other pixel inverted: drawing it twice removes it.
BOOL DrawFocusRect(HDC hdc, const RECT* r);
// A one-pixel frame: top and left in one colour, bottom and right in the other.
void Draw3dRect(HDC hdc, const RECT* r, COLORREF topLeft, COLORREF bottomRight);
BOOL GradientFill(HDC hdc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh, ULONG meshCount, ULONG mode);
