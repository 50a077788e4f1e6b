// The progress bar window class: range, position, bar colour on screen.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include "ControlsDialog.h"

TEST_F(ControlsFixture, ProgressRangeAndPosition)
{
    CProgressCtrl& bar = dlg.m_bar;
    bar.SetRange(0, 100);
    struct Case
    {
        int set, expect;
    } cases[] = {{0, 0}, {42, 42}, {100, 100}, {150, 100}, {-5, 0}};
    for (const Case& c : cases)
    {
        bar.SetPos(c.set);
        EXPECT_EQ(c.expect, bar.GetPos()) << c.set;
    }
    int lo = -1, hi = -1;
    bar.GetRange(lo, hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(100, hi);
    EXPECT_EQ((LRESULT)CLR_DEFAULT, bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(251, 210, 4)));
    EXPECT_EQ((LRESULT)RGB(251, 210, 4), bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(251, 210, 4)));
}

TEST_F(ControlsFixture, ProgressBarIsDrawnInItsBarColour)
{
    dlg.ShowWindow(SW_SHOW);
    dlg.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    dlg.m_bar.SetRange(0, 100);
    dlg.m_bar.SetPos(100);
    dlg.m_bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(251, 210, 4));
    CRect rc;
    dlg.m_bar.GetWindowRect(&rc);
    CPoint c = rc.CenterPoint();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == RGB(251, 210, 4); }, 3000))
        << std::hex << ScreenPixel(c.x, c.y);
    dlg.m_bar.SetPos(0);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) != RGB(251, 210, 4); }, 3000));
}
