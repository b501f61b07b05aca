#pragma once
// The viewer's texts are byte strings: UTF-8 where they are valid UTF-8 (as the service stores
// them), and single bytes of the Windows-1252 code page where not.

#include <string>
#include <string_view>

class TextCodec {
public:
    static std::u32string Decode(std::string_view bytes);
    // How many bytes the character at `i` takes as Decode reads it: 2 to 4 for a valid UTF-8
    // sequence, else 1 (0 at the end).
    static std::size_t CharLength(std::string_view bytes, std::size_t i);
    static std::string EncodeUtf8(std::u32string_view chars);
};
