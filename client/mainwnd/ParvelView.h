// CParvelView: the browser view of one page tab. It makes the program's first navigation with the
// sign-on cookies, keeps the tab caption, back and forward, opens a page's new windows as tabs,
// answers navigation errors before the menus exist, and offers the page its window.external
// methods; the main frame calls page script functions through it.
#pragma once

#include <deque>
#include "HtmlView.h"
#include "CStringArray.h"

class CParvelView : public CHtmlView
{
    DECLARE_DYNCREATE(CParvelView)
public:
    CParvelView();
    ~CParvelView() override;

    BOOL CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT nID,
                           REFCLSID clsid) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    HRESULT OnShowContextMenu(DWORD dwID, LPPOINT ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) override;
    HRESULT OnGetExternal(LPDISPATCH* lppDispatch) override;
    void OnCommandStateChange(long nCommand, BOOL bEnable) override;
    void OnTitleChange(LPCSTR lpszText) override;
    void OnNewWindow2(LPDISPATCH* ppDisp, BOOL* Cancel) override;
    void OnDocumentComplete(LPCSTR lpszURL) override;
    void OnNavigateError(LPCSTR lpszURL, LPCSTR lpszFrame, DWORD dwError, BOOL* pbCancel) override;
    // A page's message box (alert, confirm), asked by the host site.
    virtual HRESULT OnShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                                  LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult);

    // The last page's sign-off while the main window is hidden: navigates to the CAS logout
    // address, and the tab closes itself once the server has answered (or after a bound). TRUE
    // while the tab must stay for it, FALSE once it may close.
    BOOL SignOff();

    // Writes ANSI HTML into the current page.
    void WritePageHtml(LPCSTR lpszHtml);
    // Takes the current page's document into m_pHtmlDoc.
    BOOL RefreshHtmlDocument();

    // window.external.
    BOOL PrintMailLable(LPCSTR lpszOrderNo, LPCSTR lpszSize);
    BOOL OpenTabView(LPCSTR lpszText);
    CString GetImportResult();
    BOOL ImportOrder();
    void ShowWaitDialog(LPCSTR lpszText);
    void HideWaitDialog();
    void StartWork();

    // Calls the page's script function with three string arguments, in that order; pResult (may be
    // NULL) receives its value. FALSE on failure.
    static BOOL InvokePageScript(CParvelView* pView, LPCSTR lpszFunction, LPCSTR lpszArg1, LPCSTR lpszArg2,
                                 LPCSTR lpszArg3, VARIANT* pResult);
    static BOOL CallScriptFunction(CParvelView* pView, LPCSTR lpszFunction, const CStringArray& args,
                                   VARIANT* pResult);
    // Calls the page's script function as InvokePageScript does; a page that cannot run script
    // now (it waits in its own external call) gets the call once it can. What cannot be
    // delivered is logged.
    void DeliverPageScript(LPCSTR lpszFunction, LPCSTR lpszArg1, LPCSTR lpszArg2, LPCSTR lpszArg3);

    BOOL m_bCanGoForward;
    BOOL m_bCanGoBack;
    IHTMLDocument2* m_pHtmlDoc;

protected:
    afx_msg void OnRefreshPage();
    afx_msg void OnGoBack();
    afx_msg void OnGoForward();
    afx_msg void OnCloseOtherPages();
    afx_msg void OnCloseAllPages();
    afx_msg void OnUpdateClosePages(CCmdUI* pCmdUI);
    afx_msg void OnUpdateGoForward(CCmdUI* pCmdUI);
    afx_msg void OnUpdateGoBack(CCmdUI* pCmdUI);
    afx_msg void OnParentNotify(UINT message, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    enum SIGN_OFF
    {
        SIGN_OFF_NONE,
        SIGN_OFF_SENT,  // the logout is on its way
        SIGN_OFF_DONE,  // answered, failed or timed out: the tab may go
    };
    enum SCRIPT_CALL
    {
        SCRIPT_CALLED,
        SCRIPT_FAILED,  // no document, no such function, or the function failed
        SCRIPT_BUSY,    // the page cannot run script now; nothing was run
    };
    static SCRIPT_CALL TryScriptFunction(CParvelView* pView, LPCSTR lpszFunction, const CStringArray& args,
                                         VARIANT* pResult);
    struct PENDING_SCRIPT
    {
        CString strFunction;
        CStringArray args;
        DWORD dwSince;
    };
    void DeliverPendingScripts();
    std::deque<PENDING_SCRIPT> m_pendingScripts;
    bool m_bDeliveringScripts = false;

    // The logout has ended: the tab's frame is closed once out of the browser's event.
    void EndSignOff();
    SIGN_OFF m_nSignOff = SIGN_OFF_NONE;

    // The view's dispatch table as the page sees it: window.external. A page's call may close
    // the tab inside a nested wait, so the object outlives the view while the browser holds it;
    // once the view has gone its calls fail.
    class CExternal : public IDispatch
    {
    public:
        explicit CExternal(CParvelView* pView) : m_pView(pView) {}
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override { return ++m_nRef; }
        ULONG Release() override;
        HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
        HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                       VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
        void Detach() { m_pView = nullptr; }

    private:
        CParvelView* m_pView;
        ULONG m_nRef = 1;
    };
    CExternal* m_pExternal;
};
