#include "widgets/IconMenuStyle2.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/controls/MenuLayout.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "widgets/CIconMenu.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/IconMenuColors.h"
#include "widgets/IconMenuPopupFrame.h"
#include "widgets/IconMenuSettings.h"

namespace {

constexpr int kTabRoom = 15;       // more width for an item with an accelerator; room right of the text
constexpr int kBandMargin = 8;     // the band is the icon cell and this much
constexpr int kTextGap = 4;        // between the band and the text
constexpr int kIconLeft = 3;       // the icon's distance from the item's left
constexpr int kBarTrim = 6;        // the platform pads bar items; the text keeps its own width
constexpr int kBarShadow = 4;      // columns of the open bar item's shadow
constexpr int kWideTitle = 8;
constexpr UINT kFirstSystemCommand = 0xF000, kLastSystemCommand = 0xF150;
constexpr char kCheckGlyph = 98, kRadioGlyph = 105;  // Marlett

// A context for measuring, with the menu font.
class MeasuringDc {
public:
    MeasuringDc() : hdc_(CreateCompatibleDC(nullptr)) {}
    ~MeasuringDc() { DeleteDC(hdc_); }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;
    operator HDC() const { return hdc_; }

private:
    HDC hdc_;
};

SIZE TextSize(HDC hdc, const std::string& text, HFONT font) {
    SelectObject(hdc, font);
    RECT r{0, 0, 0, 0};
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
    return SIZE{Width(r), Height(r)};
}

bool IsSystemCommand(UINT id) { return id >= kFirstSystemCommand && id <= kLastSystemCommand; }

// Whether the item that opens a popup sits on a bar, as its measuring sees it.
bool MeasuredAsBar(const CIconMenu& menu, int position) {
    const HMENU popup = ::GetSubMenu(menu.m_hMenu, position);
    if (!popup) return false;
    const CIconMenu* opened = CIconMenu::FromHandleIcon(popup);
    const CIconMenu* above = opened && opened->parentMenu ? CIconMenu::FromHandleIcon(opened->parentMenu) : &menu;
    return above && !above->isPopup;
}

COLORREF TextColor(UINT state, bool selected, const IconMenuColors::Palette& p) {
    if (state & ODS_GRAYED) return GetSysColor(COLOR_GRAYTEXT);
    return GetSysColor(p.highContrast && !selected ? COLOR_WINDOWTEXT : COLOR_MENUTEXT);
}

// The icon cell of a popup item, with the two pixels around it that a checked item frames.
RECT CheckFrame(const CIconMenu& menu, const RECT& item) {
    const int top = item.top + (Height(item) - menu.iconHeight) / 2;
    return RECT{item.left + kIconLeft - 2, top - 2, item.left + kIconLeft + menu.iconWidth + 2, top + menu.iconHeight + 2};
}

void DrawCheckFrame(const CIconMenu& menu, HDC hdc, const RECT& item, bool selected,
                    const IconMenuColors::Palette& p) {
    const RECT frame = CheckFrame(menu, item);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    IconMenuColors::Fill(hdc, frame, IconMenuColors::Mix(selected ? p.selectionFill : p.band, highlight));
    IconMenuColors::Outline(hdc, frame, p.selectionPen);
}

std::string Label(const std::string& text) { return text.substr(0, text.find('\t')); }

std::string Accelerator(const std::string& text) {
    const auto tab = text.rfind('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

}  // namespace

IconMenuStyle2::~IconMenuStyle2() {
    if (titleFont_) DeleteObject(titleFont_);
}

HFONT IconMenuStyle2::TitleFont() {
    if (!titleFont_) {
        LOGFONTA f{};
        f.lfHeight = 16;
        f.lfWeight = FW_BOLD;
        f.lfCharSet = DEFAULT_CHARSET;
        std::strcpy(f.lfFaceName, "Arial");
        titleFont_ = CreateFontIndirectA(&f);
    }
    return titleFont_;
}

int IconMenuStyle2::PopupWidth(const CIconMenu& menu, const CIconMenuItemData& item, HDC hdc) const {
    const SIZE text = TextSize(hdc, item.text, MenuLayout::Font(item.menuFlags & MF_DEFAULT));
    return text.cx + 2 * menu.iconWidth + 2 + (item.text.find('\t') != std::string::npos ? kTabRoom : 0);
}

void IconMenuStyle2::MeasureItem(CIconMenu& menu, MEASUREITEMSTRUCT& mis) {
    const CIconMenuItemData* item = menu.DataOf(mis.itemData);
    if (!item) return;
    MeasuringDc dc;
    if (item->menuFlags & MF_SEPARATOR) {
        if (!(item->titleFlags & CIconMenuItemData::kTitled)) {
            mis.itemWidth = 0;
            mis.itemHeight = 3;
            return;
        }
        const SIZE title = TextSize(dc, item->text, TitleFont());
        const int extra = (item->titleFlags & CIconMenuItemData::kWideTitle) ? kWideTitle : 0;
        if (item->titleFlags & CIconMenuItemData::kVertical) {
            mis.itemWidth = static_cast<UINT>(std::max<LONG>(0, title.cy - GetSystemMetrics(SM_CXMENUCHECK) + extra));
            mis.itemHeight = 0;
        } else {
            mis.itemWidth = static_cast<UINT>(title.cx);
            mis.itemHeight = static_cast<UINT>(title.cy + extra);
        }
        return;
    }
    const int position = menu.PositionOf(item);
    const SIZE text = TextSize(dc, item->text, MenuLayout::Font(item->menuFlags & MF_DEFAULT));
    int width = MeasuredAsBar(menu, position) ? text.cx - kBarTrim + (item->text.find('\t') != std::string::npos ? kTabRoom : 0)
                                              : PopupWidth(menu, *item, dc);
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    int height = menu.iconHeight + 8 < menuHeight ? menuHeight : menu.iconHeight + 7;
    height = std::max<int>(height, text.cy);
    if (IsSystemCommand(item->commandId) && !(item->menuFlags & MF_POPUP)) {
        // The buttons of a child window's system commands on a bar line up with the item after them.
        height = menuHeight;
        for (int next = position + 1; next < static_cast<int>(menu.items.size()); ++next) {
            const CIconMenuItemData* after = menu.ItemData(next);
            if (!after || after->commandId == 0 || (after->menuFlags & (MF_SEPARATOR | MF_POPUP))) continue;
            width = std::max(width, PopupWidth(menu, *after, dc));
            break;
        }
    }
    mis.itemWidth = static_cast<UINT>(std::max(0, width));
    mis.itemHeight = static_cast<UINT>(height);
}

void IconMenuStyle2::DrawItem(CIconMenu& menu, const DRAWITEMSTRUCT& dis) {
    const CIconMenuItemData* item = menu.DataOf(dis.itemData);
    if (!item || dis.CtlType != ODT_MENU || !dis.hDC) return;
    const int saved = SaveDC(dis.hDC);
    SetBkMode(dis.hDC, TRANSPARENT);
    if (menu.IsBar())
        DrawBarItem(menu, *item, dis);
    else
        DrawPopupItem(menu, *item, dis);
    RestoreDC(dis.hDC, saved);
}

void IconMenuStyle2::DrawPopupItem(CIconMenu& menu, const CIconMenuItemData& item, const DRAWITEMSTRUCT& dis) {
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const HDC hdc = dis.hDC;
    const RECT& r = dis.rcItem;
    const UINT state = dis.itemState;
    const bool selected = state & (ODS_SELECTED | ODS_HOTLIGHT | ODS_INACTIVE);
    const RECT band{r.left, r.top, r.left + menu.iconWidth + kBandMargin, r.bottom};
    IconMenuColors::Fill(hdc, band, p.band);
    IconMenuColors::Fill(hdc, RECT{band.right, r.top, r.right, r.bottom}, p.background);
    RECT text{band.right + kTextGap, r.top, r.right - kTabRoom, r.bottom};
    if (item.menuFlags & MF_SEPARATOR) {
        if (item.titleFlags & CIconMenuItemData::kTitled) {
            DrawTitle(menu, item, hdc, r);
        } else {
            const int y = (r.top + r.bottom) / 2;
            IconMenuColors::Fill(hdc, RECT{text.left, y, r.right, y + 1}, GetSysColor(COLOR_GRAYTEXT));
        }
        return;
    }
    if (selected) {
        IconMenuColors::Fill(hdc, r, p.selectionFill);
        IconMenuColors::Outline(hdc, r, p.selectionPen);
    }
    if (item.iconSet && item.imageIndex >= 0)
        DrawIcon(menu, item, hdc, r, state);
    else if (state & ODS_CHECKED)
        DrawCheck(menu, item, hdc, r, state);
    SelectObject(hdc, MenuLayout::Font(state & ODS_DEFAULT));
    SetTextColor(hdc, TextColor(state, selected, p));
    const std::string label = Label(item.text), accelerator = Accelerator(item.text);
    DrawTextA(hdc, label.c_str(), static_cast<int>(label.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (!accelerator.empty())
        DrawTextA(hdc, accelerator.c_str(), static_cast<int>(accelerator.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

void IconMenuStyle2::DrawIcon(const CIconMenu& menu, const CIconMenuItemData& item, HDC hdc, const RECT& r,
                              UINT state) {
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const HIMAGELIST images = item.iconSet->Images();
    const int k = item.imageIndex, w = item.iconSet->IconWidth(), h = item.iconSet->IconHeight();
    const int x = w < menu.iconWidth ? r.left + (menu.iconWidth - w) / 2 + kIconLeft : r.left + kIconLeft;
    const int y = r.top + (Height(r) - h) / 2;
    const bool selected = state & (ODS_SELECTED | ODS_HOTLIGHT | ODS_INACTIVE);
    const bool checked = state & ODS_CHECKED, variants = IconMenuSettings::Instance().useIconVariants;
    if (checked) DrawCheckFrame(menu, hdc, r, selected, p);
    if (state & (ODS_GRAYED | ODS_DISABLED)) {
        if (variants)
            ImageList_Draw(images, k + 2, hdc, x, y, ILD_TRANSPARENT);
        else
            ImageList_DrawMonochrome(images, k, hdc, x, y, IconMenuColors::Darken(70, p.band));
    } else if (selected) {
        if (checked) {
            ImageList_Draw(images, k, hdc, x, y, ILD_TRANSPARENT);
        } else {
            // Lifted off its shadow.
            ImageList_DrawMonochrome(images, k, hdc, x + 1, y + 1, IconMenuColors::IconShadow(p.selectionFill));
            ImageList_Draw(images, k, hdc, x - 1, y - 1, ILD_TRANSPARENT);
        }
    } else {
        ImageList_Draw(images, variants ? k + 1 : k, hdc, x, y, ILD_TRANSPARENT);
    }
}

void IconMenuStyle2::DrawCheck(const CIconMenu& menu, const CIconMenuItemData& item, HDC hdc, const RECT& r,
                               UINT state) {
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const bool selected = state & (ODS_SELECTED | ODS_HOTLIGHT | ODS_INACTIVE);
    DrawCheckFrame(menu, hdc, r, selected, p);
    if (menu.checkImages) {
        ImageList_Draw(menu.checkImages, selected ? 1 : 0, hdc, r.left + kIconLeft, r.top + 4, ILD_TRANSPARENT);
        return;
    }
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    const int position = menu.PositionOf(&item);
    const bool radio = position >= 0 && GetMenuItemInfoA(menu.m_hMenu, static_cast<UINT>(position), TRUE, &info) &&
                       (info.fType & MFT_RADIOCHECK);
    LOGFONTA marlett{};
    marlett.lfHeight = -GetSystemMetrics(SM_CXMENUCHECK);
    marlett.lfCharSet = SYMBOL_CHARSET;
    std::strcpy(marlett.lfFaceName, "Marlett");
    const HFONT font = CreateFontIndirectA(&marlett);
    const HGDIOBJ old = SelectObject(hdc, font);
    SetTextColor(hdc, TextColor(state, selected, p));
    RECT cell = CheckFrame(menu, r);
    const char glyph = radio ? kRadioGlyph : kCheckGlyph;
    DrawTextA(hdc, &glyph, 1, &cell, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
}

void IconMenuStyle2::DrawBarItem(CIconMenu& menu, const CIconMenuItemData& item, const DRAWITEMSTRUCT& dis) {
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const HDC hdc = dis.hDC;
    const RECT& r = dis.rcItem;
    IconMenuColors::Fill(hdc, r, p.bar);
    bool selected = dis.itemState & ODS_SELECTED, hot = dis.itemState & ODS_HOTLIGHT;
    // Selected before its popup opened (the keyboard's first step): it looks hot.
    if (selected && menu.openPopups == 0) {
        hot = true;
        selected = false;
    }
    RECT inner = r;
    inner.right -= kBarShadow;
    if (hot) {
        IconMenuColors::Fill(hdc, inner, p.selectionFill);
        IconMenuColors::Outline(hdc, inner, p.selectionPen);
    } else if (selected) {
        const int position = menu.PositionOf(&item);
        if (CIconMenu* popup = menu.GetSubMenu(position))
            GetMenuItemRect(menu.ownerWindow, menu.m_hMenu, static_cast<UINT>(position), &popup->barItemRect);
        IconMenuColors::Fill(hdc, inner, p.band);
        IconMenuColors::Outline(hdc, inner, p.highContrast ? GetSysColor(COLOR_BTNTEXT) : IconMenuColors::Darken(128, p.bar));
        // The shadow the open popup casts to its right, fading in from the top.
        static constexpr int kDepth[kBarShadow] = {120, 90, 60, 30};
        for (int c = 0; c < kBarShadow; ++c) {
            for (int y = r.top + 4; y < r.bottom; ++y) {
                const int row = y - r.top;
                if (p.fewColors) {
                    if (c < 2) SetPixel(hdc, inner.right + c, y, GetSysColor(COLOR_BTNSHADOW));
                    continue;
                }
                const int depth = row < 8 ? kDepth[c] * (row - 3) / 5 : kDepth[c];
                SetPixel(hdc, inner.right + c, y, IconMenuColors::Darken(depth, p.bar));
            }
        }
    }
    SelectObject(hdc, MenuLayout::Font(false));
    SetTextColor(hdc, GetSysColor((dis.itemState & (ODS_GRAYED | ODS_INACTIVE)) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    DrawTextA(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &inner, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void IconMenuStyle2::DrawTitle(CIconMenu&, const CIconMenuItemData& item, HDC hdc, const RECT& r) {
    const COLORREF from = GetSysColor(COLOR_ACTIVECAPTION), to = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    const bool vertical = item.titleFlags & CIconMenuItemData::kVertical;
    if (IconMenuSettings::Instance().gradientFill) {
        TRIVERTEX v[2] = {
            {r.left, r.top, static_cast<WORD>(GetRValue(from) << 8), static_cast<WORD>(GetGValue(from) << 8),
             static_cast<WORD>(GetBValue(from) << 8), 0},
            {r.right, r.bottom, static_cast<WORD>(GetRValue(to) << 8), static_cast<WORD>(GetGValue(to) << 8),
             static_cast<WORD>(GetBValue(to) << 8), 0}};
        GRADIENT_RECT mesh{0, 1};
        GradientFill(hdc, v, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    } else {
        IconMenuColors::Fill(hdc, r, from);
    }
    // Text is not turned on this platform: a vertical title shows its colours only.
    if (vertical) return;
    SelectObject(hdc, TitleFont());
    SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
    RECT text{r.left + kTextGap, r.top, r.right, r.bottom};
    DrawTextA(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

int IconMenuStyle2::Shadow() const { return OwnBorder() ? IconMenuPopupFrame::ShadowSize() : 0; }

bool IconMenuStyle2::WindowMessage(const IconMenuWindow& window, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT& result) {
    if (message == WM_ERASEBKGND) {
        result = IconMenuPopupFrame::EraseClient(window, reinterpret_cast<HDC>(wParam));
        return true;
    }
    if (!OwnBorder()) return false;
    return IconMenuPopupFrame::WindowMessage(window, Shadow(), message, wParam, lParam, result);
}
