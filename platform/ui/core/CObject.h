// CObject and the run-time class records of the framework (DECLARE_DYNAMIC / DYNCREATE).
#pragma once

#include "WinTypes.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

class CObject;

struct CRuntimeClass
{
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();  // NULL for classes that cannot be created dynamically
    CRuntimeClass* (*m_pfnGetBaseClass)();

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }
    static CRuntimeClass classCObject;
    static CRuntimeClass* _GetBaseClass() { return nullptr; }

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define PARVEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew) \
    static CRuntimeClass* _##class_name##_GetBase() { return RUNTIME_CLASS(base_class_name); } \
    CRuntimeClass class_name::class##class_name = { #class_name, (int)sizeof(class class_name), pfnNew, \
                                                    &_##class_name##_GetBase }; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    PARVEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    PARVEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)

#define DYNAMIC_DOWNCAST(class_name, object) \
    ((object) && (object)->IsKindOf(RUNTIME_CLASS(class_name)) ? static_cast<class_name*>(object) : nullptr)

PARVEL_UI_END_EXPORTS
