// The page's document object and its script object.
#include <webkit2/webkit2.h>
#include <cstring>
#include <map>
#include <vector>
#include "HtmlDocument.h"
#include "CRefCounted.h"
#include "HtmlViewHost.h"
#include "CodePage.h"

const IID IID_IHTMLDocument2 = {0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};

SAFEARRAY* SafeArrayCreateVector(VARTYPE, LONG, ULONG cElements)
{
    auto* p = new SAFEARRAY{(UINT)cElements, new VARIANT[cElements ? cElements : 1]};
    for (ULONG i = 0; i < cElements; ++i)
        VariantInit(&p->pvData[i]);
    return p;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData)
{
    if (!psa || !ppvData)
        return E_INVALIDARG;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa)
{
    return psa ? S_OK : E_INVALIDARG;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa)
{
    if (!psa)
        return S_OK;
    for (UINT i = 0; i < psa->cElements; ++i)
        VariantClear(&psa->pvData[i]);
    delete[] psa->pvData;
    delete psa;
    return S_OK;
}

namespace
{
// Binds an object to one page of one view.
struct CPageRef
{
    std::shared_ptr<CHostToken> token;
    CHtmlView::CHost* pHost;
    unsigned nPage;
    CHtmlView::CHost* Live() const
    {
        return token->bAlive && pHost->m_nPage == nPage ? pHost : nullptr;
    }
};

void FillVariant(JSCValue* value, VARIANT* pv)
{
    VariantInit(pv);
    if (!value || jsc_value_is_undefined(value) || jsc_value_is_null(value))
        return;
    if (jsc_value_is_boolean(value))
    {
        pv->vt = VT_BOOL;
        pv->boolVal = jsc_value_to_boolean(value) ? VARIANT_TRUE : VARIANT_FALSE;
    }
    else if (jsc_value_is_number(value))
    {
        double d = jsc_value_to_double(value);
        if (d == (double)(int32_t)d)
        {
            pv->vt = VT_I4;
            pv->lVal = (LONG)d;
        }
        else
        {
            pv->vt = VT_R8;
            pv->dblVal = d;
        }
    }
    else
    {
        char* s = jsc_value_to_string(value);
        std::wstring w = CCodePage::Utf8ToWide(s ? s : "");
        g_free(s);
        pv->vt = VT_BSTR;
        pv->bstrVal = SysAllocStringLen(w.data(), (UINT)w.size());
    }
}

// The page's global functions: GetIDsOfNames finds one, Invoke calls it with string arguments.
class CScriptObject : public CRefCounted<IDispatch>
{
public:
    explicit CScriptObject(const CPageRef& page) : m_page(page) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch)
        {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) override
    {
        if (!rgszNames || !rgDispId || cNames != 1)
            return E_INVALIDARG;
        rgDispId[0] = DISPID_UNKNOWN;
        CHtmlView::CHost* pHost = m_page.Live();
        if (!pHost)
            return E_UNEXPECTED;
        std::string name = CCodePage::WideToUtf8(rgszNames[0] ? rgszNames[0] : L"");
        JSCValue* value = nullptr;
        HRESULT hr = S_OK;
        // A page that cannot answer now may well have the function: the caller tries later.
        if (!pHost->Evaluate("typeof window[" + AfxJsQuote(name) + "] === 'function'", &value, nullptr, 5000, &hr))
            return hr == DISP_E_EXCEPTION ? DISP_E_UNKNOWNNAME : RPC_E_SERVERCALL_RETRYLATER;
        bool bFunction = jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
        g_object_unref(value);
        if (!bFunction)
            return DISP_E_UNKNOWNNAME;
        for (size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == name)
            {
                rgDispId[0] = (DISPID)(i + 1);
                return S_OK;
            }
        m_names.push_back(name);
        rgDispId[0] = (DISPID)m_names.size();
        return S_OK;
    }

    HRESULT Invoke(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult, EXCEPINFO* pExcep,
                   UINT*) override
    {
        if (id < 1 || (size_t)id > m_names.size())
            return DISP_E_MEMBERNOTFOUND;
        if (!(wFlags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        CHtmlView::CHost* pHost = m_page.Live();
        if (!pHost)
            return E_UNEXPECTED;
        std::string args;
        UINT n = pParams ? pParams->cArgs : 0;
        // Automation lists the last argument first.
        for (UINT i = 0; i < n; ++i)
        {
            const VARIANT& v = pParams->rgvarg[n - 1 - i];
            if (i)
                args += ",";
            if (v.vt == VT_EMPTY || v.vt == VT_NULL)
                args += "undefined";
            else if (v.vt == VT_BOOL)
                args += v.boolVal ? "true" : "false";
            else if (v.vt == VT_I4 || v.vt == VT_R8)
                args += AfxVariantToAnsi(v).GetString();
            else
                args += AfxJsQuote(v.vt == VT_BSTR && v.bstrVal
                                       ? CCodePage::WideToUtf8(std::wstring(v.bstrVal, SysStringLen(v.bstrVal)))
                                       : std::string());
        }
        JSCValue* value = nullptr;
        std::string exception;
        HRESULT hr = S_OK;
        if (!pHost->Evaluate("window[" + AfxJsQuote(m_names[(size_t)id - 1]) + "](" + args + ")", &value, &exception,
                             5000, &hr))
        {
            // Not run at all: nothing happened in the page, the call may be made again.
            if (hr == RPC_E_SERVERCALL_RETRYLATER)
                return hr;
            if (pExcep)
            {
                std::memset(pExcep, 0, sizeof *pExcep);
                std::wstring w = CCodePage::Utf8ToWide(exception);
                pExcep->bstrDescription = SysAllocString(w.c_str());
                pExcep->scode = DISP_E_EXCEPTION;
            }
            return DISP_E_EXCEPTION;
        }
        if (pResult)
            FillVariant(value, pResult);
        g_object_unref(value);
        return S_OK;
    }

private:
    CPageRef m_page;
    std::vector<std::string> m_names;
};

class CHtmlDocument : public CRefCounted<IHTMLDocument2>
{
public:
    explicit CHtmlDocument(const CPageRef& page) : m_page(page)
    {
        // The document's own address: a load that starts later does not change it.
        const char* u = page.pHost->WebView() ? webkit_web_view_get_uri(page.pHost->WebView()) : nullptr;
        m_strUrl = u ? u : "";
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLDocument2)
        {
            *ppv = static_cast<IHTMLDocument2*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT get_Script(IDispatch** p) override
    {
        if (!p)
            return E_POINTER;
        *p = nullptr;
        if (!m_page.Live())
            return E_UNEXPECTED;
        *p = new CScriptObject(m_page);
        return S_OK;
    }

    HRESULT write(SAFEARRAY* psarray) override
    {
        CHtmlView::CHost* pHost = m_page.Live();
        if (!pHost)
            return E_UNEXPECTED;
        if (!psarray)
            return E_INVALIDARG;
        std::string html;
        for (UINT i = 0; i < psarray->cElements; ++i)
            if (psarray->pvData[i].vt == VT_BSTR && psarray->pvData[i].bstrVal)
                html += CCodePage::WideToUtf8(
                    std::wstring(psarray->pvData[i].bstrVal, SysStringLen(psarray->pvData[i].bstrVal)));
        pHost->WriteHtml(html);
        return S_OK;
    }

    HRESULT get_title(BSTR* p) override
    {
        CHtmlView::CHost* pHost = m_page.Live();
        if (!p)
            return E_POINTER;
        *p = nullptr;
        if (!pHost || !pHost->WebView())
            return E_UNEXPECTED;
        const char* t = webkit_web_view_get_title(pHost->WebView());
        *p = SysAllocString(CCodePage::Utf8ToWide(t ? t : "").c_str());
        return S_OK;
    }

    HRESULT get_URL(BSTR* p) override
    {
        CHtmlView::CHost* pHost = m_page.Live();
        if (!p)
            return E_POINTER;
        *p = nullptr;
        if (!pHost || !pHost->WebView())
            return E_UNEXPECTED;
        *p = SysAllocString(CCodePage::Utf8ToWide(m_strUrl).c_str());
        return S_OK;
    }

private:
    CPageRef m_page;
    std::string m_strUrl;
};
}  // namespace

IHTMLDocument2* AfxNewHtmlDocument(CHtmlView::CHost* pHost)
{
    return new CHtmlDocument(CPageRef{pHost->m_token, pHost, pHost->m_nPage});
}
