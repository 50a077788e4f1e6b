// Showing, hiding, minimising, maximising, enabling and activating windows.
#include <wx/wx.h>
#include <gtk/gtk.h>
#include "WndClass.h"
#include "X11Topmost.h"
#include "X11Window.h"

// Windows of other processes are served by the X11 layer.
static bool NoWindowManager() { return !X11WindowManagerRuns(); }

// Without a window manager nobody maximises: the frame takes the work area itself, and gives
// it back on a restore.
static void ZoomWithoutManager(WndRecord* p, wxTopLevelWindow* tl, bool bZoom)
{
    if (bZoom && !p->bZoomedNoManager)
    {
        wxRect r = tl->GetRect();
        p->rcBeforeZoom = RECT{r.x, r.y, r.GetRight() + 1, r.GetBottom() + 1};
        RECT rcWork{};
        SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0);
        p->bZoomedNoManager = true;  // before the size, so its WM_SIZE says maximised
        tl->SetSize(rcWork.left, rcWork.top, rcWork.right - rcWork.left, rcWork.bottom - rcWork.top);
    }
    else if (!bZoom && p->bZoomedNoManager)
    {
        p->bZoomedNoManager = false;
        const RECT& rc = p->rcBeforeZoom;
        tl->SetSize(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    }
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    RUN_WHOLE_ON_GUI(ShowWindow(hWnd, nCmdShow));
    WndRecord* p = LiveRec(hWnd);
    if (p && p->bForeign)
        return X11ShowWindow(hWnd, nCmdShow);
    if (!p || (!p->pWx && !p->bLight))
        return FALSE;
    BOOL bWasVisible = FALSE;
    if (p->bLight)
    {
        bWasVisible = p->bLightVisible;
        bool bShow = nCmdShow != SW_HIDE;
        if (bShow != (bool)bWasVisible)
            DispatchToWindow(hWnd, WM_SHOWWINDOW, bShow, 0);
        if (!LiveRec(hWnd))
            return bWasVisible;
        p->bLightVisible = bShow;
        RefreshWindow(p);
        return bWasVisible;
    }
    const bool bNoManager = NoWindowManager();
    int nIconic = -1;  // the iconic state to publish: 1 minimised, 0 restored, -1 unchanged
    wxWindow* w = p->pWx;
    bWasVisible = w->IsShown();
    auto* tl = dynamic_cast<wxTopLevelWindow*>(w);
    bool bShow = nCmdShow != SW_HIDE;
    if (bShow != (bool)bWasVisible)
        DispatchToWindow(hWnd, WM_SHOWWINDOW, bShow, 0);
    if (!LiveRec(hWnd) || !p->pWx)
        return bWasVisible;
    switch (nCmdShow)
    {
    case SW_HIDE:
        w->Hide();
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        if (tl)
        {
            if (!w->IsShown())
                w->Show();
            tl->Iconize(true);
            p->bIconicNoManager = bNoManager;
            nIconic = 1;
        }
        else
            w->Show();
        break;
    case SW_SHOWMAXIMIZED:
        if (tl)
        {
            tl->Iconize(false);
            if (bNoManager)
                ZoomWithoutManager(p, tl, true);
            else
                tl->Maximize(true);
            p->bIconicNoManager = false;
            nIconic = 0;
        }
        w->Show();
        if (tl)
            tl->Raise();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_SHOWNOACTIVATE:
        // A minimised window comes back as it was; a maximised one asked for its normal size
        // takes it back.
        if (tl)
        {
            if (tl->IsIconized() || p->bIconicNoManager)
                tl->Iconize(false);
            else if (nCmdShow != SW_RESTORE && p->bZoomedNoManager)
                ZoomWithoutManager(p, tl, false);
            else if (nCmdShow != SW_RESTORE && tl->IsMaximized())
                tl->Maximize(false);
            p->bIconicNoManager = false;
            nIconic = 0;
        }
        w->Show();
        if (tl && nCmdShow != SW_SHOWNOACTIVATE)
            tl->Raise();
        break;
    default:
        w->Show();
        if (tl && (nCmdShow == SW_SHOW))
            tl->Raise();
        break;
    }
    if (tl && nCmdShow != SW_HIDE && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
        nCmdShow != SW_MINIMIZE && nCmdShow != SW_SHOWMINNOACTIVE)
        SetLastActiveWindow(hWnd);
    if (WndRecord* pParent = LiveRec(p->hParent); pParent && pParent->pWx)
        pParent->pWx->Refresh();
    // Other processes read the state from the X server (GetWindowPlacement).
    if (nIconic >= 0 && bNoManager && LiveRec(hWnd))
        X11SetIconicState(hWnd, nIconic ? TRUE : FALSE);
    if (tl && bShow && bNoManager && LiveRec(hWnd) && (p->dwExStyle & WS_EX_TOPMOST))
        X11KeepTopmostAbove(hWnd);
    return bWasVisible;
}

BOOL IsWindowVisible(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(IsWindowVisible(hWnd));
    for (WndRecord* p = LiveRec(hWnd); p; p = LiveRec(p->hParent))
    {
        if (p->bForeign)
            return TRUE;
        if (p->bLight)
        {
            if (!p->bLightVisible)
                return FALSE;
            continue;
        }
        if (!p->pWx || !p->pWx->IsShown())
            return FALSE;
        if (!p->hParent)
            return TRUE;
    }
    return FALSE;
}

BOOL IsIconic(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(IsIconic(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return FALSE;
    auto* tl = dynamic_cast<wxTopLevelWindow*>(p->pWx);
    return tl && (tl->IsIconized() || p->bIconicNoManager) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(IsZoomed(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return FALSE;
    auto* tl = dynamic_cast<wxTopLevelWindow*>(p->pWx);
    return tl && (tl->IsMaximized() || p->bZoomedNoManager) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    RUN_WHOLE_ON_GUI(EnableWindow(hWnd, bEnable));
    WndRecord* p = LiveRec(hWnd);
    if (!p || p->bForeign)
        return FALSE;
    BOOL bWasDisabled = (p->dwStyle & WS_DISABLED) ? TRUE : FALSE;
    if (bEnable) p->dwStyle &= ~WS_DISABLED;
    else p->dwStyle |= WS_DISABLED;
    if (p->pWx)
        p->pWx->Enable(bEnable != 0);
    // Unchanged, nothing repaints: the idle step enables its bars' windows again and again.
    if (bWasDisabled == (BOOL)(bEnable != 0))
    {
        RefreshWindow(p);
        DispatchToWindow(hWnd, WM_ENABLE, bEnable, 0);
    }
    return bWasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(IsWindowEnabled(hWnd));
    WndRecord* p = LiveRec(hWnd);
    return p && !p->bForeign && !(p->dwStyle & WS_DISABLED);
}

BOOL BringWindowToTop(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(BringWindowToTop(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return FALSE;
    p->pWx->Raise();
    return TRUE;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(SetForegroundWindow(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return FALSE;
    if (p->bForeign)
        return X11SetForegroundWindow(hWnd);
    HWND top = hWnd;
    for (WndRecord* r = LiveRec(top); r && r->hParent; r = LiveRec(top))
        top = r->hParent;
    WndRecord* t = LiveRec(top);
    if (t && t->pWx)
    {
        SetLastActiveWindow(top);
        if (auto* tl = dynamic_cast<wxTopLevelWindow*>(t->pWx))
        {
            if (tl->IsIconized())
                tl->Iconize(false);
            if (GtkWidget* gw = (GtkWidget*)tl->GetHandle(); gw && GTK_IS_WINDOW(gw))
                gtk_window_present(GTK_WINDOW(gw));
        }
        t->pWx->Raise();
    }
    return TRUE;
}
