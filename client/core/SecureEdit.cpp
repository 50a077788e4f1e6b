// The password edit never lets the real text stand in the window, so nothing can read or copy it
// from there.
#include "SecureEdit.h"

IMPLEMENT_DYNAMIC(CSecureEdit, CEdit)

BEGIN_MESSAGE_MAP(CSecureEdit, CEdit)
    ON_CONTROL_REFLECT(EN_UPDATE, &CSecureEdit::OnUpdate)
    ON_WM_CONTEXTMENU()
    ON_WM_CHAR()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_PASTE, &CSecureEdit::OnPaste)
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

namespace
{
// A GBK character is two bytes, its lead byte above 0xA0.
int CharWidthAt(const CString& s, int i)
{
    return (unsigned char)s[i] > 0xA0 && i + 1 < s.GetLength() ? 2 : 1;
}

// The start of the character of the kept text that holds byte pos (pos itself at a boundary).
int CharStart(const CString& s, int pos)
{
    int i = 0;
    while (i < s.GetLength())
    {
        int w = CharWidthAt(s, i);
        if (i + w > pos)
            return i;
        i += w;
    }
    return i;
}
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
        if (n < m_nShownLength)
            TakeRemoval(n, nStart);
        return;
    }

    // Everything up to the next star came in at once: one typed character, or what an input
    // method commits. Pastes never get here (OnPaste).
    int w = 1;
    while (p + w < n && strShown[p + w] != '*')
        ++w;

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

// Only stars are left and fewer of them: characters were removed at the caret (Backspace,
// Delete, a cut selection). A GBK character shows as two stars, so a removal that splits one
// takes the whole character, and the window shows the stars of what is kept.
void CSecureEdit::TakeRemoval(int n, int nCaret)
{
    const int nRemoved = m_nShownLength - n;
    const int nAt = nCaret < 0 ? 0 : (nCaret > n ? n : nCaret);
    const int nFrom = CharStart(m_strRealText, nAt);
    int nTo = CharStart(m_strRealText, nAt + nRemoved);
    if (nTo < nAt + nRemoved)
        nTo += CharWidthAt(m_strRealText, nTo);
    m_strRealText = m_strRealText.Left(nFrom) + m_strRealText.Mid(nTo);
    m_nShownLength = m_strRealText.GetLength();
    if (m_nShownLength != n)
    {
        SetWindowText(CString('*', m_nShownLength));
        SetSel(nFrom, nFrom);
    }
}

LRESULT CSecureEdit::OnPaste(WPARAM, LPARAM)
{
    // A paste (Shift+Insert, the middle mouse button) would bring text the edit cannot mask
    // character by character.
    return 0;
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
