#pragma once
// The base of the drawing-object wrappers: owns its handle (deleted with the object) unless it
// was detached. FromHandle gives the wrapper that owns a handle, else a temporary one.

#include "platform/framework/CObject.h"
#include "platform/graphics/GdiTypes.h"

class CGdiObject : public CObject {
    DECLARE_DYNCREATE(CGdiObject)

public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    ~CGdiObject() override;

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, void* out) const;
    BOOL CreateStockObject(int index);  // stock objects are never deleted

    static CGdiObject* FromHandle(HGDIOBJ object);
    static void DeleteTempMap();

protected:
    // The owner of `object` if it is a T, else a temporary T for it.
    template <class T>
    static T* FromHandleAs(HGDIOBJ object) {
        if (!object) return nullptr;
        if (auto* owner = dynamic_cast<T*>(FromHandlePermanent(object))) return owner;
        return static_cast<T*>(Temporary(
            object, [](CGdiObject* o) { return dynamic_cast<T*>(o) != nullptr; },
            []() -> std::unique_ptr<CGdiObject> { return std::make_unique<T>(); }));
    }

private:
    static CGdiObject* FromHandlePermanent(HGDIOBJ object);
    static CGdiObject* Temporary(HGDIOBJ object, bool (*fits)(CGdiObject*), std::unique_ptr<CGdiObject> (*make)());
    bool stock_ = false;
};
