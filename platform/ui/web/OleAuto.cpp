#include "OleAuto.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include "CodePage.h"

const IID IID_IDispatch = {0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// The length is kept before the text, as callers may hold embedded zeros.
BSTR SysAllocStringLen(const OLECHAR* psz, UINT cch)
{
    auto* p = static_cast<UINT*>(std::malloc(sizeof(UINT) * 2 + (cch + 1) * sizeof(OLECHAR)));
    if (!p)
        return nullptr;
    p[0] = cch;
    BSTR b = reinterpret_cast<BSTR>(p + 2);
    if (psz)
        std::wmemcpy(b, psz, cch);
    else
        std::wmemset(b, 0, cch);
    b[cch] = 0;
    return b;
}

BSTR SysAllocString(const OLECHAR* psz)
{
    return psz ? SysAllocStringLen(psz, (UINT)std::wcslen(psz)) : nullptr;
}

void SysFreeString(BSTR bstr)
{
    if (bstr)
        std::free(reinterpret_cast<UINT*>(bstr) - 2);
}

UINT SysStringLen(BSTR bstr)
{
    return bstr ? (reinterpret_cast<UINT*>(bstr) - 2)[0] : 0;
}

void VariantInit(VARIANT* pv)
{
    std::memset(pv, 0, sizeof *pv);
    pv->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* pv)
{
    if (!pv)
        return E_INVALIDARG;
    if (pv->vt == VT_BSTR)
        SysFreeString(pv->bstrVal);
    else if ((pv->vt == VT_DISPATCH || pv->vt == VT_UNKNOWN) && pv->punkVal)
        pv->punkVal->Release();
    VariantInit(pv);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* pDest, const VARIANT* pSrc)
{
    if (!pDest || !pSrc)
        return E_INVALIDARG;
    VARIANT tmp = *pSrc;
    if (tmp.vt == VT_BSTR)
        tmp.bstrVal = SysAllocStringLen(pSrc->bstrVal, SysStringLen(pSrc->bstrVal));
    else if ((tmp.vt == VT_DISPATCH || tmp.vt == VT_UNKNOWN) && tmp.punkVal)
        tmp.punkVal->AddRef();
    VariantClear(pDest);
    *pDest = tmp;
    return S_OK;
}

CString AfxVariantToAnsi(const VARIANT& v)
{
    char buf[64];
    switch (v.vt)
    {
    case VT_BSTR:
        return v.bstrVal ? CString(CCodePage::WideToAnsi(std::wstring(v.bstrVal, SysStringLen(v.bstrVal))).c_str())
                         : CString();
    case VT_BOOL:
        return v.boolVal ? "true" : "false";
    case VT_I4:
        std::snprintf(buf, sizeof buf, "%d", (int)v.lVal);
        return buf;
    case VT_R8:
        std::snprintf(buf, sizeof buf, "%.15g", v.dblVal);
        return buf;
    default:
        return CString();
    }
}
