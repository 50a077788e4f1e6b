// CDocHostSite: the site in which a page view hosts its browser. It answers the browser's host
// questions: ActiveX controls and scripts run in every page, Java is left to the browser, script
// errors show "Script Error!" in the main window's status bar instead of a dialog, the browser's
// messages about refused ActiveX controls become "ActiveX Denied!" there, and page message boxes
// are the view's. The rest goes to the view's handlers.
#pragma once

#include "HtmlView.h"

class CParvelView;

class CDocHostSite : public COleControlSite
{
public:
    CDocHostSite(COleControlContainer* pContainer, CParvelView* pView);
    ~CDocHostSite() override;

    CParvelView* m_pView;

    struct XDocHostShowUI : IDocHostShowUI
    {
        CDocHostSite* m_pOuter = nullptr;
        CDocHostSite* Outer() const { return m_pOuter; }
        HRESULT QueryInterface(REFIID riid, void** ppv) override { return Outer()->QueryInterface(riid, ppv); }
        ULONG AddRef() override { return Outer()->AddRef(); }
        ULONG Release() override { return Outer()->Release(); }
        HRESULT ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType, LPOLESTR lpstrHelpFile,
                            DWORD dwHelpContext, LRESULT* plResult) override;
        HRESULT ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override { return E_NOTIMPL; }
    } m_xDocHostShowUI;

    struct XDocHostUIHandler : IDocHostUIHandler
    {
        CDocHostSite* m_pOuter = nullptr;
        CDocHostSite* Outer() const { return m_pOuter; }
        HRESULT QueryInterface(REFIID riid, void** ppv) override { return Outer()->QueryInterface(riid, ppv); }
        ULONG AddRef() override { return Outer()->AddRef(); }
        ULONG Release() override { return Outer()->Release(); }
        HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) override;
        HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) override;
        HRESULT ShowUI(DWORD dwID, IUnknown* pActiveObject, IUnknown* pCommandTarget, IUnknown* pFrame,
                       IUnknown* pDoc) override;
        HRESULT HideUI() override;
        HRESULT UpdateUI() override;
        HRESULT EnableModeless(BOOL fEnable) override;
        HRESULT OnDocWindowActivate(BOOL fActivate) override;
        HRESULT OnFrameWindowActivate(BOOL fActivate) override;
        HRESULT ResizeBorder(LPCRECT prcBorder, IUnknown* pUIWindow, BOOL fRameWindow) override;
        HRESULT TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return E_NOTIMPL; }
        HRESULT GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) override;
        HRESULT GetDropTarget(IUnknown* pDropTarget, IUnknown** ppDropTarget) override;
        HRESULT GetExternal(IDispatch** ppDispatch) override;
        HRESULT TranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut) override;
        HRESULT FilterDataObject(IUnknown* pDO, IUnknown** ppDORet) override;
    } m_xDocHostUIHandler;

    // Every method does nothing and gives S_FALSE.
    struct XDocHostUIHandler2 : IDocHostUIHandler2
    {
        CDocHostSite* m_pOuter = nullptr;
        CDocHostSite* Outer() const { return m_pOuter; }
        HRESULT QueryInterface(REFIID riid, void** ppv) override { return Outer()->QueryInterface(riid, ppv); }
        ULONG AddRef() override { return Outer()->AddRef(); }
        ULONG Release() override { return Outer()->Release(); }
        HRESULT ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
        HRESULT GetHostInfo(DOCHOSTUIINFO*) override { return S_FALSE; }
        HRESULT ShowUI(DWORD, IUnknown*, IUnknown*, IUnknown*, IUnknown*) override { return S_FALSE; }
        HRESULT HideUI() override { return S_FALSE; }
        HRESULT UpdateUI() override { return S_FALSE; }
        HRESULT EnableModeless(BOOL) override { return S_FALSE; }
        HRESULT OnDocWindowActivate(BOOL) override { return S_FALSE; }
        HRESULT OnFrameWindowActivate(BOOL) override { return S_FALSE; }
        HRESULT ResizeBorder(LPCRECT, IUnknown*, BOOL) override { return S_FALSE; }
        HRESULT TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
        HRESULT GetOptionKeyPath(LPOLESTR*, DWORD) override { return S_FALSE; }
        HRESULT GetDropTarget(IUnknown*, IUnknown**) override { return S_FALSE; }
        HRESULT GetExternal(IDispatch**) override { return S_FALSE; }
        HRESULT TranslateUrl(DWORD, LPOLESTR, LPOLESTR*) override { return S_FALSE; }
        HRESULT FilterDataObject(IUnknown*, IUnknown**) override { return S_FALSE; }
        HRESULT GetOverrideKeyPath(LPOLESTR*, DWORD) override { return S_FALSE; }
    } m_xDocHostUIHandler2;

    struct XInternetSecurityManager : IInternetSecurityManager
    {
        CDocHostSite* m_pOuter = nullptr;
        CDocHostSite* Outer() const { return m_pOuter; }
        HRESULT QueryInterface(REFIID riid, void** ppv) override { return Outer()->QueryInterface(riid, ppv); }
        ULONG AddRef() override { return Outer()->AddRef(); }
        ULONG Release() override { return Outer()->Release(); }
        HRESULT SetSecuritySite(IUnknown*) override { return INET_E_DEFAULT_ACTION; }
        HRESULT GetSecuritySite(IUnknown**) override { return INET_E_DEFAULT_ACTION; }
        HRESULT MapUrlToZone(LPCWSTR, DWORD*, DWORD) override { return INET_E_DEFAULT_ACTION; }
        HRESULT GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) override { return INET_E_DEFAULT_ACTION; }
        HRESULT ProcessUrlAction(LPCWSTR pwszUrl, DWORD dwAction, BYTE* pPolicy, DWORD cbPolicy, BYTE* pContext,
                                 DWORD cbContext, DWORD dwFlags, DWORD dwReserved) override;
        HRESULT QueryCustomPolicy(LPCWSTR, REFGUID, BYTE**, DWORD*, BYTE*, DWORD, DWORD) override
        {
            return INET_E_DEFAULT_ACTION;
        }
        HRESULT SetZoneMapping(DWORD, LPCWSTR, DWORD) override { return INET_E_DEFAULT_ACTION; }
        HRESULT GetZoneMappings(DWORD, IUnknown**, DWORD) override { return INET_E_DEFAULT_ACTION; }
    } m_xInternetSecurityManager;

    struct XServiceProvider : IServiceProvider
    {
        CDocHostSite* m_pOuter = nullptr;
        CDocHostSite* Outer() const { return m_pOuter; }
        HRESULT QueryInterface(REFIID riid, void** ppv) override { return Outer()->QueryInterface(riid, ppv); }
        ULONG AddRef() override { return Outer()->AddRef(); }
        ULONG Release() override { return Outer()->Release(); }
        HRESULT QueryService(REFGUID guidService, REFIID riid, void** ppvObject) override;
    } m_xServiceProvider;

    struct XOleCommandTarget : IOleCommandTarget
    {
        CDocHostSite* m_pOuter = nullptr;
        CDocHostSite* Outer() const { return m_pOuter; }
        HRESULT QueryInterface(REFIID riid, void** ppv) override { return Outer()->QueryInterface(riid, ppv); }
        ULONG AddRef() override { return Outer()->AddRef(); }
        ULONG Release() override { return Outer()->Release(); }
        HRESULT QueryStatus(const GUID*, ULONG, OLECMD[], void*) override { return OLECMDERR_E_NOTSUPPORTED; }
        HRESULT Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn,
                     VARIANT* pvaOut) override;
    } m_xOleCommandTarget;

protected:
    void* GetSiteInterface(REFIID riid) override;
};
