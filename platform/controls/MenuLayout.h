#pragma once
// Measuring, laying out and drawing menu items, for the bar and for popups alike. Owner-drawn
// items are measured and drawn by the window that owns the menu (WM_MEASUREITEM, WM_DRAWITEM);
// the others in the classic look of the system colours. No lock is held while the owner is
// asked: the items are copied out and the rectangles written back.

#include "platform/graphics/GdiTypes.h"
#include "platform/window/WindowTypes.h"

class MenuLayout {
public:
    // The bar's item rectangles for a window `width` pixels wide, from the bar's top-left corner,
    // in rows of the menu height; the bar's height.
    static int LayoutBar(HWND owner, HMENU menu, int width);
    // A popup's item rectangles in its window's client area, in columns; the size they take.
    static SIZE LayoutPopup(HWND owner, HMENU menu);

    // Draws the whole bar into `bar` (window coordinates of `hdc`), with the states of its items.
    static void PaintBar(HWND owner, HMENU menu, HDC hdc, const RECT& bar, bool inactive);
    // Draws the popup's items into its client context; `selected` is the highlighted position.
    static void PaintPopup(HWND owner, HMENU menu, HDC hdc, int selected, int clientWidth);

    // The popup item rectangle a point of the window's client falls on: its position, or -1.
    static int PopupItemAt(HMENU menu, POINT client, int clientWidth);
    // A popup item's rectangle in the window's client as shown.
    static bool PopupItemRect(HMENU menu, int position, int clientWidth, RECT* r);
    // The bar item a point from the bar's corner falls on, or -1.
    static int BarItemAt(HMENU menu, POINT inBar);

    // The menu font (bold for default items).
    static HFONT Font(bool bold);
};
