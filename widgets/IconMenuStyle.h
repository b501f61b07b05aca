#pragma once
// A drawing style of the icon menus: how items are measured and drawn, how a titled separator
// looks, and what the style does to the menu windows ("#32768") it is given. Even ids draw their
// own popup border (the system's is removed), odd ids keep the system's.

#include "platform/graphics/GdiTypes.h"
#include "platform/window/WindowTypes.h"

class CIconMenu;
class CIconMenuItemData;
class IconMenuStyle;

// A menu window as the hook subclassed it.
struct IconMenuWindow {
    HWND hwnd = nullptr;
    WNDPROC oldProc = nullptr;
    LONG_PTR style = 0;    // the styles it had, given back when it goes
    LONG_PTR exStyle = 0;
    HMENU menu = nullptr;  // the menu it shows
    IconMenuStyle* drawStyle = nullptr;
    unsigned sequence = 0;  // windows made later lie above those made earlier
};

class IconMenuStyle {
public:
    IconMenuStyle(int id, bool ownBorder) : id_(id), ownBorder_(ownBorder) {}
    virtual ~IconMenuStyle() = default;
    IconMenuStyle(const IconMenuStyle&) = delete;
    IconMenuStyle& operator=(const IconMenuStyle&) = delete;

    int Id() const { return id_; }
    bool OwnBorder() const { return ownBorder_; }

    virtual void MeasureItem(CIconMenu& menu, MEASUREITEMSTRUCT& mis) = 0;
    virtual void DrawItem(CIconMenu& menu, const DRAWITEMSTRUCT& dis) = 0;
    // A separator that carries a title, in `r`.
    virtual void DrawTitle(CIconMenu& menu, const CIconMenuItemData& item, HDC hdc, const RECT& r) = 0;

    // The window was just subclassed: a style that draws its own border takes the system's away.
    virtual void Subclassed(IconMenuWindow& window);
    // The menu window's messages the style may take: true with `result` when it did.
    virtual bool WindowMessage(const IconMenuWindow& window, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) = 0;

private:
    int id_;
    bool ownBorder_;
};
