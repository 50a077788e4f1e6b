// Update-command-UI handlers: a menu's items follow them when the menu opens, and the idle step
// asks the main window's command sources and calls the application's OnIdle.
#include <gtest/gtest.h>
#include "AfxWin.h"
#include "CMenu.h"
#include "UiTestUtil.h"

namespace
{
enum
{
    ID_CMD_PLAIN = 6100,
    ID_CMD_OFF = 6101,
    ID_CMD_MODE_FIRST = 6110,
    ID_CMD_MODE_LAST = 6112,
    ID_CMD_NAMED = 6120,
};

class CCommandFrame : public CFrameWnd
{
public:
    UINT m_nMode = ID_CMD_MODE_FIRST + 1;
    int m_nUpdates = 0;
    afx_msg void OnPlain() {}
    afx_msg void OnOff() {}
    afx_msg void OnMode(UINT) {}
    afx_msg void OnNamed() {}
    afx_msg void OnUpdateOff(CCmdUI* pCmdUI)
    {
        ++m_nUpdates;
        pCmdUI->Enable(FALSE);
        pCmdUI->SetCheck(1);
    }
    afx_msg void OnUpdateMode(CCmdUI* pCmdUI) { pCmdUI->SetRadio(pCmdUI->m_nID == m_nMode); }
    afx_msg void OnUpdateNamed(CCmdUI* pCmdUI) { pCmdUI->SetText("改名了"); }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCommandFrame, CFrameWnd)
    ON_COMMAND(ID_CMD_PLAIN, &CCommandFrame::OnPlain)
    ON_COMMAND(ID_CMD_OFF, &CCommandFrame::OnOff)
    ON_COMMAND_RANGE(ID_CMD_MODE_FIRST, ID_CMD_MODE_LAST, &CCommandFrame::OnMode)
    ON_COMMAND(ID_CMD_NAMED, &CCommandFrame::OnNamed)
    ON_UPDATE_COMMAND_UI(ID_CMD_OFF, &CCommandFrame::OnUpdateOff)
    ON_UPDATE_COMMAND_UI_RANGE(ID_CMD_MODE_FIRST, ID_CMD_MODE_LAST, &CCommandFrame::OnUpdateMode)
    ON_UPDATE_COMMAND_UI(ID_CMD_NAMED, &CCommandFrame::OnUpdateNamed)
END_MESSAGE_MAP()

// A command source of a test-only window class: at idle time it asks the frame for the state of
// its one command, as a toolbar button does.
class CCommandSource : public CWnd
{
public:
    UINT m_nID = ID_CMD_OFF;
    int m_nAsked = 0;
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM)
    {
        CCmdUI ui;
        ui.m_nID = m_nID;
        ui.DoUpdate(GetParentFrame());
        ++m_nAsked;
        m_bEnabled = ui.m_bEnabled;
        m_nCheck = ui.m_nCheck;
        return 0;
    }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCommandSource, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CCommandSource::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

class CIdleApp : public CWinApp
{
public:
    std::vector<LONG> m_counts;
    BOOL OnIdle(LONG lCount) override
    {
        m_counts.push_back(lCount);
        CWinApp::OnIdle(lCount);
        return lCount < 2;  // asks for two more rounds, then rests
    }
};

struct MenuSeen
{
    bool bSeen = false;
    std::vector<UINT> states;
    char szNamed[32] = "";
};
MenuSeen g_menuSeen;

void CALLBACK ReadTrackedMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HMENU h = AfxGetTrackedMenu();
    if (!h || g_menuSeen.bSeen)
        return;
    g_menuSeen.bSeen = true;
    for (UINT id : {(UINT)ID_CMD_PLAIN, (UINT)ID_CMD_OFF, (UINT)ID_CMD_MODE_FIRST, (UINT)ID_CMD_MODE_FIRST + 1,
                    (UINT)ID_CMD_MODE_LAST, 6199u})
        g_menuSeen.states.push_back(::GetMenuState(h, id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED));
    ::GetMenuString(h, ID_CMD_NAMED, g_menuSeen.szNamed, sizeof(g_menuSeen.szNamed), MF_BYCOMMAND);
    AfxEndTrackedMenu(0);
}

struct CommandUiFixture : ::testing::Test
{
    CCommandFrame* pFrame = nullptr;
    void SetUp() override
    {
        pFrame = new CCommandFrame;
        ASSERT_TRUE(pFrame->Create(nullptr, "命令", WS_OVERLAPPEDWINDOW, CRect(120, 120, 420, 320)));
        pFrame->ShowWindow(SW_SHOW);
        ASSERT_TRUE(WaitFor([&] { return pFrame->GetX11Window() != 0 && pFrame->IsWindowVisible(); }));
    }
    void TearDown() override
    {
        if (::IsWindow(pFrame->GetSafeHwnd()))
            pFrame->DestroyWindow();
    }
};
}  // namespace

TEST_F(CommandUiFixture, OpenMenuShowsTheHandlersStates)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_CMD_PLAIN, "普通");
    menu.AppendMenu(MF_STRING, ID_CMD_OFF, "关闭的");
    menu.AppendMenu(MF_STRING, ID_CMD_MODE_FIRST, "模式一");
    menu.AppendMenu(MF_STRING, ID_CMD_MODE_FIRST + 1, "模式二");
    menu.AppendMenu(MF_STRING, ID_CMD_MODE_LAST, "模式三");
    menu.AppendMenu(MF_STRING, ID_CMD_NAMED, "旧名");
    menu.AppendMenu(MF_STRING, 6199, "无处理");
    // Read while the menu is up (a timer fires inside its loop), then close it.
    g_menuSeen = MenuSeen{};
    ::SetTimer(pFrame->m_hWnd, 1, 20, &ReadTrackedMenu);
    CRect rc;
    pFrame->GetWindowRect(&rc);
    ::TrackPopupMenu(menu.GetSafeHmenu(), TPM_RETURNCMD, rc.left + 40, rc.top + 40, 0, pFrame->m_hWnd, nullptr);
    ::KillTimer(pFrame->m_hWnd, 1);
    ASSERT_TRUE(g_menuSeen.bSeen);
    const std::vector<UINT>& states = g_menuSeen.states;
    // The frame enables menus by their handlers: a command nobody handles is grayed.
    const std::vector<UINT> expected = {0, MF_GRAYED | MF_CHECKED, 0, MF_CHECKED, 0, MF_GRAYED};
    EXPECT_EQ(states, expected);
    EXPECT_STREQ(g_menuSeen.szNamed, "改名了");
    EXPECT_EQ(pFrame->m_nUpdates, 1);
}

TEST_F(CommandUiFixture, IdleStepAsksTheMainWindowsSourcesAndCallsOnIdle)
{
    CIdleApp app;
    CCommandSource source;
    ASSERT_TRUE(source.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), pFrame, 1));
    app.m_pMainWnd = pFrame;
    // Any event ends in an idle step once the queue is empty.
    pFrame->PostMessage(WM_NULL);
    EXPECT_TRUE(WaitFor([&] { return source.m_nAsked > 0 && !app.m_counts.empty(); }));
    EXPECT_FALSE(source.m_bEnabled);
    EXPECT_EQ(source.m_nCheck, 1);
    // Each step starts at round 0 and goes on while OnIdle asks for more (input may cut it short);
    // after round 2 it rests until the next event.
    ASSERT_FALSE(app.m_counts.empty());
    EXPECT_EQ(app.m_counts[0], 0);
    for (size_t i = 1; i < app.m_counts.size(); ++i)
        EXPECT_TRUE(app.m_counts[i] == 0 || (app.m_counts[i] == app.m_counts[i - 1] + 1 && app.m_counts[i] <= 2)) << i;
    app.m_pMainWnd = nullptr;
}
