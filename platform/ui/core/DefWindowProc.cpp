// The default window procedure: what every window does with a message its class leaves alone.
#include <wx/wx.h>
#include "WndClass.h"
#include "Gdi.h"
#include "KernelObject.h"

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
