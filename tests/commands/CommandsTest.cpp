// The frame's fixed commands, closing, the tray icon's messages and the message poll.
#include "CommandsTestSupport.h"

#include "CMenu.h"
#include <fstream>
#include <sys/stat.h>
#include "GuiWait.h"
#include "ImportOrderThread.h"
#include "NewsItem.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "TestFiles.h"
#include "TrackedMenuReader.h"
#include "TrayIcon.h"
#include "TrayHost.h"

namespace
{
class CommandsTest : public CFrameTest
{
};

TEST_F(CommandsTest, TheFirstCloseAsksOnceAndYesKeepsTheClientInTheTray)
{
    SetFirstRun(1);
    AnswerMessageBoxes("IDYES");
    ::SendMessage(m_hFrame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(FrameAlive());
    EXPECT_FALSE(::IsWindowVisible(m_hFrame));
    EXPECT_EQ(COptionCtrl::GetOptionData().IsMiniSizeAtExit(), 1);
    EXPECT_EQ(COptionCtrl::GetOptionData().IsFirstRun(), 0);
    ASSERT_EQ(MessageBoxLines().size(), 1u);
    EXPECT_NE(MessageBoxLines()[0].find("是否在后续关闭时最小化到托盘？\\n此配置可在【选项】中进行修改！"), std::string::npos);

    // Back from the tray, then closed again: hidden without a question.
    ::SendMessage(m_hFrame, WM_COMMAND, ID_SHOW_MAIN_WINDOW, 0);
    EXPECT_TRUE(::IsWindowVisible(m_hFrame));
    EXPECT_TRUE(::IsZoomed(m_hFrame));
    ::SendMessage(m_hFrame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(FrameAlive());
    EXPECT_FALSE(::IsWindowVisible(m_hFrame));
    EXPECT_EQ(MessageBoxLines().size(), 1u);
}

TEST_F(CommandsTest, NoAtTheFirstCloseEndsTheClientAndTheNextRunEndsWithoutAsking)
{
    SetFirstRun(1);
    AnswerMessageBoxes("IDNO");
    ::SendMessage(m_hFrame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(FrameAlive());
    EXPECT_EQ(COptionCtrl::GetOptionData().IsMiniSizeAtExit(), 0);
    EXPECT_EQ(MessageBoxLines().size(), 1u);

    MakeFrame();
    ::SendMessage(m_hFrame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(FrameAlive());
    EXPECT_EQ(MessageBoxLines().size(), 1u);
}

TEST_F(CommandsTest, QuitEndsTheClientWhateverTheTraySetting)
{
    SetMiniSizeAtExit(1);
    ::SendMessage(m_hFrame, WM_COMMAND, ID_QUIT, 0);
    EXPECT_FALSE(FrameAlive());
}

TEST_F(CommandsTest, SwitchAccountAnsweredNoChangesNothing)
{
    AnswerMessageBoxes("IDNO");
    ::SendMessage(m_hFrame, WM_COMMAND, ID_SWITCH_ACCOUNT, 0);
    EXPECT_TRUE(FrameAlive());
    ASSERT_EQ(MessageBoxLines().size(), 1u);
    EXPECT_NE(MessageBoxLines()[0].find("您确定要退出，重新登录吗？"), std::string::npos);
}

TEST_F(CommandsTest, SwitchAccountAnsweredYesEndsTheClientAndStartsTheProgramAgain)
{
    // The program's own path: a stand-in that leaves a mark when it starts.
    const std::string strProgram = COptionCtrl::GetOptionData().GetAppFullPath().GetString();
    unlink("restarted");
    std::ofstream(strProgram) << "#!/bin/sh\ntouch \"$(dirname \"$0\")/restarted\"\n";
    chmod(strProgram.c_str(), 0755);
    AnswerMessageBoxes("IDYES");
    ::SendMessage(m_hFrame, WM_COMMAND, ID_SWITCH_ACCOUNT, 0);
    EXPECT_FALSE(FrameAlive());
    struct stat st;
    EXPECT_TRUE(WaitFor([&] { return stat("restarted", &st) == 0; }, 5000));
    unlink(strProgram.c_str());
}

TEST_F(CommandsTest, AutorunTogglesAndItsItemShowsTheCheckMark)
{
    COptionCtrl optionCtrl;
    const int nBefore = optionCtrl.IsAutoRun() ? 1 : 0;
    for (int i = 0; i < 2; ++i)
    {
        ::SendMessage(m_hFrame, WM_COMMAND, ID_AUTO_RUN, 0);
        const int nNow = optionCtrl.IsAutoRun() ? 1 : 0;
        EXPECT_EQ(nNow, i == 0 ? 1 - nBefore : nBefore);
        CCmdUI ui;
        ui.m_nID = ID_AUTO_RUN;
        ui.m_nCheck = -1;
        EXPECT_TRUE(m_pFrame->OnCmdMsg(ID_AUTO_RUN, CN_UPDATE_COMMAND_UI, &ui, nullptr));
        EXPECT_EQ(ui.m_nCheck, nNow);
    }
}

TEST_F(CommandsTest, ThePrintListIsClearedOnlyAboveAHundred)
{
    for (int n : {100, 101})
    {
        theApp.m_printQueue.RemoveAll();
        for (int i = 0; i < n; ++i)
        {
            ORDER_PRINT_INFO info;
            info.strOrderNo.Format("P%03d", i);
            theApp.m_printQueue.Add(info);
        }
        ::SendMessage(m_hFrame, WM_COMMAND, ID_CLEAR_PRINT_LIST, 0);
        EXPECT_EQ(theApp.m_printQueue.GetSize(), n == 100 ? 100 : 0) << n;
    }
    theApp.m_printQueue.RemoveAll();
}

TEST_F(CommandsTest, ASecondImportIsRefusedWhileOneRuns)
{
    theApp.m_bImporting = 1;
    ::SendMessage(m_hFrame, WM_COMMAND, ID_IMPORT_ORDER, 0);
    theApp.m_bImporting = 0;
    ASSERT_EQ(MessageBoxLines().size(), 1u);
    EXPECT_NE(MessageBoxLines()[0].find("当前正在进行导入操作，请稍候再试！"), std::string::npos);
}

TEST_F(CommandsTest, TheTrayIconRestoresOnALeftClickAndShowsItsMenuOnARightClick)
{
    const UINT uID = m_pFrame->m_TrayIcon.m_nid.uID;
    unsigned long xid = 0;
    ASSERT_TRUE(WaitFor([&] { return (xid = AfxGetTrayIconX11Window(m_hFrame, uID)) != 0; }, 5000));
    // Docked: the icon's place on the screen.
    int x = 0, y = 0;
    ASSERT_TRUE(WaitFor([&] {
        Window child;
        if (!XTranslateCoordinates(TestXDisplay(), xid, DefaultRootWindow(TestXDisplay()), 0, 0, &x, &y, &child))
            return false;
        Window root, parent, *kids = nullptr;
        unsigned n = 0;
        XQueryTree(TestXDisplay(), xid, &root, &parent, &kids, &n);
        if (kids)
            XFree(kids);
        return parent != root;
    }, 5000));
    const std::string at = std::to_string(x + 4) + " " + std::to_string(y + 4);

    // Hidden to the tray, a left click brings the frame back maximised.
    m_pFrame->ShowWindow(SW_MINIMIZE);
    m_pFrame->ShowWindow(SW_HIDE);
    ASSERT_FALSE(::IsWindowVisible(m_hFrame));
    for (int i = 0; i < 5 && !::IsWindowVisible(m_hFrame); ++i)
    {
        ASSERT_TRUE(Xdo("mousemove " + at + " click 1"));
        WaitFor([&] { return ::IsWindowVisible(m_hFrame) != FALSE; }, 2000);
    }
    EXPECT_TRUE(::IsWindowVisible(m_hFrame));
    EXPECT_TRUE(::IsZoomed(m_hFrame));

    // A right-button press shows menu 311 at the pointer (the frame back in the tray: without a
    // window manager the maximised frame covers the tray).
    m_pFrame->ShowWindow(SW_MINIMIZE);
    m_pFrame->ShowWindow(SW_HIDE);
    CTrackedMenuReader menu;
    // The button held down, as the menu comes on the press.
    for (int i = 0; i < 5 && !menu.Seen(); ++i)
    {
        ASSERT_TRUE(Xdo("mousemove " + at + " mousedown 3"));
        menu.WaitSeen(2000);
        ASSERT_TRUE(Xdo("mouseup 3"));
    }
    menu.Join();
    EXPECT_TRUE(menu.Seen());
    EXPECT_EQ(menu.Ids(), (std::vector<UINT>{ID_APP_ABOUT, 0, ID_LOCK_APP, ID_SWITCH_ACCOUNT, ID_SHOW_MAIN_WINDOW, 0, ID_QUIT}));
}

TEST_F(CommandsTest, OtherTicksAndWebMessagesWithoutAPlaceChangeNothing)
{
    for (UINT id : {2130u, 2131u, 2126u, 2133u})
        ::SendMessage(m_hFrame, WM_TIMER, id, 0);
    EXPECT_TRUE(FrameAlive());
    EXPECT_TRUE(MessageBoxLines().empty());

    // A "web" message without an address, or while the frame is in the tray, is not shown; a null
    // item is ignored.
    CNewsItem item;
    item.title = "标题";
    item.remindType = "web";
    item.m_class = "a/b/c/";
    EXPECT_EQ(::SendMessage(m_hFrame, WM_SHOWNEWS, 0, (LPARAM)&item), 0);
    item.url = s_devnet->Url("http") + "/kesta/pages/titled.php?title=web";
    m_pFrame->ShowWindow(SW_HIDE);
    ::SendMessage(m_hFrame, WM_SHOWNEWS, 0, (LPARAM)&item);
    EXPECT_EQ(::SendMessage(m_hFrame, WM_SHOWNEWS, 0, 0), 0);
    EXPECT_FALSE(::IsWindow(m_pFrame->m_dlgNews.GetSafeHwnd()) && ::IsWindowVisible(m_pFrame->m_dlgNews.GetSafeHwnd()));
    EXPECT_EQ(s_devnet->Log().find("titled.php?title=web"), std::string::npos);
}

TEST_F(CommandsTest, TheMessagePollRunsFromCreationAndAskedWhenTheUserEndsInZero)
{
    // The account's last digit 0 polls on the first tick of the timer the frame starts itself.
    // The tick counter lives for the process: CTest runs each test in a process of its own.
    ::DestroyWindow(m_hFrame);
    COptionCtrl().SetUserInfo("demo0", COptionCtrl::GetOptionData().GetSessionId(), COptionCtrl::GetOptionData().GetTGT());
    MakeFrame();
    EXPECT_TRUE(WaitFor([&] { return s_devnet->Log().find("userno=demo0") != std::string::npos; }, 5000))
        << s_devnet->Log();
    // The message reached the message component, which keeps it in its database.
    EXPECT_TRUE(WaitFor([] { return ReadFile("aaa").find("系统通知") != std::string::npos; }, 5000));
    COptionCtrl().SetUserInfo("demo", COptionCtrl::GetOptionData().GetSessionId(), COptionCtrl::GetOptionData().GetTGT());
}
}  // namespace
