#include "platform/controls/ListViewPainter.h"

#include <algorithm>

#include "platform/controls/CellText.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"

namespace {

constexpr int kLabelPad = 2;  // the selection around an item label, without full-row selection

bool Meets(const RECT& a, const RECT& b) { return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom; }

}  // namespace

void ListViewPainter::Fill(const RECT& r, COLORREF color) {
    if (color == CLR_NONE || r.right <= r.left || r.bottom <= r.top) return;
    SetBkColor(hdc_, color);
    ExtTextOutA(hdc_, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
}

void ListViewPainter::DottedFrame(const RECT& r, COLORREF color) {
    for (int x = r.left; x < r.right; x += 2) {
        SetPixel(hdc_, x, r.top, color);
        SetPixel(hdc_, x, r.bottom - 1, color);
    }
    for (int y = r.top; y < r.bottom; y += 2) {
        SetPixel(hdc_, r.left, y, color);
        SetPixel(hdc_, r.right - 1, y, color);
    }
}

LRESULT ListViewPainter::Stage(DWORD stage, const RECT& rc, int row, UINT& itemState, LPARAM param, int subItem,
                               COLORREF& text, COLORREF& back) {
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.dwDrawStage = stage;
    cd.nmcd.hdc = hdc_;
    cd.nmcd.rc = rc;
    cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    cd.nmcd.uItemState = itemState;
    cd.nmcd.lItemlParam = param;
    cd.clrText = text;
    cd.clrTextBk = back;
    cd.iSubItem = subItem;
    const LRESULT result = list_.Notify(NM_CUSTOMDRAW, &cd.nmcd.hdr);
    itemState = cd.nmcd.uItemState;
    text = cd.clrText == CLR_DEFAULT ? list_.TextColor() : cd.clrText;
    back = cd.clrTextBk == CLR_DEFAULT ? list_.TextBackColor() : cd.clrTextBk;
    return result;
}

void ListViewPainter::Paint(HDC hdc, const RECT& update) {
    hdc_ = hdc;
    GetClientRect(list_.Handle(), &client_);
    SaveDC(hdc_);
    SelectObject(hdc_, list_.Font());
    SetBkMode(hdc_, TRANSPARENT);
    UINT none = 0;
    COLORREF text = list_.TextColor(), back = list_.TextBackColor();
    const LRESULT whole = Stage(CDDS_PREPAINT, client_, 0, none, 0, 0, text, back);
    if (!list_.Destroyed() && !(whole & CDRF_SKIPDEFAULT)) {
        itemStages_ = whole & CDRF_NOTIFYITEMDRAW;
        const int rowsTop = list_.RowsTop(), height = list_.RowHeight(), top = list_.TopIndex();
        if (update.bottom > rowsTop) {
            const int first = top + std::max(0, static_cast<int>(update.top) - rowsTop) / height;
            const int last = top + (static_cast<int>(update.bottom) - 1 - rowsTop) / height;
            for (int row = first; row <= last && row < list_.Rows().Count() && !list_.Destroyed(); ++row)
                PaintRow(row, update);
        }
        if (!list_.Destroyed()) {
            const int end = rowsTop + std::max(0, list_.Rows().Count() - top) * height;
            Fill(RECT{update.left, std::max(end, rowsTop), update.right, update.bottom}, list_.BackColor());
            if (list_.ExStyle() & LVS_EX_GRIDLINES) PaintGrid(update);
        }
    }
    if (!list_.Destroyed() && (whole & CDRF_NOTIFYPOSTPAINT)) {
        UINT state = 0;
        Stage(CDDS_POSTPAINT, client_, 0, state, 0, 0, text, back);
    }
    RestoreDC(hdc_, -1);
}

void ListViewPainter::PaintRow(int row, const RECT& update) {
    const ListRowStore::Row data = list_.Rows().At(row);
    const RECT bounds = list_.RowRect(row);
    if (!Meets(bounds, update)) return;
    const DWORD exStyle = list_.ExStyle();
    const bool focus = list_.HasFocus();
    const bool hot = row == list_.HotItem() &&
                     (exStyle & (LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_TRACKSELECT));
    const bool shownSelected = (data.state & LVIS_SELECTED) && (focus || (list_.Style() & LVS_SHOWSELALWAYS));
    UINT itemState = (shownSelected ? CDIS_SELECTED : 0) | ((data.state & LVIS_FOCUSED) && focus ? CDIS_FOCUS : 0) |
                     (hot ? CDIS_HOT : 0);
    COLORREF text = list_.TextColor(), back = list_.TextBackColor();
    LRESULT result = CDRF_DODEFAULT;
    if (itemStages_) {
        result = Stage(CDDS_ITEMPREPAINT, bounds, row, itemState, data.param, 0, text, back);
        if (list_.Destroyed() || row >= list_.Rows().Count() || (result & CDRF_SKIPDEFAULT)) return;
    }
    // A parent that clears CDIS_SELECTED draws the row in its own colours.
    const bool selected = itemState & CDIS_SELECTED;
    const COLORREF selectedText = GetSysColor(focus ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    const COLORREF selectedBack = GetSysColor(focus ? COLOR_HIGHLIGHT : COLOR_3DFACE);
    const bool fullRow = exStyle & LVS_EX_FULLROWSELECT;
    const bool underline = hot && (exStyle & LVS_EX_UNDERLINEHOT) &&
                           (exStyle & (LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE));
    TEXTMETRICA metrics{};
    GetTextMetricsA(hdc_, &metrics);

    const std::vector<ListView::Column> columns = list_.Shown();
    const int end = columns.empty() ? 0 : columns.back().right;
    Fill(RECT{std::max<int>(end, bounds.left), bounds.top, bounds.right, bounds.bottom}, list_.BackColor());
    RECT focusFrame{0, 0, 0, 0};
    COLORREF focusBack = back;
    for (const ListView::Column& column : columns) {
        const RECT cell{column.left, bounds.top, column.right, bounds.bottom};
        if (cell.right <= cell.left || !Meets(cell, update)) continue;
        COLORREF cellText = text, cellBack = back;
        if (result & CDRF_NOTIFYSUBITEMDRAW) {
            UINT state = itemState;
            const LRESULT sub =
                Stage(CDDS_ITEMPREPAINT | CDDS_SUBITEM, cell, row, state, data.param, column.index, cellText, cellBack);
            if (list_.Destroyed() || row >= list_.Rows().Count()) return;
            if (sub & CDRF_SKIPDEFAULT) continue;
        }
        const bool itemColumn = column.index == 0;
        const std::string_view label = list_.Rows().Text(row, column.subItem);
        const RECT textRect = list_.TextRect(row, column);
        if (cellBack == CLR_NONE) cellBack = list_.BackColor();
        if (selected && fullRow) {
            cellBack = selectedBack;
            cellText = selectedText;
        } else if (hot) {
            cellText = GetSysColor(COLOR_HOTLIGHT);
        }
        Fill(cell, cellBack);
        if (itemColumn) {
            if (HIMAGELIST images = list_.SmallImages()) {
                const RECT icon = list_.IconRect(row, column);
                SaveDC(hdc_);
                IntersectClipRect(hdc_, cell.left, cell.top, cell.right, cell.bottom);
                ImageList_Draw(images, data.image, hdc_, icon.left, icon.top, ILD_TRANSPARENT);
                RestoreDC(hdc_, -1);
            }
            // Without full-row selection only the label shows the selection and the focus.
            const int width = std::min<int>(CellText::Width(hdc_, label), Width(textRect));
            const RECT labelRect{textRect.left - kLabelPad, cell.top,
                                 std::min<int>(textRect.left + width + kLabelPad, cell.right), cell.bottom};
            if (selected && !fullRow) {
                Fill(labelRect, selectedBack);
                cellText = selectedText;
            }
            if (!fullRow) {
                focusFrame = labelRect;
                focusBack = selected ? selectedBack : cellBack;
            }
        }
        SaveDC(hdc_);
        IntersectClipRect(hdc_, cell.left, cell.top, cell.right, cell.bottom);
        SetTextColor(hdc_, cellText);
        const int align = column.format & LVCFMT_JUSTIFYMASK;
        const int drawn = CellText::Draw(hdc_, textRect, label, align);
        if (underline && drawn > 0) {
            int x = textRect.left;
            if (align == LVCFMT_RIGHT)
                x = textRect.right - drawn;
            else if (align == LVCFMT_CENTER)
                x = textRect.left + (Width(textRect) - drawn) / 2;
            const int y = textRect.top + (Height(textRect) - metrics.tmHeight) / 2 + metrics.tmAscent + 1;
            Fill(RECT{x, y, x + drawn, y + 1}, cellText);
        }
        RestoreDC(hdc_, -1);
        if (fullRow) focusBack = cellBack;
    }
    if (itemState & CDIS_FOCUS) {
        if (fullRow && !columns.empty()) focusFrame = RECT{columns.front().left, bounds.top, end, bounds.bottom};
        if (!IsRectEmpty(&focusFrame)) DottedFrame(focusFrame, focusBack ^ 0x00FFFFFF);
    }
    if (result & CDRF_NOTIFYPOSTPAINT) {
        UINT state = itemState;
        Stage(CDDS_ITEMPOSTPAINT, bounds, row, state, data.param, 0, text, back);
    }
    if (result & CDRF_NEWFONT) SelectObject(hdc_, list_.Font());
}

void ListViewPainter::PaintGrid(const RECT& update) {
    const std::vector<ListView::Column> columns = list_.Shown();
    if (columns.empty()) return;
    const COLORREF grid = GetSysColor(COLOR_3DFACE);
    const int rowsTop = list_.RowsTop(), height = list_.RowHeight();
    const int end = columns.back().right;
    // Through the whole client area, below the last row too.
    const int firstSlot = std::max(0, static_cast<int>(update.top) - rowsTop) / height;
    for (int y = rowsTop + firstSlot * height + height - 1; y < update.bottom; y += height)
        Fill(RECT{std::max<int>(update.left, columns.front().left), y, std::min<int>(update.right, end), y + 1}, grid);
    for (const ListView::Column& column : columns)
        if (column.right > column.left)
            Fill(RECT{column.right - 1, std::max<int>(rowsTop, update.top), column.right, update.bottom}, grid);
}
