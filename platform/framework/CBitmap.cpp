#include "platform/framework/CBitmap.h"

#include "platform/framework/CDC.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Images.h"

IMPLEMENT_DYNCREATE(CBitmap, CGdiObject)

BOOL CBitmap::LoadBitmap(UINT id) { return Attach(LoadBitmapA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(id)))); }

BOOL CBitmap::LoadMappedBitmap(UINT id) { return Attach(CreateMappedBitmap(nullptr, id, 0, nullptr, 0)); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}
