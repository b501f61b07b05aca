#pragma once
// Drawing objects behind the handles: pens, brushes, fonts, bitmaps and regions. A handle is the
// object's address, checked against the live objects before use, so that a stale or foreign
// handle is refused instead of followed.

#include <memory>
#include <string>

#include "platform/graphics/GdiTypes.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

class FontFace;

enum class GdiKind { Pen, Brush, Font, Bitmap, Region };

class GdiObject {
public:
    GdiObject(GdiKind kind, bool stock) : kind_(kind), stock_(stock) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    GdiKind Kind() const { return kind_; }
    bool IsStock() const { return stock_; }
    HGDIOBJ Handle() { return reinterpret_cast<HGDIOBJ>(this); }

    // Device contexts that have it selected; it cannot be deleted meanwhile.
    int selections = 0;

    // Registers an object and gives its handle.
    static HGDIOBJ Adopt(std::unique_ptr<GdiObject> object);
    // The live object of a handle, of the kind asked for; null otherwise.
    static GdiObject* Find(HGDIOBJ handle);
    template <class T>
    static T* FindAs(HGDIOBJ handle, GdiKind kind) {
        GdiObject* o = Find(handle);
        return o && o->Kind() == kind ? static_cast<T*>(o) : nullptr;
    }
    // Deletes a registered object: false for a stock object, one still selected, or no object.
    static bool Delete(HGDIOBJ handle);

private:
    GdiKind kind_;
    bool stock_;
};

struct PenObject : GdiObject {
    PenObject(int style, int width, COLORREF color, bool stock = false)
        : GdiObject(GdiKind::Pen, stock), style(style), width(width < 1 ? 1 : width), color(color) {}
    int style;
    int width;
    COLORREF color;
};

struct BrushObject : GdiObject {
    BrushObject(COLORREF color, bool hollow, bool stock = false)
        : GdiObject(GdiKind::Brush, stock), color(color), hollow(hollow) {}
    COLORREF color;
    bool hollow;
};

struct FontObject : GdiObject {
    FontObject(const LOGFONTA& logFont, bool stock = false);
    LOGFONTA logFont;
    std::shared_ptr<FontFace> face;  // the rendering face, found when first used
};

struct BitmapObject : GdiObject {
    BitmapObject(int width, int height, bool stock = false)
        : GdiObject(GdiKind::Bitmap, stock), surface(width, height) {}
    Surface surface;
};

struct RegionObject : GdiObject {
    explicit RegionObject(const RECT& r) : GdiObject(GdiKind::Region, false), region(r) {}
    Region region;
};
