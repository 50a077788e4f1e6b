// CEdit, CButton, CStatic, CProgressCtrl: thin wrappers over their messages.
#include "WndRecord.h"
#include "CEdit.h"
#include "CButton.h"
#include "CStatic.h"
#include "CProgressCtrl.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, "Edit", "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

DWORD CEdit::GetSel() const
{
    return (DWORD)::SendMessage(m_hWnd, EM_GETSEL, 0, 0);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD a = 0, b = 0;
    ::SendMessage(m_hWnd, EM_GETSEL, (WPARAM)&a, (LPARAM)&b);
    nStartChar = (int)a;
    nEndChar = (int)b;
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SetSel((int)LOWORD(dwSelection), (int)(short)HIWORD(dwSelection), bNoScroll);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    ::SendMessage(m_hWnd, EM_SETSEL, (WPARAM)nStartChar, (LPARAM)nEndChar);
    if (!bNoScroll)
        ::SendMessage(m_hWnd, EM_SCROLLCARET, 0, 0);
}

void CEdit::ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo)
{
    ::SendMessage(m_hWnd, EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)lpszNewText);
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly)
{
    return (BOOL)::SendMessage(m_hWnd, EM_SETREADONLY, bReadOnly, 0);
}

void CEdit::SetLimitText(UINT nMax)
{
    ::SendMessage(m_hWnd, EM_LIMITTEXT, nMax, 0);
}

UINT CEdit::GetLimitText() const
{
    return (UINT)::SendMessage(m_hWnd, EM_GETLIMITTEXT, 0, 0);
}

void CEdit::Clear() { ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
void CEdit::Copy() { ::SendMessage(m_hWnd, WM_COPY, 0, 0); }
void CEdit::Cut() { ::SendMessage(m_hWnd, WM_CUT, 0, 0); }
void CEdit::Paste() { ::SendMessage(m_hWnd, WM_PASTE, 0, 0); }
BOOL CEdit::Undo() { return (BOOL)::SendMessage(m_hWnd, EM_UNDO, 0, 0); }
int CEdit::GetLineCount() const { return (int)::SendMessage(m_hWnd, EM_GETLINECOUNT, 0, 0); }

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, "Button", lpszCaption, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return (int)::SendMessage(m_hWnd, BM_GETCHECK, 0, 0); }
void CButton::SetCheck(int nCheck) { ::SendMessage(m_hWnd, BM_SETCHECK, (WPARAM)nCheck, 0); }
UINT CButton::GetButtonStyle() const { return (UINT)GetStyle() & 0xFFFF; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { ::SendMessage(m_hWnd, BM_SETSTYLE, nStyle, bRedraw); }
HBITMAP CButton::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, "Static", lpszText, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessage(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
HBITMAP CStatic::GetBitmap() const { return (HBITMAP)::SendMessage(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0); }
HICON CStatic::SetIcon(HICON hIcon) { return (HICON)::SendMessage(m_hWnd, STM_SETICON, (WPARAM)hIcon, 0); }
HICON CStatic::GetIcon() const { return (HICON)::SendMessage(m_hWnd, STM_GETICON, 0, 0); }

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, PROGRESS_CLASS, "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CProgressCtrl::SetRange(short nLower, short nUpper) { ::SendMessage(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
void CProgressCtrl::SetRange32(int nLower, int nUpper) { ::SendMessage(m_hWnd, PBM_SETRANGE32, (WPARAM)nLower, (LPARAM)nUpper); }
void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    int r[2] = {0, 0};
    ::SendMessage(m_hWnd, PBM_GETRANGE, 0, (LPARAM)r);
    nLower = r[0];
    nUpper = r[1];
}
int CProgressCtrl::SetPos(int nPos) { return (int)::SendMessage(m_hWnd, PBM_SETPOS, (WPARAM)nPos, 0); }
int CProgressCtrl::GetPos() const { return (int)::SendMessage(m_hWnd, PBM_GETPOS, 0, 0); }
int CProgressCtrl::OffsetPos(int nPos) { return (int)::SendMessage(m_hWnd, PBM_DELTAPOS, (WPARAM)nPos, 0); }
int CProgressCtrl::SetStep(int nStep) { return (int)::SendMessage(m_hWnd, PBM_SETSTEP, (WPARAM)nStep, 0); }
int CProgressCtrl::StepIt() { return (int)::SendMessage(m_hWnd, PBM_STEPIT, 0, 0); }
COLORREF CProgressCtrl::SetBarColor(COLORREF clrBar) { return (COLORREF)::SendMessage(m_hWnd, PBM_SETBARCOLOR, 0, (LPARAM)clrBar); }
COLORREF CProgressCtrl::SetBkColor(COLORREF clrNew) { return (COLORREF)::SendMessage(m_hWnd, PBM_SETBKCOLOR, 0, (LPARAM)clrNew); }
