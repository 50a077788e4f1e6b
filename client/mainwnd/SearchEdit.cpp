// CSearchEdit: keys of the waybill box.
#include "SearchEdit.h"
#include <cstring>
#include "MainFrm.h"

IMPLEMENT_DYNAMIC(CSearchEdit, CEdit)

CSearchEdit::CSearchEdit()
{
    memset(m_szText, 0, sizeof(m_szText));
}

BOOL CSearchEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN)
    {
        if (pMsg->wParam == VK_RETURN)
        {
            GetWindowText(m_szText, (int)sizeof(m_szText));
            if (CWnd* pMain = AfxGetMainWnd())
                pMain->PostMessage(WM_QUERY_WAYBILL, 0, (LPARAM)m_szText);
        }
        // The clipboard keys are done here and go no further: the entry would do them a second
        // time (a paste would come twice).
        if (GetKeyState(VK_CONTROL) < 0)
        {
            switch (pMsg->wParam)
            {
            case 'C': SendMessage(WM_COPY, 0, 0); return TRUE;
            case 'V': SendMessage(WM_PASTE, 0, 0); return TRUE;
            case 'X': SendMessage(WM_CUT, 0, 0); return TRUE;
            case 'Z': SendMessage(EM_UNDO, 0, 0); return TRUE;
            }
        }
    }
    return CEdit::PreTranslateMessage(pMsg);
}
