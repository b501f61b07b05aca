#pragma once
// How toolbar buttons look: flat buttons show a thin raised edge when hot and a thin sunken one
// when pressed or checked, 3-D buttons always have their edges; a checked button that is neither
// hot nor pressed has a dithered face; pressed and checked images move one pixel down and right;
// a disabled image without a disabled list is embossed (highlight under shadow).

#include "platform/graphics/GdiTypes.h"

class ToolbarPainter {
public:
    // One button as it is to look now.
    struct Face {
        bool flat = false;
        bool hot = false;
        bool enabled = true;
        bool pressed = false;
        bool checked = false;
        int arrowWidth = 0;         // a drop-down arrow at the right, 0 for none
        bool splitArrow = false;    // the arrow is a part of its own (TBSTYLE_EX_DRAWDDARROWS)
        HIMAGELIST list = nullptr;  // null: no image
        int index = 0;
        bool emboss = false;
    };

    static void Button(HDC hdc, const RECT& r, const Face& face);
    // A separator in a flat toolbar: an etched line across its middle, vertical within a row,
    // horizontal when it ends one.
    static void Separator(HDC hdc, const RECT& r, bool horizontal);
    // The etched line along the top of a toolbar without CCS_NODIVIDER.
    static void Divider(HDC hdc, const RECT& client);

private:
    static void Dither(HDC hdc, const RECT& r);
    static void Arrow(HDC hdc, const RECT& r, bool enabled, bool sunk);
};
