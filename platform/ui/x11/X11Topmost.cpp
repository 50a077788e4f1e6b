// Keeps our topmost windows above our other top-level windows when no window manager runs.
#include "X11Topmost.h"

#include <wx/window.h>
#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/Xlib.h>

#include <vector>

#include "WndRecord.h"
#include "X11Window.h"

namespace {

bool g_bFilterInstalled = false;

// The GDK window of one of our shown top-level windows, or NULL.
GdkWindow* ShownGdkWindow(WndRecord* p)
{
    if (!p || p->bForeign || p->hParent || !p->pWx || !p->pWx->IsShown())
        return nullptr;
    GtkWidget* w = (GtkWidget*)p->pWx->GetHandle();
    GdkWindow* gw = w ? gtk_widget_get_window(w) : nullptr;
    return gw && GDK_IS_X11_WINDOW(gw) ? gw : nullptr;
}

// A window of ours that is not topmost was mapped or restacked: the topmost ones go back on top.
void RaiseTopmostOver(Window changed)
{
    std::vector<GdkWindow*> topmost;
    bool bOursAndNormal = false;
    ForEachTopLevel([&](HWND h) {
        WndRecord* p = LiveRec(h);
        GdkWindow* gw = ShownGdkWindow(p);
        if (!gw)
            return;
        if (p->dwExStyle & WS_EX_TOPMOST)
            topmost.push_back(gw);
        else if (gdk_x11_window_get_xid(gw) == changed)
            bOursAndNormal = true;
    });
    if (!bOursAndNormal || topmost.empty() || X11WindowManagerRuns())
        return;
    for (GdkWindow* gw : topmost)
        gdk_window_raise(gw);
}

GdkFilterReturn OnStackingEvent(GdkXEvent* xevent, GdkEvent*, gpointer)
{
    XEvent* ev = (XEvent*)xevent;
    // Only the window's own notices: a parent's notice of a child says nothing of the top level.
    if (ev->type == MapNotify && ev->xmap.event == ev->xmap.window)
        RaiseTopmostOver(ev->xmap.window);
    else if (ev->type == ConfigureNotify && ev->xconfigure.event == ev->xconfigure.window)
        RaiseTopmostOver(ev->xconfigure.window);
    return GDK_FILTER_CONTINUE;
}

}  // namespace

void X11KeepTopmostAbove(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    GdkWindow* gw = ShownGdkWindow(p);
    if (!gw || !(p->dwExStyle & WS_EX_TOPMOST) || X11WindowManagerRuns())
        return;
    if (!g_bFilterInstalled)
    {
        gdk_window_add_filter(nullptr, &OnStackingEvent, nullptr);
        g_bFilterInstalled = true;
    }
    gdk_window_raise(gw);
}
