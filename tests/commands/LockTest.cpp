// The idle lock, the sign-on revalidation and the lock road: the idle time from the X server (or
// a source the test puts in), the limit compared at every tick, the unlock form, and its ends.
#include "CommandsTestSupport.h"

#include <ctime>
#include "CasClient.h"
#include "CMultiDocTemplate.h"
#include "ChildFrm.h"
#include "ParvelDoc.h"
#include "ParvelView.h"
#include "GuiWait.h"
#include "IdleTime.h"
#include "Netvane.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "SecureEdit.h"
#include "TrayIcon.h"

namespace
{
std::atomic<DWORD> s_dwIdleMs{0};
std::atomic<int> s_nIdleQueries{0};

// The idle time the test sets. It answers early in a millisecond, so that the tick count the
// frame reads right after it is still the one GetLastInputInfo subtracted from.
BOOL TestIdleTime(DWORD* pdwIdleMs)
{
    struct timespec ts;
    do
        clock_gettime(CLOCK_MONOTONIC, &ts);
    while (ts.tv_nsec % 1000000 > 300000);
    *pdwIdleMs = s_dwIdleMs.load();
    ++s_nIdleQueries;
    return TRUE;
}

class LockTest : public CFrameTest
{
protected:
    // Runs until the driver is done, serving the GUI thread (which may sit in the unlock dialog).
    void Drive(const std::function<void()>& drive)
    {
        std::atomic<bool> bDone{false};
        std::thread driver([&] {
            drive();
            bDone = true;
        });
        EXPECT_TRUE(WaitFor([&] { return bDone.load(); }, 60000));
        driver.join();
    }

    // Cancels the unlock dialog once it is up; what it saw of the locked client.
    struct LOCKED
    {
        bool bDialog = false;
        bool bFrameVisible = true;
        bool bTrayShown = true;
    };
    LOCKED CancelUnlock()
    {
        LOCKED seen;
        HWND hDlg = FindSignOnDialog(m_hFrame);
        seen.bDialog = hDlg != nullptr;
        if (!hDlg)
            return seen;
        OnGui([&] {
            seen.bFrameVisible = ::IsWindowVisible(m_hFrame) != FALSE;
            seen.bTrayShown = m_pFrame->m_TrayIcon.m_bIconShown != FALSE;
        });
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDCANCEL));
        return seen;
    }
};

struct IDLE_CASE
{
    WORD wMinutes;
    DWORD dwIdleMs;
    bool bLocks;
};

TEST_F(LockTest, TheIdleLimitIsComparedStrictlyAtEveryTick)
{
    const IDLE_CASE cases[] = {
        {10, 600000, false},
        {10, 600001, true},
        {0, 0xFFFFFF00u, false},           // 0 minutes: never, however long the machine is idle
        {65535, 3932100000u, false},       // the last input before the tick count began: unsigned
        {65535, 3932100001u, true},
    };
    for (const IDLE_CASE& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.wMinutes) + " minutes, idle " + std::to_string(c.dwIdleMs));
        if (!FrameAlive())
            MakeFrame();
        SetMinuteToOff(c.wMinutes);
        s_dwIdleMs = c.dwIdleMs;
        s_nIdleQueries = 0;
        SetIdleTimeSource(&TestIdleTime);
        if (!c.bLocks)
        {
            // Three ticks and the client still runs.
            EXPECT_TRUE(WaitFor([] { return s_nIdleQueries >= 3; }, 6000));
            EXPECT_TRUE(FrameAlive());
            EXPECT_TRUE(::IsWindowVisible(m_hFrame));
            SetIdleTimeSource(nullptr);
            continue;
        }
        LOCKED seen;
        Drive([&] { seen = CancelUnlock(); });
        SetIdleTimeSource(nullptr);
        EXPECT_TRUE(seen.bDialog);
        EXPECT_FALSE(seen.bFrameVisible);
        EXPECT_FALSE(seen.bTrayShown);
        // Cancel ends the client.
        EXPECT_TRUE(WaitFor([&] { return !FrameAlive(); }, 5000));
    }
}

TEST_F(LockTest, TheIdleTimeIsTheXServersAndInputResetsIt)
{
    ASSERT_TRUE(Xdo("mousemove 300 300 mousemove 310 305"));
    LASTINPUTINFO lii{};
    lii.cbSize = sizeof(lii);
    ASSERT_TRUE(GetLastInputInfo(&lii));
    EXPECT_LT(GetTickCount() - lii.dwTime, 1000u);
    // Without input the idle time grows.
    EXPECT_TRUE(WaitFor([&] {
        GetLastInputInfo(&lii);
        return GetTickCount() - lii.dwTime >= 1500;
    }, 5000));
    ASSERT_TRUE(Xdo("mousemove 320 310"));
    ASSERT_TRUE(GetLastInputInfo(&lii));
    EXPECT_LT(GetTickCount() - lii.dwTime, 1000u);
    lii.cbSize = 16;
    EXPECT_FALSE(GetLastInputInfo(&lii));
}

TEST_F(LockTest, ControlLLocksAndSigningOnAgainBringsAllBack)
{
    unsigned long xid = AfxGetX11Window(m_hFrame);
    ASSERT_NE(xid, 0ul);
    ASSERT_NE(m_pFrame->m_hAccelTable, nullptr);
    LOCKED seen;
    bool bUnlocked = false;
    Drive([&] {
        // The operator's keys on the frame.
        HWND hDlg = nullptr;
        for (int i = 0; i < 5 && !hDlg; ++i)
        {
            // The operator clicks into the waybill box of the frame and presses the keys.
            CRect rc;
            OnGui([&] {
                auto* pButton = dynamic_cast<CMFCToolBarEditBoxButton*>(m_pFrame->m_wndSearchBar.GetButton(0));
                if (pButton && pButton->GetEditBox())
                    pButton->GetEditBox()->GetWindowRect(&rc);
            });
            Xdo("mousemove " + std::to_string(rc.CenterPoint().x) + " " + std::to_string(rc.CenterPoint().y) + " click 1");
            WaitOnGui([&] { return ::GetFocus() != nullptr; }, 2000);
            Xdo("key --clearmodifiers ctrl+l");
            hDlg = FindSignOnDialog(m_hFrame, 3000);
        }
        if (!hDlg)
            return;
        seen.bDialog = true;
        OnGui([&] {
            seen.bFrameVisible = ::IsWindowVisible(m_hFrame) != FALSE;
            seen.bTrayShown = m_pFrame->m_TrayIcon.m_bIconShown != FALSE;
            CSecureEdit* pEdit = DYNAMIC_DOWNCAST(CSecureEdit, CWnd::FromHandle(hDlg)->GetDlgItem(IDC_EDIT_PASSWORD));
            if (pEdit)
                pEdit->SetRealText("velkor2026");
        });
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDOK));
        bUnlocked = WaitOnGui([&] { return !::IsWindow(hDlg) && ::IsWindowVisible(m_hFrame); }, 20000);
    });
    EXPECT_TRUE(seen.bDialog);
    EXPECT_FALSE(seen.bFrameVisible);
    EXPECT_FALSE(seen.bTrayShown);
    ASSERT_TRUE(bUnlocked);
    EXPECT_TRUE(::IsZoomed(m_hFrame));
    EXPECT_TRUE(m_pFrame->m_TrayIcon.m_bIconShown);
    EXPECT_TRUE(WaitFor([&] { return AfxGetTrayIconX11Window(m_hFrame, m_pFrame->m_TrayIcon.m_nid.uID) != 0; }, 5000));
    // The idle lock ticks again.
    s_nIdleQueries = 0;
    SetIdleTimeSource(&TestIdleTime);
    s_dwIdleMs = 0;
    EXPECT_TRUE(WaitFor([] { return s_nIdleQueries >= 1; }, 3000));
}

TEST_F(LockTest, ControlLInABusinessPageLocksToo)
{
    if (!theApp.GetFirstDocTemplatePosition())
        theApp.AddDocTemplate(new CMultiDocTemplate(IDR_ParvelTYPE, RUNTIME_CLASS(CParvelDoc), RUNTIME_CLASS(CChildFrame),
                                                    RUNTIME_CLASS(CParvelView)));
    m_pFrame->OpenUrlInNewPage((s_devnet->Url("http") + "/kesta/pages/titled.php?title=page").c_str(), "page", "");
    ASSERT_TRUE(WaitFor([&] { return s_devnet->Log().find("titled.php?title=page") != std::string::npos; }, 10000));
    CMDIChildWndEx* pChild = m_pFrame->MDIGetActive();
    ASSERT_NE(pChild, nullptr);
    CRect rc;
    pChild->GetWindowRect(&rc);
    LOCKED seen;
    Drive([&] {
        HWND hDlg = nullptr;
        for (int i = 0; i < 5 && !hDlg; ++i)
        {
            Xdo("mousemove " + std::to_string(rc.CenterPoint().x) + " " + std::to_string(rc.CenterPoint().y) +
                " click 1 key --clearmodifiers ctrl+l");
            hDlg = FindSignOnDialog(m_hFrame, 3000);
        }
        if (!hDlg)
            return;
        seen.bDialog = true;
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDCANCEL));
    });
    EXPECT_TRUE(seen.bDialog);
    EXPECT_TRUE(WaitFor([&] { return !FrameAlive(); }, 5000));
}

TEST_F(LockTest, AFailedRevalidationLocksOnceAndCancelEndsTheClient)
{
    // A sign-on that still holds: nothing happens.
    ::SendMessage(m_hFrame, WM_TIMER, TIMER_SESSION_CHECK, 0);
    EXPECT_TRUE(FrameAlive());
    EXPECT_TRUE(::IsWindowVisible(m_hFrame));
    EXPECT_TRUE(MessageBoxLines().empty());

    // The server ends every sign-on; the next check locks.
    CNetvane netvane;
    char* pszReply = nullptr;
    std::string strBase = s_devnet->Url("http");
    ASSERT_NE(netvane.DoGet((strBase + "/devnet/cas/expire").c_str(), &pszReply, nullptr, false, false), 0u);
    netvane.ReleaseResponse(&pszReply);

    LOCKED seen;
    ::PostMessage(m_hFrame, WM_TIMER, TIMER_SESSION_CHECK, 0);
    Drive([&] { seen = CancelUnlock(); });
    EXPECT_TRUE(seen.bDialog);
    EXPECT_FALSE(seen.bFrameVisible);
    EXPECT_TRUE(WaitFor([&] { return !FrameAlive(); }, 5000));
    std::vector<std::string> boxes = MessageBoxLines();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("会话已过期，系统将被锁定！"), std::string::npos);
}
// A CAS server that hangs, cuts or resets the revalidation: the window waits for it, as it must,
// for no longer than the time-out, then locks as after a refused sign-on.
class LockFaultTest : public LockTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(LockFaultTest, ARevalidationTheServerBreaksLocksWithinTheTimeOut)
{
    setenv("NETVANE_TIMEOUT", "2", 1);
    CDevnetProcess faulty({"--fault", std::string("cas:") + GetParam()});
    ASSERT_TRUE(faulty.IsReady()) << faulty.Log();
    SetOptionUrl("login", faulty.Url("cas_http").c_str());

    LOCKED seen;
    long nWaitMs = -1;
    ::PostMessage(m_hFrame, WM_TIMER, TIMER_SESSION_CHECK, 0);
    Drive([&] {
        const auto start = std::chrono::steady_clock::now();
        if (PollUntil([&] { return !MessageBoxLines().empty(); }, 10000))
            nWaitMs = (long)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                          .count();
        seen = CancelUnlock();
    });
    EXPECT_GE(nWaitMs, 0);
    EXPECT_LT(nWaitMs, 2000 + 1500) << "the revalidation waited this long (ms)";
    EXPECT_TRUE(seen.bDialog);
    EXPECT_FALSE(seen.bFrameVisible);
    EXPECT_TRUE(WaitFor([&] { return !FrameAlive(); }, 5000));
    std::vector<std::string> boxes = MessageBoxLines();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("会话已过期，系统将被锁定！"), std::string::npos);
    EXPECT_NE(faulty.Log().find(std::string("fault ") + GetParam() + ": GET /cas3.4/"), std::string::npos) << faulty.Log();
    SetOptionUrl("login", s_devnet->Url("cas_http").c_str());
    setenv("NETVANE_CA_FILE", s_devnet->CaPath().c_str(), 1);
    unsetenv("NETVANE_TIMEOUT");
}

INSTANTIATE_TEST_SUITE_P(Modes, LockFaultTest, ::testing::Values("hang", "cut", "reset"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
}  // namespace
