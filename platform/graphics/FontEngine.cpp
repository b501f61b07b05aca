#include "platform/graphics/FontEngine.h"

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

#include "platform/graphics/FreeTypeFace.h"
#include "platform/graphics/MarlettFace.h"
#include "platform/kernel/Immortal.h"

namespace {

constexpr int kDefaultEm = 13;

std::string Lower(const char* s) {
    std::string out;
    for (; *s; ++s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(*s)));
    return out;
}

// The installed family that stands for a face the viewer names.
std::string FamilyFor(const LOGFONTA& font) {
    const std::string name = Lower(font.lfFaceName);
    static const std::map<std::string, std::string> mapped = {
        {"", "DejaVu Sans"},
        {"ms sans serif", "DejaVu Sans"},
        {"ms shell dlg", "DejaVu Sans"},
        {"ms shell dlg 2", "DejaVu Sans"},
        {"microsoft sans serif", "DejaVu Sans"},
        {"tahoma", "DejaVu Sans"},
        {"arial", "DejaVu Sans"},
        {"segoe ui", "DejaVu Sans"},
        {"system", "DejaVu Sans"},
        {"courier new", "DejaVu Sans Mono"},
        {"courier", "DejaVu Sans Mono"},
        {"times new roman", "DejaVu Serif"},
    };
    auto it = mapped.find(name);
    return it != mapped.end() ? it->second : std::string(font.lfFaceName);
}

struct FileAndIndex {
    std::string path;
    int index = 0;
};

FileAndIndex Lookup(const std::string& family, bool bold, bool italic) {
    static std::once_flag init;
    std::call_once(init, [] { FcInit(); });
    FileAndIndex found;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) found.path = reinterpret_cast<char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace

LOGFONTA FontEngine::DefaultGuiFont() {
    LOGFONTA f{};
    f.lfHeight = -11;
    f.lfWeight = FW_NORMAL;
    f.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(f.lfFaceName, "MS Shell Dlg");
    return f;
}

LOGFONTA FontEngine::MenuFont() { return DefaultGuiFont(); }

std::shared_ptr<FontFace> FontEngine::FaceFor(const LOGFONTA& font) {
    struct Faces {
        std::mutex lock;
        std::map<std::tuple<std::string, bool, bool, LONG>, std::shared_ptr<FontFace>> byKey;
    };
    static Immortal<Faces> cache;
    std::mutex& lock = cache->lock;
    auto& faces = cache->byKey;
    const std::string family = FamilyFor(font);
    const bool bold = font.lfWeight >= 600, italic = font.lfItalic != 0;
    const auto key = std::make_tuple(family, bold, italic, font.lfHeight);
    std::lock_guard guard(lock);
    if (auto it = faces.find(key); it != faces.end()) return it->second;

    std::shared_ptr<FontFace> face;
    if (Lower(font.lfFaceName) == "marlett") {
        face = MarlettFace::Make(font.lfHeight == 0 ? kDefaultEm : std::abs(font.lfHeight));
    } else {
        const FileAndIndex file = Lookup(family, bold, italic);
        const LONG weight = font.lfWeight ? font.lfWeight : FW_NORMAL;
        if (font.lfHeight > 0) {
            // A cell height: find the em size whose ascent and descent add up to it.
            auto probe = FreeTypeFace::Open(file.path, file.index, font.lfHeight, weight);
            int em = font.lfHeight;
            if (probe && probe->Metrics().tmHeight > 0)
                em = static_cast<int>(std::lround(double(font.lfHeight) * font.lfHeight / probe->Metrics().tmHeight));
            face = FreeTypeFace::Open(file.path, file.index, em, weight);
        } else {
            face = FreeTypeFace::Open(file.path, file.index, font.lfHeight == 0 ? kDefaultEm : -font.lfHeight, weight);
        }
    }
    faces.emplace(key, face);
    return face;
}
