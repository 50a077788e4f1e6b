// The engine side of CHtmlView: WebKit's signals turned into the view's events and host questions.
#include <webkit2/webkit2.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "HtmlViewHost.h"
#include "HtmlBrowserWnd.h"
#include "WebContext.h"
#include "CodePage.h"
#include "CWinApp.h"
#include "ResourceRegistry.h"

namespace
{
const char* kHostKey = "parvel-html-host";

// Network failures as the Windows browser reports them.
const DWORD INET_E_CANNOT_CONNECT = 0x800C0002u;
const DWORD INET_E_RESOURCE_NOT_FOUND = 0x800C0005u;
const DWORD INET_E_DOWNLOAD_FAILURE = 0x800C0008u;
const DWORD INET_E_INVALID_CERTIFICATE = 0x800C0019u;

std::string Ansi(const char* utf8)
{
    return utf8 ? CCodePage::Utf8ToAnsi(utf8) : std::string();
}

CHtmlView::CHost* HostOf(gpointer data)
{
    return static_cast<CHtmlView::CHost*>(data);
}

DWORD ErrorCode(GError* error)
{
    if (!error)
        return INET_E_DOWNLOAD_FAILURE;
    if (error->domain == G_RESOLVER_ERROR)
        return INET_E_RESOURCE_NOT_FOUND;
    if (error->domain == G_IO_ERROR && error->code == G_IO_ERROR_CONNECTION_REFUSED)
        return INET_E_CANNOT_CONNECT;
    if (error->domain == G_TLS_ERROR || error->domain == WEBKIT_NETWORK_ERROR)
        return error->domain == G_TLS_ERROR ? INET_E_INVALID_CERTIFICATE : INET_E_RESOURCE_NOT_FOUND;
    return INET_E_DOWNLOAD_FAILURE;
}

// Calls OnNavigateError; TRUE when the engine must show nothing of its own (the handler
// cancelled, wrote into the page or started another navigation). The written text is loaded
// as the failed address's page, at once or (bDefer) once the engine is back in its loop.
bool NavigateError(CHtmlView::CHost* pHost, WebKitWebView* pWebView, const char* uri, DWORD dwCode, bool bDefer)
{
    std::shared_ptr<CHostToken> token = pHost->m_token;
    BOOL bCancel = FALSE;
    unsigned nNavigation = pHost->m_nNavigation;
    ++pHost->m_nErrorDepth;
    pHost->m_strErrorHtml.clear();
    pHost->m_strErrorUrl = uri ? uri : "";
    pHost->m_pView->OnNavigateError(Ansi(uri).c_str(), "", dwCode, &bCancel);
    if (!token->bAlive)
        return true;
    --pHost->m_nErrorDepth;
    std::string html;
    html.swap(pHost->m_strErrorHtml);
    if (!html.empty() && pHost->WebView() == pWebView)
    {
        if (!bDefer)
            webkit_web_view_load_alternate_html(pWebView, html.c_str(), uri, uri);
        else
        {
            struct Later
            {
                std::shared_ptr<CHostToken> token;
                CHtmlView::CHost* pHost;
                WebKitWebView* pWebView;
                std::string html, uri;
            };
            auto* p = new Later{token, pHost, pWebView, html, uri ? uri : ""};
            g_idle_add(
                [](gpointer d) -> gboolean {
                    auto* p = static_cast<Later*>(d);
                    if (p->token->bAlive && p->pHost->WebView() == p->pWebView)
                        webkit_web_view_load_alternate_html(p->pWebView, p->html.c_str(), p->uri.c_str(), p->uri.c_str());
                    delete p;
                    return G_SOURCE_REMOVE;
                },
                p);
        }
        return true;
    }
    return bCancel || pHost->m_nNavigation != nNavigation || !html.empty();
}

void UpdateCommandState(CHtmlView::CHost* pHost, WebKitWebView* pWebView)
{
    std::shared_ptr<CHostToken> token = pHost->m_token;
    BOOL bBack = webkit_web_view_can_go_back(pWebView) ? TRUE : FALSE;
    BOOL bForward = webkit_web_view_can_go_forward(pWebView) ? TRUE : FALSE;
    if (bForward != pHost->m_bCanGoForward)
    {
        pHost->m_bCanGoForward = bForward;
        pHost->m_pView->OnCommandStateChange(CSC_NAVIGATEFORWARD, bForward);
        if (!token->bAlive)
            return;
    }
    if (bBack != pHost->m_bCanGoBack)
    {
        pHost->m_bCanGoBack = bBack;
        pHost->m_pView->OnCommandStateChange(CSC_NAVIGATEBACK, bBack);
    }
}

// Tells the view a title; bOwn: the page's own, which the Windows browser tells while the page is
// interactive, so the view sees that state during the call.
void TellTitle(CHtmlView::CHost* pHost, bool bOwn)
{
    READYSTATE state = pHost->m_readyState;
    std::shared_ptr<CHostToken> token = pHost->m_token;
    if (bOwn)
        pHost->m_readyState = READYSTATE_INTERACTIVE;
    pHost->m_pView->OnTitleChange(Ansi(pHost->m_strTitle.c_str()).c_str());
    if (bOwn && token->bAlive && pHost->m_readyState == READYSTATE_INTERACTIVE)
        pHost->m_readyState = state;
}

void OnTitle(WebKitWebView* pWebView, GParamSpec*, gpointer data)
{
    CHtmlView::CHost* pHost = HostOf(data);
    const char* title = webkit_web_view_get_title(pWebView);
    if (!title || (pHost->m_bTitleTold && pHost->m_strTitle == title))
        return;
    // The engine tells a page's first title only after the page has loaded. It is the page's own
    // when the page had it as it finished loading; one that its script sets later is not, and it
    // waits until the page has said which title it had.
    bool bFirst = !pHost->m_bTitleTold && pHost->m_readyState == READYSTATE_COMPLETE;
    pHost->m_bTitleTold = true;
    pHost->m_strTitle = title;
    if (bFirst && pHost->m_nLoadTitle == CHtmlView::CHost::LOAD_TITLE_ASKED)
    {
        pHost->m_bTitleHeld = true;
        return;
    }
    TellTitle(pHost, bFirst && (pHost->m_nLoadTitle == CHtmlView::CHost::LOAD_TITLE_UNKNOWN ||
                                pHost->m_strTitle == pHost->m_strLoadTitle));
}

// Asks the page, without waiting, for the title it had as it finished loading.
void AskLoadTitle(CHtmlView::CHost* pHost, WebKitWebView* pWebView)
{
    pHost->m_nLoadTitle = CHtmlView::CHost::LOAD_TITLE_ASKED;
    pHost->m_bTitleHeld = false;
    struct Ask
    {
        std::shared_ptr<CHostToken> token;
        CHtmlView::CHost* pHost;
        unsigned nPage;
    };
    static const char kScript[] = "document.title";
    webkit_web_view_evaluate_javascript(
        pWebView, kScript, (gssize)(sizeof kScript - 1), nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Ask> p(static_cast<Ask*>(data));
            JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
            CHtmlView::CHost* pHost = p->token->bAlive && p->pHost->m_nPage == p->nPage ? p->pHost : nullptr;
            if (pHost && pHost->m_nLoadTitle == CHtmlView::CHost::LOAD_TITLE_ASKED)
            {
                // Without an answer the first title counts as the page's own, as before.
                char* text = value ? jsc_value_to_string(value) : nullptr;
                pHost->m_nLoadTitle = text ? CHtmlView::CHost::LOAD_TITLE_KNOWN : CHtmlView::CHost::LOAD_TITLE_UNKNOWN;
                pHost->m_strLoadTitle = text ? text : "";
                g_free(text);
                if (pHost->m_bTitleHeld)
                {
                    pHost->m_bTitleHeld = false;
                    TellTitle(pHost, pHost->m_nLoadTitle == CHtmlView::CHost::LOAD_TITLE_UNKNOWN ||
                                         (!pHost->m_strTitle.empty() && pHost->m_strTitle == pHost->m_strLoadTitle));
                }
            }
            if (value)
                g_object_unref(value);
        },
        new Ask{pHost->m_token, pHost, pHost->m_nPage});
}

void OnLoadChanged(WebKitWebView* pWebView, WebKitLoadEvent event, gpointer data)
{
    CHtmlView::CHost* pHost = HostOf(data);
    switch (event)
    {
    case WEBKIT_LOAD_STARTED:
        pHost->m_readyState = READYSTATE_LOADING;
        pHost->m_bCommitted = false;
        pHost->m_nLoadTitle = CHtmlView::CHost::LOAD_TITLE_UNKNOWN;
        pHost->m_bTitleHeld = false;
        break;
    case WEBKIT_LOAD_COMMITTED:
        pHost->m_readyState = READYSTATE_INTERACTIVE;
        pHost->m_bCommitted = true;
        pHost->m_bTitleTold = false;
        ++pHost->m_nPage;
        UpdateCommandState(pHost, pWebView);
        break;
    case WEBKIT_LOAD_FINISHED:
    {
        // A load that never committed (refused, cancelled) made no page.
        bool bPage = pHost->m_bCommitted;
        pHost->m_bCommitted = false;
        if (!bPage)
            break;
        std::shared_ptr<CHostToken> token = pHost->m_token;
        pHost->m_readyState = READYSTATE_COMPLETE;
        if (!pHost->m_bTitleTold)
            AskLoadTitle(pHost, pWebView);
        UpdateCommandState(pHost, pWebView);
        if (token->bAlive)
            pHost->m_pView->OnDocumentComplete(Ansi(webkit_web_view_get_uri(pWebView)).c_str());
        break;
    }
    default:
        break;
    }
}

// A server whose certificate the system does not trust may still be signed by the one more CA the
// client's network layer trusts (NETVANE_CA_FILE): then the certificate is allowed for its host and
// the address loaded again. Anything else fails as a certificate error.
gboolean OnTlsErrors(WebKitWebView* pWebView, gchar* uri, GTlsCertificate* certificate, GTlsCertificateFlags,
                     gpointer)
{
    const char* caFile = getenv("NETVANE_CA_FILE");
    if (!caFile || !*caFile || !uri || !certificate)
        return FALSE;
    GUri* parsed = g_uri_parse(uri, G_URI_FLAGS_NONE, nullptr);
    if (!parsed)
        return FALSE;
    std::string host = g_uri_get_host(parsed) ? g_uri_get_host(parsed) : "";
    int port = g_uri_get_port(parsed) > 0 ? g_uri_get_port(parsed) : 443;
    g_uri_unref(parsed);
    GTlsCertificate* ca = g_tls_certificate_new_from_file(caFile, nullptr);
    if (!ca || host.empty())
    {
        if (ca)
            g_object_unref(ca);
        return FALSE;
    }
    GSocketConnectable* identity = g_network_address_new(host.c_str(), (guint16)port);
    GTlsCertificateFlags flags = g_tls_certificate_verify(certificate, identity, ca);
    g_object_unref(identity);
    g_object_unref(ca);
    if (flags != 0)
        return FALSE;
    webkit_web_context_allow_tls_certificate_for_host(webkit_web_view_get_context(pWebView), certificate, host.c_str());
    webkit_web_view_load_uri(pWebView, uri);
    return TRUE;
}

gboolean OnLoadFailed(WebKitWebView* pWebView, WebKitLoadEvent, gchar* uri, GError* error, gpointer data)
{
    CHtmlView::CHost* pHost = HostOf(data);
    // Loads the program or the page replaced, and answers the policy turned away, are no errors.
    if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
        g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
        g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI))
        return FALSE;
    if (pHost->m_readyState != READYSTATE_COMPLETE)
        pHost->m_readyState = READYSTATE_COMPLETE;
    return NavigateError(pHost, pWebView, uri, ErrorCode(error), false) ? TRUE : FALSE;
}

gboolean OnDecidePolicy(WebKitWebView* pWebView, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                        gpointer data)
{
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return FALSE;
    auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (!webkit_response_policy_decision_is_main_frame_main_resource(response))
        return FALSE;
    WebKitURIResponse* r = webkit_response_policy_decision_get_response(response);
    guint status = webkit_uri_response_get_status_code(r);
    if (status < 400)
        return FALSE;
    if (NavigateError(HostOf(data), pWebView, webkit_uri_response_get_uri(r), status, true))
    {
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    return FALSE;
}


void OnHistoryChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer, gpointer data)
{
    CHtmlView::CHost* pHost = HostOf(data);
    if (WebKitWebView* pWebView = pHost->WebView())
        UpdateCommandState(pHost, pWebView);
}

GtkWidget* OnWebCreate(WebKitWebView* pWebView, WebKitNavigationAction*, gpointer data)
{
    CHtmlView::CHost* pHost = HostOf(data);
    LPDISPATCH pDisp = nullptr;
    BOOL bCancel = FALSE;
    std::shared_ptr<CHostToken> token = pHost->m_token;
    pHost->m_pView->OnNewWindow2(&pDisp, &bCancel);
    if (!pDisp)
        return nullptr;
    WebKitWebView* pNew = nullptr;
    if (!bCancel && token->bAlive && pHost->WebView() == pWebView)
        if (CHtmlView::CHost* pTarget = AfxHostOfBrowserObject(pDisp))
            pNew = pTarget->AdoptNewWindow(pWebView);
    pDisp->Release();
    return pNew ? GTK_WIDGET(pNew) : nullptr;
}

void OnWebClose(WebKitWebView* pWebView, gpointer data)
{
    // The page closed its window: the browser control goes, once WebKit is out of its signal.
    CHtmlView::CHost* pHost = HostOf(data);
    struct Later
    {
        std::shared_ptr<CHostToken> token;
        CHtmlView::CHost* pHost;
        WebKitWebView* pWebView;
    };
    g_idle_add(
        [](gpointer d) -> gboolean {
            auto* p = static_cast<Later*>(d);
            if (p->token->bAlive && p->pHost->WebView() == p->pWebView && p->pHost->m_pBrowser)
                p->pHost->m_pBrowser->DestroyWindow();
            delete p;
            return G_SOURCE_REMOVE;
        },
        new Later{pHost->m_token, pHost, pWebView});
}

gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data)
{
    WebKitScriptDialogType type = webkit_script_dialog_get_dialog_type(dialog);
    if (type != WEBKIT_SCRIPT_DIALOG_ALERT && type != WEBKIT_SCRIPT_DIALOG_CONFIRM)
        return FALSE;
    std::wstring text = CCodePage::Utf8ToWide(webkit_script_dialog_get_message(dialog));
    // The host may take the message itself: then no box shows.
    if (HostOf(data)->MessageCommand(text) == S_OK)
    {
        if (type == WEBKIT_SCRIPT_DIALOG_CONFIRM)
            webkit_script_dialog_confirm_set_confirmed(dialog, FALSE);
        return TRUE;
    }
    DWORD dwType = type == WEBKIT_SCRIPT_DIALOG_ALERT ? (MB_OK | MB_ICONWARNING) : (MB_OKCANCEL | MB_ICONQUESTION);
    LRESULT result = 0;
    if (HostOf(data)->ShowMessage(text, dwType, &result) != S_OK)
        return FALSE;
    if (type == WEBKIT_SCRIPT_DIALOG_CONFIRM)
        webkit_script_dialog_confirm_set_confirmed(dialog, result == IDOK);
    return TRUE;
}

// Where a menu opened from the keyboard belongs, in the page's viewport: below the selection's
// end, or below the focused element (through same-origin frames), else the page's corner.
const char* kFocusPointScript = R"JS(
(function () {
  var w = window, x = 0, y = 0;
  for (var depth = 0; depth < 8; depth++) {
    var d = w.document, e = d.activeElement, s = w.getSelection(), r = null;
    if (s && s.rangeCount && !s.isCollapsed) {
      var rects = s.getRangeAt(0).getClientRects();
      if (rects.length) r = rects[rects.length - 1];
    }
    if (r) { x += r.right; y += r.bottom; break; }
    if (!e || e === d.body || e === d.documentElement) break;
    r = e.getBoundingClientRect();
    if (e.tagName === 'IFRAME' || e.tagName === 'FRAME') {
      var inner = null;
      try { inner = e.contentWindow && e.contentWindow.document ? e.contentWindow : null; } catch (ex) {}
      x += r.left + e.clientLeft; y += r.top + e.clientTop;
      if (!inner) break;
      w = inner;
      continue;
    }
    x += r.left; y += r.bottom;
    break;
  }
  return Math.round(x) + ',' + Math.round(y);
})()
)JS";

gboolean OnWebContextMenu(WebKitWebView* pWebView, WebKitContextMenu*, GdkEvent* event, WebKitHitTestResult*,
                          gpointer data)
{
    CHtmlView::CHost* pHost = HostOf(data);
    gdouble x = 0, y = 0;
    POINT pt{0, 0};
    if (event && gdk_event_get_root_coords(event, &x, &y))
        pt = POINT{(LONG)x, (LONG)y};
    else
    {
        // The menu key or Shift+F10: the menu opens at the page's focus.
        std::shared_ptr<CHostToken> token = pHost->m_token;
        pt = pHost->FocusPoint(pWebView);
        if (!token->bAlive || pHost->WebView() != pWebView)
            return TRUE;
    }
    HRESULT hr;
    if (auto* pUi = pHost->Site<IDocHostUIHandler>(IID_IDocHostUIHandler))
    {
        hr = pUi->ShowContextMenu(0, &pt, nullptr, nullptr);
        pUi->Release();
    }
    else
        hr = pHost->m_pView->OnShowContextMenu(0, &pt, nullptr, nullptr);
    return hr == S_OK ? TRUE : FALSE;
}
}  // namespace

CHtmlView::CHost::CHost(CHtmlView* pView) : m_pView(pView) {}

CHtmlView::CHost::~CHost()
{
    m_token->bAlive = false;
    if (WebKitWebView* pWebView = WebView())
        Disconnect(pWebView);
    if (m_pSite)
        m_pSite->Release();
}

WebKitWebView* CHtmlView::CHost::WebView() const
{
    return m_pBrowser ? m_pBrowser->GetWebView() : nullptr;
}

CHtmlView::CHost* AfxHostOfWebView(WebKitWebView* pView)
{
    return pView ? static_cast<CHtmlView::CHost*>(g_object_get_data(G_OBJECT(pView), kHostKey)) : nullptr;
}

WebKitWebView* CHtmlView::CHost::MakeWebView(WebKitWebView* pRelated)
{
    // A prewarmed view keeps its settings object and only what differs is changed: new settings
    // for its running page now and then cost the first load (cancelled).
    WebKitWebView* pView = pRelated ? nullptr : AfxTakePrewarmedWebView();
    WebKitSettings* settings = pView ? WEBKIT_SETTINGS(g_object_ref(webkit_web_view_get_settings(pView)))
                                     : AfxNewWebSettings();
    // The policy the site gives for scripts and plug-ins; without an answer the engine's default.
    DWORD dwScript = UrlPolicy(URLACTION_SCRIPT_RUN);
    if (dwScript != (DWORD)-1)
        webkit_settings_set_enable_javascript(settings, dwScript == URLPOLICY_ALLOW);
    if (pRelated)
        pView = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", pRelated, "settings", settings,
                                             "user-content-manager", AfxGetUserContent(), nullptr));
    else if (!pView)
        pView = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", AfxGetWebContext(), "settings",
                                             settings, "user-content-manager", AfxGetUserContent(), nullptr));
    g_object_unref(settings);
    Connect(pView);
    return pView;
}

void CHtmlView::CHost::Connect(WebKitWebView* pView)
{
    g_object_set_data(G_OBJECT(pView), kHostKey, this);
    g_signal_connect(pView, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(pView, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(pView, "load-failed-with-tls-errors", G_CALLBACK(OnTlsErrors), this);
    g_signal_connect(pView, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(pView, "notify::title", G_CALLBACK(OnTitle), this);
    g_signal_connect(pView, "create", G_CALLBACK(OnWebCreate), this);
    g_signal_connect(pView, "close", G_CALLBACK(OnWebClose), this);
    g_signal_connect(pView, "script-dialog", G_CALLBACK(OnScriptDialog), this);
    g_signal_connect(pView, "context-menu", G_CALLBACK(OnWebContextMenu), this);
    g_signal_connect(webkit_web_view_get_back_forward_list(pView), "changed", G_CALLBACK(OnHistoryChanged), this);
}

void CHtmlView::CHost::Disconnect(WebKitWebView* pView)
{
    g_object_set_data(G_OBJECT(pView), kHostKey, nullptr);
    g_signal_handlers_disconnect_by_data(pView, this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(pView), this);
}

WebKitWebView* CHtmlView::CHost::AdoptNewWindow(WebKitWebView* pRelated)
{
    if (!m_pBrowser)
        return nullptr;
    if (WebKitWebView* pOld = WebView())
        Disconnect(pOld);
    WebKitWebView* pNew = MakeWebView(pRelated);
    m_pBrowser->ReplaceWebView(pNew);
    m_readyState = READYSTATE_UNINITIALIZED;
    m_bCommitted = false;
    return pNew;
}

void CHtmlView::CHost::Navigate(const std::string& url, const std::string& post)
{
    ++m_nNavigation;
    std::shared_ptr<CHostToken> token = m_token;
    unsigned nNavigation = m_nNavigation;
    AfxWhenCookiesStored([this, token, url, post, nNavigation] {
        // A later navigation of the same view wins.
        if (!token->bAlive || nNavigation != m_nNavigation)
            return;
        WebKitWebView* pView = WebView();
        if (!pView)
            return;
        if (post.empty())
            webkit_web_view_load_uri(pView, url.c_str());
        else
            LoadPostForm(url, post);
    });
}

namespace
{
int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Bytes of a form-encoded part: %XX and '+' decoded.
std::string FormDecode(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] == '+')
            out += ' ';
        else if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0)
        {
            out += (char)(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        }
        else
            out += s[i];
    }
    return out;
}

// The text whose windows-1252 encoding is the given bytes, in UTF-8: the form page submits in
// that encoding, so every byte comes back as it was.
std::string BytesAs1252(const std::string& bytes)
{
    static const unsigned short k80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::wstring w;
    for (unsigned char c : bytes)
        w += (wchar_t)(c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c);
    return CCodePage::WideToUtf8(w);
}
}  // namespace

std::string AfxJsQuote(const std::string& s)
{
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i)
    {
        unsigned char c = (unsigned char)s[i];
        switch (c)
        {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '<': out += "\\u003c"; break;  // never closes a script element
        default:
            if (c < 0x20)
            {
                char buf[8];
                snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            }
            // U+2028 and U+2029 end lines in older script engines.
            else if (c == 0xE2 && i + 2 < s.size() && (unsigned char)s[i + 1] == 0x80 &&
                     ((unsigned char)s[i + 2] == 0xA8 || (unsigned char)s[i + 2] == 0xA9))
            {
                out += (unsigned char)s[i + 2] == 0xA8 ? "\\u2028" : "\\u2029";
                i += 2;
            }
            else
                out += (char)c;
        }
    }
    return out + "\"";
}

void CHtmlView::CHost::LoadPostForm(const std::string& url, const std::string& body)
{
    std::string fields = "[";
    size_t start = 0;
    while (start <= body.size())
    {
        size_t amp = body.find('&', start);
        std::string pair = body.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
        size_t eq = pair.find('=');
        std::string name = FormDecode(pair.substr(0, eq));
        std::string value = eq == std::string::npos ? std::string() : FormDecode(pair.substr(eq + 1));
        if (fields.size() > 1)
            fields += ",";
        fields += "[" + AfxJsQuote(BytesAs1252(name)) + "," + AfxJsQuote(BytesAs1252(value)) + "]";
        if (amp == std::string::npos)
            break;
        start = amp + 1;
    }
    fields += "]";
    std::string html =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
        "<form id=\"f\" method=\"post\" accept-charset=\"windows-1252\" enctype=\"application/x-www-form-urlencoded\">"
        "</form><script>(function(){var f=document.getElementById('f');f.action=" + AfxJsQuote(url) +
        ";var d=" + fields +
        ";for(var i=0;i<d.length;i++){var e=document.createElement('input');e.type='hidden';e.name=d[i][0];"
        "e.value=d[i][1];f.appendChild(e);}"
        "window.addEventListener('load',function(){setTimeout(function(){f.submit();},0);});})();</script>"
        "</body></html>";
    webkit_web_view_load_html(WebView(), html.c_str(), url.c_str());
}

void CHtmlView::CHost::WriteHtml(const std::string& html)
{
    if (m_nErrorDepth > 0)
    {
        m_strErrorHtml += html;
        return;
    }
    WebKitWebView* pView = WebView();
    if (!pView)
        return;
    const char* uri = webkit_web_view_get_uri(pView);
    std::string current = uri ? uri : "about:blank";
    webkit_web_view_load_alternate_html(pView, html.c_str(), current.c_str(), current.c_str());
}

BOOL CHtmlView::CHost::Evaluate(const std::string& script, JSCValue** ppResult, std::string* pException,
                                DWORD dwTimeout, HRESULT* phr)
{
    if (ppResult)
        *ppResult = nullptr;
    HRESULT hrIgnored;
    HRESULT& hr = phr ? *phr : hrIgnored;
    hr = RPC_E_SERVERCALL_RETRYLATER;
    WebKitWebView* pView = WebView();
    // A page waiting in its own external call cannot run script.
    if (!pView || m_nExternalDepth > 0)
    {
        if (pException)
            *pException = "the page cannot run script now";
        return FALSE;
    }
    struct Call
    {
        bool bDone = false;
        JSCValue* pValue = nullptr;
        std::string exception;
        ~Call()
        {
            if (pValue)
                g_object_unref(pValue);
        }
    };
    auto* pCall = new std::shared_ptr<Call>(std::make_shared<Call>());
    std::shared_ptr<Call> call = *pCall;
    webkit_web_view_evaluate_javascript(
        pView, script.c_str(), (gssize)script.size(), nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* p = static_cast<std::shared_ptr<Call>*>(data);
            GError* error = nullptr;
            JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
            if (error)
            {
                (*p)->exception = error->message ? error->message : "script failed";
                g_error_free(error);
            }
            (*p)->pValue = value;
            (*p)->bDone = true;
            delete p;
        },
        pCall);
    AfxWaitUntil([](void* p) -> BOOL { return static_cast<Call*>(p)->bDone; }, call.get(), dwTimeout);
    if (!call->bDone)
    {
        hr = RPC_E_TIMEOUT;
        if (pException)
            *pException = "the page did not answer in time";
        return FALSE;
    }
    if (!call->pValue)
    {
        hr = DISP_E_EXCEPTION;
        if (pException)
            *pException = call->exception;
        return FALSE;
    }
    hr = S_OK;
    if (ppResult)
    {
        *ppResult = call->pValue;
        call->pValue = nullptr;
    }
    return TRUE;
}

POINT CHtmlView::CHost::FocusPoint(WebKitWebView* pWebView)
{
    POINT pt{0, 0};
    JSCValue* value = nullptr;
    if (Evaluate(kFocusPointScript, &value, nullptr, 1000))
    {
        char* text = jsc_value_to_string(value);
        long lx = 0, ly = 0;
        if (text && sscanf(text, "%ld,%ld", &lx, &ly) == 2)
            pt = POINT{(LONG)lx, (LONG)ly};
        g_free(text);
        g_object_unref(value);
    }
    // The waits above let posted messages run: the view may be gone.
    if (!m_pBrowser || WebView() != pWebView || !m_pBrowser->GetSafeHwnd())
        return pt;
    // Inside the view, whatever the page scrolled away.
    CRect rc;
    m_pBrowser->GetClientRect(&rc);
    pt.x = std::max<LONG>(0, std::min<LONG>(pt.x, rc.Width() - 1));
    pt.y = std::max<LONG>(0, std::min<LONG>(pt.y, rc.Height() - 1));
    m_pBrowser->ClientToScreen(&pt);
    return pt;
}

HRESULT CHtmlView::CHost::GetExternal(IDispatch** ppDisp)
{
    *ppDisp = nullptr;
    if (auto* pUi = Site<IDocHostUIHandler>(IID_IDocHostUIHandler))
    {
        HRESULT hr = pUi->GetExternal(ppDisp);
        pUi->Release();
        return hr;
    }
    return m_pView->OnGetExternal(ppDisp);
}

DWORD CHtmlView::CHost::UrlPolicy(DWORD dwAction)
{
    auto* pProvider = Site<IServiceProvider>(IID_IServiceProvider);
    if (!pProvider)
        return (DWORD)-1;
    IInternetSecurityManager* pManager = nullptr;
    DWORD dwPolicy = (DWORD)-1;
    if (SUCCEEDED(pProvider->QueryService(IID_IInternetSecurityManager, IID_IInternetSecurityManager,
                                          reinterpret_cast<void**>(&pManager))) && pManager)
    {
        DWORD dw = 0;
        if (pManager->ProcessUrlAction(nullptr, dwAction, reinterpret_cast<BYTE*>(&dw), sizeof dw, nullptr, 0, 0, 0) == S_OK)
            dwPolicy = dw;
        pManager->Release();
    }
    pProvider->Release();
    return dwPolicy;
}

void CHtmlView::CHost::ReportScriptError(const std::string&)
{
    auto* pTarget = Site<IOleCommandTarget>(IID_IOleCommandTarget);
    if (!pTarget)
        return;
    VARIANT in, out;
    VariantInit(&in);
    VariantInit(&out);
    pTarget->Exec(&CGID_DocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out);
    VariantClear(&out);
    pTarget->Release();
}

HRESULT CHtmlView::CHost::MessageCommand(const std::wstring& text)
{
    auto* pTarget = Site<IOleCommandTarget>(IID_IOleCommandTarget);
    if (!pTarget)
        return OLECMDERR_E_NOTSUPPORTED;
    VARIANT in, out;
    VariantInit(&in);
    VariantInit(&out);
    in.vt = VT_BSTR;
    in.bstrVal = SysAllocStringLen(text.data(), (UINT)text.size());
    HRESULT hr = pTarget->Exec(&CGID_DocHostCommandHandler, OLECMDID_SHOWMESSAGE, 0, &in, &out);
    VariantClear(&in);
    VariantClear(&out);
    pTarget->Release();
    return hr;
}

HRESULT CHtmlView::CHost::ShowMessage(const std::wstring& text, DWORD dwType, LRESULT* plResult)
{
    auto* pShow = Site<IDocHostShowUI>(IID_IDocHostShowUI);
    if (!pShow)
        return S_FALSE;
    char caption[256] = "";
    HMODULE hModule = LoadLibraryA("SHDOCLC.DLL");
    LoadString(hModule, 128, caption, sizeof caption);
    FreeLibrary(hModule);
    std::wstring wcaption = CCodePage::AnsiToWide(caption);
    std::wstring wtext = text;
    HRESULT hr = pShow->ShowMessage(m_pView->GetSafeHwnd(), wtext.data(), wcaption.data(), dwType, nullptr, 0, plResult);
    pShow->Release();
    return hr;
}
