// CParvelView: the browser view of one page tab. It makes the program's first navigation with the
// sign-on cookies, keeps the tab caption, back and forward, opens a page's new windows as tabs,
// answers navigation errors before the menus exist, and offers the page its window.external
// methods; the main frame calls page script functions through it.
#pragma once

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
    DECLARE_MESSAGE_MAP()

private:
    // The view's dispatch table as the page sees it: window.external.
    class CExternal : public IDispatch
    {
    public:
        explicit CExternal(CParvelView* pView) : m_pView(pView) {}
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override { return ++m_nRef; }
        ULONG Release() override { return m_nRef > 1 ? --m_nRef : 1; }  // lives with the view
        HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
        HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                       VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    private:
        CParvelView* m_pView;
        ULONG m_nRef = 1;
    };
    CExternal m_external;
};
