// The page tabs' resources: the edit menu a right click on a page shows.
#include "WinUser.h"
#include "ResourceRegistry.h"
#include "AfxRes.h"
#include "CMenu.h"
#include "resource.h"

namespace
{
const MENUITEM_DATA s_editMenu[] = {
    {0, MF_POPUP, 0, "编辑"},
    {1, 0, ID_EDIT_CUT, "剪切(&T)\tCtrl+X"},
    {1, 0, ID_EDIT_COPY, "复制(&C)\tCtrl+C"},
    {1, 0, ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V"},
};
const MENU_TEMPLATE_DATA s_editMenuTpl = {s_editMenu, (int)(sizeof(s_editMenu) / sizeof(s_editMenu[0]))};

void RegisterPageResources()
{
    CResourceRegistry::AddData(IDR_PAGE_EDIT_MENU, RT_MENU, &s_editMenuTpl, sizeof(s_editMenuTpl));
}

CResourceRegistrar s_registrar(&RegisterPageResources);
}  // namespace
