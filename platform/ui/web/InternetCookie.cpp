#include <webkit2/webkit2.h>
#include <libsoup/soup.h>
#include <cstring>
#include <string>
#include <vector>
#include "InternetCookie.h"
#include "CodePage.h"
#include "WebContext.h"

namespace
{
int g_nPending = 0;
std::vector<std::function<void()>>& Waiting()
{
    static std::vector<std::function<void()>> s;
    return s;
}

void CookieStored(GObject* source, GAsyncResult* result, gpointer)
{
    GError* error = nullptr;
    webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(source), result, &error);
    if (error)
        g_error_free(error);
    if (--g_nPending > 0)
        return;
    std::vector<std::function<void()>> run;
    run.swap(Waiting());
    for (auto& fn : run)
        fn();
}
}  // namespace

void AfxWhenCookiesStored(std::function<void()> fn)
{
    if (g_nPending == 0)
        fn();
    else
        Waiting().push_back(std::move(fn));
}

BOOL InternetSetCookieA(LPCSTR lpszUrl, LPCSTR lpszCookieName, LPCSTR lpszCookieData)
{
    if (!lpszUrl || !lpszCookieData)
        return FALSE;
    std::string url = CCodePage::AnsiToUtf8(lpszUrl);
    GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_ENCODED, nullptr);
    if (!uri)
        return FALSE;
    std::string scheme = g_uri_get_scheme(uri) ? g_uri_get_scheme(uri) : "";
    std::string host = g_uri_get_host(uri) ? g_uri_get_host(uri) : "";
    g_uri_unref(uri);
    for (char& c : scheme)
        c = (char)g_ascii_tolower(c);
    if ((scheme != "http" && scheme != "https") || host.empty())
        return FALSE;
    std::string text = lpszCookieName ? std::string(lpszCookieName) + "=" + lpszCookieData : lpszCookieData;
    text = CCodePage::AnsiToUtf8(text);
    std::string header = text;
    // Without a domain or path of its own the cookie belongs to the address's host and folder.
    SoupCookie* cookie = nullptr;
    {
        GUri* base = g_uri_parse(url.c_str(), G_URI_FLAGS_ENCODED, nullptr);
        cookie = base ? soup_cookie_parse(header.c_str(), base) : nullptr;
        if (base)
            g_uri_unref(base);
    }
    if (!cookie || !soup_cookie_get_name(cookie) || !*soup_cookie_get_name(cookie))
    {
        if (cookie)
            soup_cookie_free(cookie);
        return FALSE;
    }
    WebKitCookieManager* manager = webkit_web_context_get_cookie_manager(AfxGetWebContext());
    ++g_nPending;
    webkit_cookie_manager_add_cookie(manager, cookie, nullptr, &CookieStored, nullptr);
    soup_cookie_free(cookie);
    return TRUE;
}
