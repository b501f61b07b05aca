#include "resources/ContactSheet.h"

#include <algorithm>
#include <vector>

#include "platform/graphics/Gdi.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/PixelArt.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"

namespace {

constexpr int kSheetWidth = 1040, kMargin = 12, kGap = 8, kLabelHeight = 16;
constexpr std::uint32_t kMask = 0xC0C0C0, kWhite = 0xFFFFFF, kSheetBack = 0xECECEC;

struct Tile {
    std::string label;
    PixelArt art;
    bool bitmap = false;
    std::string_view text;
    POINT at{};
};

bool Clear(const Tile& t, int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * t.art.image.Width() + x;
    return t.art.transparent[i] || (t.bitmap && t.art.image.At(x, y) == kMask);
}

int TileWidth(const Tile& t) { return 2 * t.art.image.Width() * (1 + ContactSheet::kZoom) + 5 * kGap; }
int TileHeight(const Tile& t) { return kLabelHeight + t.art.image.Height() * ContactSheet::kZoom; }

std::uint32_t Channels(std::uint32_t p, int (*f)(int)) {
    return std::uint32_t(f((p >> 16) & 0xFF)) << 16 | std::uint32_t(f((p >> 8) & 0xFF)) << 8 | f(p & 0xFF);
}

// The menus' looks of a toolbar picture: normal darkens every channel by 50; disabled lightens the
// grey by 100 and mixes it 86 : 14 with the menu colour.
PixelArt MenuVariant(const PixelArt& hot, bool disabled) {
    PixelArt out = hot;
    const std::uint32_t bar = Surface::PixelOf(GetSysColor(COLOR_MENU));
    for (int y = 0; y < out.image.Height(); ++y) {
        for (int x = 0; x < out.image.Width(); ++x) {
            std::uint32_t& p = out.image.Row(y)[x];
            if (p == kMask) continue;
            if (!disabled) {
                p = Channels(p, [](int c) { return c * (255 - 50) / 255; });
                continue;
            }
            const int grey = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            const int light = grey + (255 - grey) * 100 / 255;
            auto mix = [light](int b) { return (light * 86 + b * 14) / 100; };
            p = std::uint32_t(mix((bar >> 16) & 0xFF)) << 16 | std::uint32_t(mix((bar >> 8) & 0xFF)) << 8 |
                mix(bar & 0xFF);
        }
    }
    return out;
}

void Paint(Surface& sheet, const Tile& t, int left, int top, int zoom, std::uint32_t back) {
    for (int y = 0; y < t.art.image.Height(); ++y)
        for (int x = 0; x < t.art.image.Width(); ++x) {
            const RECT cell{left + x * zoom, top + y * zoom, left + (x + 1) * zoom, top + (y + 1) * zoom};
            sheet.Fill(cell, Clear(t, x, y) ? back : t.art.image.At(x, y));
        }
}

// Places tiles left to right, a new row when the next one does not fit; returns the height used.
int Place(std::vector<Tile>& tiles) {
    int x = kMargin, y = kMargin, rowHeight = 0;
    for (Tile& t : tiles) {
        if (x > kMargin && x + TileWidth(t) > kSheetWidth - kMargin) {
            x = kMargin;
            y += rowHeight + kGap * 2;
            rowHeight = 0;
        }
        t.at = {x, y};
        x += TileWidth(t) + kGap * 3;
        rowHeight = std::max(rowHeight, TileHeight(t));
    }
    return y + rowHeight + kMargin;
}

}  // namespace

Surface ContactSheet::Render(std::span<const ImageResource> images, std::string& error) {
    std::vector<Tile> tiles;
    for (const ImageResource& image : images) {
        // A text registered under a second id is shown once, with both ids.
        auto same = std::find_if(tiles.begin(), tiles.end(), [&](const Tile& t) { return t.text == image.text; });
        if (same != tiles.end()) {
            same->label.insert(same->label.find(' '), ", " + std::to_string(image.id));
            continue;
        }
        Tile t{std::to_string(image.id) + "  " + std::string(image.name), PixelArt::Parse(image.text, error),
               image.kind == ImageKind::Bitmap, image.text};
        if (!error.empty()) {
            error = std::string(image.name) + ": " + error;
            return {};
        }
        tiles.push_back(std::move(t));
        if (image.kind == ImageKind::Bitmap && image.id == 135) {
            const PixelArt hot = tiles.back().art;
            tiles.push_back({"135 as a menu draws it", MenuVariant(hot, false), true, {}});
            tiles.push_back({"135 greyed by a menu", MenuVariant(hot, true), true, {}});
        }
    }
    const int height = Place(tiles);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kSheetWidth, height);
    const auto object = GdiObject::FindAs<BitmapObject>(bitmap, GdiKind::Bitmap);
    if (!dc || !object) {
        DeleteObject(bitmap);
        DeleteDC(dc);
        error = "cannot make a bitmap for the sheet";
        return {};
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    Surface& sheet = object->surface;
    sheet.Fill({0, 0, kSheetWidth, height}, kSheetBack);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const std::uint32_t face = Surface::PixelOf(GetSysColor(COLOR_BTNFACE));
    for (const Tile& t : tiles) {
        TextOutA(dc, t.at.x, t.at.y, t.label.c_str(), static_cast<int>(t.label.size()));
        const int w = t.art.image.Width(), top = t.at.y + kLabelHeight;
        // At its own size, each on a pad a few pixels wider, then enlarged.
        int x = t.at.x;
        for (std::uint32_t back : {face, kWhite}) {
            sheet.Fill({x, top, x + w + kGap, top + t.art.image.Height() + kGap}, back);
            Paint(sheet, t, x + kGap / 2, top + kGap / 2, 1, back);
            x += w + kGap + kGap / 2;
        }
        for (std::uint32_t back : {face, kWhite}) {
            Paint(sheet, t, x, top, kZoom, back);
            x += w * kZoom + kGap;
        }
    }
    Surface result = sheet;
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}
