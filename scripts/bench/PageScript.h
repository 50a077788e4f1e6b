// The benchmarks' hands in a page tab: a script's value, and whether the tab shows a loaded page.
#pragma once

#include <string>
#include <webkit2/webkit2.h>
#include "HtmlViewHost.h"
#include "ParvelView.h"

// The script's value as text, or "!" and the exception; waited for at most dwTimeout ms.
inline std::string PageScript(CParvelView* pView, const std::string& script, DWORD dwTimeout = 60000)
{
    JSCValue* value = nullptr;
    std::string exception;
    if (!pView->GetHost()->Evaluate(script, &value, &exception, dwTimeout))
        return "!" + exception;
    char* s = jsc_value_to_string(value);
    std::string text = s ? s : "";
    g_free(s);
    g_object_unref(value);
    return text;
}

// The tab's document is complete and its address holds the part.
inline bool PageLoaded(CParvelView* pView, const char* pszPart)
{
    if (!pView || !pView->m_pHtmlDoc || pView->GetReadyState() != READYSTATE_COMPLETE)
        return false;
    BSTR url = nullptr;
    if (FAILED(pView->m_pHtmlDoc->get_URL(&url)) || !url)
        return false;
    std::wstring w(url, SysStringLen(url));
    SysFreeString(url);
    return std::string(w.begin(), w.end()).find(pszPart) != std::string::npos;
}
