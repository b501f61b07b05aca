#include "platform/controls/Toolbar.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/controls/BarAlignment.h"
#include "platform/controls/ControlInstance.h"
#include "platform/controls/ToolbarPainter.h"
#include "platform/controls/ToolbarSavedLayout.h"
#include "platform/controls/Tooltip.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

namespace {

constexpr UINT_PTR kLeaveTimer = 1;  // is the pointer still over the hot button?
constexpr UINT kLeaveInterval = 100;
constexpr int kImageMargin = 7;  // a button is at least this much larger than its image
constexpr int kArrowWidth = 14;
constexpr int kDividerHeight = 2;
constexpr int kBottomMargin = 2;  // below the last row, when the toolbar sizes itself
// The state bits of TB_ENABLEBUTTON..TB_MARKBUTTON, and of TB_ISBUTTONENABLED..TB_ISBUTTONHIGHLIGHTED.
constexpr BYTE kStateBits[] = {TBSTATE_ENABLED, TBSTATE_CHECKED,       TBSTATE_PRESSED,
                               TBSTATE_HIDDEN,  TBSTATE_INDETERMINATE, TBSTATE_MARKED};

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }

TBBUTTON ToStruct(const ToolbarButton& b) {
    TBBUTTON tb{};
    tb.iBitmap = b.image;
    tb.idCommand = b.command;
    tb.fsState = b.state;
    tb.fsStyle = b.style;
    tb.dwData = b.data;
    tb.iString = b.string;
    return tb;
}

ToolbarButton FromStruct(const TBBUTTON& tb) {
    ToolbarButton b;
    b.image = tb.iBitmap;
    b.command = tb.idCommand;
    b.state = tb.fsState;
    b.style = tb.fsStyle;
    b.data = tb.dwData;
    b.string = tb.iString;
    // An address (not a string index) names a text of the caller's: keep a copy.
    if (tb.iString && !IS_INTRESOURCE(reinterpret_cast<LPCSTR>(tb.iString)))
        b.text = reinterpret_cast<const char*>(tb.iString);
    return b;
}

long long DistanceSquared(const RECT& r, POINT p) {
    const long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
    const long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

}  // namespace

Toolbar::Toolbar(HWND hwnd) : hwnd_(hwnd) {}

Toolbar::~Toolbar() {
    for (Strip& s : strips_) ImageList_Destroy(s.list);
}

void Toolbar::Register() { ControlInstance<Toolbar>::Register(TOOLBARCLASSNAMEA, CS_DBLCLKS); }

std::unique_ptr<Toolbar> Toolbar::Make(HWND hwnd, const CREATESTRUCTA& cs) {
    auto bar = std::make_unique<Toolbar>(hwnd);
    bar->notify_ = cs.hwndParent;
    return bar;
}

int Toolbar::IndexOf(int command) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].command == command) return static_cast<int>(i);
    return -1;
}

ToolbarButton* Toolbar::ById(WPARAM command) {
    const int i = IndexOf(static_cast<int>(command));
    return i < 0 ? nullptr : &buttons_[i];
}

SIZE Toolbar::ButtonSize() const {
    return SIZE{std::max<LONG>(buttonSize_.cx, bitmapSize_.cx + kImageMargin),
                std::max<LONG>(buttonSize_.cy, bitmapSize_.cy + kImageMargin)};
}

int Toolbar::SeparatorWidth(const ToolbarButton& b) const {
    if (b.image > 0) return b.image;
    return (StyleOf(hwnd_) & TBSTYLE_FLAT) ? 6 : 8;
}

int Toolbar::ArrowWidth(const ToolbarButton& b) const {
    const bool arrow =
        (b.style & BTNS_WHOLEDROPDOWN) || ((b.style & BTNS_DROPDOWN) && (exStyle_ & TBSTYLE_EX_DRAWDDARROWS));
    return arrow ? kArrowWidth : 0;
}

// ---- Buttons, images and state ----

BOOL Toolbar::Insert(int index, const TBBUTTON* buttons, int count) {
    if (!buttons || count <= 0) return FALSE;
    // Records are read at the caller's stride; a smaller size is the 32-bit platform's number for
    // the same structure, which is read as ours.
    const std::size_t stride = std::max(structSize_, sizeof(TBBUTTON));
    if (index < 0 || static_cast<std::size_t>(index) > buttons_.size()) index = static_cast<int>(buttons_.size());
    std::vector<ToolbarButton> added;
    added.reserve(static_cast<std::size_t>(count));
    const auto* bytes = reinterpret_cast<const BYTE*>(buttons);
    for (int k = 0; k < count; ++k) {
        TBBUTTON tb;
        std::memcpy(&tb, bytes + static_cast<std::size_t>(k) * stride, sizeof tb);
        added.push_back(FromStruct(tb));
    }
    CancelPress();
    hot_ = -1;
    buttons_.insert(buttons_.begin() + index, std::make_move_iterator(added.begin()),
                    std::make_move_iterator(added.end()));
    Layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

BOOL Toolbar::Delete(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= buttons_.size()) return FALSE;
    const int command = buttons_[index].command;
    NotifyButton(TBN_DELETINGBUTTON, index);
    if (!Alive()) return FALSE;
    // The notification may have changed the buttons: delete the one it was about.
    if (static_cast<std::size_t>(index) >= buttons_.size() || buttons_[index].command != command)
        index = IndexOf(command);
    if (index < 0) return FALSE;
    CancelPress();
    hot_ = -1;
    buttons_.erase(buttons_.begin() + index);
    Layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

BOOL Toolbar::Move(int from, int to) {
    const int n = static_cast<int>(buttons_.size());
    if (from < 0 || from >= n || to < 0 || to >= n) return FALSE;
    CancelPress();
    hot_ = -1;
    ToolbarButton moving = std::move(buttons_[from]);
    buttons_.erase(buttons_.begin() + from);
    buttons_.insert(buttons_.begin() + to, std::move(moving));
    Layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

BOOL Toolbar::SetState(WPARAM command, BYTE state) {
    const int i = IndexOf(static_cast<int>(command));
    return i >= 0 && SetStateAt(i, state);
}

BOOL Toolbar::SetStateAt(int i, BYTE state) {
    ToolbarButton& b = buttons_[i];
    const BYTE changed = b.state ^ state;
    if (!changed) return TRUE;
    b.state = state;
    if (!(state & TBSTATE_ENABLED)) {
        if (hot_ == i) hot_ = -1;
        if (pressed_ == i) CancelPress();
    }
    // A checked button of a check group unchecks the rest of its group.
    if ((changed & state & TBSTATE_CHECKED) && (b.style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP) {
        auto inGroup = [&](int j) {
            return j >= 0 && j < static_cast<int>(buttons_.size()) &&
                   (buttons_[j].style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP;
        };
        for (int step : {-1, 1})
            for (int j = i + step; inGroup(j); j += step)
                if (buttons_[j].state & TBSTATE_CHECKED) {
                    buttons_[j].state &= ~TBSTATE_CHECKED;
                    InvalidateButton(j);
                }
    }
    if (changed & (TBSTATE_HIDDEN | TBSTATE_WRAP)) {
        Layout();
        InvalidateRect(hwnd_, nullptr, TRUE);
    } else {
        InvalidateButton(i);
    }
    return TRUE;
}

BOOL Toolbar::SetStateBit(WPARAM command, BYTE bit, bool on) {
    const ToolbarButton* b = ById(command);
    if (!b) return FALSE;
    return SetState(command, static_cast<BYTE>(on ? b->state | bit : b->state & ~bit));
}

LRESULT Toolbar::GetButtonInfo(WPARAM which, TBBUTTONINFOA* info) {
    if (!info || info->cbSize < sizeof(TBBUTTONINFOA)) return -1;
    const int i = (info->dwMask & TBIF_BYINDEX) ? static_cast<int>(which) : IndexOf(static_cast<int>(which));
    if (i < 0 || static_cast<std::size_t>(i) >= buttons_.size()) return -1;
    const ToolbarButton& b = buttons_[i];
    if (info->dwMask & TBIF_COMMAND) info->idCommand = b.command;
    if (info->dwMask & TBIF_IMAGE) info->iImage = b.image;
    if (info->dwMask & TBIF_STATE) info->fsState = b.state;
    if (info->dwMask & TBIF_STYLE) info->fsStyle = b.style;
    if (info->dwMask & TBIF_LPARAM) info->lParam = b.data;
    if (info->dwMask & TBIF_SIZE) info->cx = static_cast<WORD>(Width(b.rect));
    if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(info->cchText) - 1, b.text.size());
        std::memcpy(info->pszText, b.text.data(), n);
        info->pszText[n] = '\0';
    }
    return i;
}

BOOL Toolbar::SetButtonInfo(WPARAM which, const TBBUTTONINFOA* info) {
    if (!info || info->cbSize < sizeof(TBBUTTONINFOA)) return FALSE;
    const int i = (info->dwMask & TBIF_BYINDEX) ? static_cast<int>(which) : IndexOf(static_cast<int>(which));
    if (i < 0 || static_cast<std::size_t>(i) >= buttons_.size()) return FALSE;
    ToolbarButton& b = buttons_[i];
    if (info->dwMask & TBIF_COMMAND) b.command = info->idCommand;
    if (info->dwMask & TBIF_IMAGE) b.image = info->iImage;
    if (info->dwMask & TBIF_STYLE) b.style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM) b.data = info->lParam;
    if (info->dwMask & TBIF_SIZE) b.width = info->cx;
    if (info->dwMask & TBIF_TEXT) b.text = info->pszText ? info->pszText : "";
    // By position: separators, and buttons sharing a command, have a state each.
    if (info->dwMask & TBIF_STATE) SetStateAt(i, info->fsState);
    Layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

LRESULT Toolbar::AddBitmap(int count, const TBADDBITMAP* add) {
    if (!add || add->hInst == HINST_COMMCTRL) return -1;
    Strip strip{add->hInst, add->nID, nullptr, 0};
    // A resource is loaded with its greys and black and white mapped to the system colours; a
    // bitmap handle is the caller's, already mapped.
    HBITMAP loaded =
        add->hInst ? CreateMappedBitmap(add->hInst, static_cast<std::intptr_t>(add->nID), 0, nullptr, 0) : nullptr;
    const HBITMAP bitmap = add->hInst ? loaded : reinterpret_cast<HBITMAP>(add->nID);
    strip.list = ImageList_Create(bitmapSize_.cx, bitmapSize_.cy, ILC_COLOR32 | ILC_MASK, std::max(count, 1), 4);
    // The face colour is the transparent one, so that the embossed disabled look has a shape.
    const bool added = strip.list && bitmap && ImageList_AddMasked(strip.list, bitmap, GetSysColor(COLOR_3DFACE)) >= 0;
    if (loaded) DeleteObject(loaded);
    if (!added) {
        if (strip.list) ImageList_Destroy(strip.list);
        return -1;
    }
    strip.count = ImageList_GetImageCount(strip.list);
    int first = 0;
    for (const Strip& s : strips_) first += s.count;
    strips_.push_back(strip);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return first;
}

BOOL Toolbar::ReplaceBitmap(const TBREPLACEBITMAP* replace) {
    if (!replace) return FALSE;
    auto it = std::find_if(strips_.begin(), strips_.end(),
                           [&](const Strip& s) { return s.instance == replace->hInstOld && s.id == replace->nIDOld; });
    if (it == strips_.end()) return FALSE;
    const auto old = static_cast<std::size_t>(std::distance(strips_.begin(), it));
    const TBADDBITMAP add{replace->hInstNew, replace->nIDNew};
    if (AddBitmap(replace->nButtons, &add) < 0) return FALSE;
    // AddBitmap appended the new strip: put it in the old one's place.
    ImageList_Destroy(strips_[old].list);
    strips_[old] = strips_.back();
    strips_.pop_back();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

BOOL Toolbar::SetBitmapSize(SIZE size) {
    if (size.cx <= 0) size.cx = 16;
    if (size.cy <= 0) size.cy = 15;
    // Images already cut at one size cannot be cut again.
    if (!strips_.empty() && (size.cx != bitmapSize_.cx || size.cy != bitmapSize_.cy)) return FALSE;
    bitmapSize_ = size;
    Layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

LRESULT Toolbar::SetImageList(HIMAGELIST& slot, HIMAGELIST list) {
    const HIMAGELIST previous = slot;
    slot = list;
    int width, height;
    if (&slot == &images_ && list && ImageList_GetIconSize(list, &width, &height)) {
        bitmapSize_ = SIZE{width, height};
        Layout();
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(previous);
}

Toolbar::Draw Toolbar::ImageFor(int image, Look look, HIMAGELIST& list, int& index) const {
    if (image < 0) return Draw::None;
    index = image;
    auto has = [&](HIMAGELIST l) { return l && image < ImageList_GetImageCount(l); };
    if (look == Look::Disabled && has(disabledImages_)) {
        list = disabledImages_;
        return Draw::Plain;
    }
    if (images_) {
        list = look == Look::Hot && has(hotImages_) ? hotImages_ : images_;
        if (!has(list)) return Draw::None;
        return look == Look::Disabled ? Draw::Emboss : Draw::Plain;
    }
    for (const Strip& s : strips_) {
        if (index < s.count) {
            list = s.list;
            return look == Look::Disabled ? Draw::Emboss : Draw::Plain;
        }
        index -= s.count;
    }
    return Draw::None;
}

// ---- Layout and drawing ----

void Toolbar::Layout() {
    RECT client;
    GetClientRect(hwnd_, &client);
    const DWORD style = StyleOf(hwnd_);
    const SIZE size = ButtonSize();
    int x = indent_, y = (style & CCS_NODIVIDER) ? 0 : kDividerHeight;
    bool rowStarted = false;
    for (ToolbarButton& b : buttons_) {
        if (b.state & TBSTATE_HIDDEN) {
            b.rect = RECT{};
            continue;
        }
        const bool separator = b.style & BTNS_SEP;
        const int width = separator ? SeparatorWidth(b) : (b.width > 0 ? b.width : size.cx) + ArrowWidth(b);
        if ((style & TBSTYLE_WRAPABLE) && rowStarted && !separator && x + width > client.right) {
            x = indent_;
            y += size.cy;
            rowStarted = false;
        }
        if (separator && (b.state & TBSTATE_WRAP)) {
            // A separator that ends a row lies across the gap under it.
            const int gap = width * 2 / 3;
            b.rect = RECT{0, y + size.cy, std::max<LONG>(client.right, x), y + size.cy + gap};
            x = indent_;
            y += size.cy + gap;
            rowStarted = false;
            continue;
        }
        b.rect = RECT{x, y, x + width, y + size.cy};
        x += width;
        rowStarted = true;
        if (b.state & TBSTATE_WRAP) {
            x = indent_;
            y += size.cy;
            rowStarted = false;
        }
    }
    SyncTools();
}

int Toolbar::ContentBottom() const {
    int bottom = (StyleOf(hwnd_) & CCS_NODIVIDER) ? 0 : kDividerHeight;
    bool any = false;
    for (const ToolbarButton& b : buttons_)
        if (!(b.state & TBSTATE_HIDDEN)) {
            bottom = std::max<int>(bottom, b.rect.bottom);
            any = true;
        }
    return any ? bottom : bottom + ButtonSize().cy;
}

void Toolbar::AutoSize() {
    Layout();
    BarAlignment::Apply(hwnd_, ContentBottom() + kBottomMargin, false);
    Layout();  // a wrapping toolbar may have changed width
}

LRESULT Toolbar::HitTest(POINT p) const {
    // Off the buttons the answer is negative: -1 less the index of the separator under the point,
    // else of the nearest button.
    int nearest = -1;
    long long best = std::numeric_limits<long long>::max();
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const ToolbarButton& b = buttons_[i];
        if (b.state & TBSTATE_HIDDEN) continue;
        if (PtInRect(&b.rect, p)) return (b.style & BTNS_SEP) ? -1 - static_cast<LRESULT>(i) : static_cast<LRESULT>(i);
        if (b.style & BTNS_SEP) continue;
        const long long d = DistanceSquared(b.rect, p);
        if (d < best) {
            best = d;
            nearest = static_cast<int>(i);
        }
    }
    return -1 - static_cast<LRESULT>(std::max(nearest, 0));
}

int Toolbar::ButtonAt(POINT p) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const ToolbarButton& b = buttons_[i];
        if (!(b.state & TBSTATE_HIDDEN) && !(b.style & BTNS_SEP) && PtInRect(&b.rect, p)) return static_cast<int>(i);
    }
    return -1;
}

void Toolbar::InvalidateButton(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < buttons_.size())
        InvalidateRect(hwnd_, &buttons_[index].rect, TRUE);
}

BOOL Toolbar::EraseBackground(HDC hdc) {
    const DWORD style = StyleOf(hwnd_);
    const HWND parent = GetParent(hwnd_);
    // Flat and transparent toolbars show their parent's background through.
    if ((style & (TBSTYLE_FLAT | TBSTYLE_TRANSPARENT)) && (style & WS_CHILD) && parent) {
        POINT offset{0, 0};
        MapWindowPoints(hwnd_, parent, &offset, 1);
        POINT previous;
        OffsetViewportOrgEx(hdc, -offset.x, -offset.y, &previous);
        const LRESULT erased = SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        SetViewportOrgEx(hdc, previous.x, previous.y, nullptr);
        if (erased) return TRUE;
    }
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_3DFACE));
    return TRUE;
}

void Toolbar::PaintButton(HDC hdc, int index) {
    const ToolbarButton& b = buttons_[index];
    const bool flat = StyleOf(hwnd_) & TBSTYLE_FLAT;
    if (b.style & BTNS_SEP) {
        if (flat) ToolbarPainter::Separator(hdc, b.rect, b.state & TBSTATE_WRAP);
        return;
    }
    ToolbarPainter::Face face;
    face.flat = flat;
    face.enabled = (b.state & TBSTATE_ENABLED) && !(b.state & TBSTATE_INDETERMINATE);
    face.hot = index == hot_ && face.enabled;
    face.pressed = b.state & TBSTATE_PRESSED;
    face.checked = b.state & TBSTATE_CHECKED;
    face.arrowWidth = ArrowWidth(b);
    face.splitArrow = face.arrowWidth > 0 && !(b.style & BTNS_WHOLEDROPDOWN);
    const Look look = !face.enabled ? Look::Disabled : face.hot ? Look::Hot : Look::Normal;
    const Draw draw = ImageFor(b.image, look, face.list, face.index);
    if (draw == Draw::None) face.list = nullptr;
    face.emboss = draw == Draw::Emboss;
    ToolbarPainter::Button(hdc, b.rect, face);
}

void Toolbar::Paint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    if (!(StyleOf(hwnd_) & CCS_NODIVIDER)) {
        RECT client;
        GetClientRect(hwnd_, &client);
        ToolbarPainter::Divider(hdc, client);
    }
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        RECT overlap;
        if (!(buttons_[i].state & TBSTATE_HIDDEN) && IntersectRect(&overlap, &buttons_[i].rect, &ps.rcPaint))
            PaintButton(hdc, static_cast<int>(i));
    }
    EndPaint(hwnd_, &ps);
}

// ---- Mouse and notifications ----

bool Toolbar::Alive() const { return ControlInstance<Toolbar>::Of(hwnd_) == this; }

LRESULT Toolbar::Notify(UINT code, NMHDR* header) {
    const int id = GetDlgCtrlID(hwnd_);
    *header = NMHDR{hwnd_, static_cast<UINT_PTR>(id), code};
    if (!notify_ || !IsWindow(notify_)) return 0;
    return SendMessageA(notify_, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(header));
}

LRESULT Toolbar::NotifyButton(UINT code, int index) {
    NMTOOLBARA nm{};
    const ToolbarButton& b = buttons_[index];
    nm.iItem = b.command;
    nm.tbButton = ToStruct(b);
    nm.rcButton = b.rect;
    return Notify(code, &nm.hdr);
}

void Toolbar::SetHot(int index, DWORD reason) {
    if (index == hot_) return;
    NMTBHOTITEM nm{};
    nm.idOld = hot_ >= 0 ? buttons_[hot_].command : 0;
    nm.idNew = index >= 0 ? buttons_[index].command : 0;
    nm.dwFlags = reason | (index < 0 ? HICF_LEAVING : hot_ < 0 ? HICF_ENTERING : 0);
    if (Notify(TBN_HOTITEMCHANGE, &nm.hdr) || !Alive()) return;             // refused, or gone
    if (static_cast<std::size_t>(index + 1) > buttons_.size()) index = -1;  // the buttons changed meanwhile
    InvalidateButton(hot_);
    hot_ = index;
    InvalidateButton(hot_);
    if (hot_ >= 0)
        SetTimer(hwnd_, kLeaveTimer, kLeaveInterval, nullptr);
    else
        KillTimer(hwnd_, kLeaveTimer);
}

void Toolbar::MouseMove(POINT p) {
    if (pressed_ >= 0) {
        // While held, the button looks pressed only with the pointer on it.
        ToolbarButton& b = buttons_[pressed_];
        const bool inside = PtInRect(&b.rect, p);
        if (inside != static_cast<bool>(b.state & TBSTATE_PRESSED)) {
            b.state ^= TBSTATE_PRESSED;
            InvalidateButton(pressed_);
        }
        return;
    }
    if (!(StyleOf(hwnd_) & TBSTYLE_FLAT)) return;
    const int i = ButtonAt(p);
    SetHot(i >= 0 && (buttons_[i].state & TBSTATE_ENABLED) ? i : -1, HICF_MOUSE);
}

bool Toolbar::DropDown(int index) {
    const int command = buttons_[index].command;
    buttons_[index].state |= TBSTATE_PRESSED;
    InvalidateButton(index);
    UpdateWindow(hwnd_);
    const LRESULT answer = NotifyButton(TBN_DROPDOWN, index);
    if (!Alive()) return false;
    const int i = IndexOf(command);
    if (i >= 0) {
        buttons_[i].state &= ~TBSTATE_PRESSED;
        InvalidateButton(i);
    }
    return answer == TBDDRET_TREATPRESSED && i >= 0;
}

void Toolbar::ButtonDown(POINT p) {
    int i = ButtonAt(p);
    if (i < 0 || !(buttons_[i].state & TBSTATE_ENABLED) || pressed_ >= 0) return;
    const ToolbarButton& b = buttons_[i];
    if (b.style & (BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN)) {
        const bool split = (exStyle_ & TBSTYLE_EX_DRAWDDARROWS) && !(b.style & BTNS_WHOLEDROPDOWN);
        if (!split || p.x >= b.rect.right - ArrowWidth(b)) {
            const int command = b.command;
            if (!DropDown(i)) return;
            i = IndexOf(command);  // treated as pressed: on as a button
        }
    }
    pressed_ = i;
    buttons_[i].state |= TBSTATE_PRESSED;
    SetCapture(hwnd_);
    InvalidateButton(i);
    NotifyButton(TBN_BEGINDRAG, i);
}

void Toolbar::ButtonUp(POINT p) {
    if (pressed_ < 0) return;
    const int i = pressed_;
    pressed_ = -1;
    ToolbarButton& b = buttons_[i];
    const bool clicked = PtInRect(&b.rect, p) && (b.state & TBSTATE_ENABLED);
    b.state &= ~TBSTATE_PRESSED;
    InvalidateButton(i);
    if (GetCapture() == hwnd_) ReleaseCapture();
    const int command = b.command;
    if (clicked && (b.style & BTNS_CHECK)) {
        const bool group = (b.style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP;
        SetStateBit(static_cast<WPARAM>(command), TBSTATE_CHECKED, group || !(b.state & TBSTATE_CHECKED));
    }
    NotifyButton(TBN_ENDDRAG, i);
    if (!Alive() || !clicked) return;
    if (notify_ && IsWindow(notify_))
        SendMessageA(notify_, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(hwnd_));
}

void Toolbar::CancelPress() {
    if (pressed_ < 0) return;
    const int i = pressed_;
    pressed_ = -1;
    if (static_cast<std::size_t>(i) < buttons_.size()) {
        buttons_[i].state &= ~TBSTATE_PRESSED;
        InvalidateButton(i);
    }
    if (GetCapture() == hwnd_) ReleaseCapture();
}

void Toolbar::Relay(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_ || !IsWindow(tooltip_)) return;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd_, &at);
    MSG msg{hwnd_, message, wParam, lParam, GetMessageTime(), at, 0};
    SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void Toolbar::SyncTools() {
    if (!tooltip_ || !IsWindow(tooltip_)) return;
    std::vector<UINT_PTR> wanted;
    for (const ToolbarButton& b : buttons_) {
        if ((b.style & BTNS_SEP) || (b.state & TBSTATE_HIDDEN)) continue;
        const auto id = static_cast<UINT_PTR>(static_cast<unsigned>(b.command));
        if (std::find(wanted.begin(), wanted.end(), id) != wanted.end()) continue;
        wanted.push_back(id);
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd_;
        ti.uId = id;
        ti.rect = b.rect;
        ti.lpszText = LPSTR_TEXTCALLBACKA;
        const bool known = std::find(tools_.begin(), tools_.end(), id) != tools_.end();
        SendMessageA(tooltip_, known ? TTM_NEWTOOLRECTA : TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    for (UINT_PTR id : tools_) {
        if (std::find(wanted.begin(), wanted.end(), id) != wanted.end()) continue;
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd_;
        ti.uId = id;
        SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    tools_ = std::move(wanted);
}

void Toolbar::UseTooltip(HWND tooltip) {
    if (tooltip_ && IsWindow(tooltip_)) {
        for (UINT_PTR id : tools_) {
            TOOLINFOA ti{};
            ti.cbSize = sizeof ti;
            ti.hwnd = hwnd_;
            ti.uId = id;
            SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
    tools_.clear();
    tooltip_ = tooltip;
    SyncTools();
}

std::vector<ToolbarButton> Toolbar::Offered() {
    constexpr int kMaxOffers = 1024;  // a notify window that never says no is not asked for ever
    std::vector<ToolbarButton> offered;
    for (int i = 0; i < kMaxOffers; ++i) {
        char text[128] = {};
        NMTOOLBARA nm{};
        nm.iItem = i;
        nm.pszText = text;
        nm.cchText = sizeof text;
        const LRESULT given = Notify(TBN_GETBUTTONINFOA, &nm.hdr);
        if (!Alive() || !given) break;
        nm.tbButton.iString = 0;  // the text came in pszText
        ToolbarButton b = FromStruct(nm.tbButton);
        text[sizeof text - 1] = '\0';
        b.text = text;
        offered.push_back(std::move(b));
    }
    return offered;
}

BOOL Toolbar::SaveRestore(bool save, const TBSAVEPARAMSA* params) {
    if (!params || !params->pszSubKey) return FALSE;
    if (save)
        return ToolbarSavedLayout::Write(params->hkr, params->pszSubKey, params->pszValueName,
                                         ToolbarSavedLayout::Encode(buttons_)) == ERROR_SUCCESS;
    std::vector<BYTE> bytes;
    if (ToolbarSavedLayout::Read(params->hkr, params->pszSubKey, params->pszValueName, bytes) != ERROR_SUCCESS)
        return FALSE;
    const auto entries = ToolbarSavedLayout::Decode(bytes);
    if (!entries) return FALSE;
    // Buttons that are not on the bar are asked for before anything changes: the asking may change it.
    const bool missing = std::any_of(entries->begin(), entries->end(), [&](const ToolbarSavedLayout::Entry& e) {
        return !(e.style & BTNS_SEP) && IndexOf(e.command) < 0;
    });
    std::vector<ToolbarButton> offered = missing ? Offered() : std::vector<ToolbarButton>{};
    if (!Alive()) return FALSE;
    CancelPress();
    hot_ = -1;

    constexpr BYTE kLayoutBits = TBSTATE_HIDDEN | TBSTATE_WRAP;
    std::vector<ToolbarButton> restored;
    const auto take = [&](std::vector<ToolbarButton>& from, int command) {
        auto it = std::find_if(from.begin(), from.end(),
                               [&](const ToolbarButton& b) { return b.command == command && !(b.style & BTNS_SEP); });
        if (it == from.end()) return false;
        restored.push_back(std::move(*it));
        from.erase(it);
        return true;
    };
    for (const ToolbarSavedLayout::Entry& e : *entries) {
        if (e.style & BTNS_SEP) {
            ToolbarButton separator;
            separator.command = e.command;
            separator.image = e.image;
            separator.style = e.style;
            separator.state = e.state & kLayoutBits;
            restored.push_back(std::move(separator));
            continue;
        }
        if (!take(buttons_, e.command) && !take(offered, e.command)) continue;  // no such button any more
        ToolbarButton& b = restored.back();
        b.state = static_cast<BYTE>((b.state & ~kLayoutBits) | (e.state & kLayoutBits));
    }
    buttons_ = std::move(restored);
    Layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
    NMHDR changed{};
    Notify(TBN_TOOLBARCHANGE, &changed);
    return TRUE;
}

// ---- Dispatch ----

LRESULT Toolbar::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto sizeOf = [](LPARAM l) {
        return SIZE{LOWORD(static_cast<std::uintptr_t>(l)), HIWORD(static_cast<std::uintptr_t>(l))};
    };
    switch (message) {
        case WM_CREATE:
            if (StyleOf(hwnd) & TBSTYLE_TOOLTIPS) {
                ownTooltip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd,
                                              nullptr, nullptr, nullptr);
                UseTooltip(ownTooltip_);
                NMTOOLTIPSCREATED nm{};
                nm.hwndToolTips = ownTooltip_;
                if (ownTooltip_) Notify(NM_TOOLTIPSCREATED, &nm.hdr);
            }
            return 0;
        case TB_ENABLEBUTTON:
        case TB_CHECKBUTTON:
        case TB_PRESSBUTTON:
        case TB_HIDEBUTTON:
        case TB_INDETERMINATE:
        case TB_MARKBUTTON:
            return SetStateBit(wParam, kStateBits[message - TB_ENABLEBUTTON],
                               LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
        case TB_ISBUTTONENABLED:
        case TB_ISBUTTONCHECKED:
        case TB_ISBUTTONPRESSED:
        case TB_ISBUTTONHIDDEN:
        case TB_ISBUTTONINDETERMINATE:
        case TB_ISBUTTONHIGHLIGHTED: {
            const ToolbarButton* b = ById(wParam);
            return b ? (b->state & kStateBits[message - TB_ISBUTTONENABLED]) : 0;
        }
        case TB_SETSTATE:
            return SetState(wParam, static_cast<BYTE>(LOWORD(static_cast<std::uintptr_t>(lParam))));
        case TB_GETSTATE: {
            const ToolbarButton* b = ById(wParam);
            return b ? b->state : -1;
        }
        case TB_ADDBITMAP:
            return AddBitmap(static_cast<int>(wParam), reinterpret_cast<const TBADDBITMAP*>(lParam));
        case TB_REPLACEBITMAP:
            return ReplaceBitmap(reinterpret_cast<const TBREPLACEBITMAP*>(lParam));
        case TB_ADDBUTTONSA:
            return Insert(-1, reinterpret_cast<const TBBUTTON*>(lParam), static_cast<int>(wParam));
        case TB_INSERTBUTTONA:
            return Insert(static_cast<int>(wParam), reinterpret_cast<const TBBUTTON*>(lParam), 1);
        case TB_DELETEBUTTON:
            return Delete(static_cast<int>(wParam));
        case TB_MOVEBUTTON:
            return Move(static_cast<int>(wParam), static_cast<int>(lParam));
        case TB_GETBUTTON: {
            auto* out = reinterpret_cast<TBBUTTON*>(lParam);
            if (!out || wParam >= buttons_.size()) return FALSE;
            *out = ToStruct(buttons_[wParam]);
            return TRUE;
        }
        case TB_BUTTONCOUNT:
            return static_cast<LRESULT>(buttons_.size());
        case TB_COMMANDTOINDEX:
            return IndexOf(static_cast<int>(wParam));
        case TB_SETCMDID:
            if (wParam >= buttons_.size()) return FALSE;
            buttons_[wParam].command = static_cast<int>(lParam);
            SyncTools();
            return TRUE;
        case TB_CHANGEBITMAP:
            if (ToolbarButton* b = ById(wParam)) {
                b->image = static_cast<int>(lParam);
                InvalidateButton(IndexOf(b->command));
                return TRUE;
            }
            return FALSE;
        case TB_GETBITMAP: {
            const ToolbarButton* b = ById(wParam);
            return b ? b->image : 0;
        }
        case TB_GETBUTTONINFOA:
            return GetButtonInfo(wParam, reinterpret_cast<TBBUTTONINFOA*>(lParam));
        case TB_SETBUTTONINFOA:
            return SetButtonInfo(wParam, reinterpret_cast<const TBBUTTONINFOA*>(lParam));
        case TB_SAVERESTOREA:
            return SaveRestore(wParam != 0, reinterpret_cast<const TBSAVEPARAMSA*>(lParam));
        case TB_CUSTOMIZE:
            return FALSE;
        case TB_GETITEMRECT:
        case TB_GETRECT: {
            const int i = message == TB_GETRECT ? IndexOf(static_cast<int>(wParam)) : static_cast<int>(wParam);
            auto* out = reinterpret_cast<RECT*>(lParam);
            if (!out || i < 0 || static_cast<std::size_t>(i) >= buttons_.size() || (buttons_[i].state & TBSTATE_HIDDEN))
                return FALSE;
            *out = buttons_[i].rect;
            return TRUE;
        }
        case TB_HITTEST:
            return lParam ? HitTest(*reinterpret_cast<const POINT*>(lParam)) : -1;
        case TB_BUTTONSTRUCTSIZE:
            structSize_ = wParam;
            return 0;
        case TB_SETBUTTONSIZE: {
            const SIZE size = sizeOf(lParam);
            buttonSize_ = SIZE{size.cx > 0 ? size.cx : 24, size.cy > 0 ? size.cy : 22};
            Layout();
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        case TB_SETBITMAPSIZE:
            return SetBitmapSize(sizeOf(lParam));
        case TB_GETBUTTONSIZE: {
            const SIZE size = ButtonSize();
            return MAKELPARAM(size.cx, size.cy);
        }
        case TB_AUTOSIZE:
            AutoSize();
            return 0;
        case TB_GETMAXSIZE: {
            auto* out = reinterpret_cast<SIZE*>(lParam);
            if (!out) return FALSE;
            *out = SIZE{0, 0};
            for (const ToolbarButton& b : buttons_)
                if (!(b.state & TBSTATE_HIDDEN))
                    *out = SIZE{std::max(out->cx, b.rect.right), std::max(out->cy, b.rect.bottom)};
            return TRUE;
        }
        case TB_SETINDENT:
            indent_ = static_cast<int>(wParam);
            Layout();
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        case TB_GETTOOLTIPS:
            return reinterpret_cast<LRESULT>(tooltip_);
        case TB_SETTOOLTIPS:
            UseTooltip(reinterpret_cast<HWND>(wParam));
            return 0;
        case TB_SETPARENT: {
            const HWND previous = notify_;
            notify_ = reinterpret_cast<HWND>(wParam);
            return reinterpret_cast<LRESULT>(previous);
        }
        case TB_SETIMAGELIST:
            return SetImageList(images_, reinterpret_cast<HIMAGELIST>(lParam));
        case TB_SETHOTIMAGELIST:
            return SetImageList(hotImages_, reinterpret_cast<HIMAGELIST>(lParam));
        case TB_SETDISABLEDIMAGELIST:
            return SetImageList(disabledImages_, reinterpret_cast<HIMAGELIST>(lParam));
        case TB_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(images_);
        case TB_GETHOTIMAGELIST:
            return reinterpret_cast<LRESULT>(hotImages_);
        case TB_GETDISABLEDIMAGELIST:
            return reinterpret_cast<LRESULT>(disabledImages_);
        case TB_SETSTYLE:
            SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<DWORD>(lParam));
            Layout();
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case TB_GETSTYLE:
            return StyleOf(hwnd);
        case TB_SETEXTENDEDSTYLE: {
            const DWORD previous = exStyle_;
            const auto mask = wParam ? static_cast<DWORD>(wParam) : ~DWORD{0};
            exStyle_ = (exStyle_ & ~mask) | (static_cast<DWORD>(lParam) & mask);
            Layout();
            InvalidateRect(hwnd, nullptr, TRUE);
            return previous;
        }
        case TB_GETEXTENDEDSTYLE:
            return exStyle_;
        case TB_GETHOTITEM:
            return hot_;
        case TB_SETHOTITEM: {
            const int previous = hot_;
            const auto i = static_cast<int>(wParam);
            if (i < 0 || (static_cast<std::size_t>(i) < buttons_.size() && !IsSeparator(i)))
                SetHot(std::max(i, -1), HICF_OTHER);
            return previous;
        }
        case WM_MOUSEMOVE:
            Relay(message, wParam, lParam);
            MouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Relay(message, wParam, lParam);
            ButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_LBUTTONUP:
            Relay(message, wParam, lParam);
            ButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            Relay(message, wParam, lParam);
            return DefWindowProcA(hwnd, message, wParam, lParam);
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) CancelPress();
            return 0;
        case WM_TIMER:
            if (wParam == kLeaveTimer && pressed_ < 0) {
                POINT screen, p;
                GetCursorPos(&screen);
                p = screen;
                ScreenToClient(hwnd, &p);
                const int i = WindowFromPoint(screen) == hwnd ? ButtonAt(p) : -1;
                if (i != hot_) SetHot(i >= 0 && (buttons_[i].state & TBSTATE_ENABLED) ? i : -1, HICF_MOUSE);
            }
            return 0;
        case WM_NOTIFY: {
            // The tooltip's questions go on to the notify window: it knows the commands' texts.
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && header->hwndFrom == tooltip_ && notify_ && IsWindow(notify_))
                return SendMessageA(notify_, WM_NOTIFY, wParam, lParam);
            return 0;
        }
        case WM_SIZE:
        case WM_STYLECHANGED:
            Layout();
            InvalidateRect(hwnd, nullptr, TRUE);
            return DefWindowProcA(hwnd, message, wParam, lParam);
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SYSCOLORCHANGE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND:
            return EraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_PAINT:
            Paint();
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kLeaveTimer);
            CancelPress();
            if (ownTooltip_ && IsWindow(ownTooltip_)) DestroyWindow(ownTooltip_);
            ownTooltip_ = tooltip_ = nullptr;
            return 0;
        default:
            return ControlInstance<Toolbar>::Default(TOOLBARCLASSNAMEA, hwnd, message, wParam, lParam);
    }
}
