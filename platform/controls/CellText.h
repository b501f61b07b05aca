#pragma once
// One line of text in a cell of a list or a header: measured, cut with "..." when it is wider than
// the cell, aligned and drawn clipped to the cell, in the context's font and text colour.

#include <string>
#include <string_view>

#include "platform/graphics/GdiTypes.h"

class CellText {
public:
    // Alignments, as LVCFMT_* and HDF_* give them.
    static constexpr int kLeft = 0, kRight = 1, kCenter = 2;

    static int Width(HDC hdc, std::string_view text);
    // `text` whole when it fits in `width` pixels, else its longest start that fits followed by "...".
    static std::string Fit(HDC hdc, std::string_view text, int width);
    // Centred vertically in `cell`; the background is left alone. Returns the width drawn.
    static int Draw(HDC hdc, const RECT& cell, std::string_view text, int align);
};
