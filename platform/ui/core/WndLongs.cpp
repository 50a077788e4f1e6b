// Window texts, ids, parents and window longs.
#include <wx/wx.h>
#include "WndClass.h"

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
    RUN_WHOLE_ON_GUI(GetDlgItem(hDlg, nIDDlgItem));
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
    return find(p);
}

int GetDlgCtrlID(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(GetDlgCtrlID(hWnd));
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
    RUN_WHOLE_ON_GUI(GetParent(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return nullptr;
    return p->hParent ? p->hParent : p->hOwner;
}

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex)
{
    RUN_WHOLE_ON_GUI(GetWindowLongPtr(hWnd, nIndex));
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return 0;
    switch (nIndex)
    {
    case GWL_STYLE:
    {
        DWORD st = p->dwStyle & ~WS_VISIBLE;
        if (p->bLight ? p->bLightVisible : (p->pWx && p->pWx->IsShown()))
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
    RUN_WHOLE_ON_GUI(SetWindowLongPtr(hWnd, nIndex, dwNewLong));
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return 0;
    LONG_PTR old = 0;
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
    return old;
}
