#include "platform/framework/TrackingOutline.h"

#include <mutex>

#include "platform/graphics/Gdi.h"
#include "platform/window/Windows.h"

namespace {

constexpr const char* kStripClass = "QbTrackingStrip";

// Every other pixel dark, aligned to the screen so that neighbouring strips match.
LRESULT CALLBACK StripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            POINT origin{0, 0};
            ClientToScreen(hwnd, &origin);
            FillRect(hdc, &client, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            for (int y = 0; y < client.bottom; ++y)
                for (int x = (origin.x + origin.y + y) & 1; x < client.right; x += 2) SetPixel(hdc, x, y, RGB(0, 0, 0));
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void RegisterStripClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = StripProc;
        cls.lpszClassName = kStripClass;
        RegisterClassA(&cls);
    });
}

}  // namespace

TrackingOutline::~TrackingOutline() {
    for (HWND strip : strips_)
        if (strip && IsWindow(strip)) DestroyWindow(strip);
}

void TrackingOutline::Place(std::size_t index, const CRect& screen) {
    HWND& strip = strips_[index];
    if (screen.IsRectEmpty()) {
        if (strip) ShowWindow(strip, SW_HIDE);
        return;
    }
    if (!strip || !IsWindow(strip)) {
        RegisterStripClass();
        const HWND top = owner_ ? GetAncestor(owner_, GA_ROOT) : nullptr;
        strip = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kStripClass, "", WS_POPUP, 0, 0, 0, 0, top, nullptr,
                                nullptr, nullptr);
        if (!strip) return;
    }
    SetWindowPos(strip, HWND_TOPMOST, screen.left, screen.top, screen.Width(), screen.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TrackingOutline::Outline(const CRect& screen, int thickness) {
    const int t = std::max(1, std::min({thickness, screen.Width() / 2, screen.Height() / 2}));
    Place(0, CRect(screen.left, screen.top, screen.right, screen.top + t));
    Place(1, CRect(screen.left, screen.bottom - t, screen.right, screen.bottom));
    Place(2, CRect(screen.left, screen.top + t, screen.left + t, screen.bottom - t));
    Place(3, CRect(screen.right - t, screen.top + t, screen.right, screen.bottom - t));
    rect_ = screen;
    shown_ = true;
}

void TrackingOutline::Fill(const CRect& screen) {
    Place(0, screen);
    for (std::size_t i = 1; i < strips_.size(); ++i) Place(i, CRect());
    rect_ = screen;
    shown_ = true;
}

void TrackingOutline::Hide() {
    for (HWND strip : strips_)
        if (strip && IsWindow(strip)) ShowWindow(strip, SW_HIDE);
    shown_ = false;
}
