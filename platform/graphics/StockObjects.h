#pragma once
// The stock pens, brushes and fonts, and the system-colour brushes: made once, never deleted.

#include "platform/graphics/GdiTypes.h"

class StockObjects {
public:
    // Null for an index that names no stock object.
    static HGDIOBJ Get(int which);
    // The one-pixel bitmap a fresh memory context holds.
    static HBITMAP Bitmap();
    // A brush of the system colour `index`, as GetSysColorBrush gives it.
    static HBRUSH SystemColorBrush(int index);
    // That brush takes the system colour's new value; its handle stays.
    static void RecolorSystemBrush(int index, COLORREF color);
};
