#pragma once
// Text: measuring and drawing single lines, and laying out text in a rectangle.

#include "platform/graphics/GdiTypes.h"

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* metrics);
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, SIZE* size);
BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, int* widths);
// Draws at (x, y), the top of the character cell; with OPAQUE the cell is filled with the
// background colour first.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length);
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* r, LPCSTR text, UINT length, const int* dx);
// Lays out and draws (or with DT_CALCRECT measures) `text` in `r`; returns the text's height.
// `length` -1: up to the NUL.
int DrawTextA(HDC hdc, LPCSTR text, int length, RECT* r, UINT format);
