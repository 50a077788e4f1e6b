// The shared wait window with its spinner, run on a user-interface thread of its own.
#pragma once

#include "AfxWin.h"

class CWaitDialog : public CDialog
{
    DECLARE_DYNAMIC(CWaitDialog)
public:
    explicit CWaitDialog(CWnd* pParent = nullptr);
    ~CWaitDialog() override;

    enum { IDD = 350 };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()
};
