#pragma once
// The viewer's texts are byte strings: UTF-8 where they are valid UTF-8 (as the service stores
// them), and single bytes of the Windows-1252 code page where not.

#include <string>
#include <string_view>

class TextCodec {
public:
    static std::u32string Decode(std::string_view bytes);
};
