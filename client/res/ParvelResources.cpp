// The program's strings and dialog templates.
#include "WinUser.h"
#include "ResourceRegistry.h"
#include "resource.h"

namespace
{
const DWORD kChild = WS_CHILD | WS_VISIBLE;

// Sign-on dialog: borderless, painted by the dialog itself, dragged by its body.
const DLGITEMTEMPLATE_DATA s_loginItems[] = {
    { IDC_STATIC, "Static", "#334", kChild | SS_BITMAP, 0, 0, 0, 242, 46 },
    { IDC_STATIC_TITLE, "Static", "", kChild | SS_CENTER, 0, 0, 50, 242, 14 },
    { IDC_LOGIN_LOGO, "Static", "#344", kChild | SS_BITMAP, 0, 14, 70, 30, 30 },
    { IDC_STATIC_ACCOUNT, "Static", "账号：", kChild | SS_RIGHT, 0, 44, 74, 32, 10 },
    { IDC_EDIT_ACCOUNT, "Edit", "", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 78, 72, 112, 13 },
    { IDC_STATIC_USER, "Static", "", kChild | SS_LEFT, 0, 80, 74, 110, 10 },
    { IDC_STATIC_PASSWORD, "Static", "密码：", kChild | SS_RIGHT, 0, 44, 94, 32, 10 },
    { IDC_EDIT_PASSWORD, "Edit", "", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 0, 78, 92, 112, 13 },
    { IDC_FIND_PASSWORD, "Static", "忘记密码", kChild | SS_NOTIFY, 0, 196, 94, 40, 10 },
    { IDC_STATIC_STATUS, "Static", "", WS_CHILD | SS_CENTER, 0, 8, 112, 226, 10 },
    { IDOK, "Button", "登录", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 40, 126, 50, 15 },
    { IDCANCEL, "Button", "退出", kChild | WS_TABSTOP, 0, 98, 126, 50, 15 },
    { IDC_BUTTON_VPN, "Button", "VPN", kChild | WS_TABSTOP, 0, 156, 126, 50, 15 },
    { IDC_STATIC_VPN_HINT, "Static", "请先登录VPN", kChild | SS_CENTER, 0, 146, 145, 70, 10 },
    { IDC_UPDATE_PROGRESS, "msctls_progress32", "", WS_CHILD | PBS_SMOOTH, 0, 0, 156, 242, 10 },
};

const DLGTEMPLATE_DATA s_loginDialog = {
    WS_POPUP | DS_SETFONT | DS_FIXEDSYS | DS_SETFOREGROUND, 0, 0, 0, 242, 166, "", 8, "MS Shell Dlg",
    s_loginItems, (int)(sizeof(s_loginItems) / sizeof(s_loginItems[0])),
};

// About dialog: a plain template with no handlers of its own.
const DLGITEMTEMPLATE_DATA s_aboutItems[] = {
    { IDC_STATIC, "Static", "#314", kChild | SS_ICON, 0, 14, 14, 21, 20 },
    { IDC_STATIC, "Static", "Velkor速递网点客户端", kChild | SS_LEFT | SS_NOPREFIX, 0, 42, 14, 150, 8 },
    { IDC_STATIC, "Static", "Velkor速递网络", kChild | SS_LEFT, 0, 42, 26, 150, 8 },
    { IDOK, "Button", "确定", kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 113, 41, 50, 14 },
};

const DLGTEMPLATE_DATA s_aboutDialog = {
    DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 170, 62,
    "关于 Parvel", 8, "MS Shell Dlg", s_aboutItems, (int)(sizeof(s_aboutItems) / sizeof(s_aboutItems[0])),
};

void RegisterParvelResources()
{
    CResourceRegistry::AddString(IDR_MAINFRAME, "Velkor速递网点客户端");
    CResourceRegistry::AddString(IDR_ParvelTYPE, "\nParvel\nParvel\n\n\nParvel.Document\nParvel.Document");
    CResourceRegistry::AddString(IDS_SERVER_NO_RESPONSE, "服务器未响应，请检查网络连接是否正常！");
    CResourceRegistry::AddDialog(IDD_LOGIN_DIALOG, &s_loginDialog);
    CResourceRegistry::AddDialog(IDD_ABOUTBOX, &s_aboutDialog);
}

CResourceRegistrar s_registrar(&RegisterParvelResources);
}  // namespace
