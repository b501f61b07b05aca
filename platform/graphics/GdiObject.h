#pragma once
// Drawing objects behind the handles: pens, brushes, fonts, bitmaps and regions. A handle names a
// slot of the live objects and the slot's generation (ObjectTable): a stale or foreign handle is
// refused, also after a new object took the freed one's slot. Lookups share ownership, so that a
// DeleteObject on one thread does not free what another is drawing with.

#include <atomic>
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
    HGDIOBJ Handle() const { return handle_; }

    // Selections in device contexts (and their saved states); it cannot be deleted meanwhile.
    // Stock objects are never deleted and not counted: every context selects them.
    std::atomic<int> selections{0};
    void Hold() {
        if (!stock_) selections.fetch_add(1, std::memory_order_relaxed);
    }
    void Drop() {
        if (!stock_) selections.fetch_sub(1, std::memory_order_acq_rel);
    }

    // Registers an object and gives its handle.
    static HGDIOBJ Adopt(std::unique_ptr<GdiObject> object);
    // The live object of a handle; null otherwise.
    static std::shared_ptr<GdiObject> Find(HGDIOBJ handle);
    // ...of the kind asked for.
    template <class T>
    static std::shared_ptr<T> FindAs(HGDIOBJ handle, GdiKind kind) {
        std::shared_ptr<GdiObject> o = Find(handle);
        return o && o->Kind() == kind ? std::static_pointer_cast<T>(std::move(o)) : nullptr;
    }
    // Deletes a registered object: false for a stock object, one still selected, or no object.
    static bool Delete(HGDIOBJ handle);

private:
    GdiKind kind_;
    bool stock_;
    HGDIOBJ handle_ = nullptr;  // set once, when adopted
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
    std::atomic<COLORREF> color;  // a system colour's brush changes with the scheme
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
