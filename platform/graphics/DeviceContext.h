#pragma once
// A device context: where drawing goes (a window's part of its top-level surface, or the bitmap
// selected into a memory context), through which clip, with which pen, brush, font and colours.
// Drawing coordinates are logical; device = logical + origin + viewport origin.
//
// A context is used by one thread at a time, as on the platform; its handle (ObjectTable) and the
// objects it holds are safe to look up and release from any thread.

#include <memory>
#include <utility>
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
    static std::shared_ptr<DeviceContext> Find(HDC hdc);
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

    // Selects an object; the handle of the one it replaces (for a region: the clip's complexity).
    HGDIOBJ Select(std::shared_ptr<GdiObject> object);
    PenObject* Pen() const { return pen_.get(); }
    BrushObject* Brush() const { return brush_.get(); }
    FontObject* Font() const { return font_.get(); }
    BitmapObject* Bitmap() const { return bitmap_.get(); }

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
    static HDC Register(std::unique_ptr<DeviceContext> dc);
    void Recompute();
    template <class T>
    HGDIOBJ Swap(std::shared_ptr<GdiObject> object, std::shared_ptr<T>& slot) {
        object->Hold();
        std::shared_ptr<T> previous = std::exchange(slot, std::static_pointer_cast<T>(std::move(object)));
        if (!previous) return nullptr;
        previous->Drop();
        return previous->Handle();
    }

    struct State {
        std::shared_ptr<PenObject> pen;
        std::shared_ptr<BrushObject> brush;
        std::shared_ptr<FontObject> font;
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
    std::shared_ptr<PenObject> pen_;
    std::shared_ptr<BrushObject> brush_;
    std::shared_ptr<FontObject> font_;
    std::shared_ptr<BitmapObject> bitmap_;
    std::vector<State> saved_;
};
