// Self-update: the version comparison, the update folder, the progress bar, the version request
// against devnet and whole runs with the real sign-on dialog: an updater found, downloaded and
// started, or a download that fails.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include "AfxWin.h"
#include "DevnetProcess.h"
#include "ClientEnvironment.h"
#include "GuiWait.h"
#include "KernelObject.h"
#include "LoginDlg.h"
#include "OptionCtrl.h"
#include "OptionData.h"
#include "PrivateMember.h"
#include "RealInput.h"
#include "Scrivo.h"
#include "TestFiles.h"
#include "Update.h"
#include "WindowManagerClose.h"
#include "X11Window.h"
#include "resource.h"

// The option record's update address has no public setter: reach the private one.
namespace
{
struct UpdateUrlTag
{
    typedef void (COptionData::*type)(const char*);
};
}  // namespace
template struct CPrivateBinder<UpdateUrlTag, &COptionData::SetUpdateClientUrl>;

namespace
{
void SetUpdateUrl(const std::string& url)
{
    (COptionCtrl::GetOptionData().*CPrivate<UpdateUrlTag>::s_member)(url.c_str());
}

std::string g_strFolder;

std::string LogText()
{
    std::string text;
    for (const std::string& name : FolderEntries(g_strFolder + "/log"))
        text += ReadFile(g_strFolder + "/log/" + name);
    return text;
}

class CUpdateEnvironment : public CClientEnvironment
{
public:
    CUpdateEnvironment() : CClientEnvironment("update_tests", "parvel-update") {}
    void SetUp() override
    {
        CClientEnvironment::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        g_strFolder = Folder();
        mkdir("log", 0755);
        mkdir("Update", 0755);
        COptionCtrl ctrl;
        ctrl.SetPathInfo((g_strFolder + "/Parvel").c_str());
        ctrl.SetLocalVersionInfo("1.2.3.4");
        Scrivo::setLogPath("./log/");
        Scrivo::setLogLevel(8);
        Scrivo::init("Parvel_update");
    }
};
const ::testing::Environment* const s_env = ::testing::AddGlobalTestEnvironment(new CUpdateEnvironment);

bool MutexExists()
{
    HANDLE h = OpenMutex(SYNCHRONIZE, FALSE, PARVEL_UPDATE_MUTEX);
    if (!h)
        return false;
    CloseHandle(h);
    return true;
}

TEST(CompareVersionTest, OnlyTheFirstThreeNumbersCount)
{
    const struct { const char* pszLocal; const char* pszServer; int nExpected; } cases[] = {
        { "1.2.3.4", "1.2.3.9", 1 },  // the fourth number does not count
        { "1.2.3.4", "1.2.4.0", 0 },
        { "2.0.1.0", "1.0.5.0", 1 },
        { "1.9.0.0", "2.0.0.0", 0 },
        { "1.2.3.4", "1.2.3.4", 1 },
        { "1.2.3.4", "1.3.0.0", 0 },
        { "1.2.3.4", "1.1.9.9", 1 },
        { "", "1.0.0.0", 0 },  // no local version: always update
        { "", "", 0 },
        { "1.2.3.4", "", 1 },  // nothing from the server: no update
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nExpected, CompareVersion(c.pszLocal, c.pszServer)) << c.pszLocal << " / " << c.pszServer;
}

TEST(ParseVersionTest, SplitsIntoThreeNumbers)
{
    const struct { const char* pszText; int a, b, c; } cases[] = {
        { "2.1.5.3", 2, 1, 5 }, { "1.2", 1, 0, 2 }, { "5", 0, 0, 5 }, { "", 0, 0, 0 },
        { "10.20.30", 10, 20, 30 }, { "x.7y.3", 0, 7, 3 },
    };
    for (const auto& c : cases)
    {
        int a = -1, b = -1, n = -1;
        ParseVersion(c.pszText, a, b, n);
        EXPECT_EQ(c.a, a) << c.pszText;
        EXPECT_EQ(c.b, b) << c.pszText;
        EXPECT_EQ(c.c, n) << c.pszText;
    }
}

TEST(DeleteFilesInFolderTest, DeletesFilesAndKeepsSubfolders)
{
    mkdir("old", 0755);
    mkdir("old/keep", 0755);
    WriteFile("old/Renewo.exe", "old updater");
    WriteFile("old/notes.txt", "x");
    WriteFile("old/keep/inner.txt", "stays");
    DeleteFilesInFolder("./old/");
    EXPECT_FALSE(FileExists("old/Renewo.exe"));
    EXPECT_FALSE(FileExists("old/notes.txt"));
    EXPECT_TRUE(FileExists("old/keep"));
    EXPECT_EQ("stays", ReadFile("old/keep/inner.txt"));
    DeleteFilesInFolder("./no-such-folder/");  // nothing to do, nothing breaks
}

// The sign-on dialog, built modeless for tests that only need its progress bar.
class ModelessLoginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pDevnet.reset(new CDevnetProcess({ "--quiet" }));
        ASSERT_TRUE(m_pDevnet->IsReady());
        SetUpdateUrl(m_pDevnet->Url("update"));  // the same version: no update
        m_pDlg.reset(new CLoginDlg(1, ""));
        ASSERT_TRUE(m_pDlg->Create(IDD_LOGIN_DIALOG));
    }
    void TearDown() override
    {
        m_pDlg->DestroyWindow();
        m_pDlg.reset();
        m_pDevnet.reset();
    }
    std::unique_ptr<CDevnetProcess> m_pDevnet;
    std::unique_ptr<CLoginDlg> m_pDlg;
};

TEST_F(ModelessLoginTest, ProgressGoesIntoTheDialogsBar)
{
    CProgressCtrl& bar = m_pDlg->m_progress;
    bar.SetRange32(0, 100);
    const struct { double dTotal, dDone; int nPos; } cases[] = {
        { 200, 50, 25 }, { 3, 1, 33 }, { 3, 2, 66 }, { 1000, 1000, 100 }, { 0, 0, 0 }, { 0, 500, 0 },
    };
    for (const auto& c : cases)
    {
        bar.SetPos(77);
        EXPECT_EQ(0, UpdateProgressCallback(m_pDlg.get(), c.dTotal, c.dDone));
        EXPECT_EQ(c.nPos, bar.GetPos()) << c.dDone << " of " << c.dTotal;
    }
    EXPECT_EQ(0, UpdateProgressCallback(nullptr, 10, 5));
}

TEST_F(ModelessLoginTest, WorkerThatFindsNoNewerVersionGivesTheExitBack)
{
    // The dialog found an update, the worker's own check no longer does.
    m_pDlg->GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    m_pDlg->GetDlgItem(IDOK)->EnableWindow(FALSE);
    UpdateTask task(m_pDlg.get());
    RunUpdate(&task);
    CString strStatus;
    m_pDlg->GetDlgItem(IDC_STATIC_STATUS)->GetWindowText(strStatus);
    EXPECT_STREQ("更新失败，请联系Velkor软件支持部门。。", strStatus);
    EXPECT_TRUE(m_pDlg->GetDlgItem(IDCANCEL)->IsWindowEnabled());
    EXPECT_FALSE(m_pDlg->GetDlgItem(IDOK)->IsWindowEnabled());
    EXPECT_NE(std::string::npos, LogText().find("未检测到新版本"));
    EXPECT_TRUE(::IsWindow(m_pDlg->GetSafeHwnd()));  // no cancel command came
}

TEST(QueryServerVersionTest, ReadsVersionAndUpdaterAddress)
{
    CDevnetProcess devnet({ "--quiet", "--update-version", "1.2.4.0" });
    ASSERT_TRUE(devnet.IsReady());
    SetUpdateUrl(devnet.Url("update"));

    UpdateTask task;
    EXPECT_EQ(1, QueryServerVersion(&task));
    EXPECT_STREQ("1.2.4.0", task.m_strServerVersion);
    EXPECT_EQ(devnet.Url("update") + "Renewo.exe", std::string(task.m_strUpdaterUrl));

    UpdateTask check;
    EXPECT_EQ(1, CheckNewVersion(&check));  // 1.2.3.4 here
}

TEST(QueryServerVersionTest, NoNewerVersionOrNoUsableReply)
{
    {
        CDevnetProcess devnet({ "--quiet", "--update-version", "1.2.3.9" });
        ASSERT_TRUE(devnet.IsReady());
        SetUpdateUrl(devnet.Url("update"));
        UpdateTask task;
        EXPECT_EQ(0, CheckNewVersion(&task));
        EXPECT_STREQ("1.2.3.9", task.m_strServerVersion);

        // A reply that is no version reply: a reply all the same, but nothing in it.
        SetUpdateUrl(devnet.Url("http") + "/devnet/echo");
        UpdateTask echo;
        EXPECT_EQ(1, QueryServerVersion(&echo));
        EXPECT_TRUE(echo.m_strServerVersion.IsEmpty());
        EXPECT_TRUE(echo.m_strUpdaterUrl.IsEmpty());
        EXPECT_EQ(0, CheckNewVersion(&echo));
    }
    // Nobody answers: the request failed.
    SetUpdateUrl("http://127.0.0.1:1/velkor_khd/w/");
    UpdateTask task;
    EXPECT_EQ(0, QueryServerVersion(&task));
    EXPECT_EQ(0, CheckNewVersion(&task));
}

// A version service that hangs, cuts or resets: the check fails within the time-out and finds no
// update, even where the half reply that came names a newer version.
TEST(QueryServerVersionTest, ABrokenVersionServiceIsAFailedCheck)
{
    setenv("NETVANE_TIMEOUT", "2", 1);
    for (const char* mode : { "hang", "cut", "reset" })
    {
        SCOPED_TRACE(mode);
        CDevnetProcess devnet({ "--update-version", "9.9.9.9", "--fault", std::string("update:") + mode });
        ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
        SetUpdateUrl(devnet.Url("update"));
        const DWORD dwStart = GetTickCount();
        UpdateTask task;
        EXPECT_EQ(0, QueryServerVersion(&task));
        EXPECT_TRUE(task.m_strUpdaterUrl.IsEmpty());
        UpdateTask check;
        EXPECT_EQ(0, CheckNewVersion(&check));
        EXPECT_LT(GetTickCount() - dwStart, 2u * 2000u + 1500u);
        EXPECT_NE(devnet.Log().find(std::string("fault ") + mode + ": POST /velkor_khd/w/"), std::string::npos)
            << devnet.Log();
    }
    unsetenv("NETVANE_TIMEOUT");
}

TEST(DownloadAndRunUpdaterTest, EmptyAddressEndsAtOnce)
{
    UpdateTask task;
    WriteFile("Update/stays.txt", "x");
    EXPECT_EQ(0, DownloadAndRunUpdater(&task));
    EXPECT_TRUE(FileExists("Update/stays.txt"));  // not even the folder is touched
    unlink("Update/stays.txt");
}

TEST(DownloadAndRunUpdaterTest, AddressWithoutSlashIsTheFileName)
{
    UpdateTask task;
    task.m_strUpdaterUrl = "Renewo.exe";
    EXPECT_EQ(0, DownloadAndRunUpdater(&task));
    EXPECT_NE(std::string::npos, LogText().find("./Update/Renewo.exe下载失败:Renewo.exe"));
}

TEST(DownloadAndRunUpdaterTest, NameFromTheServerNeverReachesAShell)
{
    // A Windows program: nothing here can run it, so the start falls back to system(), which
    // gets the path quoted whatever the server named the file.
    const char* const names[] = { "Ren;touch${IFS}pwned;.exe", "Ren';touch${IFS}pwned;'.exe" };
    mkdir("served", 0755);
    for (const char* pszName : names)
    {
        const std::string name = pszName;
        static const char s_program[] = "MZ\x90\x00\x03 not for this system";
        WriteFile("served/" + name, std::string(s_program, sizeof(s_program) - 1));
        CDevnetProcess devnet({ "--quiet", "--updater", g_strFolder + "/served/" + name });
        ASSERT_TRUE(devnet.IsReady());

        UpdateTask task;
        task.m_strUpdaterUrl = (devnet.Url("update") + name).c_str();
        EXPECT_EQ(1, DownloadAndRunUpdater(&task)) << name;
        EXPECT_TRUE(FileExists("Update/" + name)) << name;
        EXPECT_FALSE(FileExists("pwned")) << name;
        unlink("pwned");
    }
}

// The real sign-on dialog, with a look at the moment the updater's cancel command reaches it.
class CProbeLoginDlg : public CLoginDlg
{
public:
    CProbeLoginDlg() : CLoginDlg(1, "") {}
    std::atomic<HWND> m_hReady{ nullptr };
    std::atomic<int> m_nCancels{ 0 };
    std::atomic<bool> m_bMutexAtCancel{ false };
    std::atomic<int> m_nPosAtCancel{ -1 };
    std::atomic<bool> m_bOkEnabledAtCancel{ true };

protected:
    BOOL OnInitDialog() override
    {
        BOOL bResult = CLoginDlg::OnInitDialog();
        m_hReady = m_hWnd;
        return bResult;
    }
    afx_msg void OnProbeCancel()
    {
        ++m_nCancels;
        m_bMutexAtCancel = MutexExists();
        m_nPosAtCancel = m_progress.GetPos();
        m_bOkEnabledAtCancel = GetDlgItem(IDOK)->IsWindowEnabled() != FALSE;
        CLoginDlg::OnBnClickedCancel();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeLoginDlg, CLoginDlg)
    ON_BN_CLICKED(IDCANCEL, &CProbeLoginDlg::OnProbeCancel)
END_MESSAGE_MAP()

// Runs the dialog modally on the GUI thread; drive gets its window on a thread of its own. A
// dialog that ends early keeps serving the driver's calls until it is done.
INT_PTR RunDialog(CProbeLoginDlg& dlg, const std::function<void(HWND)>& drive)
{
    std::atomic<bool> bDriven{ false };
    std::thread driver([&] {
        PollUntil([&] { return dlg.m_hReady != nullptr; }, 15000);
        if (HWND hDlg = dlg.m_hReady)
            drive(hDlg);
        bDriven = true;
    });
    INT_PTR nResult = dlg.DoModal();
    WaitFor([&] { return bDriven.load(); }, 60000);
    driver.join();
    return nResult;
}

TEST(UpdateRunTest, NewerVersionDownloadsStartsTheUpdaterAndEndsTheDialog)
{
    mkdir("served", 0755);
    WriteFile("served/Renewo.exe", "#!/bin/sh\necho \"updater ran in $PWD\" > updater.marker\n");
    CDevnetProcess devnet({ "--quiet", "--update-version", "1.3.0.0", "--updater", g_strFolder + "/served/Renewo.exe" });
    ASSERT_TRUE(devnet.IsReady());
    SetUpdateUrl(devnet.Url("update"));
    WriteFile("Update/old-updater.exe", "old");
    mkdir("Update/sub", 0755);
    unlink("updater.marker");

    CProbeLoginDlg dlg;
    INT_PTR nResult = RunDialog(dlg, [&](HWND hDlg) {
        // The updater closes the dialog itself; leave it a bounded time to do so.
        PollUntil([&] { return !::IsWindow(hDlg); }, 20000, 20);
        if (::IsWindow(hDlg))
            ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
    });

    EXPECT_EQ(IDCANCEL, nResult);
    EXPECT_EQ(1, dlg.m_nCancels.load());
    EXPECT_TRUE(dlg.m_bMutexAtCancel.load());  // held while the worker runs
    EXPECT_EQ(100, dlg.m_nPosAtCancel.load());
    EXPECT_FALSE(dlg.m_bOkEnabledAtCancel.load());
    EXPECT_EQ("#!/bin/sh\necho \"updater ran in $PWD\" > updater.marker\n", ReadFile("Update/Renewo.exe"));
    EXPECT_FALSE(FileExists("Update/old-updater.exe"));
    EXPECT_TRUE(FileExists("Update/sub"));
    EXPECT_TRUE(WaitFor([] { return ReadFile("updater.marker") == "updater ran in " + g_strFolder + "\n"; }))
        << ReadFile("updater.marker");
    // The worker ends after the cancel command and gives the mutex up.
    EXPECT_TRUE(WaitFor([] { return !MutexExists(); }, 5000));
    std::string log = LogText();
    EXPECT_NE(std::string::npos, log.find("关闭调用更新的窗口"));
    EXPECT_NE(std::string::npos, ReadFile("shell.log").find("Update/Renewo.exe"));
}

// Escape and the window manager's close while a slow updater comes: the dialog waits, and only
// the updater's own cancel command ends it once the file is whole.
TEST(UpdateRunTest, EscapeAndCloseWaitWhileTheUpdaterComes)
{
    mkdir("served", 0755);
    std::string script = "#!/bin/sh\necho \"updater ran\" > updater.marker\n";
    while (script.size() < 240 * 1024)
        script += "# " + std::string(77, '-') + "\n";
    WriteFile("served/Renewo.exe", script);
    // Some 60 pieces a tenth of a second apart.
    CDevnetProcess devnet({ "--quiet", "--update-version", "9.9.9.9", "--updater", g_strFolder + "/served/Renewo.exe",
                            "--updater-delay-ms", "100" });
    ASSERT_TRUE(devnet.IsReady());
    SetUpdateUrl(devnet.Url("update"));
    unlink("updater.marker");

    struct SEEN
    {
        bool bKeyArrived = false;  // a key typed after the close reached the dialog
        int nCancels = -1;
        int nPos = -1;
    } seen[2];
    CProbeLoginDlg dlg;
    INT_PTR nResult = RunDialog(dlg, [&](HWND hDlg) {
        HWND hAccount = ::GetDlgItem(hDlg, IDC_EDIT_ACCOUNT);
        auto pos = [&] { return (int)::SendMessage(::GetDlgItem(hDlg, IDC_UPDATE_PROGRESS), PBM_GETPOS, 0, 0); };
        auto text = [&] {
            char sz[64] = "";
            ::GetWindowText(hAccount, sz, sizeof sz);
            return std::string(sz);
        };
        PollUntil([&] { return pos() > 0; }, 15000, 20);
        OnGui([&] {
            ::SetForegroundWindow(hDlg);
            ::SetFocus(hAccount);
        });
        WaitOnGui([&] { return ::GetActiveWindow() == hDlg && ::GetFocus() == hAccount; }, 3000);
        const std::function<void()> closes[] = {
            [] { Xdo("key Escape"); },
            [&] { AskToClose(AfxGetX11Window(hDlg)); },
        };
        std::string typed;
        for (int i = 0; i < 2; ++i)
        {
            closes[i]();
            // The key comes after the close on the display, so it is handled after it.
            typed += (char)('a' + i);
            Xdo(std::string("type ") + typed.back());
            seen[i].bKeyArrived = PollUntil([&] { return ::IsWindow(hDlg) && text() == typed; }, 5000, 20);
            seen[i].nCancels = dlg.m_nCancels;
            seen[i].nPos = pos();
        }
        // The updater ends the dialog itself once the file is whole.
        PollUntil([&] { return !::IsWindow(hDlg); }, 30000, 20);
    });

    for (int i = 0; i < 2; ++i)
    {
        const char* pszName = i == 0 ? "Escape" : "the window manager's close";
        EXPECT_TRUE(seen[i].bKeyArrived) << pszName;
        EXPECT_EQ(0, seen[i].nCancels) << pszName;
        // Seen while the download still ran, or the test proves nothing.
        EXPECT_LT(seen[i].nPos, 100) << pszName;
    }
    EXPECT_EQ(IDCANCEL, nResult);
    EXPECT_EQ(1, dlg.m_nCancels.load());
    EXPECT_TRUE(dlg.m_bMutexAtCancel.load());
    EXPECT_EQ(100, dlg.m_nPosAtCancel.load());
    EXPECT_EQ(script, ReadFile("Update/Renewo.exe"));
    for (const std::string& name : FolderEntries("Update"))
        EXPECT_EQ(std::string::npos, name.find(".part-")) << name;
    EXPECT_TRUE(WaitFor([] { return ReadFile("updater.marker") == "updater ran\n"; }));
    EXPECT_TRUE(WaitFor([] { return !MutexExists(); }, 5000));
}

TEST(UpdateRunTest, FailedDownloadShowsTheFailureAndOnlyExitWorks)
{
    CDevnetProcess devnet({ "--quiet", "--update-version", "2.0.0.0", "--updater", g_strFolder + "/served/Missing.exe" });
    ASSERT_TRUE(devnet.IsReady());
    SetUpdateUrl(devnet.Url("update"));

    CProbeLoginDlg dlg;
    std::string strStatus;
    bool bStatusVisible = false, bCancelEnabled = false, bOkEnabled = true, bProgressVisible = true;
    INT_PTR nResult = RunDialog(dlg, [&](HWND hDlg) {
        HWND hStatus = ::GetDlgItem(hDlg, IDC_STATIC_STATUS);
        CString strExpected = "更新失败，请联系Velkor软件支持部门。。";
        char szText[256] = "";
        // The failure's text comes first, then the buttons and the status change: wait for all.
        PollUntil([&] {
            ::GetWindowText(hStatus, szText, sizeof szText);
            return strExpected == szText && ::IsWindowVisible(hStatus) && ::IsWindowEnabled(::GetDlgItem(hDlg, IDCANCEL)) &&
                   !::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)) && !::IsWindowVisible(::GetDlgItem(hDlg, IDC_UPDATE_PROGRESS));
        }, 20000, 20);
        strStatus = szText;
        bStatusVisible = ::IsWindowVisible(hStatus) != FALSE;
        bCancelEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDCANCEL)) != FALSE;
        bOkEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)) != FALSE;
        bProgressVisible = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_UPDATE_PROGRESS)) != FALSE;
        ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
    });

    EXPECT_EQ(IDCANCEL, nResult);
    EXPECT_EQ("更新失败，请联系Velkor软件支持部门。。", strStatus);
    EXPECT_TRUE(bStatusVisible);
    EXPECT_TRUE(bCancelEnabled);
    EXPECT_FALSE(bOkEnabled);
    EXPECT_FALSE(bProgressVisible);
    EXPECT_FALSE(FileExists("Update/Missing.exe"));
    EXPECT_TRUE(WaitFor([] { return !MutexExists(); }, 5000));
    std::string log = LogText();
    EXPECT_NE(std::string::npos, log.find("下载更新程序失败"));
    EXPECT_NE(std::string::npos, log.find("./Update/Missing.exe下载失败:" + devnet.Url("update") + "Missing.exe"));
}
}  // namespace
