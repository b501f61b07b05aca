#include "widgets/SideBarPainter.h"

#include "platform/framework/CDC.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CPen.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"

SideBarColors SideBarColors::FromSystem() {
    return SideBarColors{GetSysColor(COLOR_BTNSHADOW),   GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_WINDOW),
                         GetSysColor(COLOR_BTNFACE),     GetSysColor(COLOR_3DLIGHT),   GetSysColor(COLOR_BTNHIGHLIGHT),
                         GetSysColor(COLOR_BTNSHADOW),   GetSysColor(COLOR_3DDKSHADOW)};
}

SideBarPainter::SideBarPainter(CDC& dc, const SideBarColors& colors) : dc_(dc), colors_(colors) {
    saved_ = dc_.SaveDC();
    dc_.SelectStockObject(DEFAULT_GUI_FONT);
    dc_.SetBkMode(TRANSPARENT);
}

SideBarPainter::~SideBarPainter() { dc_.RestoreDC(saved_); }

void SideBarPainter::Name(const CRect& r, const std::string& name) {
    CRect text = r;
    dc_.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc_.DrawText(name, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void SideBarPainter::Header(const CRect& r, const std::string& name) {
    dc_.FillSolidRect(r.left, r.top, r.Width(), 1, colors_.headerLineColor);
    const CRect edge(r.left, r.top + 1, r.right, r.bottom);
    dc_.Draw3dRect(&edge, colors_.highlightColor, colors_.headerLineColor);
    CRect face = edge;
    face.DeflateRect(1, 1);
    dc_.FillSolidRect(&face, colors_.faceColor);
    Name(edge, name);
}

void SideBarPainter::PressedHeader(const CRect& r, const std::string& name) {
    dc_.FillSolidRect(r.left + 1, r.top, r.Width() - 1, 1, colors_.headerLineColor);
    CRect edge(r.left, r.top + 1, r.right, r.bottom);
    dc_.Draw3dRect(&edge, colors_.darkShadowColor, colors_.highlightColor);
    edge.DeflateRect(1, 1);
    dc_.Draw3dRect(&edge, colors_.headerLineColor, colors_.faceColor);
    edge.DeflateRect(1, 1);
    dc_.FillSolidRect(&edge, colors_.faceColor);
    Name(CRect(r.left, r.top + 1, r.right, r.bottom), name);
}

void SideBarPainter::HeaderHoverEdge(const CRect& r, bool hot) {
    const COLORREF outer = hot ? colors_.darkShadowColor : colors_.headerLineColor;
    const COLORREF inner = hot ? colors_.headerLineColor : colors_.faceColor;
    const int top = r.top + 1;  // the edge starts below the header's top line
    dc_.FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, outer);
    dc_.FillSolidRect(r.right - 1, top, 1, r.bottom - top, outer);
    dc_.FillSolidRect(r.left + 1, r.bottom - 2, r.Width() - 2, 1, inner);
    dc_.FillSolidRect(r.right - 2, top + 1, 1, r.bottom - top - 2, inner);
}

void SideBarPainter::LargeItem(const CRect& item, CImageList* images, int image, CSize icon,
                               const std::string* label, int labelGap, CPoint iconOffset) {
    if (images && image >= 0)
        images->Draw(&dc_, image,
                     CPoint(item.left + (item.Width() - icon.cx) / 2 + iconOffset.x, item.top + iconOffset.y),
                     ILD_TRANSPARENT);
    if (!label) return;
    CRect text(item.left, item.top + icon.cy + labelGap, item.right, item.bottom);
    dc_.SetTextColor(colors_.textColor);
    dc_.DrawText(*label, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

void SideBarPainter::SmallItem(const CRect& item, CImageList* images, int image, CSize icon,
                               const std::string* label, int labelGap, CPoint iconOffset) {
    if (images && image >= 0)
        images->Draw(&dc_, image,
                     CPoint(item.left + 2 + iconOffset.x, item.top + (item.Height() - icon.cy) / 2 + iconOffset.y),
                     ILD_TRANSPARENT);
    if (!label) return;
    dc_.SetTextColor(colors_.textColor);
    dc_.TextOut(item.left + icon.cx + labelGap, item.top, *label);
}

void SideBarPainter::IconFrame(const CRect& icon, Frame look) {
    CRect frame = icon;
    frame.InflateRect(1, 1);
    switch (look) {
        case Frame::None:
            dc_.Draw3dRect(&frame, colors_.backColor, colors_.backColor);
            break;
        case Frame::Raised:
            dc_.Draw3dRect(&frame, colors_.faceColor, colors_.darkShadowColor);
            break;
        case Frame::Sunken:
            dc_.Draw3dRect(&frame, colors_.darkShadowColor, colors_.faceColor);
            break;
    }
}

void SideBarPainter::Arrow(const CRect& r, bool up, bool pushed) {
    CRect button = r;
    dc_.DrawFrameControl(&button, DFC_SCROLL, (up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | (pushed ? DFCS_PUSHED : 0));
}

void SideBarPainter::DropMark(int left, int right, int y, CPen* pen) {
    CPen* old = dc_.SelectObject(pen);
    dc_.MoveTo(left, y);
    dc_.LineTo(right, y);
    for (int i = 1; i <= 3; ++i) {
        dc_.MoveTo(left + i, y - i);
        dc_.LineTo(left + i, y + i + 1);
        dc_.MoveTo(right - 1 - i, y - i);
        dc_.LineTo(right - 1 - i, y + i + 1);
    }
    dc_.SelectObject(old);
}
