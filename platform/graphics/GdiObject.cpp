#include "platform/graphics/GdiObject.h"

#include <mutex>
#include <unordered_map>

#include "platform/graphics/FontFace.h"
#include "platform/kernel/Immortal.h"

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<GdiObject*, std::unique_ptr<GdiObject>> objects;
};

Registry& Objects() {
    static Immortal<Registry> registry;
    return *registry;
}

}  // namespace

FontObject::FontObject(const LOGFONTA& font, bool stock) : GdiObject(GdiKind::Font, stock), logFont(font) {}

HGDIOBJ GdiObject::Adopt(std::unique_ptr<GdiObject> object) {
    if (!object) return nullptr;
    HGDIOBJ handle = object->Handle();
    std::lock_guard guard(Objects().lock);
    Objects().objects.emplace(object.get(), std::move(object));
    return handle;
}

GdiObject* GdiObject::Find(HGDIOBJ handle) {
    auto* key = reinterpret_cast<GdiObject*>(handle);
    std::lock_guard guard(Objects().lock);
    auto it = Objects().objects.find(key);
    return it == Objects().objects.end() ? nullptr : it->second.get();
}

bool GdiObject::Delete(HGDIOBJ handle) {
    std::unique_ptr<GdiObject> doomed;
    {
        std::lock_guard guard(Objects().lock);
        auto it = Objects().objects.find(reinterpret_cast<GdiObject*>(handle));
        if (it == Objects().objects.end() || it->second->IsStock() || it->second->selections > 0) return false;
        doomed = std::move(it->second);
        Objects().objects.erase(it);
    }
    return true;
}
