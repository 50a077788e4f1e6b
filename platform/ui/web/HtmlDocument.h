// The page's document as the browser hands it out: IHTMLDocument2 with its script object and
// write. A document object stands for one loaded page of one view; once that view shows another
// page (or is gone) its calls fail with E_UNEXPECTED.
#pragma once

#include "OleAuto.h"
#include "WebExport.h"

PARVEL_WEB_BEGIN_EXPORTS

// A one-dimensional array of automation values, as write takes its text.
struct SAFEARRAY
{
    UINT cElements;
    VARIANT* pvData;
};
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);
HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData);
HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
HRESULT SafeArrayDestroy(SAFEARRAY* psa);

extern const IID IID_IHTMLDocument2;

struct IHTMLDocument2 : IDispatch
{
    // The page's script object: GetIDsOfNames finds a global function of the page by name,
    // Invoke with DISPATCH_METHOD calls it (arguments last first, as automation orders them).
    // Both give RPC_E_SERVERCALL_RETRYLATER when the page cannot run script now (it waits in its
    // own external call, or does not answer): nothing was run, and the call may be made later.
    virtual HRESULT get_Script(IDispatch** p) = 0;
    // Writes the texts (VT_BSTR) into the page.
    virtual HRESULT write(SAFEARRAY* psarray) = 0;
    virtual HRESULT get_title(BSTR* p) = 0;
    virtual HRESULT get_URL(BSTR* p) = 0;
};

PARVEL_WEB_END_EXPORTS
