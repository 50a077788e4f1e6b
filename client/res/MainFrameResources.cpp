// The main frame's menus, standard toolbar, pictures and strings.
#include "WinUser.h"
#include "ResourceRegistry.h"
#include "CMenu.h"
#include "CMFCToolBar.h"
#include "resource.h"

namespace
{
// Frame menu: the server popups go in after the first popup; the window popup (before the last)
// lists the open pages.
const MENUITEM_DATA s_frameMenu[] = {
    {0, MF_POPUP, 0, "系统(&S)"},
    {1, 0, ID_HOME_PAGE, "主页"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, 0, ID_LOCK_APP, "锁定应用(&L)\tCtrl+L"},
    {1, 0, ID_SWITCH_ACCOUNT, "切换账号"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, 0, ID_OPTION, "选项(&O)"},
    {1, 0, ID_INTERNET_OPTION, "Internet选项"},
    {1, 0, ID_AUTO_RUN, "开机自动运行"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, 0, ID_QUIT, "退出(&X)"},
    {0, MF_POPUP, 0, "窗口(&W)"},
    {1, 0, ID_CLOSE_OTHER_PAGES, "关闭其它页面"},
    {1, 0, ID_CLOSE_ALL_PAGES, "关闭所有页面"},
    {0, MF_POPUP, 0, "帮助(&H)"},
    {1, 0, ID_BRANCH_360_VIEW, "网点360视图"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, 0, ID_APP_ABOUT, "关于(&A)..."},
};

const MENUITEM_DATA s_trayMenu[] = {
    {0, MF_POPUP, 0, "托盘"},
    {1, 0, ID_APP_ABOUT, "关于(&A)"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, 0, ID_LOCK_APP, "锁定应用(&L)"},
    {1, 0, ID_SWITCH_ACCOUNT, "切换账号"},
    {1, 0, ID_SHOW_MAIN_WINDOW, "显示主界面(&M)"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, 0, ID_QUIT, "退出(&X)"},
};

const MENUITEM_DATA s_tabMenu[] = {
    {0, MF_POPUP, 0, "页面"},
    {1, 0, ID_FILE_CLOSE, "关闭(&C)"},
    {1, 0, ID_CLOSE_OTHER_PAGES, "关闭其它页面"},
    {1, 0, ID_CLOSE_ALL_PAGES, "关闭所有页面"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, 0, ID_REFRESH_PAGE, "刷新(&R)\tF5"},
};

const MENU_TEMPLATE_DATA s_frameMenuTpl = {s_frameMenu, (int)(sizeof(s_frameMenu) / sizeof(s_frameMenu[0]))};
const MENU_TEMPLATE_DATA s_trayMenuTpl = {s_trayMenu, (int)(sizeof(s_trayMenu) / sizeof(s_trayMenu[0]))};
const MENU_TEMPLATE_DATA s_tabMenuTpl = {s_tabMenu, (int)(sizeof(s_tabMenu) / sizeof(s_tabMenu[0]))};

// Standard toolbar: back, forward, refresh, switch account, home page (pictures in that order).
const UINT s_toolbarIds[] = {ID_GO_BACK, ID_GO_FORWARD, ID_REFRESH_PAGE, 0, ID_SWITCH_ACCOUNT, ID_HOME_PAGE};
const TOOLBAR_TEMPLATE_DATA s_toolbar = {16, 16, s_toolbarIds, (int)(sizeof(s_toolbarIds) / sizeof(s_toolbarIds[0]))};

void RegisterMainFrameResources()
{
    CResourceRegistry::AddData(IDR_MAINFRAME, RT_MENU, &s_frameMenuTpl, sizeof(s_frameMenuTpl));
    CResourceRegistry::AddData(IDR_TRAY_MENU, RT_MENU, &s_trayMenuTpl, sizeof(s_trayMenuTpl));
    CResourceRegistry::AddData(IDR_TAB_MENU, RT_MENU, &s_tabMenuTpl, sizeof(s_tabMenuTpl));
    CResourceRegistry::AddData(IDR_MAINFRAME, RT_TOOLBAR, &s_toolbar, sizeof(s_toolbar));
    CResourceRegistry::AddString(IDS_APP_TITLE, "Velkor速递网点客户端");
    CResourceRegistry::AddString(IDS_INDICATOR_ICON, " ");
    CResourceRegistry::AddString(IDS_INDICATOR_PROGRESS, "  ");
    CResourceRegistry::AddString(IDS_TOOLBAR_CUSTOMIZE, "自定义...");
    CResourceRegistry::AddString(ID_GO_BACK, "后退到上一页\n后退");
    CResourceRegistry::AddString(ID_GO_FORWARD, "前进到下一页\n前进");
    CResourceRegistry::AddString(ID_REFRESH_PAGE, "刷新当前页面\n刷新");
    CResourceRegistry::AddString(ID_SWITCH_ACCOUNT, "退出并以其他账号登录\n切换账号");
    CResourceRegistry::AddString(ID_HOME_PAGE, "打开主页\n主页");
}

CResourceRegistrar s_registrar(&RegisterMainFrameResources);
}  // namespace
