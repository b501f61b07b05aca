#pragma once
// Writes a surface as a PNG file (8-bit RGB): the headless driver's snapshots.

#include <string>

#include "platform/graphics/Surface.h"

class PngFile {
public:
    // Empty result on success, else what went wrong.
    static std::string Write(const Surface& surface, const std::string& path);
};
