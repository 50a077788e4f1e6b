// Regions and window shapes.
#include <gtest/gtest.h>
#include "AfxWin.h"
#include "ControlsDialog.h"

TEST(RegionTest, RoundRectangleCutsItsCorners)
{
    HRGN h = CreateRoundRectRgn(0, 0, 251, 181, 5, 5);
    ASSERT_TRUE(h);
    RECT box{};
    EXPECT_EQ(GetRgnBox(h, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 251);
    EXPECT_EQ(box.bottom, 181);
    EXPECT_FALSE(PtInRegion(h, 0, 0));
    EXPECT_FALSE(PtInRegion(h, 250, 180));
    EXPECT_TRUE(PtInRegion(h, 2, 2));
    EXPECT_TRUE(PtInRegion(h, 0, 90));
    EXPECT_TRUE(PtInRegion(h, 125, 0));
    EXPECT_TRUE(DeleteObject((HGDIOBJ)h));
    EXPECT_FALSE(PtInRegion(h, 2, 2));  // a deleted region is no region
    HRGN r = CreateRectRgn(10, 10, 0, 0);
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
    DeleteObject((HGDIOBJ)r);
}

TEST(RegionTest, ShapedWindowShowsWhatLiesBehindOutsideItsRegion)
{
    CWnd back;
    back.CreateEx(0, nullptr, "back", WS_POPUP, CRect(300, 300, 420, 420), nullptr, 0);
    CWnd shaped;
    shaped.CreateEx(WS_EX_TOPMOST, nullptr, "shaped", WS_POPUP, CRect(300, 300, 400, 400), nullptr, 0);
    back.ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return back.IsWindowVisible() != FALSE; }));
    Pump(100);
    COLORREF behind = ScreenPixel(301, 301);
    // Only a band in the middle is left of the window.
    EXPECT_TRUE(SetWindowRgn(shaped.GetSafeHwnd(), CreateRectRgn(0, 40, 100, 60), TRUE));
    shaped.ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return shaped.IsWindowVisible() != FALSE; }));
    Pump(200);
    EXPECT_EQ(ScreenPixel(301, 301), behind);
    shaped.DestroyWindow();
    back.DestroyWindow();
}
