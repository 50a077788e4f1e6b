// The password edit never lets the real text stand in the window, so nothing can read or copy it
// from there.
#include "SecureEdit.h"

IMPLEMENT_DYNAMIC(CSecureEdit, CEdit)

BEGIN_MESSAGE_MAP(CSecureEdit, CEdit)
    ON_CONTROL_REFLECT(EN_UPDATE, &CSecureEdit::OnUpdate)
    ON_WM_CONTEXTMENU()
    ON_WM_CHAR()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CSecureEdit::CSecureEdit() : m_nShownLength(0)
{
}

CSecureEdit::~CSecureEdit() = default;

void CSecureEdit::PreSubclassWindow()
{
    CEdit::PreSubclassWindow();
    // The control shows its own "*" text, so the system's masking must be off.
    ModifyStyle(ES_PASSWORD, 0);
}

void CSecureEdit::SetRealText(const char* pszText)
{
    m_strRealText = pszText ? pszText : "";
    // The length is set first: the window's own update then finds nothing to take over.
    m_nShownLength = m_strRealText.GetLength();
    SetWindowText(CString('*', m_nShownLength));
}

void CSecureEdit::OnUpdate()
{
    CString strShown;
    GetWindowText(strShown);
    const int n = strShown.GetLength();
    int nStart = 0;
    int nEnd = 0;
    GetSel(nStart, nEnd);

    int p = 0;
    while (p < n && strShown[p] == '*')
        ++p;

    if (p >= n)
    {
        // Only stars are left: characters were removed (or this is our own update). They went
        // at the caret, so the kept text loses the same bytes there.
        if (n < m_nShownLength)
        {
            const int nRemoved = m_nShownLength - n;
            const int nAt = nStart < 0 ? 0 : (nStart > n ? n : nStart);
            m_strRealText = m_strRealText.Left(nAt) + m_strRealText.Mid(nAt + nRemoved);
            m_nShownLength = n;
        }
        return;
    }

    // A GBK character is two bytes, its lead byte above 0xA0.
    int w = (unsigned char)strShown[p] > 0xA0 ? 2 : 1;
    if (p + w > n)
        w = n - p;

    // More than one new character at once is no typing but a paste (the middle mouse button,
    // Shift+Insert): taking it would garble the kept text, so it is refused.
    if (m_nShownLength > 0 && CString(strShown.Mid(p + w)).Remove('*') != (n - p - w))
    {
        SetWindowText(CString('*', m_nShownLength));
        SetSel(p, p);
        return;
    }

    if (m_nShownLength == 0)
        m_strRealText = strShown;
    else if (n == m_nShownLength)
        m_strRealText = m_strRealText.Left(p) + strShown.Mid(p, w) + m_strRealText.Mid(p + w);
    else
        m_strRealText = m_strRealText.Left(p) + strShown.Mid(p, w) + m_strRealText.Right(n - w - p);

    m_nShownLength = n;
    SetWindowText(CString('*', n));
    SetSel(nStart, nStart);
    SendMessage(EM_SCROLLCARET);
}

void CSecureEdit::OnContextMenu(CWnd* pWnd, CPoint pos)
{
    // No context menu: no copy or paste by mouse.
}

void CSecureEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Ctrl+V would paste text the edit cannot mask character by character.
    if (nChar == 22 && nRepCnt == 1 && !(nFlags & 0x400))
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

void CSecureEdit::OnSetFocus(CWnd* pOldWnd)
{
    CEdit::OnSetFocus(pOldWnd);
}
