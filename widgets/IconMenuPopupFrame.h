#pragma once
// The border and shadow the icon menus give their popup windows in place of the system's: a
// three-pixel frame (a dark outer line, a light inner one, the band's colour down the left) and,
// when the system draws no drop shadows, a four-pixel shadow to the right and below that darkens
// what lies beneath the menu.

#include "platform/graphics/GdiTypes.h"
#include "widgets/IconMenuStyle.h"

class IconMenuPopupFrame {
public:
    // The shadow's width: 0 when the system draws drop shadows itself.
    static int ShadowSize();
    // WM_ERASEBKGND: the client in the menus' colour.
    static LRESULT EraseClient(const IconMenuWindow& window, HDC hdc);
    // The messages that decide the window's frame and draw it: true with `result` when taken.
    static bool WindowMessage(const IconMenuWindow& window, int shadow, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result);
    // Draws the frame and the shadow into a context of the whole window.
    static void Paint(const IconMenuWindow& window, int shadow, HDC windowDc);

private:
    static void PaintShadow(const IconMenuWindow& window, HDC windowDc, const RECT& frame, SIZE size);
};
