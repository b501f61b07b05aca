#pragma once
// The bars' tests: a headless display with the control classes registered, and the pixels of a
// window as they reached the screen.

#include <ostream>
#include <vector>

#include "platform/controls/CommCtrl.h"
#include "platform/graphics/SystemColors.h"
#include "tests/platform/window/WindowTesting.h"

// Rectangles compare and print in expectations.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

class BarsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        InitCommonControls();
    }

    // A control of `cls` in `parent`, at `r`.
    static HWND Control(const char* cls, HWND parent, const RECT& r, DWORD style, int id = 0) {
        return CreateWindowExA(0, cls, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
    }

    // What the screen shows of a window, read at its client points.
    struct Shot {
        Surface pixels;
        POINT origin;  // the client area's top left on the surface
        COLORREF At(int x, int y) const { return Surface::ColorOf(pixels.At(origin.x + x, origin.y + y)); }
        int Count(const RECT& r, COLORREF color) const {
            int n = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
            return n;
        }
    };
    // Paints what is pending first.
    Shot Take(HWND hwnd) {
        PumpAll();
        HWND top = GetAncestor(hwnd, GA_ROOT);
        RECT topRect;
        GetWindowRect(top, &topRect);
        const POINT p = OnScreen(hwnd, 0, 0);
        return Shot{display->Pixels(top), POINT{p.x - topRect.left, p.y - topRect.top}};
    }

    static COLORREF Sys(int index) { return GetSysColor(index); }
};
