#include "platform/controls/Tooltip.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/ControlInstance.h"
#include "platform/controls/TooltipSubclass.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"

namespace {

constexpr UINT_PTR kShowTimer = 1;   // the initial or reshow delay
constexpr UINT_PTR kPopTimer = 2;    // the autopop delay
constexpr UINT_PTR kTrackTimer = 3;  // is the pointer still over the tool?
constexpr UINT kTrackInterval = 100;
constexpr int kPadX = 3, kPadY = 2;  // between the border and the text
constexpr int kBelowPointer = 21;    // the tip's top, below the pointer's hot spot

bool IsMouseMessage(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL;
}

// Copies at most `size` - 1 bytes and a NUL.
void CopyBounded(char* to, std::size_t size, const std::string& text) {
    if (!to || size == 0) return;
    const std::size_t n = std::min(size - 1, text.size());
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}

bool Readable(const TOOLINFOA* ti) { return ti && ti->cbSize >= TTTOOLINFOA_V1_SIZE; }

}  // namespace

void Tooltip::Register() { ControlInstance<Tooltip>::Register(TOOLTIPS_CLASSA, CS_SAVEBITS); }

std::unique_ptr<Tooltip> Tooltip::Make(HWND hwnd, const CREATESTRUCTA&) {
    auto tip = std::make_unique<Tooltip>(hwnd);
    tip->backColor_ = GetSysColor(COLOR_INFOBK);
    tip->textColor_ = GetSysColor(COLOR_INFOTEXT);
    tip->SetDelay(TTDT_AUTOMATIC, -1);
    // Whatever it was created as, a tip is a bordered popup that never takes the activation.
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    SetWindowLongPtrA(hwnd, GWL_STYLE, (style & ~(WS_CHILD | WS_VISIBLE | WS_CAPTION)) | WS_POPUP | WS_BORDER);
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    return tip;
}

Tooltip::Tool* Tooltip::Find(const Key& key) {
    auto it =
        std::find_if(tools_.begin(), tools_.end(), [&](const Tool& t) { return t.hwnd == key.hwnd && t.id == key.id; });
    return it == tools_.end() ? nullptr : &*it;
}

void Tooltip::ReadText(Tool& tool, const TOOLINFOA& ti) {
    tool.hinst = ti.hinst;
    tool.callback = ti.lpszText == LPSTR_TEXTCALLBACKA;
    // A string resource id has no string table to come from at this layer: it shows nothing.
    tool.text = !tool.callback && ti.lpszText && !IS_INTRESOURCE(ti.lpszText) ? ti.lpszText : "";
}

void Tooltip::WriteInfo(const Tool& tool, TOOLINFOA& ti, std::size_t textSize) const {
    ti.uFlags = tool.flags;
    ti.hwnd = tool.hwnd;
    ti.uId = tool.id;
    ti.rect = tool.rect;
    ti.hinst = tool.hinst;
    if (tool.callback)
        ti.lpszText = LPSTR_TEXTCALLBACKA;
    else
        CopyBounded(ti.lpszText, textSize, tool.text);
    if (ti.cbSize >= TTTOOLINFOA_V2_SIZE) ti.lParam = tool.lParam;
}

BOOL Tooltip::AddTool(const TOOLINFOA* ti) {
    if (!Readable(ti)) return FALSE;
    Tool tool;
    tool.flags = ti->uFlags;
    tool.hwnd = ti->hwnd;
    tool.id = ti->uId;
    tool.rect = ti->rect;
    tool.lParam = ti->cbSize >= TTTOOLINFOA_V2_SIZE ? ti->lParam : 0;
    ReadText(tool, *ti);
    if (tool.flags & TTF_SUBCLASS) TooltipSubclass::Watch(tool.Window(), hwnd_);
    tools_.push_back(std::move(tool));
    return TRUE;
}

BOOL Tooltip::DeleteTool(const TOOLINFOA* ti) {
    if (!Readable(ti)) return FALSE;
    const Key key = KeyOf(*ti);
    Tool* tool = Find(key);
    if (!tool) return FALSE;
    if (phase_ != Phase::Idle && current_ == key) Hide();
    const bool subclassed = tool->flags & TTF_SUBCLASS;
    const HWND window = tool->Window();
    tools_.erase(tools_.begin() + (tool - tools_.data()));
    const bool stillWatched = std::any_of(
        tools_.begin(), tools_.end(), [&](const Tool& t) { return (t.flags & TTF_SUBCLASS) && t.Window() == window; });
    if (subclassed && !stillWatched) TooltipSubclass::Unwatch(window, hwnd_);
    return TRUE;
}

const Tooltip::Tool* Tooltip::ToolOf(HWND hwnd, POINT p) const {
    if (!hwnd) return nullptr;
    const Tool* whole = nullptr;
    for (const Tool& tool : tools_) {
        if (hwnd != tool.Window()) continue;
        if (tool.flags & TTF_IDISHWND) {
            RECT client;
            GetClientRect(hwnd, &client);
            if (!whole && PtInRect(&client, p)) whole = &tool;
        } else if (PtInRect(&tool.rect, p)) {
            return &tool;  // a rectangle is more precise than its window
        }
    }
    return whole;
}

const Tooltip::Tool* Tooltip::ToolAt(POINT screen) const {
    const HWND under = WindowFromPoint(screen);
    POINT p = screen;
    if (under) ScreenToClient(under, &p);
    return ToolOf(under, p);
}

void Tooltip::Relay(const MSG* msg) {
    if (!msg || !IsMouseMessage(msg->message) || !IsWindow(msg->hwnd)) return;
    if (msg->message != WM_MOUSEMOVE) {
        // A click ends the tip; the tool stays quiet until the pointer leaves it.
        if (phase_ != Phase::Idle)
            Quiet();
        else
            Hide();
        return;
    }
    POINT p{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
    ClientToScreen(msg->hwnd, &p);
    PointerAt(ToolAt(p));
}

void Tooltip::PointerAt(const Tool* tool) {
    const Key key = tool ? Key{tool->hwnd, tool->id} : Key{};
    if (quietSet_ && (!tool || !(key == quiet_))) quietSet_ = false;
    const bool allowed = active_ && tool && !quietSet_ &&
                         ((GetWindowLongPtrA(hwnd_, GWL_STYLE) & TTS_ALWAYSTIP) ||
                          GetActiveWindow() == GetAncestor(tool->Window(), GA_ROOT));
    if (!allowed) {
        Hide();
        // A quiet tool speaks again once the pointer has left it, relayed or not.
        if (quietSet_) SetTimer(hwnd_, kTrackTimer, kTrackInterval, nullptr);
        return;
    }
    if (phase_ != Phase::Idle && key == current_) return;  // still waiting for or showing this one
    const bool switching = Shown();
    if (switching) Hide();
    current_ = key;
    phase_ = Phase::Waiting;
    SetTimer(hwnd_, kShowTimer, static_cast<UINT>(switching ? reshowDelay_ : initialDelay_), nullptr);
    SetTimer(hwnd_, kTrackTimer, kTrackInterval, nullptr);
}

std::string Tooltip::TextOf(Tool& tool) {
    if (!tool.callback) return tool.text;
    NMTTDISPINFOA info{};
    info.hdr = NMHDR{hwnd_, tool.id, TTN_GETDISPINFOA};
    info.lpszText = info.szText;
    info.uFlags = tool.flags;
    info.lParam = tool.lParam;
    const Key key{tool.hwnd, tool.id};
    SendMessageA(tool.hwnd, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&info));
    info.szText[sizeof info.szText - 1] = '\0';  // what another window wrote is not trusted to end
    std::string text;
    if (info.lpszText == info.szText || !info.lpszText)
        text = info.lpszText ? info.szText : "";
    else if (info.lpszText != LPSTR_TEXTCALLBACKA && !IS_INTRESOURCE(info.lpszText))
        text = info.lpszText;
    // The answer may have removed the tool; look it up again before keeping the text.
    if (info.uFlags & TTF_DI_SETITEM)
        if (Tool* still = Find(key)) {
            still->text = text;
            still->callback = false;
        }
    return text;
}

void Tooltip::Place(const Tool& tool) {
    const HDC hdc = GetDC(hwnd_);
    const HGDIOBJ oldFont = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    RECT text{0, 0, maxWidth_ > 0 ? maxWidth_ : 0, 0};
    const UINT format = DT_CALCRECT | DT_EXPANDTABS | (maxWidth_ > 0 ? DT_WORDBREAK : DT_SINGLELINE) |
                        ((GetWindowLongPtrA(hwnd_, GWL_STYLE) & TTS_NOPREFIX) ? DT_NOPREFIX : 0);
    DrawTextA(hdc, shownText_.c_str(), -1, &text, format);
    SelectObject(hdc, oldFont);
    ReleaseDC(hwnd_, hdc);

    // The tip always has its one-pixel border (made so in WM_CREATE).
    const int frameX = 2 * GetSystemMetrics(SM_CXBORDER), frameY = 2 * GetSystemMetrics(SM_CYBORDER);
    const int width = Width(text) + 2 * kPadX + margin_.left + margin_.right + frameX;
    const int height = Height(text) + 2 * kPadY + margin_.top + margin_.bottom + frameY;

    POINT at;
    GetCursorPos(&at);
    at.y += kBelowPointer;
    if (tool.flags & TTF_CENTERTIP) {
        RECT area = tool.rect;
        if (tool.flags & TTF_IDISHWND) GetClientRect(tool.Window(), &area);
        MapWindowPoints(tool.Window(), nullptr, reinterpret_cast<POINT*>(&area), 2);
        at = POINT{(area.left + area.right - width) / 2, area.bottom + 2};
    }
    // Kept on the screen: above the pointer when there is no room below.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (at.y + height > screenHeight) at.y = std::max(0, static_cast<int>(at.y) - kBelowPointer - height - 2);
    at.x = std::clamp<LONG>(at.x, 0, std::max(0, screenWidth - width));
    SetWindowPos(hwnd_, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE);
}

void Tooltip::Show() {
    KillTimer(hwnd_, kShowTimer);
    Tool* tool = Find(current_);
    if (!tool) {
        phase_ = Phase::Idle;
        return;
    }
    shownText_ = TextOf(*tool);
    tool = Find(current_);
    if (!tool || shownText_.empty()) {
        Quiet();  // nothing to say, and not asked again while the pointer stays
        return;
    }
    const Tool shown = *tool;  // the notification below may change the tools
    NMHDR note{hwnd_, shown.id, TTN_SHOW};
    if (!SendMessageA(shown.hwnd, WM_NOTIFY, shown.id, reinterpret_cast<LPARAM>(&note))) Place(shown);
    phase_ = Phase::Shown;
    InvalidateRect(hwnd_, nullptr, TRUE);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    SetTimer(hwnd_, kPopTimer, static_cast<UINT>(autopopDelay_), nullptr);
}

void Tooltip::Hide() {
    KillTimer(hwnd_, kShowTimer);
    KillTimer(hwnd_, kPopTimer);
    KillTimer(hwnd_, kTrackTimer);
    const bool wasShown = Shown();
    const Key was = current_;
    phase_ = Phase::Idle;
    current_ = Key{};
    if (!wasShown) return;
    ShowWindow(hwnd_, SW_HIDE);
    NMHDR note{hwnd_, was.id, TTN_POP};
    if (IsWindow(was.hwnd)) SendMessageA(was.hwnd, WM_NOTIFY, was.id, reinterpret_cast<LPARAM>(&note));
}

void Tooltip::Quiet() {
    quiet_ = current_;
    quietSet_ = true;
    Hide();
    SetTimer(hwnd_, kTrackTimer, kTrackInterval, nullptr);
}

void Tooltip::SetDelay(WPARAM which, int milliseconds) {
    const int base = milliseconds < 0 ? static_cast<int>(GetDoubleClickTime()) : milliseconds;
    switch (which) {
        case TTDT_AUTOMATIC:
            initialDelay_ = base;
            autopopDelay_ = base * 10;
            reshowDelay_ = base / 5;
            break;
        case TTDT_INITIAL:
            initialDelay_ = base;
            break;
        case TTDT_AUTOPOP:
            autopopDelay_ = milliseconds < 0 ? base * 10 : base;
            break;
        case TTDT_RESHOW:
            reshowDelay_ = milliseconds < 0 ? base / 5 : base;
            break;
        default:
            break;
    }
}

void Tooltip::Paint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    RECT r;
    GetClientRect(hwnd_, &r);
    const HBRUSH back = CreateSolidBrush(backColor_);
    FillRect(hdc, &r, back);
    DeleteObject(back);
    r.left += kPadX + margin_.left;
    r.top += kPadY + margin_.top;
    r.right -= kPadX + margin_.right;
    r.bottom -= kPadY + margin_.bottom;
    const HGDIOBJ oldFont = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, textColor_);
    const UINT format = DT_EXPANDTABS | (maxWidth_ > 0 ? DT_WORDBREAK : DT_SINGLELINE) |
                        ((GetWindowLongPtrA(hwnd_, GWL_STYLE) & TTS_NOPREFIX) ? DT_NOPREFIX : 0);
    DrawTextA(hdc, shownText_.c_str(), -1, &r, format);
    SelectObject(hdc, oldFont);
    EndPaint(hwnd_, &ps);
}

LRESULT Tooltip::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* ti = reinterpret_cast<TOOLINFOA*>(lParam);
    switch (message) {
        case TTM_ACTIVATE:
            active_ = wParam != 0;
            if (!active_) Hide();
            return 0;
        case TTM_SETDELAYTIME:
            SetDelay(wParam, static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))));
            return 0;
        case TTM_GETDELAYTIME:
            return wParam == TTDT_INITIAL ? initialDelay_ : wParam == TTDT_RESHOW ? reshowDelay_ : autopopDelay_;
        case TTM_ADDTOOLA:
            return AddTool(ti);
        case TTM_DELTOOLA:
            return DeleteTool(ti);
        case TTM_NEWTOOLRECTA:
            if (Tool* tool = Readable(ti) ? Find(KeyOf(*ti)) : nullptr) tool->rect = ti->rect;
            return 0;
        case TTM_SETTOOLINFOA:
            if (Tool* tool = Readable(ti) ? Find(KeyOf(*ti)) : nullptr) {
                tool->flags = ti->uFlags;
                tool->rect = ti->rect;
                if (ti->cbSize >= TTTOOLINFOA_V2_SIZE) tool->lParam = ti->lParam;
                ReadText(*tool, *ti);
            }
            return 0;
        case TTM_UPDATETIPTEXTA:
            if (Tool* tool = Readable(ti) ? Find(KeyOf(*ti)) : nullptr) {
                ReadText(*tool, *ti);
                if (Shown() && current_ == KeyOf(*ti)) {
                    shownText_ = TextOf(*tool);
                    if (const Tool* still = Find(current_)) Place(*still);
                    InvalidateRect(hwnd, nullptr, TRUE);
                }
            }
            return 0;
        case TTM_GETTOOLINFOA:
        case TTM_GETTEXTA: {
            const Tool* tool = Readable(ti) ? Find(KeyOf(*ti)) : nullptr;
            if (!tool) return FALSE;
            const std::size_t size = message == TTM_GETTEXTA && wParam ? wParam : kShortText;
            if (message == TTM_GETTEXTA)
                CopyBounded(ti->lpszText, size, tool->text);
            else
                WriteInfo(*tool, *ti, size);
            return TRUE;
        }
        case TTM_HITTESTA: {
            auto* hit = reinterpret_cast<TTHITTESTINFOA*>(lParam);
            const Tool* tool = hit ? ToolOf(hit->hwnd, hit->pt) : nullptr;
            if (tool && hit->ti.cbSize >= TTTOOLINFOA_V1_SIZE) WriteInfo(*tool, hit->ti, kShortText);
            return tool ? TRUE : FALSE;
        }
        case TTM_GETTOOLCOUNT:
            return static_cast<LRESULT>(tools_.size());
        case TTM_ENUMTOOLSA:
            if (!Readable(ti) || wParam >= tools_.size()) return FALSE;
            WriteInfo(tools_[wParam], *ti, kShortText);
            return TRUE;
        case TTM_GETCURRENTTOOLA: {
            const Tool* tool = Shown() ? Find(current_) : nullptr;
            if (tool && Readable(ti)) WriteInfo(*tool, *ti, kShortText);
            return tool ? TRUE : FALSE;
        }
        case TTM_RELAYEVENT:
            Relay(reinterpret_cast<const MSG*>(lParam));
            return 0;
        case TTM_POP:
            Hide();
            return 0;
        case TTM_UPDATE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case TTM_SETTIPBKCOLOR:
        case TTM_SETTIPTEXTCOLOR:
            (message == TTM_SETTIPBKCOLOR ? backColor_ : textColor_) = static_cast<COLORREF>(wParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case TTM_GETTIPBKCOLOR:
            return backColor_;
        case TTM_GETTIPTEXTCOLOR:
            return textColor_;
        case TTM_SETMAXTIPWIDTH: {
            const int previous = maxWidth_;
            maxWidth_ = static_cast<int>(lParam);
            return previous;
        }
        case TTM_GETMAXTIPWIDTH:
            return maxWidth_;
        case TTM_SETMARGIN:
            if (lParam) margin_ = *reinterpret_cast<const RECT*>(lParam);
            return 0;
        case TTM_GETMARGIN:
            if (lParam) *reinterpret_cast<RECT*>(lParam) = margin_;
            return 0;
        case WM_TIMER:
            if (wParam == kShowTimer) {
                POINT p;
                GetCursorPos(&p);
                const Tool* under = ToolAt(p);
                if (under && Key{under->hwnd, under->id} == current_)
                    Show();
                else
                    PointerAt(under);
            } else if (wParam == kPopTimer) {
                Quiet();
            } else if (wParam == kTrackTimer) {
                POINT p;
                GetCursorPos(&p);
                PointerAt(ToolAt(p));
            }
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            Hide();  // the pointer reached the tip itself
            return 0;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_MOUSEACTIVATE:
            return 3;  // MA_NOACTIVATE
        case WM_PAINT:
            Paint();
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kShowTimer);
            KillTimer(hwnd, kPopTimer);
            KillTimer(hwnd, kTrackTimer);
            TooltipSubclass::UnwatchAll(hwnd);
            return 0;
        default:
            return ControlInstance<Tooltip>::Default(TOOLTIPS_CLASSA, hwnd, message, wParam, lParam);
    }
}
