#include "platform/graphics/PixelArt.h"

#include <cstdlib>
#include <map>
#include <sstream>

PixelArt PixelArt::Parse(std::string_view text, std::string& error) {
    PixelArt art;
    std::istringstream in{std::string(text)};
    std::string line;
    int width = -1, height = -1, row = 0;
    std::map<char, std::int64_t> palette;  // -1: transparent
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        line = line.substr(start);
        const std::string where = "line " + std::to_string(number) + ": ";
        if (width < 0) {
            std::istringstream size(line);
            if (!(size >> width >> height) || width <= 0 || height <= 0) {
                error = where + "the size (width height) was expected";
                return art;
            }
            art.image = Surface(width, height);
            art.transparent.assign(static_cast<std::size_t>(width) * height, 0);
            continue;
        }
        if (line.rfind("color ", 0) == 0) {
            if (line.size() < 8 || line[7] != ' ') {
                error = where + "\"color <key> <RRGGBB|none>\" was expected";
                return art;
            }
            const std::string value = line.substr(8);
            char* end = nullptr;
            const long rgb = std::strtol(value.c_str(), &end, 16);
            if (value == "none")
                palette[line[6]] = -1;
            else if (value.size() == 6 && *end == '\0')
                palette[line[6]] = rgb;
            else {
                error = where + "a colour is RRGGBB or none";
                return art;
            }
            continue;
        }
        if (row >= height || static_cast<int>(line.size()) != width) {
            error = where + "a row of " + std::to_string(width) + " keys was expected";
            return art;
        }
        for (int x = 0; x < width; ++x) {
            auto key = palette.find(line[x]);
            if (key == palette.end()) {
                error = where + "the key '" + std::string(1, line[x]) + "' has no colour";
                return art;
            }
            if (key->second < 0)
                art.transparent[static_cast<std::size_t>(row) * width + x] = 1;
            else
                art.image.Row(row)[x] = static_cast<std::uint32_t>(key->second);
        }
        ++row;
    }
    if (width < 0 || row != height)
        error = "the image has " + std::to_string(row) + " of its " + std::to_string(height) + " rows";
    return art;
}
