// CNewsDlg: dialog 341, one message of remind type "dialog": its title line and its content in a
// read-only rich edit; the close button keeps to the bottom-right corner when resized.
#pragma once

#include "AfxWin.h"
#include "CDialog.h"
#include "CRichEditCtrl.h"

class CNewsDlg : public CDialog
{
    DECLARE_DYNAMIC(CNewsDlg)
public:
    CNewsDlg(CWnd* pParent = nullptr);
    ~CNewsDlg() override;

    void SetContent(CString strText);
    // TRUE: records the controls' margins; FALSE: lays the controls out by them.
    void LayoutControls(BOOL bRecord);

    CRichEditCtrl m_richContent;
    CString m_strContent;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
