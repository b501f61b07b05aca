#include "platform/sample/GalleryMenuStyle.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/controls/Menus.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/window/Windows.h"

namespace {

constexpr int kIconWidth = 16, kIconHeight = 15;
constexpr int kBand = kIconWidth + 8;  // the shaded strip the pictures stand in
constexpr int kItemHeight = 22, kSeparatorHeight = 7;
constexpr int kFrame = 3;   // the popup's own frame: as wide as the standard one it replaces
constexpr int kShadow = 4;  // right and below
constexpr const char* kOldProc = "GalleryMenuOldProc";

struct Item {
    std::string text;
    UINT command = 0;
    bool bar = false;
};

// The style serves one thread's menus, the gallery's only thread.
struct State {
    std::vector<Item> items;  // item data n is items[n - 1]
    std::vector<int> commands;
    HIMAGELIST images = nullptr;
    HIMAGELIST disabled = nullptr;
    HHOOK hook = nullptr;
};
State gStyle;

COLORREF Mix(COLORREF a, COLORREF b, int percentOfB) {
    auto channel = [&](int shift) {
        const int x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
        return static_cast<COLORREF>((x * (100 - percentOfB) + y * percentOfB) / 100) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

COLORREF BandColor() { return Mix(GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_WINDOW), 35); }
COLORREF BackColor() { return Mix(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_3DFACE), 15); }

void Fill(HDC hdc, const RECT& r, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

void Frame(HDC hdc, const RECT& r, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FrameRect(hdc, &r, brush);
    DeleteObject(brush);
}

const Item* ItemOf(ULONG_PTR data) {
    return data >= 1 && data <= gStyle.items.size() ? &gStyle.items[data - 1] : nullptr;
}

int ImageOf(UINT command) {
    const auto it = std::find(gStyle.commands.begin(), gStyle.commands.end(), static_cast<int>(command));
    return it == gStyle.commands.end() ? -1 : static_cast<int>(it - gStyle.commands.begin());
}

SIZE TextSize(HWND owner, const std::string& text) {
    SIZE size{0, 0};
    const HDC hdc = GetDC(owner);
    const HGDIOBJ old = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, 0, 0};
    DrawTextA(hdc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    size = SIZE{Width(r), Height(r)};
    SelectObject(hdc, old);
    ReleaseDC(owner, hdc);
    return size;
}

void DrawCheck(HDC hdc, int x, int y, COLORREF color) {
    const HPEN pen = CreatePen(PS_SOLID, 1, color);
    const HGDIOBJ old = SelectObject(hdc, pen);
    for (int line = 0; line < 3; ++line) {
        MoveToEx(hdc, x, y + 2 + line, nullptr);
        LineTo(hdc, x + 2, y + 4 + line);
        LineTo(hdc, x + 7, y - 1 + line);
    }
    SelectObject(hdc, old);
    DeleteObject(pen);
}

}  // namespace

void GalleryMenuStyle::Install(HMENU bar, const int* commands, int count, HIMAGELIST images, HIMAGELIST disabled) {
    gStyle.commands.assign(commands, commands + count);
    gStyle.images = images;
    gStyle.disabled = disabled;
    MakeOwnerDrawn(bar, true);
    if (!gStyle.hook) gStyle.hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, 0);
}

void GalleryMenuStyle::Uninstall() {
    if (gStyle.hook) UnhookWindowsHookEx(gStyle.hook);
    gStyle = State{};
}

void GalleryMenuStyle::MakeOwnerDrawn(HMENU menu, bool bar) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        if (info.hSubMenu) MakeOwnerDrawn(info.hSubMenu, false);
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        gStyle.items.push_back(Item{text, (info.fType & MFT_SEPARATOR) ? 0 : info.wID, bar});
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        info.fType |= MFT_OWNERDRAW;
        info.dwItemData = gStyle.items.size();
        SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    }
}

bool GalleryMenuStyle::Measure(HWND owner, MEASUREITEMSTRUCT& item) {
    const Item* ours = item.CtlType == ODT_MENU ? ItemOf(item.itemData) : nullptr;
    if (!ours) return false;
    if (ours->text.empty()) {
        item.itemWidth = kBand;
        item.itemHeight = kSeparatorHeight;
        return true;
    }
    const SIZE text = TextSize(owner, ours->text);
    // Bar items have their captions' width; popup items room for the band, a gap and the
    // accelerator's margin as well.
    item.itemWidth = static_cast<UINT>(ours->bar ? text.cx : text.cx + 2 * kIconWidth + 2 + 15);
    item.itemHeight = static_cast<UINT>(ours->bar ? text.cy : kItemHeight);
    return true;
}

bool GalleryMenuStyle::Draw(const DRAWITEMSTRUCT& item) {
    const Item* ours = item.CtlType == ODT_MENU ? ItemOf(item.itemData) : nullptr;
    if (!ours) return false;
    const HGDIOBJ oldFont = SelectObject(item.hDC, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(item.hDC, TRANSPARENT);
    if (ours->bar)
        DrawBarItem(item, ours->text);
    else
        DrawPopupItem(item, ours->text);
    SelectObject(item.hDC, oldFont);
    return true;
}

void GalleryMenuStyle::DrawBarItem(const DRAWITEMSTRUCT& item, const std::string& text) {
    RECT r = item.rcItem;
    Fill(item.hDC, r, GetSysColor(COLOR_3DFACE));
    if (item.itemState & ODS_SELECTED) {
        // Open: the item joins the popup below it, in the band's colour with the popup's frame.
        Fill(item.hDC, r, BandColor());
        const HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
        const HGDIOBJ old = SelectObject(item.hDC, pen);
        MoveToEx(item.hDC, r.left, r.bottom, nullptr);
        LineTo(item.hDC, r.left, r.top);
        LineTo(item.hDC, r.right - 1, r.top);
        LineTo(item.hDC, r.right - 1, r.bottom);
        SelectObject(item.hDC, old);
        DeleteObject(pen);
    } else if (item.itemState & ODS_HOTLIGHT) {
        Fill(item.hDC, r, Mix(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW), 70));
        Frame(item.hDC, r, GetSysColor(COLOR_HIGHLIGHT));
    }
    SetTextColor(item.hDC, GetSysColor((item.itemState & (ODS_GRAYED | ODS_INACTIVE)) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    DrawTextA(item.hDC, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void GalleryMenuStyle::DrawPopupItem(const DRAWITEMSTRUCT& item, const std::string& text) {
    const HDC hdc = item.hDC;
    const RECT all = item.rcItem;
    RECT band = all, rest = all;
    band.right = all.left + kBand;
    rest.left = band.right;
    Fill(hdc, band, BandColor());
    Fill(hdc, rest, BackColor());
    if (text.empty()) {  // a separator: a line from the band to the right edge
        RECT line{rest.left + 6, (all.top + all.bottom) / 2, all.right, (all.top + all.bottom) / 2 + 1};
        Fill(hdc, line, GetSysColor(COLOR_3DSHADOW));
        return;
    }
    const bool grayed = item.itemState & (ODS_GRAYED | ODS_DISABLED);
    if ((item.itemState & ODS_SELECTED) && !grayed) {
        RECT selection = all;
        InflateRect(&selection, -1, 0);
        Fill(hdc, selection, Mix(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW), 70));
        Frame(hdc, selection, GetSysColor(COLOR_HIGHLIGHT));
    }
    const int image = ImageOf(item.itemID);
    const int iconX = all.left + (kBand - kIconWidth) / 2, iconY = all.top + (Height(all) - kIconHeight) / 2;
    if (image >= 0) {
        if (item.itemState & ODS_CHECKED) {
            RECT box{iconX - 2, iconY - 2, iconX + kIconWidth + 2, iconY + kIconHeight + 2};
            Frame(hdc, box, GetSysColor(COLOR_HIGHLIGHT));
        }
        const HIMAGELIST list = grayed && gStyle.disabled ? gStyle.disabled : gStyle.images;
        if (list) ImageList_Draw(list, image, hdc, iconX, iconY, ILD_TRANSPARENT);
    } else if (item.itemState & ODS_CHECKED) {
        DrawCheck(hdc, iconX + 4, iconY + 4, GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    }
    SetTextColor(hdc, GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    // The label at the left, what follows a tab (the accelerator) at the right.
    const std::size_t tab = text.find('\t');
    RECT label = rest;
    label.left += 8;
    label.right -= 15;
    DrawTextA(hdc, text.c_str(), static_cast<int>(std::min(tab, text.size())), &label,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (tab != std::string::npos)
        DrawTextA(hdc, text.c_str() + tab + 1, -1, &label, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CALLBACK GalleryMenuStyle::Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    char name[16] = {};
    if (call && call->message == WM_CREATE && GetClassNameA(call->hwnd, name, sizeof name) &&
        !std::strcmp(name, kPopupMenuClass) && !GetPropA(call->hwnd, kOldProc)) {
        // The popup draws its own frame: the system's border and its extended frame styles go.
        SetPropA(call->hwnd, kOldProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(call->hwnd, GWLP_WNDPROC)));
        SetWindowLongPtrA(call->hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(FrameProc));
        SetWindowLongPtrA(call->hwnd, GWL_STYLE, GetWindowLongPtrA(call->hwnd, GWL_STYLE) & ~WS_BORDER);
        SetWindowLongPtrA(call->hwnd, GWL_EXSTYLE,
                          GetWindowLongPtrA(call->hwnd, GWL_EXSTYLE) & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
    }
    return CallNextHookEx(gStyle.hook, code, wParam, lParam);
}

LRESULT CALLBACK GalleryMenuStyle::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProc));
    switch (message) {
        case WM_WINDOWPOSCHANGING: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (!(pos->flags & SWP_NOSIZE)) {
                pos->cx += kShadow;
                pos->cy += kShadow;
            }
            return 0;
        }
        case WM_NCCALCSIZE: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            r->left += kFrame;
            r->top += kFrame;
            r->right -= kFrame + kShadow;
            r->bottom -= kFrame + kShadow;
            return 0;
        }
        case WM_NCPAINT: {
            const HDC hdc = GetWindowDC(hwnd);
            RECT window;
            GetWindowRect(hwnd, &window);
            const int w = Width(window), h = Height(window);
            const RECT menu{0, 0, w - kShadow, h - kShadow};
            // Between the frame line and the items: the band's colour at the left, else the back.
            Fill(hdc, menu, BackColor());
            Fill(hdc, RECT{0, 0, kFrame + kBand, h - kShadow}, BandColor());
            Frame(hdc, menu, GetSysColor(COLOR_3DSHADOW));
            // What lies under the corners the shadow leaves out is most likely the frame's face.
            Fill(hdc, RECT{w - kShadow, 0, w, kShadow}, GetSysColor(COLOR_3DFACE));
            Fill(hdc, RECT{0, h - kShadow, kShadow, h}, GetSysColor(COLOR_3DFACE));
            for (int i = 0; i < kShadow; ++i) {
                const COLORREF shade = Mix(GetSysColor(COLOR_3DFACE), RGB(0, 0, 0), 40 - 10 * i);
                Fill(hdc, RECT{w - kShadow + i, kShadow, w - kShadow + i + 1, h - i}, shade);
                Fill(hdc, RECT{kShadow, h - kShadow + i, w - i, h - kShadow + i + 1}, shade);
            }
            ReleaseDC(hwnd, hdc);
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(old));
            RemovePropA(hwnd, kOldProc);
            break;
        default:
            break;
    }
    return old ? CallWindowProcA(old, hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}
