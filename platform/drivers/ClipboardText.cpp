#include "platform/drivers/ClipboardText.h"

#include <array>

#include "platform/graphics/TextCodec.h"

namespace {

// The characters of the text with each line end (CR LF, CR, LF) made one LF.
std::u32string WithLineFeeds(std::string_view text) {
    std::u32string chars = TextCodec::Decode(text), out;
    out.reserve(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == U'\r') {
            if (i + 1 < chars.size() && chars[i + 1] == U'\n') ++i;
            out += U'\n';
        } else {
            out += chars[i];
        }
    }
    return out;
}

// Windows-1252's byte for a character; -1 when it has none.
int Windows1252Of(char32_t c) {
    static const std::array<char32_t, 128> high = [] {
        std::array<char32_t, 128> table{};
        for (int b = 0x80; b <= 0xFF; ++b) table[b - 0x80] = TextCodec::Decode(std::string(1, static_cast<char>(b)))[0];
        return table;
    }();
    if (c < 0x80) return static_cast<int>(c);
    for (int b = 0; b < 128; ++b)
        if (high[b] == c) return b + 0x80;
    return -1;
}

}  // namespace

std::string ClipboardText::ToUtf8(std::string_view text) { return TextCodec::EncodeUtf8(WithLineFeeds(text)); }

std::string ClipboardText::ToLatin1(std::string_view text) {
    std::string out;
    for (char32_t c : WithLineFeeds(text)) out += c <= 0xFF ? static_cast<char>(c) : '?';
    return out;
}

std::string ClipboardText::FromDesktop(std::string_view bytes, bool latin1) {
    std::u32string chars;
    if (latin1) {
        for (char b : bytes) chars += static_cast<unsigned char>(b);
    } else {
        chars = TextCodec::Decode(bytes);
    }
    std::u32string text;
    text.reserve(chars.size() + chars.size() / 32);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == 0) continue;  // our texts end at a NUL
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') ++i;
            text += U"\r\n";
        } else {
            text += c;
        }
    }
    std::string single;
    single.reserve(text.size());
    for (char32_t c : text) {
        const int b = Windows1252Of(c);
        if (b < 0) return TextCodec::EncodeUtf8(text);
        single += static_cast<char>(b);
    }
    // Bytes that happen to form UTF-8 would be read back as other characters.
    return TextCodec::Decode(single) == text ? single : TextCodec::EncodeUtf8(text);
}
