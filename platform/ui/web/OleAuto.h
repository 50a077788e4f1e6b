// Automation values and dispatch objects as the browser layer hands them around: BSTR text in
// wide characters, VARIANT with the kinds the pages use, IDispatch with names and dispatch ids.
#pragma once

#include "Picture.h"
#include "CString.h"
#include "WebExport.h"

PARVEL_WEB_BEGIN_EXPORTS

typedef wchar_t OLECHAR;
typedef OLECHAR* BSTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* LPOLESTR;
typedef short VARIANT_BOOL;
typedef unsigned short VARTYPE;
typedef LONG DISPID;
typedef DWORD LCID;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

enum VARENUM
{
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_VARIANT = 12,
};

#define E_NOTIMPL ((HRESULT)(int32_t)0x80004001u)
#define E_UNEXPECTED ((HRESULT)(int32_t)0x8000FFFFu)
#define DISP_E_UNKNOWNNAME ((HRESULT)(int32_t)0x80020006u)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)(int32_t)0x80020003u)
#define DISP_E_EXCEPTION ((HRESULT)(int32_t)0x80020009u)
#define DISP_E_BADPARAMCOUNT ((HRESULT)(int32_t)0x8002000Eu)
// The callee cannot take the call now (a page waiting in its own external call); try later.
#define RPC_E_SERVERCALL_RETRYLATER ((HRESULT)(int32_t)0x8001010Au)
// The callee took the call but gave no answer in time.
#define RPC_E_TIMEOUT ((HRESULT)(int32_t)0x8001011Fu)
#define DISPID_UNKNOWN ((DISPID)-1)

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2

struct IDispatch;

struct VARIANT
{
    VARTYPE vt;
    union
    {
        LONG lVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IDispatch* pdispVal;
        IUnknown* punkVal;
    };
};
typedef VARIANT VARIANTARG;

struct DISPPARAMS
{
    VARIANTARG* rgvarg;           // last argument first
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO
{
    WORD wCode;
    BSTR bstrSource;
    BSTR bstrDescription;
    HRESULT scode;
};

extern const IID IID_IDispatch;
extern const IID IID_NULL;

struct IDispatch : IUnknown
{
    // One name at a time is all the browser layer asks.
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
};
typedef IDispatch* LPDISPATCH;

BSTR SysAllocString(const OLECHAR* psz);
BSTR SysAllocStringLen(const OLECHAR* psz, UINT cch);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);

void VariantInit(VARIANT* pv);
HRESULT VariantClear(VARIANT* pv);
HRESULT VariantCopy(VARIANT* pDest, const VARIANT* pSrc);

// A VARIANT that clears itself.
class COleVariant : public VARIANT
{
public:
    COleVariant() { VariantInit(this); }
    COleVariant(const COleVariant& o) { VariantInit(this); VariantCopy(this, &o); }
    COleVariant& operator=(const COleVariant& o) { if (this != &o) VariantCopy(this, &o); return *this; }
    ~COleVariant() { VariantClear(this); }
    void Clear() { VariantClear(this); }
};

// Text of a variant in the ANSI code page (strings as they are, numbers and booleans written out).
CString AfxVariantToAnsi(const VARIANT& v);

PARVEL_WEB_END_EXPORTS
