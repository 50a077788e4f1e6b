// Menus as data: loading a nested template, inserting by position, deleting, texts cut to the
// buffer, item ids of popups and separators, bitmaps, destroyed handles.
#include <gtest/gtest.h>
#include "AfxWin.h"
#include "CMenu.h"
#include "GdiObject.h"

namespace
{
const MENUITEM_DATA s_items[] = {
    {0, MF_POPUP, 0, "文件(&F)"},
    {1, 0, 100, "打开"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, MF_POPUP, 0, "最近"},
    {2, 0, 101, "一"},
    {2, MF_CHECKED, 102, "二"},
    {1, 0, 103, "退出"},
    {0, MF_POPUP, 0, "帮助"},
    {1, MF_GRAYED, 104, "关于"},
    {3, 0, 999, "orphan level: dropped"},
};
const MENU_TEMPLATE_DATA s_menu = {s_items, (int)(sizeof(s_items) / sizeof(s_items[0]))};
CResourceRegistrar s_reg([] { CResourceRegistry::AddData(7200, RT_MENU, &s_menu, sizeof(s_menu)); });

CString Text(HMENU h, UINT pos)
{
    char buf[64] = "";
    ::GetMenuString(h, pos, buf, sizeof(buf), MF_BYPOSITION);
    return buf;
}
}  // namespace

TEST(MenuTest, ATemplateLoadsNestedAndKeepsStates)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(7200));
    ASSERT_EQ(menu.GetMenuItemCount(), 2u);
    CMenu* pFile = menu.GetSubMenu(0);
    ASSERT_TRUE(pFile);
    ASSERT_EQ(pFile->GetMenuItemCount(), 4u);
    EXPECT_EQ(pFile->GetMenuItemID(0), 100u);
    EXPECT_EQ(pFile->GetMenuItemID(1), 0u);           // separator
    EXPECT_EQ(pFile->GetMenuItemID(2), (UINT)-1);     // popup
    EXPECT_EQ(pFile->GetMenuItemID(9), (UINT)-1);     // no such position
    CMenu* pRecent = pFile->GetSubMenu(2);
    ASSERT_TRUE(pRecent);
    EXPECT_TRUE(pRecent->GetMenuState(102, MF_BYCOMMAND) & MF_CHECKED);
    // By command, found in a nested popup from the top menu.
    EXPECT_TRUE(menu.GetMenuState(102, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(menu.GetMenuState(104, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(menu.GetMenuState(999, MF_BYCOMMAND), (UINT)-1);
    EXPECT_STREQ(Text(menu, 0), "文件(&F)");
}

TEST(MenuTest, InsertByPositionDeleteAndCutTexts)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreateMenu());
    menu.AppendMenu(MF_STRING, 1, "a");
    menu.AppendMenu(MF_STRING, 3, "c");
    EXPECT_TRUE(menu.InsertMenu(1, MF_BYPOSITION | MF_STRING, 2, "b"));
    EXPECT_TRUE(menu.InsertMenu(99, MF_BYPOSITION | MF_STRING, 4, "d"));  // past the end: appended
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 10, "inner");
    EXPECT_TRUE(menu.InsertMenu(0, MF_BYPOSITION | MF_POPUP, (UINT_PTR)popup.Detach(), "p"));
    ASSERT_EQ(menu.GetMenuItemCount(), 5u);
    EXPECT_STREQ(Text(menu, 0), "p");
    EXPECT_STREQ(Text(menu, 2), "b");
    EXPECT_STREQ(Text(menu, 4), "d");
    // Insert before a command, by command.
    EXPECT_TRUE(menu.InsertMenu(3, MF_BYCOMMAND | MF_SEPARATOR));
    EXPECT_EQ(menu.GetMenuItemID(3), 0u);

    // A text is cut to the buffer, terminator included.
    menu.ModifyMenu(1, MF_BYCOMMAND | MF_STRING, 1, "0123456789");
    char small[5] = "xxxx";
    EXPECT_EQ(menu.GetMenuString(1, small, sizeof(small), MF_BYCOMMAND), 4);
    EXPECT_STREQ(small, "0123");

    // Deleting a popup destroys it; deleting by command reaches into popups.
    HMENU hInner = ::GetSubMenu(menu, 0);
    EXPECT_TRUE(menu.DeleteMenu(10, MF_BYCOMMAND));
    EXPECT_EQ(::GetMenuItemCount(hInner), 0);
    EXPECT_TRUE(menu.DeleteMenu(0, MF_BYPOSITION));
    EXPECT_FALSE(::IsMenu(hInner));
    EXPECT_EQ(CMenu::FromHandle(hInner), nullptr);
    EXPECT_FALSE(menu.DeleteMenu(77, MF_BYCOMMAND));
}

TEST(MenuTest, BitmapsAndDefaultItem)
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 5, "x");
    menu.AppendMenu(MF_STRING, 6, "y");
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(16, 16, 1, 32, nullptr));
    EXPECT_TRUE(menu.SetMenuItemBitmaps(6, MF_BYCOMMAND, &bmp, &bmp));
    MENU_ITEM_INFO info{};
    ASSERT_TRUE(AfxGetMenuItemInfo(menu, 1, &info));
    EXPECT_EQ(info.hbmChecked, (HBITMAP)bmp.m_hObject);
    EXPECT_EQ(info.hbmUnchecked, (HBITMAP)bmp.m_hObject);
    EXPECT_TRUE(menu.SetDefaultItem(1, TRUE));
    EXPECT_EQ(::GetMenuDefaultItem(menu, FALSE, 0), 6u);
    HMENU h = menu.Detach();
    EXPECT_TRUE(::DestroyMenu(h));
    EXPECT_FALSE(::DestroyMenu(h));  // a stale handle is refused
}
