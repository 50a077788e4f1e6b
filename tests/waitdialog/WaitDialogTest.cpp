// The shared wait dialog on real windows: shown from workers and the GUI thread, one modal loop
// per dialog, closed by WM_CLOSE, and the spinner started afresh on every show.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include "AfxWin.h"
#include "GuiEnvironment.h"
#include "GuiWait.h"
#include "KernelObject.h"
#include "WaitDialog.h"
#include "resource.h"

namespace
{
const ::testing::Environment* const s_env = ::testing::AddGlobalTestEnvironment(new CGuiEnvironment("waitdialog_tests"));


// Shows the dialog from a worker thread while the GUI thread serves the window.
void ShowFromWorker(CWaitDialog& dlg, const char* pszText)
{
    std::atomic<bool> bDone{ false };
    std::thread worker([&] {
        ShowWaitDialog(&dlg, pszText);
        bDone = true;
    });
    EXPECT_TRUE(WaitFor([&] { return bDone.load(); }, 25000));
    worker.join();
}

// What the callers do to close it: WM_CLOSE when the window is there.
void CloseWaitDialog(CWaitDialog& dlg)
{
    if (dlg.GetSafeHwnd())
        ::PostMessage(dlg.GetSafeHwnd(), WM_CLOSE, 0, 0);
}

bool Closed(CWaitDialog& dlg)
{
    return WaitFor([&] { return dlg.GetSafeHwnd() == nullptr && dlg.m_bRunning == 0; });
}

// Every show starts a thread that may look at the dialog a moment after the show returned: the
// tests' dialogs live as long as the process, as the application's one does.
CWaitDialog& NewDialog()
{
    return *new CWaitDialog;
}

CString Title(CWaitDialog& dlg)
{
    CString strTitle;
    dlg.GetWindowText(strTitle);
    return strTitle;
}

TEST(WaitDialogTest, ShownFromAWorkerWithTheSpinnerTurning)
{
    CWaitDialog& dlg = NewDialog();
    ShowFromWorker(dlg, "开始下载");
    ASSERT_NE(nullptr, dlg.GetSafeHwnd());
    EXPECT_TRUE(WaitFor([&] { return dlg.IsWindowVisible() && dlg.m_picture.IsPlaying(); }));

    // Template 350: the text static hidden, the picture sized to the 128 x 128 spinner.
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dlg.GetSafeHwnd(), IDC_WAIT_TEXT)));
    CRect rcPicture;
    dlg.m_picture.GetClientRect(&rcPicture);
    EXPECT_EQ(128, rcPicture.Width());
    EXPECT_EQ(128, rcPicture.Height());
    ASSERT_EQ(12, dlg.m_picture.GetFrameCount());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(5u, dlg.m_picture.GetFrame(i).m_nDelay) << i;
    CRect rcDialog, rcUnits(0, 0, 250, 106);
    dlg.MapDialogRect(&rcUnits);
    EXPECT_TRUE(WaitFor([&] {
        dlg.GetClientRect(&rcDialog);
        return rcDialog.Width() == rcUnits.Width() && rcDialog.Height() == rcUnits.Height();
    })) << rcDialog.Width() << " x " << rcDialog.Height();
    // The frames move on.
    int nFirst = dlg.m_picture.GetCurrentFrame();
    EXPECT_TRUE(WaitFor([&] { return dlg.m_picture.GetCurrentFrame() != nFirst; }));

    CloseWaitDialog(dlg);
    EXPECT_TRUE(Closed(dlg));
    EXPECT_FALSE(dlg.m_picture.IsPlaying());
}

TEST(WaitDialogTest, ShowWhileShownChangesOnlyTheText)
{
    CWaitDialog& dlg = NewDialog();
    ShowFromWorker(dlg, "数据解析中");
    HWND hFirst = dlg.GetSafeHwnd();
    ASSERT_NE(nullptr, hFirst);
    ASSERT_TRUE(WaitFor([&] { return dlg.IsWindowVisible(); }));

    ShowFromWorker(dlg, "数据上传中");
    EXPECT_EQ(hFirst, dlg.GetSafeHwnd());
    EXPECT_STREQ("数据上传中", Title(dlg));

    // One loop only: once closed, no second window comes up.
    CloseWaitDialog(dlg);
    EXPECT_TRUE(Closed(dlg));
    Pump(300);
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
}

TEST(WaitDialogTest, RequestsThatCrossWhileStartingMakeOneWindow)
{
    CWaitDialog& dlg = NewDialog();
    std::atomic<int> nDone{ 0 };
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([&] {
            ShowWaitDialog(&dlg, "开始下载");
            ++nDone;
        });
    EXPECT_TRUE(WaitFor([&] { return nDone == 4; }));
    for (std::thread& t : workers)
        t.join();
    HWND hShown = dlg.GetSafeHwnd();
    ASSERT_NE(nullptr, hShown);
    Pump(200);
    EXPECT_EQ(hShown, dlg.GetSafeHwnd());

    CloseWaitDialog(dlg);
    EXPECT_TRUE(Closed(dlg));
    Pump(300);
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
}

TEST(WaitDialogTest, ShownFromTheGuiThreadItself)
{
    CWaitDialog& dlg = NewDialog();
    // A page asks on the GUI thread: the wait serves the window's creation meanwhile.
    DWORD dwStart = GetTickCount();
    ShowWaitDialog(&dlg, "请稍候");
    EXPECT_LT(GetTickCount() - dwStart, 9000u);
    ASSERT_NE(nullptr, dlg.GetSafeHwnd());
    ASSERT_TRUE(WaitFor([&] { return dlg.IsWindowVisible(); }));
    ShowWaitDialog(&dlg, "请稍候");
    EXPECT_STREQ("请稍候", Title(dlg));
    CloseWaitDialog(dlg);
    EXPECT_TRUE(Closed(dlg));
}

TEST(WaitDialogTest, CloseWithoutDialogDoesNothingAndShowAgainStartsAtTheFirstFrame)
{
    CWaitDialog& dlg = NewDialog();
    CloseWaitDialog(dlg);
    Pump(100);
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());

    ShowFromWorker(dlg, "开始下载");
    ASSERT_TRUE(WaitFor([&] { return dlg.m_picture.GetCurrentFrame() >= 6; }));
    CloseWaitDialog(dlg);
    ASSERT_TRUE(Closed(dlg));
    int nStoppedAt = dlg.m_picture.GetCurrentFrame();
    EXPECT_GE(nStoppedAt, 6);

    // Shown again, the spinner is loaded anew: it does not go on from where it stopped.
    std::atomic<bool> bDone{ false };
    std::thread worker([&] {
        ShowWaitDialog(&dlg, "开始下载");
        bDone = true;
    });
    int nFirstSeen = -1;
    EXPECT_TRUE(WaitFor([&] {
        if (nFirstSeen < 0 && dlg.m_picture.IsPlaying())
            nFirstSeen = dlg.m_picture.GetCurrentFrame();
        return bDone && nFirstSeen >= 0;
    }));
    worker.join();
    EXPECT_GE(nFirstSeen, 0);
    EXPECT_LT(nFirstSeen, 4);
    CloseWaitDialog(dlg);
    EXPECT_TRUE(Closed(dlg));
}
TEST(WaitDialogTest, AWindowThatCannotBeMadeDoesNotHoldTheCallerForever)
{
    CWaitDialog& dlg = NewDialog();
    dlg.m_nIDTemplate = 9350;  // no such template
    DWORD dwStart = GetTickCount();
    ShowFromWorker(dlg, "开始下载");
    DWORD dwWaited = GetTickCount() - dwStart;
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
    EXPECT_LT(dwWaited, 15000u);
    EXPECT_TRUE(WaitFor([&] { return dlg.m_bRunning == 0; }));
}
}  // namespace
