#include "platform/framework/CGdiObject.h"

#include <unordered_map>

#include "platform/graphics/Gdi.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)

namespace {

struct Maps {
    std::unordered_map<HGDIOBJ, CGdiObject*> permanent;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>> temporary;
};
thread_local Maps tMaps;

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (!object || m_hObject) return FALSE;
    m_hObject = object;
    tMaps.permanent[object] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    if (object) {
        const auto it = tMaps.permanent.find(object);
        if (it != tMaps.permanent.end() && it->second == this) tMaps.permanent.erase(it);
    }
    m_hObject = nullptr;
    stock_ = false;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    const bool stock = stock_;
    HGDIOBJ object = Detach();
    return stock ? TRUE : ::DeleteObject(object);
}

int CGdiObject::GetObject(int size, void* out) const { return m_hObject ? GetObjectA(m_hObject, size, out) : 0; }

BOOL CGdiObject::CreateStockObject(int index) {
    if (!Attach(GetStockObject(index))) return FALSE;
    stock_ = true;
    return TRUE;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) { return FromHandleAs<CGdiObject>(object); }

CGdiObject* CGdiObject::FromHandlePermanent(HGDIOBJ object) {
    const auto it = tMaps.permanent.find(object);
    return it == tMaps.permanent.end() ? nullptr : it->second;
}

CGdiObject* CGdiObject::Temporary(HGDIOBJ object, bool (*fits)(CGdiObject*), std::unique_ptr<CGdiObject> (*make)()) {
    auto& temporary = tMaps.temporary[object];
    if (!temporary || !fits(temporary.get())) {
        if (temporary) temporary->m_hObject = nullptr;
        temporary = make();
        temporary->m_hObject = object;
    }
    return temporary.get();
}

void CGdiObject::DeleteTempMap() {
    auto doomed = std::move(tMaps.temporary);
    tMaps.temporary.clear();
    for (auto& [object, wrapper] : doomed) wrapper->m_hObject = nullptr;
}
