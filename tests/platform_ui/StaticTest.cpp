// The static window class: colours from the parent, notifying clicks, cursors, bitmaps.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include "ControlsDialog.h"

TEST_F(ControlsFixture, StaticsAskTheParentForColoursWhenPainted)
{
    dlg.ShowWindow(SW_SHOW);
    dlg.m_ctlColors.clear();
    dlg.Invalidate();
    dlg.UpdateWindow();
    ASSERT_TRUE(WaitFor([&] {
        bool bLink = false, bLabel = false;
        for (auto& c : dlg.m_ctlColors)
        {
            bLink |= c.first == IDC_LINK && c.second == CTLCOLOR_STATIC;
            bLabel |= c.first == IDC_LABEL && c.second == CTLCOLOR_STATIC;
        }
        return bLink && bLabel;
    }));
    dlg.SetDlgItemText(IDC_LABEL, "账号：");
    EXPECT_STREQ("账号：", Text(IDC_LABEL));
}

TEST_F(ControlsFixture, NotifyingStaticReportsClicksAndCursorQuestions)
{
    HWND hLink = Item(IDC_LINK);
    ::SendMessage(hLink, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(1, dlg.m_nLinkClicks);
    // The parent decides the cursor for its control first.
    EXPECT_TRUE(::SendMessage(hLink, WM_SETCURSOR, (WPARAM)hLink, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(CWnd::FromHandle(hLink), dlg.m_pCursorWnd);
    EXPECT_EQ(dlg.m_hHand, GetCursor());
    HWND hLabel = Item(IDC_LABEL);
    ::SendMessage(hLabel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(1, dlg.m_nLinkClicks);
}

TEST_F(ControlsFixture, BitmapStaticShowsItsResourceAtItsOwnSize)
{
    CStatic* pLogo = static_cast<CStatic*>(dlg.GetDlgItem(IDC_LOGO));
    ASSERT_NE(nullptr, pLogo);
    EXPECT_NE(nullptr, pLogo->GetBitmap());
    CRect rc;
    pLogo->GetClientRect(&rc);
    EXPECT_EQ(CRect(0, 0, 6, 4), rc);  // sized to the bitmap, as SS_BITMAP does
    dlg.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    dlg.ShowWindow(SW_SHOW);
    pLogo->GetWindowRect(&rc);
    CPoint c = rc.CenterPoint();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == RGB(251, 210, 4); }, 3000))
        << std::hex << ScreenPixel(c.x, c.y);
}
