// resource-png: the artwork as PNG files.
//
//   resource-png icons DIR      icon 128 as DIR/NxN/apps/quillbridge-log-viewer.png, N = 16, 32, 48, 64
//                               (the hicolor theme's layout)
//   resource-png sheet FILE     every image on one contact sheet (docs/images/artwork.png)

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/graphics/PngFile.h"
#include "resources/ContactSheet.h"
#include "resources/IconPng.h"
#include "resources/ImageResources.h"

namespace {

constexpr int kProgramIcon = 128;

int Fail(const std::string& what) {
    std::fprintf(stderr, "resource-png: %s\n", what.c_str());
    return 1;
}

int WriteProgramIcons(const std::filesystem::path& dir) {
    int written = 0;
    for (const ImageResource& image : ImageResources()) {
        if (image.kind != ImageKind::Icon || image.id != kProgramIcon) continue;
        std::string error;
        const PixelArt art = PixelArt::Parse(image.text, error);
        if (!error.empty()) return Fail(std::string(image.name) + ": " + error);
        const std::string size = std::to_string(art.image.Width()) + "x" + std::to_string(art.image.Height());
        const std::filesystem::path folder = dir / size / "apps";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) return Fail("cannot create " + folder.string() + ": " + ec.message());
        error = IconPng::Write(art, (folder / "quillbridge-log-viewer.png").string());
        if (!error.empty()) return Fail(error);
        ++written;
    }
    return written == 0 ? Fail("there is no program icon") : 0;
}

int WriteSheet(const std::string& file) {
    std::string error;
    const Surface sheet = ContactSheet::Render(ImageResources(), error);
    if (error.empty()) error = PngFile::Write(sheet, file);
    return error.empty() ? 0 : Fail(error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "icons") == 0) return WriteProgramIcons(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "sheet") == 0) return WriteSheet(argv[2]);
    std::fprintf(stderr, "usage: resource-png icons DIR | resource-png sheet FILE\n");
    return 2;
}
