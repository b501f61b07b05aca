#include "platform/graphics/PngFile.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileClose {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string PngFile::Write(const Surface& surface, const std::string& path) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    if (!file) return "cannot create " + path;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "cannot start a PNG";
    }
    std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
    // libpng reports errors by longjmp; nothing owning resources lives between here and the end.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "cannot write " + path;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.Height(); ++y) {
        const std::uint32_t* in = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(in[x] >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(in[x] >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(in[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return {};
}
