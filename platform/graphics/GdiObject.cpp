#include "platform/graphics/GdiObject.h"

#include "platform/graphics/FontFace.h"
#include "platform/graphics/ObjectTable.h"
#include "platform/kernel/Immortal.h"

namespace {

ObjectTable<GdiObject>& Objects() {
    static Immortal<ObjectTable<GdiObject>> objects(1);
    return *objects;
}

std::uintptr_t ValueOf(HGDIOBJ handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

FontObject::FontObject(const LOGFONTA& font, bool stock) : GdiObject(GdiKind::Font, stock), logFont(font) {}

HGDIOBJ GdiObject::Adopt(std::unique_ptr<GdiObject> object) {
    if (!object) return nullptr;
    GdiObject& adopted = *object;
    // Nobody can look the object up before this returns its handle.
    adopted.handle_ = reinterpret_cast<HGDIOBJ>(Objects().Insert(std::move(object)));
    return adopted.handle_;
}

std::shared_ptr<GdiObject> GdiObject::Find(HGDIOBJ handle) { return Objects().Find(ValueOf(handle)); }

bool GdiObject::Delete(HGDIOBJ handle) {
    const auto removed = Objects().Remove(ValueOf(handle), [](const GdiObject& o) {
        return !o.IsStock() && o.selections.load(std::memory_order_acquire) == 0;
    });
    return removed != nullptr;
}
