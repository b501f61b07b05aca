#include "platform/graphics/ResourceImages.h"

#include <map>
#include <mutex>

#include "platform/graphics/ObjectTable.h"
#include "platform/kernel/Immortal.h"

namespace {

struct Resources {
    std::mutex lock;
    std::map<int, std::shared_ptr<const PixelArt>> bitmaps;
    std::map<int, std::vector<PixelArt>> icons;
    ObjectTable<IconObject> liveIcons{3};  // has its own lock
};

Resources& All() {
    static Immortal<Resources> resources;
    return *resources;
}

}  // namespace

std::string ResourceImages::AddBitmap(int id, std::string_view pixelArt) {
    std::string error;
    PixelArt art = PixelArt::Parse(pixelArt, error);
    if (!error.empty()) return "bitmap " + std::to_string(id) + ": " + error;
    // A bitmap has no transparency of its own: "none" stands for the usual mask colour.
    for (int y = 0; y < art.image.Height(); ++y)
        for (int x = 0; x < art.image.Width(); ++x)
            if (art.transparent[static_cast<std::size_t>(y) * art.image.Width() + x]) art.image.Row(y)[x] = 0xC0C0C0;
    std::lock_guard guard(All().lock);
    All().bitmaps[id] = std::make_shared<const PixelArt>(std::move(art));
    return {};
}

std::string ResourceImages::AddIcon(int id, std::string_view pixelArt) {
    std::string error;
    PixelArt art = PixelArt::Parse(pixelArt, error);
    if (!error.empty()) return "icon " + std::to_string(id) + ": " + error;
    std::lock_guard guard(All().lock);
    All().icons[id].push_back(std::move(art));
    return {};
}

std::shared_ptr<const PixelArt> ResourceImages::Bitmap(int id) {
    std::lock_guard guard(All().lock);
    auto it = All().bitmaps.find(id);
    return it == All().bitmaps.end() ? nullptr : it->second;
}

std::vector<PixelArt> ResourceImages::Icon(int id) {
    std::lock_guard guard(All().lock);
    auto it = All().icons.find(id);
    return it == All().icons.end() ? std::vector<PixelArt>{} : it->second;
}

PixelArt IconObject::Sized(int width, int height) const {
    const PixelArt* best = nullptr;
    for (const PixelArt& s : sizes) {
        if (s.image.Width() == width && s.image.Height() == height) return s;
        if (!best || s.image.Width() > best->image.Width()) best = &s;
    }
    PixelArt scaled;
    if (!best || width <= 0 || height <= 0) return scaled;
    scaled.image = Surface(width, height);
    scaled.transparent.assign(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = x * best->image.Width() / width, sy = y * best->image.Height() / height;
            scaled.image.Row(y)[x] = best->image.At(sx, sy);
            scaled.transparent[static_cast<std::size_t>(y) * width + x] =
                best->transparent[static_cast<std::size_t>(sy) * best->image.Width() + sx];
        }
    }
    return scaled;
}

HICON IconObject::Adopt(std::unique_ptr<IconObject> icon) {
    return reinterpret_cast<HICON>(All().liveIcons.Insert(std::move(icon)));
}

std::shared_ptr<IconObject> IconObject::Find(HICON icon) {
    return All().liveIcons.Find(reinterpret_cast<std::uintptr_t>(icon));
}

bool IconObject::Destroy(HICON icon) {
    return All().liveIcons.Remove(reinterpret_cast<std::uintptr_t>(icon), [](const IconObject&) { return true; }) !=
           nullptr;
}
