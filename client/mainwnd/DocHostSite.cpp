#include "DocHostSite.h"

#include <cwchar>
#include "AfxWin.h"
#include "ParvelView.h"

CDocHostSite::CDocHostSite(COleControlContainer* pContainer, CParvelView* pView)
    : COleControlSite(pContainer), m_pView(pView)
{
    // The six interfaces share the site's reference count and lookup.
    m_xDocHostShowUI.m_pOuter = this;
    m_xDocHostUIHandler.m_pOuter = this;
    m_xDocHostUIHandler2.m_pOuter = this;
    m_xInternetSecurityManager.m_pOuter = this;
    m_xServiceProvider.m_pOuter = this;
    m_xOleCommandTarget.m_pOuter = this;
}

CDocHostSite::~CDocHostSite() {}

void* CDocHostSite::GetSiteInterface(REFIID riid)
{
    if (riid == IID_IDocHostShowUI)
        return static_cast<IDocHostShowUI*>(&m_xDocHostShowUI);
    if (riid == IID_IDocHostUIHandler)
        return static_cast<IDocHostUIHandler*>(&m_xDocHostUIHandler);
    if (riid == IID_IDocHostUIHandler2)
        return static_cast<IDocHostUIHandler2*>(&m_xDocHostUIHandler2);
    if (riid == IID_IInternetSecurityManager)
        return static_cast<IInternetSecurityManager*>(&m_xInternetSecurityManager);
    if (riid == IID_IServiceProvider)
        return static_cast<IServiceProvider*>(&m_xServiceProvider);
    if (riid == IID_IOleCommandTarget)
        return static_cast<IOleCommandTarget*>(&m_xOleCommandTarget);
    return nullptr;
}

HRESULT CDocHostSite::XDocHostShowUI::ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                                                  LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult)
{
    return Outer()->m_pView->OnShowMessage(hwnd, lpstrText, lpstrCaption, dwType, lpstrHelpFile, dwHelpContext,
                                           plResult);
}

HRESULT CDocHostSite::XDocHostUIHandler::ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                                         IDispatch* pdispReserved)
{
    return Outer()->m_pView->OnShowContextMenu(dwID, ppt, pcmdtReserved, pdispReserved);
}

HRESULT CDocHostSite::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (pInfo)
    {
        pInfo->dwFlags |= DOCHOSTUIFLAG_THEME;
        pInfo->dwFlags &= ~(DWORD)DOCHOSTUIFLAG_NOTHEME;
    }
    return Outer()->m_pView->OnGetHostInfo(pInfo);
}

HRESULT CDocHostSite::XDocHostUIHandler::ShowUI(DWORD dwID, IUnknown* pActiveObject, IUnknown* pCommandTarget,
                                                IUnknown* pFrame, IUnknown* pDoc)
{
    return Outer()->m_pView->OnShowUI(dwID, pActiveObject, pCommandTarget, pFrame, pDoc);
}

HRESULT CDocHostSite::XDocHostUIHandler::HideUI() { return Outer()->m_pView->OnHideUI(); }
HRESULT CDocHostSite::XDocHostUIHandler::UpdateUI() { return Outer()->m_pView->OnUpdateUI(); }
HRESULT CDocHostSite::XDocHostUIHandler::EnableModeless(BOOL fEnable) { return Outer()->m_pView->OnEnableModeless(fEnable); }

HRESULT CDocHostSite::XDocHostUIHandler::OnDocWindowActivate(BOOL fActivate)
{
    return Outer()->m_pView->OnDocWindowActivate(fActivate);
}

HRESULT CDocHostSite::XDocHostUIHandler::OnFrameWindowActivate(BOOL fActivate)
{
    return Outer()->m_pView->OnFrameWindowActivate(fActivate);
}

HRESULT CDocHostSite::XDocHostUIHandler::ResizeBorder(LPCRECT prcBorder, IUnknown* pUIWindow, BOOL fRameWindow)
{
    return Outer()->m_pView->OnResizeBorder(prcBorder, pUIWindow, fRameWindow);
}

HRESULT CDocHostSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw)
{
    return Outer()->m_pView->OnGetOptionKeyPath(pchKey, dw);
}

HRESULT CDocHostSite::XDocHostUIHandler::GetDropTarget(IUnknown* pDropTarget, IUnknown** ppDropTarget)
{
    return Outer()->m_pView->OnGetDropTarget(pDropTarget, ppDropTarget);
}

HRESULT CDocHostSite::XDocHostUIHandler::GetExternal(IDispatch** ppDispatch)
{
    return Outer()->m_pView->OnGetExternal(ppDispatch);
}

HRESULT CDocHostSite::XDocHostUIHandler::TranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut)
{
    return Outer()->m_pView->OnTranslateUrl(dwTranslate, pchURLIn, ppchURLOut);
}

HRESULT CDocHostSite::XDocHostUIHandler::FilterDataObject(IUnknown* pDO, IUnknown** ppDORet)
{
    return Outer()->m_pView->OnFilterDataObject(pDO, ppDORet);
}

HRESULT CDocHostSite::XInternetSecurityManager::ProcessUrlAction(LPCWSTR, DWORD dwAction, BYTE* pPolicy,
                                                                 DWORD cbPolicy, BYTE*, DWORD, DWORD, DWORD)
{
    DWORD dwPolicy;
    if (dwAction >= URLACTION_ACTIVEX_MIN && dwAction <= URLACTION_ACTIVEX_MAX)
        dwPolicy = URLPOLICY_ALLOW;
    else if (dwAction >= URLACTION_JAVA_MIN && dwAction <= URLACTION_JAVA_MAX)
        return INET_E_DEFAULT_ACTION;
    else if (dwAction == URLACTION_HTML_JAVA_RUN)
        return INET_E_DEFAULT_ACTION;
    // Cross-domain data is left to the browser like the other actions outside the table.
    else if (dwAction >= URLACTION_SCRIPT_MIN && dwAction <= URLACTION_SCRIPT_MAX &&
             dwAction != URLACTION_CROSS_DOMAIN_DATA)
        dwPolicy = URLPOLICY_ALLOW;
    else
        return INET_E_DEFAULT_ACTION;
    if (!pPolicy || cbPolicy < sizeof(DWORD))
        return S_FALSE;
    *reinterpret_cast<DWORD*>(pPolicy) = dwPolicy;
    return S_OK;
}

HRESULT CDocHostSite::XServiceProvider::QueryService(REFGUID guidService, REFIID riid, void** ppvObject)
{
    if (guidService == IID_IInternetSecurityManager && riid == IID_IInternetSecurityManager)
        return Outer()->ExternalQueryInterface(&riid, ppvObject);
    if (ppvObject)
        *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT CDocHostSite::XOleCommandTarget::Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD, VARIANT* pvaIn,
                                              VARIANT* pvaOut)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    if (!pguidCmdGroup || *pguidCmdGroup != CGID_DocHostCommandHandler ||
        (nCmdID != OLECMDID_SHOWSCRIPTERROR && nCmdID != OLECMDID_SHOWMESSAGE) || !pMainWnd)
        return OLECMDERR_E_NOTSUPPORTED;

    bool bActiveX = false;
    HRESULT hrRead = S_OK;
    if (nCmdID == OLECMDID_SHOWMESSAGE)
    {
        // The browser layer hands the message it is about to show.
        if (pvaIn && pvaIn->vt == VT_BSTR && pvaIn->bstrVal)
            bActiveX = wcsstr(pvaIn->bstrVal, L" ActiveX ") != nullptr;
        else
            hrRead = E_INVALIDARG;
    }
    if (pvaOut)
    {
        VariantClear(pvaOut);
        pvaOut->vt = VT_BOOL;
        pvaOut->boolVal = VARIANT_TRUE;
    }
    if (nCmdID == OLECMDID_SHOWSCRIPTERROR)
    {
        // No dialog; the page's scripts keep running.
        pMainWnd->SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM) "Script Error!");
        return S_OK;
    }
    if (bActiveX)
    {
        pMainWnd->SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM) "ActiveX Denied!");
        return hrRead;
    }
    if (pvaOut)
        pvaOut->boolVal = VARIANT_FALSE;
    return OLECMDERR_E_NOTSUPPORTED;
}
