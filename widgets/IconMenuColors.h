#pragma once
// The icon menus' colours: per-channel blends of the system colours, in integer arithmetic that
// rounds each quotient (as a multiply-then-divide of 32-bit values does), and the palette one
// drawing uses, computed from the current scheme and the process settings.

#include "platform/graphics/GdiTypes.h"

class IconMenuColors {
public:
    // 86% of a + 14% of b.
    static COLORREF Mix(COLORREF a, COLORREF b);
    // 70% of a + 30% of b.
    static COLORREF Mix70(COLORREF a, COLORREF b);
    static COLORREF Darken(int n, COLORREF c);   // c x (255 - n) / 255
    static COLORREF Lighten(int n, COLORREF c);  // c + (255 - c) x n / 255
    static COLORREF Grey(COLORREF c);            // the channels' average in all three
    static COLORREF IconShadow(COLORREF c);      // a bluish 70% shade

    // The menu-bar colour the frame's popups and bar use (COLOR_MENUBAR only where the system has
    // flat menus, or themes on the bar).
    static COLORREF MenuColor();
    static COLORREF BarColor();

    struct Palette {
        COLORREF menu;
        COLORREF bar;
        COLORREF background;     // behind the text of a popup item
        COLORREF band;           // the icon band
        COLORREF selectionFill;
        COLORREF selectionPen;   // the selection's one-pixel outline
        bool highContrast;
        bool fewColors;          // 256 colours or fewer
    };
    static Palette Current();

    // A rectangle filled, or outlined one pixel wide, in a colour.
    static void Fill(HDC hdc, const RECT& r, COLORREF color);
    static void Outline(HDC hdc, const RECT& r, COLORREF color);
};
