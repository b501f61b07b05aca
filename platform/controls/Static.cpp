#include "platform/controls/Static.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/PrivateMessageTrace.h"
#include "platform/controls/WindowStateMap.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/Windows.h"

namespace {

WindowStateMap<Static>& States() {
    static Immortal<WindowStateMap<Static>> states;
    return *states;
}

}  // namespace

void Static::Register() { ControlSupport::Register(kClassName, Proc, IDC_ARROW); }

Static::~Static() {
    if (loaded_) DestroyIcon(loaded_);
}

LRESULT CALLBACK Static::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto self = std::make_shared<Static>(hwnd);
        States().Attach(hwnd, self);
        if (lParam) self->OnCreate(*reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    }
    // Held for the whole handler: a parent may destroy the control from a notification.
    const std::shared_ptr<Static> self = States().Find(hwnd);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        States().Detach(hwnd);
        return 0;
    }
    return self->Dispatch(message, wParam, lParam);
}

DWORD Static::Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }

LRESULT Static::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result; ControlSupport::Captioned(hwnd_, font_, message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (Style() & SS_NOTIFY) {
                const WORD code = message == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK;
                SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code),
                             reinterpret_cast<LPARAM>(hwnd_));
            }
            return 0;
        case STM_SETICON:
            return reinterpret_cast<LRESULT>(SetIcon(reinterpret_cast<HICON>(wParam)));
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(icon_);
        default:
            if (message >= STM_SETICON && message <= STM_SETICON + 0x0F)
                PrivateMessageTrace::Unknown(kClassName, hwnd_, message, wParam, lParam);
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

void Static::OnCreate(const CREATESTRUCTA& cs) {
    // An icon control's text names its icon resource: a number, or "#number".
    if ((static_cast<DWORD>(cs.style) & SS_TYPEMASK) != SS_ICON || !cs.lpszName) return;
    LPCSTR name = cs.lpszName;
    if (!IS_INTRESOURCE(name) && name[0] == '#') name = MAKEINTRESOURCEA(static_cast<WORD>(std::atoi(name + 1)));
    if (!IS_INTRESOURCE(name)) return;
    loaded_ = LoadIconA(cs.hInstance, name);
    if (loaded_) SetIcon(loaded_);
}

HICON Static::SetIcon(HICON icon) {
    const HICON previous = icon_;
    icon_ = icon;
    // The control takes the icon's size, unless it centres the icon in itself.
    if (icon && !(Style() & SS_CENTERIMAGE))
        SetWindowPos(hwnd_, nullptr, 0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return previous;
}

void Static::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    const DWORD style = Style();
    const DWORD kind = style & SS_TYPEMASK;
    RECT client;
    GetClientRect(hwnd_, &client);
    const auto solid = [&](int color) { FillRect(hdc, &client, GetSysColorBrush(color)); };
    switch (kind) {
        case SS_BLACKRECT:
            solid(COLOR_WINDOWFRAME);
            break;
        case SS_GRAYRECT:
            solid(COLOR_3DSHADOW);
            break;
        case SS_WHITERECT:
            solid(COLOR_3DHIGHLIGHT);
            break;
        default: {
            // The rest stand on the parent's brush.
            FillRect(hdc, &client,
                     ControlSupport::AskColors(hwnd_, hdc, WM_CTLCOLORSTATIC, COLOR_WINDOWTEXT, COLOR_3DFACE));
            if (kind == SS_BLACKFRAME || kind == SS_GRAYFRAME || kind == SS_WHITEFRAME) {
                const int color = kind == SS_BLACKFRAME  ? COLOR_WINDOWFRAME
                                  : kind == SS_GRAYFRAME ? COLOR_3DSHADOW
                                                         : COLOR_3DHIGHLIGHT;
                FrameRect(hdc, &client, GetSysColorBrush(color));
            } else if (kind == SS_ETCHEDHORZ || kind == SS_ETCHEDVERT || kind == SS_ETCHEDFRAME) {
                RECT r = client;
                DrawEdge(hdc, &r, EDGE_ETCHED,
                         kind == SS_ETCHEDHORZ ? BF_TOP : kind == SS_ETCHEDVERT ? BF_LEFT : BF_RECT);
            } else if (kind == SS_ICON) {
                if (icon_) {
                    const int size = GetSystemMetrics(SM_CXICON);
                    const bool centred = style & SS_CENTERIMAGE;
                    DrawIconEx(hdc, centred ? (client.right - size) / 2 : 0, centred ? (client.bottom - size) / 2 : 0,
                               icon_, size, size, 0, nullptr, DI_NORMAL);
                }
            } else {
                PaintText(hdc, client, style);
            }
            break;
        }
    }
    EndPaint(hwnd_, &ps);
}

void Static::PaintText(HDC hdc, const RECT& client, DWORD style) {
    const DWORD kind = style & SS_TYPEMASK;
    UINT format = DT_EXPANDTABS;
    switch (kind) {
        case SS_CENTER:
            format |= DT_CENTER | DT_WORDBREAK;
            break;
        case SS_RIGHT:
            format |= DT_RIGHT | DT_WORDBREAK;
            break;
        case SS_SIMPLE:
            format = DT_SINGLELINE;
            break;
        case SS_LEFTNOWORDWRAP:
            break;
        case SS_LEFT:
            format |= DT_WORDBREAK;
            break;
        default:
            return;  // a kind this control does not draw
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
    if (style & WS_DISABLED) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(hdc, font_ ? font_ : GetStockObject(SYSTEM_FONT));
    const std::string text = ControlSupport::Caption(hwnd_);
    RECT r = client;
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(hdc, old);
}
