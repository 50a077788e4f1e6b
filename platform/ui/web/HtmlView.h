// CHtmlView: a view that shows web pages, on WebKitGTK. Its one child window is the browser
// control (CHtmlBrowserWnd, id AFX_IDW_PANE_FIRST), which fills the view.
//
// Navigation. Navigate2 loads an address; with post data it submits the body as a form POST
// (form-encoded bodies are reproduced byte for byte when they use the standard form encoding:
// '+' for blanks, upper-case %XX, nothing else escaped but the reserved characters). Cookies set
// with InternetSetCookieA before a navigation are stored before its load starts.
//
// Events, as overridables called on the GUI thread:
//   OnDocumentComplete   the top-level page finished loading;
//   OnNavigateError      the top-level load failed (a network error code of the INET_E_ family) or
//                        the server answered with an HTTP status of 400 or above (that status);
//                        with *pbCancel left FALSE the engine shows its own error page; text that
//                        the handler writes into the page (IHTMLDocument2::write) is shown instead;
//   OnTitleChange        the page's title changed (GetReadyState tells how far the load is);
//   OnCommandStateChange CSC_NAVIGATEBACK / CSC_NAVIGATEFORWARD became possible or not;
//   OnNewWindow2         the page opens a window: put another view's GetApplication() into
//                        *ppDisp and the page's window shows in that view; leave it NULL, or set
//                        *Cancel, and no window opens.
// Ready state: LOADING from the start of a load, INTERACTIVE once the new page is committed,
// COMPLETE when it has loaded.
//
// Host questions. The browser asks the site from CreateControlSite (IDocHostShowUI,
// IDocHostUIHandler, IOleCommandTarget, and IServiceProvider for IInternetSecurityManager); without
// a site the view's overridables answer. Page message boxes (alert, confirm) go to ShowMessage with
// the browser's standard caption, string 128 of the module "SHDOCLC.DLL"; S_FALSE lets the engine
// show its own. The context menu goes to ShowContextMenu; S_OK keeps the engine's menu away.
// Script errors go to Exec(CGID_DocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR); pages keep
// running whatever it answers; a page's message box is first offered to Exec(CGID_DocHostCommandHandler,
// OLECMDID_SHOWMESSAGE) with its text as a BSTR in pvaIn, and S_OK there shows no box (a confirm then
// answers no). URL-action policies are asked once, when the browser is made, and applied to the
// engine's settings (scripts: URLACTION_SCRIPT_RUN, an allow policy turns them on, anything else
// off; the engine has no plug-in or Java setting left to apply). A server certificate that the
// system does not trust is taken when NETVANE_CA_FILE's CA signed it for that host.
//
// window.external. Each method call of a page's window.external is answered on the GUI thread,
// while the page waits, by the IDispatch that GetExternal gives: GetIDsOfNames with the method's
// name (unknown names throw in the page), then Invoke with the arguments as BSTR (missing ones
// VT_EMPTY) and a result of VT_BOOL, VT_BSTR, VT_I4/VT_R8 or VT_EMPTY. Never call into a page's
// script from inside its own external call: the page cannot run script until the call returns.
#pragma once

#include "CView.h"
#include "DocHostUI.h"
#include "HtmlDocument.h"
#include "WebExport.h"

PARVEL_WEB_BEGIN_EXPORTS

class CHtmlBrowserWnd;
typedef CWnd COleControlContainer;

class CHtmlView : public CView
{
    DECLARE_DYNCREATE(CHtmlView)
public:
    CHtmlView();
    ~CHtmlView() override;

    // Navigation.
    void Navigate2(LPCSTR lpszURL, DWORD dwFlags = 0, LPCSTR lpszTargetFrameName = nullptr,
                   LPCSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void GoBack();
    void GoForward();
    void Refresh();
    void Stop();
    READYSTATE GetReadyState() const;
    CString GetLocationURL() const;
    CString GetLocationName() const;
    // The HTML source of the top-level page as the server sent it; FALSE when there is none.
    BOOL GetSource(CString& refString);
    // The document of the current page (QueryInterface gives IHTMLDocument2), with a reference
    // for the caller; NULL before the first page.
    LPDISPATCH GetHtmlDocument() const;
    // The browser object, with a reference: what OnNewWindow2 hands back to place a new window.
    LPDISPATCH GetApplication() const;
    // The browser control window (NULL once a page closed it; the next Navigate2 makes a new one).
    CWnd* GetBrowserWnd() const;

    // Events.
    virtual void OnDocumentComplete(LPCSTR lpszURL);
    virtual void OnNavigateError(LPCSTR lpszURL, LPCSTR lpszFrame, DWORD dwError, BOOL* pbCancel);
    virtual void OnTitleChange(LPCSTR lpszText);
    virtual void OnCommandStateChange(long nCommand, BOOL bEnable);
    virtual void OnNewWindow2(LPDISPATCH* ppDisp, BOOL* Cancel);

    // The site the browser asks its questions; the default gives none (the view answers).
    virtual BOOL CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT nID,
                                   REFCLSID clsid);
    // Host defaults (what a site hands on to the view).
    virtual HRESULT OnShowContextMenu(DWORD dwID, LPPOINT ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved);
    virtual HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo);
    virtual HRESULT OnShowUI(DWORD dwID, IUnknown* pActiveObject, IUnknown* pCommandTarget, IUnknown* pFrame,
                             IUnknown* pDoc);
    virtual HRESULT OnHideUI();
    virtual HRESULT OnUpdateUI();
    virtual HRESULT OnEnableModeless(BOOL fEnable);
    virtual HRESULT OnDocWindowActivate(BOOL fActivate);
    virtual HRESULT OnFrameWindowActivate(BOOL fActivate);
    virtual HRESULT OnResizeBorder(LPCRECT prcBorder, IUnknown* pUIWindow, BOOL fFrameWindow);
    virtual HRESULT OnTranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID);
    virtual HRESULT OnGetOptionKeyPath(LPOLESTR* pchKey, DWORD dwReserved);
    virtual HRESULT OnGetDropTarget(IUnknown* pDropTarget, IUnknown** ppDropTarget);
    virtual HRESULT OnGetExternal(LPDISPATCH* lppDispatch);
    virtual HRESULT OnTranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut);
    virtual HRESULT OnFilterDataObject(IUnknown* pDO, IUnknown** ppDORet);

    // What the browser control calls (the engine side); not for the program.
    struct CHost;
    CHost* GetHost() const { return m_pHost; }

protected:
    BOOL CreateBrowserControl();
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnEditCut();
    afx_msg void OnEditCopy();
    afx_msg void OnEditPaste();
    DECLARE_MESSAGE_MAP()

private:
    CHost* m_pHost;
};

PARVEL_WEB_END_EXPORTS
