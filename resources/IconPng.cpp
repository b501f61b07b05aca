#include "resources/IconPng.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileClose {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The whole image as RGBA bytes, rows top to bottom.
std::vector<png_byte> Rgba(const PixelArt& icon) {
    const int width = icon.image.Width(), height = icon.image.Height();
    std::vector<png_byte> bytes;
    bytes.reserve(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = icon.image.At(x, y);
            const bool clear = icon.transparent[static_cast<std::size_t>(y) * width + x] != 0;
            bytes.push_back(clear ? 0 : static_cast<png_byte>(p >> 16));
            bytes.push_back(clear ? 0 : static_cast<png_byte>(p >> 8));
            bytes.push_back(clear ? 0 : static_cast<png_byte>(p));
            bytes.push_back(clear ? 0 : 255);
        }
    }
    return bytes;
}

}  // namespace

std::string IconPng::Write(const PixelArt& icon, const std::string& path) {
    const int width = icon.image.Width(), height = icon.image.Height();
    if (width <= 0 || icon.transparent.size() != static_cast<std::size_t>(width) * height) return "not an icon image";
    const std::vector<png_byte> bytes = Rgba(icon);
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    if (!file) return "cannot create " + path;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "cannot start a PNG";
    }
    // libpng reports errors by longjmp; everything that owns memory was made before this point.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "cannot write " + path;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, &bytes[static_cast<std::size_t>(y) * width * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    // A full disk may show only when the last block is flushed.
    if (std::fclose(file.release()) != 0) return "cannot write " + path;
    return {};
}
