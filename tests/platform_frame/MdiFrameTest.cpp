// The tabbed MDI frame: tabs come and go with their child frames, the active tab follows the
// selection, captions reach the tabs and the window list, closing goes through WM_CLOSE.
#include <gtest/gtest.h>
#include <vector>
#include "AfxWin.h"
#include "CMDIFrameWndEx.h"
#include "CMDIChildWndEx.h"
#include "CMenu.h"
#include "UiTestUtil.h"
#include <wx/aui/auibook.h>

namespace
{
const MENUITEM_DATA s_items[] = {
    {0, MF_POPUP, 0, "系统(&S)"},
    {1, 0, 32803, "退出(&X)"},
    {0, MF_POPUP, 0, "窗口(&W)"},
    {1, 0, 32794, "关闭所有页面"},
    {0, MF_POPUP, 0, "帮助(&H)"},
    {1, 0, 0xE140, "关于(&A)"},
};
const MENU_TEMPLATE_DATA s_menu = {s_items, (int)(sizeof(s_items) / sizeof(s_items[0]))};
CResourceRegistrar s_reg([] {
    CResourceRegistry::AddString(7100, "MDI test");
    CResourceRegistry::AddData(7100, RT_MENU, &s_menu, sizeof(s_menu));
});

// A tab that records its activation and may refuse to close.
class CTestChild : public CMDIChildWndEx
{
public:
    std::vector<int>* pLog = nullptr;
    int nTag = 0;
    bool bRefuseClose = false;
    void OnMDIActivate(BOOL bActivate, CWnd*, CWnd*) override
    {
        if (pLog)
            pLog->push_back(bActivate ? nTag : -nTag);
    }
    afx_msg void OnClose()
    {
        if (!bRefuseClose)
            CMDIChildWndEx::OnClose();
    }
    void PostNcDestroy() override {}  // owned by the test
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestChild, CMDIChildWndEx)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

class CTestFrame : public CMDIFrameWndEx
{
public:
    void PostNcDestroy() override {}
};

struct MdiFrameTest : ::testing::Test
{
    CTestFrame frame;
    void SetUp() override
    {
        ASSERT_TRUE(frame.LoadFrame(7100, WS_OVERLAPPEDWINDOW));
        CMDITabInfo info;
        info.m_style = CMFCTabCtrl::STYLE_3D_ONENOTE;
        info.m_bActiveTabCloseButton = TRUE;
        frame.EnableMDITabbedGroups(TRUE, info);
        frame.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (frame.GetSafeHwnd())
            frame.DestroyWindow();
    }
    CString WindowListText(int pos)
    {
        HMENU hWin = frame.GetWindowMenuPopup(frame.GetDefaultMenu());
        char buf[64] = "";
        ::GetMenuString(hWin, (UINT)pos, buf, sizeof(buf), MF_BYPOSITION);
        return buf;
    }
};
}  // namespace

TEST_F(MdiFrameTest, ChildrenBecomeTabsAndTheNewOneIsActive)
{
    std::vector<int> log;
    CTestChild a, b;
    a.pLog = b.pLog = &log;
    a.nTag = 1;
    b.nTag = 2;
    ASSERT_TRUE(a.Create(nullptr, "页面加载中....", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, &frame));
    EXPECT_EQ(frame.MDIGetActive(), &a);
    ASSERT_TRUE(b.Create(nullptr, "second", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, &frame));
    EXPECT_EQ(frame.GetMDIChildCount(), 2);
    EXPECT_EQ(frame.GetMDIChild(0), &a);
    EXPECT_EQ(frame.MDIGetActive(), &b);
    EXPECT_EQ(b.GetParentFrame(), &frame);
    EXPECT_EQ(log, (std::vector<int>{1, -1, 2}));

    // The window popup (before the last one) lists the tabs after a separator.
    HMENU hWin = frame.GetWindowMenuPopup(frame.GetDefaultMenu());
    ASSERT_EQ(::GetMenuItemCount(hWin), 4);
    EXPECT_EQ(::GetMenuItemID(hWin, 1), 0u);
    EXPECT_STREQ(WindowListText(2), "&1 页面加载中....");
    EXPECT_STREQ(WindowListText(3), "&2 second");

    // Captions reach the tab and the list.
    b.SetWindowText("业务页面");
    auto* pTabs = frame.GetTabs();
    EXPECT_EQ(pTabs->GetPageText(1).utf8_string(), std::string((const char*)u8"业务页面"));
    EXPECT_STREQ(WindowListText(3), "&2 业务页面");

    frame.MDIActivate(&a);
    EXPECT_EQ(frame.MDIGetActive(), &a);
    EXPECT_EQ(log.back(), 1);

    // Destroying a tab removes it; its neighbour becomes active.
    a.DestroyWindow();
    EXPECT_EQ(frame.GetMDIChildCount(), 1);
    EXPECT_EQ(frame.MDIGetActive(), &b);
    EXPECT_EQ(::GetMenuItemCount(hWin), 3);
    EXPECT_STREQ(WindowListText(2), "&1 业务页面");
    b.DestroyWindow();
    EXPECT_EQ(frame.GetMDIChildCount(), 0);
    EXPECT_EQ(frame.MDIGetActive(), nullptr);
    EXPECT_EQ(::GetMenuItemCount(hWin), 1);
}

TEST_F(MdiFrameTest, TheTabCloseButtonAsksTheChild)
{
    CTestChild a;
    ASSERT_TRUE(a.Create(nullptr, "one", WS_CHILD | WS_VISIBLE, CFrameWnd::rectDefault, &frame));
    a.bRefuseClose = true;
    auto* pTabs = frame.GetTabs();
    auto send = [&] {
        wxAuiNotebookEvent e(wxEVT_AUINOTEBOOK_PAGE_CLOSE, pTabs->GetId());
        e.SetSelection(0);
        e.SetEventObject(pTabs);
        pTabs->GetEventHandler()->ProcessEvent(e);
    };
    send();
    Pump(200);
    EXPECT_TRUE(a.GetSafeHwnd() && ::IsWindow(a.GetSafeHwnd()));
    a.bRefuseClose = false;
    send();
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(a.GetSafeHwnd()); }, 3000));
    EXPECT_EQ(frame.GetMDIChildCount(), 0);
}

TEST_F(MdiFrameTest, CommandsGoToTheActiveTabFirst)
{
    CTestChild a;
    ASSERT_TRUE(a.Create(nullptr, "one", WS_CHILD | WS_VISIBLE, CFrameWnd::rectDefault, &frame));
    // The window list's commands activate their tab.
    CTestChild b;
    ASSERT_TRUE(b.Create(nullptr, "two", WS_CHILD | WS_VISIBLE, CFrameWnd::rectDefault, &frame));
    EXPECT_EQ(frame.MDIGetActive(), &b);
    frame.SendMessage(WM_COMMAND, 0xFF00);
    EXPECT_EQ(frame.MDIGetActive(), &a);
}
