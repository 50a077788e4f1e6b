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
#include "Printer.h"
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

TEST(PrintingTest, GhostscriptArgumentsForTheLabelSizes)
{
    const std::vector<std::string> head = { "-dFIXEDMEDIA", "-dNoCancel", "-dNOPAUSE", "-dBATCH", "-q",
                                            "-sstdout=%stderr", "-sDEVICE=pdfwrite", "-sOutputFile=-" };
    const std::vector<std::string> offset = { "-c", "<</PageOffset [0 6]>> setpagedevice", "-f" };
    const struct { float w, h; const char* pszWidth; const char* pszHeight; bool bOffset; } cases[] = {
        { 4.0f, 8.0f, "-dDEVICEWIDTHPOINTS=288", "-dDEVICEHEIGHTPOINTS=576", false },
        { 4.0f, 6.0f, "-dDEVICEWIDTHPOINTS=288", "-dDEVICEHEIGHTPOINTS=432", true },
        { 3.9f, 6.0f, "-dDEVICEWIDTHPOINTS=281", "-dDEVICEHEIGHTPOINTS=432", true },
        // Only 8 inches within a hundred-thousandth prints without the offset.
        { 4.0f, 7.9999f, "-dDEVICEWIDTHPOINTS=288", "-dDEVICEHEIGHTPOINTS=576", true },
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> expected = head;
        expected.insert(expected.begin() + 1, { c.pszWidth, c.pszHeight });
        if (c.bOffset)
            expected.insert(expected.end(), offset.begin(), offset.end());
        expected.push_back("/tmp/a b/label.pdf");
        EXPECT_EQ(expected, GhostscriptArguments(c.w, c.h, "/tmp/a b/label.pdf")) << c.w << " x " << c.h;
    }
    // A relative path cannot pass for a switch, an argument file or a device.
    for (const char* pszPath : { "-x.pdf", "@list", "%pipe%touch pwned", "label.pdf" })
        EXPECT_EQ("./" + std::string(pszPath), GhostscriptArguments(4.0f, 8.0f, pszPath).back());
}

// A label PDF of 4 x 6 inches, made by the real Ghostscript.
std::string MakeLabelPdf()
{
    std::string pdf = g_strFolder + "/in \"quoted\" $(x).pdf";
    if (!FileExists(pdf))
    {
        EXPECT_EQ(0, system(("gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile='" + pdf +
                             "' -c '<< /PageSize [288 432] >> setpagedevice showpage'").c_str()));
    }
    return pdf;
}

// The real Ghostscript, and an lp stand-in on PATH that writes down its arguments and input.
class CLpStub
{
public:
    CLpStub()
    {
        std::string stubs = g_strFolder + "/lpstub";
        mkdir(stubs.c_str(), 0755);
        WriteFile(stubs + "/lp",
                  "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + g_strFolder +
                      "/lp.args.tmp'\ncat > '" + g_strFolder + "/lp.data.tmp'\nmv '" + g_strFolder + "/lp.args.tmp' '" +
                      g_strFolder + "/lp.args'\nmv '" + g_strFolder + "/lp.data.tmp' '" + g_strFolder + "/lp.data'\n",
                  0755);
        setenv("PATH", (stubs + ":/usr/bin:/bin").c_str(), 1);
        Reset();
    }
    void Reset()
    {
        unlink((g_strFolder + "/lp.args").c_str());
        unlink((g_strFolder + "/lp.data").c_str());
    }
    // What lp got, once it has read its whole input.
    bool Wait(std::string& args, std::string& data)
    {
        bool bDone = WaitFor([] { return FileExists(g_strFolder + "/lp.data"); }, 20000);
        args = ReadFile(g_strFolder + "/lp.args");
        data = ReadFile(g_strFolder + "/lp.data");
        return bDone;
    }

private:
    CPathRestorer m_restorer;
};

TEST(PrintingTest, HostilePrinterNamesReachLpAsOneArgumentAndRunNothing)
{
    CLpStub lp;
    std::string pdf = MakeLabelPdf();
    // Names that would run "touch pwned" if any shell read them; GBK characters whose trail
    // byte is a backslash (0x81 0x5C) or a backquote (0x81 0x60); a lone lead byte at the end.
    const std::string names[] = {
        "P\\\";touch pwned;\"\\",
        "P`touch pwned`",
        "P$(touch pwned)${IFS}$HOME",
        "P\";touch pwned;\"",
        "P';touch pwned;'",
        "P;touch pwned;",
        "P|touch pwned",
        "P%d%s%%",
        "\x81\x5C\";touch pwned;\"",
        "\x81\x60touch${IFS}pwned;\x81\x60",
        "\x81\x5C'\x81\x5C`touch pwned`\x81\x60",
        "P;touch pwned;\x81",
    };
    for (const std::string& name : names)
    {
        lp.Reset();
        std::vector<std::string> gs = GhostscriptArguments(4.0f, 6.0f, CCodePage::Utf8ToAnsi(pdf));
        gs.insert(gs.begin(), "gswin32c.exe");
        ASSERT_EQ((DWORD)ERROR_SUCCESS, StartPrintingOutput(gs, name.c_str(), 288.0, 432.0));
        std::string args, data;
        ASSERT_TRUE(lp.Wait(args, data)) << name;
        EXPECT_EQ("-d\n" + CCodePage::AnsiToUtf8(name) + "\n-o\nmedia=Custom.288x432\n", args) << name;
        EXPECT_EQ(0u, data.find("%PDF-")) << name;
        EXPECT_NE(std::string::npos, data.find("%%EOF")) << name;
        EXPECT_FALSE(FileExists("pwned")) << name;
    }
}

TEST(PrintingTest, DefaultPrinterNamedToRunACommandRunsNothing)
{
    CLpStub lp;
    std::string pdf = MakeLabelPdf();
    // CUPS takes the default printer from PRINTER before it asks the scheduler.
    const std::string printer = CCodePage::AnsiToUtf8("乣touch${IFS}pwned;乣");
    setenv("PRINTER", printer.c_str(), 1);
    BOOL bResult = PrintOnWorker(nullptr, CCodePage::Utf8ToAnsi(pdf).c_str(), 4.0f, 8.0f);
    unsetenv("PRINTER");
    EXPECT_TRUE(bResult);
    std::string args, data;
    ASSERT_TRUE(lp.Wait(args, data));
    EXPECT_EQ("-d\n" + printer + "\n-o\nmedia=Custom.288x576\n", args);
    EXPECT_EQ(0u, data.find("%PDF-"));
    EXPECT_FALSE(FileExists("pwned"));
}

TEST(PrintingTest, MissingLpOrGhostscriptStartsNothing)
{
    CPathRestorer restorer;
    setenv("PATH", (g_strFolder + "/empty-path").c_str(), 1);
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, StartPrintingOutput({ "gswin32c.exe", "-v" }, "PDF", 288.0, 432.0));
    setenv("PATH", "/usr/bin:/bin", 1);
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, StartPrintingOutput({ "./nothing-here.exe" }, "PDF", 288.0, 432.0));
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
    EXPECT_NE(std::string::npos, start.find(" -sOutputFile=- -c \"<</PageOffset [0 6]>> setpagedevice\" -f "
                                            "\"/tmp/label 4x6.pdf\" | "))
        << start;
    EXPECT_NE(std::string::npos, start.find("/lp -d PDF -o media=Custom.288x432")) << start;
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

// The label comes from devnet's label service, as the print worker fetches it.
TEST(RealPrintTest, LabelsLandInThePdfQueueAtTheirSize)
{
    CDevnetProcess devnet({ "--quiet" });
    ASSERT_TRUE(devnet.IsReady());
    std::string pdf = g_strFolder + "/label-4x6.pdf";
    // The signature of "PV2026" followed by "vorn_plack_edsu".
    ASSERT_TRUE(DownloadFile((devnet.Url("labelpdf") + "PV2026&jmm=AE12DC5C6D05A9A0DBAE47A2B47B9E7D").c_str(),
                             pdf.c_str(), nullptr, nullptr));

    const std::string outFolder = std::string(getenv("HOME") ? getenv("HOME") : "/root") + "/PDF";
    // With the page offset, and the plain 8-inch form.
    const struct { float fHeight; const char* pszSize; } cases[] = { { 6.0f, "288 x 432 pts" }, { 8.0f, "288 x 576 pts" } };
    for (const auto& c : cases)
    {
        std::set<std::string> before = FolderEntries(outFolder);
        EXPECT_TRUE(PrintOnWorker(nullptr, pdf.c_str(), 4.0f, c.fHeight));

        std::string newFile;
        WaitFor([&] {
            for (const std::string& name : FolderEntries(outFolder))
                if (!before.count(name))
                    newFile = name;
            return !newFile.empty() && RunText("pdfinfo '" + outFolder + "/" + newFile + "' 2>/dev/null")
                                               .find("Pages:") != std::string::npos;
        }, 30000);
        ASSERT_FALSE(newFile.empty()) << "nothing came out of the queue for 4 x " << c.fHeight;
        std::string info = RunText("pdfinfo '" + outFolder + "/" + newFile + "'");
        EXPECT_NE(std::string::npos, info.find(std::string("Page size:       ") + c.pszSize)) << info;
        unlink((outFolder + "/" + newFile).c_str());
    }
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
