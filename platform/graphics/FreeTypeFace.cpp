#include "platform/graphics/FreeTypeFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <mutex>

#include "platform/kernel/Immortal.h"

namespace {

// One library for the process; FreeType's calls on it are serialised here.
struct Library {
    FT_Library library = nullptr;
    std::mutex lock;
    Library() { FT_Init_FreeType(&library); }
    ~Library() { FT_Done_FreeType(library); }
};

Library& TheLibrary() {
    static Immortal<Library> library;
    return *library;
}

int Ceil26(FT_Pos v) { return static_cast<int>((v + 63) >> 6); }

}  // namespace

struct FreeTypeFace::Private {
    FT_Face face = nullptr;
};

FreeTypeFace::FreeTypeFace(std::unique_ptr<Private> p) : p_(std::move(p)) {}

FreeTypeFace::~FreeTypeFace() {
    std::lock_guard guard(TheLibrary().lock);
    FT_Done_Face(p_->face);
}

std::shared_ptr<FreeTypeFace> FreeTypeFace::Open(const std::string& path, int index, int pixelHeight, LONG weight) {
    auto p = std::make_unique<Private>();
    {
        std::lock_guard guard(TheLibrary().lock);
        if (FT_New_Face(TheLibrary().library, path.c_str(), index, &p->face) != 0) return nullptr;
    }
    if (FT_Set_Pixel_Sizes(p->face, 0, static_cast<FT_UInt>(pixelHeight > 0 ? pixelHeight : 1)) != 0) {
        std::lock_guard guard(TheLibrary().lock);
        FT_Done_Face(p->face);
        return nullptr;
    }
    auto face = std::make_shared<FreeTypeFace>(std::move(p));
    const FT_Size_Metrics& m = face->p_->face->size->metrics;
    TEXTMETRICA& t = face->metrics_;
    t.tmAscent = Ceil26(m.ascender);
    t.tmDescent = Ceil26(-m.descender);
    t.tmHeight = t.tmAscent + t.tmDescent;
    t.tmInternalLeading = t.tmHeight - pixelHeight > 0 ? t.tmHeight - pixelHeight : 0;
    t.tmExternalLeading = 0;
    t.tmMaxCharWidth = Ceil26(m.max_advance);
    t.tmWeight = weight;
    face->Prepare();
    t.tmAveCharWidth = face->GlyphOf('x').advance;
    return face;
}

Glyph FreeTypeFace::Render(char32_t codepoint) {
    Glyph g;
    FT_Face f = p_->face;
    if (FT_Load_Char(f, codepoint, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return g;
    const FT_GlyphSlot slot = f->glyph;
    const FT_Bitmap& b = slot->bitmap;
    g.width = static_cast<int>(b.width);
    g.height = static_cast<int>(b.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
    g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* row = b.buffer + y * b.pitch;
        for (int x = 0; x < g.width; ++x) {
            std::uint8_t v =
                b.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0) : row[x];
            g.coverage[static_cast<std::size_t>(y) * g.width + x] = v;
        }
    }
    return g;
}
