#include "platform/controls/ListBox.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/WindowStateMap.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/ScrollBars.h"
#include "platform/window/Windows.h"

namespace {

WindowStateMap<ListBox>& States() {
    static Immortal<WindowStateMap<ListBox>> states;
    return *states;
}

constexpr int kWheelLines = 3;
constexpr int kTextIndent = 2;
constexpr DWORD kTypingPause = 1000;  // milliseconds between keys that still extend a search

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool StartsWith(const std::string& text, const char* prefix, std::size_t length) {
    return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

}  // namespace

void ListBox::Register() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = Proc;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = kClassName;
    RegisterClassA(&cls);
}

LRESULT CALLBACK ListBox::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto self = std::make_shared<ListBox>(hwnd);
        States().Attach(hwnd, self);
        self->OnSetFont(nullptr, false);
        self->redraw_ = !(self->Style() & LBS_NOREDRAW);
        return 0;
    }
    // Held for the whole handler: a parent may destroy the control from a notification.
    const std::shared_ptr<ListBox> self = States().Find(hwnd);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        if (self->tracking_ && GetCapture() == hwnd) ReleaseCapture();
        States().Detach(hwnd);
        return 0;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        return LB_ERRSPACE;
    }
}

DWORD ListBox::Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }

LRESULT ListBox::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto index = static_cast<long long>(static_cast<int>(wParam));
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers it all
        case WM_SIZE:
            Changed();
            return 0;
        case WM_SETFONT:
            OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SETREDRAW:
            redraw_ = wParam != 0;
            if (redraw_) Changed();
            return 0;
        case WM_ENABLE:
        case WM_STYLECHANGED:
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            OnFocus(message == WM_SETFOCUS);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            OnKeyDown(static_cast<int>(wParam));
            return 0;
        case WM_CHAR:
            OnChar(static_cast<char>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(PointOf(lParam), message == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(PointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            if (tracking_) {
                tracking_ = false;
                if (GetCapture() == hwnd_) ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            tracking_ = false;
            return 0;
        case WM_MOUSEWHEEL: {
            wheel_ += static_cast<short>(HIWORD(wParam));
            const int notches = wheel_ / WHEEL_DELTA;
            wheel_ -= notches * WHEEL_DELTA;
            ScrollTo(top_ - static_cast<long long>(notches) * kWheelLines);
            return 0;
        }
        case WM_VSCROLL:
            OnScroll(LOWORD(wParam));
            return 0;
        case LB_ADDSTRING:
            return Insert(-1, reinterpret_cast<const char*>(lParam));
        case LB_INSERTSTRING:
            if (index > static_cast<long long>(items_.size())) return LB_ERR;
            return Insert(index < 0 ? static_cast<long long>(items_.size()) : index,
                          reinterpret_cast<const char*>(lParam));
        case LB_DELETESTRING:
            return Delete(index);
        case LB_RESETCONTENT:
            Reset();
            return 0;
        case LB_INITSTORAGE:
            items_.reserve(items_.size() + wParam);
            return static_cast<LRESULT>(items_.capacity());
        case LB_SETCURSEL:
            if (index != -1 && !Valid(index)) {
                Select(-1, false);
                return LB_ERR;
            }
            Select(index, false);
            return index == -1 ? LB_ERR : index;
        case LB_GETCURSEL:
            return selected_ >= 0 ? selected_ : LB_ERR;
        case LB_GETTEXT:
            return CopyText(index, reinterpret_cast<char*>(lParam));
        case LB_GETTEXTLEN:
            return Valid(index) ? static_cast<LRESULT>(items_[static_cast<std::size_t>(index)].text.size()) : LB_ERR;
        case LB_GETCOUNT:
            return static_cast<LRESULT>(items_.size());
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT:
            return Find(index, reinterpret_cast<const char*>(lParam), message == LB_FINDSTRINGEXACT);
        case LB_SELECTSTRING: {
            const LRESULT found = Find(index, reinterpret_cast<const char*>(lParam), false);
            if (found != LB_ERR) Select(found, false);
            return found;
        }
        case LB_GETTOPINDEX:
            return static_cast<LRESULT>(top_);
        case LB_SETTOPINDEX:
            if (!Valid(index) && !(index == 0 && items_.empty())) return LB_ERR;
            ScrollTo(index);
            return LB_OKAY;
        case LB_GETITEMRECT: {
            auto* out = reinterpret_cast<RECT*>(lParam);
            if (!out || !Valid(index)) return LB_ERR;
            *out = ItemRect(index);
            return 1;
        }
        case LB_GETITEMDATA:
            return Valid(index) ? items_[static_cast<std::size_t>(index)].data : LB_ERR;
        case LB_SETITEMDATA:
            if (!Valid(index)) return LB_ERR;
            items_[static_cast<std::size_t>(index)].data = lParam;
            return TRUE;
        case LB_GETITEMHEIGHT:
            return itemHeight_;
        case LB_SETITEMHEIGHT:
            if (LOWORD(static_cast<std::uintptr_t>(lParam)) == 0 || LOWORD(static_cast<std::uintptr_t>(lParam)) > 255)
                return LB_ERR;
            itemHeight_ = LOWORD(static_cast<std::uintptr_t>(lParam));
            Changed();
            return LB_OKAY;
        case LB_ITEMFROMPOINT:
            return ItemFromPoint(PointOf(lParam));
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

LRESULT ListBox::Insert(long long index, const char* text) {
    Item item{text ? text : "", 0};
    if (index < 0) {
        index = static_cast<long long>(items_.size());
        if (Style() & LBS_SORT) {
            // After the names that sort before it or equal it, as the platform places equal names.
            const auto at = std::upper_bound(items_.begin(), items_.end(), item, [](const Item& a, const Item& b) {
                return strcasecmp(a.text.c_str(), b.text.c_str()) < 0;
            });
            index = at - items_.begin();
        }
    }
    items_.insert(items_.begin() + index, std::move(item));
    if (selected_ >= index) ++selected_;
    Changed();
    return static_cast<LRESULT>(index);
}

LRESULT ListBox::Delete(long long index) {
    if (!Valid(index)) return LB_ERR;
    items_.erase(items_.begin() + index);
    if (selected_ == index)
        selected_ = -1;
    else if (selected_ > index)
        --selected_;
    Changed();
    return static_cast<LRESULT>(items_.size());
}

void ListBox::Reset() {
    items_.clear();
    items_.shrink_to_fit();
    selected_ = -1;
    top_ = 0;
    Changed();
}

LRESULT ListBox::Find(long long after, const char* text, bool exact) const {
    const auto n = static_cast<long long>(items_.size());
    if (!text || n == 0) return LB_ERR;
    const std::size_t length = std::strlen(text);
    const long long start = after < 0 || after >= n ? 0 : after + 1;
    for (long long step = 0; step < n; ++step) {
        const long long i = (start + step) % n;
        const std::string& candidate = items_[static_cast<std::size_t>(i)].text;
        if (exact ? strcasecmp(candidate.c_str(), text) == 0 : StartsWith(candidate, text, length)) return i;
    }
    return LB_ERR;
}

LRESULT ListBox::CopyText(long long index, char* out) const {
    if (!Valid(index) || !out) return LB_ERR;
    const std::string& text = items_[static_cast<std::size_t>(index)].text;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

int ListBox::Rows() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    return std::max(1, static_cast<int>(client.bottom) / std::max(1, itemHeight_));
}

RECT ListBox::ItemRect(long long index) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const auto top = static_cast<LONG>((index - top_) * itemHeight_);
    return RECT{0, top, client.right, top + itemHeight_};
}

LRESULT ListBox::ItemFromPoint(POINT p) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const bool outside = !PtInRect(&client, p);
    if (items_.empty()) return MAKELPARAM(0, 1);
    const long long row = p.y < 0 ? -1 : p.y / std::max(1, itemHeight_);
    const long long index = std::clamp<long long>(top_ + row, 0, static_cast<long long>(items_.size()) - 1);
    const bool beyond = top_ + row >= static_cast<long long>(items_.size()) || top_ + row < 0;
    return MAKELPARAM(static_cast<int>(index), outside || beyond ? 1 : 0);
}

void ListBox::OnSetFont(HFONT font, bool redraw) {
    font_ = font;
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(hdc, &metrics);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    itemHeight_ = std::max<int>(1, metrics.tmHeight);
    Changed();
    if (!redraw) ValidateRect(hwnd_, nullptr);
}

void ListBox::OnFocus(bool gained) {
    focused_ = gained;
    if (Valid(selected_)) {
        const RECT r = ItemRect(selected_);
        InvalidateRect(hwnd_, &r, FALSE);
    }
    Notify(gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

bool ListBox::Notify(WORD code) {
    const HWND hwnd = hwnd_;
    if ((code == LBN_SELCHANGE || code == LBN_DBLCLK) && !(Style() & LBS_NOTIFY)) return true;
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
    return States().Find(hwnd).get() == this;
}

bool ListBox::Select(long long index, bool notify) {
    if (Style() & LBS_NOSEL) index = -1;
    if (index != selected_) {
        for (long long changed : {selected_, index}) {
            if (!Valid(changed)) continue;
            const RECT r = ItemRect(changed);
            if (redraw_) InvalidateRect(hwnd_, &r, FALSE);
        }
        selected_ = index;
        EnsureVisible(index);
        if (notify) return Notify(LBN_SELCHANGE);
    } else {
        EnsureVisible(index);
    }
    return true;
}

void ListBox::EnsureVisible(long long index) {
    if (!Valid(index)) return;
    const int rows = Rows();
    if (index < top_)
        ScrollTo(index);
    else if (index >= top_ + rows)
        ScrollTo(index - rows + 1);
}

void ListBox::ScrollTo(long long top) {
    const long long most = std::max<long long>(0, static_cast<long long>(items_.size()) - Rows());
    top = std::clamp<long long>(top, 0, most);
    if (top == top_) return;
    top_ = top;
    if (!redraw_) return;
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ListBox::Changed() {
    const long long most = std::max<long long>(0, static_cast<long long>(items_.size()) - Rows());
    top_ = std::clamp<long long>(top_, 0, most);
    if (!redraw_) return;
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ListBox::UpdateScrollBar() {
    if (!(Style() & WS_VSCROLL)) return;
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    if (Style() & LBS_DISABLENOSCROLL) info.fMask |= SIF_DISABLENOSCROLL;
    info.nMax = std::max(0, static_cast<int>(items_.size()) - 1);
    info.nPage = static_cast<UINT>(Rows());
    info.nPos = static_cast<int>(top_);
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

void ListBox::OnScroll(int request) {
    const int rows = Rows();
    switch (request) {
        case SB_LINEUP:
            ScrollTo(top_ - 1);
            break;
        case SB_LINEDOWN:
            ScrollTo(top_ + 1);
            break;
        case SB_PAGEUP:
            ScrollTo(top_ - rows);
            break;
        case SB_PAGEDOWN:
            ScrollTo(top_ + rows);
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(static_cast<long long>(items_.size()));
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit position: the message carries only 16 bits of it.
            SCROLLINFO info{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(hwnd_, SB_VERT, &info);
            ScrollTo(info.nTrackPos);
            break;
        }
        default:
            break;
    }
}

void ListBox::OnKeyDown(int vk) {
    const auto n = static_cast<long long>(items_.size());
    if (n == 0) return;
    const long long rows = Rows();
    const long long at = selected_;
    long long to;
    switch (vk) {
        case VK_UP:
        case VK_LEFT:
            to = at < 0 ? 0 : at - 1;
            break;
        case VK_DOWN:
        case VK_RIGHT:
            to = at + 1;
            break;
        case VK_PRIOR:
            to = at < 0 ? 0 : at - (rows - 1);
            break;
        case VK_NEXT:
            to = at < 0 ? 0 : at + (rows - 1);
            break;
        case VK_HOME:
            to = 0;
            break;
        case VK_END:
            to = n - 1;
            break;
        default:
            return;
    }
    Select(std::clamp<long long>(to, 0, n - 1), true);
}

void ListBox::OnChar(char c) {
    if (static_cast<unsigned char>(c) < ' ' || items_.empty()) return;
    // Keys typed in quick succession spell a prefix; a pause starts a new one.
    const DWORD now = GetMessageTime();
    const bool extends = !typed_.empty() && now - typedAt_ < kTypingPause;
    typedAt_ = now;
    typed_ = extends ? typed_ + c : std::string(1, c);
    const long long start = extends ? selected_ - 1 : selected_;
    const LRESULT found = Find(start, typed_.c_str(), false);
    if (found != LB_ERR) Select(found, true);
}

void ListBox::OnButtonDown(POINT p, bool twice) {
    const HWND hwnd = hwnd_;
    if (GetFocus() != hwnd) {
        SetFocus(hwnd);
        if (States().Find(hwnd).get() != this) return;
    }
    const LRESULT hit = ItemFromPoint(p);
    if (items_.empty() || HIWORD(static_cast<std::uintptr_t>(hit))) return;
    if (!Select(LOWORD(static_cast<std::uintptr_t>(hit)), true)) return;
    if (twice) {
        Notify(LBN_DBLCLK);
        return;
    }
    tracking_ = true;
    SetCapture(hwnd_);
}

void ListBox::OnMouseMove(POINT p) {
    if (!tracking_ || items_.empty()) return;
    // Dragging past an edge scrolls by a row at each move.
    long long row = p.y < 0 ? -1 : p.y / std::max(1, itemHeight_);
    row = std::min<long long>(row, Rows());
    const long long to = std::clamp<long long>(top_ + row, 0, static_cast<long long>(items_.size()) - 1);
    Select(to, true);
}

void ListBox::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const DWORD style = Style();
    HBRUSH brush = ControlSupport::AskColors(hwnd_, hdc, WM_CTLCOLORLISTBOX, COLOR_WINDOWTEXT, COLOR_WINDOW);
    if (!brush) brush = GetSysColorBrush(COLOR_WINDOW);
    const COLORREF text = (style & WS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : GetTextColor(hdc);
    FillRect(hdc, &ps.rcPaint, brush);
    HGDIOBJ oldFont = SelectObject(hdc, font_ ? font_ : GetStockObject(SYSTEM_FONT));
    SetBkMode(hdc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (style & LBS_USETABSTOPS) format |= DT_EXPANDTABS;
    // Only the rows the paint touches.
    const long long first = top_ + std::max<long long>(0, ps.rcPaint.top / std::max(1, itemHeight_));
    const long long last = std::min<long long>(static_cast<long long>(items_.size()) - 1,
                                               top_ + ps.rcPaint.bottom / std::max(1, itemHeight_));
    for (long long i = first; i <= last; ++i) {
        RECT row = ItemRect(i);
        const bool selected = i == selected_;
        if (selected) FillRect(hdc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
        RECT inside = row;
        inside.left += kTextIndent;
        const std::string& label = items_[static_cast<std::size_t>(i)].text;
        DrawTextA(hdc, label.c_str(), static_cast<int>(label.size()), &inside, format);
        if (selected && focused_) DrawFocusRect(hdc, &row);
    }
    SelectObject(hdc, oldFont);
    EndPaint(hwnd_, &ps);
}
