#include "platform/controls/Button.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/PrivateMessageTrace.h"
#include "platform/controls/WindowStateMap.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/Windows.h"

namespace {

WindowStateMap<Button>& States() {
    static Immortal<WindowStateMap<Button>> states;
    return *states;
}

constexpr int kBoxSize = 13;    // a check box's square
constexpr int kRadioSize = 12;  // a radio button's circle
constexpr int kBoxGap = 4;      // between the box and the text
constexpr int kGroupIndent = 8;

bool IsButton(HWND hwnd) {
    char name[16];
    return GetClassNameA(hwnd, name, sizeof name) && strcasecmp(name, Button::kClassName) == 0;
}

// A circle's pixels: the outer ring shadow above and left, highlight below and right; the inner
// ring dark shadow and light; inside the window colour, and the dot when checked.
void DrawRadio(HDC hdc, int left, int top, bool checked, bool pushed) {
    const double centre = (kRadioSize - 1) / 2.0;
    for (int y = 0; y < kRadioSize; ++y) {
        for (int x = 0; x < kRadioSize; ++x) {
            const double d = std::hypot(x - centre, y - centre);
            const bool upperLeft = (x - centre) + (y - centre) < 0;
            int color;
            if (d > kRadioSize / 2.0)
                continue;
            else if (d > kRadioSize / 2.0 - 1)
                color = upperLeft ? COLOR_3DSHADOW : COLOR_3DHIGHLIGHT;
            else if (d > kRadioSize / 2.0 - 2)
                color = upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
            else if (checked && d <= 2)
                color = COLOR_WINDOWTEXT;
            else
                color = pushed ? COLOR_3DFACE : COLOR_WINDOW;
            SetPixel(hdc, left + x, top + y, GetSysColor(color));
        }
    }
}

void DrawCheckMark(HDC hdc, const RECT& box, COLORREF color) {
    LOGFONTA marlett{};
    marlett.lfHeight = -static_cast<LONG>(Width(box));
    std::strcpy(marlett.lfFaceName, "Marlett");
    HFONT font = CreateFontIndirectA(&marlett);
    HGDIOBJ old = SelectObject(hdc, font);
    const int mode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF text = SetTextColor(hdc, color);
    TextOutA(hdc, box.left, box.top, "a", 1);  // Marlett's check mark
    SetTextColor(hdc, text);
    SetBkMode(hdc, mode);
    SelectObject(hdc, old);
    DeleteObject(font);
}

}  // namespace

void Button::Register() { ControlSupport::Register(kClassName, Proc, IDC_ARROW); }

LRESULT CALLBACK Button::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        States().Attach(hwnd, std::make_shared<Button>(hwnd));
        return 0;
    }
    // Held for the whole handler: a parent may destroy the control from a notification.
    const std::shared_ptr<Button> self = States().Find(hwnd);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        if (self->tracking_ && GetCapture() == hwnd) ReleaseCapture();
        States().Detach(hwnd);
        return 0;
    }
    return self->Dispatch(message, wParam, lParam);
}

DWORD Button::Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }

DWORD Button::Kind() const { return Style() & BS_TYPEMASK; }

bool Button::Pushlike() const {
    const DWORD kind = Kind();
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || (Style() & BS_PUSHLIKE);
}

LRESULT Button::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result; ControlSupport::Captioned(hwnd_, font_, message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_STYLECHANGED:
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        case WM_GETDLGCODE: {
            const DWORD kind = Kind();
            if (kind == BS_GROUPBOX) return DLGC_STATIC;
            if (kind == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
            if (kind == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            if (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON) return DLGC_BUTTON | DLGC_RADIOBUTTON;
            return DLGC_BUTTON;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            OnFocus(message == WM_SETFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a quick second click is a click
            if (Kind() == BS_GROUPBOX) return 0;
            if (GetFocus() != hwnd_) {
                const HWND hwnd = hwnd_;
                SetFocus(hwnd);
                if (States().Find(hwnd).get() != this) return 0;
            }
            tracking_ = true;
            SetCapture(hwnd_);
            SetPushed(true);
            return 0;
        case WM_MOUSEMOVE:
            if (tracking_) {
                RECT client;
                GetClientRect(hwnd_, &client);
                SetPushed(PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
            }
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_CAPTURECHANGED:
            if (tracking_) {
                tracking_ = false;
                SetPushed(false);
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && !(lParam & (1 << 30)) && Kind() != BS_GROUPBOX) {
                spaceDown_ = true;
                SetPushed(true);
            } else if (wParam == VK_RETURN && Pushlike()) {
                Click();
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && spaceDown_) {
                spaceDown_ = false;
                const bool wasPushed = pushed_;
                SetPushed(false);
                if (wasPushed) Click();
            }
            return 0;
        case BM_GETCHECK:
            return static_cast<LRESULT>(check_);
        case BM_SETCHECK:
            SetCheck(wParam);
            return 0;
        case BM_GETSTATE:
            return static_cast<LRESULT>(check_ | (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0));
        case BM_SETSTATE:
            SetPushed(wParam != 0);
            return 0;
        case BM_SETSTYLE:
            // The button's own style bits are replaced; the window's are kept.
            SetWindowLongPtrA(hwnd_, GWL_STYLE, static_cast<std::intptr_t>((Style() & 0xFFFF0000u) | LOWORD(wParam)));
            if (LOWORD(static_cast<std::uintptr_t>(lParam))) InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        case BM_CLICK:
            if (IsWindowEnabled(hwnd_)) Click();
            return 0;
        default:
            if (message >= BM_GETCHECK && message <= BM_GETCHECK + 0x0F)
                PrivateMessageTrace::Unknown(kClassName, hwnd_, message, wParam, lParam);
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void Button::OnFocus(bool gained) {
    focused_ = gained;
    if (!gained && spaceDown_) {
        spaceDown_ = false;
        SetPushed(false);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
    if (Style() & BS_NOTIFY)
        SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), gained ? BN_SETFOCUS : BN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(hwnd_));
}

void Button::OnButtonUp(POINT p) {
    if (!tracking_) return;
    tracking_ = false;
    const bool wasPushed = pushed_;
    SetPushed(false);
    if (GetCapture() == hwnd_) ReleaseCapture();
    RECT client;
    GetClientRect(hwnd_, &client);
    if (wasPushed && PtInRect(&client, p) && States().Find(hwnd_).get() == this) Click();
}

void Button::SetPushed(bool pushed) {
    if (pushed == pushed_) return;
    pushed_ = pushed;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Button::SetCheck(WPARAM check) {
    const DWORD kind = Kind();
    if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_GROUPBOX) return;
    if (check == BST_INDETERMINATE && kind != BS_3STATE && kind != BS_AUTO3STATE) check = BST_CHECKED;
    check = std::min<WPARAM>(check, BST_INDETERMINATE);
    if (check == check_) return;
    check_ = check;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Button::Click() {
    switch (Kind()) {
        case BS_AUTOCHECKBOX:
            SetCheck(check_ == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
            break;
        case BS_AUTO3STATE:
            SetCheck((check_ + 1) % 3);
            break;
        case BS_AUTORADIOBUTTON:
            UncheckGroup();
            SetCheck(BST_CHECKED);
            break;
        default:
            break;
    }
    SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
}

void Button::UncheckGroup() {
    // The siblings in the order they were made: the window system puts each new child on top.
    std::vector<HWND> siblings;
    for (HWND h = GetWindow(GetParent(hwnd_), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) siblings.push_back(h);
    std::reverse(siblings.begin(), siblings.end());
    const auto self = std::find(siblings.begin(), siblings.end(), hwnd_);
    if (self == siblings.end()) return;
    const auto grouped = [](HWND h) { return (GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP) != 0; };
    auto first = self;
    while (first != siblings.begin() && !grouped(*first)) --first;
    auto last = self + 1;
    while (last != siblings.end() && !grouped(*last)) ++last;
    for (auto it = first; it != last; ++it) {
        if (*it == hwnd_ || !IsButton(*it)) continue;
        if ((GetWindowLongPtrA(*it, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            SendMessageA(*it, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void Button::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    const DWORD style = Style();
    const DWORD kind = style & BS_TYPEMASK;
    RECT client;
    GetClientRect(hwnd_, &client);
    // Push buttons ask with WM_CTLCOLORBTN, the others as static text does.
    const HBRUSH brush = ControlSupport::AskColors(hwnd_, hdc, Pushlike() ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC,
                                                   COLOR_BTNTEXT, COLOR_3DFACE);
    FillRect(hdc, &client, brush);
    HGDIOBJ oldFont = SelectObject(hdc, font_ ? font_ : GetStockObject(SYSTEM_FONT));
    SetBkMode(hdc, TRANSPARENT);
    if (Pushlike())
        PaintPush(hdc, client, style);
    else if (kind == BS_GROUPBOX)
        PaintGroup(hdc, client, brush);
    else
        PaintCheck(hdc, client, style, kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON);
    SelectObject(hdc, oldFont);
    EndPaint(hwnd_, &ps);
}

void Button::PaintPush(HDC hdc, const RECT& client, DWORD style) {
    RECT r = client;
    const bool pushed = pushed_ || (check_ == BST_CHECKED && (style & BS_PUSHLIKE));
    // The default button, and one being pressed, wear a black frame.
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON || pushed_) {
        FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    if (pushed) {
        FrameRect(hdc, &r, GetSysColorBrush(COLOR_3DSHADOW));
        InflateRect(&r, -1, -1);
        FillRect(hdc, &r, GetSysColorBrush(COLOR_3DFACE));
    } else {
        DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
    }
    RECT text = r;
    if (pushed) OffsetRect(&text, 1, 1);
    const std::string caption = ControlSupport::Caption(hwnd_);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (style & WS_DISABLED) {
        // Embossed: a highlight below and right of the grey text.
        RECT lit = text;
        OffsetRect(&lit, 1, 1);
        SetTextColor(hdc, GetSysColor(COLOR_3DHIGHLIGHT));
        DrawTextA(hdc, caption.c_str(), -1, &lit, format);
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    }
    DrawTextA(hdc, caption.c_str(), -1, &text, format);
    if (focused_) {
        RECT focus = client;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(hdc, &focus);
    }
}

void Button::PaintCheck(HDC hdc, const RECT& client, DWORD style, bool radio) {
    const int size = radio ? kRadioSize : kBoxSize;
    const bool leftText = style & BS_LEFTTEXT;
    const int top = static_cast<int>(client.bottom - size) / 2;
    const int left = leftText ? static_cast<int>(client.right) - size : 0;
    if (radio) {
        DrawRadio(hdc, left, top, check_ != BST_UNCHECKED, pushed_);
    } else {
        RECT box{left, top, left + size, top + size};
        DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        const bool grey = pushed_ || check_ == BST_INDETERMINATE || (style & WS_DISABLED);
        FillRect(hdc, &box, GetSysColorBrush(grey ? COLOR_3DFACE : COLOR_WINDOW));
        if (check_ != BST_UNCHECKED)
            DrawCheckMark(hdc, box, GetSysColor(check_ == BST_INDETERMINATE ? COLOR_3DSHADOW : COLOR_WINDOWTEXT));
    }
    RECT text = client;
    if (leftText)
        text.right = left - kBoxGap;
    else
        text.left = size + kBoxGap;
    if (style & WS_DISABLED) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    const std::string caption = ControlSupport::Caption(hwnd_);
    const UINT format = DT_SINGLELINE | DT_VCENTER | (leftText ? DT_RIGHT : DT_LEFT);
    DrawTextA(hdc, caption.c_str(), -1, &text, format);
    if (focused_ && !caption.empty()) {
        // Around the caption itself.
        RECT measured = text;
        DrawTextA(hdc, caption.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
        const LONG height = Height(measured), width = Width(measured);
        RECT focus{leftText ? text.right - width : text.left, (client.bottom - height) / 2, 0, 0};
        focus.right = focus.left + width;
        focus.bottom = focus.top + height;
        InflateRect(&focus, 1, 1);
        DrawFocusRect(hdc, &focus);
    }
}

void Button::PaintGroup(HDC hdc, const RECT& client, HBRUSH brush) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(hdc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
    const std::string caption = ControlSupport::Caption(hwnd_);
    if (caption.empty()) return;
    RECT text{kGroupIndent, 0, client.right - kGroupIndent, metrics.tmHeight};
    DrawTextA(hdc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT);
    // The caption breaks the frame's top line.
    RECT gap = text;
    InflateRect(&gap, 2, 0);
    FillRect(hdc, &gap, brush);
    if (Style() & WS_DISABLED) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(hdc, caption.c_str(), -1, &text, DT_SINGLELINE);
}
