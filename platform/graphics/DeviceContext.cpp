#include "platform/graphics/DeviceContext.h"

#include <mutex>
#include <unordered_map>

#include "platform/graphics/StockObjects.h"
#include "platform/kernel/Immortal.h"

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<DeviceContext*, std::unique_ptr<DeviceContext>> contexts;
};

Registry& Contexts() {
    static Immortal<Registry> registry;
    return *registry;
}

GdiObject* Stock(int which) { return GdiObject::Find(StockObjects::Get(which)); }

}  // namespace

HDC DeviceContext::CreateForSurface(std::shared_ptr<Surface> surface, POINT origin, const Region& visible,
                                    void* window) {
    auto dc = std::make_unique<DeviceContext>();
    dc->surface_ = std::move(surface);
    dc->origin_ = origin;
    dc->visible_ = visible;
    dc->window_ = window;
    dc->Select(Stock(BLACK_PEN));
    dc->Select(Stock(WHITE_BRUSH));
    dc->Select(Stock(SYSTEM_FONT));
    dc->Recompute();
    HDC handle = reinterpret_cast<HDC>(dc.get());
    std::lock_guard guard(Contexts().lock);
    Contexts().contexts.emplace(dc.get(), std::move(dc));
    return handle;
}

HDC DeviceContext::CreateMemory() {
    HDC hdc = CreateForSurface(nullptr, POINT{0, 0}, Region(), nullptr);
    DeviceContext* dc = Find(hdc);
    dc->memory_ = true;
    dc->Select(GdiObject::Find(StockObjects::Bitmap()));
    return hdc;
}

DeviceContext* DeviceContext::Find(HDC hdc) {
    std::lock_guard guard(Contexts().lock);
    auto it = Contexts().contexts.find(reinterpret_cast<DeviceContext*>(hdc));
    return it == Contexts().contexts.end() ? nullptr : it->second.get();
}

bool DeviceContext::Destroy(HDC hdc) {
    std::unique_ptr<DeviceContext> doomed;
    {
        std::lock_guard guard(Contexts().lock);
        auto it = Contexts().contexts.find(reinterpret_cast<DeviceContext*>(hdc));
        if (it == Contexts().contexts.end()) return false;
        doomed = std::move(it->second);
        Contexts().contexts.erase(it);
    }
    return true;
}

DeviceContext::~DeviceContext() {
    for (State& s : saved_) {
        --s.pen->selections;
        --s.brush->selections;
        --s.font->selections;
    }
    for (GdiObject* o : {static_cast<GdiObject*>(pen_), static_cast<GdiObject*>(brush_), static_cast<GdiObject*>(font_),
                         static_cast<GdiObject*>(bitmap_)})
        if (o) --o->selections;
}

Surface* DeviceContext::Target() { return memory_ ? (bitmap_ ? &bitmap_->surface : nullptr) : surface_.get(); }

HGDIOBJ DeviceContext::Select(GdiObject* object) {
    if (!object) return nullptr;
    GdiObject* previous = nullptr;
    switch (object->Kind()) {
        case GdiKind::Pen:
            previous = pen_;
            Swap(object, pen_);
            break;
        case GdiKind::Brush:
            previous = brush_;
            Swap(object, brush_);
            break;
        case GdiKind::Font:
            previous = font_;
            Swap(object, font_);
            break;
        case GdiKind::Bitmap: {
            if (!memory_ && !bitmap_) return nullptr;  // only memory contexts take bitmaps
            auto* bitmap = static_cast<BitmapObject*>(object);
            if (bitmap->selections > 0 && bitmap != bitmap_ && !bitmap->IsStock()) return nullptr;  // one DC at a time
            previous = bitmap_;
            Swap(object, bitmap_);
            visible_.Set(RECT{0, 0, bitmap->surface.Width(), bitmap->surface.Height()});
            Recompute();
            break;
        }
        case GdiKind::Region:
            SetAppClip(&static_cast<RegionObject*>(object)->region);
            return reinterpret_cast<HGDIOBJ>(
                static_cast<std::intptr_t>(clip_.Rects().size() > 1 ? COMPLEXREGION : SIMPLEREGION));
    }
    return previous ? previous->Handle() : nullptr;
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
    ++pen_->selections;
    ++brush_->selections;
    ++font_->selections;
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
        --s.pen->selections;
        --s.brush->selections;
        --s.font->selections;
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
