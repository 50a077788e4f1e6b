// Inside the HTML view: the engine side of one CHtmlView (its web view, the state of its loads,
// script calls and the answers of the host site). Not for the program.
#pragma once

#include <memory>
#include <string>
#include "HtmlView.h"
#include "WebExport.h"

PARVEL_WEB_BEGIN_EXPORTS

typedef struct _WebKitWebView WebKitWebView;
typedef struct _JSCValue JSCValue;

// Lives while the host does; callbacks that may come later hold it and check bAlive.
struct CHostToken
{
    bool bAlive = true;
};

struct CHtmlView::CHost
{
    explicit CHost(CHtmlView* pView);
    ~CHost();

    CHtmlView* m_pView;
    CHtmlBrowserWnd* m_pBrowser = nullptr;
    COleControlSite* m_pSite = nullptr;
    std::shared_ptr<CHostToken> m_token = std::make_shared<CHostToken>();

    READYSTATE m_readyState = READYSTATE_UNINITIALIZED;
    BOOL m_bCanGoBack = FALSE;
    BOOL m_bCanGoForward = FALSE;
    bool m_bCommitted = false;          // the current load made a page
    bool m_bTitleTold = false;          // the page's title was told (m_strTitle)
    std::string m_strTitle;
    // The title the page had as it finished loading, asked of the page when the engine had told
    // none by then; a first title told meanwhile is held until the answer.
    enum LOAD_TITLE
    {
        LOAD_TITLE_UNKNOWN,
        LOAD_TITLE_ASKED,
        LOAD_TITLE_KNOWN,
    };
    LOAD_TITLE m_nLoadTitle = LOAD_TITLE_UNKNOWN;
    std::string m_strLoadTitle;
    bool m_bTitleHeld = false;
    unsigned m_nPage = 0;               // counts committed pages; documents of older pages fail
    unsigned m_nNavigation = 0;         // counts navigations the program started
    int m_nExternalDepth = 0;           // a page waits in a window.external call
    int m_nErrorDepth = 0;              // inside OnNavigateError
    std::string m_strErrorHtml;         // written into the page during OnNavigateError (UTF-8)
    std::string m_strErrorUrl;

    // The web view, made and placed in the browser control; pRelated: the view whose page opens it.
    WebKitWebView* MakeWebView(WebKitWebView* pRelated);
    void Connect(WebKitWebView* pView);
    void Disconnect(WebKitWebView* pView);
    WebKitWebView* WebView() const;
    // The browser control for a new window of another view's page.
    WebKitWebView* AdoptNewWindow(WebKitWebView* pRelated);

    void Navigate(const std::string& urlUtf8, const std::string& post);
    void LoadPostForm(const std::string& urlUtf8, const std::string& body);
    // Writes HTML (UTF-8) into the current page.
    void WriteHtml(const std::string& html);

    // Evaluates script in the page and waits (bounded) for the result; FALSE with the exception
    // text, or when the page cannot run script now. *phr: S_OK, RPC_E_SERVERCALL_RETRYLATER (the
    // script was not run), RPC_E_TIMEOUT (no answer in time) or DISP_E_EXCEPTION (it threw).
    BOOL Evaluate(const std::string& script, JSCValue** ppResult, std::string* pException, DWORD dwTimeout = 5000,
                  HRESULT* phr = nullptr);

    // Where a context menu opened from the keyboard shows, in screen coordinates: at the page's
    // focus (the selection's end, else the focused element), else the view's corner.
    POINT FocusPoint(WebKitWebView* pWebView);

    // Host questions: the site's interface when it has one.
    template <class I>
    I* Site(REFIID riid)
    {
        void* p = nullptr;
        if (m_pSite && SUCCEEDED(m_pSite->QueryInterface(riid, &p)) && p)
            return static_cast<I*>(p);
        return nullptr;
    }
    HRESULT GetExternal(IDispatch** ppDisp);
    DWORD UrlPolicy(DWORD dwAction);
    void ReportScriptError(const std::string& message);
    // The page's message offered to the site's command target first (OLECMDID_SHOWMESSAGE): S_OK
    // when the site took it.
    HRESULT MessageCommand(const std::wstring& text);
    HRESULT ShowMessage(const std::wstring& text, DWORD dwType, LRESULT* plResult);
};

// The host of the view whose GetApplication gave pDisp, or NULL.
CHtmlView::CHost* AfxHostOfBrowserObject(IDispatch* pDisp);
// The view that owns a web view (NULL when none does).
CHtmlView::CHost* AfxHostOfWebView(WebKitWebView* pView);
// JSON string literal of UTF-8 text.
std::string AfxJsQuote(const std::string& utf8);
// The document object of the host's current page.
IHTMLDocument2* AfxNewHtmlDocument(CHtmlView::CHost* pHost);

PARVEL_WEB_END_EXPORTS
