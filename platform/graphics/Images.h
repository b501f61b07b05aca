#pragma once
// Bitmaps and icons from the program's resources, and drawing icons.

#include "platform/graphics/GdiTypes.h"

struct COLORMAP {
    COLORREF from;
    COLORREF to;
};

constexpr UINT DI_MASK = 0x1;
constexpr UINT DI_IMAGE = 0x2;
constexpr UINT DI_NORMAL = 0x3;

// The resource bitmap `name` (MAKEINTRESOURCEA(id)) as a new bitmap; null when there is none.
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
// The bitmap with its colours replaced as `map` says; with no map, black, dark grey, light grey
// and white become the button text, shadow, face and highlight colours.
HBITMAP CreateMappedBitmap(HINSTANCE instance, std::intptr_t id, UINT flags, const COLORMAP* map, int mapCount);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
BOOL DestroyIcon(HICON icon);
// `width` and `height` 0: the icon's own (largest) size.
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH background, UINT flags);
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
