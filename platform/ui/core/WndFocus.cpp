// Focus, activation and mouse capture of the GUI thread.
#include <wx/wx.h>
#include <gtk/gtk.h>
#include "WndClass.h"

namespace
{
HWND g_hLastActive = nullptr;  // GUI thread
HWND g_hCapture = nullptr;     // GUI thread
}  // namespace

HWND SetFocus(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(SetFocus(hWnd));
    HWND hOld = GetFocus();
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return hOld;
    p->pWx->SetFocus();
    return hOld;
}

void SetLastActiveWindow(HWND h)
{
    g_hLastActive = h;
}

HWND LastActiveWindow()
{
    return g_hLastActive;
}

HWND CaptureWindow()
{
    return LiveRec(g_hCapture) ? g_hCapture : nullptr;
}

// The capture ends without a release (wx took it away): the window hears of it.
void ForgetCapture(HWND h)
{
    if (g_hCapture != h)
        return;
    g_hCapture = nullptr;
    if (LiveRec(h))
        DispatchToWindow(h, WM_CAPTURECHANGED, 0, 0);
}

// The control inside a top-level window that GTK gives the focus to when the window is active.
static HWND FocusWithin(HWND top)
{
    WndRecord* t = LiveRec(top);
    if (!t || !t->pWx)
        return nullptr;
    GtkWidget* gw = (GtkWidget*)t->pWx->GetHandle();
    if (!gw || !GTK_IS_WINDOW(gw))
        return nullptr;
    GtkWidget* f = gtk_window_get_focus(GTK_WINDOW(gw));
    if (!f)
        return nullptr;
    HWND found = nullptr;
    std::function<void(HWND)> walk = [&](HWND h) {
        WndRecord* p = LiveRec(h);
        if (!p || found)
            return;
        for (HWND c : p->children)
            walk(c);
        if (!found && p->pWx && h != top)
        {
            GtkWidget* w = (GtkWidget*)p->pWx->GetHandle();
            if (w && (w == f || gtk_widget_is_ancestor(f, w)))
                found = h;
        }
    };
    walk(top);
    return found;
}

// As on Windows the focus belongs to the program, not to the X server's keyboard focus: when no
// window of ours has the X focus, the focused control of the window last brought up still counts.
HWND GetFocus()
{
    return CallOnGui<HWND>([]() -> HWND {
        if (wxWindow* w = wxWindow::FindFocus())
            if (HWND h = HandleOfWx(w))
                return h;
        if (WndRecord* p = LiveRec(g_hLastActive); p && p->pWx && p->pWx->IsShown())
            return FocusWithin(g_hLastActive);
        return nullptr;
    });
}

HWND GetActiveWindow()
{
    return CallOnGui<HWND>([] {
        HWND found = nullptr;
        ForEachTopLevel([&](HWND h) {
            WndRecord* p = LiveRec(h);
            if (!found && p && p->pWx && p->pWx->IsShown())
                if (auto* tl = dynamic_cast<wxTopLevelWindow*>(p->pWx); tl && tl->IsActive())
                    found = h;
        });
        return found;
    });
}

HWND GetForegroundWindow()
{
    return GetActiveWindow();
}

HWND SetCapture(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(SetCapture(hWnd));
    HWND hOld = g_hCapture;
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p))
        return hOld;
    if (g_hCapture == hWnd)
        return hOld;
    if (g_hCapture)
        ReleaseCapture();
    g_hCapture = hWnd;
    wxWindow* host = HostOf(p);
    if (host && !host->HasCapture())
        host->CaptureMouse();
    return hOld;
}

BOOL ReleaseCapture()
{
    RunOnGui([] {
        HWND h = g_hCapture;
        g_hCapture = nullptr;
        WndRecord* p = LiveRec(h);
        wxWindow* host = p ? HostOf(p) : nullptr;
        if (host && host->HasCapture())
            host->ReleaseMouse();
        if (p)
            DispatchToWindow(h, WM_CAPTURECHANGED, 0, 0);
    });
    return TRUE;
}

HWND GetCapture()
{
    return LiveRec(g_hCapture) ? g_hCapture : nullptr;
}
