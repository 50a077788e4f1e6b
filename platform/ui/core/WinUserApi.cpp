// The window calls by handle, and the default window procedure every window shares.
#include <wx/wx.h>
#include <wx/display.h>
#include <wx/clipbrd.h>
#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <mutex>
#include <set>
#include "WndClass.h"
#include "TopLevelWnd.h"
#include "CodePage.h"
#include "CWinApp.h"
#include "Gdi.h"
#include "X11Window.h"

void UnregisterRecordOf(WndRecord* p);

namespace
{
HWND g_hLastActive = nullptr;  // GUI thread
HWND g_hCapture = nullptr;     // GUI thread
}  // namespace

// Windows of other processes are served by the X11 layer.
static bool NoWindowManager() { return !X11WindowManagerRuns(); }

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

HWND HandleOfWx(wxWindow* pWx)
{
    HWND found = nullptr;
    std::function<void(HWND)> walk = [&](HWND h) {
        WndRecord* p = LiveRec(h);
        if (!p || found)
            return;
        if (p->pWx == pWx)
        {
            found = h;
            return;
        }
        for (HWND c : p->children)
            walk(c);
    };
    ForEachTopLevel(walk);
    return found;
}

unsigned long AfxGetX11Window(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return 0;
    if (p->bForeign)
        return p->xidForeign;
    if (p->hParent || !p->pWx)
        return 0;
    // From another thread the window may be gone by the time the GUI thread looks: ask again there.
    return CallOnGui<unsigned long>([&]() -> unsigned long {
        WndRecord* q = LiveRec(hWnd);
        if (!q || q->hParent || !q->pWx)
            return 0;
        GtkWidget* w = (GtkWidget*)q->pWx->GetHandle();
        if (!w)
            return 0;
        GdkWindow* gw = gtk_widget_get_window(w);
        if (!gw || !GDK_IS_X11_WINDOW(gw))
            return 0;
        return (unsigned long)gdk_x11_window_get_xid(gw);
    });
}

// ---------------------------------------------------------------------------------------------
// Messages

LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WndRecord* pRec = LiveRec(hWnd);
    if (!pRec)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (pRec->bForeign)
        return X11SendMessage(hWnd, msg, wParam, lParam);
    LRESULT r = 0;
    RunOnGui([&] { r = DispatchToWindow(hWnd, msg, wParam, lParam); });
    return r;
}

UINT RegisterWindowMessage(LPCSTR lpString)
{
    static std::mutex s_lock;
    static std::map<std::string, UINT> s_msgs;
    if (!lpString || !*lpString)
        return 0;
    std::lock_guard<std::mutex> guard(s_lock);
    auto it = s_msgs.find(lpString);
    if (it != s_msgs.end())
        return it->second;
    UINT id = 0xC000 + (UINT)s_msgs.size();
    s_msgs[lpString] = id;
    return id;
}

LRESULT DefWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = 0;
    RunOnGui([&] { r = DefaultWindowProc(hWnd, msg, wParam, lParam); });
    return r;
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, msg, wParam, lParam) : DefWindowProc(hWnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// The default window procedure

static HBRUSH DefaultCtlColor(HDC hdc, UINT msg)
{
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX)
    {
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT DefaultWindowProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WndRecord* p = LiveRec(h);
    if (!p || p->bForeign || !p->pClass)
        return 0;
    if (IsFromEvent(h, msg))
        MarkEventDefault(h, msg);
    return p->pClass->DefProc(p, msg, wParam, lParam);
}

LRESULT CommonWindowProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND h = p->Handle();
    switch (msg)
    {
    case WM_CLOSE:
        DestroyWindow(h);
        return 0;
    case WM_SETTEXT:
        p->strText = lParam ? (const char*)lParam : "";
        RefreshWindow(p);
        return TRUE;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return CopyWindowText(p->strText, msg, wParam, lParam);
    case WM_SETFONT:
        p->hFont = (HFONT)wParam;
        if (p->hFont)
        {
            if (p->pWx)
                p->pWx->SetFont(WxFontFromHandle(p->hFont));
            if (LOWORD(lParam))
                RefreshWindow(p);
        }
        return 0;
    case WM_GETFONT:
        return (LRESULT)p->hFont;
    case WM_SETICON:
    {
        int which = wParam == ICON_BIG ? 1 : 0;
        HICON old = p->hIcon[which];
        p->hIcon[which] = (HICON)lParam;
        ApplyWindowIcon(p);
        return (LRESULT)old;
    }
    case WM_GETICON:
        return (LRESULT)p->hIcon[wParam == ICON_BIG ? 1 : 0];
    case WM_PAINT:
        if (p->pPaintDC)
            p->pClass->Paint(p, *p->pPaintDC);
        return 0;
    case WM_ERASEBKGND:
    {
        RECT rc;
        GetClientRect(h, &rc);
        FillRect((HDC)wParam, &rc, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        return (LRESULT)DefaultCtlColor((HDC)wParam, msg);
    case WM_SETCURSOR:
    {
        // The parent may decide first, as on Windows; else the window's own cursor.
        if (p->hParent)
        {
            LRESULT r = DispatchToWindow(p->hParent, WM_SETCURSOR, wParam, lParam);
            if (r)
                return r;
            p = LiveRec(h);
            if (!p)
                return 0;
        }
        if (LOWORD(lParam) == HTCLIENT && !p->pClass->HasNativeCursor(p))
            SetCursor(p->hCursor ? p->hCursor : LoadCursor(nullptr, IDC_ARROW));
        return 0;
    }
    case WM_TIMER:
        if (lParam)
            ((TIMERPROC)lParam)(h, WM_TIMER, (UINT_PTR)wParam, GetTickCount());
        return 0;
    case WM_CONTEXTMENU:
        // Not handled here: the parent may offer a menu.
        if (p->hParent && !IsFromEvent(h, WM_CONTEXTMENU))
            return DispatchToWindow(p->hParent, WM_CONTEXTMENU, wParam, lParam);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0)
        {
        case SC_CLOSE: DispatchToWindow(h, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(h, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(h, SW_SHOWMAXIMIZED); break;
        case SC_RESTORE: ShowWindow(h, SW_RESTORE); break;
        }
        return 0;
    case WM_NCHITTEST:
        return p->pClass->HitTest(p);
    case WM_MOUSEACTIVATE:
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Destruction

void DestroyWindowTree(HWND h)
{
    WndRecord* p = LiveRec(h);
    if (!p || p->bDestroying)
        return;
    p->bDestroying = true;
    if (g_hCapture == h)
        ReleaseCapture();
    p->timers.clear();
    DispatchToWindow(h, WM_DESTROY, 0, 0);
    std::vector<HWND> kids = p->children;
    for (HWND c : kids)
        DestroyWindowTree(c);
    // Windows this one owns go with it.
    std::vector<HWND> owned;
    ForEachTopLevel([&](HWND t) {
        if (WndRecord* r = LiveRec(t); r && r->hOwner == h)
            owned.push_back(t);
    });
    for (HWND o : owned)
        DestroyWindowTree(o);
    DispatchToWindow(h, WM_NCDESTROY, 0, 0);
    if (WndRecord* pParent = LiveRec(p->hParent))
    {
        auto& v = pParent->children;
        for (auto it = v.begin(); it != v.end(); ++it)
            if (*it == h)
            {
                v.erase(it);
                break;
            }
    }
    if (p->bLight && p->bLightVisible)
        RefreshWindow(p);  // its parent paints over where it was
    CWnd* pWnd = p->pWnd;
    bool bTemp = p->bTempWnd;
    wxWindow* pWx = p->pWx;
    if (pWx)
        p->pClass->UnbindEvents(p);
    p->pWx = nullptr;
    p->pWnd = nullptr;
    p->pPaintDC = nullptr;
    p->pState.reset();
    if (pWx)
    {
        if (!p->hParent)
        {
            pWx->Hide();
            pWx->Destroy();  // top-levels go at the next idle time
        }
        else
        {
            // A child still inside a dying parent goes with it; otherwise now.
            WndRecord* pParent = LiveRec(p->hParent);
            if (pParent && !pParent->bDestroying)
                pWx->Destroy();
            else if (!pParent)
                pWx->Destroy();
        }
    }
    UnregisterRecordOf(p);
    if (pWnd)
    {
        if (pWnd->m_hWnd == h)
            pWnd->m_hWnd = nullptr;
        if (bTemp)
            delete pWnd;
        else
        {
            // The main window going ends the program's message loop.
            CWinApp* pApp = AfxGetApp();
            if (pApp && pApp->m_pMainWnd == pWnd)
            {
                pApp->m_pMainWnd = nullptr;
                PostQuitMessage(0);
            }
            pWnd->PostNcDestroy();
        }
    }
}

BOOL DestroyWindow(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || p->bForeign)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    RunOnGui([&] { DestroyWindowTree(hWnd); });
    return TRUE;
}

BOOL IsWindow(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return FALSE;
    if (p->bForeign)
        return X11IsWindow(hWnd);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// State and placement

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
    WndRecord* p = LiveRec(hWnd);
    if (p && p->bForeign)
        return X11ShowWindow(hWnd, nCmdShow);
    if (!p || (!p->pWx && !p->bLight))
        return FALSE;
    BOOL bWasVisible = FALSE;
    if (p->bLight)
    {
        RunOnGui([&] {
            bWasVisible = p->bLightVisible;
            bool bShow = nCmdShow != SW_HIDE;
            if (bShow != (bool)bWasVisible)
                DispatchToWindow(hWnd, WM_SHOWWINDOW, bShow, 0);
            if (!LiveRec(hWnd))
                return;
            p->bLightVisible = bShow;
            RefreshWindow(p);
        });
        return bWasVisible;
    }
    const bool bNoManager = NoWindowManager();
    int nIconic = -1;  // the iconic state to publish: 1 minimised, 0 restored, -1 unchanged
    RunOnGui([&] {
        wxWindow* w = p->pWx;
        if (!w || !LiveRec(hWnd))
            return;
        bWasVisible = w->IsShown();
        auto* tl = dynamic_cast<wxTopLevelWindow*>(w);
        bool bShow = nCmdShow != SW_HIDE;
        if (bShow != (bool)bWasVisible)
            DispatchToWindow(hWnd, WM_SHOWWINDOW, bShow, 0);
        if (!LiveRec(hWnd) || !p->pWx)
            return;
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
            g_hLastActive = hWnd;
        if (WndRecord* pParent = LiveRec(p->hParent); pParent && pParent->pWx)
            pParent->pWx->Refresh();
    });
    // Other processes read the state from the X server (GetWindowPlacement).
    if (nIconic >= 0 && bNoManager && LiveRec(hWnd))
        X11SetIconicState(hWnd, nIconic ? TRUE : FALSE);
    return bWasVisible;
}

BOOL IsWindowVisible(HWND hWnd)
{
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
        if (!p->pWx || !CallOnGui<bool>([&] { return p->pWx->IsShown(); }))
            return FALSE;
        if (!p->hParent)
            return TRUE;
    }
    return FALSE;
}

BOOL IsIconic(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return FALSE;
    return CallOnGui<BOOL>([&] {
        auto* tl = dynamic_cast<wxTopLevelWindow*>(p->pWx);
        return tl && (tl->IsIconized() || p->bIconicNoManager) ? TRUE : FALSE;
    });
}

BOOL IsZoomed(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return FALSE;
    return CallOnGui<BOOL>([&] {
        auto* tl = dynamic_cast<wxTopLevelWindow*>(p->pWx);
        return tl && (tl->IsMaximized() || p->bZoomedNoManager) ? TRUE : FALSE;
    });
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || p->bForeign)
        return FALSE;
    BOOL bWasDisabled = (p->dwStyle & WS_DISABLED) ? TRUE : FALSE;
    RunOnGui([&] {
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
    });
    return bWasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    return p && !p->bForeign && !(p->dwStyle & WS_DISABLED);
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
    WndRecord* p = LiveRec(hWnd);
    if (!p || (!p->pWx && !p->bLight))
        return FALSE;
    if (p->bLight)
    {
        RunOnGui([&] {
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
        });
        return TRUE;
    }
    RunOnGui([&] {
        wxWindow* w = p->pWx;
        if (!w)
            return;
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
        if (!(uFlags & SWP_NOREDRAW))
        {
            w->Refresh();
            if (WndRecord* pParent = LiveRec(p->hParent); pParent && pParent->pWx)
                pParent->pWx->Refresh();
        }
    });
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p) || !lpRect)
        return FALSE;
    RunOnGui([&] { GetScreenRectOf(p, lpRect); });
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p) || !lpRect)
        return FALSE;
    RunOnGui([&] {
        wxSize s = p->bLight ? wxSize(p->rcLight.right - p->rcLight.left, p->rcLight.bottom - p->rcLight.top)
                             : p->pWx->GetClientSize();
        lpRect->left = lpRect->top = 0;
        lpRect->right = s.x;
        lpRect->bottom = s.y;
    });
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    WndRecord* p = LiveRec(hWnd);
    int dx, dy;
    wxWindow* host = p ? HostOf(p, &dx, &dy) : nullptr;
    if (!host || !lpPoint)
        return FALSE;
    RunOnGui([&] {
        wxPoint pt = wxPoint(lpPoint->x, lpPoint->y) - ClientOriginOnScreen(host);
        lpPoint->x = pt.x - dx;
        lpPoint->y = pt.y - dy;
    });
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    WndRecord* p = LiveRec(hWnd);
    int dx, dy;
    wxWindow* host = p ? HostOf(p, &dx, &dy) : nullptr;
    if (!host || !lpPoint)
        return FALSE;
    RunOnGui([&] {
        wxPoint pt = ClientOriginOnScreen(host) + wxPoint(lpPoint->x + dx, lpPoint->y + dy);
        lpPoint->x = pt.x;
        lpPoint->y = pt.y;
    });
    return TRUE;
}

BOOL SetWindowText(HWND hWnd, LPCSTR lpString)
{
    if (!LiveRec(hWnd))
        return FALSE;
    return (BOOL)SendMessage(hWnd, WM_SETTEXT, 0, (LPARAM)(lpString ? lpString : ""));
}

int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = 0;
    if (!LiveRec(hWnd))
        return 0;
    return (int)SendMessage(hWnd, WM_GETTEXT, (WPARAM)nMaxCount, (LPARAM)lpString);
}

int GetWindowTextLength(HWND hWnd)
{
    return LiveRec(hWnd) ? (int)SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0) : 0;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    WndRecord* p = LiveRec(hDlg);
    if (!p)
        return nullptr;
    // Children first, then their children (controls may sit on a child form).
    std::function<HWND(WndRecord*)> find = [&](WndRecord* r) -> HWND {
        for (HWND c : r->children)
            if (WndRecord* rc = LiveRec(c); rc && rc->nID == nIDDlgItem)
                return c;
        for (HWND c : r->children)
            if (WndRecord* rc = LiveRec(c))
                if (HWND f = find(rc))
                    return f;
        return nullptr;
    };
    return CallOnGui<HWND>([&] { return find(p); });
}

int GetDlgCtrlID(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    return p ? p->nID : 0;
}

BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    HWND h = GetDlgItem(hDlg, nIDDlgItem);
    return h ? SetWindowText(h, lpString) : FALSE;
}

UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int nMaxCount)
{
    HWND h = GetDlgItem(hDlg, nIDDlgItem);
    if (!h)
    {
        if (lpString && nMaxCount > 0)
            lpString[0] = 0;
        return 0;
    }
    return (UINT)GetWindowText(h, lpString, nMaxCount);
}

HWND GetParent(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return nullptr;
    return p->hParent ? p->hParent : p->hOwner;
}

HWND SetFocus(HWND hWnd)
{
    HWND hOld = GetFocus();
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return hOld;
    RunOnGui([&] {
        if (p->pWx)
            p->pWx->SetFocus();
    });
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
    HWND hOld = g_hCapture;
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p))
        return hOld;
    RunOnGui([&] {
        if (g_hCapture == hWnd)
            return;
        if (g_hCapture)
            ReleaseCapture();
        g_hCapture = hWnd;
        wxWindow* host = HostOf(p);
        if (host && !host->HasCapture())
            host->CaptureMouse();
    });
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

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p))
        return FALSE;
    // Only queued: painting threads (animations) must not wait for the GUI thread.
    RECT rc{};
    bool bRect = lpRect != nullptr;
    if (bRect)
        rc = *lpRect;
    auto fn = [hWnd, rc, bRect] {
        WndRecord* r = LiveRec(hWnd);
        int dx, dy;
        wxWindow* host = r ? HostOf(r, &dx, &dy) : nullptr;
        if (!host)
            return;
        if (bRect)
            host->RefreshRect(wxRect(rc.left + dx, rc.top + dy, rc.right - rc.left, rc.bottom - rc.top), false);
        else
            RefreshWindow(r);
    };
    if (AfxIsGuiThread())
        fn();
    else
        RunOnGui(fn, false);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p))
        return FALSE;
    RunOnGui([&] {
        wxWindow* host = LiveRec(hWnd) ? HostOf(p) : nullptr;
        if (host && host->IsShownOnScreen())
            host->Update();
    });
    return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, void*, UINT flags)
{
    if (flags & (RDW_INVALIDATE | RDW_ERASE))
        InvalidateRect(hWnd, lprcUpdate, (flags & RDW_ERASE) != 0);
    if (flags & RDW_ALLCHILDREN)
        if (WndRecord* p = LiveRec(hWnd))
            for (HWND c : std::vector<HWND>(p->children))
                RedrawWindow(c, nullptr, nullptr, flags & ~RDW_UPDATENOW);
    if (flags & RDW_UPDATENOW)
        UpdateWindow(hWnd);
    return TRUE;
}

BOOL BringWindowToTop(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pWx)
        return FALSE;
    RunOnGui([&] {
        if (p->pWx)
            p->pWx->Raise();
    });
    return TRUE;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return FALSE;
    if (p->bForeign)
        return X11SetForegroundWindow(hWnd);
    RunOnGui([&] {
        HWND top = hWnd;
        for (WndRecord* r = LiveRec(top); r && r->hParent; r = LiveRec(top))
            top = r->hParent;
        WndRecord* t = LiveRec(top);
        if (t && t->pWx)
        {
            g_hLastActive = top;
            if (auto* tl = dynamic_cast<wxTopLevelWindow*>(t->pWx))
            {
                if (tl->IsIconized())
                    tl->Iconize(false);
                if (GtkWidget* gw = (GtkWidget*)tl->GetHandle(); gw && GTK_IS_WINDOW(gw))
                    gtk_window_present(GTK_WINDOW(gw));
            }
            t->pWx->Raise();
        }
    });
    return TRUE;
}

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return 0;
    switch (nIndex)
    {
    case GWL_STYLE:
    {
        DWORD st = p->dwStyle & ~WS_VISIBLE;
        if (p->bLight ? p->bLightVisible : (p->pWx && CallOnGui<bool>([&] { return p->pWx && p->pWx->IsShown(); })))
            st |= WS_VISIBLE;
        return (LONG_PTR)st;
    }
    case GWL_EXSTYLE: return (LONG_PTR)p->dwExStyle;
    case GWL_ID: return p->nID;
    case GWLP_USERDATA: return p->userData;
    case GWLP_WNDPROC: return (LONG_PTR)p->pfnWndProc;
    }
    return 0;
}

LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return 0;
    LONG_PTR old = 0;
    RunOnGui([&] {
        switch (nIndex)
        {
        case GWL_STYLE:
        {
            old = (LONG_PTR)p->dwStyle;
            DWORD now = (DWORD)dwNewLong;
            DWORD oldStyle = p->dwStyle;
            p->dwStyle = now & ~WS_VISIBLE;
            p->pClass->StyleChanged(p, oldStyle);
            if ((oldStyle ^ p->dwStyle) & WS_DISABLED && p->pWx)
                p->pWx->Enable(!(p->dwStyle & WS_DISABLED));
            RefreshWindow(p);
            break;
        }
        case GWL_EXSTYLE:
            old = (LONG_PTR)p->dwExStyle;
            if (((DWORD)dwNewLong ^ p->dwExStyle) & WS_EX_TOPMOST)
            {
                SetWindowPos(hWnd, ((DWORD)dwNewLong & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            p->dwExStyle = (DWORD)dwNewLong;
            break;
        case GWL_ID:
            old = p->nID;
            p->nID = (int)dwNewLong;
            break;
        case GWLP_USERDATA:
            old = p->userData;
            p->userData = dwNewLong;
            break;
        case GWLP_WNDPROC:
            // A procedure put in front of the class's: CallWindowProc reaches the old one.
            old = (LONG_PTR)p->pfnWndProc;
            p->pfnWndProc = (WNDPROC)dwNewLong;
            break;
        }
    });
    return old;
}

// ---------------------------------------------------------------------------------------------
// Timers

namespace
{
class CWndTimer : public wxTimer
{
public:
    CWndTimer(HWND h, UINT_PTR id, TIMERPROC proc) : m_hWnd(h), m_nID(id), m_pfn(proc) {}
    void Notify() override
    {
        HWND h = m_hWnd;
        UINT_PTR id = m_nID;
        TIMERPROC pfn = m_pfn;
        // The handler may kill this timer or destroy the window: use only copies from here.
        if (LiveRec(h))
            DispatchToWindow(h, WM_TIMER, (WPARAM)id, (LPARAM)pfn);
    }
    HWND m_hWnd;
    UINT_PTR m_nID;
    TIMERPROC m_pfn;
};
}  // namespace

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p || p->bForeign)
        return 0;
    if (uElapse < 10)
        uElapse = 10;
    UINT_PTR result = 0;
    RunOnGui([&] {
        if (!LiveRec(hWnd) || p->bDestroying)
            return;
        auto it = p->timers.find(nIDEvent);
        if (it != p->timers.end())
        {
            // A timer set again starts over with the new period.
            auto* t = static_cast<CWndTimer*>(it->second.get());
            t->m_pfn = lpTimerFunc;
            t->Start((int)uElapse);
        }
        else
        {
            auto t = std::make_unique<CWndTimer>(hWnd, nIDEvent, lpTimerFunc);
            t->Start((int)uElapse);
            p->timers[nIDEvent] = std::move(t);
        }
        result = nIDEvent ? nIDEvent : 1;
    });
    return result;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return FALSE;
    BOOL bOk = FALSE;
    RunOnGui([&] {
        auto it = p->timers.find(uIDEvent);
        if (it == p->timers.end())
            return;
        it->second->Stop();
        // Not deleted inside its own Notify: freed at the next turn of the loop.
        wxTimer* t = it->second.release();
        p->timers.erase(it);
        wxTheApp->CallAfter([t] { delete t; });
        bOk = TRUE;
    });
    return bOk;
}

// ---------------------------------------------------------------------------------------------
// Screen and cursor

int GetSystemMetrics(int nIndex)
{
    return CallOnGui<int>([&]() -> int {
        switch (nIndex)
        {
        case SM_CXSCREEN: case SM_CXFULLSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_X);
        case SM_CYSCREEN: case SM_CYFULLSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_Y);
        case SM_CXVIRTUALSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_X);
        case SM_CYVIRTUALSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_Y);
        case SM_CXVSCROLL: return 16;
        case SM_CYHSCROLL: return 16;
        case SM_CYCAPTION: return 23;
        case SM_CXBORDER: case SM_CYBORDER: return 1;
        case SM_CXICON: case SM_CYICON: return 32;
        case SM_CXSMICON: case SM_CYSMICON: return 16;
        case SM_CXCURSOR: case SM_CYCURSOR: return 32;
        case SM_CYMENU: return 20;
        }
        return 0;
    });
}

BOOL SystemParametersInfo(UINT uiAction, UINT, LPVOID pvParam, UINT)
{
    if (uiAction != SPI_GETWORKAREA || !pvParam)
        return FALSE;
    RECT* prc = (RECT*)pvParam;
    RunOnGui([&] {
        wxRect r = wxDisplay((unsigned)0).GetClientArea();
        prc->left = r.x;
        prc->top = r.y;
        prc->right = r.x + r.width;
        prc->bottom = r.y + r.height;
    });
    return TRUE;
}

BOOL GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint)
        return FALSE;
    RunOnGui([&] {
        wxPoint pt = wxGetMousePosition();
        lpPoint->x = pt.x;
        lpPoint->y = pt.y;
    });
    return TRUE;
}

HWND WindowFromPoint(POINT pt)
{
    return CallOnGui<HWND>([&]() -> HWND {
        wxWindow* w = wxFindWindowAtPoint(wxPoint(pt.x, pt.y));
        return w ? HandleOfWx(w) : nullptr;
    });
}

BOOL MessageBeep(UINT)
{
    RunOnGui([] { wxBell(); }, false);
    return TRUE;
}
