// CSearchEdit: the edit of the waybill box. Enter sends its text to the main window; Ctrl+C, V,
// X and Z copy, paste, cut and undo.
#pragma once

#include "AfxWin.h"
#include "CEdit.h"

class CSearchEdit : public CEdit
{
    DECLARE_DYNAMIC(CSearchEdit)
public:
    CSearchEdit();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The text posted with WM_QUERY_WAYBILL; it lives as long as the edit.
    char m_szText[32];
};
