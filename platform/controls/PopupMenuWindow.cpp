#include "platform/controls/PopupMenuWindow.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/controls/MenuLayout.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

namespace {

constexpr UINT MN_GETHMENU = 0x01E1;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

struct CreateInfo {
    HWND owner;
    HMENU menu;
    SIZE content;
};

struct State {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    SIZE content{};
    int selected = -1;
};

// The popups of this thread: they live on the thread that runs the menu loop.
thread_local std::map<HWND, State> tPopups;

State* StateOf(HWND hwnd) {
    auto it = tPopups.find(hwnd);
    return it == tPopups.end() ? nullptr : &it->second;
}

// The standard frame: a popup without a subclass is sized for it.
int Frame() { return GetSystemMetrics(SM_CXDLGFRAME); }

int ClientWidth(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    return client.right;
}

void InvalidateItem(HWND hwnd, HMENU menu, int position) {
    RECT r;
    if (position >= 0 && MenuLayout::PopupItemRect(menu, position, ClientWidth(hwnd), &r)) InvalidateRect(hwnd, &r, TRUE);
}

// Keeps the window on the screen.
void FitOnScreen(RECT& r) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (r.right > screenW) OffsetRect(&r, screenW - r.right, 0);
    if (r.bottom > screenH) OffsetRect(&r, 0, screenH - r.bottom);
    if (r.left < 0) OffsetRect(&r, -r.left, 0);
    if (r.top < 0) OffsetRect(&r, 0, -r.top);
}

}  // namespace

void PopupMenuWindow::Register() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSA cls{};
        cls.style = CS_SAVEBITS;
        cls.lpfnWndProc = Proc;
        cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_MENU + 1));
        cls.lpszClassName = kPopupMenuClass;
        RegisterClassA(&cls);
    });
}

HWND PopupMenuWindow::Create(HWND owner, HMENU menu, SIZE content, POINT at) {
    Register();
    CreateInfo info{owner, menu, content};
    const int frame = Frame();
    const HWND hwnd = CreateWindowExA(kExStyle, kPopupMenuClass, "", kStyle, at.x, at.y, content.cx + 2 * frame,
                                      content.cy + 2 * frame, owner, nullptr, nullptr, &info);
    if (!hwnd) return nullptr;
    // A subclass may change the frame and the size here.
    SendMessageA(hwnd, MN_SIZEWINDOW, 0, 0);
    return hwnd;
}

HWND PopupMenuWindow::Open(HWND owner, HMENU menu, SIZE content, const RECT& anchor, bool below) {
    const int frame = Frame();
    const POINT at = below ? POINT{anchor.left, anchor.bottom} : POINT{anchor.right - frame, anchor.top - frame};
    const HWND hwnd = Create(owner, menu, content, at);
    if (!hwnd) return nullptr;
    RECT r;
    GetWindowRect(hwnd, &r);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    // Flipped to the other side of what opened it when it does not fit.
    if (below && r.bottom > screenH && anchor.top - Height(r) >= 0) OffsetRect(&r, 0, anchor.top - Height(r) - r.top);
    if (!below && r.right > screenW && anchor.left - Width(r) + frame >= 0)
        OffsetRect(&r, anchor.left + frame - Width(r) - r.left, 0);
    FitOnScreen(r);
    SetWindowPos(hwnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

HWND PopupMenuWindow::OpenAt(HWND owner, HMENU menu, SIZE content, POINT at, UINT flags, const RECT* exclude) {
    const HWND hwnd = Create(owner, menu, content, at);
    if (!hwnd) return nullptr;
    RECT r;
    GetWindowRect(hwnd, &r);
    int x = at.x, y = at.y;
    if (flags & TPM_RIGHTALIGN)
        x -= Width(r);
    else if (flags & TPM_CENTERALIGN)
        x -= Width(r) / 2;
    if (flags & TPM_BOTTOMALIGN)
        y -= Height(r);
    else if (flags & TPM_VCENTERALIGN)
        y -= Height(r) / 2;
    OffsetRect(&r, x - r.left, y - r.top);
    FitOnScreen(r);
    RECT overlap;
    if (exclude && IntersectRect(&overlap, &r, exclude)) {
        // Beside the excluded area: below it, else above it (or right and left when vertical).
        const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
        if (flags & TPM_VERTICAL)
            OffsetRect(&r, exclude->right + Width(r) <= screenW ? exclude->right - r.left : exclude->left - Width(r) - r.left, 0);
        else
            OffsetRect(&r, 0, exclude->bottom + Height(r) <= screenH ? exclude->bottom - r.top : exclude->top - Height(r) - r.top);
    }
    SetWindowPos(hwnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

void PopupMenuWindow::Close(HWND popup) {
    if (IsWindow(popup)) DestroyWindow(popup);
    tPopups.erase(popup);
}

HMENU PopupMenuWindow::MenuOf(HWND popup) {
    const State* s = StateOf(popup);
    return s ? s->menu : nullptr;
}

HWND PopupMenuWindow::WindowOf(HMENU menu) {
    for (const auto& [hwnd, state] : tPopups)
        if (state.menu == menu) return hwnd;
    return nullptr;
}

void PopupMenuWindow::Select(HWND popup, int position) {
    State* s = StateOf(popup);
    if (!s || s->selected == position) return;
    InvalidateItem(popup, s->menu, s->selected);
    s->selected = position;
    InvalidateItem(popup, s->menu, position);
}

int PopupMenuWindow::Selected(HWND popup) {
    const State* s = StateOf(popup);
    return s ? s->selected : -1;
}

int PopupMenuWindow::ItemAt(HWND popup, POINT screen, bool* inside) {
    const State* s = StateOf(popup);
    RECT whole;
    const bool in = s && IsWindowVisible(popup) && GetWindowRect(popup, &whole) && PtInRect(&whole, screen);
    if (inside) *inside = in;
    if (!in) return -1;
    POINT client = screen;
    ScreenToClient(popup, &client);
    return MenuLayout::PopupItemAt(s->menu, client, ClientWidth(popup));
}

bool PopupMenuWindow::ItemScreenRect(HWND popup, int position, RECT* r) {
    const State* s = StateOf(popup);
    if (!s || !r) return false;
    if (!MenuLayout::PopupItemRect(s->menu, position, ClientWidth(popup), r)) return false;
    POINT origin{0, 0};
    ClientToScreen(popup, &origin);
    OffsetRect(r, origin.x, origin.y);
    return true;
}

LRESULT CALLBACK PopupMenuWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            const auto* info = cs ? static_cast<const CreateInfo*>(cs->lpCreateParams) : nullptr;
            if (!info) return FALSE;
            tPopups[hwnd] = State{info->owner, info->menu, info->content, -1};
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        case MN_SIZEWINDOW: {
            const State* s = StateOf(hwnd);
            if (!s) return 0;
            const int frame = Frame();
            const SIZE size{s->content.cx + 2 * frame, s->content.cy + 2 * frame};
            SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            RECT r;
            GetWindowRect(hwnd, &r);
            return MAKELPARAM(Width(r), Height(r));
        }
        case MN_GETHMENU:
            return reinterpret_cast<LRESULT>(MenuOf(hwnd));
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            if (const State* s = StateOf(hwnd)) {
                const State copy = *s;  // the owner's drawing may close the menu
                MenuLayout::PaintPopup(copy.owner, copy.menu, hdc, copy.selected, ClientWidth(hwnd));
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            tPopups.erase(hwnd);
            return DefWindowProcA(hwnd, message, wParam, lParam);
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
