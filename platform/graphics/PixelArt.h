#pragma once
// Images kept as text, so that a change of artwork reads in a diff:
//
//   16 15               width and height
//   color . C0C0C0      one line per key: a character and RRGGBB, or "none" (transparent)
//   color k 000000
//   ................    height rows of width keys
//
// Lines starting with '#' are comments.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Surface.h"

struct PixelArt {
    Surface image;
    std::vector<std::uint8_t> transparent;  // one byte a pixel: 1 where the key was "none"

    // Empty `error` on success.
    static PixelArt Parse(std::string_view text, std::string& error);
};
