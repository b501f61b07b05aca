#include "platform/controls/Edit.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <new>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/PrivateMessageTrace.h"
#include "platform/controls/WindowStateMap.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/Clipboard.h"
#include "platform/window/MessageBeep.h"
#include "platform/window/ScrollBars.h"
#include "platform/window/Windows.h"

namespace {

WindowStateMap<Edit>& States() {
    static Immortal<WindowStateMap<Edit>> states;
    return *states;
}

constexpr std::uintptr_t kBlinkTimer = 1, kDragTimer = 2;
constexpr UINT kBlinkMilliseconds = 530, kDragMilliseconds = 50;
constexpr int kWheelLines = 3;

bool Down(int vk) { return GetKeyState(vk) < 0; }

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

void Edit::Register() { ControlSupport::Register(kClassName, Proc, IDC_IBEAM); }

Edit::Edit(HWND hwnd, bool multiline) : hwnd_(hwnd), text_(multiline), view_(text_) {}

LRESULT CALLBACK Edit::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        try {
            const auto self = std::make_shared<Edit>(hwnd, cs && (cs->style & ES_MULTILINE));
            States().Attach(hwnd, self);
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) self->text_.Assign(cs->lpszName);
            self->OnSize();
        } catch (const std::bad_alloc&) {
            States().Detach(hwnd);
            return -1;
        }
        return 0;
    }
    // Held for the whole handler: a parent may destroy the control from a notification.
    const std::shared_ptr<Edit> self = States().Find(hwnd);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        self->EndDrag(true);
        KillTimer(hwnd, kBlinkTimer);
        States().Detach(hwnd);
        return 0;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        // A copy or an insertion did not fit in memory; the text is as it was.
        if (States().Find(hwnd) == self) self->Notify(EN_ERRSPACE);
        return 0;
    }
}

LRESULT Edit::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            return OnSetText(reinterpret_cast<const char*>(lParam));
        case WM_GETTEXT:
            return OnGetText(wParam, reinterpret_cast<char*>(lParam));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(text_.Size());
        case WM_SETFONT:
            OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(view_.Font());
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers it all, in the colours the parent gives
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_SIZE:
            OnSize();
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
            return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
        case WM_KEYDOWN:
            if (OnKeyDown(static_cast<int>(wParam))) return 0;
            break;
        case WM_CHAR:
            OnChar(static_cast<unsigned char>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(PointOf(lParam), wParam);
            return 0;
        case WM_LBUTTONDBLCLK: {
            const std::size_t at = view_.PositionAt(PointOf(lParam));
            anchor_ = text_.WordStart(at);
            MoveCaret(text_.WordEnd(at), true);
            return 0;
        }
        case WM_MOUSEMOVE:
            OnMouseMove(PointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            EndDrag(true);
            return 0;
        case WM_CAPTURECHANGED:
            EndDrag(false);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
            OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            if (!text_.Multiline()) break;
            OnWheel(static_cast<short>(HIWORD(wParam)));
            return 0;
        case WM_COPY:
            Copy();
            return 0;
        case WM_CUT:
            Cut();
            return 0;
        case WM_PASTE:
            Paste();
            return 0;
        case WM_CLEAR:
            if (!ReadOnly()) ReplaceSelection({});
            return 0;
        case EM_GETSEL: {
            const std::size_t from = SelectionStart(), to = SelectionEnd();
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(from);
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(to);
            return from > 0xFFFF || to > 0xFFFF ? -1 : MAKELPARAM(from, to);
        }
        case EM_SETSEL:
            return OnSetSel(static_cast<LPARAM>(wParam), lParam);
        case EM_REPLACESEL:
            ReplaceSelection(lParam ? reinterpret_cast<const char*>(lParam) : "");
            return 0;
        case EM_GETRECT:
            if (lParam) *reinterpret_cast<RECT*>(lParam) = view_.FormatRect();
            return 0;
        case EM_SCROLL:
            return OnScrollRequest(static_cast<int>(wParam));
        case EM_LINESCROLL:
            if (!text_.Multiline()) return FALSE;
            ScrollBy(static_cast<int>(lParam), static_cast<int>(wParam) * view_.AverageCharWidth());
            return TRUE;
        case EM_SCROLLCARET:
            if (view_.ScrollToShow(caret_)) Changed();
            return TRUE;
        case EM_GETMODIFY:
            return modified_;
        case EM_SETMODIFY:
            modified_ = wParam != 0;
            return 0;
        case EM_GETLINECOUNT:
            return static_cast<LRESULT>(text_.Lines());
        case EM_LINEINDEX: {
            const auto line = static_cast<LPARAM>(wParam) < 0 ? text_.LineOf(caret_) : static_cast<std::size_t>(wParam);
            return line < text_.Lines() ? static_cast<LRESULT>(text_.LineStart(line)) : -1;
        }
        case EM_LINELENGTH:
            return OnLineLength(static_cast<LPARAM>(wParam));
        case EM_LINEFROMCHAR: {
            const auto pos = static_cast<LPARAM>(wParam) < 0 ? SelectionStart() : static_cast<std::size_t>(wParam);
            return static_cast<LRESULT>(text_.LineOf(std::min(pos, text_.Size())));
        }
        case EM_GETLINE:
            return OnGetLine(wParam, reinterpret_cast<char*>(lParam));
        case EM_LIMITTEXT:
            limit_ = wParam == 0 || wParam > kMostLimit ? kMostLimit : wParam;
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(limit_);
        case EM_SETREADONLY: {
            const DWORD style = Style();
            SetWindowLongPtrA(hwnd_, GWL_STYLE, wParam ? style | ES_READONLY : style & ~ES_READONLY);
            InvalidateRect(hwnd_, nullptr, FALSE);
            return TRUE;
        }
        case EM_GETFIRSTVISIBLELINE:
            if (text_.Multiline()) return static_cast<LRESULT>(view_.TopLine());
            return static_cast<LRESULT>(view_.PositionInLine(0, view_.XOffset()));
        case EM_POSFROMCHAR: {
            if (wParam > text_.Size()) return -1;
            const POINT p = view_.PointOf(text_.Snap(wParam));
            return MAKELPARAM(p.x, p.y);
        }
        case EM_CHARFROMPOS:
            return OnCharFromPos(PointOf(lParam));
        case EM_CANUNDO:
        case EM_UNDO:
        case WM_UNDO:
        case EM_EMPTYUNDOBUFFER:
            return FALSE;
        default:
            if (message >= EM_GETSEL && message <= EM_CHARFROMPOS + 0x10)
                PrivateMessageTrace::Unknown(kClassName, hwnd_, message, wParam, lParam);
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

DWORD Edit::Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }

bool Edit::ReadOnly() const { return Style() & ES_READONLY; }

bool Edit::Notify(WORD code) {
    const HWND hwnd = hwnd_;  // `this` may be gone when the parent is done
    const HWND parent = GetParent(hwnd);
    if (!parent || !(Style() & WS_CHILD)) return true;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
    return States().Find(hwnd) != nullptr;
}

BOOL Edit::OnSetText(const char* text) {
    try {
        text_.Assign(text ? text : "");
    } catch (const std::bad_alloc&) {
        Notify(EN_ERRSPACE);
        return FALSE;
    }
    anchor_ = caret_ = 0;
    goalX_ = -1;
    modified_ = false;
    view_.TextChanged();
    view_.ScrollTo(0, 0);
    Changed();
    // A multi-line edit does not report text set by its owner.
    if (!text_.Multiline() && Notify(EN_UPDATE)) Notify(EN_CHANGE);
    return TRUE;
}

LRESULT Edit::OnGetText(std::size_t size, char* out) const {
    if (!out || size == 0) return 0;
    const std::size_t n = std::min(size - 1, text_.Size());
    std::memcpy(out, text_.Text().data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

void Edit::OnSize() {
    RECT client;
    GetClientRect(hwnd_, &client);
    view_.SetClient(client);
    Changed();
}

void Edit::OnSetFont(HFONT font, bool redraw) {
    view_.SetFont(font);
    UpdateScrollBars();
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Edit::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    const DWORD style = Style();
    const bool disabled = style & WS_DISABLED;
    // A read-only or disabled edit asks for the colours of static text.
    const UINT ask = (style & ES_READONLY) || disabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    SetBkMode(hdc, OPAQUE);
    SelectObject(hdc, view_.Font() ? view_.Font() : GetStockObject(SYSTEM_FONT));
    const HBRUSH brush = ControlSupport::AskColors(hwnd_, hdc, ask, COLOR_WINDOWTEXT, COLOR_WINDOW);
    if (disabled) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    FillRect(hdc, &ps.rcPaint, brush);
    const bool selection = focused_ || (style & ES_NOHIDESEL);
    view_.Paint(hdc, ps.rcPaint, SelectionStart(), SelectionEnd(), selection,
                focused_ && caretOn_ ? caret_ : EditView::kNoCaret);
    EndPaint(hwnd_, &ps);
}

void Edit::OnFocus(bool gained) {
    focused_ = gained;
    if (gained) {
        RestartBlink();
    } else {
        KillTimer(hwnd_, kBlinkTimer);
        caretOn_ = false;
        EndDrag(true);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    Notify(gained ? EN_SETFOCUS : EN_KILLFOCUS);
}

LRESULT Edit::OnGetDlgCode(const MSG* msg) const {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (!text_.Multiline()) return code;
    code |= DLGC_WANTALLKEYS;
    // In a dialog, Escape, Tab and (without ES_WANTRETURN) Enter go to the dialog.
    if (msg && msg->message == WM_KEYDOWN) {
        const auto vk = static_cast<int>(msg->wParam);
        if (vk == VK_ESCAPE || (vk == VK_TAB && !Down(VK_CONTROL)) ||
            (vk == VK_RETURN && !(Style() & ES_WANTRETURN)))
            code &= ~DLGC_WANTALLKEYS;
    }
    return code;
}

bool Edit::OnKeyDown(int vk) {
    const bool shift = Down(VK_SHIFT), control = Down(VK_CONTROL);
    const bool multiline = text_.Multiline();
    const std::size_t line = text_.LineOf(caret_);
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT: {
            const bool left = vk == VK_LEFT;
            if (!shift && anchor_ != caret_ && !control) {
                // The first press ends a selection on its side.
                MoveCaret(left ? SelectionStart() : SelectionEnd(), false);
            } else if (left) {
                MoveCaret(control ? text_.PreviousWord(caret_) : text_.Previous(caret_), shift);
            } else {
                MoveCaret(control ? text_.NextWord(caret_) : text_.Next(caret_), shift);
            }
            return true;
        }
        case VK_UP:
        case VK_DOWN:
            if (!multiline) return OnKeyDown(vk == VK_UP ? VK_LEFT : VK_RIGHT);
            MoveLines(vk == VK_UP ? -1 : 1, shift);
            return true;
        case VK_PRIOR:
        case VK_NEXT: {
            if (!multiline) return true;
            const auto page = static_cast<long long>(view_.VisibleLines());
            const long long lines = vk == VK_PRIOR ? -page : page;
            ScrollBy(lines, 0);
            MoveLines(lines, shift);
            return true;
        }
        case VK_HOME:
            MoveCaret(control || !multiline ? 0 : text_.LineStart(line), shift);
            return true;
        case VK_END:
            MoveCaret(control || !multiline ? text_.Size() : text_.LineEnd(line), shift);
            return true;
        case VK_DELETE:
            if (shift)
                Cut();
            else
                Delete(true);
            return true;
        case VK_INSERT:
            if (control)
                Copy();
            else if (shift)
                Paste();
            return true;
        default:
            return false;
    }
}

void Edit::OnChar(unsigned char c) {
    switch (c) {
        case 1:  // Control+A
            anchor_ = 0;
            MoveCaret(text_.Size(), true);
            return;
        case 3:  // Control+C
            Copy();
            return;
        case 0x16:  // Control+V
            Paste();
            return;
        case 0x18:  // Control+X
            Cut();
            return;
        case 8:
            Delete(false);
            return;
        case '\r':
        case '\n':
            if (text_.Multiline()) Insert("\r\n");
            return;
        case '\t':
            if (text_.Multiline()) Insert("\t");
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F) return;
    const DWORD style = Style();
    if ((style & ES_NUMBER) && !std::isdigit(c)) {
        MessageBeep(0);
        return;
    }
    if (style & ES_UPPERCASE) c = static_cast<unsigned char>(std::toupper(c));
    if (style & ES_LOWERCASE) c = static_cast<unsigned char>(std::tolower(c));
    const char typed = static_cast<char>(c);
    Insert(std::string_view(&typed, 1));
}

void Edit::Insert(std::string_view typed) {
    // A read-only edit refuses the user's changes with the warning sound, as the platform's does.
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(typed);
}

void Edit::ReplaceSelection(std::string_view with) {
    const std::size_t from = SelectionStart(), to = SelectionEnd();
    const std::size_t kept = text_.Size() - (to - from);
    std::size_t n = with.size();
    // The limit holds what is typed and replaced, not what the owner sets with WM_SETTEXT.
    n = EditText::Fit(with, kept >= limit_ ? 0 : limit_ - kept);
    const bool truncated = n < with.size();
    if (truncated) MessageBeep(0);
    if (from == to && n == 0) {
        if (truncated) Notify(EN_MAXTEXT);
        return;
    }
    text_.Replace(from, to, with.substr(0, n));
    anchor_ = caret_ = from + n;
    goalX_ = -1;
    modified_ = true;
    view_.TextChanged();
    view_.ScrollToShow(caret_);
    RestartBlink();
    Changed();
    if (truncated && !Notify(EN_MAXTEXT)) return;
    if (Notify(EN_UPDATE)) Notify(EN_CHANGE);
}

void Edit::Delete(bool forward) {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    if (anchor_ == caret_) {
        if (forward)
            caret_ = text_.Next(caret_);
        else
            anchor_ = text_.Previous(anchor_);
        if (anchor_ == caret_) return;
    }
    ReplaceSelection({});
}

void Edit::Copy() {
    if (anchor_ == caret_) return;
    Clipboard::SetText(text_.Text().substr(SelectionStart(), SelectionEnd() - SelectionStart()));
}

void Edit::Cut() {
    if (anchor_ == caret_) return;
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    Copy();
    ReplaceSelection({});
}

void Edit::Paste() {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    const std::optional<std::string> pasted = Clipboard::Text();
    if (!pasted) return;
    std::string_view with = *pasted;
    // A single line takes the first line of what is pasted.
    if (!text_.Multiline()) with = with.substr(0, with.find_first_of("\r\n"));
    ReplaceSelection(with);
}

void Edit::MoveCaret(std::size_t pos, bool extend, bool keepGoal) {
    caret_ = text_.Snap(pos);
    if (!extend) anchor_ = caret_;
    if (!keepGoal) goalX_ = -1;
    view_.ScrollToShow(caret_);
    RestartBlink();
    Changed();
}

void Edit::MoveLines(long long lines, bool extend) {
    if (goalX_ < 0) goalX_ = view_.XOf(caret_);
    const auto last = static_cast<long long>(text_.Lines()) - 1;
    const long long line = std::clamp(static_cast<long long>(text_.LineOf(caret_)) + lines, 0LL, last);
    MoveCaret(view_.PositionInLine(static_cast<std::size_t>(line), goalX_), extend, true);
}

void Edit::ScrollBy(long long lines, int dx) {
    const long long top = std::max(0LL, static_cast<long long>(view_.TopLine()) + lines);
    if (view_.ScrollTo(static_cast<std::size_t>(top), view_.XOffset() + dx)) Changed();
}

void Edit::OnButtonDown(POINT p, WPARAM keys) {
    const HWND hwnd = hwnd_;
    if (GetFocus() != hwnd) {
        SetFocus(hwnd);
        if (States().Find(hwnd).get() != this) return;
    }
    MoveCaret(view_.PositionAt(p), keys & MK_SHIFT);
    dragging_ = true;
    dragPoint_ = p;
    SetCapture(hwnd_);
}

void Edit::OnMouseMove(POINT p) {
    if (!dragging_) return;
    dragPoint_ = p;
    MoveCaret(view_.PositionAt(p), true);
    // Held outside the text, the selection goes on scrolling.
    RECT client;
    GetClientRect(hwnd_, &client);
    if (PtInRect(&client, p))
        KillTimer(hwnd_, kDragTimer);
    else
        SetTimer(hwnd_, kDragTimer, kDragMilliseconds, nullptr);
}

void Edit::EndDrag(bool release) {
    if (!dragging_) return;
    dragging_ = false;
    KillTimer(hwnd_, kDragTimer);
    if (release && GetCapture() == hwnd_) ReleaseCapture();
}

void Edit::OnTimer(std::uintptr_t id) {
    if (id == kBlinkTimer) {
        caretOn_ = !caretOn_;
        const RECT r = CaretRect();
        InvalidateRect(hwnd_, &r, FALSE);
    } else if (id == kDragTimer && dragging_) {
        MoveCaret(view_.PositionAt(dragPoint_), true);
    }
}

void Edit::OnScroll(int bar, int request) {
    const bool vertical = bar == SB_VERT;
    if (request == SB_ENDSCROLL || !Notify(vertical ? EN_VSCROLL : EN_HSCROLL)) return;
    if (request == SB_THUMBTRACK || request == SB_THUMBPOSITION) {
        // The 32-bit position: the message carries 16 bits only.
        SCROLLINFO info{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd_, bar, &info);
        const int at = std::max(0, info.nTrackPos);
        if (vertical ? view_.ScrollTo(static_cast<std::size_t>(at), view_.XOffset()) : view_.ScrollTo(view_.TopLine(), at))
            Changed();
        return;
    }
    if (vertical) {
        OnScrollRequest(request);
        return;
    }
    const int width = static_cast<int>(view_.FormatRect().right - view_.FormatRect().left);
    switch (request) {
        case SB_LINELEFT:
        case SB_LINERIGHT:
            ScrollBy(0, request == SB_LINELEFT ? -view_.AverageCharWidth() : view_.AverageCharWidth());
            break;
        case SB_PAGELEFT:
        case SB_PAGERIGHT:
            ScrollBy(0, request == SB_PAGELEFT ? -width : width);
            break;
        case SB_LEFT:
            ScrollBy(0, -view_.XOffset());
            break;
        case SB_RIGHT:
            ScrollBy(0, 1 << 30);
            break;
        default:
            break;
    }
}

LRESULT Edit::OnScrollRequest(int request) {
    if (!text_.Multiline()) return FALSE;
    const auto page = static_cast<long long>(view_.VisibleLines());
    long long lines;
    switch (request) {
        case SB_LINEUP:
            lines = -1;
            break;
        case SB_LINEDOWN:
            lines = 1;
            break;
        case SB_PAGEUP:
            lines = -page;
            break;
        case SB_PAGEDOWN:
            lines = page;
            break;
        case SB_TOP:
            lines = -static_cast<long long>(view_.TopLine());
            break;
        case SB_BOTTOM:
            lines = static_cast<long long>(text_.Lines());
            break;
        default:
            return FALSE;
    }
    const std::size_t before = view_.TopLine();
    ScrollBy(lines, 0);
    const long long moved = static_cast<long long>(view_.TopLine()) - static_cast<long long>(before);
    return MAKELPARAM(static_cast<int>(moved), TRUE);
}

void Edit::OnWheel(int delta) {
    if (!Notify(EN_VSCROLL)) return;
    // A notch (WHEEL_DELTA) is three lines; finer wheels add up.
    constexpr int kPerLine = WHEEL_DELTA / kWheelLines;
    wheel_ += delta;
    const int lines = wheel_ / kPerLine;
    wheel_ -= lines * kPerLine;
    ScrollBy(-lines, 0);
}

LRESULT Edit::OnSetSel(LPARAM start, LPARAM end) {
    const auto size = static_cast<long long>(text_.Size());
    if (static_cast<int>(start) == -1) {
        anchor_ = caret_;
    } else {
        const long long from = std::clamp<long long>(static_cast<int>(start), 0, size);
        const long long to = static_cast<int>(end) < 0 ? size : std::min<long long>(static_cast<int>(end), size);
        anchor_ = text_.Snap(static_cast<std::size_t>(from));
        caret_ = text_.Snap(static_cast<std::size_t>(to));
    }
    goalX_ = -1;
    // A single line shows its caret; a multi-line edit waits for EM_SCROLLCARET.
    if (!text_.Multiline()) view_.ScrollToShow(caret_);
    RestartBlink();
    Changed();
    return TRUE;
}

LRESULT Edit::OnGetLine(std::size_t line, char* buffer) const {
    if (!buffer) return 0;
    WORD room;
    std::memcpy(&room, buffer, sizeof room);
    if (!text_.Multiline()) line = 0;
    if (line >= text_.Lines()) return 0;
    const std::string_view text = text_.Line(line);
    const std::size_t n = std::min<std::size_t>(room, text.size());
    std::memcpy(buffer, text.data(), n);  // no NUL, as the platform does
    return static_cast<LRESULT>(n);
}

LRESULT Edit::OnLineLength(LPARAM pos) const {
    if (pos < 0) {
        // The characters not selected on the lines the selection touches.
        const std::size_t from = SelectionStart(), to = SelectionEnd();
        const std::size_t first = text_.LineOf(from), last = text_.LineOf(to);
        return static_cast<LRESULT>((from - text_.LineStart(first)) + (text_.LineEnd(last) - to));
    }
    const std::size_t line = text_.LineOf(std::min(static_cast<std::size_t>(pos), text_.Size()));
    return static_cast<LRESULT>(text_.LineEnd(line) - text_.LineStart(line));
}

LRESULT Edit::OnCharFromPos(POINT p) {
    const std::size_t pos = view_.PositionAt(p);
    return MAKELPARAM(static_cast<int>(pos & 0xFFFF), static_cast<int>(text_.LineOf(pos) & 0xFFFF));
}

void Edit::RestartBlink() {
    if (!focused_) return;
    caretOn_ = true;
    SetTimer(hwnd_, kBlinkTimer, kBlinkMilliseconds, nullptr);
}

RECT Edit::CaretRect() {
    const POINT at = view_.PointOf(caret_);
    return RECT{at.x, at.y, at.x + 1, at.y + view_.LineHeight()};
}

void Edit::Changed() {
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateScrollBars();
}

void Edit::UpdateScrollBars() {
    const DWORD style = Style();
    const auto same = [](const SCROLLINFO& a, const SCROLLINFO& b) {
        return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
    };
    if (style & WS_VSCROLL) {
        const SCROLLINFO v = view_.Vertical();
        if (!same(v, shownV_)) SetScrollInfo(hwnd_, SB_VERT, &v, TRUE);
        shownV_ = v;
    }
    if (style & WS_HSCROLL) {
        const SCROLLINFO h = view_.Horizontal();
        if (!same(h, shownH_)) SetScrollInfo(hwnd_, SB_HORZ, &h, TRUE);
        shownH_ = h;
    }
}
