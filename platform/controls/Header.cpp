#include "platform/controls/Header.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/controls/CellText.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/PrivateMessageTrace.h"
#include "platform/controls/WindowStateMap.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/ModalLoop.h"

namespace {

constexpr int kGrip = 4;          // pixels either side of a divider that grab it
constexpr int kDragDistance = 4;  // a press moves this far before it becomes a drag
constexpr int kTextInset = 6;
constexpr int kMarkerWidth = 2;
inline char* const kTextCallback = reinterpret_cast<char*>(static_cast<std::intptr_t>(-1));

WindowStateMap<Header>& States() {
    static Immortal<WindowStateMap<Header>> states;
    return *states;
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }

void FillSolid(HDC hdc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

}  // namespace

void Header::Register() { ControlSupport::Register(WC_HEADERA, Proc, IDC_ARROW); }

Header::Header(HWND hwnd, const CREATESTRUCTA& create)
    : hwnd_(hwnd),
      parent_(create.hwndParent),
      id_(static_cast<int>(reinterpret_cast<std::intptr_t>(create.hMenu))) {}

LRESULT CALLBACK Header::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (!create) return -1;
        auto self = std::make_shared<Header>(hwnd, *create);
        States().Attach(hwnd, self);
        if (self->parent_)
            self->unicode_ = SendMessageA(self->parent_, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(hwnd), NF_QUERY) ==
                             NFR_UNICODE;
        return 0;
    }
    // Held for the whole handler: a parent may destroy the header from a notification.
    const std::shared_ptr<Header> self = States().Find(hwnd);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        self->destroyed_ = true;
        self->mode_ = Mode::None;
        States().Detach(hwnd);
        return 0;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        return message == HDM_INSERTITEMA ? -1 : 0;  // no exception crosses the window system
    }
}

LRESULT Header::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case HDM_GETITEMCOUNT:
            return static_cast<LRESULT>(items_.size());
        case HDM_INSERTITEMA:
            return Insert(static_cast<int>(wParam), reinterpret_cast<const HDITEMA*>(lParam));
        case HDM_DELETEITEM:
            return Delete(static_cast<int>(wParam));
        case HDM_GETITEMA:
            return Get(static_cast<int>(wParam), reinterpret_cast<HDITEMA*>(lParam));
        case HDM_SETITEMA:
            return Set(static_cast<int>(wParam), reinterpret_cast<const HDITEMA*>(lParam));
        case HDM_INSERTITEMW:
            return -1;  // texts are single-byte strings here
        case HDM_GETITEMW:
        case HDM_SETITEMW:
            return FALSE;
        case HDM_LAYOUT: {
            auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
            if (!layout || !layout->prc || !layout->pwpos) return FALSE;
            Layout(layout);
            return TRUE;
        }
        case HDM_HITTEST: {
            auto* info = reinterpret_cast<HDHITTESTINFO*>(lParam);
            return info ? HitTest(*info) : -1;
        }
        case HDM_GETITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            const int index = static_cast<int>(wParam);
            if (!r || index < 0 || index >= static_cast<int>(items_.size())) return FALSE;
            *r = ItemRect(index);
            return TRUE;
        }
        case HDM_SETIMAGELIST: {
            HIMAGELIST old = images_;
            images_ = reinterpret_cast<HIMAGELIST>(lParam);
            Invalidate();
            return reinterpret_cast<LRESULT>(old);
        }
        case HDM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(images_);
        case HDM_ORDERTOINDEX:
            return wParam < order_.size() ? order_[wParam] : -1;
        case HDM_GETORDERARRAY:
            return GetOrder(static_cast<int>(wParam), reinterpret_cast<int*>(lParam));
        case HDM_SETORDERARRAY:
            return SetOrder(static_cast<int>(wParam), reinterpret_cast<const int*>(lParam));
        case HDM_SETHOTDIVIDER: {
            const int divider = wParam ? DividerAt(PointOf(lParam)) : static_cast<int>(lParam);
            if (divider != hotDivider_) {
                hotDivider_ = divider;
                Invalidate();
            }
            return divider;
        }
        case HDM_SETUNICODEFORMAT: {
            const bool was = unicode_;
            unicode_ = wParam != 0;
            return was;
        }
        case HDM_GETUNICODEFORMAT:
            return unicode_;
        case WM_NOTIFYFORMAT:
            if (lParam == NF_REQUERY && parent_)
                unicode_ = SendMessageA(parent_, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(hwnd_), NF_QUERY) ==
                           NFR_UNICODE;
            return unicode_ ? NFR_UNICODE : NFR_ANSI;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(static_cast<std::uintptr_t>(lParam))) Invalidate();
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_ERASEBKGND:
            return 1;  // painting covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd_, &ps);
            if (hdc) Paint(hdc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(PointOf(lParam), message == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(PointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(PointOf(lParam));
            return 0;
        case WM_RBUTTONUP: {
            NMHDR nm{hwnd_, static_cast<UINT_PTR>(id_), NM_RCLICK};
            if (parent_ && SendMessageA(parent_, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&nm)))
                return 0;
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        }
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == hwnd_ && OnSetCursor()) return TRUE;
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        case WM_CAPTURECHANGED:
            if (mode_ != Mode::None && reinterpret_cast<HWND>(lParam) != hwnd_) Cancel();
            return 0;
        default:
            if (message >= HDM_FIRST && message < HDM_FIRST + 0x100)
                PrivateMessageTrace::Unknown(WC_HEADERA, hwnd_, message, wParam, lParam);
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

// --- Items -----------------------------------------------------------------------------------

int Header::Insert(int index, const HDITEMA* item) {
    if (!item || index < 0) return -1;
    index = std::min(index, static_cast<int>(items_.size()));
    items_.insert(items_.begin() + index, Item{});
    for (int& o : order_)
        if (o >= index) ++o;
    int position = index;
    if (item->mask & HDI_ORDER) position = item->iOrder;
    position = std::clamp(position, 0, static_cast<int>(order_.size()));
    order_.insert(order_.begin() + position, index);
    HDITEMA rest = *item;
    rest.mask &= ~HDI_ORDER;
    Apply(index, rest);
    return index;
}

bool Header::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return false;
    if (mode_ != Mode::None && active_ == index) Cancel();
    items_.erase(items_.begin() + index);
    order_.erase(std::find(order_.begin(), order_.end(), index));
    for (int& o : order_)
        if (o > index) --o;
    if (active_ > index) --active_;
    Invalidate();
    return true;
}

bool Header::Get(int index, HDITEMA* item) const {
    if (!item || index < 0 || index >= static_cast<int>(items_.size())) return false;
    const Item& it = items_[static_cast<std::size_t>(index)];
    if (item->mask & HDI_TEXT) {
        if (item->pszText && item->pszText != kTextCallback && item->cchTextMax > 0) {
            const std::size_t n = std::min(it.text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
            std::memcpy(item->pszText, it.text.data(), n);
            item->pszText[n] = '\0';
        }
    }
    if (item->mask & HDI_WIDTH) item->cxy = it.width;
    if (item->mask & HDI_FORMAT) item->fmt = it.format;
    if (item->mask & HDI_LPARAM) item->lParam = it.param;
    if (item->mask & HDI_IMAGE) item->iImage = it.image;
    if (item->mask & HDI_BITMAP) item->hbm = it.bitmap;
    if (item->mask & HDI_ORDER) item->iOrder = PositionOf(index);
    return true;
}

bool Header::Set(int index, const HDITEMA* item) {
    if (!item || index < 0 || index >= static_cast<int>(items_.size())) return false;
    HDITEMA change = *item;
    if (Notify(HDN_ITEMCHANGINGA, HDN_ITEMCHANGINGW, index, 0, &change)) return false;
    // The parent may have changed the items meanwhile.
    if (destroyed_ || index >= static_cast<int>(items_.size())) return false;
    Apply(index, *item);
    change = *item;
    Notify(HDN_ITEMCHANGEDA, HDN_ITEMCHANGEDW, index, 0, &change);
    return true;
}

bool Header::Apply(int index, const HDITEMA& item) {
    Item& it = items_[static_cast<std::size_t>(index)];
    if (item.mask & HDI_TEXT) it.text = item.pszText && item.pszText != kTextCallback ? item.pszText : "";
    if (item.mask & HDI_WIDTH) it.width = std::max(0, item.cxy);
    if (item.mask & HDI_FORMAT) it.format = item.fmt;
    if (item.mask & HDI_LPARAM) it.param = item.lParam;
    if (item.mask & HDI_IMAGE) it.image = item.iImage;
    if (item.mask & HDI_BITMAP) it.bitmap = item.hbm;
    if (item.mask & HDI_ORDER) Move(index, item.iOrder);
    Invalidate();
    return true;
}

bool Header::GetOrder(int count, int* order) const {
    if (!order || count != static_cast<int>(order_.size())) return false;
    std::copy(order_.begin(), order_.end(), order);
    return true;
}

bool Header::SetOrder(int count, const int* order) {
    if (!order || count != static_cast<int>(order_.size())) return false;
    // Only a permutation of the items: anything else would lose or repeat a column.
    std::vector<bool> seen(order_.size(), false);
    for (int i = 0; i < count; ++i) {
        if (order[i] < 0 || order[i] >= count || seen[static_cast<std::size_t>(order[i])]) return false;
        seen[static_cast<std::size_t>(order[i])] = true;
    }
    order_.assign(order, order + count);
    Invalidate();
    return true;
}

void Header::Move(int index, int position) {
    auto at = std::find(order_.begin(), order_.end(), index);
    if (at == order_.end()) return;
    order_.erase(at);
    position = std::clamp(position, 0, static_cast<int>(order_.size()));
    order_.insert(order_.begin() + position, index);
    Invalidate();
}

int Header::PositionOf(int index) const {
    auto at = std::find(order_.begin(), order_.end(), index);
    return at == order_.end() ? -1 : static_cast<int>(at - order_.begin());
}

// --- Geometry --------------------------------------------------------------------------------

int Header::ItemHeight() const {
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(hdc, &metrics);
    SelectObject(hdc, old);
    DeleteDC(hdc);
    return metrics.tmHeight + 6;
}

RECT Header::ItemRect(int index) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    int x = 0;
    for (int i : order_) {
        const int width = items_[static_cast<std::size_t>(i)].width;
        if (i == index) return RECT{x, 0, x + width, client.bottom};
        x += width;
    }
    return RECT{0, 0, 0, 0};
}

int Header::HitTest(HDHITTESTINFO& info) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const POINT p = info.pt;
    info.flags = 0;
    info.iItem = -1;
    if (p.y < 0) info.flags |= HHT_ABOVE;
    if (p.y >= client.bottom) info.flags |= HHT_BELOW;
    if (p.x < 0) info.flags |= HHT_TOLEFT;
    if (p.x >= client.right) info.flags |= HHT_TORIGHT;
    if (info.flags) return -1;
    // The nearest divider within reach; of dividers in one place (items of no width), the first
    // left of it and the last right of it, so that a hidden item can be pulled open.
    int x = 0, best = -1, bestDistance = kGrip + 1, bestRight = 0;
    for (int i : order_) {
        x += items_[static_cast<std::size_t>(i)].width;
        const int distance = std::abs(p.x - x);
        if (distance < bestDistance || (distance == bestDistance && best >= 0 && p.x >= x)) {
            best = i;
            bestDistance = distance;
            bestRight = x;
        }
    }
    if (best >= 0) {
        info.iItem = best;
        const bool open = items_[static_cast<std::size_t>(best)].width == 0 && p.x >= bestRight;
        info.flags = open ? HHT_ONDIVOPEN : HHT_ONDIVIDER;
        return best;
    }
    x = 0;
    for (int i : order_) {
        const int width = items_[static_cast<std::size_t>(i)].width;
        if (p.x >= x && p.x < x + width) {
            info.iItem = i;
            info.flags = HHT_ONHEADER;
            return i;
        }
        x += width;
    }
    info.flags = HHT_NOWHERE;
    return -1;
}

void Header::Layout(HDLAYOUT* layout) const {
    const bool hidden = StyleOf(hwnd_) & HDS_HIDDEN;
    RECT& r = *layout->prc;
    WINDOWPOS& pos = *layout->pwpos;
    pos = WINDOWPOS{};
    pos.hwnd = hwnd_;
    pos.x = r.left;
    pos.y = r.top;
    pos.cx = r.right - r.left;
    pos.cy = hidden ? 0 : ItemHeight();
    pos.flags = SWP_NOZORDER | SWP_NOACTIVATE;
    r.top += pos.cy;
}

int Header::DropPosition(int x) const {
    int left = 0;
    for (std::size_t position = 0; position < order_.size(); ++position) {
        left += items_[static_cast<std::size_t>(order_[position])].width;
        if (x < left) return static_cast<int>(position);
    }
    return std::max(0, static_cast<int>(order_.size()) - 1);
}

int Header::DividerAt(POINT p) {
    // The divider nearest the point: 0 is the left edge of the first item shown.
    int x = 0, best = 0, bestDistance = std::abs(p.x);
    for (std::size_t position = 0; position < order_.size(); ++position) {
        x += items_[static_cast<std::size_t>(order_[position])].width;
        if (std::abs(p.x - x) < bestDistance) {
            bestDistance = std::abs(p.x - x);
            best = static_cast<int>(position) + 1;
        }
    }
    return best;
}

// --- Input -----------------------------------------------------------------------------------

void Header::OnButtonDown(POINT p, bool doubleClick) {
    if (mode_ != Mode::None) return;
    HDHITTESTINFO info{p, 0, -1};
    HitTest(info);
    if (info.iItem < 0) return;
    const int index = info.iItem;
    if (info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
        if (doubleClick) {
            Notify(HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW, index, 0, nullptr);
            return;
        }
        const int width = items_[static_cast<std::size_t>(index)].width;
        if (NotifyWidth(HDN_BEGINTRACKA, HDN_BEGINTRACKW, index, width)) return;
        if (destroyed_ || index >= static_cast<int>(items_.size())) return;
        mode_ = Mode::Tracking;
        active_ = index;
        start_ = p;
        startWidth_ = trackWidth_ = items_[static_cast<std::size_t>(index)].width;
        RunModal();
        return;
    }
    if (doubleClick) {
        Notify(HDN_ITEMDBLCLICKA, HDN_ITEMDBLCLICKW, index, 0, nullptr);
        if (destroyed_ || index >= static_cast<int>(items_.size())) return;
    }
    if (!(StyleOf(hwnd_) & (HDS_BUTTONS | HDS_DRAGDROP))) return;
    mode_ = Mode::Pressing;
    active_ = index;
    start_ = p;
    pressedOver_ = true;
    dragRefused_ = false;
    Invalidate();
    RunModal();
}

void Header::RunModal() {
    SetCapture(hwnd_);
    ModalLoop::Run([this] { return mode_ == Mode::None || destroyed_; },
                   [this](MSG& msg) {
                       if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_ESCAPE) {
                           Cancel();
                           return true;
                       }
                       return false;
                   });
    if (!destroyed_ && GetCapture() == hwnd_) ReleaseCapture();
}

void Header::OnMouseMove(POINT p) {
    const DWORD style = StyleOf(hwnd_);
    switch (mode_) {
        case Mode::Pressing: {
            if ((style & HDS_DRAGDROP) && !dragRefused_ && std::abs(p.x - start_.x) > kDragDistance) {
                HDITEMA item{};
                item.mask = HDI_ORDER;
                item.iOrder = PositionOf(active_);
                if (Notify(HDN_BEGINDRAG, HDN_BEGINDRAG, active_, 0, &item) == 0) {
                    if (destroyed_ || mode_ != Mode::Pressing) return;
                    mode_ = Mode::Dragging;
                    dragOffset_ = start_.x - ItemRect(active_).left;
                    dragX_ = p.x;
                    Invalidate();
                    return;
                }
                dragRefused_ = true;
                if (destroyed_ || mode_ != Mode::Pressing) return;
            }
            const RECT r = ItemRect(active_);
            const bool over = PtInRect(&r, p);
            if (over != pressedOver_) {
                pressedOver_ = over;
                Invalidate();
            }
            return;
        }
        case Mode::Dragging:
            dragX_ = p.x;
            Invalidate();
            return;
        case Mode::Tracking: {
            const int width = std::max(0, startWidth_ + p.x - start_.x);
            if (width == trackWidth_) return;
            if (NotifyWidth(HDN_TRACKA, HDN_TRACKW, active_, width)) {
                // The parent ends the tracking here.
                OnButtonUp(p);
                return;
            }
            if (destroyed_ || mode_ != Mode::Tracking) return;
            trackWidth_ = width;
            if (style & HDS_FULLDRAG) {
                HDITEMA item{};
                item.mask = HDI_WIDTH;
                item.cxy = width;
                Set(active_, &item);
            } else {
                Invalidate();
            }
            return;
        }
        case Mode::None:
            return;
    }
}

void Header::OnButtonUp(POINT p) {
    const Mode mode = mode_;
    const int index = active_;
    if (mode == Mode::None) return;
    mode_ = Mode::None;
    if (GetCapture() == hwnd_) ReleaseCapture();
    Invalidate();
    if (destroyed_ || index < 0 || index >= static_cast<int>(items_.size())) return;
    const DWORD style = StyleOf(hwnd_);
    switch (mode) {
        case Mode::Pressing:
            if (pressedOver_ && (style & HDS_BUTTONS)) Notify(HDN_ITEMCLICKA, HDN_ITEMCLICKW, index, 0, nullptr);
            return;
        case Mode::Dragging: {
            HDITEMA item{};
            item.mask = HDI_ORDER;
            item.iOrder = DropPosition(p.x);
            const int position = item.iOrder;
            if (Notify(HDN_ENDDRAG, HDN_ENDDRAG, index, 0, &item) == 0 && !destroyed_ &&
                index < static_cast<int>(items_.size()))
                Move(index, position);
            return;
        }
        case Mode::Tracking: {
            NotifyWidth(HDN_ENDTRACKA, HDN_ENDTRACKW, index, trackWidth_);
            if (!(style & HDS_FULLDRAG) && !destroyed_ && index < static_cast<int>(items_.size())) {
                HDITEMA item{};
                item.mask = HDI_WIDTH;
                item.cxy = trackWidth_;
                Set(index, &item);
            }
            return;
        }
        case Mode::None:
            return;
    }
}

void Header::Cancel() {
    const Mode mode = mode_;
    mode_ = Mode::None;
    if (GetCapture() == hwnd_) ReleaseCapture();
    Invalidate();
    if (mode == Mode::Tracking && trackWidth_ != startWidth_ && !destroyed_ && active_ >= 0 &&
        active_ < static_cast<int>(items_.size()) && (StyleOf(hwnd_) & HDS_FULLDRAG)) {
        // Escape puts the column back as it was.
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        item.cxy = startWidth_;
        Set(active_, &item);
    }
}

bool Header::OnSetCursor() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    HDHITTESTINFO info{p, 0, -1};
    HitTest(info);
    if (!(info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))) return false;
    SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
    return true;
}

// --- Painting --------------------------------------------------------------------------------

void Header::Paint(HDC hdc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_3DFACE));
    HGDIOBJ oldFont = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    const DWORD style = StyleOf(hwnd_);
    int x = 0;
    for (int index : order_) {
        const Item& item = items_[static_cast<std::size_t>(index)];
        const RECT r{x, 0, x + item.width, client.bottom};
        x = r.right;
        if (r.right <= r.left) continue;
        const bool pressed =
            (style & HDS_BUTTONS) && mode_ == Mode::Pressing && active_ == index && pressedOver_;
        PaintItem(hdc, r, item, pressed);
    }
    if (x < client.right) {
        RECT rest{x, 0, client.right, client.bottom};
        DrawEdge(hdc, &rest, EDGE_RAISED, BF_RECT);
    }
    auto marker = [&](int at) {
        FillSolid(hdc, RECT{at - kMarkerWidth / 2, 0, at + kMarkerWidth / 2, client.bottom},
                  GetSysColor(COLOR_HIGHLIGHT));
    };
    if (mode_ == Mode::Dragging && active_ >= 0 && active_ < static_cast<int>(items_.size())) {
        const Item& item = items_[static_cast<std::size_t>(active_)];
        const RECT ghost{dragX_ - dragOffset_, 0, dragX_ - dragOffset_ + item.width, client.bottom};
        FillSolid(hdc, ghost, GetSysColor(COLOR_3DSHADOW));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        RECT text{ghost.left + kTextInset, ghost.top, ghost.right - kTextInset, ghost.bottom};
        CellText::Draw(hdc, text, item.text, item.format & HDF_JUSTIFYMASK);
        // Where it would land: left of the slot when it moves left, right of it when it moves right.
        const int from = PositionOf(active_), to = DropPosition(dragX_);
        const RECT slot = ItemRect(order_[static_cast<std::size_t>(to)]);
        if (to != from) marker(to < from ? slot.left : slot.right);
    } else if (mode_ == Mode::Tracking && !(style & HDS_FULLDRAG)) {
        marker(ItemRect(active_).left + trackWidth_);
    }
    if (hotDivider_ >= 0 && hotDivider_ <= static_cast<int>(order_.size())) {
        int at = 0;
        for (int position = 0; position < hotDivider_; ++position)
            at += items_[static_cast<std::size_t>(order_[static_cast<std::size_t>(position)])].width;
        marker(at);
    }
    SelectObject(hdc, oldFont);
}

void Header::PaintItem(HDC hdc, const RECT& r, const Item& item, bool pressed) const {
    RECT edge = r;
    if (pressed)
        FrameRect(hdc, &edge, GetSysColorBrush(COLOR_3DSHADOW));
    else
        DrawEdge(hdc, &edge, EDGE_RAISED, BF_RECT);
    RECT text{r.left + kTextInset, r.top, r.right - kTextInset, r.bottom};
    if (pressed) OffsetRect(&text, 1, 1);
    if ((item.format & HDF_IMAGE) && images_) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images_, &cx, &cy);
        SaveDC(hdc);
        IntersectClipRect(hdc, r.left, r.top, r.right, r.bottom);
        ImageList_Draw(images_, item.image, hdc, text.left, text.top + (Height(text) - cy) / 2, ILD_TRANSPARENT);
        RestoreDC(hdc, -1);
        text.left += cx + 2;
    }
    if (text.right > text.left) CellText::Draw(hdc, text, item.text, item.format & HDF_JUSTIFYMASK);
}

// --- Notifications ---------------------------------------------------------------------------

LRESULT Header::Notify(UINT ansiCode, UINT wideCode, int index, int button, HDITEMA* item) {
    if (!parent_ || destroyed_) return 0;
    if (!unicode_) {
        NMHEADERA nm{NMHDR{hwnd_, static_cast<UINT_PTR>(id_), ansiCode}, index, button, item};
        return SendMessageA(parent_, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&nm));
    }
    // The wide form carries everything but the text.
    HDITEMW wide{};
    if (item) {
        wide.mask = item->mask & ~HDI_TEXT;
        wide.cxy = item->cxy;
        wide.hbm = item->hbm;
        wide.fmt = item->fmt;
        wide.lParam = item->lParam;
        wide.iImage = item->iImage;
        wide.iOrder = item->iOrder;
    }
    NMHEADERW nm{NMHDR{hwnd_, static_cast<UINT_PTR>(id_), wideCode}, index, button, item ? &wide : nullptr};
    const LRESULT result = SendMessageA(parent_, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&nm));
    if (item) {
        item->cxy = wide.cxy;
        item->iOrder = wide.iOrder;
    }
    return result;
}

LRESULT Header::NotifyWidth(UINT ansiCode, UINT wideCode, int index, int width) {
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = width;
    return Notify(ansiCode, wideCode, index, 0, &item);
}

void Header::Invalidate() {
    if (!destroyed_) InvalidateRect(hwnd_, nullptr, FALSE);
}
