#pragma once
// A bitmap.

#include "platform/framework/CGdiObject.h"

class CDC;

class CBitmap : public CGdiObject {
    DECLARE_DYNCREATE(CBitmap)

public:
    // The program's bitmap resource `id`.
    BOOL LoadBitmap(UINT id);
    // The resource with black, dark grey, light grey and white mapped to the button colours.
    BOOL LoadMappedBitmap(UINT id);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
    operator HBITMAP() const { return m_hObject; }
    static CBitmap* FromHandle(HBITMAP bitmap) { return FromHandleAs<CBitmap>(bitmap); }
};
