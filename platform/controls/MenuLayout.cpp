#include "platform/controls/MenuLayout.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/controls/MenuTable.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/FontEngine.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/window/Windows.h"

namespace {

MenuTable& Table() { return MenuTable::Instance(); }

// The classic look's spacing.
constexpr int kBarPadding = 6;        // either side of a bar item's text
constexpr int kCheckColumn = 18;      // popup items: the check mark, then the text
constexpr int kArrowColumn = 16;      // popup items: the submenu arrow after the text
constexpr int kAcceleratorGap = 12;   // between a label and its accelerator
constexpr int kSeparatorHeight = 9;
constexpr int kItemTextMargin = 4;    // above and below an item's text

struct Snapshot {
    std::vector<MenuItem> items;
    bool valid = false;
};

Snapshot Take(HMENU handle) {
    std::lock_guard guard(Table().Lock());
    Snapshot s;
    if (Menu* menu = Table().Find(handle)) {
        s.items = menu->items;
        s.valid = true;
    }
    return s;
}

// The rectangles go back only to the menu they were measured for, unchanged in length.
void StoreRects(HMENU handle, const std::vector<RECT>& rects) {
    std::lock_guard guard(Table().Lock());
    Menu* menu = Table().Find(handle);
    if (!menu || menu->items.size() != rects.size()) return;
    for (std::size_t i = 0; i < rects.size(); ++i) menu->items[i].rect = rects[i];
}

// A context for measuring text with the menu font.
class MeasuringDc {
public:
    MeasuringDc() : hdc_(CreateCompatibleDC(nullptr)) { SelectObject(hdc_, MenuLayout::Font(false)); }
    ~MeasuringDc() { DeleteDC(hdc_); }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;

    SIZE Text(const std::string& text, bool bold) {
        SelectObject(hdc_, MenuLayout::Font(bold));
        RECT r{0, 0, 0, 0};
        DrawTextA(hdc_, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    int LineHeight() {
        TEXTMETRICA tm{};
        SelectObject(hdc_, MenuLayout::Font(false));
        GetTextMetricsA(hdc_, &tm);
        return tm.tmHeight;
    }

private:
    HDC hdc_;
};

std::string Label(const std::string& text) { return text.substr(0, text.find('\t')); }
std::string Accelerator(const std::string& text) {
    const auto tab = text.rfind('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

SIZE AskOwner(HWND owner, const MenuItem& item, UINT defaultHeight) {
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item.id, 0, defaultHeight, item.data};
    if (owner) SendMessageA(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    // Sizes the owner gives are untrusted: a screenful at most.
    return SIZE{static_cast<LONG>(std::min<UINT>(mis.itemWidth, 0x7FFF)),
                static_cast<LONG>(std::min<UINT>(mis.itemHeight, 0x7FFF))};
}

int ItemHeight(MeasuringDc& dc) { return std::max(dc.LineHeight() + kItemTextMargin, GetSystemMetrics(SM_CYMENUCHECK) + kItemTextMargin); }

void DrawBitmap(HDC hdc, HBITMAP bitmap, int x, int y) {
    const SIZE size = BitmapSize(bitmap);
    HDC source = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(hdc, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void DrawGlyph(HDC hdc, char glyph, const RECT& cell, COLORREF color) {
    LOGFONTA marlett{};
    marlett.lfHeight = -GetSystemMetrics(SM_CXMENUCHECK);
    std::strcpy(marlett.lfFaceName, "Marlett");
    HFONT font = CreateFontIndirectA(&marlett);
    HGDIOBJ old = SelectObject(hdc, font);
    SetTextColor(hdc, color);
    RECT r = cell;
    DrawTextA(hdc, &glyph, 1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
}

void AskOwnerToDraw(HWND owner, HMENU menu, const MenuItem& item, HDC hdc, const RECT& r, UINT state) {
    DRAWITEMSTRUCT dis{ODT_MENU, 0, item.id, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(menu), hdc, r, item.data};
    const int saved = SaveDC(hdc);
    SelectObject(hdc, MenuLayout::Font(false));
    const bool selected = state & ODS_SELECTED;
    SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    SetBkColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (owner) SendMessageA(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    RestoreDC(hdc, saved);
}

// An item's text in its place, greyed as the classic look embosses it.
void DrawLabel(HDC hdc, const std::string& text, RECT r, UINT format, bool grayed, bool selected) {
    SetBkMode(hdc, TRANSPARENT);
    if (grayed && !selected) {
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    }
    SetTextColor(hdc, GetSysColor(grayed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

UINT OwnerDrawState(const MenuItem& item) {
    UINT state = 0;
    if (item.state & MF_GRAYED) state |= ODS_GRAYED;
    if (item.state & MF_DISABLED) state |= ODS_DISABLED;
    if (item.state & MF_CHECKED) state |= ODS_CHECKED;
    if (item.state & MFS_DEFAULT) state |= ODS_DEFAULT;
    return state;
}

void DrawPopupItem(HWND owner, HMENU menu, const MenuItem& item, HDC hdc, const RECT& r, bool selected) {
    if (item.IsOwnerDrawn()) {
        AskOwnerToDraw(owner, menu, item, hdc, r, OwnerDrawState(item) | (selected ? ODS_SELECTED : 0));
        // The system draws a cascade's arrow over what the owner drew, in the text colour: the
        // owner chose the background.
        if (item.subMenu)
            DrawGlyph(hdc, '8', RECT{r.right - kArrowColumn, r.top, r.right, r.bottom},
                      GetSysColor(item.IsGrayed() ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        return;
    }
    FillRect(hdc, &r, GetSysColorBrush(selected && !item.IsSeparator() ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (item.IsSeparator()) {
        RECT line{r.left + 1, (r.top + r.bottom) / 2 - 1, r.right - 1, (r.top + r.bottom) / 2 + 1};
        DrawEdge(hdc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool grayed = item.IsGrayed();
    const COLORREF glyphColor = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
    const RECT check{r.left, r.top, r.left + kCheckColumn, r.bottom};
    if (HBITMAP mark = (item.state & MF_CHECKED) ? item.checkedBitmap : item.uncheckedBitmap) {
        const SIZE size = BitmapSize(mark);
        DrawBitmap(hdc, mark, check.left + (kCheckColumn - size.cx) / 2, check.top + (Height(check) - size.cy) / 2);
    } else if (item.state & MF_CHECKED) {
        DrawGlyph(hdc, (item.type & MFT_RADIOCHECK) ? 'h' : 'a', check, glyphColor);
    }
    if (item.subMenu) DrawGlyph(hdc, '8', RECT{r.right - kArrowColumn, r.top, r.right, r.bottom}, glyphColor);
    if (item.type & MFT_BITMAP) {
        const SIZE size = BitmapSize(item.bitmap);
        DrawBitmap(hdc, item.bitmap, r.left + kCheckColumn, r.top + (Height(r) - size.cy) / 2);
        return;
    }
    SelectObject(hdc, MenuLayout::Font(item.state & MFS_DEFAULT));
    RECT text{r.left + kCheckColumn, r.top, r.right - kArrowColumn, r.bottom};
    DrawLabel(hdc, Label(item.text), text, DT_SINGLELINE | DT_VCENTER | DT_LEFT, grayed, selected);
    const std::string accelerator = Accelerator(item.text);
    if (!accelerator.empty())
        DrawLabel(hdc, accelerator, text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX, grayed, selected);
}

void DrawBarItem(HWND owner, HMENU menu, const MenuItem& item, HDC hdc, const RECT& r, UINT state) {
    if (item.IsOwnerDrawn()) {
        AskOwnerToDraw(owner, menu, item, hdc, r, OwnerDrawState(item) | state);
        return;
    }
    const bool selected = state & ODS_SELECTED, hot = state & ODS_HOTLIGHT;
    RECT text = r;
    if (selected || hot) {
        RECT edge = r;
        DrawEdge(hdc, &edge, selected ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        if (selected) OffsetRect(&text, 1, 1);
    }
    if (item.type & MFT_BITMAP) {
        const SIZE size = BitmapSize(item.bitmap);
        DrawBitmap(hdc, item.bitmap, text.left + (Width(text) - size.cx) / 2, text.top + (Height(text) - size.cy) / 2);
        return;
    }
    SelectObject(hdc, MenuLayout::Font(false));
    DrawLabel(hdc, item.text, text, DT_SINGLELINE | DT_VCENTER | DT_CENTER,
              item.IsGrayed() || (state & ODS_INACTIVE), false);
}

// A popup item's rectangle as shown: the last column reaches the window's edge, which a subclass
// may have moved.
RECT Shown(const std::vector<MenuItem>& items, std::size_t i, int clientWidth) {
    LONG lastColumn = 0;
    for (const MenuItem& item : items) lastColumn = std::max(lastColumn, item.rect.left);
    RECT r = items[i].rect;
    if (r.left == lastColumn) r.right = std::max<LONG>(r.right, clientWidth);
    return r;
}

}  // namespace

HFONT MenuLayout::Font(bool bold) {
    static const HFONT fonts[2] = {
        [] {
            LOGFONTA f = FontEngine::MenuFont();
            return CreateFontIndirectA(&f);
        }(),
        [] {
            LOGFONTA f = FontEngine::MenuFont();
            f.lfWeight = FW_BOLD;
            return CreateFontIndirectA(&f);
        }(),
    };
    return fonts[bold ? 1 : 0];
}

int MenuLayout::LayoutBar(HWND owner, HMENU menu, int width) {
    Snapshot s = Take(menu);
    if (!s.valid) return 0;
    MeasuringDc dc;
    const int rowHeight = GetSystemMetrics(SM_CYMENU);
    std::vector<RECT> rects(s.items.size());
    int x = 0, top = 0;
    std::size_t rowStart = 0, justifyFrom = s.items.size();
    // Items from the first right-justified one on go to the right end of their row.
    auto finishRow = [&](std::size_t end) {
        if (justifyFrom >= end || justifyFrom < rowStart) return;
        const int shift = std::max(0, width - x);
        for (std::size_t k = justifyFrom; k < end; ++k) OffsetRect(&rects[k], shift, 0);
        justifyFrom = s.items.size();
    };
    for (std::size_t i = 0; i < s.items.size(); ++i) {
        const MenuItem& item = s.items[i];
        int w;
        if (item.IsOwnerDrawn())
            w = AskOwner(owner, item, static_cast<UINT>(rowHeight)).cx + 2 * kBarPadding;
        else if (item.type & MFT_BITMAP)
            w = BitmapSize(item.bitmap).cx + 2 * kBarPadding;
        else if (item.IsSeparator())
            w = 2 * kBarPadding;
        else
            w = dc.Text(item.text, false).cx + 2 * kBarPadding;
        const bool breaks = (item.type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) || x + w > width;
        if (i > 0 && x > 0 && breaks) {
            finishRow(i);
            x = 0;
            top += rowHeight;
            rowStart = i;
        }
        if ((item.type & MFT_RIGHTJUSTIFY) && justifyFrom == s.items.size()) justifyFrom = i;
        rects[i] = RECT{x, top, x + w, top + rowHeight};
        x += w;
    }
    finishRow(s.items.size());
    StoreRects(menu, rects);
    const int height = top + rowHeight;
    std::lock_guard guard(Table().Lock());
    if (Menu* m = Table().Find(menu)) {
        m->barHeight = height;
        m->barWidth = width;
    }
    return height;
}

SIZE MenuLayout::LayoutPopup(HWND owner, HMENU menu) {
    Snapshot s = Take(menu);
    if (!s.valid) return SIZE{0, 0};
    MeasuringDc dc;
    const int itemHeight = ItemHeight(dc);
    std::vector<RECT> rects(s.items.size());
    std::vector<std::size_t> columnStarts{0};
    // First every item's own size, columns by their breaks.
    std::vector<SIZE> sizes(s.items.size());
    std::vector<int> labels(s.items.size()), accelerators(s.items.size());
    for (std::size_t i = 0; i < s.items.size(); ++i) {
        const MenuItem& item = s.items[i];
        if (i > 0 && (item.type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) columnStarts.push_back(i);
        if (item.IsOwnerDrawn()) {
            const SIZE asked = AskOwner(owner, item, static_cast<UINT>(itemHeight));
            // The system's check-mark column comes on top of what the owner asks for.
            sizes[i] = SIZE{asked.cx + GetSystemMetrics(SM_CXMENUCHECK) - 1, asked.cy};
        } else if (item.IsSeparator()) {
            sizes[i] = SIZE{0, kSeparatorHeight};
        } else if (item.type & MFT_BITMAP) {
            const SIZE b = BitmapSize(item.bitmap);
            sizes[i] = SIZE{kCheckColumn + b.cx + kArrowColumn, std::max<LONG>(b.cy, itemHeight)};
        } else {
            const bool bold = item.state & MFS_DEFAULT;
            labels[i] = dc.Text(Label(item.text), bold).cx;
            const std::string accelerator = Accelerator(item.text);
            accelerators[i] = accelerator.empty() ? 0 : dc.Text(accelerator, bold).cx;
            sizes[i] = SIZE{0, itemHeight};
        }
    }
    columnStarts.push_back(s.items.size());
    int x = 0, bottom = 0;
    for (std::size_t c = 0; c + 1 < columnStarts.size(); ++c) {
        const std::size_t from = columnStarts[c], to = columnStarts[c + 1];
        int label = 0, accelerator = 0, width = 0;
        for (std::size_t i = from; i < to; ++i) {
            label = std::max(label, labels[i]);
            accelerator = std::max(accelerator, accelerators[i]);
            width = std::max<int>(width, sizes[i].cx);
        }
        width = std::max(width, kCheckColumn + label + (accelerator ? kAcceleratorGap + accelerator : 0) + kArrowColumn);
        int y = 0;
        for (std::size_t i = from; i < to; ++i) {
            rects[i] = RECT{x, y, x + width, y + sizes[i].cy};
            y += sizes[i].cy;
        }
        bottom = std::max(bottom, y);
        x += width;
    }
    StoreRects(menu, rects);
    return SIZE{x, bottom};
}

void MenuLayout::PaintBar(HWND owner, HMENU menu, HDC hdc, const RECT& bar, bool inactive) {
    std::vector<MenuItem> items;
    int selected, hot;
    {
        std::lock_guard guard(Table().Lock());
        Menu* m = Table().Find(menu);
        if (!m) return;
        items = m->items;
        selected = m->selected;
        hot = m->hot;
    }
    FillRect(hdc, &bar, GetSysColorBrush(COLOR_MENU));
    for (std::size_t i = 0; i < items.size(); ++i) {
        RECT r = items[i].rect;
        OffsetRect(&r, bar.left, bar.top);
        if (r.top >= bar.bottom) continue;
        UINT state = 0;
        if (static_cast<int>(i) == selected) state |= ODS_SELECTED;
        if (static_cast<int>(i) == hot && selected < 0) state |= ODS_HOTLIGHT;
        if (inactive) state |= ODS_INACTIVE;
        if (items[i].state & MFS_HILITE) state |= ODS_SELECTED;
        DrawBarItem(owner, menu, items[i], hdc, r, state);
    }
}

void MenuLayout::PaintPopup(HWND owner, HMENU menu, HDC hdc, int selected, int clientWidth) {
    std::vector<MenuItem> items;
    {
        std::lock_guard guard(Table().Lock());
        Menu* m = Table().Find(menu);
        if (!m) return;
        items = m->items;
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        DrawPopupItem(owner, menu, items[i], hdc, Shown(items, i, clientWidth), static_cast<int>(i) == selected);
}

int MenuLayout::PopupItemAt(HMENU menu, POINT client, int clientWidth) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Table().Find(menu);
    if (!m) return -1;
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        const RECT r = Shown(m->items, i, clientWidth);
        if (PtInRect(&r, client)) return static_cast<int>(i);
    }
    return -1;
}

bool MenuLayout::PopupItemRect(HMENU menu, int position, int clientWidth, RECT* r) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Table().Find(menu);
    if (!m || !r || !m->ValidPosition(position)) return false;
    *r = Shown(m->items, static_cast<std::size_t>(position), clientWidth);
    return true;
}

int MenuLayout::BarItemAt(HMENU menu, POINT inBar) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Table().Find(menu);
    if (!m) return -1;
    for (std::size_t i = 0; i < m->items.size(); ++i)
        if (PtInRect(&m->items[i].rect, inBar)) return static_cast<int>(i);
    return -1;
}
