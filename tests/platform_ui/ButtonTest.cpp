// The button window class: push buttons, check boxes, radio buttons, group boxes.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include "ControlsDialog.h"

TEST_F(ControlsFixture, ButtonClickByMessage)
{
    HWND h = Item(IDC_VPN);
    ::SendMessage(h, BM_CLICK, 0, 0);
    EXPECT_EQ(1, dlg.m_nVpnClicks);
    ::EnableWindow(h, FALSE);
    ::SendMessage(h, BM_CLICK, 0, 0);
    EXPECT_EQ(1, dlg.m_nVpnClicks);  // a disabled button does not click
}

TEST_F(ControlsFixture, AutoCheckBoxAndRadioButtonsFollowClicks)
{
    HWND hCheck = Item(IDC_REMEMBER);
    EXPECT_EQ(BST_UNCHECKED, ::SendMessage(hCheck, BM_GETCHECK, 0, 0));
    ::SendMessage(hCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, ::SendMessage(hCheck, BM_GETCHECK, 0, 0));
    ::SendMessage(hCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, ::SendMessage(hCheck, BM_GETCHECK, 0, 0));
    ::SendMessage(Item(IDC_CHOICE_B), BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, ::SendMessage(Item(IDC_CHOICE_B), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, ::SendMessage(Item(IDC_CHOICE_A), BM_GETCHECK, 0, 0));
    // A control made from the template has an object of its class, for DDX_Control and casts.
    EXPECT_TRUE(CWnd::FromHandle(hCheck)->IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hCheck));
}

TEST_F(ControlsFixture, GroupBoxIsDrawnBehindAndLetsTheMouseThrough)
{
    HWND hFrame = Item(IDC_FRAME);
    ASSERT_NE(nullptr, hFrame);
    EXPECT_EQ(dlg.GetWxWindow(), AfxGetWxWindow(hFrame));  // drawn on the dialog
    EXPECT_EQ(HTTRANSPARENT, ::SendMessage(hFrame, WM_NCHITTEST, 0, 0));
    EXPECT_STREQ("选项", Text(IDC_FRAME));
}
