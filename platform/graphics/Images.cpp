#include "platform/graphics/Images.h"

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/Painter.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"

namespace {

int IdOf(LPCSTR name) { return IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<std::uintptr_t>(name)) : -1; }

}  // namespace

HBITMAP LoadBitmapA(HINSTANCE, LPCSTR name) {
    const auto art = ResourceImages::Bitmap(IdOf(name));
    if (!art) return nullptr;
    auto bitmap = std::make_unique<BitmapObject>(art->image.Width(), art->image.Height());
    bitmap->surface = art->image;
    return GdiObject::Adopt(std::move(bitmap));
}

HBITMAP CreateMappedBitmap(HINSTANCE instance, std::intptr_t id, UINT, const COLORMAP* map, int mapCount) {
    HBITMAP handle = LoadBitmapA(instance, MAKEINTRESOURCEA(static_cast<WORD>(id)));
    const auto bitmap = GdiObject::FindAs<BitmapObject>(handle, GdiKind::Bitmap);
    if (!bitmap) return nullptr;
    const COLORMAP defaults[] = {{RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
                                 {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
                                 {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
                                 {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)}};
    if (!map) {
        map = defaults;
        mapCount = 4;
    }
    Surface& s = bitmap->surface;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            std::uint32_t& p = s.Row(y)[x];
            for (int i = 0; i < mapCount; ++i) {
                if (p == Surface::PixelOf(map[i].from)) {
                    p = Surface::PixelOf(map[i].to);
                    break;
                }
            }
        }
    }
    return handle;
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    std::vector<PixelArt> sizes = ResourceImages::Icon(IdOf(name));
    if (sizes.empty()) return nullptr;
    auto icon = std::make_unique<IconObject>();
    icon->sizes = std::move(sizes);
    return IconObject::Adopt(std::move(icon));
}

BOOL DestroyIcon(HICON icon) { return IconObject::Destroy(icon) ? TRUE : FALSE; }

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH background, UINT flags) {
    const auto dc = DeviceContext::Find(hdc);
    const auto object = IconObject::Find(icon);
    if (!dc || !object || object->sizes.empty()) return FALSE;
    if (width <= 0 || height <= 0) {
        width = object->sizes.front().image.Width();
        height = object->sizes.front().image.Height();
        for (const PixelArt& s : object->sizes) {
            width = std::max(width, s.image.Width());
            height = std::max(height, s.image.Height());
        }
    }
    const PixelArt art = object->Sized(width, height);
    Painter p(*dc);
    COLORREF fill;
    if (background && Painter::BrushColor(background, fill)) p.Fill(RECT{x, y, x + width, y + height}, fill);
    if (flags & DI_IMAGE) p.Image(art.image, art.transparent.data(), x, y);
    return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) { return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }
