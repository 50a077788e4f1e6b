// The main window's own dialogs: options (2000), message (341) and the browser installer's
// download (356).
#include "WinUser.h"
#include "ResourceRegistry.h"
#include "CComboBox.h"
#include "CDialog.h"
#include "CProgressCtrl.h"
#include "CRichEditCtrl.h"
#include "resource.h"

namespace
{
const DWORD kChild = WS_CHILD | WS_VISIBLE;

// Options: autorun and the tray at close, then the idle-lock minutes.
const DLGITEMTEMPLATE_DATA s_optionItems[] = {
    { IDOK, "Button", "保存", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 46, 118, 50, 14 },
    { IDCANCEL, "Button", "退出", kChild | WS_TABSTOP, 0, 104, 118, 50, 14 },
    { IDC_STATIC, "Button", "开机与退出", kChild | BS_GROUPBOX, 0, 7, 7, 180, 50 },
    { IDC_CHECK_AUTORUN, "Button", "开机时自动启动", kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 18, 21, 150, 10 },
    { IDC_CHECK_MINISIZE, "Button", "窗口关闭时最小化到托盘", kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 18, 37, 150, 10 },
    { IDC_STATIC, "Button", "安全设置", kChild | BS_GROUPBOX, 0, 7, 63, 180, 48 },
    { IDC_STATIC, "Static", "应用无操作", kChild | SS_LEFT, 0, 18, 80, 42, 8 },
    { IDC_COMBO_MINUTES, "ComboBox", "", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 62, 77, 40, 60 },
    { IDC_STATIC, "Static", "分钟后自动锁定！", kChild | SS_LEFT, 0, 106, 80, 72, 8 },
    { IDC_STATIC, "Static", "（注：初始 0 代表不自动锁定）", WS_CHILD | SS_LEFT, 0, 18, 96, 150, 8 },
};

const DLGTEMPLATE_DATA s_optionDialog = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT | DS_FIXEDSYS, 0, 0, 0, 194, 142,
    "选项", 9, "MS Shell Dlg",
    s_optionItems, (int)(sizeof(s_optionItems) / sizeof(s_optionItems[0])),
};

const DLGINIT_DATA s_optionInit[] = {
    { IDC_COMBO_MINUTES, CB_ADDSTRING, "5" },
    { IDC_COMBO_MINUTES, CB_ADDSTRING, "10" },
    { IDC_COMBO_MINUTES, CB_ADDSTRING, "15" },
    { IDC_COMBO_MINUTES, CB_ADDSTRING, "30" },
};

// Message: the title line above the content, the close button in the bottom-right corner.
const DLGITEMTEMPLATE_DATA s_newsItems[] = {
    { IDCANCEL, "Button", "关闭(&C)", kChild | WS_TABSTOP, 0, 260, 162, 50, 14 },
    { IDC_NEWS_TITLE, "Button", "title", kChild | BS_PUSHBUTTON, 0, 7, 7, 303, 16 },
    { IDC_NEWS_CONTENT, RICHEDIT_CLASS, "",
      kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0, 7, 27, 303, 130 },
};

const DLGTEMPLATE_DATA s_newsDialog = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_CENTER | DS_SETFONT |
        DS_FIXEDSYS,
    0, 0, 0, 317, 183, "提示消息", 9, "MS Shell Dlg",
    s_newsItems, (int)(sizeof(s_newsItems) / sizeof(s_newsItems[0])),
};

// Download of the browser installer.
const DLGITEMTEMPLATE_DATA s_downloadItems[] = {
    { IDC_DOWNLOAD_PROGRESS, PROGRESS_CLASS, "", kChild | WS_BORDER, 0, 10, 14, 240, 14 },
    { IDC_DOWNLOAD_PERCENT, "Static", "0%", kChild | SS_LEFT, 0, 258, 17, 40, 8 },
    { IDC_DOWNLOAD_CANCEL, "Button", "取消", kChild | WS_TABSTOP, 0, 133, 44, 50, 14 },
};

const DLGTEMPLATE_DATA s_downloadDialog = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT | DS_FIXEDSYS, 0, 0, 0, 316, 69,
    "下载任务", 9, "MS Shell Dlg",
    s_downloadItems, (int)(sizeof(s_downloadItems) / sizeof(s_downloadItems[0])),
};

void RegisterCommandDialogResources()
{
    CResourceRegistry::AddDialog(IDD_OPTION_DIALOG, &s_optionDialog);
    CResourceRegistry::AddData(IDD_OPTION_DIALOG, RT_DLGINIT, s_optionInit, sizeof(s_optionInit));
    CResourceRegistry::AddDialog(IDD_NEWS_DIALOG, &s_newsDialog);
    CResourceRegistry::AddDialog(IDD_DOWNLOAD_PROGRESS, &s_downloadDialog);
}

CResourceRegistrar s_registrar(&RegisterCommandDialogResources);
}  // namespace
