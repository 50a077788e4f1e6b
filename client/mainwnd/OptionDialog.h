// COptionDialog: dialog 2000, autorun, the tray at close and the idle-lock minutes.
#pragma once

#include "AfxWin.h"
#include "CDialog.h"

class COptionDialog : public CDialog
{
    DECLARE_DYNAMIC(COptionDialog)
public:
    COptionDialog(CWnd* pParent = nullptr);

    BOOL m_bMiniSizeAtExit;
    BOOL m_bAutoRun;
    int m_nMinutes;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    DECLARE_MESSAGE_MAP()
};
