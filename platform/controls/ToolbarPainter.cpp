#include "platform/controls/ToolbarPainter.h"

#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

namespace {

void Line(HDC hdc, int x1, int y1, int x2, int y2, int color) {
    const HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
    const HGDIOBJ old = SelectObject(hdc, pen);
    MoveToEx(hdc, x1, y1, nullptr);
    LineTo(hdc, x2, y2);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

}  // namespace

void ToolbarPainter::Dither(HDC hdc, const RECT& r) {
    const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left + ((y + r.left) & 1); x < r.right; x += 2) SetPixel(hdc, x, y, light);
}

void ToolbarPainter::Arrow(HDC hdc, const RECT& r, bool enabled, bool sunk) {
    // A small triangle pointing down: 5, 3 and 1 pixels wide.
    const int x = (r.left + r.right) / 2 - 2 + (sunk ? 1 : 0), y = (r.top + r.bottom) / 2 - 1 + (sunk ? 1 : 0);
    for (int row = 0; row < 3; ++row) {
        if (!enabled) Line(hdc, x + row + 1, y + row + 1, x + 6 - row, y + row + 1, COLOR_3DHILIGHT);
        Line(hdc, x + row, y + row, x + 5 - row, y + row, enabled ? COLOR_BTNTEXT : COLOR_3DSHADOW);
    }
}

void ToolbarPainter::Button(HDC hdc, const RECT& r, const Face& face) {
    RECT main = r, arrow = r;
    if (face.splitArrow) main.right -= face.arrowWidth;
    arrow.left = r.right - face.arrowWidth;
    const bool sunk = face.pressed || face.checked;
    if (face.checked && !face.pressed && !face.hot) {
        RECT inside = main;
        InflateRect(&inside, -1, -1);
        Dither(hdc, inside);
    }
    RECT edge = main;
    if (face.flat) {
        if (sunk)
            DrawEdge(hdc, &edge, BDR_SUNKENOUTER, BF_RECT);
        else if (face.hot)
            DrawEdge(hdc, &edge, BDR_RAISEDINNER, BF_RECT);
        if (face.splitArrow && face.hot) DrawEdge(hdc, &arrow, BDR_RAISEDINNER, BF_RECT);
    } else {
        DrawEdge(hdc, &edge, sunk ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        if (face.splitArrow) DrawEdge(hdc, &arrow, EDGE_RAISED, BF_RECT);
    }
    if (face.list) {
        int width = 0, height = 0;
        ImageList_GetIconSize(face.list, &width, &height);
        const int room = Width(main) - (face.splitArrow ? 0 : face.arrowWidth);
        const int x = main.left + (room - width) / 2 + (sunk ? 1 : 0);
        const int y = main.top + (Height(main) - height) / 2 + (sunk ? 1 : 0);
        if (face.emboss) {
            ImageList_DrawMonochrome(face.list, face.index, hdc, x + 1, y + 1, GetSysColor(COLOR_3DHILIGHT));
            ImageList_DrawMonochrome(face.list, face.index, hdc, x, y, GetSysColor(COLOR_3DSHADOW));
        } else {
            ImageList_Draw(face.list, face.index, hdc, x, y, ILD_TRANSPARENT);
        }
    }
    if (face.arrowWidth > 0) Arrow(hdc, arrow, face.enabled, sunk && !face.splitArrow);
}

void ToolbarPainter::Separator(HDC hdc, const RECT& r, bool horizontal) {
    if (horizontal) {
        const int y = (r.top + r.bottom) / 2 - 1;
        Line(hdc, r.left, y, r.right, y, COLOR_3DSHADOW);
        Line(hdc, r.left, y + 1, r.right, y + 1, COLOR_3DHILIGHT);
    } else {
        const int x = (r.left + r.right) / 2 - 1;
        Line(hdc, x, r.top, x, r.bottom, COLOR_3DSHADOW);
        Line(hdc, x + 1, r.top, x + 1, r.bottom, COLOR_3DHILIGHT);
    }
}

void ToolbarPainter::Divider(HDC hdc, const RECT& client) {
    Line(hdc, client.left, 0, client.right, 0, COLOR_3DSHADOW);
    Line(hdc, client.left, 1, client.right, 1, COLOR_3DHILIGHT);
}
