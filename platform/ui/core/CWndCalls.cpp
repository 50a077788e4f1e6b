// CWnd's window calls: the handle calls for the object's window.
#include <wx/wx.h>
#include "WndClass.h"
#include "CDataExchange.h"
#include "CFrameWnd.h"
#include "CWinApp.h"
#include "GdiDC.h"

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowText(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLength(m_hWnd);
    char* p = rString.GetBuffer(n + 1);
    ::GetWindowText(m_hWnd, p, n + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLength(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const
{
    *phWnd = ::GetDlgItem(m_hWnd, nID);
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

int CWnd::SetDlgCtrlID(int nID)
{
    RUN_WHOLE_ON_GUI(SetDlgCtrlID(nID));
    WndRecord* pRec = LiveRec(m_hWnd);
    if (!pRec)
        return 0;
    int old = pRec->nID;
    pRec->nID = nID;
    return old;
}

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString)
{
    ::SetDlgItemText(m_hWnd, nID, lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    CWnd* pItem = GetDlgItem(nID);
    if (!pItem)
        return 0;
    pItem->GetWindowText(rString);
    return rString.GetLength();
}

int CWnd::GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const
{
    return (int)::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount);
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetOwner() const
{
    RUN_WHOLE_ON_GUI(GetOwner());
    WndRecord* pRec = LiveRec(m_hWnd);
    if (!pRec)
        return nullptr;
    return FromHandle(pRec->hOwner ? pRec->hOwner : pRec->hParent);
}

void CWnd::SetOwner(CWnd* pOwnerWnd)
{
    RUN_WHOLE_ON_GUI_VOID(SetOwner(pOwnerWnd));
    WndRecord* pRec = LiveRec(m_hWnd);
    if (pRec)
        pRec->hOwner = pOwnerWnd ? pOwnerWnd->m_hWnd : nullptr;
}

CWnd* CWnd::GetTopLevelParent() const
{
    RUN_WHOLE_ON_GUI(GetTopLevelParent());
    HWND h = m_hWnd;
    for (WndRecord* p = LiveRec(h); p && p->hParent; p = LiveRec(h))
        h = p->hParent;
    return FromHandle(h);
}

CWnd* CWnd::GetParentFrame() const
{
    RUN_WHOLE_ON_GUI(GetParentFrame());
    // Tabs of an MDI frame are frames too, though child windows.
    for (CWnd* p = GetParent(); p; p = p->GetParent())
        if (WndRecord* r = LiveRec(p->m_hWnd); r && ((r->pClass && r->pClass->IsFrame()) || dynamic_cast<CFrameWnd*>(p)))
            return p;
    return nullptr;
}

BOOL CWnd::IsChild(const CWnd* pWnd) const
{
    if (!pWnd)
        return FALSE;
    for (HWND h = ::GetParent(pWnd->m_hWnd); h; h = ::GetParent(h))
        if (h == m_hWnd)
            return TRUE;
    return FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, (LPPOINT)&lpRect->left);
    ::ScreenToClient(m_hWnd, (LPPOINT)&lpRect->right);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, (LPPOINT)&lpRect->left);
    ::ClientToScreen(m_hWnd, (LPPOINT)&lpRect->right);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RUN_WHOLE_ON_GUI_VOID(CenterWindow(pAlternateOwner));
    RECT rcWnd;
    GetWindowRect(&rcWnd);
    RECT rcArea;
    WndRecord* pRec = LiveRec(m_hWnd);
    if (!pRec)
        return;
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : (pRec->hParent ? pRec->hParent : pRec->hOwner);
    if (pRec->hParent)
        ::GetClientRect(pRec->hParent, &rcArea);
    else if (hCenter && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter))
        ::GetWindowRect(hCenter, &rcArea);
    else
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcArea, 0);
    int w = rcWnd.right - rcWnd.left, hgt = rcWnd.bottom - rcWnd.top;
    int x = (rcArea.left + rcArea.right) / 2 - w / 2;
    int y = (rcArea.top + rcArea.bottom) / 2 - hgt / 2;
    if (!pRec->hParent)
    {
        RECT rcWork;
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0);
        if (x + w > rcWork.right) x = rcWork.right - w;
        if (x < rcWork.left) x = rcWork.left;
        if (y + hgt > rcWork.bottom) y = rcWork.bottom - hgt;
        if (y < rcWork.top) y = rcWork.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }

DWORD CWnd::GetStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_STYLE); }
DWORD CWnd::GetExStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE); }

// Changes the style bits kept at nIndex (GWL_STYLE or GWL_EXSTYLE); FALSE when they already were so.
static BOOL ChangeStyleBits(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd)
{
    DWORD old = (DWORD)::GetWindowLongPtr(hWnd, nIndex);
    DWORD now = (old & ~dwRemove) | dwAdd;
    if (now == old)
        return FALSE;
    ::SetWindowLongPtr(hWnd, nIndex, (LONG_PTR)now);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    if (!ChangeStyleBits(m_hWnd, GWL_STYLE, dwRemove, dwAdd))
        return FALSE;
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ChangeStyleBits(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd);
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    SendMessage(WM_SETFONT, (WPARAM)(pFont ? pFont->GetSafeHandle() : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const
{
    HFONT h = (HFONT)::SendMessage(m_hWnd, WM_GETFONT, 0, 0);
    return h ? CFont::FromHandle(h) : nullptr;
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return (HICON)SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon);
}

HICON CWnd::GetIcon(BOOL bBigIcon) const
{
    return (HICON)::SendMessage(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, void* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate, flags);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    return ::MessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    BOOL bOk = TRUE;
    RunOnGui([&] {
        CDataExchange dx(this, bSaveAndValidate);
        DoDataExchange(&dx);
    });
    return bOk;
}

void CWnd::DoDataExchange(CDataExchange*) {}
