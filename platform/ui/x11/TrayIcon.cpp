// Notification-area icons as XEmbed plugs docked into the system tray.
#include <map>
#include <string>
#include <utility>
#include <wx/wx.h>
#include <gtk/gtk.h>
#include <gtk/gtkx.h>
#include <gdk/gdkx.h>
#include <X11/Xlib.h>
#include "WndRecord.h"
#include "TrayIcon.h"

const wxBitmap* WxBitmapOfIcon(HICON h);

namespace
{
struct TrayIcon
{
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uCallbackMessage = 0;
    GtkWidget* pPlug = nullptr;
    GtkWidget* pArea = nullptr;
    GdkPixbuf* pPixbuf = nullptr;
    std::string strTipUtf8;
};

std::map<std::pair<HWND, UINT>, TrayIcon*>& Icons()
{
    static auto* m = new std::map<std::pair<HWND, UINT>, TrayIcon*>;
    return *m;
}

Display* XDisplay()
{
    GdkDisplay* d = gdk_display_get_default();
    return d && GDK_IS_X11_DISPLAY(d) ? gdk_x11_display_get_xdisplay(d) : nullptr;
}

Window TrayManager(Display* dpy)
{
    std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(dpy));
    Atom sel = XInternAtom(dpy, name.c_str(), False);
    return XGetSelectionOwner(dpy, sel);
}

void SetPixbuf(TrayIcon* t, HICON hIcon)
{
    const wxBitmap* pBmp = WxBitmapOfIcon(hIcon);
    if (!pBmp || !pBmp->IsOk())
        return;
    if (t->pPixbuf)
        g_object_unref(t->pPixbuf);
    t->pPixbuf = pBmp->GetPixbuf();
    if (t->pPixbuf)
        g_object_ref(t->pPixbuf);
    if (t->pArea)
        gtk_widget_queue_draw(t->pArea);
}

void SetTip(TrayIcon* t, const char* szTip)
{
    // At most the field's 127 bytes; a character cut in half is dropped.
    std::string gbk(szTip, strnlen(szTip, 127));
    t->strTipUtf8 = std::string(WxFromGbk(gbk).utf8_str());
    if (t->pPlug)
    {
        gtk_widget_set_tooltip_text(t->pPlug, t->strTipUtf8.c_str());
        gtk_window_set_title(GTK_WINDOW(t->pPlug), t->strTipUtf8.c_str());
    }
}

gboolean OnDraw(GtkWidget* w, cairo_t* cr, gpointer data)
{
    auto* t = static_cast<TrayIcon*>(data);
    if (!t->pPixbuf)
        return FALSE;
    int cw = gtk_widget_get_allocated_width(w), ch = gtk_widget_get_allocated_height(w);
    int side = cw < ch ? cw : ch;
    if (side <= 0)
        return FALSE;
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(t->pPixbuf, side, side, GDK_INTERP_BILINEAR);
    gdk_cairo_set_source_pixbuf(cr, scaled, (cw - side) / 2.0, (ch - side) / 2.0);
    cairo_paint(cr);
    g_object_unref(scaled);
    return FALSE;
}

void Notify(TrayIcon* t, UINT mouseMsg)
{
    if (t->uCallbackMessage && ::IsWindow(t->hWnd))
        ::PostMessage(t->hWnd, t->uCallbackMessage, (WPARAM)t->uID, (LPARAM)mouseMsg);
}

gboolean OnButton(GtkWidget*, GdkEventButton* e, gpointer data)
{
    auto* t = static_cast<TrayIcon*>(data);
    bool bDown = e->type == GDK_BUTTON_PRESS || e->type == GDK_2BUTTON_PRESS;
    UINT msg = 0;
    if (e->button == 1)
        msg = e->type == GDK_2BUTTON_PRESS ? WM_LBUTTONDBLCLK : bDown ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    else if (e->button == 3)
        msg = e->type == GDK_2BUTTON_PRESS ? WM_RBUTTONDBLCLK : bDown ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    else if (e->button == 2)
        msg = bDown ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    if (e->type == GDK_3BUTTON_PRESS)
        msg = 0;
    if (msg)
        Notify(t, msg);
    return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion*, gpointer data)
{
    Notify(static_cast<TrayIcon*>(data), WM_MOUSEMOVE);
    return FALSE;
}

bool Dock(TrayIcon* t)
{
    Display* dpy = XDisplay();
    Window manager = dpy ? TrayManager(dpy) : 0;
    if (!manager)
        return false;
    t->pPlug = gtk_plug_new(0);
    t->pArea = gtk_drawing_area_new();
    gtk_widget_set_size_request(t->pArea, 22, 22);
    gtk_container_add(GTK_CONTAINER(t->pPlug), t->pArea);
    gtk_widget_add_events(t->pPlug, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
    g_signal_connect(t->pArea, "draw", G_CALLBACK(OnDraw), t);
    g_signal_connect(t->pPlug, "button-press-event", G_CALLBACK(OnButton), t);
    g_signal_connect(t->pPlug, "button-release-event", G_CALLBACK(OnButton), t);
    g_signal_connect(t->pPlug, "motion-notify-event", G_CALLBACK(OnMotion), t);
    if (!t->strTipUtf8.empty())
    {
        gtk_widget_set_tooltip_text(t->pPlug, t->strTipUtf8.c_str());
        gtk_window_set_title(GTK_WINDOW(t->pPlug), t->strTipUtf8.c_str());
    }
    gtk_widget_realize(t->pPlug);
    gtk_widget_show_all(t->pPlug);
    Window xid = (Window)gtk_plug_get_id(GTK_PLUG(t->pPlug));

    // The system tray protocol's dock request.
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = manager;
    ev.xclient.message_type = XInternAtom(dpy, "_NET_SYSTEM_TRAY_OPCODE", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = 0;  // SYSTEM_TRAY_REQUEST_DOCK
    ev.xclient.data.l[2] = (long)xid;
    XSendEvent(dpy, manager, False, NoEventMask, &ev);
    XFlush(dpy);
    return true;
}

void Undock(TrayIcon* t)
{
    if (t->pPlug)
        gtk_widget_destroy(t->pPlug);
    t->pPlug = nullptr;
    t->pArea = nullptr;
    if (t->pPixbuf)
        g_object_unref(t->pPixbuf);
    t->pPixbuf = nullptr;
}
}  // namespace

BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData)
{
    if (!lpData)
        return FALSE;
    BOOL bOk = FALSE;
    RunOnGui([&] {
        auto key = std::make_pair(lpData->hWnd, lpData->uID);
        auto it = Icons().find(key);
        TrayIcon* t = it == Icons().end() ? nullptr : it->second;
        switch (dwMessage)
        {
        case NIM_ADD:
        {
            if (t)
                return;  // already there
            t = new TrayIcon;
            t->hWnd = lpData->hWnd;
            t->uID = lpData->uID;
            if (lpData->uFlags & NIF_MESSAGE)
                t->uCallbackMessage = lpData->uCallbackMessage;
            if (lpData->uFlags & NIF_TIP)
                SetTip(t, lpData->szTip);
            if (!Dock(t))
            {
                delete t;
                return;
            }
            if (lpData->uFlags & NIF_ICON)
                SetPixbuf(t, lpData->hIcon);
            Icons()[key] = t;
            bOk = TRUE;
            return;
        }
        case NIM_MODIFY:
            if (!t)
                return;
            if (lpData->uFlags & NIF_MESSAGE)
                t->uCallbackMessage = lpData->uCallbackMessage;
            if (lpData->uFlags & NIF_ICON)
                SetPixbuf(t, lpData->hIcon);
            if (lpData->uFlags & NIF_TIP)
                SetTip(t, lpData->szTip);
            bOk = TRUE;
            return;
        case NIM_DELETE:
            if (!t)
                return;
            Undock(t);
            delete t;
            Icons().erase(key);
            bOk = TRUE;
            return;
        default:
            return;
        }
    });
    return bOk;
}

unsigned long AfxGetTrayIconX11Window(HWND hWnd, UINT uID)
{
    unsigned long xid = 0;
    RunOnGui([&] {
        auto it = Icons().find({hWnd, uID});
        if (it != Icons().end() && it->second->pPlug)
            xid = (unsigned long)gtk_plug_get_id(GTK_PLUG(it->second->pPlug));
    });
    return xid;
}
