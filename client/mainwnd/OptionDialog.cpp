// COptionDialog: the options the operator sets himself.
#include "OptionDialog.h"
#include <cstdlib>
#include "CComboBox.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(COptionDialog, CDialog)

BEGIN_MESSAGE_MAP(COptionDialog, CDialog)
END_MESSAGE_MAP()

COptionDialog::COptionDialog(CWnd* pParent)
    : CDialog(IDD_OPTION_DIALOG, pParent), m_bMiniSizeAtExit(FALSE), m_bAutoRun(FALSE), m_nMinutes(0)
{
}

void COptionDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_CHECK_AUTORUN, m_bAutoRun);
    DDX_Check(pDX, IDC_CHECK_MINISIZE, m_bMiniSizeAtExit);
}

BOOL COptionDialog::OnInitDialog()
{
    BOOL bResult = CDialog::OnInitDialog();
    // Minutes that no item begins with leave the list without a selection.
    CString strMinutes;
    strMinutes.Format("%d", m_nMinutes);
    ::SendMessage(::GetDlgItem(m_hWnd, IDC_COMBO_MINUTES), CB_SELECTSTRING, 0, (LPARAM)strMinutes.GetString());
    return bResult;
}

void COptionDialog::OnOK()
{
    UpdateData(TRUE);
    CString strMinutes;
    GetDlgItemText(IDC_COMBO_MINUTES, strMinutes);
    m_nMinutes = atoi(strMinutes);
    if (m_nMinutes < 0)
    {
        MessageBox("分钟数不能小于0！");
        GetDlgItem(IDC_COMBO_MINUTES)->SetFocus();
        return;
    }
    EndDialog(IDOK);
}
