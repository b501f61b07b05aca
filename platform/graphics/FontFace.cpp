#include "platform/graphics/FontFace.h"

void FontFace::Prepare() {
    for (char32_t c = 0; c < 256; ++c) latin_[c] = Render(c);
}

const Glyph& FontFace::GlyphOf(char32_t codepoint) {
    if (codepoint < 256) return latin_[codepoint];
    std::lock_guard guard(lock_);
    auto it = others_.find(codepoint);
    if (it == others_.end()) it = others_.emplace(codepoint, Render(codepoint)).first;
    return it->second;  // references into an unordered_map stay valid as it grows
}
