// CEdit: a single- or multi-line text field (GTK entry / text view).
#pragma once

#include "CWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CEdit : public CWnd
{
    DECLARE_DYNAMIC(CEdit)
public:
    CEdit() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Selection in bytes of the GBK text.
    DWORD GetSel() const;
    void GetSel(int& nStartChar, int& nEndChar) const;
    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE);
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    void SetLimitText(UINT nMax);
    void LimitText(int nChars = 0) { SetLimitText((UINT)nChars); }
    UINT GetLimitText() const;
    void Clear();
    void Copy();
    void Cut();
    void Paste();
    BOOL Undo();
    int GetLineCount() const;
};

PARVEL_UI_END_EXPORTS
