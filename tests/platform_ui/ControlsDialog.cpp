// The controls dialog's template and message maps.
#include <gtest/gtest.h>
#include "ControlsDialog.h"

namespace
{
const DLGITEMTEMPLATE_DATA s_items[] = {
    {IDC_EDIT, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 10, 10, 120, 13},
    {IDC_MASKED, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 0, 10, 30, 120, 13},
    {IDC_LINK, "Static", "忘记密码", WS_VISIBLE | SS_NOTIFY, 0, 140, 30, 40, 10},
    {IDC_LABEL, "Static", "密码：", WS_VISIBLE | SS_RIGHT, 0, 140, 10, 40, 10},
    {IDC_BAR, "msctls_progress32", "", WS_VISIBLE, 0, 0, 60, 200, 12},
    {IDC_VPN, "Button", "VPN", WS_VISIBLE | WS_TABSTOP, 0, 10, 80, 50, 15},
    {IDC_LOGO, "Static", "#344", WS_VISIBLE | SS_BITMAP, 0, 150, 80, 30, 15},
    {IDC_REMEMBER, "Button", "记住", WS_VISIBLE | BS_AUTOCHECKBOX, 0, 70, 80, 40, 10},
    {IDC_CHOICE_A, "Button", "A", WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP, 0, 110, 62, 20, 10},
    {IDC_CHOICE_B, "Button", "B", WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 130, 62, 20, 10},
    {IDC_FRAME, "Button", "选项", WS_VISIBLE | BS_GROUPBOX, 0, 105, 55, 50, 20},
};
const DLGTEMPLATE_DATA s_dialog = {WS_POPUP | DS_SETFONT | DS_FIXEDSYS, 0, 20, 20, 200, 100, "",
                                   8, "MS Shell Dlg", s_items, (int)(sizeof(s_items) / sizeof(s_items[0]))};
CResourceRegistrar s_reg([] { CResourceRegistry::AddDialog(IDD_CONTROLS, &s_dialog); });

}  // namespace

BEGIN_MESSAGE_MAP(CMaskEdit, CEdit)
    ON_CONTROL_REFLECT(EN_UPDATE, &CMaskEdit::OnUpdate)
    ON_WM_CHAR()
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CControlsDlg, CDialog)
    ON_EN_UPDATE(IDC_EDIT, &CControlsDlg::OnEditUpdate)
    ON_EN_CHANGE(IDC_EDIT, &CControlsDlg::OnEditChange)
    ON_EN_UPDATE(IDC_MASKED, &CControlsDlg::OnMaskedUpdate)
    ON_EN_CHANGE(IDC_MASKED, &CControlsDlg::OnMaskedChange)
    ON_STN_CLICKED(IDC_LINK, &CControlsDlg::OnLink)
    ON_BN_CLICKED(IDC_VPN, &CControlsDlg::OnVpn)
    ON_WM_CTLCOLOR()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

