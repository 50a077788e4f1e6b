// The sign-on step of a running client: the main window hides while the unlock dialog is up,
// comes back maximised with its timers after OK, and is destroyed after cancel.
#include "SignonTestSupport.h"

#include <thread>
#include "KernelObject.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "TestFiles.h"
#include "resource.h"
#include "X11Window.h"

namespace
{
// A stand-in main window that counts its timer ticks.
class CTickFrame : public CFrameWnd
{
public:
    std::atomic<int> m_nIdleTicks{0};

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent == TIMER_IDLE_LOCK)
            ++m_nIdleTicks;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTickFrame, CFrameWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Finds the sign-on dialog that RunLoginDialog opened (it carries the instance mark).
HWND FindSignOnDialog(HWND hFrame)
{
    HWND hFound = nullptr;
    PollUntil([&] {
        OnGui([&] {
            HWND h = nullptr;
            EnumWindows(FindPreviousInstanceProc, (LPARAM)&h);
            if (h && h != hFrame && ::IsWindowVisible(h))
                hFound = h;
        });
        return hFound != nullptr;
    }, 10000, 20);
    return hFound;
}

class RunLoginDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_devnet = std::make_unique<CDevnetProcess>(std::vector<std::string>{"--account", "carol:k8s-Pass"});
        ASSERT_TRUE(m_devnet->IsReady()) << m_devnet->Log();
        SetLoginUrlForTest(m_devnet->Url("cas_https").c_str());
        SetUpdateUrlForTest("http://127.0.0.1:1/velkor_khd/w/");
        COptionCtrl().SetLocalVersionInfo("999.0.0.0");
        COptionCtrl().SetUserInfo("carol", "", "");
        ClearRecords();

        m_pFrame = new CTickFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        m_hFrame = m_pFrame->GetSafeHwnd();
        ::SetProp(m_hFrame, GetParvelTitle(), (HANDLE)(ULONG_PTR)PROP_INSTANCE_MARK);
        m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
        m_pFrame->SetTimer(TIMER_IDLE_LOCK, 1000);
        theApp.m_pMainWnd = m_pFrame;
    }
    void TearDown() override
    {
        theApp.m_pMainWnd = nullptr;
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
    }

    // Runs the unlock step on this thread while drive works its dialog. A dialog still open after
    // a sign-on's time is cancelled, so the step always ends; a cancel destroys the main window.
    BOOL Unlock(const std::function<void(HWND)>& drive)
    {
        std::atomic<bool> bDone{false};
        std::thread driver([&] {
            HWND hDlg = FindSignOnDialog(m_hFrame);
            if (hDlg)
                drive(hDlg);
            if (hDlg)
                PollUntil([&] { return !::IsWindow(hDlg); }, 10000, 20);
            if (hDlg && ::IsWindow(hDlg))
                ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
            bDone = true;
        });
        BOOL bResult = theApp.RunLoginDialog(0);
        WaitFor([&] { return bDone.load(); }, 30000);
        driver.join();
        return bResult;
    }

    std::unique_ptr<CDevnetProcess> m_devnet;
    CTickFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};

TEST_F(RunLoginDialogTest, OkGivesTheWindowBackWithTheNewSignOnAndItsTimers)
{
    // The timer ticks while the client runs.
    ASSERT_TRUE(WaitOnGui([&] { return m_pFrame->m_nIdleTicks > 0; }, 3000));
    m_pFrame->m_nIdleTicks = 0;
    bool bFrameVisible = true;
    int nTicksBefore = 0;
    BOOL bResult = Unlock([&](HWND hDlg) {
        OnGui([&] {
            bFrameVisible = ::IsWindowVisible(m_hFrame);
            EXPECT_EQ(WindowText(::GetDlgItem(hDlg, IDC_STATIC_USER)), "carol");
        });
        // No tick while the client is locked. Read on the GUI thread, where a cancelled sign-on
        // would destroy the frame.
        ::Sleep(1300);
        OnGui([&] {
            ASSERT_TRUE(::IsWindow(m_hFrame));
            nTicksBefore = m_pFrame->m_nIdleTicks;
        });
        OnGui([&] {
            ASSERT_TRUE(::IsWindow(hDlg));
            CWnd* pDlg = CWnd::FromHandle(hDlg);
            CSecureEdit* pEdit = DYNAMIC_DOWNCAST(CSecureEdit, pDlg->GetDlgItem(IDC_EDIT_PASSWORD));
            ASSERT_NE(pEdit, nullptr);
            pEdit->SetRealText("k8s-Pass");
        });
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDOK));
    });
    EXPECT_TRUE(bResult);
    EXPECT_FALSE(bFrameVisible);
    EXPECT_EQ(nTicksBefore, 0);
    EXPECT_TRUE(::IsWindowVisible(m_hFrame));
    EXPECT_TRUE(::IsZoomed(m_hFrame));

    const COptionData& options = COptionCtrl::GetOptionData();
    EXPECT_EQ(options.GetUserNameA(), "carol");
    EXPECT_FALSE(options.GetSessionId().IsEmpty());
    EXPECT_EQ(options.GetTGT().Left(4), "TGT-");
    EXPECT_NE(ReadFile("VelkorOption.cfg").find("UserName=carol"), std::string::npos);

    // The idle-lock timer runs again. The frame object lives only while its window does (a sign-on
    // that ended as a cancel took both).
    ASSERT_TRUE(::IsWindow(m_hFrame));
    EXPECT_TRUE(WaitOnGui([&] { return m_pFrame->m_nIdleTicks > 0; }, 3000));
}

TEST_F(RunLoginDialogTest, CancelEndsTheClient)
{
    BOOL bResult = Unlock([&](HWND hDlg) {
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDCANCEL));
    });
    EXPECT_FALSE(bResult);
    EXPECT_FALSE(::IsWindow(m_hFrame));
}
}  // namespace

namespace
{
TEST(AboutDialogTest, AboutCommandShowsTheAboutDialog)
{
    std::atomic<bool> bDone{false};
    CString strSeen;
    std::thread driver([&] {
        HWND hAbout = nullptr;
        PollUntil([&] { return (hAbout = ::FindWindow(nullptr, "关于 Parvel")) != nullptr; }, 5000, 20);
        if (hAbout)
        {
            strSeen = WindowText(::GetDlgItem(hAbout, IDOK));
            ::PostMessage(hAbout, WM_COMMAND, IDOK, 0);
        }
        bDone = true;
    });
    BOOL bHandled = theApp.OnCmdMsg(ID_APP_ABOUT, CN_COMMAND, nullptr, nullptr);
    WaitFor([&] { return bDone.load(); }, 10000);
    driver.join();
    EXPECT_TRUE(bHandled);
    EXPECT_EQ(strSeen, "确定");
}
}  // namespace
