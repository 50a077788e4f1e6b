#include "ShellTestSupport.h"

#include "CodePage.h"
#include "Shell.h"

namespace
{
class ShellExecuteTest : public ::testing::Test
{
protected:
    void SetUp() override { m_scratch.UseOwnBin(); }

    CShellScratch m_scratch;
};

INT_PTR Open(LPCSTR file, LPCSTR params, LPCSTR verb = "open", LPCSTR dir = nullptr)
{
    return (INT_PTR)ShellExecute(nullptr, verb, file, params, dir, SW_SHOWNORMAL);
}

TEST_F(ShellExecuteTest, BrowserFallbackStartsTheFirstInstalledOne)
{
    // The sign-on dialog's VPN button: Chrome, then Firefox, then Internet Explorer.
    std::string firefox = m_scratch.Stub("firefox");
    const char* url = "http://127.0.0.1:8080/vpn?a=1&b=2";

    INT_PTR r = Open("chrome.exe", url);
    EXPECT_EQ((INT_PTR)ERROR_FILE_NOT_FOUND, r);
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    ASSERT_GT(Open("firefox.exe", url), 32);

    EXPECT_EQ(std::string(url) + "\n", CShellScratch::WaitForText(m_scratch.Path("firefox.out")));
    EXPECT_EQ(firefox + " " + url + "\n", m_scratch.LogText());
}

TEST_F(ShellExecuteTest, LogHoldsTheResolvedCommandLine)
{
    std::string browser = m_scratch.Stub("xdg-open");
    ASSERT_GT((INT_PTR)ShellExecute(nullptr, nullptr, "iexplore", "\"http://h/a b\"", nullptr, SW_SHOWNORMAL), 32);
    CShellScratch::WaitForText(m_scratch.Path("xdg-open.out"));
    EXPECT_EQ(browser + " \"http://h/a b\"\n", m_scratch.LogText());
}

TEST_F(ShellExecuteTest, FailuresGiveTheWindowsResults)
{
    WriteFile(m_scratch.Path("notes.txt"), "text\n", 0644);
    EXPECT_EQ((INT_PTR)SE_ERR_FNF, Open("iexplore.exe", "http://h/")); // no browser in PATH
    EXPECT_EQ((INT_PTR)SE_ERR_FNF, Open("", nullptr));
    EXPECT_EQ((INT_PTR)SE_ERR_FNF, Open(nullptr, nullptr));
    EXPECT_EQ((INT_PTR)SE_ERR_NOASSOC, Open("./notes.txt", nullptr, "print"));
    EXPECT_EQ((INT_PTR)ERROR_BAD_FORMAT, Open("./notes.txt", nullptr));
    EXPECT_EQ((INT_PTR)SE_ERR_PNF, Open("x.exe", nullptr, "open", "/nonexistent/folder"));
    EXPECT_EQ("", m_scratch.LogText()); // nothing was started
}

TEST_F(ShellExecuteTest, StartedProgramIsDetachedSilentAndReaped)
{
    // The program reports its session and standard output, and writes to both streams.
    std::string report = m_scratch.Path("report.txt");
    std::string script = "#!/bin/sh\n"
                         "echo out; echo err >&2\n"
                         "set -- $(sed 's/^.*) //' /proc/$$/stat)\n"
                         "echo \"$$ $4 $(readlink /proc/$$/fd/1)\" > '" + report + ".tmp'\n"
                         "mv '" + report + ".tmp' '" + report + "'\n";
    WriteFile(m_scratch.Path("probe.sh"), script, 0755);

    ASSERT_GT(Open("./probe.sh", nullptr, "open", m_scratch.Path("").c_str()), 32);
    std::string text = CShellScratch::WaitForText(report);
    std::istringstream in(text);
    long pid = 0, session = 0;
    std::string out;
    in >> pid >> session >> out;
    EXPECT_NE((long)getsid(0), session);
    EXPECT_EQ(pid, session); // its own session's leader, without a terminal
    EXPECT_EQ("/dev/null", out);
    // Once it has ended nothing of it remains.
    PollUntil([&] { return kill((pid_t)pid, 0) != 0; }, 10000);
    EXPECT_NE(0, kill((pid_t)pid, 0));
    EXPECT_EQ(0, CountZombieChildren());
}

TEST_F(ShellExecuteTest, AnsiPathsAndArgumentsReachTheProgramAsFileNameText)
{
    // The client's text is GBK; file names and arguments on this system are UTF-8.
    std::string folder = m_scratch.Path(CCodePage::AnsiToUtf8("下载"));
    mkdir(folder.c_str(), 0755);
    WriteFile(folder + "/run.sh", "#!/bin/sh\necho \"$1\" > '" + m_scratch.Path("args.out") + "'\n", 0755);

    ASSERT_GT(Open("./下载/run.sh", "\"运单 标签\""), 32);
    EXPECT_EQ(CCodePage::AnsiToUtf8("运单 标签") + "\n", CShellScratch::WaitForText(m_scratch.Path("args.out")));
}

TEST_F(ShellExecuteTest, WorkingFolderWithWindowsSeparators)
{
    mkdir(m_scratch.Path("sub").c_str(), 0755);
    WriteFile(m_scratch.Path("sub/run.sh"), "#!/bin/sh\npwd > here.txt\n", 0755);
    ASSERT_GT(Open("run.sh", nullptr, "open", ".\\sub\\"), 32);
    char real[4096];
    ASSERT_TRUE(realpath(m_scratch.Path("sub").c_str(), real));
    EXPECT_EQ(std::string(real) + "\n", CShellScratch::WaitForText(m_scratch.Path("sub/here.txt")));
}

TEST_F(ShellExecuteTest, WinExecRunsCmdCommandsHidden)
{
    // The updater's start: "cmd /c " followed by the downloaded program's path.
    mkdir(m_scratch.Path("Update").c_str(), 0755);
    std::string updater = m_scratch.Path("Update/updater.sh");
    WriteFile(updater, "#!/bin/sh\necho started > '" + m_scratch.Path("updater.out") + "'\n", 0644);

    std::string cmd = "cmd /c ./Update/updater.sh";
    UINT r = WinExec(cmd.c_str(), SW_HIDE);
    EXPECT_GT(r, 31u);
    EXPECT_EQ("started\n", CShellScratch::WaitForText(m_scratch.Path("updater.out")));
    EXPECT_EQ("/bin/sh ./Update/updater.sh\n", m_scratch.LogText());

    EXPECT_EQ((UINT)ERROR_FILE_NOT_FOUND, WinExec("cmd /c ./Update/missing.exe", SW_HIDE));
    EXPECT_EQ((UINT)ERROR_FILE_NOT_FOUND, WinExec("", SW_HIDE));
    EXPECT_EQ((UINT)ERROR_FILE_NOT_FOUND, WinExec(nullptr, SW_HIDE));
    EXPECT_EQ(0, CountZombieChildren());
}
} // namespace

namespace
{
TEST(ShellGhostscriptTest, LabelPrintFormRunsTheRealGhostscript)
{
    // The label print starts "./gswin32c.exe" from the working folder, which holds no such
    // file: the machine's gs runs with the arguments as Windows would split them.
    CShellScratch scratch;
    setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
    WriteFile(scratch.Path("label.ps"), "%!PS\n<< /PageSize [288 432] >> setpagedevice showpage\n", 0644);
    mkdir(scratch.Path("out dir").c_str(), 0755);
    std::string pdf = scratch.Path("out dir/label.pdf");
    std::string params = "-dNOPAUSE -dBATCH -q -sDEVICE=pdfwrite -sOutputFile=\"" + pdf + "\" \"label.ps\"";
    ASSERT_GT((INT_PTR)ShellExecute(nullptr, nullptr, "./gswin32c.exe", params.c_str(), nullptr, SW_HIDE), 32);

    // gs writes the file as it goes: wait for its end marker.
    std::string text;
    PollUntil([&] { return (text = ReadFile(pdf)).find("%%EOF") != std::string::npos; }, 20000, 20);
    EXPECT_EQ(0u, text.find("%PDF-"));
    EXPECT_NE(std::string::npos, text.find("%%EOF"));
    std::string log = scratch.LogText();
    EXPECT_EQ("gs -dNOPAUSE", log.substr(log.rfind('/', log.find(' ')) + 1, 12));
}
} // namespace
