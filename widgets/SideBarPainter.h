#pragma once
// The side bar's looks: folder headers (normal, pressed, and the hover edge), items with their
// icons and labels, the frames round an icon, the arrow buttons and the drop mark. Everything
// in the bar's own colours, on whatever context it is given: the off-screen picture of a paint,
// or the window itself for the quick hover and press changes.

#include <string>

#include "platform/framework/CRect.h"
#include "platform/graphics/GdiTypes.h"

class CDC;
class CImageList;
class CPen;

// The system colours the bar draws with, read when it is made and when the scheme changes.
struct SideBarColors {
    COLORREF backColor;        // item area
    COLORREF headerLineColor;  // top line and shadow edges of headers
    COLORREF textColor;        // item labels
    COLORREF faceColor;        // header face, light edges
    COLORREF lightColor;       // kept, not drawn
    COLORREF highlightColor;   // header light edge
    COLORREF shadowColor;
    COLORREF darkShadowColor;  // hover, press and selection edges

    static SideBarColors FromSystem();
};

class SideBarPainter {
public:
    enum class Frame { None, Raised, Sunken };  // None wipes a frame away

    SideBarPainter(CDC& dc, const SideBarColors& colors);
    ~SideBarPainter();
    SideBarPainter(const SideBarPainter&) = delete;
    SideBarPainter& operator=(const SideBarPainter&) = delete;

    void Header(const CRect& r, const std::string& name);
    void PressedHeader(const CRect& r, const std::string& name);
    // The bottom and right edges of a header: dark when the pointer is over it.
    void HeaderHoverEdge(const CRect& r, bool hot);

    // An item with its icon at the top and its label centred below (large view), or its icon at
    // the left and its label beside it (small view). `iconOffset` moves the icon alone.
    void LargeItem(const CRect& item, CImageList* images, int image, CSize icon, const std::string* label,
                   int labelGap, CPoint iconOffset = CPoint(0, 0));
    void SmallItem(const CRect& item, CImageList* images, int image, CSize icon, const std::string* label,
                   int labelGap, CPoint iconOffset = CPoint(0, 0));
    // A one-pixel frame round the icon rectangle grown by one.
    void IconFrame(const CRect& icon, Frame look);

    void Arrow(const CRect& r, bool up, bool pushed);
    // A horizontal line with small arrow heads, their tips at its ends.
    void DropMark(int left, int right, int y, CPen* pen);

private:
    void Name(const CRect& r, const std::string& name);

    CDC& dc_;
    const SideBarColors& colors_;
    int saved_;
};
