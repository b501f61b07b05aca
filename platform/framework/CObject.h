#pragma once
// The root of the framework's classes: run-time class records, kind tests, and the macros that
// give a class its record (DECLARE_DYNAMIC) and a factory (DECLARE_DYNCREATE, which needs a
// public default constructor).

#include <memory>

#include "platform/framework/CRuntimeClass.h"

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)               \
public:                                           \
    static const CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static std::unique_ptr<CObject> CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, factory)                 \
    const CRuntimeClass class_name::class##class_name {                                  \
#class_name, sizeof(class_name), 0xFFFF, factory, RUNTIME_CLASS(base_class_name) \
    };                                                                                   \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    std::unique_ptr<CObject> class_name::CreateObject() { return std::make_unique<class_name>(); } \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)

class CObject {
public:
    virtual ~CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* cls) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define DYNAMIC_DOWNCAST(class_name, object) dynamic_cast<class_name*>(object)
#define STATIC_DOWNCAST(class_name, object) static_cast<class_name*>(object)
