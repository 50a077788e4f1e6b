// The download and label-print services: the Ghostscript command lines, a printer or path that
// holds shell characters, no default printer, the print window after a page-offset print, a real
// print into the CUPS PDF queue, and downloads from devnet.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include "AfxWin.h"
#include "CodePage.h"
#include "DevnetProcess.h"
#include "ClientEnvironment.h"
#include "GuiWait.h"
#include "KernelObject.h"
#include "OptionCtrl.h"
#include "Process.h"
#include "ProgramTable.h"
#include "Scrivo.h"
#include "Services.h"
#include "TestFiles.h"
#include "X11Window.h"

namespace
{
std::string g_strFolder;

// No printer named by the environment: the default printer comes from CUPS.
class CPrintingEnvironment : public CClientEnvironment
{
public:
    CPrintingEnvironment() : CClientEnvironment("printing_tests", "parvel-printing") {}
    void SetUp() override
    {
        unsetenv("LPDEST");
        unsetenv("PRINTER");
        CClientEnvironment::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        g_strFolder = Folder();
        mkdir("stubs", 0755);
        mkdir("log", 0755);
        COptionCtrl().SetPathInfo((g_strFolder + "/Parvel").c_str());
        Scrivo::setLogPath("./log/");
        Scrivo::setLogLevel(8);
        Scrivo::init("Parvel_printing");
    }
};
const ::testing::Environment* const s_env = ::testing::AddGlobalTestEnvironment(new CPrintingEnvironment);

// PrintPdfFile runs on the label-print worker: run it on a thread while the GUI thread serves.
BOOL PrintOnWorker(CWinApp* pApp, const char* pszPath, float fWidth, float fHeight, DWORD* pdwMs = nullptr)
{
    std::atomic<bool> bDone{ false };
    BOOL bResult = FALSE;
    DWORD dwStart = GetTickCount();
    std::thread worker([&] {
        bResult = PrintPdfFile(pApp, pszPath, fWidth, fHeight);
        bDone = true;
    });
    EXPECT_TRUE(WaitFor([&] { return bDone.load(); }, 20000));
    worker.join();
    if (pdwMs)
        *pdwMs = GetTickCount() - dwStart;
    return bResult;
}

std::string LastShellStart()
{
    std::string log = ReadFile(g_strFolder + "/shell.log");
    if (!log.empty() && log.back() == '\n')
        log.pop_back();
    size_t nl = log.rfind('\n');
    return nl == std::string::npos ? log : log.substr(nl + 1);
}

class CPathRestorer
{
public:
    CPathRestorer() : m_strSavedPath(getenv("PATH") ? getenv("PATH") : "") {}
    ~CPathRestorer() { setenv("PATH", m_strSavedPath.c_str(), 1); }

private:
    std::string m_strSavedPath;
};

// Ghostscript is a stand-in here that logs what it was given; PATH finds it first.
class CStubGhostscript
{
public:
    CStubGhostscript()
    {
        m_strSavedPath = getenv("PATH") ? getenv("PATH") : "";
        WriteFile(g_strFolder + "/stubs/gs", "#!/bin/sh\nexit 0\n", 0755);
        setenv("PATH", (g_strFolder + "/stubs:" + m_strSavedPath).c_str(), 1);
        unlink((g_strFolder + "/shell.log").c_str());
    }
    ~CStubGhostscript() { setenv("PATH", m_strSavedPath.c_str(), 1); }

private:
    std::string m_strSavedPath;
};

TEST(PrintingTest, GhostscriptParametersForTheLabelSizes)
{
    const struct { float w, h; const char* pszExpected; } cases[] = {
        { 4.0f, 8.0f,
          "-dFIXEDMEDIA -dDEVICEWIDTHPOINTS=288 -dDEVICEHEIGHTPOINTS=576  -dNoCancel -dNOPAUSE -dBATCH -q  "
          "-sDEVICE=pdfwrite  -sOutputFile=\"%pipe%lp -d \\\"PDF\\\" -o media=Custom.288x576\" \"/tmp/a b/label.pdf\"" },
        { 4.0f, 6.0f,
          "-dFIXEDMEDIA -dDEVICEWIDTHPOINTS=288 -dDEVICEHEIGHTPOINTS=432  -dNoCancel -dNOPAUSE -dBATCH -q  "
          "-sDEVICE=pdfwrite  -sOutputFile=\"%pipe%lp -d \\\"PDF\\\" -o media=Custom.288x432\" "
          "-c \"<</PageOffset [0 6]>> setpagedevice\" -f \"/tmp/a b/label.pdf\"" },
        { 3.9f, 6.0f,
          "-dFIXEDMEDIA -dDEVICEWIDTHPOINTS=281 -dDEVICEHEIGHTPOINTS=432  -dNoCancel -dNOPAUSE -dBATCH -q  "
          "-sDEVICE=pdfwrite  -sOutputFile=\"%pipe%lp -d \\\"PDF\\\" -o media=Custom.281x432\" "
          "-c \"<</PageOffset [0 6]>> setpagedevice\" -f \"/tmp/a b/label.pdf\"" },
        // Only 8 inches within a hundred-thousandth prints without the offset.
        { 4.0f, 7.9999f,
          "-dFIXEDMEDIA -dDEVICEWIDTHPOINTS=288 -dDEVICEHEIGHTPOINTS=576  -dNoCancel -dNOPAUSE -dBATCH -q  "
          "-sDEVICE=pdfwrite  -sOutputFile=\"%pipe%lp -d \\\"PDF\\\" -o media=Custom.288x576\" "
          "-c \"<</PageOffset [0 6]>> setpagedevice\" -f \"/tmp/a b/label.pdf\"" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszExpected, FormatGhostscriptParameters(c.w, c.h, "PDF", "/tmp/a b/label.pdf"))
            << c.w << " x " << c.h;
}

TEST(PrintingTest, PrinterAndPathWithShellCharactersStayOneArgumentEach)
{
    const std::string printer = "P\"r$(touch pwned)`x`\\%d;'q";
    const std::string path = "/tmp/x\"y\\\" $(z)/标签\\.pdf";
    CString strParameters = FormatGhostscriptParameters(4.0f, 6.0f, printer, path);
    std::vector<std::string> args = CProgramTable::SplitCommandLine(strParameters);
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(path, args.back());
    EXPECT_EQ("-f", args[args.size() - 2]);
    std::string output;
    for (const std::string& arg : args)
        if (arg.rfind("-sOutputFile=", 0) == 0)
            output = arg.substr(13);
    // The shell gets the name inside double quotes with nothing left to expand; Ghostscript
    // turns "%%" back into "%".
    EXPECT_EQ("%pipe%lp -d \"P\\\"r\\$(touch pwned)\\`x\\`\\\\%%d;'q\" -o media=Custom.288x432", output);
}

TEST(PrintingTest, GbkTrailBytesAreNoEscapes)
{
    // "乗" ends in 0x5C, "刞" in 0x60: they are halves of characters, not a backslash or a backquote.
    const std::string printer = "标签乗刞机";
    const std::string path = "/tmp/标签乗";
    std::vector<std::string> args =
        CProgramTable::SplitCommandLine(FormatGhostscriptParameters(4.0f, 8.0f, printer, path));
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(path, args.back());
    bool bFound = false;
    for (const std::string& arg : args)
        if (arg == "-sOutputFile=%pipe%lp -d \"" + printer + "\" -o media=Custom.288x576")
            bFound = true;
    EXPECT_TRUE(bFound) << FormatGhostscriptParameters(4.0f, 8.0f, printer, path).GetString();
}

TEST(PrintingTest, ThePipeReachesTheQueueWithTheNameAsGiven)
{
    // The real Ghostscript, and an lp stand-in that writes down its arguments.
    CPathRestorer restorer;
    std::string stubs = g_strFolder + "/lpstub";
    mkdir(stubs.c_str(), 0755);
    WriteFile(stubs + "/lp",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + g_strFolder + "/lp.args'\ncat > '" +
                  g_strFolder + "/lp.data'\n",
              0755);
    setenv("PATH", (stubs + ":/usr/bin:/bin").c_str(), 1);
    std::string pdf = g_strFolder + "/in \"quoted\" $(x).pdf";
    ASSERT_EQ(0, system(("gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile='" + pdf +
                         "' -c '<< /PageSize [288 432] >> setpagedevice showpage'").c_str()));

    const std::string printer = "Q\"$(touch pwned)`touch pwned2`%d";
    CString strParameters = FormatGhostscriptParameters(4.0f, 6.0f, printer, CCodePage::Utf8ToAnsi(pdf));
    std::string command = "gswin32c.exe " + std::string(strParameters);
    std::vector<std::string> argv;
    ASSERT_EQ((DWORD)ERROR_SUCCESS,
              CProgramTable::ResolveCommand(CProgramTable::SplitCommandLine(command.c_str()), "", argv));
    pid_t pid = 0;
    ASSERT_EQ((DWORD)ERROR_SUCCESS, CProcessLauncher::Start(argv, "", false, &pid));
    int status = 0;
    for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(50000);

    EXPECT_EQ("-d\n" + printer + "\n-o\nmedia=Custom.288x432\n", ReadFile(g_strFolder + "/lp.args"));
    EXPECT_EQ(0u, ReadFile(g_strFolder + "/lp.data").find("%PDF-"));
    struct stat st;
    EXPECT_NE(0, stat("pwned", &st));
    EXPECT_NE(0, stat("pwned2", &st));
}

TEST(PrintingTest, NoDefaultPrinterShowsTheMessageAndStartsNothing)
{
    CStubGhostscript gs;
    unlink((g_strFolder + "/msgbox.log").c_str());
    setenv("CUPS_SERVER", (g_strFolder + "/no-cupsd.sock").c_str(), 1);
    BOOL bResult = PrintOnWorker(nullptr, "/tmp/label.pdf", 4.0f, 6.0f);
    unsetenv("CUPS_SERVER");
    EXPECT_FALSE(bResult);
    std::string boxes = CCodePage::Utf8ToAnsi(ReadFile(g_strFolder + "/msgbox.log"));
    EXPECT_NE(std::string::npos, boxes.find("\t无法获取默认打印机信息！")) << boxes;
    EXPECT_EQ("", ReadFile(g_strFolder + "/shell.log"));
}

// A top-level window standing for the print window of a printer driver.
class CPrintWindow : public CWnd
{
public:
    std::atomic<int> m_nOkCommands{ 0 };

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == IDOK && lParam == 0)
            ++m_nOkCommands;
        return TRUE;
    }
};

class PrintWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "Parvel main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                    nullptr, nullptr));
        ASSERT_TRUE(m_print.CreateEx(0, nullptr, PRINT_WINDOW_CAPTION, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200,
                                     100, nullptr, nullptr));
        // A bottom window, so the print window is never the last one of the walk.
        ASSERT_TRUE(m_bottom.CreateEx(0, nullptr, "bottom", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 90, 90, 100, 100,
                                      nullptr, nullptr));
        m_bottom.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        // The walk sees the windows once the X server has them.
        ASSERT_TRUE(WaitFor([&] { return ::FindWindow(nullptr, PRINT_WINDOW_CAPTION) == m_print.GetSafeHwnd(); }));
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_bottom.DestroyWindow();
        m_print.DestroyWindow();
        m_main.DestroyWindow();
    }

    CWinApp m_app;
    CWnd m_main;
    CPrintWindow m_print;
    CWnd m_bottom;
    CStubGhostscript m_gs;
};

TEST_F(PrintWindowTest, PageOffsetPrintWaitsAndConfirmsThePrintWindow)
{
    DWORD dwMs = 0;
    EXPECT_TRUE(PrintOnWorker(&m_app, "/tmp/label 4x6.pdf", 4.0f, 6.0f, &dwMs));
    EXPECT_GE(dwMs, 500u);
    EXPECT_EQ(1, m_print.m_nOkCommands.load());
    // Minimised: iconic, or unmapped where no window manager keeps icons.
    EXPECT_TRUE(WaitFor([&] {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        ::GetWindowPlacement(m_print.GetSafeHwnd(), &wp);
        return m_print.IsIconic() || !m_print.IsWindowVisible() || wp.showCmd == SW_SHOWMINIMIZED;
    }, 3000));

    std::string start = LastShellStart();
    EXPECT_NE(std::string::npos, start.find("gs -dFIXEDMEDIA -dDEVICEWIDTHPOINTS=288 -dDEVICEHEIGHTPOINTS=432 "))
        << start;
    EXPECT_NE(std::string::npos,
              start.find("\"-sOutputFile=%pipe%lp -d \\\"PDF\\\" -o media=Custom.288x432\" -c "
                         "\"<</PageOffset [0 6]>> setpagedevice\" -f \"/tmp/label 4x6.pdf\""))
        << start;
}

TEST_F(PrintWindowTest, EightInchPrintLooksForNoWindow)
{
    DWORD dwMs = 0;
    EXPECT_TRUE(PrintOnWorker(&m_app, "/tmp/label.pdf", 4.0f, 8.0f, &dwMs));
    EXPECT_LT(dwMs, 500u);
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(0, m_print.m_nOkCommands.load());
    EXPECT_FALSE(m_print.IsIconic());
    std::string start = LastShellStart();
    EXPECT_NE(std::string::npos, start.find("-dDEVICEWIDTHPOINTS=288 -dDEVICEHEIGHTPOINTS=576 ")) << start;
    EXPECT_EQ(std::string::npos, start.find("PageOffset")) << start;
}

std::string RunText(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r"))
    {
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// The label comes from devnet's label service, as the print worker fetches it.
TEST(RealPrintTest, FourBySixLabelLandsInThePdfQueueAt288x432)
{
    CDevnetProcess devnet({ "--quiet" });
    ASSERT_TRUE(devnet.IsReady());
    std::string pdf = g_strFolder + "/label-4x6.pdf";
    ASSERT_TRUE(DownloadFile((devnet.Url("labelpdf") + "PV2026&jmm=X").c_str(), pdf.c_str(), nullptr, nullptr));

    const std::string outFolder = std::string(getenv("HOME") ? getenv("HOME") : "/root") + "/PDF";
    std::set<std::string> before = FolderEntries(outFolder);
    EXPECT_TRUE(PrintOnWorker(nullptr, pdf.c_str(), 4.0f, 6.0f));

    std::string newFile;
    WaitFor([&] {
        for (const std::string& name : FolderEntries(outFolder))
            if (!before.count(name))
                newFile = name;
        return !newFile.empty() && RunText("pdfinfo '" + outFolder + "/" + newFile + "' 2>/dev/null").find("Pages:") !=
                                       std::string::npos;
    }, 30000);
    ASSERT_FALSE(newFile.empty()) << "nothing came out of the queue";
    std::string info = RunText("pdfinfo '" + outFolder + "/" + newFile + "'");
    EXPECT_NE(std::string::npos, info.find("Page size:       288 x 432 pts")) << info;
    unlink((outFolder + "/" + newFile).c_str());
}

int CountCalls(void* pContext, double dTotal, double dDone)
{
    auto* pCalls = static_cast<std::vector<std::pair<double, double>>*>(pContext);
    pCalls->emplace_back(dTotal, dDone);
    return 0;
}

TEST(DownloadFileTest, FetchesTheFileWithProgress)
{
    CDevnetProcess devnet({ "--quiet" });
    ASSERT_TRUE(devnet.IsReady());
    std::vector<std::pair<double, double>> calls;
    std::string local = g_strFolder + "/file.bin";
    ASSERT_TRUE(DownloadFile((devnet.Url("http") + "/devnet/file?size=50000&chunk=5000&delay_ms=5").c_str(),
                             local.c_str(), &CountCalls, &calls));
    std::string data = ReadFile(local);
    ASSERT_EQ(50000u, data.size());
    EXPECT_EQ('a', data[0]);
    EXPECT_EQ('a' + 25 % 26, data[25]);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(50000.0, calls.back().first);
    EXPECT_EQ(50000.0, calls.back().second);
}

TEST(DownloadFileTest, FailureIsLoggedWithPathAndAddress)
{
    CDevnetProcess devnet({ "--quiet" });
    ASSERT_TRUE(devnet.IsReady());
    std::string url = devnet.Url("http") + "/devnet/status?code=404";
    EXPECT_FALSE(DownloadFile(url.c_str(), "./missing.bin", nullptr, nullptr));
    struct stat st;
    EXPECT_NE(0, stat("missing.bin", &st));
    std::string logs;
    for (const std::string& name : FolderEntries(g_strFolder + "/log"))
        logs += ReadFile(g_strFolder + "/log/" + name);
    EXPECT_NE(std::string::npos, logs.find("./missing.bin下载失败:" + url)) << logs;
}
}  // namespace
