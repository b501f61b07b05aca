#include "platform/graphics/ImageList.h"

#include <memory>
#include <utility>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/ObjectTable.h"
#include "platform/graphics/Painter.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/kernel/Immortal.h"

namespace {

struct ImageListObject {
    int width = 0;
    int height = 0;
    UINT flags = 0;
    COLORREF background = CLR_NONE;
    std::vector<PixelArt> images;
};

ObjectTable<ImageListObject>& All() {
    static Immortal<ObjectTable<ImageListObject>> lists(4);
    return *lists;
}

std::shared_ptr<ImageListObject> Find(HIMAGELIST list) { return All().Find(reinterpret_cast<std::uintptr_t>(list)); }

// The images of a strip `source` (as wide as some images), transparent where `isClear` says.
template <class Clear>
int AddStrip(ImageListObject& list, const Surface& source, Clear isClear) {
    const int count = list.width > 0 ? source.Width() / list.width : 0;
    if (count == 0) return -1;
    const int first = static_cast<int>(list.images.size());
    const bool masked = list.flags & ILC_MASK;
    for (int i = 0; i < count; ++i) {
        PixelArt image;
        image.image = Surface(list.width, list.height);
        image.transparent.assign(static_cast<std::size_t>(list.width) * list.height, 0);
        for (int y = 0; y < list.height && y < source.Height(); ++y) {
            for (int x = 0; x < list.width; ++x) {
                image.image.Row(y)[x] = source.At(i * list.width + x, y);
                if (masked && isClear(i * list.width + x, y))
                    image.transparent[static_cast<std::size_t>(y) * list.width + x] = 1;
            }
        }
        list.images.push_back(std::move(image));
    }
    return first;
}

}  // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int) {
    if (width <= 0 || height <= 0) return nullptr;
    auto list = std::make_unique<ImageListObject>();
    list->width = width;
    list->height = height;
    list->flags = flags;
    list->images.reserve(initial > 0 ? static_cast<std::size_t>(initial) : 0);
    return reinterpret_cast<HIMAGELIST>(All().Insert(std::move(list)));
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    const auto removed =
        All().Remove(reinterpret_cast<std::uintptr_t>(list), [](const ImageListObject&) { return true; });
    return removed ? TRUE : FALSE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    const auto l = Find(list);
    return l ? static_cast<int>(l->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height) {
    const auto l = Find(list);
    if (!l || !width || !height) return FALSE;
    *width = l->width;
    *height = l->height;
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
    const auto l = Find(list);
    return l ? std::exchange(l->background, color) : CLR_NONE;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
    const auto l = Find(list);
    return l ? l->background : CLR_NONE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    const auto l = Find(list);
    const auto bitmap = GdiObject::FindAs<BitmapObject>(image, GdiKind::Bitmap);
    const auto maskBitmap = GdiObject::FindAs<BitmapObject>(mask, GdiKind::Bitmap);
    if (!l || !bitmap) return -1;
    return AddStrip(*l, bitmap->surface, [&](int x, int y) {
        return maskBitmap && x < maskBitmap->surface.Width() && y < maskBitmap->surface.Height() &&
               maskBitmap->surface.At(x, y) != 0;
    });
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
    const auto l = Find(list);
    const auto bitmap = GdiObject::FindAs<BitmapObject>(image, GdiKind::Bitmap);
    if (!l || !bitmap) return -1;
    const std::uint32_t clear = Surface::PixelOf(mask);
    return AddStrip(*l, bitmap->surface, [&](int x, int y) { return bitmap->surface.At(x, y) == clear; });
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
    const auto l = Find(list);
    const auto i = IconObject::Find(icon);
    if (!l || !i || index < -1 || index >= static_cast<int>(l->images.size())) return -1;
    PixelArt image = i->Sized(l->width, l->height);
    if (index == -1) {
        l->images.push_back(std::move(image));
        return static_cast<int>(l->images.size()) - 1;
    }
    l->images[static_cast<std::size_t>(index)] = std::move(image);
    return index;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
    const auto l = Find(list);
    if (!l || index < -1 || index >= static_cast<int>(l->images.size())) return FALSE;
    if (index == -1)
        l->images.clear();
    else
        l->images.erase(l->images.begin() + index);
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style) {
    const auto l = Find(list);
    const auto dc = DeviceContext::Find(hdc);
    if (!l || !dc || index < 0 || index >= static_cast<int>(l->images.size())) return FALSE;
    const PixelArt& image = l->images[static_cast<std::size_t>(index)];
    Painter p(*dc);
    if (style & ILD_MASK) {
        p.Fill(RECT{x, y, x + l->width, y + l->height}, RGB(255, 255, 255));
        p.Stamp(image.image, image.transparent.data(), x, y, RGB(0, 0, 0));
        return TRUE;
    }
    if (!(style & ILD_TRANSPARENT) && l->background != CLR_NONE)
        p.Fill(RECT{x, y, x + l->width, y + l->height}, l->background);
    p.Image(image.image, image.transparent.data(), x, y);
    return TRUE;
}

BOOL ImageList_DrawMonochrome(HIMAGELIST list, int index, HDC hdc, int x, int y, COLORREF color) {
    const auto l = Find(list);
    const auto dc = DeviceContext::Find(hdc);
    if (!l || !dc || index < 0 || index >= static_cast<int>(l->images.size())) return FALSE;
    const PixelArt& image = l->images[static_cast<std::size_t>(index)];
    Painter(*dc).Stamp(image.image, image.transparent.data(), x, y, color);
    return TRUE;
}
