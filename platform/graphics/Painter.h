#pragma once
// Draws into a device context: every operation takes logical coordinates and touches only the
// context's clip. The one place where pixels are written.

#include <cstdint>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/FontFace.h"

class Painter {
public:
    explicit Painter(DeviceContext& dc);

    bool Usable() const { return surface_ != nullptr; }
    void Fill(const RECT& r, COLORREF color);
    void Frame(const RECT& r, COLORREF color);
    // From `from` to `to`, `to` left out; a square pen of `width`.
    void Line(POINT from, POINT to, int width, COLORREF color);
    // Copies from `source` (its logical `origin`) into `r`.
    void Blit(DeviceContext& source, const RECT& r, POINT origin);
    // A glyph's coverage blended in `color`, its pen position at logical (x, baseline).
    void Glyph(const ::Glyph& g, int x, int baseline, COLORREF color);
    // Copies a whole surface to logical (x, y), skipping pixels whose `transparent` byte is set.
    void Image(const Surface& image, const std::uint8_t* transparent, int x, int y);
    // Fills the pixels of `image` that are not transparent with one colour.
    void Stamp(const Surface& image, const std::uint8_t* transparent, int x, int y, COLORREF color);

    // The colour of a brush handle; a handle below 32 names a system colour (index + 1).
    static bool BrushColor(HBRUSH brush, COLORREF& color);

private:
    RECT ToSurface(const RECT& r) const;
    template <class F>
    void ForEachClipped(const RECT& surfaceRect, F&& f);

    DeviceContext& dc_;
    Surface* surface_;
    POINT offset_;
};
