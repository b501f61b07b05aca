#include "platform/window/MenuBarHost.h"

#include <atomic>

#include "platform/graphics/Rects.h"
#include "platform/window/LockedWindow.h"
#include "platform/window/Windows.h"

namespace {

std::atomic<MenuBarHost*> gHost{nullptr};

// Alt or F10 went down with no other key since: its release selects the bar. Per thread, as
// each thread has its own keyboard state.
thread_local int tPendingMenuKey = 0;

constexpr DWORD kAltDown = 1u << 29;
constexpr DWORD kRepeat = 1u << 30;

}  // namespace

void MenuBarHost::Register(MenuBarHost* host) { gHost = host; }

HMENU MenuBarHost::MenuOf(HWND hwnd) {
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    return (w->style & WS_CHILD) ? nullptr : w->menu;
}

bool MenuBarHost::SetMenuOf(HWND hwnd, HMENU menu) {
    LockedWindow w(hwnd);
    if (!w) return false;
    if (w->style & WS_CHILD) return false;
    w->menu = menu;
    return true;
}

void MenuBarHost::ReserveBar(HWND hwnd, RECT* r) {
    MenuBarHost* host = gHost;
    const HMENU menu = MenuOf(hwnd);
    if (!host || !menu || !r) return;
    const int height = host->BarHeight(hwnd, menu, r->right - r->left);
    r->top = std::min(r->bottom, r->top + height);
}

void MenuBarHost::PaintBar(HWND hwnd) {
    MenuBarHost* host = gHost;
    const HMENU menu = MenuOf(hwnd);
    if (!host || !menu) return;
    // The bar sits right above the client area, as wide as it.
    RECT whole, client;
    GetWindowRect(hwnd, &whole);
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    OffsetRect(&client, origin.x - whole.left, origin.y - whole.top);
    const RECT bar{client.left, client.top - host->LaidOutHeight(menu), client.right, client.top};
    if (bar.bottom <= bar.top) return;
    HDC hdc = GetWindowDC(hwnd);
    if (!hdc) return;
    host->Paint(hwnd, menu, hdc, bar);
    ReleaseDC(hwnd, hdc);
}

LRESULT MenuBarHost::HitTest(HWND hwnd, LPARAM screen, LRESULT hit) {
    MenuBarHost* host = gHost;
    const HMENU menu = hit != HTCLIENT ? MenuOf(hwnd) : nullptr;
    if (!host || !menu) return hit;
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    OffsetRect(&client, origin.x, origin.y);
    const RECT bar{client.left, client.top - host->LaidOutHeight(menu), client.right, client.top};
    return PtInRect(&bar, POINT{GET_X_LPARAM(screen), GET_Y_LPARAM(screen)}) ? HTMENU : hit;
}

bool MenuBarHost::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    MenuBarHost* host = gHost;
    if (!host) return false;
    result = 0;
    const auto keyData = static_cast<DWORD>(lParam);
    switch (message) {
        case WM_SYSKEYDOWN:
            if (!(keyData & kRepeat))
                tPendingMenuKey = (wParam == VK_MENU || (wParam == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000)))
                                      ? static_cast<int>(wParam)
                                      : 0;
            return false;
        case WM_KEYDOWN:
            tPendingMenuKey = 0;
            return false;
        case WM_SYSKEYUP:
            if (static_cast<int>(wParam) != tPendingMenuKey || !tPendingMenuKey) {
                tPendingMenuKey = 0;
                return false;
            }
            tPendingMenuKey = 0;
            SendMessageA(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, 0);
            return true;
        case WM_SYSCHAR:
            // Alt with a character: the menu's mnemonics (Tab, Escape and Enter are the desktop's).
            if (!(keyData & kAltDown) || wParam == VK_TAB || wParam == VK_ESCAPE || wParam == VK_RETURN) return false;
            SendMessageA(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
            return true;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU) {
                host->TrackKey(hwnd, static_cast<UINT>(lParam));
                return true;
            }
            if ((wParam & 0xFFF0) == SC_MOUSEMENU) {
                host->TrackMouse(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return true;
            }
            return false;
        case WM_NCLBUTTONDOWN:
            if (wParam != static_cast<WPARAM>(HTMENU) || !MenuOf(hwnd)) return false;
            tPendingMenuKey = 0;
            SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU | static_cast<WPARAM>(HTMENU), lParam);
            return true;
        case WM_NCMOUSEMOVE:
            if (const HMENU menu = MenuOf(hwnd))
                host->Hover(hwnd, menu, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                            wParam == static_cast<WPARAM>(HTMENU));
            return false;
        case WM_ACTIVATE:
            // The bar looks inactive while its window is.
            if (MenuOf(hwnd)) RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            return false;
        default:
            return false;
    }
}
