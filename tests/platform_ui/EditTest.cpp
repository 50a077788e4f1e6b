// The edit window class: characters, GBK byte positions, notifications, a masking subclass.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include "ControlsDialog.h"

TEST_F(ControlsFixture, EditInsertsCharactersAndTellsItsParent)
{
    HWND h = Item(IDC_EDIT);
    Char(h, 'a');
    EXPECT_STREQ("a", Text(IDC_EDIT));
    EXPECT_EQ(1, dlg.m_nEditUpdate);
    EXPECT_EQ(1, dlg.m_nEditChange);
    Type(h, "中");  // two WM_CHAR: lead and trail byte
    EXPECT_STREQ("a中", Text(IDC_EDIT));
    EXPECT_EQ(2, dlg.m_nEditUpdate);
    DWORD a = 0, b = 0;
    ::SendMessage(h, EM_GETSEL, (WPARAM)&a, (LPARAM)&b);
    EXPECT_EQ(3u, a);  // byte offsets of the GBK text
    EXPECT_EQ(3u, b);
    Char(h, VK_BACK);
    EXPECT_STREQ("a", Text(IDC_EDIT));
    ::SendMessage(h, EM_SETSEL, 0, -1);
    ::SendMessage(h, EM_REPLACESEL, 0, (LPARAM)"网点");
    EXPECT_STREQ("网点", Text(IDC_EDIT));
    ::SendMessage(h, EM_SETSEL, 2, 4);
    ::SendMessage(h, EM_GETSEL, (WPARAM)&a, (LPARAM)&b);
    EXPECT_EQ(2u, a);
    EXPECT_EQ(4u, b);
    ::SendMessage(h, EM_SETREADONLY, TRUE, 0);
    Char(h, 'z');
    EXPECT_STREQ("网点", Text(IDC_EDIT));
}

TEST_F(ControlsFixture, SubclassedEditHandlesReflectedUpdatesAndCharsFirst)
{
    CMaskEdit& e = dlg.m_masked;
    EXPECT_FALSE(e.GetStyle() & ES_PASSWORD);
    GtkWidget* w = (GtkWidget*)e.GetWxWindow()->GetHandle();
    ASSERT_TRUE(GTK_IS_ENTRY(w));
    EXPECT_TRUE(gtk_entry_get_visibility(GTK_ENTRY(w)));  // the "*" text shows as it is

    Char(e, 'a');
    Char(e, 'b');
    EXPECT_STREQ("ab", e.m_strReal);
    EXPECT_STREQ("**", Text(IDC_MASKED));
    EXPECT_EQ(0, dlg.m_nMaskedUpdate);  // the control took the reflected notification
    EXPECT_GT(dlg.m_nMaskedChange, 0);

    e.SetSel(0, -1);
    Char(e, 'c');
    EXPECT_STREQ("c", e.m_strReal);
    EXPECT_STREQ("*", Text(IDC_MASKED));
    EXPECT_EQ(1, LOWORD(e.GetSel()));

    Type(e, "码");
    EXPECT_STREQ("c码", e.m_strReal);
    EXPECT_STREQ("***", Text(IDC_MASKED));

    Char(e, 22);  // Ctrl+V: swallowed before the edit sees it
    EXPECT_STREQ("c码", e.m_strReal);
    EXPECT_STREQ("***", Text(IDC_MASKED));

    int before = e.m_nContextMenus;
    CPoint pt(5, 5);
    e.SendMessage(WM_CONTEXTMENU, (WPARAM)e.GetSafeHwnd(), MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(before + 1, e.m_nContextMenus);
}
