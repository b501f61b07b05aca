// What a window does with the messages its procedure leaves alone.

#include <algorithm>
#include <cstring>

#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/DisplayDriver.h"
#include "platform/window/LockedWindow.h"
#include "platform/window/MenuBarHost.h"
#include "platform/window/NonClientScrollBars.h"
#include "platform/window/ScrollBarStore.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

constexpr int kBorder = 1, kDialogFrame = 3, kClientEdge = 2, kStaticEdge = 1;

// A top-level window that is not a popup gets its frame from the desktop, not from us.
bool FramedByDesktop(DWORD style, bool topLevel) { return topLevel && !(style & WS_POPUP); }

bool HasDialogFrame(DWORD style, DWORD exStyle) {
    return (style & WS_CAPTION) == WS_DLGFRAME || (exStyle & WS_EX_DLGMODALFRAME);
}

LRESULT CalcSize(DWORD style, DWORD exStyle, bool topLevel, RECT* r) {
    if (!r) return 0;
    if (FramedByDesktop(style, topLevel)) {
        NonClientScrollBars::CalcSize(style, *r);
        return 0;
    }
    int edge = 0;
    if (HasDialogFrame(style, exStyle))
        edge += kDialogFrame;
    else if (style & WS_BORDER)
        edge += kBorder;
    if (exStyle & WS_EX_CLIENTEDGE) edge += kClientEdge;
    if (exStyle & WS_EX_STATICEDGE) edge += kStaticEdge;
    r->left += edge;
    r->top += edge;
    r->right = std::max(r->left, r->right - edge);
    r->bottom = std::max(r->top, r->bottom - edge);
    NonClientScrollBars::CalcSize(style, *r);
    return 0;
}

LRESULT HitTest(HWND hwnd, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT whole, client;
    GetWindowRect(hwnd, &whole);
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (PtInRect(&client, p)) return HTCLIENT;
    if (const LRESULT bar = NonClientScrollBars::HitTest(hwnd, p); bar != HTNOWHERE) return bar;
    return PtInRect(&whole, p) ? HTBORDER : HTNOWHERE;
}

void PaintFrame(HWND hwnd, DWORD style, DWORD exStyle) {
    HDC hdc = GetFrameDC(hwnd);
    if (!hdc) return;
    RECT r;
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    if (HasDialogFrame(style, exStyle)) {
        DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        FrameRect(hdc, &r, GetSysColorBrush(COLOR_3DFACE));
        InflateRect(&r, -1, -1);
    } else if (style & WS_BORDER) {
        FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    if (exStyle & WS_EX_STATICEDGE) DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    NonClientScrollBars::Paint(hwnd, hdc);
    ReleaseDC(hwnd, hdc);
}

LRESULT SetCursorFor(WPARAM wParam, LPARAM lParam, HWND parent, HCURSOR classCursor) {
    // The parent has the first say.
    if (parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    const auto hit = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    if (hit == HTCLIENT) {
        if (!classCursor) return FALSE;  // the window sets its own cursor as the mouse moves
        SetCursor(classCursor);
        return TRUE;
    }
    if (!parent && hit != HTERROR) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return FALSE;
}

void AnnouncePosition(HWND hwnd, const WINDOWPOS* pos) {
    if (!pos) return;
    RECT client;
    GetClientRect(hwnd, &client);
    if (!(pos->flags & SWP_NOMOVE)) {
        POINT origin{0, 0};
        MapWindowPoints(hwnd, GetAncestor(hwnd, GA_PARENT), &origin, 1);
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
    if (!(pos->flags & SWP_NOSIZE)) {
        const bool maximized = GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_MAXIMIZE;
        SendMessageA(hwnd, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELPARAM(client.right, client.bottom));
    }
}

}  // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD style, exStyle;
    HWND parent;
    HCURSOR classCursor;
    HBRUSH background;
    {
        LockedWindow w(hwnd);
        if (!w) return 0;
        style = w->style;
        exStyle = w->exStyle;
        parent = w->parent ? w->parent->handle : nullptr;
        classCursor = w->classCursor;
        background = w->classBackground;
    }
    if (LRESULT handled; MenuBarHost::Handle(hwnd, message, wParam, lParam, handled)) return handled;
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_NCCALCSIZE: {
            // The bar sits right under the desktop's title, above any edge or scroll bar.
            MenuBarHost::ReserveBar(hwnd, reinterpret_cast<RECT*>(lParam));
            return CalcSize(style, exStyle, !parent, reinterpret_cast<RECT*>(lParam));
        }
        case WM_NCHITTEST:
            return MenuBarHost::HitTest(hwnd, lParam, HitTest(hwnd, lParam));
        case WM_NCPAINT:
            // The desktop draws the frame of a framed top-level window; its scroll bars are ours.
            if (FramedByDesktop(style, !parent)) style = exStyle = 0;
            PaintFrame(hwnd, style, exStyle);
            MenuBarHost::PaintBar(hwnd);
            return 0;
        case WM_ERASEBKGND: {
            if (!background) return 0;
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETTEXT: {
            const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            {
                LockedWindow w(hwnd);
                if (w) w->text = text;
            }
            if (!parent) Manager().Driver()->SetTitle(hwnd, text);
            return TRUE;
        }
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lParam);
            if (!out || wParam == 0) return 0;
            LockedWindow w(hwnd);
            if (!w) return 0;
            const std::size_t n = std::min<std::size_t>(wParam - 1, w->text.size());
            std::memcpy(out, w->text.data(), n);
            out[n] = '\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH: {
            LockedWindow w(hwnd);
            return w ? static_cast<LRESULT>(w->text.size()) : 0;
        }
        case WM_SETCURSOR:
            return SetCursorFor(wParam, lParam, parent, classCursor);
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
            NonClientScrollBars::SysCommand(hwnd, wParam, lParam);
            return 0;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            NonClientScrollBars::ButtonDown(hwnd, wParam, lParam);
            return 0;
        case WM_NCDESTROY:
            ScrollBarStore::Forget(hwnd);
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (1 << 29)))
                SendMessageA(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
            else if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000))
                SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
            return 0;
        case WM_KEYUP:
            if (wParam == VK_APPS) SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
            return 0;
        case WM_RBUTTONUP: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &p);
            SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
            return 0;
        }
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL:
            // Passed up until a window acts on it.
            if (parent) return SendMessageA(parent, message, wParam, lParam);
            return 0;
        case WM_WINDOWPOSCHANGED:
            AnnouncePosition(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (!focus || (focus != hwnd && !IsChild(hwnd, focus))) SetFocus(hwnd);
            }
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: {
            const int back = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_3DFACE;
            HDC hdc = reinterpret_cast<HDC>(wParam);
            SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(hdc, GetSysColor(back));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
        }
        default:
            return 0;
    }
}
