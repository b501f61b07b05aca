#include "platform/graphics/DeviceContext.h"

#include "platform/graphics/ObjectTable.h"
#include "platform/graphics/StockObjects.h"
#include "platform/kernel/Immortal.h"

namespace {

ObjectTable<DeviceContext>& Contexts() {
    static Immortal<ObjectTable<DeviceContext>> contexts(2);
    return *contexts;
}

std::uintptr_t ValueOf(HDC hdc) { return reinterpret_cast<std::uintptr_t>(hdc); }

std::shared_ptr<GdiObject> Stock(int which) { return GdiObject::Find(StockObjects::Get(which)); }

// Takes a bitmap for one context: false when another context holds it.
bool TakeBitmap(BitmapObject& bitmap) {
    if (bitmap.IsStock()) return true;
    int free = 0;
    return bitmap.selections.compare_exchange_strong(free, 1, std::memory_order_acq_rel);
}

}  // namespace

HDC DeviceContext::Register(std::unique_ptr<DeviceContext> dc) {
    dc->Select(Stock(BLACK_PEN));
    dc->Select(Stock(WHITE_BRUSH));
    dc->Select(Stock(SYSTEM_FONT));
    if (dc->memory_) dc->Select(GdiObject::Find(StockObjects::Bitmap()));
    dc->Recompute();
    return reinterpret_cast<HDC>(Contexts().Insert(std::move(dc)));
}

HDC DeviceContext::CreateForSurface(std::shared_ptr<Surface> surface, POINT origin, const Region& visible,
                                    void* window) {
    auto dc = std::make_unique<DeviceContext>();
    dc->surface_ = std::move(surface);
    dc->origin_ = origin;
    dc->visible_ = visible;
    dc->window_ = window;
    return Register(std::move(dc));
}

HDC DeviceContext::CreateMemory() {
    auto dc = std::make_unique<DeviceContext>();
    dc->memory_ = true;
    return Register(std::move(dc));
}

std::shared_ptr<DeviceContext> DeviceContext::Find(HDC hdc) { return Contexts().Find(ValueOf(hdc)); }

bool DeviceContext::Destroy(HDC hdc) {
    return Contexts().Remove(ValueOf(hdc), [](const DeviceContext&) { return true; }) != nullptr;
}

DeviceContext::~DeviceContext() {
    for (State& s : saved_) {
        s.pen->Drop();
        s.brush->Drop();
        s.font->Drop();
    }
    if (pen_) pen_->Drop();
    if (brush_) brush_->Drop();
    if (font_) font_->Drop();
    if (bitmap_) bitmap_->Drop();
}

Surface* DeviceContext::Target() { return memory_ ? (bitmap_ ? &bitmap_->surface : nullptr) : surface_.get(); }

HGDIOBJ DeviceContext::Select(std::shared_ptr<GdiObject> object) {
    if (!object) return nullptr;
    switch (object->Kind()) {
        case GdiKind::Pen:
            return Swap(std::move(object), pen_);
        case GdiKind::Brush:
            return Swap(std::move(object), brush_);
        case GdiKind::Font:
            return Swap(std::move(object), font_);
        case GdiKind::Bitmap: {
            if (!memory_) return nullptr;  // only memory contexts take bitmaps
            auto& bitmap = static_cast<BitmapObject&>(*object);
            if (object == bitmap_) return bitmap.Handle();
            if (!TakeBitmap(bitmap)) return nullptr;  // one context at a time
            visible_.Set(RECT{0, 0, bitmap.surface.Width(), bitmap.surface.Height()});
            std::shared_ptr<BitmapObject> previous =
                std::exchange(bitmap_, std::static_pointer_cast<BitmapObject>(std::move(object)));
            Recompute();
            if (!previous) return nullptr;
            previous->Drop();
            return previous->Handle();
        }
        case GdiKind::Region:
            SetAppClip(&static_cast<RegionObject&>(*object).region);
            return reinterpret_cast<HGDIOBJ>(
                static_cast<std::intptr_t>(clip_.Rects().size() > 1 ? COMPLEXREGION : SIMPLEREGION));
    }
    return nullptr;
}

void DeviceContext::SetAppClip(const Region* region) {
    hasAppClip_ = region != nullptr;
    if (region)
        appClip_ = *region;
    else
        appClip_.Clear();
    Recompute();
}

void DeviceContext::Recompute() {
    clip_ = visible_;
    if (hasAppClip_) clip_.Intersect(appClip_);
}

int DeviceContext::Save() {
    saved_.push_back(State{pen_, brush_, font_, textColor, bkColor, bkMode, current, viewport, hasAppClip_, appClip_});
    pen_->Hold();
    brush_->Hold();
    font_->Hold();
    return static_cast<int>(saved_.size());
}

bool DeviceContext::Restore(int level) {
    if (level < 0) level = static_cast<int>(saved_.size()) + level + 1;
    if (level < 1 || level > static_cast<int>(saved_.size())) return false;
    while (static_cast<int>(saved_.size()) >= level) {
        State s = std::move(saved_.back());
        saved_.pop_back();
        Select(s.pen);
        Select(s.brush);
        Select(s.font);
        s.pen->Drop();
        s.brush->Drop();
        s.font->Drop();
        textColor = s.textColor;
        bkColor = s.bkColor;
        bkMode = s.bkMode;
        current = s.current;
        viewport = s.viewport;
        hasAppClip_ = s.hasAppClip;
        appClip_ = std::move(s.appClip);
    }
    Recompute();
    return true;
}
