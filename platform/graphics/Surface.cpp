#include "platform/graphics/Surface.h"

#include <algorithm>
#include <cstring>

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), pixels_(static_cast<std::size_t>(width_) * height_) {}

void Surface::Resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    std::vector<std::uint32_t> fresh(static_cast<std::size_t>(width) * height);
    const int w = std::min(width, width_), h = std::min(height, height_);
    for (int y = 0; y < h; ++y) std::copy_n(Row(y), w, fresh.data() + static_cast<std::size_t>(y) * width);
    pixels_.swap(fresh);
    width_ = width;
    height_ = height;
}

RECT Surface::Clip(const RECT& r) const {
    RECT c{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width_),
           std::min<LONG>(r.bottom, height_)};
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
}

void Surface::Fill(const RECT& r, std::uint32_t pixel) {
    const RECT c = Clip(r);
    if (c.left >= c.right || c.top >= c.bottom) return;
    // One row filled, the others copied from it: copies run at memory speed.
    std::uint32_t* first = Row(c.top) + c.left;
    std::fill(first, first + (c.right - c.left), pixel);
    const std::size_t bytes = static_cast<std::size_t>(c.right - c.left) * sizeof(std::uint32_t);
    for (LONG y = c.top + 1; y < c.bottom; ++y) std::memcpy(Row(y) + c.left, first, bytes);
}
