// The password edit: the window shows one "*" per byte, the real text stays in the object.
#pragma once

#include "AfxWin.h"

class CSecureEdit : public CEdit
{
    DECLARE_DYNAMIC(CSecureEdit)
public:
    CSecureEdit();
    ~CSecureEdit() override;

    // Replaces the kept text and shows it masked.
    void SetRealText(const char* pszText);
    const CString& GetRealText() const { return m_strRealText; }

protected:
    void PreSubclassWindow() override;
    afx_msg void OnUpdate();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    void TakeRemoval(int nShown, int nCaret);
    DECLARE_MESSAGE_MAP()

    CString m_strRealText;
    int m_nShownLength;
};
