#pragma once
// A device context: where drawing goes (a window's part of its top-level surface, or the bitmap
// selected into a memory context), through which clip, with which pen, brush, font and colours.
// Drawing coordinates are logical; device = logical + origin + viewport origin.

#include <memory>
#include <vector>

#include "platform/graphics/GdiObject.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

class DeviceContext {
public:
    // A context over part of a surface: `origin` is where logical (0, 0) lies on it, `visible`
    // (surface coordinates) what drawing may touch. `window` is the owner's handle, or null.
    static HDC CreateForSurface(std::shared_ptr<Surface> surface, POINT origin, const Region& visible, void* window);
    static HDC CreateMemory();
    static DeviceContext* Find(HDC hdc);
    static bool Destroy(HDC hdc);

    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    bool IsMemory() const { return memory_; }
    void* Window() const { return window_; }
    Surface* Target();
    POINT Offset() const { return {origin_.x + viewport.x, origin_.y + viewport.y}; }
    // The effective clip, in surface coordinates.
    const Region& Clip() const { return clip_; }

    HGDIOBJ Select(GdiObject* object);
    PenObject* Pen() const { return pen_; }
    BrushObject* Brush() const { return brush_; }
    FontObject* Font() const { return font_; }
    BitmapObject* Bitmap() const { return bitmap_; }

    // The application's clip, in surface coordinates; none means the whole visible area.
    void SetAppClip(const Region* region);
    const Region* AppClip() const { return hasAppClip_ ? &appClip_ : nullptr; }
    const Region& Visible() const { return visible_; }

    int Save();
    bool Restore(int level);

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    POINT current{0, 0};
    POINT viewport{0, 0};

    DeviceContext() = default;  // made by the Create functions only

private:
    void Recompute();
    template <class T>
    void Swap(GdiObject* object, T*& slot) {
        if (slot) --slot->selections;
        slot = static_cast<T*>(object);
        ++slot->selections;
    }

    struct State {
        PenObject* pen;
        BrushObject* brush;
        FontObject* font;
        COLORREF textColor, bkColor;
        int bkMode;
        POINT current, viewport;
        bool hasAppClip;
        Region appClip;
    };

    bool memory_ = false;
    void* window_ = nullptr;
    std::shared_ptr<Surface> surface_;
    POINT origin_{0, 0};
    Region visible_;
    Region appClip_;
    bool hasAppClip_ = false;
    Region clip_;
    PenObject* pen_ = nullptr;
    BrushObject* brush_ = nullptr;
    FontObject* font_ = nullptr;
    BitmapObject* bitmap_ = nullptr;
    std::vector<State> saved_;
};
