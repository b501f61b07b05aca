#include "widgets/IconMenuPopupFrame.h"

#include <algorithm>

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/Surface.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"
#include "widgets/CIconMenu.h"
#include "widgets/IconMenuColors.h"
#include "widgets/IconMenuWindowHook.h"

namespace {

constexpr int kShadow = 4;
constexpr LPARAM PRF_NONCLIENT = 0x00000002;
// How much the shadow darkens, from the column (or row) next to the frame outwards.
constexpr int kDepth[kShadow] = {120, 90, 60, 30};

// The popups are sized for the system's frame; ours takes the same room.
int Border() { return GetSystemMetrics(SM_CXDLGFRAME); }

COLORREF ClientColor(const IconMenuWindow& window) {
    return CIconMenu::FromHandleIcon(window.menu) ? IconMenuColors::MenuColor() : GetSysColor(COLOR_MENU);
}

// The darkening of a shadow pixel `along` pixels down (or across) its strip, `out` pixels out.
int Depth(int along, int out) {
    if (along < kShadow) return 0;
    return along < 2 * kShadow ? kDepth[out] * (along - kShadow + 1) / (kShadow + 1) : kDepth[out];
}

// A copy of a window's pixels into `to`, whose origin lies at `origin` on the screen.
void CopyWindow(HDC to, POINT origin, HWND from) {
    RECT r;
    if (!IsWindowVisible(from) || !GetWindowRect(from, &r)) return;
    const HDC source = GetWindowDC(from);
    if (!source) return;
    BitBlt(to, r.left - origin.x, r.top - origin.y, Width(r), Height(r), source, 0, 0, SRCCOPY);
    ReleaseDC(from, source);
}

}  // namespace

int IconMenuPopupFrame::ShadowSize() {
    BOOL systemShadows = FALSE;
    return SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &systemShadows, 0) && systemShadows ? 0 : kShadow;
}

LRESULT IconMenuPopupFrame::EraseClient(const IconMenuWindow& window, HDC hdc) {
    RECT client;
    GetClientRect(window.hwnd, &client);
    IconMenuColors::Fill(hdc, client, ClientColor(window));
    return 1;
}

bool IconMenuPopupFrame::WindowMessage(const IconMenuWindow& window, int shadow, UINT message, WPARAM wParam,
                                       LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_WINDOWPOSCHANGING: {
            // Room for the shadow; the window's own handling goes on.
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (pos && !(pos->flags & SWP_NOSIZE)) {
                pos->cx += shadow;
                pos->cy += shadow;
            }
            return false;
        }
        case WM_NCCALCSIZE: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            if (!r) return false;
            const int border = Border();
            r->left += border;
            r->top += border;
            r->right = std::max(r->left, r->right - border - shadow);
            r->bottom = std::max(r->top, r->bottom - border - shadow);
            result = 0;
            return true;
        }
        case WM_NCPAINT: {
            const HDC hdc = GetWindowDC(window.hwnd);
            if (hdc) {
                Paint(window, shadow, hdc);
                ReleaseDC(window.hwnd, hdc);
            }
            result = 0;
            return true;
        }
        case WM_PRINT:
            if (!(lParam & PRF_NONCLIENT)) return false;
            Paint(window, shadow, reinterpret_cast<HDC>(wParam));
            result = CallWindowProcA(window.oldProc, window.hwnd, message, wParam, lParam & ~PRF_NONCLIENT);
            return true;
        default:
            return false;
    }
}

void IconMenuPopupFrame::Paint(const IconMenuWindow& window, int shadow, HDC hdc) {
    RECT whole;
    if (!hdc || !GetWindowRect(window.hwnd, &whole)) return;
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const COLORREF white = GetSysColor(COLOR_WINDOW);
    const SIZE size{Width(whole), Height(whole)};
    const RECT frame{0, 0, size.cx - shadow, size.cy - shadow};
    IconMenuColors::Outline(hdc, frame, IconMenuColors::Darken(128, p.bar));
    RECT inner = frame;
    InflateRect(&inner, -1, -1);
    IconMenuColors::Outline(hdc, inner, IconMenuColors::Mix(white, p.bar));
    // The icon band reaches the outer line.
    IconMenuColors::Fill(hdc, RECT{1, 2, 2, frame.bottom - 2}, p.fewColors ? GetSysColor(COLOR_BTNFACE) : IconMenuColors::Mix(p.bar, white));
    // The rest of the frame in the menu's colour, leaving the items alone.
    POINT origin{0, 0};
    ClientToScreen(window.hwnd, &origin);
    RECT client;
    GetClientRect(window.hwnd, &client);
    OffsetRect(&client, origin.x - whole.left, origin.y - whole.top);
    const int saved = SaveDC(hdc);
    ExcludeClipRect(hdc, client.left, client.top, client.right, client.bottom);
    IconMenuColors::Fill(hdc, RECT{2, 2, frame.right - 2, frame.bottom - 2}, ClientColor(window));
    RestoreDC(hdc, saved);
    if (shadow > 0) PaintShadow(window, hdc, frame, size);
}

void IconMenuPopupFrame::PaintShadow(const IconMenuWindow& window, HDC hdc, const RECT& frame, SIZE size) {
    RECT whole;
    GetWindowRect(window.hwnd, &whole);
    const HDC beneath = CreateCompatibleDC(hdc);
    const HBITMAP bitmap = CreateBitmap(size.cx, size.cy, 1, 32, nullptr);
    const HGDIOBJ old = SelectObject(beneath, bitmap);
    // What lies under the menu: the desktop, the window it belongs to, the menus opened before it.
    IconMenuColors::Fill(beneath, RECT{0, 0, size.cx, size.cy}, GetSysColor(COLOR_BACKGROUND));
    const POINT origin{whole.left, whole.top};
    if (const HWND owner = GetParent(window.hwnd)) CopyWindow(beneath, origin, GetAncestor(owner, GA_ROOT));
    for (const IconMenuWindow& below : IconMenuWindowHook::Windows())
        if (below.sequence < window.sequence) CopyWindow(beneath, origin, below.hwnd);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    auto* bits = static_cast<std::uint32_t*>(bm.bmBits);
    const bool few = IconMenuColors::Current().fewColors;
    const std::uint32_t flat = Surface::PixelOf(GetSysColor(COLOR_BTNSHADOW));
    for (int y = 0; bits && y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const bool right = x >= frame.right, below = y >= frame.bottom;
            if (!right && !below) continue;
            const int out = right ? x - frame.right : y - frame.bottom;
            std::uint32_t& pixel = bits[y * size.cx + x];
            if (few) {
                // No shades to spare: a flat two-pixel shadow.
                const int along = right ? y : x;
                if ((!right || !below) && out < 2 && along >= kShadow) pixel = flat;
                continue;
            }
            int depth;
            if (right && below)
                depth = kDepth[x - frame.right] * kDepth[y - frame.bottom] / kDepth[0];
            else
                depth = Depth(right ? y : x, out);
            if (depth > 0) pixel = Surface::PixelOf(IconMenuColors::Darken(depth, Surface::ColorOf(pixel)));
        }
    }
    BitBlt(hdc, frame.right, 0, size.cx - frame.right, size.cy, beneath, frame.right, 0, SRCCOPY);
    BitBlt(hdc, 0, frame.bottom, frame.right, size.cy - frame.bottom, beneath, 0, frame.bottom, SRCCOPY);
    SelectObject(beneath, old);
    DeleteObject(bitmap);
    DeleteDC(beneath);
}
