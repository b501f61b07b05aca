#pragma once
// The class record behind RUNTIME_CLASS: a class's name, size, base and, for classes made on
// demand (a splitter's views, a template's document and frame), the factory that makes one.

#include <memory>

#include "platform/kernel/WinTypes.h"

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    std::unique_ptr<CObject> (*m_pfnCreateObject)();  // null: not creatable
    const CRuntimeClass* m_pBaseClass;

    // A new object of the class, or null when it is not dynamically creatable.
    std::unique_ptr<CObject> CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};
