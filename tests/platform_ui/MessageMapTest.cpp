// Windows and their message maps: dispatch, chaining to the base class, commands, posting.
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <wx/window.h>
#include "AfxWin.h"
#include "X11Window.h"
#include "UiTestUtil.h"

namespace
{
UINT g_nRegistered = RegisterWindowMessage("ParvelUiTestMessage");

class CBaseWnd : public CWnd
{
public:
    int m_nBaseUser = 0;
    int m_nCommand = 0;
    std::vector<UINT> m_sizes;
    afx_msg LRESULT OnUser1(WPARAM w, LPARAM l) { ++m_nBaseUser; return (LRESULT)(w + l); }
    afx_msg LRESULT OnUser2(WPARAM, LPARAM) { return 200; }
    afx_msg void OnCmd() { ++m_nCommand; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_USER + 1, &CBaseWnd::OnUser1)
    ON_MESSAGE(WM_USER + 2, &CBaseWnd::OnUser2)
    ON_COMMAND(5001, &CBaseWnd::OnCmd)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd
{
public:
    int m_nRange = 0;
    UINT m_nLastRangeId = 0;
    int m_nRegistered = 0;
    int m_nCreate = 0;
    int m_nDestroy = 0;
    int m_nClose = 0;
    std::thread::id m_handlerThread;
    afx_msg LRESULT OnUser2(WPARAM, LPARAM) { m_handlerThread = std::this_thread::get_id(); return 300; }
    afx_msg void OnRange(UINT nID) { ++m_nRange; m_nLastRangeId = nID; }
    afx_msg LRESULT OnRegistered(WPARAM w, LPARAM) { ++m_nRegistered; return (LRESULT)w * 2; }
    afx_msg int OnCreate(LPCREATESTRUCT cs) { ++m_nCreate; return CBaseWnd::OnCreate(cs); }
    afx_msg void OnDestroy() { ++m_nDestroy; CBaseWnd::OnDestroy(); }
    afx_msg void OnClose() { ++m_nClose; CBaseWnd::OnClose(); }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_USER + 2, &CDerivedWnd::OnUser2)
    ON_COMMAND_RANGE(6000, 6009, &CDerivedWnd::OnRange)
    ON_REGISTERED_MESSAGE(g_nRegistered, &CDerivedWnd::OnRegistered)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CRect Rect(int x, int y, int w, int h) { return CRect(x, y, x + w, y + h); }
}  // namespace

TEST(MessageMap, DerivedEntriesWinAndBaseEntriesStillServe)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, Rect(10, 10, 200, 100), nullptr, 0));
    EXPECT_EQ(1, wnd.m_nCreate);
    EXPECT_EQ(30, wnd.SendMessage(WM_USER + 1, 10, 20));  // base class handler
    EXPECT_EQ(1, wnd.m_nBaseUser);
    EXPECT_EQ(300, wnd.SendMessage(WM_USER + 2));  // the derived class overrides
    EXPECT_EQ(0, wnd.SendMessage(WM_USER + 3));    // no entry: default processing
    EXPECT_EQ(42, wnd.SendMessage(g_nRegistered, 21));
    EXPECT_EQ(1, wnd.m_nRegistered);
    EXPECT_NE(0u, g_nRegistered);
    EXPECT_EQ(g_nRegistered, RegisterWindowMessage("ParvelUiTestMessage"));
}

TEST(MessageMap, CommandsAndRanges)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, Rect(10, 10, 200, 100), nullptr, 0));
    wnd.SendMessage(WM_COMMAND, 5001, 0);
    EXPECT_EQ(1, wnd.m_nCommand);
    wnd.SendMessage(WM_COMMAND, 6004, 0);
    wnd.SendMessage(WM_COMMAND, 6010, 0);  // outside the range
    EXPECT_EQ(1, wnd.m_nRange);
    EXPECT_EQ(6004u, wnd.m_nLastRangeId);
}

TEST(MessageMap, SendFromAnotherThreadRunsOnTheGuiThreadAndWaits)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, Rect(10, 10, 200, 100), nullptr, 0));
    LRESULT r = 0;
    std::atomic<bool> bDone{false};
    HWND h = wnd.m_hWnd;
    std::thread t([&] {
        r = ::SendMessage(h, WM_USER + 2, 0, 0);
        bDone = true;
    });
    ASSERT_TRUE(WaitFor([&] { return bDone.load(); }));
    t.join();
    EXPECT_EQ(300, r);
    EXPECT_EQ(std::this_thread::get_id(), wnd.m_handlerThread);
}

TEST(MessageMap, PostedMessagesArriveLaterInOrder)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, Rect(10, 10, 200, 100), nullptr, 0));
    ASSERT_TRUE(wnd.PostMessage(WM_COMMAND, 6001, 0));
    ASSERT_TRUE(wnd.PostMessage(WM_COMMAND, 6002, 0));
    EXPECT_EQ(0, wnd.m_nRange);  // not yet: posting only queues
    ASSERT_TRUE(WaitFor([&] { return wnd.m_nRange == 2; }));
    EXPECT_EQ(6002u, wnd.m_nLastRangeId);
}

TEST(MessageMap, CloseDestroysAndHandlesDie)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, Rect(10, 10, 200, 100), nullptr, 0));
    HWND h = wnd.m_hWnd;
    EXPECT_TRUE(::IsWindow(h));
    EXPECT_EQ(&wnd, CWnd::FromHandle(h));
    wnd.SendMessage(WM_CLOSE);
    EXPECT_EQ(1, wnd.m_nClose);
    EXPECT_EQ(1, wnd.m_nDestroy);
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(0, ::SendMessage(h, WM_USER + 2, 0, 0));  // a dead handle answers nothing
    EXPECT_FALSE(::PostMessage(h, WM_USER + 2, 0, 0));
}

TEST(Window, TextPlacementAndState)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "标题", WS_OVERLAPPED | WS_CAPTION, Rect(30, 40, 300, 200), nullptr, 0));
    CString s;
    wnd.GetWindowText(s);
    EXPECT_STREQ("标题", s);
    wnd.SetWindowText("新标题");
    wnd.GetWindowText(s);
    EXPECT_STREQ("新标题", s);
    EXPECT_EQ((int)strlen("新标题"), wnd.GetWindowTextLength());

    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, Rect(5, 6, 50, 40), &wnd, 77));
    EXPECT_EQ(77, child.GetDlgCtrlID());
    EXPECT_EQ(&child, wnd.GetDlgItem(77));
    EXPECT_EQ(&wnd, child.GetParent());
    CRect rc;
    child.GetClientRect(&rc);
    EXPECT_EQ(CRect(0, 0, 50, 40), rc);
    child.MoveWindow(10, 12, 60, 30);
    child.GetClientRect(&rc);
    EXPECT_EQ(CRect(0, 0, 60, 30), rc);
    CRect rcScreen;
    child.GetWindowRect(&rcScreen);
    wnd.ScreenToClient(&rcScreen);
    EXPECT_EQ(CRect(10, 12, 70, 42), rcScreen);

    EXPECT_FALSE(wnd.IsWindowVisible());
    wnd.ShowWindow(SW_SHOW);
    EXPECT_TRUE(wnd.IsWindowVisible());
    EXPECT_TRUE(child.IsWindowVisible());
    EXPECT_TRUE(wnd.GetStyle() & WS_VISIBLE);
    wnd.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());  // a hidden parent hides its children

    EXPECT_TRUE(child.IsWindowEnabled());
    child.EnableWindow(FALSE);
    EXPECT_FALSE(child.IsWindowEnabled());
    EXPECT_TRUE(child.GetStyle() & WS_DISABLED);

    wnd.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOPMOST);
    wnd.DestroyWindow();
    EXPECT_FALSE(::IsWindow(child.m_hWnd));  // children go with their parent
}

TEST(Window, MaximisedFrameFillsTheWorkAreaAndRestoresItsSize)
{
    // No window manager runs here: the frame takes the work area itself.
    CFrameWnd* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "最大化", WS_OVERLAPPEDWINDOW, Rect(50, 60, 400, 300)));
    RECT rcWork{};
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0));
    pFrame->ShowWindow(SW_SHOWMAXIMIZED);
    CRect rc;
    EXPECT_TRUE(WaitFor([&] {
        pFrame->GetWindowRect(&rc);
        return rc == CRect(rcWork);
    })) << rc.left << "," << rc.top << " " << rc.Width() << "x" << rc.Height();
    EXPECT_TRUE(pFrame->IsZoomed());
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ASSERT_TRUE(GetWindowPlacement(pFrame->m_hWnd, &wp));
    EXPECT_EQ((UINT)SW_SHOWMAXIMIZED, wp.showCmd);

    pFrame->ShowWindow(SW_SHOWNORMAL);
    EXPECT_TRUE(WaitFor([&] {
        pFrame->GetWindowRect(&rc);
        return rc.Width() == 400 && rc.Height() == 300;
    })) << rc.Width() << "x" << rc.Height();
    EXPECT_FALSE(pFrame->IsZoomed());
    pFrame->DestroyWindow();
}

TEST(Window, ScreenMetrics)
{
    EXPECT_EQ(1280, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(1024, GetSystemMetrics(SM_CYSCREEN));
    RECT rc{};
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &rc, 0));
    EXPECT_GT(rc.right - rc.left, 0);
    EXPECT_LE(rc.right, 1280);
}

namespace
{
class CNotifyChild : public CWnd
{
public:
    int m_nReflected = 0;
    afx_msg void OnReflected(NMHDR*, LRESULT* pResult)
    {
        ++m_nReflected;
        *pResult = 9;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyChild, CWnd)
    ON_NOTIFY_REFLECT(101, &CNotifyChild::OnReflected)
END_MESSAGE_MAP()

class CNotifyParent : public CWnd
{
public:
    int m_nNotified = 0;
    int m_nUpdates = 0;
    afx_msg void OnNotified(NMHDR* pNMHDR, LRESULT* pResult)
    {
        ++m_nNotified;
        *pResult = (LRESULT)pNMHDR->code;
    }
    afx_msg void OnUpdateItem(CCmdUI* pCmdUI)
    {
        ++m_nUpdates;
        pCmdUI->Enable(FALSE);
        pCmdUI->SetCheck(1);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyParent, CWnd)
    ON_NOTIFY(102, 55, &CNotifyParent::OnNotified)
    ON_UPDATE_COMMAND_UI(7100, &CNotifyParent::OnUpdateItem)
END_MESSAGE_MAP()
}  // namespace

TEST(MessageMap, NotificationsGoToTheParentOrBackToTheControl)
{
    CNotifyParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, Rect(0, 0, 100, 100), nullptr, 0));
    CNotifyChild child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, Rect(0, 0, 10, 10), &parent, 55));
    NMHDR nm{child.m_hWnd, 55, 102};
    EXPECT_EQ(102, parent.SendMessage(WM_NOTIFY, 55, (LPARAM)&nm));
    EXPECT_EQ(1, parent.m_nNotified);
    nm.code = 101;  // the control handles this one itself
    EXPECT_EQ(9, parent.SendMessage(WM_NOTIFY, 55, (LPARAM)&nm));
    EXPECT_EQ(1, child.m_nReflected);
    EXPECT_EQ(1, parent.m_nNotified);

    CCmdUI ui;
    ui.m_nID = 7100;
    EXPECT_TRUE(ui.DoUpdate(&parent));
    EXPECT_FALSE(ui.m_bEnabled);
    EXPECT_EQ(1, ui.m_nCheck);
    ui.m_nID = 7101;
    EXPECT_FALSE(ui.DoUpdate(&parent));
}

TEST(Window, FontSetByMessageIsReturned)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, Rect(0, 0, 100, 100), nullptr, 0));
    CWnd child;
    ASSERT_TRUE(child.Create("Static", "忘记密码", WS_VISIBLE | SS_NOTIFY, Rect(0, 0, 60, 16), &wnd, 1060));
    CFont font;
    ASSERT_TRUE(font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 1, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体"));
    child.SendMessage(WM_SETFONT, (WPARAM)(HFONT)font, TRUE);
    EXPECT_EQ((HFONT)font, (HFONT)child.SendMessage(WM_GETFONT));
    ASSERT_NE(nullptr, child.GetFont());
    EXPECT_EQ((HFONT)font, (HFONT)*child.GetFont());

    // A native control shows the face with the family the drawing layer uses for it, not with
    // whatever fontconfig makes of the Windows name.
    CWnd edit;
    ASSERT_TRUE(edit.Create("Edit", "", WS_VISIBLE | WS_BORDER, Rect(0, 20, 80, 20), &wnd, 1061));
    edit.SetFont(&font);
    ASSERT_NE(nullptr, edit.GetWxWindow());
    EXPECT_EQ("WenQuanYi Zen Hei", edit.GetWxWindow()->GetFont().GetFaceName().utf8_string());
    wnd.DestroyWindow();
}
