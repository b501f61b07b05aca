#include "platform/controls/ListView.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/controls/CellText.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Header.h"
#include "platform/controls/ListLabelTip.h"
#include "platform/controls/ListViewPainter.h"
#include "platform/controls/PrivateMessageTrace.h"
#include "platform/controls/WindowStateMap.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/ScrollBars.h"

namespace {

constexpr std::uintptr_t kPointerTimer = 1;  // watches the pointer while a row is hot or a tip shows
constexpr UINT kPointerPeriod = 100;
constexpr int kDragDistance = 4;   // a press moves this far before it becomes a drag
constexpr int kIconInset = 4;      // from the cell's left edge to the icon
constexpr int kIconGap = 2;        // from the icon to the text
constexpr int kCellInset = 6;      // from the cell's edges to its text
constexpr int kLinePixels = 16;    // one step of horizontal scrolling
constexpr int kWheelLines = 3;     // rows a notch of the wheel scrolls
constexpr LRESULT kWantArrows = 0x0001, kWantChars = 0x0080;  // WM_GETDLGCODE

constexpr UINT kSelected = LVIS_SELECTED, kFocused = LVIS_FOCUSED;

WindowStateMap<ListView>& States() {
    static Immortal<WindowStateMap<ListView>> states;
    return *states;
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

const char* TextOf(const char* text) { return text && text != LPSTR_TEXTCALLBACKA ? text : ""; }

int CopyText(std::string_view text, char* out, int size) {
    if (!out || out == LPSTR_TEXTCALLBACKA || size <= 0) return 0;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    if (n) std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}

unsigned char Lower(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
}

// As the platform compares item texts: without regard to letter case.
int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (Lower(a[i]) != Lower(b[i])) return Lower(a[i]) < Lower(b[i]) ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && CompareText(text.substr(0, start.size()), start) == 0;
}

bool KeyDown(int vk) { return GetKeyState(vk) < 0; }

}  // namespace

void ListView::Register() {
    ControlSupport::Register(WC_LISTVIEWA, Proc, IDC_ARROW);
    ListLabelTip::Register();
}

ListView::ListView(HWND hwnd, const CREATESTRUCTA& create)
    : hwnd_(hwnd),
      parent_(create.hwndParent),
      id_(static_cast<int>(reinterpret_cast<std::intptr_t>(create.hMenu))),
      backColor_(GetSysColor(COLOR_WINDOW)),
      textColor_(GetSysColor(COLOR_WINDOWTEXT)),
      textBackColor_(GetSysColor(COLOR_WINDOW)) {}

ListView::~ListView() {
    if (measureDc_) DeleteDC(measureDc_);
}

LRESULT CALLBACK ListView::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (!create) return -1;
        auto self = std::make_shared<ListView>(hwnd, *create);
        States().Attach(hwnd, self);
        if (self->OnCreate() < 0) {
            States().Detach(hwnd);
            return -1;
        }
        return 0;
    }
    // Held for the whole handler: a parent may destroy the list from a notification.
    const std::shared_ptr<ListView> self = States().Find(hwnd);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        self->OnDestroy();
        States().Detach(hwnd);
        return 0;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        // No exception crosses the window system: the caller sees a failure, the parent is told.
        NMHDR nm{};
        self->Notify(NM_OUTOFMEMORY, &nm);
        return message == LVM_INSERTITEMA || message == LVM_INSERTCOLUMNA ? -1 : 0;
    }
}

LRESULT ListView::OnCreate() {
    measureDc_ = CreateCompatibleDC(nullptr);
    if (!measureDc_) return -1;
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SelectObject(measureDc_, font_);
    const DWORD style = Style();
    header_ = CreateWindowExA(0, WC_HEADERA, "",
                              WS_CHILD | HDS_HORZ | HDS_FULLDRAG | ((style & LVS_NOSORTHEADER) ? 0 : HDS_BUTTONS), 0, 0,
                              0, 0, hwnd_, nullptr, nullptr, nullptr);
    if (!header_) return -1;
    SendMessageA(header_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    tip_ = std::make_unique<ListLabelTip>(hwnd_);
    knownStyle_ = style;
    Measure();
    Layout();
    return 0;
}

void ListView::OnDestroy() {
    destroyed_ = true;
    tracking_ = false;
    if (pointerTimer_) KillTimer(hwnd_, kPointerTimer);
    pointerTimer_ = false;
    tip_.reset();
    // The platform's rule: the list owns its image lists unless told they are shared.
    if (!(Style() & LVS_SHAREIMAGELISTS)) {
        for (HIMAGELIST* list : {&normalImages_, &smallImages_, &stateImages_}) {
            if (*list) ImageList_Destroy(*list);
            *list = nullptr;
        }
    }
}

COLORREF* ListView::ColorSlot(UINT message) {
    switch (message) {
        case LVM_GETTEXTCOLOR:
        case LVM_SETTEXTCOLOR: return &textColor_;
        case LVM_GETTEXTBKCOLOR:
        case LVM_SETTEXTBKCOLOR: return &textBackColor_;
        default: return &backColor_;
    }
}

HIMAGELIST* ListView::ImageSlot(int which) {
    switch (which) {
        case LVSIL_NORMAL: return &normalImages_;
        case LVSIL_SMALL: return &smallImages_;
        case LVSIL_STATE: return &stateImages_;
        default: return nullptr;
    }
}

DWORD ListView::Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }

LRESULT ListView::Notify(UINT code, NMHDR* header) {
    header->hwndFrom = hwnd_;
    header->idFrom = static_cast<UINT_PTR>(id_);
    header->code = code;
    if (!parent_ || destroyed_) return 0;
    return SendMessageA(parent_, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(header));
}

LRESULT ListView::NotifyItem(UINT code, int row, UINT newState, UINT oldState, UINT changed, POINT at) {
    NMLISTVIEW nm{};
    nm.iItem = row;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = changed;
    nm.ptAction = at;
    nm.lParam = row >= 0 && row < rows_.Count() ? rows_.At(row).param : 0;
    return Notify(code, &nm.hdr);
}

LRESULT ListView::NotifyActivate(UINT code, int row, int subItem, POINT at) {
    NMITEMACTIVATE nm{};
    nm.iItem = row;
    nm.iSubItem = subItem;
    nm.ptAction = at;
    nm.lParam = row >= 0 && row < rows_.Count() ? rows_.At(row).param : 0;
    nm.uKeyFlags = KeyFlags();
    return Notify(code, &nm.hdr);
}

UINT ListView::KeyFlags() const {
    return (KeyDown(VK_MENU) ? LVKF_ALT : 0) | (KeyDown(VK_CONTROL) ? LVKF_CONTROL : 0) |
           (KeyDown(VK_SHIFT) ? LVKF_SHIFT : 0);
}

LRESULT ListView::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const int row = static_cast<int>(wParam);
    switch (message) {
        // Rows.
        case LVM_GETITEMCOUNT:
            return rows_.Count();
        case LVM_INSERTITEMA:
            return InsertItem(reinterpret_cast<const LVITEMA*>(lParam));
        case LVM_DELETEITEM:
            return DeleteItem(row);
        case LVM_DELETEALLITEMS:
            return DeleteAllItems();
        case LVM_GETITEMA:
            return GetItem(reinterpret_cast<LVITEMA*>(lParam));
        case LVM_SETITEMA:
            return SetItem(reinterpret_cast<const LVITEMA*>(lParam));
        case LVM_GETITEMTEXTA:
            return GetItemText(row, reinterpret_cast<LVITEMA*>(lParam));
        case LVM_SETITEMTEXTA:
            return SetItemText(row, reinterpret_cast<const LVITEMA*>(lParam));
        case LVM_SETITEMSTATE:
            return SetItemState(row, reinterpret_cast<const LVITEMA*>(lParam));
        case LVM_GETITEMSTATE:
            return row >= 0 && row < rows_.Count() ? rows_.At(row).state & static_cast<UINT>(lParam) : 0;
        case LVM_GETNEXTITEM:
            return NextItem(row, static_cast<UINT>(lParam));
        case LVM_FINDITEMA:
            return FindItem(row, reinterpret_cast<const LVFINDINFOA*>(lParam));
        case LVM_SORTITEMS:
            return SortItems(static_cast<LPARAM>(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
        case LVM_GETSELECTEDCOUNT:
            return selectedCount_;
        case LVM_SETITEMCOUNT:
            return TRUE;  // rows are stored in blocks: nothing to reserve
        case LVM_GETSELECTIONMARK:
            return mark_;
        case LVM_SETSELECTIONMARK: {
            const int old = mark_;
            mark_ = static_cast<int>(lParam) < rows_.Count() ? std::max(-1, static_cast<int>(lParam)) : -1;
            return old;
        }
        case LVM_GETHOTITEM:
            return hot_;
        case LVM_SETHOTITEM: {
            const int old = hot_;
            SetHot(row);
            return old;
        }
        case LVM_GETHOTCURSOR:
            return reinterpret_cast<LRESULT>(hotCursor_);
        case LVM_SETHOTCURSOR: {
            HCURSOR old = hotCursor_;
            hotCursor_ = reinterpret_cast<HCURSOR>(lParam);
            return reinterpret_cast<LRESULT>(old);
        }
        case LVM_GETITEMW:
        case LVM_SETITEMW:
            return FALSE;  // texts are single-byte strings here
        case LVM_INSERTITEMW:
            return -1;
        case LVM_SETUNICODEFORMAT:
        case LVM_GETUNICODEFORMAT:
            return FALSE;

        // Columns.
        case LVM_INSERTCOLUMNA:
            return InsertColumn(row, reinterpret_cast<const LVCOLUMNA*>(lParam));
        case LVM_DELETECOLUMN:
            return DeleteColumn(row);
        case LVM_GETCOLUMNA:
            return GetColumn(row, reinterpret_cast<LVCOLUMNA*>(lParam));
        case LVM_SETCOLUMNA:
            return SetColumn(row, reinterpret_cast<const LVCOLUMNA*>(lParam));
        case LVM_GETCOLUMNWIDTH:
            return ColumnWidth(row);
        case LVM_SETCOLUMNWIDTH:
            return SetColumnWidth(row, static_cast<int>(static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)))));
        case LVM_GETHEADER:
            return reinterpret_cast<LRESULT>(header_);
        case LVM_GETCOLUMNORDERARRAY:
            return Header_GetOrderArray(header_, row, reinterpret_cast<int*>(lParam));
        case LVM_SETCOLUMNORDERARRAY: {
            const BOOL done = Header_SetOrderArray(header_, row, reinterpret_cast<const int*>(lParam));
            ColumnsChanged();
            return done;
        }

        // Looks.
        case LVM_GETBKCOLOR:
        case LVM_GETTEXTCOLOR:
        case LVM_GETTEXTBKCOLOR:
            return *ColorSlot(message);
        case LVM_SETBKCOLOR:
        case LVM_SETTEXTCOLOR:
        case LVM_SETTEXTBKCOLOR:
            *ColorSlot(message) = static_cast<COLORREF>(lParam);
            Invalidate();
            return TRUE;
        case LVM_GETIMAGELIST: {
            HIMAGELIST* slot = ImageSlot(static_cast<int>(wParam));
            return reinterpret_cast<LRESULT>(slot ? *slot : nullptr);
        }
        case LVM_SETIMAGELIST: {
            HIMAGELIST* slot = ImageSlot(static_cast<int>(wParam));
            if (!slot) return 0;
            HIMAGELIST old = *slot;
            *slot = reinterpret_cast<HIMAGELIST>(lParam);
            Measure();
            Layout();
            Invalidate();
            return reinterpret_cast<LRESULT>(old);
        }
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            const DWORD old = exStyle_;
            SetExtendedStyle(wParam ? static_cast<DWORD>(wParam) : ~DWORD{0}, static_cast<DWORD>(lParam));
            return old;
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return exStyle_;
        case LVM_GETSTRINGWIDTHA:
            return lParam ? CellText::Width(measureDc_, reinterpret_cast<const char*>(lParam)) : 0;
        case LVM_REDRAWITEMS:
            for (int r = std::max(row, top_); r <= static_cast<int>(lParam) && r <= top_ + PerPage(); ++r)
                InvalidateRow(r);
            return TRUE;
        case LVM_UPDATE:
            InvalidateRow(row);
            return TRUE;

        // Geometry and scrolling.
        case LVM_GETITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            return r ? GetItemRect(row, r, r->left) : FALSE;
        }
        case LVM_GETSUBITEMRECT:
            return GetSubItemRect(row, reinterpret_cast<RECT*>(lParam));
        case LVM_HITTEST:
        case LVM_SUBITEMHITTEST: {
            auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
            return info ? HitTest(*info, message == LVM_SUBITEMHITTEST) : -1;
        }
        case LVM_ENSUREVISIBLE:
            return EnsureVisible(row, lParam != 0);
        case LVM_SCROLL: {
            FlushScrollBars();
            const int dy = static_cast<int>(lParam);
            int rows = dy / rowHeight_;
            if (dy % rowHeight_) rows += dy > 0 ? 1 : -1;
            ScrollBy(rows, static_cast<int>(wParam));
            return TRUE;
        }
        case LVM_GETTOPINDEX:
            FlushScrollBars();
            return top_;
        case LVM_GETCOUNTPERPAGE:
            return PerPage();
        case LVM_GETORIGIN:
            return FALSE;  // report view has no origin
        case LVM_GETVIEWRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            if (!r) return FALSE;
            *r = RECT{-scrollX_, headerHeight_ - top_ * rowHeight_, TotalWidth() - scrollX_,
                      headerHeight_ + (rows_.Count() - top_) * rowHeight_};
            return TRUE;
        }

        // Window messages.
        case WM_NOTIFY:
            return OnHeaderNotify(reinterpret_cast<NMHDR*>(lParam));
        case WM_NOTIFYFORMAT:
            return NFR_ANSI;
        case WM_SETFONT:
            SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SETREDRAW:
            redraw_ = wParam != 0;
            if (redraw_) {
                scrollStale_ = true;
                FlushScrollBars();
                Invalidate();
            }
            return 0;
        case WM_SIZE:
            Layout();
            Invalidate();
            return 0;
        case WM_STYLECHANGED:
            SyncStyle();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers every pixel of the rows' area
        case WM_PAINT: {
            SyncStyle();
            FlushScrollBars();
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd_, &ps);
            if (hdc) ListViewPainter(*this).Paint(hdc, ps.rcPaint);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT client{0, 0, clientWidth_, clientHeight_};
            ListViewPainter(*this).Paint(reinterpret_cast<HDC>(wParam), client);
            return 0;
        }
        case WM_SETFOCUS: {
            focused_ = true;
            NMHDR nm{};
            Notify(NM_SETFOCUS, &nm);
            Invalidate();
            return 0;
        }
        case WM_KILLFOCUS: {
            focused_ = false;
            tip_->Hide();
            NMHDR nm{};
            Notify(NM_KILLFOCUS, &nm);
            Invalidate();
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            OnButtonDown(PointOf(lParam), message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK,
                         message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK, wParam);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            OnButtonUp(PointOf(lParam), message == WM_RBUTTONUP);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(PointOf(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd_) tracking_ = false;
            return 0;
        case WM_MOUSEWHEEL:
            OnWheel(static_cast<short>(HIWORD(wParam)));
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
            OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(static_cast<int>(wParam))) return 0;
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        case WM_GETDLGCODE:
            return kWantArrows | kWantChars;
        case WM_TIMER:
            if (wParam == kPointerTimer) {
                CheckPointer();
                return 0;
            }
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == hwnd_ && OnSetCursor()) return TRUE;
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        default:
            if (message >= LVM_FIRST && message < LVM_FIRST + 0x100)
                PrivateMessageTrace::Unknown(WC_LISTVIEWA, hwnd_, message, wParam, lParam);
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

// --- Rows ------------------------------------------------------------------------------------

int ListView::InsertItem(const LVITEMA* item) {
    if (!item || item->iItem < 0 || item->iSubItem != 0 || rows_.Count() == INT_MAX) return -1;
    const char* text = (item->mask & LVIF_TEXT) ? TextOf(item->pszText) : nullptr;
    int index = std::min(item->iItem, rows_.Count());
    const DWORD style = Style();
    if (style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
        // The first row that sorts after the new one.
        const bool ascending = style & LVS_SORTASCENDING;
        int low = 0, high = rows_.Count();
        const std::string_view key = text ? text : "";
        while (low < high) {
            const int middle = low + (high - low) / 2;
            const int order = CompareText(rows_.Text(middle, 0), key);
            if (ascending ? order <= 0 : order >= 0)
                low = middle + 1;
            else
                high = middle;
        }
        index = low;
    }
    ListRowStore::Row row;
    row.param = (item->mask & LVIF_PARAM) ? item->lParam : 0;
    row.image = (item->mask & LVIF_IMAGE) ? item->iImage : 0;
    const UINT given = (item->mask & LVIF_STATE) ? item->state & item->stateMask : 0;
    // Selection and focus are given below, where they are announced.
    row.state = static_cast<std::uint16_t>(given & ~(kSelected | kFocused));
    rows_.Insert(index, row, text);
    Shifted(index, 1);
    scrollStale_ = true;
    InvalidateFrom(index);
    NotifyItem(LVN_INSERTITEM, index, 0, 0, 0, POINT{0, 0});
    if (destroyed_) return index;
    if ((given & (kSelected | kFocused)) && index < rows_.Count())
        ChangeState(index, given & (kSelected | kFocused), kSelected | kFocused);
    return index;
}

void ListView::Shifted(int row, int by) {
    auto shift = [&](int& index) {
        if (index < 0) return;
        if (by > 0 && index >= row) ++index;
        if (by < 0) {
            if (index == row)
                index = -1;
            else if (index > row)
                --index;
        }
    };
    shift(focus_);
    shift(mark_);
    shift(hot_);
    shift(pressedRow_);
    if (firstSelected_ != INT_MAX) {
        if (by > 0 && firstSelected_ >= row) ++firstSelected_;
        if (by < 0 && firstSelected_ > row) --firstSelected_;
    }
}

bool ListView::DeleteItem(int row) {
    if (row < 0 || row >= rows_.Count()) return false;
    NotifyItem(LVN_DELETEITEM, row, 0, 0, 0, POINT{0, 0});
    if (destroyed_ || row >= rows_.Count()) return false;
    if (rows_.At(row).state & kSelected) --selectedCount_;
    rows_.Erase(row);
    Shifted(row, -1);
    if (selectedCount_ == 0) firstSelected_ = INT_MAX;
    tip_->Hide();
    scrollStale_ = true;
    InvalidateFrom(row);
    return true;
}

bool ListView::DeleteAllItems() {
    if (rows_.Count() == 0) return true;
    // Per row unless the parent says it needs no word of each.
    if (!NotifyItem(LVN_DELETEALLITEMS, -1, 0, 0, 0, POINT{0, 0}))
        for (int r = 0; r < rows_.Count() && !destroyed_; ++r) NotifyItem(LVN_DELETEITEM, r, 0, 0, 0, POINT{0, 0});
    if (destroyed_) return false;
    rows_.Clear();
    focus_ = mark_ = hot_ = pressedRow_ = -1;
    selectedCount_ = 0;
    firstSelected_ = INT_MAX;
    top_ = 0;
    tip_->Hide();
    scrollStale_ = true;
    Invalidate();
    return true;
}

bool ListView::GetItem(LVITEMA* item) const {
    if (!item || item->iItem < 0 || item->iItem >= rows_.Count() || item->iSubItem < 0) return false;
    const ListRowStore::Row& row = rows_.At(item->iItem);
    if (item->mask & LVIF_TEXT) CopyText(rows_.Text(item->iItem, item->iSubItem), item->pszText, item->cchTextMax);
    if (item->mask & LVIF_IMAGE && item->iSubItem == 0) item->iImage = row.image;
    if (item->mask & LVIF_PARAM) item->lParam = row.param;
    if (item->mask & LVIF_STATE) item->state = row.state & item->stateMask;
    if (item->mask & LVIF_INDENT) item->iIndent = 0;
    return true;
}

bool ListView::SetItem(const LVITEMA* item) {
    if (!item || item->iItem < 0 || item->iItem >= rows_.Count() || item->iSubItem < 0) return false;
    const int index = item->iItem;
    if (item->iSubItem > 0) {
        if (!(item->mask & LVIF_TEXT)) return true;
        if (!rows_.SetText(index, item->iSubItem, TextOf(item->pszText))) return false;
        InvalidateRow(index);
        return true;
    }
    // The row itself: its changes are announced, and may be refused.
    const ListRowStore::Row& row = rows_.At(index);
    UINT changed = 0;
    if ((item->mask & LVIF_TEXT) && rows_.Text(index, 0) != TextOf(item->pszText)) changed |= LVIF_TEXT;
    if ((item->mask & LVIF_IMAGE) && row.image != item->iImage) changed |= LVIF_IMAGE;
    if ((item->mask & LVIF_PARAM) && row.param != item->lParam) changed |= LVIF_PARAM;
    if (changed) {
        const UINT state = row.state;
        if (NotifyItem(LVN_ITEMCHANGING, index, state, state, changed, POINT{0, 0})) return false;
        if (destroyed_ || index >= rows_.Count()) return false;
        ListRowStore::Row& r = rows_.At(index);
        if (changed & LVIF_TEXT) rows_.SetText(index, 0, TextOf(item->pszText));
        if (changed & LVIF_IMAGE) r.image = item->iImage;
        if (changed & LVIF_PARAM) r.param = item->lParam;
        InvalidateRow(index);
        NotifyItem(LVN_ITEMCHANGED, index, r.state, r.state, changed, POINT{0, 0});
        if (destroyed_ || index >= rows_.Count()) return false;
    }
    if (item->mask & LVIF_STATE) return ChangeState(index, item->state, item->stateMask);
    return true;
}

int ListView::GetItemText(int row, LVITEMA* item) const {
    if (!item) return 0;
    if (row < 0 || row >= rows_.Count()) return CopyText({}, item->pszText, item->cchTextMax);
    return CopyText(rows_.Text(row, item->iSubItem), item->pszText, item->cchTextMax);
}

bool ListView::SetItemText(int row, const LVITEMA* item) {
    if (!item || row < 0 || row >= rows_.Count() || item->iSubItem < 0) return false;
    LVITEMA change{};
    change.mask = LVIF_TEXT;
    change.iItem = row;
    change.iSubItem = item->iSubItem;
    change.pszText = item->pszText;
    return SetItem(&change);
}

int ListView::NextItem(int start, UINT flags) const {
    const int count = rows_.Count();
    const UINT state = flags & (LVNI_FOCUSED | LVNI_SELECTED | LVNI_CUT | LVNI_DROPHILITED);
    if (flags & (LVNI_TOLEFT | LVNI_TORIGHT)) return -1;  // one column of rows
    const bool up = flags & LVNI_ABOVE;
    if (state == LVNI_FOCUSED) {
        if (focus_ < 0) return -1;
        return (up ? (start < 0 || focus_ < start) : focus_ > start) ? focus_ : -1;
    }
    if ((state & LVNI_SELECTED) && selectedCount_ == 0) return -1;
    if (up) {
        for (int r = std::min(start, count) - 1; r >= 0; --r)
            if ((rows_.At(r).state & state) == state) return r;
        return -1;
    }
    int r = std::max(start + 1, 0);
    if (state & LVNI_SELECTED) r = std::max(r, std::min(firstSelected_, count));
    for (; r < count; ++r)
        if ((rows_.At(r).state & state) == state) return r;
    return -1;
}

int ListView::FindItem(int start, const LVFINDINFOA* find) const {
    if (!find) return -1;
    const int count = rows_.Count();
    auto matches = [&](int r) {
        if (find->flags & LVFI_PARAM) return rows_.At(r).param == find->lParam;
        if (find->flags & (LVFI_STRING | LVFI_PARTIAL)) {
            const std::string_view wanted = find->psz ? find->psz : "";
            const std::string_view text = rows_.Text(r, 0);
            return (find->flags & LVFI_PARTIAL) ? StartsWith(text, wanted) : CompareText(text, wanted) == 0;
        }
        return false;
    };
    const int first = std::max(start + 1, 0);
    for (int r = first; r < count; ++r)
        if (matches(r)) return r;
    if (find->flags & LVFI_WRAP)
        for (int r = 0; r < std::min(first, count); ++r)
            if (matches(r)) return r;
    return -1;
}

bool ListView::SortItems(LPARAM param, PFNLVCOMPARE compare) {
    if (!compare) return false;
    rows_.Sort([&](const ListRowStore::Row& a, const ListRowStore::Row& b) {
        return compare(a.param, b.param, param) < 0;
    });
    focus_ = mark_ = hot_ = -1;
    firstSelected_ = INT_MAX;
    for (int r = 0; r < rows_.Count(); ++r) {
        const UINT state = rows_.At(r).state;
        if (state & kFocused) focus_ = r;
        if ((state & kSelected) && firstSelected_ == INT_MAX) firstSelected_ = r;
    }
    Invalidate();
    return true;
}

// --- States and selection --------------------------------------------------------------------

bool ListView::ChangeOne(int row, UINT state, UINT mask, POINT at) {
    if (destroyed_ || row < 0 || row >= rows_.Count()) return false;
    UINT old = rows_.At(row).state;
    UINT next = (old & ~mask) | (state & mask);
    if (next == old) return true;
    if (NotifyItem(LVN_ITEMCHANGING, row, next, old, LVIF_STATE, at)) return false;
    if (destroyed_ || row >= rows_.Count()) return false;
    // The parent may have changed the row meanwhile.
    old = rows_.At(row).state;
    next = (old & ~mask) | (state & mask);
    rows_.At(row).state = static_cast<std::uint16_t>(next);
    if ((next ^ old) & kSelected) {
        if (next & kSelected) {
            ++selectedCount_;
            firstSelected_ = std::min(firstSelected_, row);
        } else if (--selectedCount_ == 0) {
            firstSelected_ = INT_MAX;
        }
    }
    if ((next ^ old) & kFocused) {
        if (next & kFocused)
            focus_ = row;
        else if (focus_ == row)
            focus_ = -1;
    }
    InvalidateRow(row);
    NotifyItem(LVN_ITEMCHANGED, row, next, old, LVIF_STATE, at);
    return !destroyed_;
}

bool ListView::ChangeState(int row, UINT state, UINT mask, POINT at) {
    mask &= 0xFFFF;
    if (destroyed_ || row < 0 || row >= rows_.Count()) return false;
    const UINT old = rows_.At(row).state;
    const UINT next = (old & ~mask) | (state & mask);
    if (next == old) return true;
    const bool selecting = (next & kSelected) && !(old & kSelected);
    const bool focusing = (next & kFocused) && !(old & kFocused);
    // One selection: the row selected before gives it up first (and its focus with it, in one
    // change, when the focus moves too).
    if (selecting && (Style() & LVS_SINGLESEL)) {
        int remaining = selectedCount_;
        for (int r = NextItem(-1, LVNI_SELECTED); r >= 0 && remaining > 0; r = NextItem(r, LVNI_SELECTED)) {
            if (r == row) continue;
            const UINT giveUp = kSelected | (focusing && r == focus_ ? kFocused : 0);
            if (!ChangeOne(r, 0, giveUp, at)) return false;
            --remaining;
        }
    }
    if (focusing && focus_ >= 0 && focus_ != row && focus_ < rows_.Count() && (rows_.At(focus_).state & kFocused))
        if (!ChangeOne(focus_, 0, kFocused, at)) return false;
    return ChangeOne(row, state, mask, at);
}

bool ListView::SetItemState(int row, const LVITEMA* item) {
    if (!item) return false;
    if (row != -1) return ChangeState(row, item->state, item->stateMask);
    // Every row: focus cannot go to all of them, only be taken from the one that has it; with
    // one selection, neither can the selection.
    UINT mask = item->stateMask & 0xFFFF;
    if (item->state & kFocused) mask &= ~kFocused;
    if ((item->state & kSelected) && (Style() & LVS_SINGLESEL)) mask &= ~kSelected;
    if (mask == kSelected && !(item->state & kSelected)) return DeselectAll(POINT{0, 0});
    for (int r = 0; r < rows_.Count() && !destroyed_; ++r)
        if (!ChangeOne(r, item->state, mask, POINT{0, 0})) return false;
    return !destroyed_;
}

bool ListView::DeselectAll(POINT at) {
    int remaining = selectedCount_;
    for (int r = NextItem(-1, LVNI_SELECTED); r >= 0 && remaining > 0; r = NextItem(r, LVNI_SELECTED)) {
        if (!ChangeOne(r, 0, kSelected, at)) return false;
        --remaining;
    }
    return true;
}

bool ListView::SelectOnly(int row, POINT at) {
    int remaining = selectedCount_ - (row >= 0 && row < rows_.Count() && (rows_.At(row).state & kSelected) ? 1 : 0);
    for (int r = NextItem(-1, LVNI_SELECTED); r >= 0 && remaining > 0; r = NextItem(r, LVNI_SELECTED)) {
        if (r == row) continue;
        if (!ChangeOne(r, 0, kSelected | (r == focus_ ? kFocused : 0), at)) return false;
        --remaining;
    }
    return ChangeState(row, kSelected | kFocused, kSelected | kFocused, at);
}

bool ListView::SelectRange(int from, int to, POINT at) {
    const int low = std::min(from, to), high = std::max(from, to);
    int remaining = selectedCount_;
    for (int r = NextItem(-1, LVNI_SELECTED); r >= 0 && remaining > 0; r = NextItem(r, LVNI_SELECTED)) {
        --remaining;
        if (r >= low && r <= high) continue;
        if (!ChangeOne(r, 0, kSelected, at)) return false;
    }
    for (int r = low; r <= high; ++r)
        if (!ChangeOne(r, kSelected, kSelected, at)) return false;
    return ChangeState(to, kFocused, kFocused, at);
}

// --- Columns ---------------------------------------------------------------------------------

int ListView::ColumnCount() const { return static_cast<int>(columns_.size()); }

int ListView::InsertColumn(int index, const LVCOLUMNA* column) {
    if (!column || index < 0) return -1;
    index = std::min(index, ColumnCount());
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    item.fmt = HDF_STRING | ((column->mask & LVCF_FMT) ? column->fmt & HDF_JUSTIFYMASK : HDF_LEFT);
    if (column->mask & LVCF_WIDTH) {
        item.mask |= HDI_WIDTH;
        item.cxy = std::max(0, column->cx);
    }
    if (column->mask & LVCF_TEXT) {
        item.mask |= HDI_TEXT;
        item.pszText = const_cast<char*>(TextOf(column->pszText));
    }
    if (column->mask & LVCF_ORDER) {
        item.mask |= HDI_ORDER;
        item.iOrder = column->iOrder;
    }
    const int at = Header_InsertItem(header_, index, &item);
    if (at < 0) return -1;
    ColumnData data;
    data.subItem = (column->mask & LVCF_SUBITEM) && column->iSubItem >= 0 ? column->iSubItem : at;
    data.format = (column->mask & LVCF_FMT) ? column->fmt : LVCFMT_LEFT;
    data.image = (column->mask & LVCF_IMAGE) ? column->iImage : -1;
    columns_.insert(columns_.begin() + at, data);
    ColumnsChanged();
    return at;
}

bool ListView::DeleteColumn(int index) {
    if (index < 0 || index >= ColumnCount()) return false;
    if (!Header_DeleteItem(header_, index)) return false;
    columns_.erase(columns_.begin() + index);
    tip_->Hide();
    ColumnsChanged();
    return true;
}

bool ListView::GetColumn(int index, LVCOLUMNA* column) const {
    if (!column || index < 0 || index >= ColumnCount()) return false;
    HDITEMA item{};
    item.mask = HDI_WIDTH | HDI_ORDER;
    if (column->mask & LVCF_TEXT) {
        item.mask |= HDI_TEXT;
        item.pszText = column->pszText;
        item.cchTextMax = column->cchTextMax;
    }
    if (!Header_GetItem(header_, index, &item)) return false;
    const ColumnData& data = columns_[static_cast<std::size_t>(index)];
    if (column->mask & LVCF_FMT) column->fmt = data.format;
    if (column->mask & LVCF_WIDTH) column->cx = item.cxy;
    if (column->mask & LVCF_SUBITEM) column->iSubItem = data.subItem;
    if (column->mask & LVCF_IMAGE) column->iImage = data.image;
    if (column->mask & LVCF_ORDER) column->iOrder = item.iOrder;
    return true;
}

bool ListView::SetColumn(int index, const LVCOLUMNA* column) {
    if (!column || index < 0 || index >= ColumnCount()) return false;
    ColumnData& data = columns_[static_cast<std::size_t>(index)];
    HDITEMA item{};
    if (column->mask & LVCF_FMT) {
        data.format = column->fmt;
        item.mask |= HDI_FORMAT;
        item.fmt = HDF_STRING | (column->fmt & HDF_JUSTIFYMASK);
    }
    if (column->mask & LVCF_WIDTH) {
        item.mask |= HDI_WIDTH;
        item.cxy = std::max(0, column->cx);
    }
    if (column->mask & LVCF_TEXT) {
        item.mask |= HDI_TEXT;
        item.pszText = const_cast<char*>(TextOf(column->pszText));
    }
    if (column->mask & LVCF_ORDER) {
        item.mask |= HDI_ORDER;
        item.iOrder = column->iOrder;
    }
    if ((column->mask & LVCF_SUBITEM) && column->iSubItem >= 0) data.subItem = column->iSubItem;
    if (column->mask & LVCF_IMAGE) data.image = column->iImage;
    if (item.mask && !Header_SetItem(header_, index, &item)) return false;
    ColumnsChanged();
    return true;
}

int ListView::ColumnWidth(int index) const {
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    return Header_GetItem(header_, index, &item) ? item.cxy : 0;
}

bool ListView::SetColumnWidth(int index, int width) {
    if (index < 0 || index >= ColumnCount()) return false;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER)
        width = AutoWidth(index, width == LVSCW_AUTOSIZE_USEHEADER);
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = std::max(0, width);
    return Header_SetItem(header_, index, &item);
}

int ListView::AutoWidth(int index, bool withHeader) {
    const int subItem = columns_[static_cast<std::size_t>(index)].subItem;
    int widest = 0;
    for (int r = 0; r < rows_.Count(); ++r) widest = std::max(widest, CellText::Width(measureDc_, rows_.Text(r, subItem)));
    int width = widest + 2 * kCellInset;
    if (index == 0 && smallImages_) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(smallImages_, &cx, &cy);
        width = widest + kIconInset + cx + kIconGap + kCellInset;
    }
    if (!withHeader) return width;
    char caption[256] = "";
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = caption;
    item.cchTextMax = sizeof caption;
    Header_GetItem(header_, index, &item);
    width = std::max(width, CellText::Width(measureDc_, caption) + 2 * kCellInset);
    // The column shown last takes what is left of the client's width.
    const std::vector<Column>& shown = Shown();
    if (!shown.empty() && shown.back().index == index)
        width = std::max(width, clientWidth_ - (shown.back().left + scrollX_));
    return width;
}

void ListView::ColumnsChanged() {
    shownStale_ = true;
    scrollStale_ = true;
    tip_->Hide();
    Invalidate();
}

const std::vector<ListView::Column>& ListView::Shown() {
    if (!shownStale_) return shown_;
    shownStale_ = false;
    shown_.clear();
    const int count = Header_GetItemCount(header_);
    std::vector<int> order(static_cast<std::size_t>(std::max(0, count)));
    if (count <= 0 || !Header_GetOrderArray(header_, count, order.data())) {
        totalWidth_ = 0;
        return shown_;
    }
    int x = -scrollX_;
    for (int index : order) {
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        Header_GetItem(header_, index, &item);
        Column column;
        column.index = index;
        if (index < ColumnCount()) {
            column.subItem = columns_[static_cast<std::size_t>(index)].subItem;
            column.format = index == 0 ? LVCFMT_LEFT : columns_[static_cast<std::size_t>(index)].format;
        } else {
            column.subItem = index;
        }
        column.left = x;
        column.right = x + item.cxy;
        x = column.right;
        shown_.push_back(column);
    }
    totalWidth_ = x + scrollX_;
    return shown_;
}

int ListView::TotalWidth() {
    Shown();
    return totalWidth_;
}

LRESULT ListView::OnHeaderNotify(NMHDR* nm) {
    if (!nm || nm->hwndFrom != header_) return 0;
    const auto* header = reinterpret_cast<const NMHEADERA*>(nm);
    switch (nm->code) {
        case HDN_ITEMCHANGEDA:
        case HDN_ITEMCHANGEDW:
        case HDN_ENDDRAG:
            // For a drag the header moves the column once this returns: read again when used.
            ColumnsChanged();
            return FALSE;
        case HDN_ITEMCLICKA:
        case HDN_ITEMCLICKW: {
            NMLISTVIEW click{};
            click.iItem = -1;
            click.iSubItem = header->iItem;
            Notify(LVN_COLUMNCLICK, &click.hdr);
            return 0;
        }
        case HDN_DIVIDERDBLCLICKA:
        case HDN_DIVIDERDBLCLICKW:
            SetColumnWidth(header->iItem, LVSCW_AUTOSIZE);
            return 0;
        case HDN_BEGINDRAG:
            return (exStyle_ & LVS_EX_HEADERDRAGDROP) ? FALSE : TRUE;
        default:
            return 0;
    }
}

// --- Geometry and scrolling ------------------------------------------------------------------

void ListView::Measure() {
    TEXTMETRICA metrics{};
    GetTextMetricsA(measureDc_, &metrics);
    charHeight_ = std::max<int>(1, metrics.tmHeight);
    int iconHeight = 0;
    if (smallImages_) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(smallImages_, &cx, &cy);
        iconHeight = cy;
    }
    rowHeight_ = std::max(charHeight_ + 2, iconHeight + 1);
    shownStale_ = true;
    scrollStale_ = true;
}

void ListView::Layout() {
    if (laying_) {
        relayout_ = true;  // the scroll bars changed the client area: once more
        return;
    }
    laying_ = true;
    for (int pass = 0; pass < 3; ++pass) {
        relayout_ = false;
        RECT client;
        GetClientRect(hwnd_, &client);
        clientWidth_ = client.right;
        clientHeight_ = client.bottom;
        PlaceHeader();
        UpdateScrollBars();
        if (!relayout_) break;
    }
    laying_ = false;
}

void ListView::PlaceHeader() {
    if (!header_) return;
    if (Style() & LVS_NOCOLUMNHEADER) {
        headerHeight_ = 0;
        if (IsWindowVisible(header_)) ShowWindow(header_, SW_HIDE);
        return;
    }
    RECT area{0, 0, clientWidth_, clientHeight_};
    WINDOWPOS pos{};
    HDLAYOUT layout{&area, &pos};
    SendMessageA(header_, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    headerHeight_ = pos.cy;
    // Scrolled with the rows: its left part lies outside the client when scrolled right.
    const RECT wanted{pos.x - scrollX_, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    if (!EqualRect(&wanted, &headerRect_) || !(GetWindowLongPtrA(header_, GWL_STYLE) & WS_VISIBLE)) {
        headerRect_ = wanted;
        SetWindowPos(header_, nullptr, wanted.left, wanted.top, Width(wanted), Height(wanted),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

int ListView::PerPage() const { return std::max(0, (clientHeight_ - headerHeight_) / std::max(1, rowHeight_)); }

void ListView::UpdateScrollBars() {
    scrollStale_ = false;
    const int count = rows_.Count();
    const int page = PerPage();
    top_ = std::clamp(top_, 0, std::max(0, count - page));
    const int total = TotalWidth();
    const int x = std::clamp(scrollX_, 0, std::max(0, total - clientWidth_));
    if (x != scrollX_) {
        scrollX_ = x;
        shownStale_ = true;
        PlaceHeader();
    }
    if (Style() & LVS_NOSCROLL) return;
    SCROLLINFO vertical{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, count - 1),
                        static_cast<UINT>(page), top_, 0};
    SetScrollInfo(hwnd_, SB_VERT, &vertical, redraw_);
    SCROLLINFO horizontal{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, total - 1),
                          static_cast<UINT>(std::max(0, clientWidth_)), scrollX_, 0};
    SetScrollInfo(hwnd_, SB_HORZ, &horizontal, redraw_);
}

void ListView::FlushScrollBars() {
    if (scrollStale_ && redraw_ && !destroyed_) Layout();
}

void ListView::ScrollTo(int top, int x) {
    FlushScrollBars();
    top = std::clamp(top, 0, std::max(0, rows_.Count() - PerPage()));
    x = std::clamp(x, 0, std::max(0, TotalWidth() - clientWidth_));
    const int dy = top_ - top, dx = scrollX_ - x;
    if (!dy && !dx) return;
    tip_->Hide();
    top_ = top;
    scrollX_ = x;
    if (dx) {
        shownStale_ = true;
        PlaceHeader();
    }
    if (redraw_) {
        RECT area{0, headerHeight_, clientWidth_, clientHeight_};
        ScrollWindowEx(hwnd_, dx, dy * rowHeight_, &area, &area, nullptr, nullptr, SW_INVALIDATE);
    }
    if (!(Style() & LVS_NOSCROLL)) {
        if (dy) SetScrollPos(hwnd_, SB_VERT, top_, redraw_);
        if (dx) SetScrollPos(hwnd_, SB_HORZ, scrollX_, redraw_);
    }
}

bool ListView::EnsureVisible(int row, bool partialOk) {
    if (row < 0 || row >= rows_.Count()) return false;
    FlushScrollBars();
    const int page = std::max(1, PerPage());
    if (row < top_) {
        ScrollTo(row, scrollX_);
    } else if (row >= top_ + page) {
        // A row cut by the bottom edge counts as shown when that is enough.
        const bool partly = row == top_ + page && headerHeight_ + page * rowHeight_ < clientHeight_;
        if (!(partialOk && partly)) ScrollTo(row - page + 1, scrollX_);
    }
    return true;
}

void ListView::OnScroll(int bar, int request) {
    FlushScrollBars();
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd_, bar, &info);
    if (bar == SB_VERT) {
        const int page = std::max(1, PerPage());
        int top = top_;
        switch (request) {
            case SB_LINEUP: top -= 1; break;
            case SB_LINEDOWN: top += 1; break;
            case SB_PAGEUP: top -= page; break;
            case SB_PAGEDOWN: top += page; break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: top = info.nTrackPos; break;
            case SB_TOP: top = 0; break;
            case SB_BOTTOM: top = rows_.Count(); break;
            default: return;
        }
        ScrollTo(top, scrollX_);
        return;
    }
    const int page = std::max(1, clientWidth_);
    int x = scrollX_;
    switch (request) {
        case SB_LINELEFT: x -= kLinePixels; break;
        case SB_LINERIGHT: x += kLinePixels; break;
        case SB_PAGELEFT: x -= page; break;
        case SB_PAGERIGHT: x += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: x = info.nTrackPos; break;
        case SB_LEFT: x = 0; break;
        case SB_RIGHT: x = TotalWidth(); break;
        default: return;
    }
    ScrollTo(top_, x);
}

void ListView::OnWheel(int delta) {
    // Partial notches add up: a fine-grained wheel scrolls as far as a notched one.
    constexpr int kPerLine = WHEEL_DELTA / kWheelLines;
    wheelRest_ += delta;
    const int lines = wheelRest_ / kPerLine;
    wheelRest_ -= lines * kPerLine;
    if (lines) ScrollBy(-lines, 0);
}

RECT ListView::RowRect(int row) {
    const int y = headerHeight_ + (row - top_) * rowHeight_;
    return RECT{0, y, clientWidth_, y + rowHeight_};
}

RECT ListView::IconRect(int row, const Column& column) {
    const int y = headerHeight_ + (row - top_) * rowHeight_;
    int cx = 0, cy = 0;
    if (smallImages_ && column.index == 0) ImageList_GetIconSize(smallImages_, &cx, &cy);
    const int left = column.left + (cx ? kIconInset : 0);
    const int top = y + (rowHeight_ - cy) / 2;
    return RECT{left, top, left + cx, top + cy};
}

RECT ListView::TextRect(int row, const Column& column) {
    const int y = headerHeight_ + (row - top_) * rowHeight_;
    int left = column.left + kCellInset;
    if (column.index == 0 && smallImages_) left = IconRect(row, column).right + kIconGap;
    return RECT{left, y, std::max<int>(left, column.right - kCellInset), y + rowHeight_};
}

int ListView::HitTest(LVHITTESTINFO& info, bool subItems) {
    const POINT p = info.pt;
    info.flags = 0;
    info.iItem = -1;
    info.iSubItem = 0;
    if (p.y < 0) info.flags |= LVHT_ABOVE;
    if (p.y >= clientHeight_) info.flags |= LVHT_BELOW;
    if (p.x < 0) info.flags |= LVHT_TOLEFT;
    if (p.x >= clientWidth_) info.flags |= LVHT_TORIGHT;
    if (info.flags) return -1;
    info.flags = LVHT_NOWHERE;
    if (p.y < headerHeight_) return -1;
    const int row = top_ + (p.y - headerHeight_) / rowHeight_;
    if (row >= rows_.Count()) return -1;
    const Column* hit = nullptr;
    for (const Column& column : Shown())
        if (p.x >= column.left && p.x < column.right) hit = &column;
    if (!hit) return -1;
    info.iSubItem = hit->index;
    const bool itemColumn = hit->index == 0;
    if (itemColumn) {
        const RECT icon = IconRect(row, *hit);
        if (p.x >= icon.left && p.x < icon.right) {
            info.flags = LVHT_ONITEMICON;
            info.iItem = row;
            return row;
        }
    }
    if (!itemColumn && !subItems && !(exStyle_ & LVS_EX_FULLROWSELECT)) return -1;
    if (itemColumn && !(exStyle_ & LVS_EX_FULLROWSELECT)) {
        // Without full-row selection the label is the text, not the whole cell.
        const RECT text = TextRect(row, *hit);
        const int end = text.left + CellText::Width(measureDc_, rows_.Text(row, hit->subItem)) + kIconGap;
        if (p.x >= std::min<int>(end, hit->right) && !subItems) return -1;
    }
    info.flags = LVHT_ONITEMLABEL;
    info.iItem = row;
    return row;
}

bool ListView::GetItemRect(int row, RECT* r, int code) {
    if (!r || row < 0 || row >= rows_.Count()) return false;
    const int y = headerHeight_ + (row - top_) * rowHeight_;
    const RECT bounds{-scrollX_, y, TotalWidth() - scrollX_, y + rowHeight_};
    const Column* item = nullptr;
    for (const Column& column : Shown())
        if (column.index == 0) item = &column;
    if (!item) {
        *r = code == LVIR_BOUNDS ? bounds : RECT{bounds.left, y, bounds.left, y + rowHeight_};
        return true;
    }
    const RECT icon = IconRect(row, *item);
    const RECT label{smallImages_ ? icon.right : item->left, y, item->right, y + rowHeight_};
    switch (code) {
        case LVIR_BOUNDS: *r = bounds; return true;
        case LVIR_ICON: *r = RECT{icon.left, y, icon.right, y + rowHeight_}; return true;
        case LVIR_LABEL: *r = label; return true;
        case LVIR_SELECTBOUNDS:
            *r = (exStyle_ & LVS_EX_FULLROWSELECT) ? bounds : RECT{item->left, y, item->right, y + rowHeight_};
            return true;
        default: return false;
    }
}

bool ListView::GetSubItemRect(int row, RECT* r) {
    if (!r) return false;
    const int subItem = r->top, code = r->left;
    if (subItem == 0) return GetItemRect(row, r, code);
    if (row < 0 || row >= rows_.Count()) return false;
    for (const Column& column : Shown()) {
        if (column.index != subItem) continue;
        const int y = headerHeight_ + (row - top_) * rowHeight_;
        *r = RECT{column.left, y, column.right, y + rowHeight_};
        return true;
    }
    return false;
}

// --- Input -----------------------------------------------------------------------------------

void ListView::OnButtonDown(POINT p, bool right, bool doubleClick, WPARAM keys) {
    tip_->Hide();
    tracking_ = false;
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    if (destroyed_) return;
    LVHITTESTINFO info{p, 0, -1, 0};
    const int row = HitTest(info, false);
    const bool single = Style() & LVS_SINGLESEL;
    const bool control = keys & MK_CONTROL, shift = keys & MK_SHIFT;
    const bool wasSelected = row >= 0 && (rows_.At(row).state & kSelected);
    if (row >= 0) {
        if (right) {
            if (!wasSelected)
                SelectOnly(row, p);
            else
                ChangeState(row, kFocused, kFocused, p);
            mark_ = row;
        } else if (!single && control) {
            ChangeState(row, wasSelected ? kFocused : kSelected | kFocused, kSelected | kFocused, p);
            mark_ = row;
        } else if (!single && shift && mark_ >= 0) {
            SelectRange(mark_, row, p);
        } else {
            SelectOnly(row, p);
            mark_ = row;
        }
    } else if (!control && !shift) {
        DeselectAll(p);
    }
    if (destroyed_) return;
    if (doubleClick) {
        NotifyActivate(right ? NM_RDBLCLK : NM_DBLCLK, row, info.iSubItem, p);
        if (!right && row >= 0 && !destroyed_ && !(exStyle_ & (LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE)))
            NotifyActivate(LVN_ITEMACTIVATE, row, info.iSubItem, p);
        return;
    }
    // Followed until the release (a click) or until it moves away (a drag).
    tracking_ = true;
    trackingRight_ = right;
    pressedRow_ = row;
    pressedSubItem_ = info.iSubItem;
    pressedAt_ = p;
    pressedWasSelected_ = wasSelected;
    SetCapture(hwnd_);
}

void ListView::OnButtonUp(POINT p, bool right) {
    if (!tracking_ || right != trackingRight_) return;
    tracking_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    const int row = pressedRow_;
    if (!right) {
        NotifyActivate(NM_CLICK, row, pressedSubItem_, pressedAt_);
        const bool activate = (exStyle_ & LVS_EX_ONECLICKACTIVATE) ||
                              ((exStyle_ & LVS_EX_TWOCLICKACTIVATE) && pressedWasSelected_);
        if (activate && row >= 0 && row < rows_.Count() && !destroyed_)
            NotifyActivate(LVN_ITEMACTIVATE, row, pressedSubItem_, pressedAt_);
        return;
    }
    if (!NotifyActivate(NM_RCLICK, row, pressedSubItem_, pressedAt_) && !destroyed_) {
        POINT screen = p;
        ClientToScreen(hwnd_, &screen);
        SendMessageA(hwnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(screen.x, screen.y));
    }
}

void ListView::OnMouseMove(POINT p) {
    if (tracking_) {
        if (std::abs(p.x - pressedAt_.x) > kDragDistance || std::abs(p.y - pressedAt_.y) > kDragDistance) {
            tracking_ = false;
            if (GetCapture() == hwnd_) ReleaseCapture();
            if (pressedRow_ >= 0)
                NotifyItem(trackingRight_ ? LVN_BEGINRDRAG : LVN_BEGINDRAG, pressedRow_, 0, 0, 0, pressedAt_);
        }
        return;
    }
    if (exStyle_ & (LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_TRACKSELECT)) {
        LVHITTESTINFO info{p, 0, -1, 0};
        SetHot(HitTest(info, false));
    }
    if (destroyed_) return;
    UpdateLabelTip(p);
    if (!pointerTimer_ && (hot_ >= 0 || tip_->Shown())) {
        SetTimer(hwnd_, kPointerTimer, kPointerPeriod, nullptr);
        pointerTimer_ = true;
    }
}

void ListView::SetHot(int row) {
    if (row < -1 || row >= rows_.Count()) row = -1;
    if (row == hot_) return;
    if (row >= 0 && NotifyItem(LVN_HOTTRACK, row, 0, 0, 0, POINT{0, 0})) return;
    if (destroyed_) return;
    InvalidateRow(hot_);
    hot_ = row;
    InvalidateRow(hot_);
}

void ListView::UpdateLabelTip(POINT p) {
    if (!(exStyle_ & LVS_EX_LABELTIP)) return;
    LVHITTESTINFO info{p, 0, -1, 0};
    const int row = HitTest(info, true);
    const Column* column = nullptr;
    for (const Column& c : Shown())
        if (c.index == info.iSubItem) column = &c;
    if (row < 0 || !column) {
        tip_->Hide();
        return;
    }
    if (tip_->ShowsFor(row, column->index)) return;
    RECT text = TextRect(row, *column);
    const std::string_view label = rows_.Text(row, column->subItem);
    // Only a text wider than its cell, and only where it shows.
    const int width = CellText::Width(measureDc_, label);
    if (width <= Width(text) || p.x < column->left || p.x >= column->right) {
        tip_->Hide();
        return;
    }
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&text), 2);
    tip_->Show(row, column->index, text, label, font_);
}

void ListView::CheckPointer() {
    POINT screen;
    GetCursorPos(&screen);
    const HWND under = WindowFromPoint(screen);
    if (under != hwnd_ && under != tip_->Handle()) {
        tip_->Hide();
        SetHot(-1);
    }
    if (hot_ < 0 && !tip_->Shown() && pointerTimer_) {
        KillTimer(hwnd_, kPointerTimer);
        pointerTimer_ = false;
    }
}

bool ListView::OnKeyDown(int key) {
    NMLVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(key);
    Notify(LVN_KEYDOWN, &nm.hdr);
    if (destroyed_) return true;
    tip_->Hide();
    FlushScrollBars();
    const int count = rows_.Count();
    const int page = std::max(1, PerPage());
    const int from = focus_;
    int to = -1;
    switch (key) {
        case VK_UP: to = from < 0 ? 0 : from - 1; break;
        case VK_DOWN: to = from < 0 ? 0 : from + 1; break;
        case VK_HOME: to = 0; break;
        case VK_END: to = count - 1; break;
        case VK_PRIOR:
            // First to the top of the page, then a page further.
            to = from < 0 ? top_ : (from > top_ ? top_ : from - std::max(1, page - 1));
            break;
        case VK_NEXT: {
            const int bottom = top_ + page - 1;
            to = from < 0 ? bottom : (from < bottom ? bottom : from + std::max(1, page - 1));
            break;
        }
        case VK_LEFT: ScrollBy(0, -kLinePixels); return true;
        case VK_RIGHT: ScrollBy(0, kLinePixels); return true;
        case VK_SPACE:
            if (focus_ >= 0) {
                const bool toggle = KeyDown(VK_CONTROL) && !(Style() & LVS_SINGLESEL);
                const bool selected = rows_.At(focus_).state & kSelected;
                ChangeState(focus_, toggle && selected ? 0 : kSelected, kSelected);
            }
            return true;
        case VK_RETURN: {
            NMHDR enter{};
            Notify(NM_RETURN, &enter);
            if (!destroyed_ && focus_ >= 0) NotifyActivate(LVN_ITEMACTIVATE, focus_, 0, POINT{0, 0});
            return true;
        }
        default: return false;
    }
    if (count == 0) return true;
    to = std::clamp(to, 0, count - 1);
    MoveFocusTo(to);
    return true;
}

void ListView::MoveFocusTo(int row) {
    const bool single = Style() & LVS_SINGLESEL;
    if (!single && KeyDown(VK_SHIFT)) {
        if (mark_ < 0) mark_ = focus_ >= 0 ? focus_ : row;
        SelectRange(mark_, row, POINT{0, 0});
    } else if (!single && KeyDown(VK_CONTROL)) {
        ChangeState(row, kFocused, kFocused);
    } else {
        SelectOnly(row, POINT{0, 0});
        mark_ = row;
    }
    if (!destroyed_) EnsureVisible(row, false);
}

bool ListView::OnSetCursor() {
    if (!(exStyle_ & (LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE))) return false;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    LVHITTESTINFO info{p, 0, -1, 0};
    if (HitTest(info, false) < 0) return false;
    // A row that one click activates shows the hand, as a link does.
    SetCursor(hotCursor_ ? hotCursor_ : LoadCursorA(nullptr, IDC_HAND));
    return true;
}

// --- Looks -----------------------------------------------------------------------------------

void ListView::SyncStyle() {
    // The style may change without WM_STYLECHANGED (a plain SetWindowLongPtr): it is checked
    // before each paint too.
    const DWORD style = Style();
    if (style == knownStyle_) return;
    knownStyle_ = style;
    if (header_) {
        const auto headerStyle = static_cast<DWORD>(GetWindowLongPtrA(header_, GWL_STYLE));
        const DWORD wanted = (style & LVS_NOSORTHEADER) ? headerStyle & ~HDS_BUTTONS : headerStyle | HDS_BUTTONS;
        if (wanted != headerStyle) SetWindowLongPtrA(header_, GWL_STYLE, wanted);
    }
    Layout();
    Invalidate();
}

void ListView::InvalidateRow(int row) {
    if (!redraw_ || destroyed_ || row < top_ || row > top_ + PerPage()) return;
    const RECT r = RowRect(row);
    InvalidateRect(hwnd_, &r, FALSE);
}

void ListView::InvalidateFrom(int row) {
    if (!redraw_ || destroyed_ || row > top_ + PerPage()) return;
    const int y = std::max(headerHeight_, headerHeight_ + (row - top_) * rowHeight_);
    const RECT r{0, y, clientWidth_, clientHeight_};
    InvalidateRect(hwnd_, &r, FALSE);
}

void ListView::Invalidate() {
    if (redraw_ && !destroyed_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void ListView::SetExtendedStyle(DWORD mask, DWORD style) {
    const DWORD old = exStyle_;
    exStyle_ = (exStyle_ & ~mask) | (style & mask);
    const DWORD changed = old ^ exStyle_;
    if ((changed & LVS_EX_HEADERDRAGDROP) && header_) {
        const auto headerStyle = static_cast<DWORD>(GetWindowLongPtrA(header_, GWL_STYLE));
        SetWindowLongPtrA(header_, GWL_STYLE,
                          (exStyle_ & LVS_EX_HEADERDRAGDROP) ? headerStyle | HDS_DRAGDROP : headerStyle & ~HDS_DRAGDROP);
    }
    if (changed & LVS_EX_FLATSB) {
        if (exStyle_ & LVS_EX_FLATSB)
            InitializeFlatSB(hwnd_);
        else
            UninitializeFlatSB(hwnd_);
    }
    if (!(exStyle_ & (LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_TRACKSELECT))) SetHot(-1);
    if (!(exStyle_ & LVS_EX_LABELTIP)) tip_->Hide();
    Layout();
    Invalidate();
}

void ListView::SetFont(HFONT font, bool redraw) {
    font_ = font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SelectObject(measureDc_, font_);
    Measure();
    SendMessageA(header_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    Layout();
    if (redraw) Invalidate();
}
