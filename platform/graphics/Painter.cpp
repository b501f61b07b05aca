#include "platform/graphics/Painter.h"

#include <algorithm>
#include <cstdlib>

#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

namespace {

// dst + (src - dst) * coverage / 255, the red and blue channels in one multiplication.
std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned coverage) {
    if (coverage >= 255) return src;
    const std::uint32_t a = coverage + (coverage >> 7), b = 256 - a;  // 0..256
    const std::uint32_t rb = ((src & 0xFF00FF) * a + (dst & 0xFF00FF) * b) >> 8;
    const std::uint32_t g = ((src & 0x00FF00) * a + (dst & 0x00FF00) * b) >> 8;
    return (rb & 0xFF00FF) | (g & 0x00FF00);
}

}  // namespace

Painter::Painter(DeviceContext& dc) : dc_(dc), surface_(dc.Target()), offset_(dc.Offset()) {}

bool Painter::BrushColor(HBRUSH brush, COLORREF& color) {
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value > 0 && value <= 32) {
        color = GetSysColor(static_cast<int>(value) - 1);
        return true;
    }
    const auto b = GdiObject::FindAs<BrushObject>(brush, GdiKind::Brush);
    if (!b || b->hollow) return false;
    color = b->color;
    return true;
}

RECT Painter::ToSurface(const RECT& r) const {
    RECT s = r;
    OffsetRect(&s, offset_.x, offset_.y);
    return s;
}

template <class F>
void Painter::ForEachClipped(const RECT& surfaceRect, F&& f) {
    if (!surface_) return;
    const RECT bounded = surface_->Clip(surfaceRect);
    for (const RECT& clip : dc_.Clip().Rects()) {
        RECT part;
        if (IntersectRect(&part, &bounded, &clip)) f(part);
    }
}

void Painter::Fill(const RECT& r, COLORREF color) {
    const std::uint32_t pixel = Surface::PixelOf(color);
    ForEachClipped(ToSurface(r), [&](const RECT& part) { surface_->Fill(part, pixel); });
}

void Painter::Frame(const RECT& r, COLORREF color) {
    if (IsRectEmpty(&r)) return;
    Fill(RECT{r.left, r.top, r.right, r.top + 1}, color);
    Fill(RECT{r.left, r.bottom - 1, r.right, r.bottom}, color);
    Fill(RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, color);
    Fill(RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, color);
}

void Painter::Line(POINT from, POINT to, int width, COLORREF color) {
    const int before = (width - 1) / 2, after = width - before;  // the pen square around each point
    if (from.y == to.y || from.x == to.x) {
        // The points [a, b) along the line: from the start, the end left out.
        const bool horizontal = from.y == to.y;
        const int f = horizontal ? from.x : from.y, t = horizontal ? to.x : to.y;
        const int a = f <= t ? f : t + 1, b = f <= t ? t : f + 1;
        if (a >= b) return;
        if (horizontal)
            Fill(RECT{a - before, from.y - before, b - 1 + after, from.y + after}, color);
        else
            Fill(RECT{from.x - before, a - before, from.x + after, b - 1 + after}, color);
        return;
    }
    int x = from.x, y = from.y;
    const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    while (x != to.x || y != to.y) {
        Fill(RECT{x - before, y - before, x + after, y + after}, color);
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void Painter::Blit(DeviceContext& source, const RECT& r, POINT origin) {
    Surface* from = source.Target();
    if (!from) return;
    const POINT sourceOffset = source.Offset();
    const RECT target = ToSurface(r);
    // Where a target pixel comes from on the source surface.
    const int shiftX = origin.x + sourceOffset.x - target.left, shiftY = origin.y + sourceOffset.y - target.top;
    RECT sourceBounds{-shiftX, -shiftY, from->Width() - shiftX, from->Height() - shiftY};
    RECT limited;
    if (!IntersectRect(&limited, &target, &sourceBounds)) return;
    ForEachClipped(limited, [&](const RECT& part) {
        for (LONG y = part.top; y < part.bottom; ++y) {
            const std::uint32_t* in = from->Row(y + shiftY) + part.left + shiftX;
            std::copy(in, in + (part.right - part.left), surface_->Row(y) + part.left);
        }
    });
}

void Painter::Glyph(const ::Glyph& g, int x, int baseline, COLORREF color) {
    if (g.coverage.empty()) return;
    const std::uint32_t pixel = Surface::PixelOf(color);
    const int left = x + g.left + offset_.x, top = baseline - g.top + offset_.y;
    ForEachClipped(RECT{left, top, left + g.width, top + g.height}, [&](const RECT& part) {
        for (LONG y = part.top; y < part.bottom; ++y) {
            const std::uint8_t* cover = g.coverage.data() + static_cast<std::size_t>(y - top) * g.width - left;
            std::uint32_t* row = surface_->Row(y);
            for (LONG px = part.left; px < part.right; ++px)
                if (cover[px]) row[px] = Blend(row[px], pixel, cover[px]);
        }
    });
}

void Painter::Image(const Surface& image, const std::uint8_t* transparent, int x, int y) {
    const int left = x + offset_.x, top = y + offset_.y;
    ForEachClipped(RECT{left, top, left + image.Width(), top + image.Height()}, [&](const RECT& part) {
        for (LONG py = part.top; py < part.bottom; ++py) {
            const std::uint32_t* in = image.Row(py - top) - left;
            const std::uint8_t* skip =
                transparent ? transparent + static_cast<std::size_t>(py - top) * image.Width() - left : nullptr;
            std::uint32_t* row = surface_->Row(py);
            for (LONG px = part.left; px < part.right; ++px)
                if (!skip || !skip[px]) row[px] = in[px];
        }
    });
}

void Painter::Stamp(const Surface& image, const std::uint8_t* transparent, int x, int y, COLORREF color) {
    const std::uint32_t pixel = Surface::PixelOf(color);
    const int left = x + offset_.x, top = y + offset_.y;
    ForEachClipped(RECT{left, top, left + image.Width(), top + image.Height()}, [&](const RECT& part) {
        for (LONG py = part.top; py < part.bottom; ++py) {
            const std::uint8_t* skip =
                transparent ? transparent + static_cast<std::size_t>(py - top) * image.Width() - left : nullptr;
            std::uint32_t* row = surface_->Row(py);
            for (LONG px = part.left; px < part.right; ++px)
                if (!skip || !skip[px]) row[px] = pixel;
        }
    });
}
