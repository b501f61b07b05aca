// The artwork: every image parses and has its sizes, the toolbar strips hold six distinct pictures
// in agreeing looks, icons are clear around their shapes, and the program icon files keep that.

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/graphics/ResourceImages.h"
#include "resources/IconPng.h"
#include "resources/ImageResources.h"
#include "tests/support/TempDirectory.h"

namespace {

constexpr int kPictureWidth = 16, kPictureHeight = 15, kPictures = 6;
constexpr std::uint32_t kMask = 0xC0C0C0;

struct Expected {
    int id;
    std::vector<int> sizes;  // icons: square sizes in registration order; bitmaps: none
};

const std::vector<Expected> kBitmaps = {{128, {}}, {135, {}}, {138, {}}, {139, {}}};
const std::vector<Expected> kIcons = {
    {128, {16, 32, 48, 64}}, {129, {16, 32}}, {153, {16}}, {154, {16}}, {155, {16}}, {156, {16}}};

PixelArt Strip(int id) {
    EXPECT_EQ(RegisterImageResources(), "");
    const auto art = ResourceImages::Bitmap(id);
    if (!art) ADD_FAILURE() << "no bitmap " << id;
    return art ? *art : PixelArt{};
}

std::uint32_t Pixel(const PixelArt& strip, int picture, int x, int y) {
    return strip.image.At(picture * kPictureWidth + x, y);
}

// Where a picture is not the mask colour.
std::vector<bool> Shape(const PixelArt& strip, int picture) {
    std::vector<bool> shape;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) shape.push_back(Pixel(strip, picture, x, y) != kMask);
    return shape;
}

bool Grey(std::uint32_t p) { return (p >> 16 & 0xFF) == (p >> 8 & 0xFF) && (p >> 8 & 0xFF) == (p & 0xFF); }

}  // namespace

TEST(ImageResources, EveryImageIsRegisteredOnceAtItsSizes) {
    for (const ImageResource& image : ImageResources()) {
        std::string error;
        PixelArt::Parse(image.text, error);
        EXPECT_EQ(error, "") << image.name;
    }
    ASSERT_EQ(RegisterImageResources(), "");
    ASSERT_EQ(RegisterImageResources(), "") << "a second registration answers like the first";
    for (const Expected& e : kBitmaps) {
        const auto art = ResourceImages::Bitmap(e.id);
        ASSERT_NE(art, nullptr) << e.id;
        EXPECT_EQ(art->image.Width(), kPictures * kPictureWidth) << e.id;
        EXPECT_EQ(art->image.Height(), kPictureHeight) << e.id;
    }
    for (const Expected& e : kIcons) {
        std::vector<int> sizes;
        for (const PixelArt& art : ResourceImages::Icon(e.id)) {
            EXPECT_EQ(art.image.Width(), art.image.Height()) << e.id;
            sizes.push_back(art.image.Width());
        }
        EXPECT_EQ(sizes, e.sizes) << "icon " << e.id << ", registered twice";
    }
}

TEST(ImageResources, ToolbarStripsHoldSixDistinctPictures) {
    for (const Expected& e : kBitmaps) {
        const PixelArt strip = Strip(e.id);
        ASSERT_EQ(strip.image.Width(), kPictures * kPictureWidth);
        std::set<std::vector<std::uint32_t>> pictures;
        for (int p = 0; p < kPictures; ++p) {
            std::vector<std::uint32_t> pixels;
            for (int y = 0; y < kPictureHeight; ++y)
                for (int x = 0; x < kPictureWidth; ++x) pixels.push_back(Pixel(strip, p, x, y));
            const auto blank = std::count(pixels.begin(), pixels.end(), kMask);
            EXPECT_LT(blank, kPictureWidth * kPictureHeight * 4 / 5) << e.id << " picture " << p << " is nearly empty";
            pictures.insert(pixels);
        }
        EXPECT_EQ(pictures.size(), static_cast<std::size_t>(kPictures)) << e.id;
    }
}

TEST(ImageResources, ToolbarLooksAgree) {
    const PixelArt hot = Strip(135);
    const PixelArt normal = Strip(138);
    const PixelArt disabled = Strip(139);
    ASSERT_EQ(disabled.image.Width(), hot.image.Width());
    std::vector<std::string> wrong;  // the first few pixels that break a rule
    auto check = [&wrong](bool ok, int p, int x, int y, const char* what) {
        if (!ok && wrong.size() < 8)
            wrong.push_back("picture " + std::to_string(p) + " (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") " + what);
    };
    for (int p = 0; p < kPictures; ++p) {
        EXPECT_EQ(Shape(normal, p), Shape(hot, p)) << "picture " << p << ": the normal look has the hot one's shape";
        const std::vector<bool> shape = Shape(hot, p);
        auto inShape = [&](int x, int y) {
            return x >= 0 && y >= 0 && shape[static_cast<std::size_t>(y) * kPictureWidth + x];
        };
        for (int y = 0; y < kPictureHeight; ++y) {
            for (int x = 0; x < kPictureWidth; ++x) {
                // Colours the toolbar maps to the button colours appear only in their roles.
                for (const PixelArt* look : {&hot, &normal}) {
                    const std::uint32_t c = Pixel(*look, p, x, y);
                    check(c != 0x000000 && c != 0x808080 && c != 0xFFFFFF, p, x, y, "follows a button colour");
                }
                const std::uint32_t d = Pixel(disabled, p, x, y);
                check(Grey(d), p, x, y, "is not grey when disabled");
                // Disabled pictures are the hot shapes, with the emboss one pixel down and right.
                check(d == kMask || inShape(x, y) || (d == 0xFFFFFF && inShape(x - 1, y - 1)), p, x, y,
                      "lies outside the hot shape when disabled");
            }
        }
    }
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

TEST(ImageResources, IconsAreClearAroundTheirShapes) {
    ASSERT_EQ(RegisterImageResources(), "");
    for (const Expected& e : kIcons) {
        for (const PixelArt& art : ResourceImages::Icon(e.id)) {
            const int n = art.image.Width();
            auto clear = [&](int x, int y) { return art.transparent[static_cast<std::size_t>(y) * n + x] != 0; };
            const std::string which = "icon " + std::to_string(e.id) + " at " + std::to_string(n);
            EXPECT_TRUE(clear(0, 0) && clear(n - 1, 0) && clear(0, n - 1) && clear(n - 1, n - 1)) << which;
            int opaque = 0;
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) opaque += clear(x, y) ? 0 : 1;
            EXPECT_GT(opaque, n * n / 3) << which << " is mostly empty";
            EXPECT_LT(opaque, n * n) << which;
        }
    }
}

TEST(ImageResources, ProgramIconFilesKeepTheirTransparency) {
    ASSERT_EQ(RegisterImageResources(), "");
    TempDirectory dir;
    for (const PixelArt& art : ResourceImages::Icon(128)) {
        const int n = art.image.Width();
        const std::string path = dir.File("icon-" + std::to_string(n) + ".png");
        ASSERT_EQ(IconPng::Write(art, path), "");

        png_image read{};
        read.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&read, path.c_str())) << read.message;
        read.format = PNG_FORMAT_RGBA;
        std::vector<png_byte> rgba(PNG_IMAGE_SIZE(read));
        ASSERT_TRUE(png_image_finish_read(&read, nullptr, rgba.data(), 0, nullptr)) << read.message;
        ASSERT_EQ(static_cast<int>(read.width), n);
        ASSERT_EQ(static_cast<int>(read.height), n);
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const png_byte* p = &rgba[(static_cast<std::size_t>(y) * n + x) * 4];
                if (art.transparent[static_cast<std::size_t>(y) * n + x]) {
                    ASSERT_EQ(p[3], 0) << n << ": (" << x << ", " << y << ")";
                    continue;
                }
                const std::uint32_t c = art.image.At(x, y);
                ASSERT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}),
                          (std::vector<int>{int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF), 255}))
                    << n << ": (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_NE(IconPng::Write(ResourceImages::Icon(128).front(), dir.File("missing/icon.png")), "");
    EXPECT_NE(IconPng::Write(PixelArt{}, dir.File("empty.png")), "") << "an image without pixels";
}
