#include "widgets/IconMenuColors.h"

#include <algorithm>

#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "widgets/IconMenuSettings.h"

namespace {

// a x b / c, rounded to the nearest.
int MulDiv(int a, int b, int c) { return (2 * a * b + c) / (2 * c); }

int Channel(int value) { return std::clamp(value, 0, 255); }

template <class F>
COLORREF PerChannel(COLORREF c, F f) {
    return RGB(static_cast<BYTE>(Channel(f(GetRValue(c)))), static_cast<BYTE>(Channel(f(GetGValue(c)))),
               static_cast<BYTE>(Channel(f(GetBValue(c)))));
}

COLORREF Blend(COLORREF a, COLORREF b, int percentOfA) {
    const auto mix = [&](int x, int y) { return Channel(MulDiv(x, percentOfA, 100) + MulDiv(y, 100 - percentOfA, 100)); };
    return RGB(static_cast<BYTE>(mix(GetRValue(a), GetRValue(b))), static_cast<BYTE>(mix(GetGValue(a), GetGValue(b))),
               static_cast<BYTE>(mix(GetBValue(a), GetBValue(b))));
}

bool FlatMenus() {
    BOOL flat = FALSE;
    return SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0) && flat;
}

}  // namespace

COLORREF IconMenuColors::Mix(COLORREF a, COLORREF b) { return Blend(a, b, 86); }
COLORREF IconMenuColors::Mix70(COLORREF a, COLORREF b) { return Blend(a, b, 70); }

COLORREF IconMenuColors::Darken(int n, COLORREF c) {
    return PerChannel(c, [n](int v) { return MulDiv(v, 255 - n, 255); });
}

COLORREF IconMenuColors::Lighten(int n, COLORREF c) {
    return PerChannel(c, [n](int v) { return v + MulDiv(255 - v, n, 255); });
}

COLORREF IconMenuColors::Grey(COLORREF c) {
    const auto grey = static_cast<BYTE>(MulDiv(GetRValue(c) + GetGValue(c) + GetBValue(c), 1, 3));
    return RGB(grey, grey, grey);
}

COLORREF IconMenuColors::IconShadow(COLORREF c) {
    return RGB(static_cast<BYTE>(Channel(MulDiv(GetRValue(c), 7, 10))),
               static_cast<BYTE>(Channel(MulDiv(GetGValue(c), 7, 10))),
               static_cast<BYTE>(Channel(MulDiv(GetBValue(c) + 55, 7, 10))));
}

COLORREF IconMenuColors::MenuColor() {
    const bool menuBar = IconMenuSettings::Instance().osGeneration == 7 && FlatMenus();
    return GetSysColor(menuBar ? COLOR_MENUBAR : COLOR_MENU);
}

COLORREF IconMenuColors::BarColor() {
    const IconMenuSettings& s = IconMenuSettings::Instance();
    const bool menuBar = s.osGeneration == 7 && (FlatMenus() || s.ThemeActive());
    return GetSysColor(menuBar ? COLOR_MENUBAR : COLOR_MENU);
}

IconMenuColors::Palette IconMenuColors::Current() {
    const IconMenuSettings& s = IconMenuSettings::Instance();
    Palette p{};
    p.menu = MenuColor();
    p.bar = BarColor();
    p.highContrast = s.highContrast;
    p.fewColors = s.colorCount <= 256;
    const COLORREF window = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
    p.background = Mix(window, p.menu);
    p.band = p.fewColors ? GetSysColor(COLOR_BTNFACE) : Mix(p.bar, window);
    if (p.highContrast)
        p.selectionFill = highlight;
    else if (p.fewColors)
        p.selectionFill = window;
    else
        p.selectionFill = Darken(30, Mix70(window, highlight));
    p.selectionPen = GetSysColor(p.highContrast ? COLOR_BTNTEXT : COLOR_HIGHLIGHT);
    // A device that shows both as one colour would lose the band: fall back to plain colours. Ours
    // shows every colour, so only equal colours collide.
    if (p.background == p.band) {
        p.background = window;
        p.band = p.menu;
    }
    return p;
}

void IconMenuColors::Fill(HDC hdc, const RECT& r, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

void IconMenuColors::Outline(HDC hdc, const RECT& r, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FrameRect(hdc, &r, brush);
    DeleteObject(brush);
}
