// Where windows are: hosts of windowless controls, rectangles, moves and sizes, coordinates.
#include <wx/wx.h>
#include <gtk/gtk.h>
#include "WndClass.h"
#include "TopLevelWnd.h"
#include "X11Topmost.h"

wxWindow* HostOf(WndRecord* p, int* pdx, int* pdy)
{
    int dx = 0, dy = 0;
    wxWindow* w = p->pWx;
    if (p->bLight)
    {
        WndRecord* pParent = LiveRec(p->hParent);
        w = pParent ? pParent->pWx : nullptr;
        dx = p->rcLight.left;
        dy = p->rcLight.top;
    }
    if (pdx) *pdx = dx;
    if (pdy) *pdy = dy;
    return w;
}

// Screen position of a wx window's client origin; wx declines ClientToScreen for hidden
// top-levels, so those are summed up from the positions.
static wxPoint ClientOriginOnScreen(wxWindow* w)
{
    wxTopLevelWindow* tl = nullptr;
    for (wxWindow* x = w; x; x = x->GetParent())
        if ((tl = dynamic_cast<wxTopLevelWindow*>(x)))
            break;
    if (!tl || tl->IsShown())
        return w->ClientToScreen(wxPoint(0, 0));
    wxPoint pt(0, 0);
    for (wxWindow* x = w; x && x != tl; x = x->GetParent())
        pt += x->GetPosition();  // relative to the parent's client area
    return pt + tl->GetPosition() + tl->GetClientAreaOrigin();
}

void RefreshWindow(WndRecord* p)
{
    int dx, dy;
    wxWindow* w = HostOf(p, &dx, &dy);
    if (!w)
        return;
    if (p->bLight)
        w->RefreshRect(wxRect(dx, dy, p->rcLight.right - p->rcLight.left, p->rcLight.bottom - p->rcLight.top), false);
    else
        w->Refresh(false);
}
void GetScreenRectOf(WndRecord* p, RECT* prc)
{
    int dx, dy;
    wxWindow* host = HostOf(p, &dx, &dy);
    if (p->bLight)
    {
        wxPoint o = (host ? ClientOriginOnScreen(host) : wxPoint(0, 0)) + wxPoint(dx, dy);
        prc->left = o.x;
        prc->top = o.y;
        prc->right = o.x + (p->rcLight.right - p->rcLight.left);
        prc->bottom = o.y + (p->rcLight.bottom - p->rcLight.top);
        return;
    }
    wxRect r = p->pWx->GetRect();
    if (p->hParent)
        r.SetPosition(ClientOriginOnScreen(p->pWx->GetParent()) + p->pWx->GetPosition());
    prc->left = r.x;
    prc->top = r.y;
    prc->right = r.x + r.width;
    prc->bottom = r.y + r.height;
}

void GetClientOriginOf(WndRecord* p, POINT* ppt)
{
    // A child's position in its parent's client area; a top-level's on the screen.
    if (p->bLight)
    {
        ppt->x = p->rcLight.left;
        ppt->y = p->rcLight.top;
    }
    else if (p->hParent)
    {
        wxPoint pt = p->pWx->GetPosition();
        ppt->x = pt.x;
        ppt->y = pt.y;
    }
    else
    {
        wxPoint pt = ClientOriginOnScreen(p->pWx);
        ppt->x = pt.x;
        ppt->y = pt.y;
    }
}

BOOL MoveWindow(HWND hWnd, int x, int y, int cx, int cy, BOOL bRepaint)
{
    return SetWindowPos(hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags)
{
    RUN_WHOLE_ON_GUI(SetWindowPos(hWnd, hWndInsertAfter, x, y, cx, cy, uFlags));
    WndRecord* p = LiveRec(hWnd);
    if (!p || (!p->pWx && !p->bLight))
        return FALSE;
    if (p->bLight)
    {
        RefreshWindow(p);
        RECT& rc = p->rcLight;
        int w = rc.right - rc.left, h = rc.bottom - rc.top;
        if (!(uFlags & SWP_NOMOVE)) { rc.left = x; rc.top = y; }
        if (!(uFlags & SWP_NOSIZE)) { w = cx > 0 ? cx : 0; h = cy > 0 ? cy : 0; }
        rc.right = rc.left + w;
        rc.bottom = rc.top + h;
        if (uFlags & SWP_SHOWWINDOW) p->bLightVisible = true;
        if (uFlags & SWP_HIDEWINDOW) p->bLightVisible = false;
        RefreshWindow(p);
        if (!(uFlags & SWP_NOSIZE))
            DispatchToWindow(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h));
        return TRUE;
    }
    wxWindow* w = p->pWx;
    wxSize size(cx > 0 ? cx : 0, cy > 0 ? cy : 0);
    if (!(uFlags & SWP_NOSIZE) && p->pClass && p->pClass->IsTopLevel())
        CTopLevelWndClass::ConstrainSize(p, size);
    if (!(uFlags & SWP_NOMOVE) && !(uFlags & SWP_NOSIZE))
        w->SetSize(x, y, size.x, size.y, wxSIZE_ALLOW_MINUS_ONE);
    else if (!(uFlags & SWP_NOMOVE))
    {
        wxSize cur = w->GetSize();
        w->SetSize(x, y, cur.x, cur.y, wxSIZE_ALLOW_MINUS_ONE);
    }
    else if (!(uFlags & SWP_NOSIZE))
        w->SetSize(size);
    if (!(uFlags & SWP_NOZORDER))
    {
        auto* tl = dynamic_cast<wxTopLevelWindow*>(w);
        if (hWndInsertAfter == HWND_TOPMOST || hWndInsertAfter == HWND_NOTOPMOST)
        {
            bool bTop = hWndInsertAfter == HWND_TOPMOST;
            if (bTop) p->dwExStyle |= WS_EX_TOPMOST;
            else p->dwExStyle &= ~WS_EX_TOPMOST;
            if (tl)
            {
                if (GtkWidget* gw = (GtkWidget*)tl->GetHandle(); gw && GTK_IS_WINDOW(gw))
                    gtk_window_set_keep_above(GTK_WINDOW(gw), bTop);
                if (bTop && !(uFlags & SWP_NOACTIVATE))
                    tl->Raise();
                if (bTop)
                    X11KeepTopmostAbove(hWnd);
            }
        }
        else if (hWndInsertAfter == HWND_TOP)
            w->Raise();
        else if (hWndInsertAfter == HWND_BOTTOM)
            w->Lower();
    }
    if (uFlags & SWP_SHOWWINDOW)
        ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (uFlags & SWP_HIDEWINDOW)
        ShowWindow(hWnd, SW_HIDE);
    // The window's WM_SHOWWINDOW handler may have destroyed it.
    if (!LiveRec(hWnd))
        return TRUE;
    if (!(uFlags & SWP_NOREDRAW))
    {
        w->Refresh();
        if (WndRecord* pParent = LiveRec(p->hParent); pParent && pParent->pWx)
            pParent->pWx->Refresh();
    }
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    RUN_WHOLE_ON_GUI(GetWindowRect(hWnd, lpRect));
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p) || !lpRect)
        return FALSE;
    GetScreenRectOf(p, lpRect);
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    RUN_WHOLE_ON_GUI(GetClientRect(hWnd, lpRect));
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p) || !lpRect)
        return FALSE;
    wxSize s = p->bLight ? wxSize(p->rcLight.right - p->rcLight.left, p->rcLight.bottom - p->rcLight.top)
                         : p->pWx->GetClientSize();
    lpRect->left = lpRect->top = 0;
    lpRect->right = s.x;
    lpRect->bottom = s.y;
    return TRUE;
}

// Moves the point by the window's client origin on the screen: sign -1 from the screen into
// the client area, +1 back out (GUI thread).
static BOOL ShiftByClientOrigin(HWND hWnd, LPPOINT lpPoint, int sign)
{
    WndRecord* p = LiveRec(hWnd);
    int dx, dy;
    wxWindow* host = p ? HostOf(p, &dx, &dy) : nullptr;
    if (!host || !lpPoint)
        return FALSE;
    wxPoint o = ClientOriginOnScreen(host) + wxPoint(dx, dy);
    lpPoint->x += sign * o.x;
    lpPoint->y += sign * o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    RUN_WHOLE_ON_GUI(ScreenToClient(hWnd, lpPoint));
    return ShiftByClientOrigin(hWnd, lpPoint, -1);
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    RUN_WHOLE_ON_GUI(ClientToScreen(hWnd, lpPoint));
    return ShiftByClientOrigin(hWnd, lpPoint, +1);
}
