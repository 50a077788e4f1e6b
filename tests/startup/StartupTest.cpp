// The Parvel program as a process: refusal during an update, the single instance, what a
// cancelled sign-on leaves behind, and a whole sign-on against devnet up to the exit.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sys/prctl.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "CodePage.h"
#include "FileVersion.h"
#include "KernelObject.h"
#include "ProcessTree.h"
#include "Registry.h"
#include "StartupX11.h"
#include "TestFiles.h"

extern char** environ;

namespace
{
// One run of the program in a working folder, with its own registry hives and message-box log.
class CParvelRun
{
public:
    CParvelRun(const std::string& program, const std::string& workdir, const std::vector<std::string>& env)
    {
        std::vector<std::string> vars;
        for (char** p = environ; *p; ++p)
            vars.push_back(*p);
        for (const std::string& e : env)
            vars.push_back(e);
        std::vector<char*> envp;
        for (std::string& v : vars)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        std::string prog = program;
        char* argv[] = {prog.data(), nullptr};
        m_pid = fork();
        if (m_pid == 0)
        {
            // The program must not outlive a test that is killed.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (chdir(workdir.c_str()) == 0)
                execve(prog.c_str(), argv, envp.data());
            _exit(127);
        }
    }
    ~CParvelRun()
    {
        if (m_pid > 0 && !m_bEnded)
        {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t Pid() const { return m_pid; }
    // True when the program ended within the time.
    bool WaitForEnd(int nSeconds)
    {
        if (m_bEnded)
            return true;
        return PollUntil([&] {
            int status = 0;
            return (m_bEnded = waitpid(m_pid, &status, WNOHANG) == m_pid);
        }, (unsigned)nSeconds * 1000, 20);
    }
    bool IsRunning()
    {
        if (m_bEnded)
            return false;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_bEnded = true;
        return !m_bEnded;
    }

private:
    pid_t m_pid = -1;
    bool m_bEnded = false;
};

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strRoot = MakeTempFolder("parvel-startup");
        m_strWork = m_strRoot + "/work";
        mkdir(m_strWork.c_str(), 0755);
        // The test reads the same hives and mutexes as the program.
        setenv("PARVEL_HKLM_HIVE", (m_strRoot + "/hklm.hive").c_str(), 1);
        setenv("PARVEL_HKCU_HIVE", (m_strRoot + "/hkcu.hive").c_str(), 1);
        setenv("PARVEL_MUTEX_DIR", (m_strRoot + "/mutex").c_str(), 1);
        setenv("PARVEL_AUTOSTART_SYSTEM", (m_strRoot + "/autostart-system").c_str(), 1);
        setenv("PARVEL_AUTOSTART_USER", (m_strRoot + "/autostart-user").c_str(), 1);
        setenv("PARVEL_MSGBOX_LOG", (m_strRoot + "/msgbox.log").c_str(), 1);
        setenv("PARVEL_SHELL_LOG", (m_strRoot + "/shell.log").c_str(), 1);
        setenv("GDK_BACKEND", "x11", 1);
        // Nothing of the update service: no update is ever offered here.
        ASSERT_NE(getenv("DISPLAY"), nullptr) << "run under Xvfb";
    }
    void TearDown() override
    {
        RemoveFolder(m_strRoot);
    }

    std::unique_ptr<CParvelRun> Start(const std::string& workdir, std::vector<std::string> env = {},
                                      const std::string& program = PARVEL_PROGRAM)
    {
        return std::make_unique<CParvelRun>(program, workdir, env);
    }

    std::vector<std::string> MessageBoxes()
    {
        std::vector<std::string> texts;
        std::istringstream in(ReadFile(m_strRoot + "/msgbox.log"));
        std::string line;
        while (std::getline(in, line))
        {
            std::string ansi = CCodePage::Utf8ToAnsi(line);
            size_t tab = ansi.find('\t');
            texts.push_back(tab == std::string::npos ? ansi : ansi.substr(tab + 1));
        }
        return texts;
    }

    std::string m_strRoot;
    std::string m_strWork;
};

TEST_F(StartupTest, UpdateMutexRefusesTheStartAndNothingIsCreated)
{
    HANDLE hUpdate = CreateMutex(nullptr, FALSE, "Program Update");
    ASSERT_NE(hUpdate, nullptr);
    auto run = Start(m_strWork, {"PARVEL_MSGBOX_AUTO=IDOK"});
    ASSERT_TRUE(run->WaitForEnd(20));
    CloseHandle(hUpdate);

    const std::vector<std::string> boxes = MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "客户程序正在更新！");
    EXPECT_TRUE(FolderEntries(m_strWork).empty());
    EXPECT_FALSE(IsFolder(m_strRoot + "/hkcu.hive"));
    EXPECT_EQ(FolderEntries(m_strRoot).count("hkcu.hive"), 0u);
    EXPECT_EQ(FolderEntries(m_strRoot).count("hklm.hive"), 0u);
}

TEST_F(StartupTest, CancelledSignOnLeavesFoldersAndFeatureValuesButNoLogAndNoMainWindow)
{
    auto run = Start(m_strWork);
    unsigned long dialog = WaitForMarkedWindow(run->Pid(), 20);
    ASSERT_NE(dialog, 0ul) << "no sign-on dialog";
    AskToClose(dialog);
    ASSERT_TRUE(run->WaitForEnd(20));

    for (const char* pszFolder : {"log", "userdata", "download", "Update"})
        EXPECT_TRUE(IsFolder(m_strWork + "/" + pszFolder)) << pszFolder;
    const std::string hidden = ReadFile(m_strWork + "/.hidden");
    for (const char* pszFolder : {"log", "userdata", "download", "Update"})
        EXPECT_NE(hidden.find(pszFolder), std::string::npos) << pszFolder << " in .hidden: " << hidden;
    EXPECT_TRUE(FolderEntries(m_strWork + "/log").empty());
    const std::string options = ReadFile(m_strWork + "/VelkorOption.cfg");
    EXPECT_NE(options.find("MinuteToOff=10"), std::string::npos) << options;

    struct FEATURE
    {
        const char* pszName;
        DWORD dwValue;
    } features[] = {{"FEATURE_BROWSER_EMULATION", 8000}, {"FEATURE_BLOCK_LMZ_SCRIPT", 0},
                    {"FEATURE_GPU_RENDERING", 1},        {"FEATURE_SCRIPTURL_MITIGATION", 1},
                    {"FEATURE_FEEDS", 1},                {"FEATURE_TABBED_BROWSING", 1},
                    {"FEATURE_NATIVE_DOCUMENT_MODE", 13880}};
    // As the administrator the machine's values are written too.
    for (HKEY hRoot : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    {
        for (const FEATURE& f : features)
        {
            std::string key = std::string("Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\") + f.pszName;
            HKEY hKey = nullptr;
            ASSERT_EQ(RegOpenKeyEx(hRoot, key.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS) << f.pszName;
            DWORD dwType = 0, dwValue = 0xDEAD, cb = sizeof(dwValue);
            EXPECT_EQ(RegQueryValueEx(hKey, "Parvel", nullptr, &dwType, (LPBYTE)&dwValue, &cb), ERROR_SUCCESS);
            EXPECT_EQ(dwType, REG_DWORD);
            EXPECT_EQ(dwValue, f.dwValue) << f.pszName;
            RegCloseKey(hKey);
        }
    }
}

TEST_F(StartupTest, BrowserProcessesStartAtTheSignOnDialogAndEndWithACancel)
{
    auto run = Start(m_strWork);
    unsigned long dialog = WaitForMarkedWindow(run->Pid(), 20);
    ASSERT_NE(dialog, 0ul) << "no sign-on dialog";
    // While the dialog waits for the password the browser's processes start.
    std::vector<pid_t> web, network;
    ASSERT_TRUE(PollUntil([&] {
        web = DescendantProcesses(run->Pid(), "WebKitWebProces");
        network = DescendantProcesses(run->Pid(), "WebKitNetwork");
        return !web.empty() && !network.empty();
    }, 20000, 20)) << "no browser process while the sign-on dialog shows";

    AskToClose(dialog);
    ASSERT_TRUE(run->WaitForEnd(20));
    std::vector<pid_t> all = web;
    all.insert(all.end(), network.begin(), network.end());
    for (pid_t pid : all)
        EXPECT_TRUE(PollUntil([&] { return !IsProcessAlive(pid); }, 10000, 20)) << "browser process " << pid << " left";
}

TEST_F(StartupTest, SecondStartActivatesTheFirstAndEnds)
{
    auto first = Start(m_strWork);
    unsigned long dialog = WaitForMarkedWindow(first->Pid(), 20);
    ASSERT_NE(dialog, 0ul);
    // The dialog takes the focus once it shows; only then can another window take it for good.
    ASSERT_TRUE(PollUntil([&] { return HasFocusWithin(dialog); }, 10000, 50));
    // Somebody else has the focus before the second start.
    unsigned long other = CreateFocusedWindow();
    ASSERT_NE(other, 0ul);
    ASSERT_FALSE(HasFocusWithin(dialog));

    const std::string second = m_strRoot + "/second";
    mkdir(second.c_str(), 0755);
    auto run = Start(second);
    ASSERT_TRUE(run->WaitForEnd(20));
    EXPECT_TRUE(FolderEntries(second).empty());
    EXPECT_TRUE(first->IsRunning());
    EXPECT_TRUE(PollUntil([&] { return HasFocusWithin(dialog); }, 5000, 50));
    DestroyTestWindow(other);

    AskToClose(dialog);
    EXPECT_TRUE(first->WaitForEnd(20));
}

TEST(StartupVersionTest, ProgramFilesCarryTheirBuildVersions)
{
    struct CASE
    {
        const char* pszProgram;
        const char* pszVersion;
    } cases[] = {{PARVEL_PROGRAM, PARVEL_FILE_VERSION_TEXT}, {PARVEL_PROGRAM_1234, "1.2.3.4"}};
    for (const CASE& c : cases)
    {
        DWORD dwHandle = 0;
        DWORD dwSize = GetFileVersionInfoSize(c.pszProgram, &dwHandle);
        ASSERT_GT(dwSize, 0u) << c.pszProgram;
        std::vector<char> block(dwSize + 1);
        ASSERT_TRUE(GetFileVersionInfo(c.pszProgram, dwHandle, dwSize + 1, block.data()));
        VS_FIXEDFILEINFO* pInfo = nullptr;
        UINT nLen = 0;
        ASSERT_TRUE(VerQueryValue(block.data(), "\\", (LPVOID*)&pInfo, &nLen));
        char szText[64];
        snprintf(szText, sizeof(szText), "%d.%d.%d.%d", (int)HIWORD(pInfo->dwFileVersionMS),
                 (int)LOWORD(pInfo->dwFileVersionMS), (int)HIWORD(pInfo->dwFileVersionLS),
                 (int)LOWORD(pInfo->dwFileVersionLS));
        EXPECT_STREQ(szText, c.pszVersion);
    }
}

// Against devnet on the default addresses: the program of version 1.2.3.4 asks for updates
// with that version, signs on, logs, shows its main window, loads the trans-URL list, and its
// exit records that the first run is over.
TEST_F(StartupTest, SignOnShowsTheMainWindowAndExitEndsTheFirstRun)
{
    const std::string devnetState = DEVNET_DEFAULT_STATE;
    const size_t nLogStart = ReadFile(devnetState + "/devnet.log").size();
    WriteFile(m_strWork + "/VelkorOption.cfg", "[RunTimeInfo]\nUserName=demo\n");

    // The first close asks whether to hide to the tray; "No" ends the program.
    auto run = Start(m_strWork, {"NETVANE_CA_FILE=" + devnetState + "/ca.pem", "PARVEL_MSGBOX_AUTO=IDNO"},
                     PARVEL_PROGRAM_1234);
    unsigned long dialog = WaitForMarkedWindow(run->Pid(), 20);
    ASSERT_NE(dialog, 0ul);
    // The stored account puts the caret in the password edit: type it and press Enter.
    FocusWindow(dialog);
    ASSERT_EQ(system("timeout 10 xdotool type --delay 30 velkor2026"), 0);
    ASSERT_EQ(system("timeout 10 xdotool key Return"), 0);

    unsigned long frame = 0;
    ASSERT_TRUE(PollUntil([&] {
        frame = FindMarkedWindow(run->Pid(), dialog);
        return frame != 0 && IsWindowViewable(frame) && !IsWindowViewable(dialog);
    }, 20000, 50)) << "no main window";
    EXPECT_EQ(WindowTitleUtf8(frame), std::string((const char*)u8"Velkor速递网点客户端"));

    const std::string devnetLog = [&] {
        std::string log;
        PollUntil([&] {
            log = ReadFile(devnetState + "/devnet.log").substr(nLogStart);
            return log.find("translist: gh=demo") != std::string::npos;
        }, 10000, 50);
        return log;
    }();
    EXPECT_NE(devnetLog.find("update: type=xml version=1.2.3.4"), std::string::npos) << devnetLog;
    EXPECT_NE(devnetLog.find("cas: demo signed on"), std::string::npos) << devnetLog;
    EXPECT_NE(devnetLog.find("translist: gh=demo"), std::string::npos) << devnetLog;

    std::set<std::string> logs = FolderEntries(m_strWork + "/log");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs.begin()->rfind("Parvel_demo", 0), 0u) << *logs.begin();
    const std::string log = ReadFile(m_strWork + "/log/" + *logs.begin());
    const size_t nBanner = log.find("=================================  SYSTEM START  =================================");
    const size_t nMenus = log.find("开始获取菜单");
    EXPECT_NE(nBanner, std::string::npos) << log;
    EXPECT_NE(nMenus, std::string::npos) << log;
    EXPECT_LT(nBanner, nMenus) << log;

    AskToClose(frame);
    ASSERT_TRUE(run->WaitForEnd(20));
    const std::string options = ReadFile(m_strWork + "/VelkorOption.cfg");
    const size_t nSection = options.find("[OptionData]");
    ASSERT_NE(nSection, std::string::npos) << options;
    const size_t nFirstRun = options.find("FirstRun=0");
    ASSERT_NE(nFirstRun, std::string::npos) << options;
    EXPECT_GT(nFirstRun, nSection);
    // In the section "OptionData", before the next section.
    const size_t nNext = options.find('[', nSection + 1);
    EXPECT_TRUE(nNext == std::string::npos || nFirstRun < nNext) << options;
    EXPECT_NE(options.find("UserName=demo"), std::string::npos);
}
}  // namespace
