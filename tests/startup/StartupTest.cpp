// The Parvel program as a process: refusal during an update, the single instance, what a
// cancelled sign-on leaves behind, a whole sign-on against devnet up to the exit, and the
// installed program started by its launcher as a plain user.
#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
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
#include "WindowManagerClose.h"

extern char** environ;

namespace
{
// One run of the program in a working folder, with its own registry hives and message-box log.
class CParvelRun
{
public:
    // runAs: the user the program runs as (-1: this process's own).
    CParvelRun(const std::string& program, const std::string& workdir, const std::vector<std::string>& env,
               uid_t runAs = (uid_t)-1)
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
            if (runAs != (uid_t)-1 && (setgroups(0, nullptr) != 0 || setgid(runAs) != 0 || setuid(runAs) != 0))
                _exit(126);
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
        // The tests' message-box and program-start switches go into the program tested.
        env.push_back(std::string("LD_PRELOAD=") + PARVEL_TEST_PRELOAD);
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

// The package installed into a scratch root (tests/install): its launcher, started as a plain
// user with a data folder of that user, starts the installed program there, with the libraries
// of its own folder, and it shows the sign-on dialog.
TEST_F(StartupTest, InstalledProgramStartsToItsSignOnDialogAsAPlainUser)
{
    const std::string root = PARVEL_PACKAGE_ROOT;
    const std::string launcher = root + "/usr/bin/parvel";
    ASSERT_EQ(0, access(launcher.c_str(), X_OK)) << launcher << " is not installed";
    const uid_t nobody = 65534;
    // The user owns the scratch folder with its hives and mutexes, and reads the display's cookie.
    const std::string data = m_strRoot + "/data";
    const std::string auth = getenv("XAUTHORITY") ? getenv("XAUTHORITY") : "";
    const char* pszAuth = auth.c_str();
    if (*pszAuth)
    {
        WriteFile(m_strRoot + "/Xauthority", ReadFile(pszAuth));
        setenv("XAUTHORITY", (m_strRoot + "/Xauthority").c_str(), 1);
    }
    // The user's own home and no runtime folder of root's.
    const std::string home = m_strRoot + "/home";
    mkdir(home.c_str(), 0755);
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    const char* pszRuntime = getenv("XDG_RUNTIME_DIR");
    const std::string oldRuntime = pszRuntime ? pszRuntime : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_RUNTIME_DIR");
    setenv("PARVEL_WORKDIR", data.c_str(), 1);
    ASSERT_EQ(0, system(("chown -R 65534:65534 '" + m_strRoot + "'").c_str()));

    auto run = std::make_unique<CParvelRun>(launcher, m_strWork, std::vector<std::string>{}, nobody);
    unsetenv("PARVEL_WORKDIR");
    setenv("HOME", oldHome.c_str(), 1);
    if (!oldRuntime.empty())
        setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
    if (*pszAuth)
        setenv("XAUTHORITY", pszAuth, 1);
    unsigned long dialog = WaitForMarkedWindow(run->Pid(), 30);
    ASSERT_NE(dialog, 0ul) << "no sign-on dialog";

    // The launcher became the installed program, which loads its libraries from beside it.
    char exe[4096] = "";
    ssize_t n = readlink(("/proc/" + std::to_string(run->Pid()) + "/exe").c_str(), exe, sizeof(exe) - 1);
    ASSERT_GT(n, 0);
    const std::string program(exe, (size_t)n);
    EXPECT_EQ(0u, program.find(root + "/usr/lib/")) << program;
    const std::string folder = program.substr(0, program.rfind('/'));
    EXPECT_EQ("/parvel/Parvel", program.substr(program.rfind("/parvel/"))) << program;
    const std::string maps = ReadFile("/proc/" + std::to_string(run->Pid()) + "/maps");
    for (const char* pszLib : {"libOption.so", "libMurmel.so", "libPlatformUi.so", "libNetvane.so"})
        EXPECT_NE(std::string::npos, maps.find(folder + "/" + pszLib)) << pszLib;
    EXPECT_EQ(std::string::npos, maps.find(BUILD_BIN_DIR "/lib"));
    EXPECT_EQ(std::string::npos, maps.find("ParvelTestSwitches"));

    // The data folder is the user's own, with the demo's pictures and sample sheet.
    struct stat st = {};
    ASSERT_EQ(0, stat(data.c_str(), &st));
    EXPECT_EQ(nobody, st.st_uid);
    EXPECT_TRUE(IsFolder(data + "/ico"));
    EXPECT_TRUE(IsFolder(data + "/log"));
    ASSERT_EQ(0, stat((data + "/orders.xls").c_str(), &st));
    EXPECT_EQ(nobody, st.st_uid);

    AskToClose(dialog);
    EXPECT_TRUE(run->WaitForEnd(20));
}
