#pragma once
// A font at one pixel size, ready to draw: its metrics and its glyphs as coverage images (0-255
// per pixel), rendered once and kept. Glyphs of the first 256 code points are rendered when the
// face is made and read without a lock; others are rendered on first use.

#include <array>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/graphics/GdiTypes.h"

struct Glyph {
    int width = 0;
    int height = 0;
    int left = 0;     // from the pen position to the image's left edge
    int top = 0;      // from the baseline up to the image's top row
    int advance = 0;  // pen movement
    std::vector<std::uint8_t> coverage;
};

class FontFace {
public:
    virtual ~FontFace() = default;
    const TEXTMETRICA& Metrics() const { return metrics_; }
    const Glyph& GlyphOf(char32_t codepoint);

protected:
    // Subclasses set the metrics, then call Prepare once their face is ready.
    void Prepare();
    virtual Glyph Render(char32_t codepoint) = 0;

    TEXTMETRICA metrics_{};

private:
    std::array<Glyph, 256> latin_{};
    std::mutex lock_;
    std::unordered_map<char32_t, Glyph> others_;
};
