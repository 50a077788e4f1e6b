// Handles and lifetime: a destroyed window's record is freed and its handle names nothing after.
#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>
#include "AfxWin.h"
#include "WndRecord.h"
#include "UiTestUtil.h"

namespace
{
struct HandleFixture : ::testing::Test
{
    CFrameWnd* pFrame = nullptr;
    void SetUp() override
    {
        pFrame = new CFrameWnd;
        ASSERT_TRUE(pFrame->Create(nullptr, "句柄", WS_OVERLAPPEDWINDOW, CRect(50, 50, 350, 250)));
    }
    void TearDown() override
    {
        if (::IsWindow(pFrame->GetSafeHwnd()))
            pFrame->DestroyWindow();
    }
    // The records of earlier windows are freed after the events that destroyed them.
    long Settled()
    {
        long n = AfxWindowRecordCount();
        for (int i = 0; i < 20; ++i)
        {
            Pump(20);
            long m = AfxWindowRecordCount();
            if (m == n)
                break;
            n = m;
        }
        return n;
    }
};

// What every call does with a handle that names nothing: no crash, the failure answer.
void ExpectStale(HWND h)
{
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(::GetParent(h), nullptr);
    EXPECT_EQ(::GetDlgCtrlID(h), 0);
    EXPECT_EQ(::SendMessage(h, WM_SETTEXT, 0, (LPARAM) "x"), 0);
    EXPECT_FALSE(::PostMessage(h, WM_NULL, 0, 0));
    EXPECT_FALSE(::ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(::DestroyWindow(h));
    EXPECT_EQ(::SetTimer(h, 1, 100, nullptr), 0u);
    RECT rc{};
    EXPECT_FALSE(::GetWindowRect(h, &rc));
    EXPECT_EQ(::GetWindowLongPtr(h, GWL_STYLE), 0);
    EXPECT_EQ(CWnd::FromHandle(h), nullptr);
}
}  // namespace

TEST_F(HandleFixture, TenThousandChildrenOpenAndCloseAndTheRecordsGoWithThem)
{
    const long nStart = Settled();
    std::vector<HWND> sample;
    for (int i = 0; i < 10000; ++i)
    {
        CWnd* pChild = new CWnd;
        ASSERT_TRUE(pChild->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), pFrame, 100 + i % 50));
        HWND h = pChild->m_hWnd;
        ASSERT_TRUE(::IsWindow(h));
        ASSERT_TRUE(pChild->DestroyWindow());
        delete pChild;
        if (i % 500 == 0)
            sample.push_back(h);
    }
    EXPECT_TRUE(WaitFor([&] { return AfxWindowRecordCount() == nStart; })) << AfxWindowRecordCount() - nStart;
    for (HWND h : sample)
        ExpectStale(h);
    EXPECT_TRUE(::IsWindow(pFrame->m_hWnd));
}

TEST_F(HandleFixture, AHandleOfAGoneWindowNeverNamesTheWindowInItsPlace)
{
    CWnd a;
    ASSERT_TRUE(a.Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), pFrame, 1));
    HWND hOld = a.m_hWnd;
    a.DestroyWindow();
    // The next window takes the freed place; the old handle stays dead.
    CWnd b;
    ASSERT_TRUE(b.Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), pFrame, 2));
    EXPECT_NE(b.m_hWnd, hOld);
    ExpectStale(hOld);
    EXPECT_TRUE(::IsWindow(b.m_hWnd));
    EXPECT_EQ(::GetDlgCtrlID(b.m_hWnd), 2);
    EXPECT_EQ(::GetDlgItem(pFrame->m_hWnd, 1), nullptr);
    EXPECT_EQ(::GetDlgItem(pFrame->m_hWnd, 2), b.m_hWnd);
    ExpectStale(reinterpret_cast<HWND>(0x1234));
}

// A worker asks about and changes windows while the GUI thread destroys them: each call meets its
// window whole or gone, never half destroyed (the sanitizer build tells the two apart).
TEST_F(HandleFixture, AWorkersCallsMeetTheWindowWholeOrGoneWhileTheGuiThreadDestroysIt)
{
    for (int round = 0; round < 60; ++round)
    {
        CWnd wnd, child;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 40, 40), nullptr, 0));
        ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &wnd, 7));
        const HWND h = wnd.m_hWnd, hc = child.m_hWnd;
        std::atomic<int> nRounds{0};
        std::atomic<bool> bStop{false}, bEnded{false};
        std::thread worker([&] {
            while (!bStop)
            {
                RECT rc{};
                POINT pt{1, 1};
                ::IsWindowVisible(hc);
                ::IsIconic(h);
                ::IsZoomed(h);
                ::IsWindowEnabled(hc);
                ::GetWindowRect(hc, &rc);
                ::GetClientRect(h, &rc);
                ::ClientToScreen(hc, &pt);
                ::ScreenToClient(hc, &pt);
                ::GetParent(hc);
                ::GetDlgItem(h, 7);
                ::GetDlgCtrlID(hc);
                ::GetWindowLongPtr(hc, GWL_STYLE);
                ::SetWindowPos(hc, nullptr, 1, 1, 12, 12, SWP_NOZORDER | SWP_NOACTIVATE);
                ::EnableWindow(hc, TRUE);
                ::ShowWindow(hc, SW_SHOWNA);
                ::InvalidateRect(hc, nullptr, FALSE);
                ::UpdateWindow(hc);
                ::SetTimer(hc, 1, 1000, nullptr);
                ::KillTimer(hc, 1);
                ::SendMessage(hc, WM_GETTEXTLENGTH, 0, 0);
                CWnd::FromHandle(hc);
                ++nRounds;
                AfxWakeWaiters();
            }
            bEnded = true;
            AfxWakeWaiters();
        });
        // Destroyed at a different point of the worker's round each time.
        const int nBefore = 1 + round % 3;
        ASSERT_TRUE(WaitFor([&] { return nRounds >= nBefore; }));
        wnd.DestroyWindow();
        const int nAtDestroy = nRounds;
        EXPECT_TRUE(WaitFor([&] { return nRounds >= nAtDestroy + 2; }));  // rounds on the dead handles
        bStop = true;
        EXPECT_TRUE(WaitFor([&] { return bEnded.load(); }));
        worker.join();
        ExpectStale(h);
        ExpectStale(hc);
    }
}

namespace
{
// A window that destroys itself when it is told it is being shown.
LRESULT CALLBACK GoneWhenShownProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SHOWWINDOW && wParam)
    {
        ::DestroyWindow(h);
        return 0;
    }
    return ::DefWindowProc(h, msg, wParam, lParam);
}
}  // namespace

TEST_F(HandleFixture, ACallThatShowsAWindowTouchesNothingOfItOnceItsHandlerHasDestroyedIt)
{
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &GoneWhenShownProc;
    wc.lpszClassName = "ParvelTestGoneWhenShown";
    ASSERT_NE(0, RegisterClassEx(&wc));
    struct Case
    {
        const char* pszName;
        void (*pfnShow)(HWND);
    };
    const Case cases[] = {
        {"ShowWindow", [](HWND h) { ::ShowWindow(h, SW_SHOW); }},
        {"SetWindowPos", [](HWND h) { ::SetWindowPos(h, nullptr, 2, 2, 30, 30, SWP_NOZORDER | SWP_SHOWWINDOW); }},
        {"SetWindowPos on top", [](HWND h) { ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        HWND h = ::CreateWindowEx(0, "ParvelTestGoneWhenShown", "", WS_CHILD, 0, 0, 20, 20, pFrame->GetSafeHwnd(),
                                  (HMENU)9, nullptr, nullptr);
        ASSERT_NE(nullptr, h);
        // Hidden first, so that showing it tells it.
        ::ShowWindow(h, SW_HIDE);
        ASSERT_FALSE(::GetWindowLongPtr(h, GWL_STYLE) & WS_VISIBLE);
        c.pfnShow(h);
        ExpectStale(h);
        EXPECT_EQ(nullptr, ::GetDlgItem(pFrame->GetSafeHwnd(), 9));
    }
    EXPECT_TRUE(UnregisterClass("ParvelTestGoneWhenShown", nullptr));
}
