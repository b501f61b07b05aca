#pragma once
// Writes an icon image as an 8-bit RGBA PNG, its transparent pixels clear: the program icon
// files a desktop shows (the hicolor theme's sizes).

#include <string>

#include "platform/graphics/PixelArt.h"

class IconPng {
public:
    // Empty result on success, else what went wrong.
    static std::string Write(const PixelArt& icon, const std::string& path);
};
