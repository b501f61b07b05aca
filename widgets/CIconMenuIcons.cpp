#include "widgets/CIconMenuIcons.h"

#include <algorithm>

#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/Surface.h"
#include "platform/kernel/Immortal.h"
#include "widgets/IconMenuColors.h"

namespace {

// A table longer than this is taken as unterminated.
constexpr std::size_t kMaxCommands = 1024;
constexpr int kMaxIconSize = 256;
constexpr DWORD kRebuildInterval = 2000;

struct Sets {
    std::vector<std::unique_ptr<CIconMenuIcons>> list;
    bool rebuilt = false;
    DWORD lastRebuild = 0;
    bool pending = false;  // a change came too soon after the last rebuild
};

// Never destroyed: menus of other static objects may release their sets while the process exits.
Sets& TheSets() {
    static Immortal<Sets> sets;
    return *sets;
}

// The table up to and with its 0, or empty when it is malformed.
std::vector<WORD> CopyTable(const WORD* table) {
    if (!table || table[0] == 0 || table[1] == 0 || table[2] == 0 || table[1] > kMaxIconSize ||
        table[2] > kMaxIconSize)
        return {};
    std::vector<WORD> copy(table, table + 3);
    for (std::size_t i = 3; i < 3 + kMaxCommands; ++i) {
        copy.push_back(table[i]);
        if (table[i] == 0) return copy;
    }
    return {};
}

// The three looks of one pixel.
void Looks(COLORREF c, COLORREF bar, COLORREF out[3]) {
    out[0] = c;
    out[1] = IconMenuColors::Darken(50, c);
    out[2] = IconMenuColors::Mix(IconMenuColors::Lighten(100, IconMenuColors::Grey(c)), bar);
}

}  // namespace

CIconMenuIcons::CIconMenuIcons(std::vector<WORD> table, COLORREF mask)
    : table_(std::move(table)), mask_(mask), width_(table_[1]), height_(table_[2]) {
    for (std::size_t i = 3; table_[i] != 0; ++i) commands_.push_back(table_[i]);
}

CIconMenuIcons::~CIconMenuIcons() {
    if (images_) ImageList_Destroy(images_);
}

CIconMenuIcons* CIconMenuIcons::Get(const WORD* table, COLORREF mask) {
    std::vector<WORD> copy = CopyTable(table);
    if (copy.empty()) return nullptr;
    Sets& sets = TheSets();
    for (const auto& set : sets.list)
        if (set->table_ == copy && set->mask_ == mask) return set.get();
    std::unique_ptr<CIconMenuIcons> set(new CIconMenuIcons(std::move(copy), mask));
    if (!set->Rebuild()) return nullptr;
    sets.list.push_back(std::move(set));
    return sets.list.back().get();
}

std::vector<CIconMenuIcons*> CIconMenuIcons::All() {
    std::vector<CIconMenuIcons*> all;
    for (const auto& set : TheSets().list) all.push_back(set.get());
    return all;
}

void CIconMenuIcons::DropUnused() {
    std::erase_if(TheSets().list, [](const auto& set) { return set->references_ <= 0; });
}

bool CIconMenuIcons::RebuildAll(DWORD now) {
    Sets& sets = TheSets();
    if (RebuildDelay(now) > 0) {
        sets.pending = true;
        return false;
    }
    sets.rebuilt = true;
    sets.lastRebuild = now;
    sets.pending = false;
    for (const auto& set : sets.list) set->Rebuild();
    return true;
}

bool CIconMenuIcons::RebuildPending() { return TheSets().pending; }

DWORD CIconMenuIcons::RebuildDelay(DWORD now) {
    const Sets& sets = TheSets();
    const DWORD since = now - sets.lastRebuild;
    return sets.rebuilt && since < kRebuildInterval ? kRebuildInterval - since : 0;
}

void CIconMenuIcons::Release() {
    if (--references_ > 0) return;
    auto& list = TheSets().list;
    auto it = std::find_if(list.begin(), list.end(), [this](const auto& set) { return set.get() == this; });
    if (it != list.end()) list.erase(it);  // frees this
}

int CIconMenuIcons::Find(UINT command) const {
    const int pictures = images_ ? ImageList_GetImageCount(images_) / 3 : 0;
    for (int k = 0; k < pictures && k < static_cast<int>(commands_.size()); ++k)
        if (commands_[static_cast<std::size_t>(k)] == command) return 3 * k;
    return -1;
}

bool CIconMenuIcons::Rebuild() {
    const HBITMAP bitmap = LoadBitmapA(instance_, MAKEINTRESOURCEA(table_[0]));
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || !bm.bmBits) {
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    const int count = std::min(bm.bmWidth / width_, static_cast<int>(commands_.size()));
    if (count <= 0) {
        DeleteObject(bitmap);
        return false;
    }
    // One strip of 3 x count images, each picture followed by its two looks, and its mask.
    const int stripWidth = 3 * count * width_;
    std::vector<std::uint32_t> colors(static_cast<std::size_t>(stripWidth) * height_, 0);
    std::vector<std::uint32_t> clear(colors.size(), 0);
    const auto* bits = static_cast<const std::uint32_t*>(bm.bmBits);
    const COLORREF bar = IconMenuColors::BarColor();
    for (int k = 0; k < count; ++k) {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const bool inside = y < bm.bmHeight;
                const COLORREF c = inside ? Surface::ColorOf(bits[y * bm.bmWidth + k * width_ + x]) : 0;
                const bool transparent = !inside || (mask_ != CLR_DEFAULT && c == mask_);
                COLORREF looks[3];
                Looks(c, bar, looks);
                for (int look = 0; look < 3; ++look) {
                    const std::size_t at = static_cast<std::size_t>(y) * stripWidth + (3 * k + look) * width_ + x;
                    colors[at] = Surface::PixelOf(looks[look]);
                    clear[at] = transparent ? 0xFFFFFF : 0;
                }
            }
        }
    }
    DeleteObject(bitmap);
    const HBITMAP image = CreateBitmap(stripWidth, height_, 1, 32, colors.data());
    const HBITMAP mask = CreateBitmap(stripWidth, height_, 1, 32, clear.data());
    HIMAGELIST list = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 3 * count, 0);
    const bool added = list && image && mask && ImageList_Add(list, image, mask) == 0;
    if (image) DeleteObject(image);
    if (mask) DeleteObject(mask);
    if (!added) {
        if (list) ImageList_Destroy(list);
        return false;
    }
    if (images_) ImageList_Destroy(images_);
    images_ = list;
    return true;
}
