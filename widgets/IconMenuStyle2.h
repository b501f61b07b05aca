#pragma once
// The icon menus' look: items with a shaded icon band, a flat selection outlined in the highlight
// colour, accelerators right-aligned; bar items that open as a tab with a shadow; popups with a
// two-tone border and a drawn shadow when the system draws none.

#include "platform/graphics/GdiTypes.h"
#include "widgets/IconMenuStyle.h"

class IconMenuStyle2 : public IconMenuStyle {
public:
    IconMenuStyle2(int id, bool ownBorder) : IconMenuStyle(id, ownBorder) {}
    ~IconMenuStyle2() override;

    void MeasureItem(CIconMenu& menu, MEASUREITEMSTRUCT& mis) override;
    void DrawItem(CIconMenu& menu, const DRAWITEMSTRUCT& dis) override;
    void DrawTitle(CIconMenu& menu, const CIconMenuItemData& item, HDC hdc, const RECT& r) override;
    bool WindowMessage(const IconMenuWindow& window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) override;

private:
    HFONT TitleFont();
    // The width an item's text asks for in a popup.
    int PopupWidth(const CIconMenu& menu, const CIconMenuItemData& item, HDC hdc) const;
    void DrawPopupItem(CIconMenu& menu, const CIconMenuItemData& item, const DRAWITEMSTRUCT& dis);
    void DrawBarItem(CIconMenu& menu, const CIconMenuItemData& item, const DRAWITEMSTRUCT& dis);
    void DrawIcon(const CIconMenu& menu, const CIconMenuItemData& item, HDC hdc, const RECT& r, UINT state);
    void DrawCheck(const CIconMenu& menu, const CIconMenuItemData& item, HDC hdc, const RECT& r, UINT state);
    // Shadow strip width of the popup windows: 0 when the system draws shadows.
    int Shadow() const;

    HFONT titleFont_ = nullptr;
};
