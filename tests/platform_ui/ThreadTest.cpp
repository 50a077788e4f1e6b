// Timers, worker threads, and the end of the message loop.
#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include "AfxWin.h"
#include "UiTestUtil.h"

namespace
{
class CTimerWnd : public CWnd
{
public:
    std::map<UINT_PTR, int> m_ticks;
    std::thread::id m_thread;
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        ++m_ticks[nIDEvent];
        m_thread = std::this_thread::get_id();
        if (nIDEvent == 3)
            KillTimer(3);  // a timer may end itself in its own handler
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimerWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()
}  // namespace

TEST(Timer, TicksByIdOnTheGuiThreadAndStopsWhenKilled)
{
    CTimerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    HWND h = wnd.m_hWnd;
    // Set from another thread, as a worker does; the GUI thread serves it meanwhile.
    std::atomic<bool> bSet{false};
    std::thread t([h, &bSet] {
        EXPECT_EQ(1u, ::SetTimer(h, 1, 30, nullptr));
        EXPECT_EQ(2u, ::SetTimer(h, 2, 200, nullptr));
        EXPECT_EQ(3u, ::SetTimer(h, 3, 20, nullptr));
        bSet = true;
    });
    EXPECT_TRUE(WaitFor([&] { return bSet.load(); }));
    t.join();
    ASSERT_TRUE(WaitFor([&] { return wnd.m_ticks[1] >= 4; }, 3000));
    EXPECT_EQ(std::this_thread::get_id(), wnd.m_thread);
    EXPECT_LT(wnd.m_ticks[2], wnd.m_ticks[1]);  // the slower one ticks less often
    EXPECT_EQ(1, wnd.m_ticks[3]);
    std::atomic<bool> bKilled{false};
    std::thread k([h, &bKilled] {
        EXPECT_TRUE(::KillTimer(h, 1));
        bKilled = true;
    });
    EXPECT_TRUE(WaitFor([&] { return bKilled.load(); }));
    k.join();
    EXPECT_FALSE(wnd.KillTimer(1));  // already gone
    int n = wnd.m_ticks[1];
    Pump(200);
    EXPECT_EQ(n, wnd.m_ticks[1]);
    wnd.DestroyWindow();
    EXPECT_EQ(0u, ::SetTimer(h, 4, 10, nullptr));  // no timers on a dead window
}

namespace
{
UINT WorkerProc(LPVOID p)
{
    auto* n = static_cast<std::atomic<int>*>(p);
    Sleep(20);
    n->store(7);
    return 5;
}
}  // namespace

TEST(Thread, BeginThreadRunsTheProcedureAndItsHandleSignals)
{
    std::atomic<int> n{0};
    CWinThread* pThread = AfxBeginThread(WorkerProc, &n, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    HANDLE h = pThread->m_hThread;
    ASSERT_NE(nullptr, h);
    Sleep(50);
    EXPECT_EQ(0, n.load());  // still suspended
    pThread->ResumeThread();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 5000));
    EXPECT_EQ(7, n.load());
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(5u, code);
    delete pThread;
}

namespace
{
class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp("UiTest") {}
    int m_nAbout = 0;
    afx_msg void OnAppAbout() { ++m_nAbout; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(0xE140, &CTestApp::OnAppAbout)
END_MESSAGE_MAP()

CTestApp theApp;

class CMainFrameStub : public CFrameWnd
{
public:
    static int s_nDeleted;
    ~CMainFrameStub() override { ++s_nDeleted; }
};
int CMainFrameStub::s_nDeleted = 0;
}  // namespace

TEST(App, LoopEndsWhenTheMainWindowIsDestroyed)
{
    auto* pFrame = new CMainFrameStub;
    ASSERT_TRUE(pFrame->Create(nullptr, "主窗口", WS_OVERLAPPEDWINDOW, CRect(10, 10, 300, 200)));
    theApp.m_pMainWnd = pFrame;
    EXPECT_EQ(pFrame, AfxGetMainWnd());
    pFrame->SendMessage(WM_COMMAND, 0xE140, 0);  // the frame hands commands it lacks to the application
    EXPECT_EQ(1, theApp.m_nAbout);
    HWND h = pFrame->m_hWnd;
    std::thread closer([h] {
        Sleep(100);
        ::PostMessage(h, WM_CLOSE, 0, 0);
    });
    // A guard in case the loop does not end: quit after a while.
    std::atomic<bool> bEnded{false};
    std::thread guard([&bEnded] {
        PollUntil([&bEnded] { return bEnded.load(); }, 8000);
        if (!bEnded)
            PostQuitMessage(99);
    });
    int code = AfxRunMessageLoop();
    bEnded = true;
    closer.join();
    guard.join();
    EXPECT_EQ(0, code);
    EXPECT_EQ(nullptr, theApp.m_pMainWnd);
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(1, CMainFrameStub::s_nDeleted);  // frames delete themselves
    EXPECT_STREQ("UiTest", AfxGetAppName());
}

TEST(App, QuitPostedBeforeTheLoopEndsItAtOnce)
{
    PostQuitMessage(3);
    auto start = GetTickCount();
    EXPECT_EQ(3, AfxRunMessageLoop());
    EXPECT_LT(GetTickCount() - start, 2000u);
}
