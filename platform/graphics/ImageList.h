#pragma once
// Image lists: rows of equal-sized images, each with its transparent pixels, drawn by index.

#include "platform/graphics/GdiTypes.h"

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
// Adds as many images as `image` is wide; `mask` (may be null) is white where transparent.
// Returns the index of the first one added, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Adds the images of `image`, its pixels of colour `mask` transparent.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// `index` -1 adds the icon (at the list's size); else replaces that image.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
// -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int index);
// ILD_TRANSPARENT (or a background of CLR_NONE) leaves transparent pixels alone; ILD_NORMAL
// fills them with the background colour; ILD_MASK draws the mask (black opaque, white clear).
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style);
// Linux extension: the image's opaque pixels in one colour (the stamp of disabled and shadowed
// icons in menus).
BOOL ImageList_DrawMonochrome(HIMAGELIST list, int index, HDC hdc, int x, int y, COLORREF color);
