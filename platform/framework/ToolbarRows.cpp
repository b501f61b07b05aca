#include "platform/framework/ToolbarRows.h"

#include <algorithm>

#include "platform/controls/Toolbar.h"
#include "platform/window/Windows.h"

std::vector<ToolbarRows::Item> ToolbarRows::Items(HWND toolbar) {
    std::vector<Item> items;
    const auto count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    const int width = LOWORD(static_cast<std::uintptr_t>(SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0)));
    const int separator = (GetWindowLongPtrA(toolbar, GWL_STYLE) & TBSTYLE_FLAT) ? 6 : 8;
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        const bool sep = (b.fsStyle & BTNS_SEP) != 0;
        // A drop-down button is wider by its arrow part: the control's own rectangle says how much.
        RECT r{};
        const bool placed = !sep && SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        const int buttonWidth = placed && r.right > r.left ? static_cast<int>(r.right - r.left) : width;
        items.push_back(Item{sep, (b.fsState & TBSTATE_HIDDEN) != 0, sep ? (b.iBitmap > 0 ? b.iBitmap : separator) : buttonWidth});
    }
    return items;
}

std::vector<bool> ToolbarRows::OneRow(const std::vector<Item>& items) { return std::vector<bool>(items.size(), false); }

std::vector<bool> ToolbarRows::Column(const std::vector<Item>& items) {
    // Every button on a row of its own; a separator ends the row of the button before it and
    // lies across the gap below.
    std::vector<bool> wraps(items.size(), false);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].hidden) continue;
        if (items[i].separator) {
            wraps[i] = true;
            continue;
        }
        std::size_t next = i + 1;
        while (next < items.size() && items[next].hidden) ++next;
        wraps[i] = !(next < items.size() && items[next].separator);
    }
    return wraps;
}

std::vector<bool> ToolbarRows::WrapTo(const std::vector<Item>& items, int width) {
    std::vector<bool> wraps(items.size(), false);
    int x = 0;
    int previous = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].hidden) continue;
        if (!items[i].separator && x > 0 && x + items[i].width > width && previous >= 0) {
            // The row ends at the item before: a separator there becomes the gap between rows.
            wraps[static_cast<std::size_t>(previous)] = true;
            x = 0;
        }
        x += items[i].width;
        previous = static_cast<int>(i);
    }
    return wraps;
}

CSize ToolbarRows::ButtonArea(HWND toolbar, const std::vector<Item>& items, const std::vector<bool>& wraps) {
    const int height = HIWORD(static_cast<std::uintptr_t>(SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0)));
    int x = 0, y = 0, right = 0, bottom = 0;
    bool any = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].hidden) continue;
        any = true;
        if (items[i].separator && wraps[i]) {
            const int gap = items[i].width * 2 / 3;
            bottom = std::max(bottom, y + height + gap);
            x = 0;
            y += height + gap;
            continue;
        }
        x += items[i].width;
        right = std::max(right, x);
        bottom = std::max(bottom, y + height);
        if (wraps[i]) {
            x = 0;
            y += height;
        }
    }
    return any ? CSize(right, bottom) : CSize(0, height);
}

void ToolbarRows::ApplyWraps(HWND toolbar, const std::vector<bool>& wraps) {
    for (std::size_t i = 0; i < wraps.size(); ++i) {
        TBBUTTON b{};
        if (!SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b))) continue;
        const BYTE state = static_cast<BYTE>(wraps[i] ? (b.fsState | TBSTATE_WRAP) : (b.fsState & ~TBSTATE_WRAP));
        if (state == b.fsState) continue;
        // By position: separators share command 0.
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE | TBIF_BYINDEX;
        info.fsState = state;
        SendMessageA(toolbar, TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
}

CSize ToolbarRows::DynamicLayout(CControlBar& bar, int nLength, DWORD dwMode) {
    const HWND toolbar = bar.m_hWnd;
    if (!toolbar) return CSize();
    const std::vector<Item> items = Items(toolbar);
    std::vector<bool> wraps;
    const bool docked = (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) != 0;
    const bool shaped = !docked && ((dwMode & (LM_MRUWIDTH | LM_LENGTHY)) || nLength >= 0);
    if (dwMode & LM_VERTDOCK) {
        wraps = Column(items);
    } else if (shaped && (dwMode & LM_LENGTHY)) {
        // The narrowest rows that fit in the height asked for; one row when none do.
        wraps = OneRow(items);
        const int full = ButtonArea(toolbar, items, wraps).cx;
        for (int width = 1; width <= full; ++width) {
            std::vector<bool> tried = WrapTo(items, width);
            if (ButtonArea(toolbar, items, tried).cy <= nLength) {
                wraps = std::move(tried);
                break;
            }
        }
    } else if (shaped) {
        wraps = WrapTo(items, (dwMode & LM_MRUWIDTH) ? bar.m_nMRUWidth : nLength);
    } else {
        wraps = OneRow(items);
    }
    const CSize area = ButtonArea(toolbar, items, wraps);
    CRect inside;
    bar.CalcInsideRect(inside, (dwMode & LM_VERTDOCK) == 0);
    CSize size(area.cx - inside.Width(), area.cy - inside.Height());
    if (dwMode & LM_STRETCH) {
        if (dwMode & LM_HORZ)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    if (dwMode & LM_COMMIT) {
        ApplyWraps(toolbar, wraps);
        if (shaped) bar.m_nMRUWidth = area.cx;
    }
    return size;
}

