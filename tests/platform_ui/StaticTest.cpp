// The static window class: colours from the parent, notifying clicks, cursors, bitmaps.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include <functional>
#include "ControlsDialog.h"
#include "Gdi.h"
#include "Process.h"

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

// A bitmap a static loaded from its template goes with it; one handed back by STM_SETIMAGE is the
// caller's, and one the caller set stays the caller's.
TEST(StaticImages, ATemplateBitmapGoesWithItsStatic)
{
    auto count = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
    auto openAndClose = [](const std::function<void(CControlsDlg&)>& use) {
        CControlsDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_CONTROLS));
        use(dlg);
        dlg.DestroyWindow();
    };
    // The first dialog makes what the layer keeps for good (fonts, stock objects).
    openAndClose([](CControlsDlg&) {});
    Pump(100);
    const DWORD nBefore = count();
    for (int i = 0; i < 3; ++i)
        openAndClose([](CControlsDlg&) {});
    EXPECT_TRUE(WaitFor([&] { return count() == nBefore; }, 3000)) << count() - nBefore;

    HBITMAP hMine = ::CreateCompatibleBitmap(nullptr, 2, 2);
    HBITMAP hTemplate = nullptr;
    openAndClose([&](CControlsDlg& dlg) {
        hTemplate = (HBITMAP)::SendMessage(::GetDlgItem(dlg.m_hWnd, IDC_LOGO), STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hMine);
    });
    Pump(100);
    BITMAP bm{};
    EXPECT_NE(0, ::GetObject((HGDIOBJ)hMine, sizeof(bm), &bm));
    EXPECT_NE(0, ::GetObject((HGDIOBJ)hTemplate, sizeof(bm), &bm));
    EXPECT_TRUE(::DeleteObject((HGDIOBJ)hMine));
    EXPECT_TRUE(::DeleteObject((HGDIOBJ)hTemplate));
    EXPECT_EQ(count(), nBefore);
}
