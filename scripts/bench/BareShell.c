/* The bare WebKitGTK shell of the page benchmark: one window, one web view, one address. Cookies
   given as name=value arguments are stored for the address before the load, as the client does,
   and a certificate the system does not know is taken (devnet's own). Prints "loaded" once the
   page has finished loading, then waits to be ended. Runs with the same engine settings as the
   client: no compositing, no hardware acceleration.
   usage: bare_webkit_shell URL [name=value ...] */
#include <gtk/gtk.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <webkit2/webkit2.h>

static int s_pending = 0;
static const char* s_url = NULL;
static WebKitWebView* s_view = NULL;

static void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer data)
{
    (void)data;
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    const char* uri = webkit_web_view_get_uri(view);
    /* The sign-on road ends on the business page, past the login address. */
    if (uri && strstr(uri, "ticket="))
    {
        printf("loaded %s\n", uri);
        fflush(stdout);
    }
}

static gboolean on_tls_errors(WebKitWebView* view, gchar* uri, GTlsCertificate* certificate, GTlsCertificateFlags flags,
                              gpointer data)
{
    (void)flags;
    (void)data;
    GUri* parsed = g_uri_parse(uri, G_URI_FLAGS_NONE, NULL);
    if (!parsed)
        return FALSE;
    webkit_web_context_allow_tls_certificate_for_host(webkit_web_view_get_context(view), certificate,
                                                      g_uri_get_host(parsed));
    g_uri_unref(parsed);
    webkit_web_view_load_uri(view, uri);
    return TRUE;
}

static void on_cookie_stored(GObject* source, GAsyncResult* result, gpointer data)
{
    (void)data;
    webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(source), result, NULL);
    if (--s_pending == 0)
        webkit_web_view_load_uri(s_view, s_url);
}

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: %s URL [name=value ...]\n", argv[0]);
        return 2;
    }
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
    gtk_init(&argc, &argv);
    s_url = argv[1];
    WebKitWebContext* context = webkit_web_context_get_default();
    WebKitSettings* settings = webkit_settings_new();
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    s_view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "settings", settings, NULL));
    g_object_unref(settings);
    g_signal_connect(s_view, "load-changed", G_CALLBACK(on_load_changed), NULL);
    g_signal_connect(s_view, "load-failed-with-tls-errors", G_CALLBACK(on_tls_errors), NULL);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 1280, 1000);
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(s_view));
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show_all(window);

    WebKitCookieManager* cookies = webkit_web_context_get_cookie_manager(context);
    GUri* base = g_uri_parse(s_url, G_URI_FLAGS_ENCODED, NULL);
    for (int i = 2; i < argc && base; ++i)
    {
        SoupCookie* cookie = soup_cookie_parse(argv[i], base);
        if (!cookie)
            continue;
        ++s_pending;
        webkit_cookie_manager_add_cookie(cookies, cookie, NULL, on_cookie_stored, NULL);
        soup_cookie_free(cookie);
    }
    if (base)
        g_uri_unref(base);
    if (s_pending == 0)
        webkit_web_view_load_uri(s_view, s_url);
    gtk_main();
    return 0;
}
