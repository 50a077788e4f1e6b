// The web system in an external browser: a browser found on PATH through App Paths, and without
// one the installer road: the question, the download with its dialog, the installer, cancel.
#include "CommandsTestSupport.h"

#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include "DlgDownloadProgress.h"
#include "ExternalBrowser.h"
#include "GuiWait.h"
#include "TestFiles.h"
#include "X11Window.h"

namespace
{
class ExternalBrowserTest : public CFrameTest
{
protected:
    void SetUp() override
    {
        CFrameTest::SetUp();
        if (HasFatalFailure())
            return;
        char szCwd[512] = "";
        ASSERT_TRUE(getcwd(szCwd, sizeof(szCwd)));
        m_strBin = std::string(szCwd) + "/browser-bin";
        RemoveFolder(m_strBin);
        mkdir(m_strBin.c_str(), 0755);
        m_strOldPath = getenv("PATH");
        // The system's folders hold no browser here; the test's folder comes first.
        setenv("PATH", (m_strBin + ":/usr/sbin:/usr/bin:/sbin:/bin").c_str(), 1);
        setenv("CHROME_STANDIN_DIR", m_strBin.c_str(), 1);
        // The client makes its download folder at start-up.
        mkdir("download", 0755);
    }
    void TearDown() override
    {
        // No install left running into the next test.
        if (m_pFrame && FrameAlive() && m_pFrame->m_hInstallerThread)
            WaitFor([&] { return WaitForSingleObject(m_pFrame->m_hInstallerThread, 0) == WAIT_OBJECT_0; }, 30000);
        setenv("PATH", m_strOldPath.c_str(), 1);
        unsetenv("CHROME_STANDIN_DIR");
        CFrameTest::TearDown();
    }

    void InstallStandIn()
    {
        std::ofstream(m_strBin + "/chromium") << "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/chromium.log\"\n";
        chmod((m_strBin + "/chromium").c_str(), 0755);
    }
    std::string BrowserLog() const { return ReadFile(m_strBin + "/chromium.log"); }
    bool InstallerRunning() const
    {
        return m_pFrame->m_hInstallerThread && WaitForSingleObject(m_pFrame->m_hInstallerThread, 0) == WAIT_TIMEOUT;
    }

    std::string m_strBin;
    std::string m_strOldPath;
};

TEST_F(ExternalBrowserTest, AnInstalledChromeOpensTheLoginPage)
{
    char szPath[256] = "";
    EXPECT_FALSE(QueryAppPath("chrome.exe", szPath));
    InstallStandIn();
    ASSERT_TRUE(QueryAppPath("chrome.exe", szPath));
    EXPECT_EQ(std::string(szPath), m_strBin + "/chromium");
    EXPECT_FALSE(QueryAppPath("UCBrowser.exe", szPath));
    EXPECT_EQ(GetIEMajorVersion(), 0);

    ::SendMessage(m_hFrame, WM_COMMAND, ID_BRANCH_360_VIEW, 0);
    EXPECT_TRUE(WaitFor([&] { return !BrowserLog().empty(); }, 10000));
    EXPECT_EQ(BrowserLog(), std::string(GetBranchWebLoginUrl().GetString()) + "\n");
    EXPECT_NE(BrowserLog().find(":14306/pluma/login.html"), std::string::npos);
    EXPECT_TRUE(MessageBoxLines().empty());
    EXPECT_EQ(m_pFrame->m_hInstallerThread, nullptr);
}

TEST_F(ExternalBrowserTest, WithoutABrowserDecliningTheInstallSaysSo)
{
    AnswerMessageBoxes("IDNO");
    ::SendMessage(m_hFrame, WM_COMMAND, ID_BRANCH_360_VIEW, 0);
    std::vector<std::string> boxes = MessageBoxLines();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "提示\t您本机尚未安装Google-Chrome浏览器，下载安装需要一段时间,确定安装吗?");
    EXPECT_EQ(boxes[1], "提示\t请手动安装Google-Chrome浏览器再执行此项操作");
    EXPECT_EQ(m_pFrame->m_hInstallerThread, nullptr);
}

TEST_F(ExternalBrowserTest, WithoutABrowserTheInstallerIsDownloadedRunAndChromeOpened)
{
    AnswerMessageBoxes("IDYES");
    ::SendMessage(m_hFrame, WM_COMMAND, ID_BRANCH_360_VIEW, 0);
    ASSERT_NE(m_pFrame->m_hInstallerThread, nullptr);
    // The download dialog shows the progress while the installer comes.
    HWND hDlg = ::FindWindow(nullptr, "下载任务");
    ASSERT_NE(hDlg, nullptr);
    int nSeen = 0;
    EXPECT_TRUE(WaitFor([&] {
        if (!::IsWindow(hDlg))
            return false;
        nSeen = (int)::SendMessage(::GetDlgItem(hDlg, IDC_DOWNLOAD_PROGRESS), PBM_GETPOS, 0, 0);
        return nSeen > 0 && nSeen < 100;
    }, 10000));
    // A second command while the install runs is refused.
    ClearMessageBoxes();
    ::SendMessage(m_hFrame, WM_COMMAND, ID_BRANCH_360_VIEW, 0);
    ASSERT_EQ(MessageBoxLines().size(), 1u);
    EXPECT_EQ(MessageBoxLines()[0], "提示\tGoogle-Chrome浏览器安装包正在下载安装中,请耐心等待");
    // At 100 % the dialog closes; the installer puts the browser in, which is opened.
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hDlg); }, 30000));
    EXPECT_TRUE(WaitFor([&] { return !BrowserLog().empty(); }, 30000)) << s_devnet->Log();
    EXPECT_EQ(BrowserLog(), std::string(GetBranchWebLoginUrl().GetString()) + "\n");
    EXPECT_TRUE(WaitFor([&] { return !InstallerRunning(); }, 10000));
    EXPECT_EQ(MessageBoxLines().size(), 1u);
    struct stat st;
    EXPECT_NE(stat("download/ChromeSetup.exe", &st), 0);
    // The next command finds the thread ended and Chrome installed.
    ::SendMessage(m_hFrame, WM_COMMAND, ID_BRANCH_360_VIEW, 0);
    EXPECT_EQ(m_pFrame->m_hInstallerThread, nullptr);
    EXPECT_TRUE(WaitFor([&] { return BrowserLog().size() > GetBranchWebLoginUrl().GetLength() + 1u; }, 10000));
}

TEST_F(ExternalBrowserTest, CancelDuringTheDownloadEndsItQuietlyAndLeavesNoFile)
{
    AnswerMessageBoxes("IDYES");
    ::SendMessage(m_hFrame, WM_COMMAND, ID_BRANCH_360_VIEW, 0);
    HWND hDlg = ::FindWindow(nullptr, "下载任务");
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(WaitFor([&] {
        return ::IsWindow(hDlg) && ::SendMessage(::GetDlgItem(hDlg, IDC_DOWNLOAD_PROGRESS), PBM_GETPOS, 0, 0) > 0;
    }, 10000));
    ClearMessageBoxes();
    // The operator's click on 取消.
    CRect rc;
    ::GetWindowRect(::GetDlgItem(hDlg, IDC_DOWNLOAD_CANCEL), &rc);
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(rc.CenterPoint().x) + " " + std::to_string(rc.CenterPoint().y) +
                        " click 1"));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hDlg); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return !InstallerRunning(); }, 10000));
    EXPECT_TRUE(MessageBoxLines().empty());
    EXPECT_TRUE(BrowserLog().empty());
    struct stat st;
    EXPECT_NE(stat("download/ChromeSetup.exe", &st), 0);
}

TEST_F(ExternalBrowserTest, TheInstallerComesOverHttpFromPort81OfTheUpdateHost)
{
    const char* const kPath = "/velkor_khd/Weighbridge/ChromeSetup.exe";
    const struct
    {
        const char* update;
        const char* host;
    } cases[] = {
        {"http://127.0.10.3:81/velkor_khd/w/", "127.0.10.3"},
        {"http://update.example:8080/velkor_khd/w/?type=xml", "update.example"},
        {"https://update.example/velkor_khd/w/", "update.example"},
        {"http://operator@update.example:81/", "update.example"},
        {"http://update.example", "update.example"},
        {"http://[::1]:8080/velkor_khd/w/", "[::1]"},
    };
    for (const auto& c : cases)
    {
        SetOptionUrl("update", c.update);
        EXPECT_EQ(std::string("http://") + c.host + ":81" + kPath, GetChromeInstallerUrl().GetString()) << c.update;
    }
    // The one this suite's devnet serves it from.
    SetOptionUrl("update", s_devnet->Url("update").c_str());
    EXPECT_NE(std::string::npos, s_devnet->Url("update").find(":81/"));
}

TEST_F(ExternalBrowserTest, ADialogEndedWhileTheInstallWaitsForItIsACancel)
{
    auto* pDlg = new CDlgDownloadProgress;
    ASSERT_TRUE(pDlg->Create(IDD_DOWNLOAD_PROGRESS, nullptr));
    pDlg->ShowWindow(SW_SHOW);
    const size_t nLogStart = s_devnet->Log().size();
    // The install thread asks the GUI thread for the dialog's window; the operator's close comes
    // first, and the dialog deletes itself.
    HANDLE hThread = CreateThread(nullptr, 0, &ChromeInstallThreadProc, pDlg, 0, nullptr);
    ASSERT_NE(hThread, nullptr);
    pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD_CANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0; }, 10000));
    CloseHandle(hThread);
    // Nothing was fetched or said, and no file stays.
    EXPECT_EQ(std::string::npos, s_devnet->Log().substr(nLogStart).find("ChromeSetup.exe"));
    EXPECT_TRUE(MessageBoxLines().empty());
    struct stat st;
    EXPECT_NE(stat("download/ChromeSetup.exe", &st), 0);
}

TEST_F(ExternalBrowserTest, AFailedDownloadSaysSo)
{
    // Nothing answers on port 81 of that host.
    SetOptionUrl("update", "http://127.0.0.1:1/velkor_khd/w/");
    AnswerMessageBoxes("IDYES");
    ::SendMessage(m_hFrame, WM_COMMAND, ID_BRANCH_360_VIEW, 0);
    EXPECT_TRUE(WaitFor([&] { return !InstallerRunning(); }, 20000));
    std::vector<std::string> boxes = MessageBoxLines();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "提示\tGoogle-Chrome浏览器安装文件下载失败，请手动安装Google-Chrome浏览器再执行此项操作");
    // The dialog stays until the operator closes it; its button then signals nothing closed.
    HWND hDlg = ::FindWindow(nullptr, "下载任务");
    ASSERT_NE(hDlg, nullptr);
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD_CANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDC_DOWNLOAD_CANCEL));
    EXPECT_FALSE(::IsWindow(hDlg));
}

TEST_F(ExternalBrowserTest, KillProcessByNameMatchesTheExactFileName)
{
    for (const char* name : {"GoogleUpdate.exe", "googleupdate.exe"})
    {
        std::string path = m_strBin + "/" + name;
        std::string cmd = "cp /bin/sleep '" + path + "'";
        ASSERT_EQ(system(cmd.c_str()), 0);
    }
    pid_t exact = fork();
    if (exact == 0)
    {
        execl((m_strBin + "/GoogleUpdate.exe").c_str(), "GoogleUpdate.exe", "30", (char*)nullptr);
        _exit(127);
    }
    pid_t other = fork();
    if (other == 0)
    {
        execl((m_strBin + "/googleupdate.exe").c_str(), "googleupdate.exe", "30", (char*)nullptr);
        _exit(127);
    }
    // Both run under their own names.
    auto exeOf = [](pid_t pid) {
        char sz[512] = "";
        ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), sz, sizeof(sz) - 1);
        return n > 0 ? std::string(sz, (size_t)n) : std::string();
    };
    ASSERT_TRUE(WaitFor([&] {
        return exeOf(exact).find("GoogleUpdate.exe") != std::string::npos &&
               exeOf(other).find("googleupdate.exe") != std::string::npos;
    }, 5000));
    KillProcessByName("GoogleUpdate.exe");
    int status = 0;
    EXPECT_TRUE(WaitFor([&] { return waitpid(exact, &status, WNOHANG) == exact; }, 5000));
    EXPECT_EQ(waitpid(other, &status, WNOHANG), 0);
    kill(other, SIGKILL);
    waitpid(other, &status, 0);
}
}  // namespace
