// The shared web context and window.external: an injected script gives every page a
// window.external whose method calls are synchronous requests to the scheme "parvel-ext", answered
// here on the GUI thread by the external object of the view that shows the page.
#include <webkit2/webkit2.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "WebContext.h"
#include "HtmlViewHost.h"
#include "CodePage.h"
#include "ResourceRegistry.h"

namespace
{
const char* kScheme = "parvel-ext";

// The browser's standard caption of page message boxes.
CResourceRegistrar s_caption([] { CResourceRegistry::AddModuleString("SHDOCLC.DLL", 128, "来自网页的消息"); });

// Argument i travels as "a<i>": "u" for a missing value, else "s" and the text.
const char* kExternalScript = R"JS(
(function () {
  if (window.__parvelExternal) return;
  function call(name, args) {
    var q = 'n=' + encodeURIComponent(name) + '&c=' + args.length;
    for (var i = 0; i < args.length; i++) {
      var a = args[i];
      q += '&a' + i + '=' + (a === undefined || a === null ? 'u' : 's' + encodeURIComponent(String(a)));
    }
    var x = new XMLHttpRequest();
    x.open('GET', 'parvel-ext://call/?' + q, false);
    x.send();
    var t = x.responseText, k = t.charAt(0), v = t.substring(1);
    if (k === 'b') return v === '1';
    if (k === 's') return v;
    if (k === 'n') return Number(v);
    if (k === '!') throw new TypeError(v);
    return undefined;
  }
  var ext = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string' || name === 'then' || name === 'toJSON') return undefined;
      return function () { return call(name, Array.prototype.slice.call(arguments)); };
    }
  });
  window.__parvelExternal = ext;
  try { Object.defineProperty(window, 'external', { value: ext, configurable: true }); } catch (e) {}
  window.addEventListener('error', function (e) {
    try {
      var x = new XMLHttpRequest();
      x.open('GET', 'parvel-ext://error/?m=' + encodeURIComponent(String(e.message)) +
             '&u=' + encodeURIComponent(String(e.filename || '')) + '&l=' + (e.lineno || 0), true);
      x.send();
    } catch (ignored) {}
  });
})();
)JS";

void Answer(WebKitURISchemeRequest* request, const std::string& text)
{
    GInputStream* stream = g_memory_input_stream_new_from_data(g_memdup2(text.data(), text.size()), (gssize)text.size(), g_free);
    WebKitURISchemeResponse* response = webkit_uri_scheme_response_new(stream, (gint64)text.size());
    webkit_uri_scheme_response_set_content_type(response, "text/plain; charset=utf-8");
    SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
    soup_message_headers_append(headers, "Access-Control-Allow-Origin", "*");
    soup_message_headers_append(headers, "Cache-Control", "no-store");
    webkit_uri_scheme_response_set_http_headers(response, headers);
    webkit_uri_scheme_request_finish_with_response(request, response);
    g_object_unref(response);
    g_object_unref(stream);
}

std::string Param(GHashTable* params, const char* name)
{
    const char* v = params ? static_cast<const char*>(g_hash_table_lookup(params, name)) : nullptr;
    return v ? v : "";
}

std::string ResultText(const VARIANT& v)
{
    switch (v.vt)
    {
    case VT_BOOL:
        return v.boolVal ? "b1" : "b0";
    case VT_BSTR:
        return "s" + (v.bstrVal ? CCodePage::WideToUtf8(std::wstring(v.bstrVal, SysStringLen(v.bstrVal))) : std::string());
    case VT_I4:
        return "n" + std::to_string(v.lVal);
    case VT_R8:
    {
        char buf[64];
        snprintf(buf, sizeof buf, "%.17g", v.dblVal);
        return std::string("n") + buf;
    }
    default:
        return "u";
    }
}

// One method call of window.external.
std::string CallExternal(CHtmlView::CHost* pHost, GHashTable* params)
{
    std::string name = Param(params, "n");
    int nArgs = atoi(Param(params, "c").c_str());
    if (nArgs < 0 || nArgs > 64)
        nArgs = 0;
    IDispatch* pDisp = nullptr;
    if (FAILED(pHost->GetExternal(&pDisp)) || !pDisp)
        return "!window.external has no methods";
    std::wstring wname = CCodePage::Utf8ToWide(name);
    LPOLESTR names[1] = {wname.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(pDisp->GetIDsOfNames(IID_NULL, names, 1, 0x0800, &id)))
    {
        pDisp->Release();
        return "!Object doesn't support property or method '" + name + "'";
    }
    std::vector<VARIANT> args((size_t)nArgs);
    for (int i = 0; i < nArgs; ++i)
    {
        // Automation wants the last argument first.
        VARIANT& v = args[(size_t)(nArgs - 1 - i)];
        VariantInit(&v);
        std::string a = Param(params, ("a" + std::to_string(i)).c_str());
        if (!a.empty() && a[0] == 's')
        {
            std::wstring w = CCodePage::Utf8ToWide(a.substr(1));
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocStringLen(w.data(), (UINT)w.size());
        }
    }
    DISPPARAMS dp{args.empty() ? nullptr : args.data(), nullptr, (UINT)nArgs, 0};
    VARIANT result;
    VariantInit(&result);
    ++pHost->m_nExternalDepth;
    std::shared_ptr<CHostToken> token = pHost->m_token;
    HRESULT hr = pDisp->Invoke(id, IID_NULL, 0x0800, DISPATCH_METHOD, &dp, &result, nullptr, nullptr);
    if (token->bAlive)
        --pHost->m_nExternalDepth;
    for (auto& v : args)
        VariantClear(&v);
    pDisp->Release();
    std::string text = FAILED(hr) ? std::string("!window.external." + name + " failed") : ResultText(result);
    VariantClear(&result);
    return text;
}

void OnSchemeRequest(WebKitURISchemeRequest* request, gpointer)
{
    WebKitWebView* pWebView = webkit_uri_scheme_request_get_web_view(request);
    CHtmlView::CHost* pHost = AfxHostOfWebView(pWebView);
    // A call may close the page's tab inside a nested wait: the engine has then dropped the
    // request, and an answer would reach a page that is gone.
    GWeakRef view;
    g_weak_ref_init(&view, pWebView);
    g_object_ref(request);
    GUri* uri = g_uri_parse(webkit_uri_scheme_request_get_uri(request), G_URI_FLAGS_ENCODED_QUERY, nullptr);
    std::string what = uri && g_uri_get_host(uri) ? g_uri_get_host(uri) : "";
    const char* query = uri ? g_uri_get_query(uri) : nullptr;
    GHashTable* params = query ? g_uri_parse_params(query, -1, "&", G_URI_PARAMS_NONE, nullptr) : nullptr;
    std::string answer = "u";
    if (!pHost)
        answer = "!window.external is not available";
    else if (what == "call")
        answer = CallExternal(pHost, params);
    else if (what == "error")
        pHost->ReportScriptError(Param(params, "m"));
    if (params)
        g_hash_table_unref(params);
    if (uri)
        g_uri_unref(uri);
    GObject* pStill = static_cast<GObject*>(g_weak_ref_get(&view));
    if (pStill && (!pHost || AfxHostOfWebView(pWebView) == pHost))
        Answer(request, answer);
    if (pStill)
        g_object_unref(pStill);
    g_weak_ref_clear(&view);
    g_object_unref(request);
}
}  // namespace

WebKitWebContext* AfxGetWebContext()
{
    static WebKitWebContext* s_context = nullptr;
    if (s_context)
        return s_context;
    // No compositing: the web process needs far less memory and loads as fast.
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
    s_context = webkit_web_context_get_default();
    webkit_web_context_register_uri_scheme(s_context, kScheme, &OnSchemeRequest, nullptr, nullptr);
    WebKitSecurityManager* security = webkit_web_context_get_security_manager(s_context);
    webkit_security_manager_register_uri_scheme_as_cors_enabled(security, kScheme);
    webkit_security_manager_register_uri_scheme_as_secure(security, kScheme);
    webkit_cookie_manager_set_accept_policy(webkit_web_context_get_cookie_manager(s_context),
                                            WEBKIT_COOKIE_POLICY_ACCEPT_ALWAYS);
    return s_context;
}

WebKitSettings* AfxNewWebSettings()
{
    WebKitSettings* settings = webkit_settings_new();
    // Pages open their windows from script, as they may in the Windows browser.
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    return settings;
}

WebKitUserContentManager* AfxGetUserContent()
{
    static WebKitUserContentManager* s_content = nullptr;
    if (s_content)
        return s_content;
    s_content = webkit_user_content_manager_new();
    WebKitUserScript* script = webkit_user_script_new(kExternalScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(s_content, script);
    webkit_user_script_unref(script);
    return s_content;
}

namespace
{
WebKitWebView* s_pPrewarmed = nullptr;  // floating, until a view takes it
bool s_bPrewarmAsked = false;
guint s_nPrewarmSource = 0;
bool s_bWaitingForWindow = false;  // the prewarm waits for a window to be shown

gboolean MakePrewarmed(gpointer)
{
    s_nPrewarmSource = 0;
    WebKitSettings* settings = AfxNewWebSettings();
    // Making the view starts the network process; the web process starts with the first work for
    // the page. A script in the empty page is such work and, unlike a load, leaves no history.
    s_pPrewarmed = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", AfxGetWebContext(), "settings",
                                                settings, "user-content-manager", AfxGetUserContent(), nullptr));
    g_object_unref(settings);
    webkit_web_view_evaluate_javascript(s_pPrewarmed, "void 0", -1, nullptr, nullptr, nullptr, nullptr, nullptr);
    return G_SOURCE_REMOVE;
}

// A top-level window on the screen (the X server mapped it): the prewarm follows, below the
// drawing's priority, so that the window is drawn before the engine's start takes the thread.
gboolean OnWindowMapped(GSignalInvocationHint*, guint, const GValue* params, gpointer)
{
    if (!s_bWaitingForWindow)
        return FALSE;
    GObject* pWidget = G_OBJECT(g_value_get_object(&params[0]));
    if (!GTK_IS_WINDOW(pWidget) || !gtk_widget_get_visible(GTK_WIDGET(pWidget)))
        return TRUE;
    s_bWaitingForWindow = false;
    s_nPrewarmSource = g_idle_add_full(G_PRIORITY_LOW, &MakePrewarmed, nullptr, nullptr);
    return FALSE;
}
}  // namespace

void AfxPrewarmHtmlView()
{
    if (s_bPrewarmAsked)
        return;
    s_bPrewarmAsked = true;
    s_bWaitingForWindow = true;
    // GTK skips the drawing signal where no handler waits for it; the map event always comes.
    g_signal_add_emission_hook(g_signal_lookup("map-event", GTK_TYPE_WIDGET), 0, &OnWindowMapped, nullptr, nullptr);
}

WebKitWebView* AfxTakePrewarmedWebView()
{
    // A view made before the prewarm came to run needs none any more.
    s_bWaitingForWindow = false;
    if (s_nPrewarmSource)
        g_source_remove(s_nPrewarmSource);
    s_nPrewarmSource = 0;
    WebKitWebView* pView = s_pPrewarmed;
    s_pPrewarmed = nullptr;
    return pView;
}
