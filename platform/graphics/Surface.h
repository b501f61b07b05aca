#pragma once
// A 32-bit image in memory: 0x00RRGGBB pixels, rows top to bottom. Windows draw into the
// surface of their top-level window; memory bitmaps are surfaces too.

#include <cstdint>
#include <vector>

#include "platform/graphics/GdiTypes.h"

class Surface {
public:
    Surface() = default;
    Surface(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint32_t* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint32_t* Pixels() const { return pixels_.data(); }
    std::uint32_t At(int x, int y) const { return Row(y)[x]; }

    // New size, contents kept where they overlap and zero elsewhere.
    void Resize(int width, int height);
    // `r` cut to the surface.
    RECT Clip(const RECT& r) const;
    void Fill(const RECT& r, std::uint32_t pixel);

    static std::uint32_t PixelOf(COLORREF c) {
        return std::uint32_t{GetRValue(c)} << 16 | std::uint32_t{GetGValue(c)} << 8 | GetBValue(c);
    }
    static COLORREF ColorOf(std::uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};
