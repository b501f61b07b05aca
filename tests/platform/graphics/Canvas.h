#pragma once
// A small memory bitmap to draw on in tests, white to start with, and its pixels as letters.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/Gdi.h"

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc, width, height);
        old_ = SelectObject(dc, bitmap_);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    ~Canvas() {
        SelectObject(dc, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The bitmap's pixel, whatever the context's clip (GetPixel answers inside the clip only).
    COLORREF At(int x, int y) const {
        BITMAP bm{};
        GetObjectA(bitmap_, sizeof bm, &bm);
        const std::uint32_t p = static_cast<const std::uint32_t*>(bm.bmBits)[y * bm.bmWidth + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Each pixel as a letter: '.' white, 'R' red, 'B' blue, 'K' black, '?' anything else.
    std::vector<std::string> Rows(int rows = -1) const {
        std::vector<std::string> out;
        for (int y = 0; y < (rows < 0 ? height_ : rows); ++y) {
            std::string row;
            for (int x = 0; x < width_; ++x) {
                const COLORREF c = At(x, y);
                row += c == RGB(255, 255, 255) ? '.'
                       : c == RGB(255, 0, 0)   ? 'R'
                       : c == RGB(0, 0, 255)   ? 'B'
                       : c == RGB(0, 0, 0)     ? 'K'
                                               : '?';
            }
            out.push_back(row);
        }
        return out;
    }
    // The expected rows, completed with white rows up to `rows`; compare with Rows().
    std::vector<std::string> Expect(std::vector<std::string> expected, int rows) const {
        while (static_cast<int>(expected.size()) < rows) expected.push_back(std::string(width_, '.'));
        while (static_cast<int>(expected.size()) < height_) expected.push_back(std::string(width_, '.'));
        return expected;
    }

    HDC dc;

private:
    int width_, height_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};
