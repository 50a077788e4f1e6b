#include "ShellTestSupport.h"

#include "ProgramTable.h"
#include "WinTypes.h"

namespace
{
typedef std::vector<std::string> Args;

struct SplitCase
{
    const char* pszLine;
    Args expected;
};

TEST(ProgramTableTest, SplitsCommandLinesAsWindowsProgramsDo)
{
    const SplitCase cases[] = {
        { "a b\t c", { "a", "b", "c" } },
        { "  \"a b\" c  ", { "a b", "c" } },
        { "C:\\dir\\x.exe", { "C:\\dir\\x.exe" } },
        { "\"a\\\"b\"", { "a\"b" } },
        { "\"a\\\\\" b", { "a\\", "b" } },
        { "\"x\"\"y\"", { "x\"y" } },
        { "a\"b c\"d", { "ab cd" } },
        { "\"\"", { "" } },
        { "-sOutputFile=\"%printer%PDF\" \"/tmp/a b.pdf\"",
          { "-sOutputFile=%printer%PDF", "/tmp/a b.pdf" } },
        // 0x5C as the trail byte of a GBK character is no backslash: the quote still closes.
        { "\"\x95\x5C\" next", { "\x95\x5C", "next" } },
        { "\"路径\" 标签", { "路径", "标签" } },
        { "", {} },
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(c.expected, CProgramTable::SplitCommandLine(c.pszLine)) << c.pszLine;
    EXPECT_TRUE(CProgramTable::SplitCommandLine(nullptr).empty());
}

class ProgramTableResolveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_scratch.UseOwnBin(false);
        m_scratch.Stub("xdg-open");
        m_scratch.Stub("chromium");
        m_scratch.Stub("firefox-esr");
        m_scratch.Stub("gs");
    }

    DWORD Resolve(const char* pszLine, Args& argv, const std::string& dir = "")
    {
        return CProgramTable::ResolveCommand(CProgramTable::SplitCommandLine(pszLine), dir, argv);
    }

    CShellScratch m_scratch;
};

TEST_F(ProgramTableResolveTest, WindowsNamesRunTheirInstalledCounterparts)
{
    const std::string bin = m_scratch.Bin();
    const struct
    {
        const char* pszLine;
        Args expected;
    } cases[] = {
        { "iexplore http://h/a", { bin + "/xdg-open", "http://h/a" } },
        { "IEXPLORE.EXE http://h/a", { bin + "/xdg-open", "http://h/a" } },
        { "chrome.exe http://h/b", { bin + "/chromium", "http://h/b" } },
        { "firefox.exe http://h/c", { bin + "/firefox-esr", "http://h/c" } },
        { "gswin32c.exe -q a.pdf", { bin + "/gs", "-q", "a.pdf" } },
        { "./gswin32c.exe -q \"x y.pdf\"", { bin + "/gs", "-q", "x y.pdf" } },
        { ".\\gswin32c.exe -dBATCH", { bin + "/gs", "-dBATCH" } },
        { "cmd /c gswin32c.exe -v", { bin + "/gs", "-v" } },
    };
    for (const auto& c : cases)
    {
        Args argv;
        EXPECT_EQ((DWORD)ERROR_SUCCESS, Resolve(c.pszLine, argv)) << c.pszLine;
        EXPECT_EQ(c.expected, argv) << c.pszLine;
    }
}

TEST_F(ProgramTableResolveTest, InternetOptionsOpenTheDesktopsNetworkSettings)
{
    const std::string bin = m_scratch.Bin();
    const struct
    {
        const char* pszStub; // nullptr: no desktop settings installed
        const char* pszLine;
        DWORD dwError;
        Args expected;
    } cases[] = {
        { nullptr, "control.exe inetcpl.cpl", ERROR_FILE_NOT_FOUND, {} },
        { "systemsettings", "control.exe inetcpl.cpl", ERROR_SUCCESS, { bin + "/systemsettings", "kcm_proxy" } },
        { "gnome-control-center", "control.exe inetcpl.cpl", ERROR_SUCCESS, { bin + "/gnome-control-center", "network" } },
        { nullptr, "CONTROL INETCPL.CPL", ERROR_SUCCESS, { bin + "/gnome-control-center", "network" } },
        { nullptr, "C:\\Windows\\system32\\control.exe inetcpl.cpl", ERROR_SUCCESS,
          { bin + "/gnome-control-center", "network" } },
        // Other Control Panel pages have no counterpart.
        { nullptr, "control.exe main.cpl", ERROR_FILE_NOT_FOUND, {} },
        { nullptr, "control.exe", ERROR_FILE_NOT_FOUND, {} },
    };
    for (const auto& c : cases)
    {
        if (c.pszStub)
            m_scratch.Stub(c.pszStub);
        Args argv;
        EXPECT_EQ(c.dwError, Resolve(c.pszLine, argv)) << c.pszLine;
        EXPECT_EQ(c.expected, argv) << c.pszLine;
    }
}

TEST_F(ProgramTableResolveTest, ChromeIsPreferredToChromium)
{
    m_scratch.Stub("google-chrome");
    Args argv;
    ASSERT_EQ((DWORD)ERROR_SUCCESS, Resolve("chrome.exe u", argv));
    EXPECT_EQ(m_scratch.Bin() + "/google-chrome", argv[0]);
}

TEST_F(ProgramTableResolveTest, MissingProgramsFailAsOnWindows)
{
    unlink((m_scratch.Bin() + "/chromium").c_str());
    const struct
    {
        const char* pszLine;
        DWORD dwError;
    } cases[] = {
        { "chrome.exe http://h/", ERROR_FILE_NOT_FOUND },   // counterpart not installed
        { "UCBrowser.exe http://h/", ERROR_FILE_NOT_FOUND }, // no counterpart at all
        { "notepad", ERROR_FILE_NOT_FOUND },
        { "control.exe inetcpl.cpl", ERROR_FILE_NOT_FOUND },
        { "cmd", ERROR_FILE_NOT_FOUND },
        { "cmd /k x", ERROR_FILE_NOT_FOUND },
        { "cmd /c", ERROR_FILE_NOT_FOUND },
        { "./nowhere/updater.exe", ERROR_PATH_NOT_FOUND },
        { "./updater.exe", ERROR_FILE_NOT_FOUND },
        { "", ERROR_FILE_NOT_FOUND },
    };
    for (const auto& c : cases)
    {
        Args argv;
        EXPECT_EQ(c.dwError, Resolve(c.pszLine, argv)) << c.pszLine;
        EXPECT_TRUE(argv.empty()) << c.pszLine;
    }
}

TEST_F(ProgramTableResolveTest, ExistingFilesRunAsTheyAre)
{
    WriteFile(m_scratch.Path("run.sh"), "#!/bin/sh\nexit 0\n", 0755);
    WriteFile(m_scratch.Path("plain.sh"), "#!/bin/sh -e\nexit 0\n", 0644);
    WriteFile(m_scratch.Path("notes.txt"), "no program\n", 0755);
    mkdir(m_scratch.Path("folder").c_str(), 0755);

    Args argv;
    ASSERT_EQ((DWORD)ERROR_SUCCESS, Resolve("./run.sh one \"two three\"", argv));
    EXPECT_EQ((Args{ "./run.sh", "one", "two three" }), argv);

    ASSERT_EQ((DWORD)ERROR_SUCCESS, Resolve("cmd /c ./run.sh x", argv));
    EXPECT_EQ((Args{ "./run.sh", "x" }), argv);

    // cmd's one quoted command is split as cmd splits it.
    ASSERT_EQ((DWORD)ERROR_SUCCESS, Resolve("cmd /c \"./run.sh x y\"", argv));
    EXPECT_EQ((Args{ "./run.sh", "x", "y" }), argv);

    // A script without execute permission runs through its interpreter.
    ASSERT_EQ((DWORD)ERROR_SUCCESS, Resolve("plain.sh a", argv));
    EXPECT_EQ((Args{ "/bin/sh", "-e", "plain.sh", "a" }), argv);

    // Relative to the folder the caller names.
    ASSERT_EQ((DWORD)ERROR_SUCCESS, Resolve("run.sh", argv, m_scratch.Path("")));
    EXPECT_EQ((Args{ m_scratch.Path("/run.sh") }), argv);

    EXPECT_EQ((DWORD)ERROR_BAD_FORMAT, Resolve("./notes.txt", argv));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, Resolve("./folder", argv));
}

TEST_F(ProgramTableResolveTest, DownloadedProgramWithoutExecutePermissionIsRunnable)
{
    std::string copy = m_scratch.Path("Update");
    mkdir(copy.c_str(), 0755);
    copy += "/ParvelUpdate.exe";
    ASSERT_EQ(0, system(("/bin/cp /bin/true '" + copy + "' && /bin/chmod 644 '" + copy + "'").c_str()));

    Args argv;
    ASSERT_EQ((DWORD)ERROR_SUCCESS, Resolve("cmd /c .\\Update\\ParvelUpdate.exe", argv));
    EXPECT_EQ((Args{ "./Update/ParvelUpdate.exe" }), argv);
    struct stat st;
    ASSERT_EQ(0, stat(copy.c_str(), &st));
    EXPECT_TRUE(st.st_mode & S_IXUSR);
}

TEST_F(ProgramTableResolveTest, AppPathsFindCounterpartsOnPath)
{
    std::string path;
    EXPECT_TRUE(CProgramTable::FindAppPath("chrome.exe", path));
    EXPECT_EQ(m_scratch.Bin() + "/chromium", path);
    EXPECT_TRUE(CProgramTable::FindAppPath("iexplore.exe", path));
    EXPECT_EQ(m_scratch.Bin() + "/xdg-open", path);
    EXPECT_FALSE(CProgramTable::FindAppPath("UCBrowser.exe", path));
    EXPECT_TRUE(path.empty());
    EXPECT_FALSE(CProgramTable::FindAppPath(nullptr, path));

    // The registry's App Paths keys read through the same table.
    EXPECT_TRUE(CProgramTable::ReadAppPathsKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe", path));
    EXPECT_EQ(m_scratch.Bin() + "/chromium", path);
    EXPECT_TRUE(CProgramTable::ReadAppPathsKey("\\software\\microsoft\\windows\\currentversion\\app paths\\UCBrowser.exe\\", path));
    EXPECT_EQ("", path);
    EXPECT_FALSE(CProgramTable::ReadAppPathsKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", path));
    EXPECT_FALSE(CProgramTable::ReadAppPathsKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe\\x", path));
    EXPECT_FALSE(CProgramTable::ReadAppPathsKey("SOFTWARE\\Microsoft\\Internet Explorer\\Version Vector", path));
    EXPECT_FALSE(CProgramTable::ReadAppPathsKey(nullptr, path));

    // The real Ghostscript of this machine, found through the system's PATH.
    setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
    EXPECT_TRUE(CProgramTable::FindAppPath("gswin32c.exe", path));
    EXPECT_EQ("gs", path.substr(path.rfind('/') + 1));
}
} // namespace
