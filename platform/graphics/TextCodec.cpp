#include "platform/graphics/TextCodec.h"

namespace {

// Windows-1252's characters for bytes 0x80-0x9F; the rest of the high half is Latin-1.
constexpr char32_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

char32_t SingleByte(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b; }

// The code point of a valid UTF-8 sequence at `i`, and its length; 0 length when invalid.
char32_t Utf8At(std::string_view s, std::size_t i, std::size_t& length) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const auto invalid = [&] {
        length = 0;
        return char32_t{0};
    };
    const unsigned char c = b(i);
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        cp = c & 0x07;
    } else {
        return invalid();
    }
    if (i + length > s.size()) return invalid();
    for (std::size_t k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return invalid();
        cp = cp << 6 | (b(i + k) & 0x3F);
    }
    static const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return invalid();
    return cp;
}

}  // namespace

std::u32string TextCodec::Decode(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        if (c < 0x80) {
            out += c;
        } else if (char32_t cp = Utf8At(bytes, i, length); length) {
            out += cp;
        } else {
            length = 1;
            out += SingleByte(c);
        }
        i += length;
    }
    return out;
}

std::size_t TextCodec::CharLength(std::string_view bytes, std::size_t i) {
    if (i >= bytes.size()) return 0;
    if (static_cast<unsigned char>(bytes[i]) < 0x80) return 1;
    std::size_t length = 0;
    Utf8At(bytes, i, length);
    return length ? length : 1;
}

std::string TextCodec::EncodeUtf8(std::u32string_view chars) {
    std::string out;
    out.reserve(chars.size());
    for (char32_t c : chars) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
