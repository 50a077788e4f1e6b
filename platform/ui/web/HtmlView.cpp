#include <webkit2/webkit2.h>
#include "HtmlView.h"
#include "CRefCounted.h"
#include "HtmlViewHost.h"
#include "HtmlBrowserWnd.h"
#include "CodePage.h"
#include "AfxRes.h"

IMPLEMENT_DYNCREATE(CHtmlView, CView)

BEGIN_MESSAGE_MAP(CHtmlView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_COMMAND(ID_EDIT_CUT, &CHtmlView::OnEditCut)
    ON_COMMAND(ID_EDIT_COPY, &CHtmlView::OnEditCopy)
    ON_COMMAND(ID_EDIT_PASTE, &CHtmlView::OnEditPaste)
END_MESSAGE_MAP()

namespace
{
const IID IID_IWebBrowserApp = {0x0002DF05, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The browser object of a view: what a page's new window is placed into.
class CBrowserObject : public CRefCounted<IDispatch>
{
public:
    CBrowserObject(std::shared_ptr<CHostToken> token, CHtmlView::CHost* pHost) : m_token(token), m_pHost(pHost) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWebBrowserApp)
        {
            *ppv = static_cast<IDispatch*>(this);
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
    CHtmlView::CHost* Host() const { return m_token->bAlive ? m_pHost : nullptr; }

private:
    std::shared_ptr<CHostToken> m_token;
    CHtmlView::CHost* m_pHost;
};
}  // namespace

CHtmlView::CHost* AfxHostOfBrowserObject(IDispatch* pDisp)
{
    void* p = nullptr;
    if (!pDisp || FAILED(pDisp->QueryInterface(IID_IWebBrowserApp, &p)) || !p)
        return nullptr;
    auto* pObject = static_cast<CBrowserObject*>(static_cast<IDispatch*>(p));
    CHtmlView::CHost* pHost = pObject->Host();
    pObject->Release();
    return pHost;
}

CHtmlView::CHtmlView() : m_pHost(new CHost(this)) {}

CHtmlView::~CHtmlView()
{
    delete m_pHost;
}

int CHtmlView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CView::OnCreate(lpcs) == -1)
        return -1;
    static const CLSID CLSID_WebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
    COleControlSite* pSite = nullptr;
    if (CreateControlSite(this, &pSite, AFX_IDW_PANE_FIRST, CLSID_WebBrowser) && pSite)
        m_pHost->m_pSite = pSite;
    return CreateBrowserControl() ? 0 : -1;
}

BOOL CHtmlView::CreateBrowserControl()
{
    // A control that a page closed goes first.
    if (CHtmlBrowserWnd* pOld = m_pHost->m_pBrowser)
    {
        if (pOld->GetSafeHwnd())
            return TRUE;
        m_pHost->m_pBrowser = nullptr;
        delete pOld;
    }
    auto* pBrowser = new CHtmlBrowserWnd;
    if (!pBrowser->CreateBrowser(m_pHost->MakeWebView(nullptr), this, AFX_IDW_PANE_FIRST))
    {
        delete pBrowser;
        return FALSE;
    }
    m_pHost->m_pBrowser = pBrowser;
    pBrowser->m_pSignalData = m_pHost;
    CRect rc;
    GetClientRect(&rc);
    pBrowser->MoveWindow(0, 0, rc.Width(), rc.Height());
    return TRUE;
}

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_pHost->m_pBrowser && m_pHost->m_pBrowser->GetSafeHwnd())
        m_pHost->m_pBrowser->MoveWindow(0, 0, cx, cy);
}

void CHtmlView::OnDestroy()
{
    m_pHost->m_token->bAlive = false;
    if (CHtmlBrowserWnd* pBrowser = m_pHost->m_pBrowser)
    {
        if (WebKitWebView* pWebView = pBrowser->GetWebView())
            m_pHost->Disconnect(pWebView);
        m_pHost->m_pBrowser = nullptr;
        if (pBrowser->GetSafeHwnd())
            pBrowser->DestroyWindow();
        delete pBrowser;
    }
    CView::OnDestroy();
}

CWnd* CHtmlView::GetBrowserWnd() const
{
    CHtmlBrowserWnd* p = m_pHost->m_pBrowser;
    return p && p->GetSafeHwnd() ? p : nullptr;
}

void CHtmlView::Navigate2(LPCSTR lpszURL, DWORD, LPCSTR, LPCSTR, LPVOID lpvPostData, DWORD dwPostDataLen)
{
    if (!lpszURL)
        return;
    // A view whose page closed its window gets a new control for the next page.
    if (!GetBrowserWnd() && GetSafeHwnd() && !CreateBrowserControl())
        return;
    std::string post = lpvPostData && dwPostDataLen ? std::string(static_cast<const char*>(lpvPostData), dwPostDataLen)
                                                    : std::string();
    m_pHost->Navigate(CCodePage::AnsiToUtf8(lpszURL), post);
}

void CHtmlView::GoBack()
{
    if (WebKitWebView* p = m_pHost->WebView())
        webkit_web_view_go_back(p);
}

void CHtmlView::GoForward()
{
    if (WebKitWebView* p = m_pHost->WebView())
        webkit_web_view_go_forward(p);
}

void CHtmlView::Refresh()
{
    if (WebKitWebView* p = m_pHost->WebView())
        webkit_web_view_reload(p);
}

void CHtmlView::Stop()
{
    if (WebKitWebView* p = m_pHost->WebView())
        webkit_web_view_stop_loading(p);
}

READYSTATE CHtmlView::GetReadyState() const
{
    return m_pHost->m_readyState;
}

CString CHtmlView::GetLocationURL() const
{
    WebKitWebView* p = m_pHost->WebView();
    const char* uri = p ? webkit_web_view_get_uri(p) : nullptr;
    return uri ? CString(CCodePage::Utf8ToAnsi(uri).c_str()) : CString();
}

CString CHtmlView::GetLocationName() const
{
    WebKitWebView* p = m_pHost->WebView();
    const char* title = p ? webkit_web_view_get_title(p) : nullptr;
    return title ? CString(CCodePage::Utf8ToAnsi(title).c_str()) : GetLocationURL();
}

BOOL CHtmlView::GetSource(CString& refString)
{
    refString.Empty();
    WebKitWebView* p = m_pHost->WebView();
    WebKitWebResource* resource = p ? webkit_web_view_get_main_resource(p) : nullptr;
    if (!resource)
        return FALSE;
    struct Read
    {
        bool bDone = false;
        std::string data;
        bool bOk = false;
    };
    auto* pRead = new std::shared_ptr<Read>(std::make_shared<Read>());
    std::shared_ptr<Read> read = *pRead;
    webkit_web_resource_get_data(
        resource, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* pr = static_cast<std::shared_ptr<Read>*>(data);
            gsize len = 0;
            guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result, &len, nullptr);
            if (bytes)
            {
                (*pr)->data.assign(reinterpret_cast<char*>(bytes), len);
                (*pr)->bOk = true;
                g_free(bytes);
            }
            (*pr)->bDone = true;
            delete pr;
        },
        pRead);
    AfxWaitUntil([](void* pv) -> BOOL { return static_cast<Read*>(pv)->bDone; }, read.get(), 5000);
    if (!read->bOk)
        return FALSE;
    refString = CString(read->data.data(), (int)read->data.size());
    return TRUE;
}

LPDISPATCH CHtmlView::GetHtmlDocument() const
{
    if (!m_pHost->WebView())
        return nullptr;
    return AfxNewHtmlDocument(m_pHost);
}

LPDISPATCH CHtmlView::GetApplication() const
{
    return new CBrowserObject(m_pHost->m_token, m_pHost);
}

void CHtmlView::OnDocumentComplete(LPCSTR) {}
void CHtmlView::OnNavigateError(LPCSTR, LPCSTR, DWORD, BOOL*) {}
void CHtmlView::OnTitleChange(LPCSTR) {}
void CHtmlView::OnCommandStateChange(long, BOOL) {}
void CHtmlView::OnNewWindow2(LPDISPATCH*, BOOL*) {}

BOOL CHtmlView::CreateControlSite(COleControlContainer*, COleControlSite** ppSite, UINT, REFCLSID)
{
    if (ppSite)
        *ppSite = nullptr;
    return FALSE;
}

// The defaults, as the framework's HTML view has them.
HRESULT CHtmlView::OnShowContextMenu(DWORD, LPPOINT, IUnknown*, IDispatch*) { return S_FALSE; }
HRESULT CHtmlView::OnGetHostInfo(DOCHOSTUIINFO*) { return S_OK; }
HRESULT CHtmlView::OnShowUI(DWORD, IUnknown*, IUnknown*, IUnknown*, IUnknown*) { return S_FALSE; }
HRESULT CHtmlView::OnHideUI() { return S_OK; }
HRESULT CHtmlView::OnUpdateUI() { return S_OK; }
HRESULT CHtmlView::OnEnableModeless(BOOL) { return S_OK; }
HRESULT CHtmlView::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT CHtmlView::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT CHtmlView::OnResizeBorder(LPCRECT, IUnknown*, BOOL) { return S_OK; }
HRESULT CHtmlView::OnTranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
HRESULT CHtmlView::OnGetOptionKeyPath(LPOLESTR*, DWORD) { return S_FALSE; }
HRESULT CHtmlView::OnGetDropTarget(IUnknown*, IUnknown**) { return S_FALSE; }
HRESULT CHtmlView::OnGetExternal(LPDISPATCH* lppDispatch)
{
    if (lppDispatch)
        *lppDispatch = nullptr;
    return S_FALSE;
}
HRESULT CHtmlView::OnTranslateUrl(DWORD, LPOLESTR, LPOLESTR*) { return S_FALSE; }
HRESULT CHtmlView::OnFilterDataObject(IUnknown*, IUnknown**) { return S_FALSE; }

static void Edit(CHtmlView::CHost* pHost, const char* command)
{
    if (WebKitWebView* p = pHost->WebView())
        webkit_web_view_execute_editing_command(p, command);
}

void CHtmlView::OnEditCut() { Edit(m_pHost, WEBKIT_EDITING_COMMAND_CUT); }
void CHtmlView::OnEditCopy() { Edit(m_pHost, WEBKIT_EDITING_COMMAND_COPY); }
void CHtmlView::OnEditPaste() { Edit(m_pHost, WEBKIT_EDITING_COMMAND_PASTE); }
