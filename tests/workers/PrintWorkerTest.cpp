// The label-print worker: the size texts, the queue limit, the file name and the signed address,
// a real print from devnet's label into the CUPS PDF queue, the failures, and two requests that
// take their turns.
#include "WorkersEnvironment.h"

#include <clocale>
#include <functional>
#include <cstdio>
#include <sys/stat.h>
#include <set>
#include <thread>
#include <unistd.h>
#include "CodePage.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "KernelObject.h"
#include "NetTestUtil.h"
#include "PollWait.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "PrintWaybillThread.h"
#include "TestFiles.h"

namespace
{
std::string LogText()
{
    return ::LogText(WorkFolder());
}

std::string LabelFolder()
{
    std::string folder = COptionCtrl::GetOptionData().GetTempPathA().str();
    return folder.substr(0, folder.size() - 1);
}

class PrintWorkerTest : public CWorkerDevnetTest
{
protected:
    void SetUp() override
    {
        CWorkerDevnetTest::SetUp();
        if (HasFatalFailure())
            return;
        UseLabelUrl(s_devnet->Url("labelpdf"));
        theApp.m_printQueue.RemoveAll();
        m_nLogStart = LogText().size();
    }
    void TearDown() override
    {
        // No worker outlives its test.
        EXPECT_TRUE(WaitFor([] { return !TurnIsHeld() && theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 20000));
        CWorkerTest::TearDown();
    }

    static void UseLabelUrl(const std::string& url) { COptionCtrl().SetServerUrlInfo("", "", "", url.c_str(), "", ""); }

    bool WaitForResults(size_t nCount, DWORD dwTimeout = 30000)
    {
        return WaitFor([&] { return m_host.PrintResults().size() >= nCount; }, dwTimeout);
    }

    // What this test has logged.
    std::string TestLog() const { return LogText().substr(m_nLogStart); }

    size_t m_nLogStart = 0;
};

TEST(LabelSizeTest, SizeTextsGiveWidthAndHeight)
{
    const struct
    {
        const char* pszSize;
        float fWidth;
        float fHeight;
    } cases[] = {
        { "4*6", 4.0f, 6.0f },
        // Only the first eight bytes count: "100.5*15".
        { "100.5*150.5", 100.5f, 15.0f },
        { "*6", 6.0f, 0.0f },
        { "4", 4.0f, 0.0f },
        { "4*8", 4.0f, 8.0f },
        { "3.9*5.5", 3.9f, 5.5f },
        { "**4*6", 4.0f, 6.0f },
        { " 4 * 6", 4.0f, 6.0f },
        { "4*6cm", 4.0f, 6.0f },
        // No width at all: a 0 x 0 label rather than a failure.
        { "", 0.0f, 0.0f },
        { "***", 0.0f, 0.0f },
        { nullptr, 0.0f, 0.0f },
        // Only decimal numbers are read.
        { "inf*nan", 0.0f, 0.0f },
        { "0x10*6", 0.0f, 6.0f },
    };
    for (const auto& c : cases)
    {
        float fWidth = -1.0f;
        float fHeight = -1.0f;
        ParseLabelSize(c.pszSize, fWidth, fHeight);
        EXPECT_FLOAT_EQ(c.fWidth, fWidth) << (c.pszSize ? c.pszSize : "(null)");
        EXPECT_FLOAT_EQ(c.fHeight, fHeight) << (c.pszSize ? c.pszSize : "(null)");
    }
}

TEST(LabelSizeTest, DecimalPointWhateverTheLocale)
{
    // A desktop whose numbers use a decimal comma, as GTK takes it over at start.
    const std::string strLocales = WorkFolder() + "/locales";
    mkdir(strLocales.c_str(), 0755);
    if (system(("localedef -i de_DE -f UTF-8 '" + strLocales + "/de_DE.UTF-8' >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "no de_DE locale source";
    setenv("LOCPATH", strLocales.c_str(), 1);
    const std::string strBefore = setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(nullptr, setlocale(LC_NUMERIC, "de_DE.UTF-8"));
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    ParseLabelSize("10.5*3.9", fWidth, fHeight);
    setlocale(LC_NUMERIC, strBefore.c_str());
    unsetenv("LOCPATH");
    EXPECT_FLOAT_EQ(10.5f, fWidth);
    EXPECT_FLOAT_EQ(3.9f, fHeight);
}

TEST(LabelFileTest, GuidFieldsArePaddedWithBlanks)
{
    const GUID guid = { 0x1A2B, 0xC, 0xBEEF, { 0x00, 0x0A, 0xFF, 0x10, 0x01, 0x02, 0x30, 0x4D } };
    EXPECT_STREQ("    1A2B   CBEEF 0 AFF10 1 2304D.TMP", FormatLabelFileName(guid));
    const GUID full = { 0xDEADBEEF, 0x1234, 0x5678, { 0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78 } };
    EXPECT_STREQ("DEADBEEF123456789ABCDEF012345678.TMP", FormatLabelFileName(full));
}

TEST(LabelFileTest, AddressCarriesTheOrderNumberAndItsSignature)
{
    // Upper-case MD5 hex of "123vorn_plack_edsu".
    EXPECT_STREQ("http://web/kesta/print/mail_label_pdf.php?orderno=123&jmm=374CA1D14C53068BF7E5AF975BF54836",
                 BuildLabelUrl("http://web/kesta/print/mail_label_pdf.php?orderno=", "123"));
}

TEST_F(PrintWorkerTest, QueueIsEmptiedOnlyAboveAHundredEntries)
{
    // Nothing answers: the workers fail fast and report it.
    UseLabelUrl("http://127.0.0.1:1/label?orderno=");
    for (int i = 0; i < PRINT_QUEUE_LIMIT; ++i)
    {
        ORDER_PRINT_INFO info;
        info.strOrderNo.Format("OLD%d", i);
        theApp.m_printQueue.Add(info);
    }
    EXPECT_EQ(100, StartLabelPrint("Q101", "4*6"));
    EXPECT_EQ(101, theApp.m_printQueue.GetSize());
    // The queue is emptied under the first worker: it still prints its own label.
    EXPECT_EQ(0, StartLabelPrint("Q1", "4*8"));
    ASSERT_EQ(1, theApp.m_printQueue.GetSize());
    EXPECT_STREQ("Q1", theApp.m_printQueue[0].strOrderNo);
    EXPECT_FLOAT_EQ(4.0f, theApp.m_printQueue[0].fWidth);
    EXPECT_FLOAT_EQ(8.0f, theApp.m_printQueue[0].fHeight);

    ASSERT_TRUE(WaitForResults(2));
    std::set<std::string> orders;
    for (const auto& result : m_host.PrintResults())
    {
        orders.insert(result.strOrderNo);
        EXPECT_EQ(PRINT_RESULT_DOWNLOAD_FAILED, result.strResult);
    }
    EXPECT_EQ((std::set<std::string>{ "Q101", "Q1" }), orders);
}

TEST_F(PrintWorkerTest, PrintsTheSignedLabelIntoThePdfQueue)
{
    const std::string strOrder = "VKP" + std::to_string(getpid()) + "A";
    std::set<std::string> queueBefore = FolderEntries(QueueFolder());
    std::set<std::string> labelsBefore = FolderEntries(LabelFolder());
    bool bWaitShown = false;
    m_host.m_onPrintResult = [&](const CWorkerHost::PRINT_RESULT&) {
        // The wait dialog stands while the page is told.
        bWaitShown = ::IsWindowVisible(theApp.m_waitDlg.GetSafeHwnd()) != FALSE;
    };

    StartLabelPrint(strOrder.c_str(), "4*6");
    ASSERT_TRUE(WaitForResults(1));
    EXPECT_EQ(strOrder, m_host.PrintResults()[0].strOrderNo);
    EXPECT_EQ(PRINT_RESULT_OK, m_host.PrintResults()[0].strResult);
    EXPECT_TRUE(bWaitShown);
    EXPECT_TRUE(WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }));
    EXPECT_EQ("", MessageBoxLog());

    // The label is kept in the label folder under its GUID name.
    std::string strLabel;
    for (const std::string& name : FolderEntries(LabelFolder()))
        if (!labelsBefore.count(name))
            strLabel = name;
    ASSERT_EQ(36u, strLabel.size()) << strLabel;
    EXPECT_EQ(".TMP", strLabel.substr(32));
    EXPECT_EQ(std::string::npos, strLabel.substr(0, 32).find_first_not_of(" 0123456789ABCDEF")) << strLabel;
    EXPECT_EQ(0u, ReadFile(LabelFolder() + "/" + strLabel).find("%PDF-"));

    std::string strUrl = BuildLabelUrl(s_devnet->Url("labelpdf").c_str(), strOrder.c_str()).GetString();
    EXPECT_NE(std::string::npos, s_devnet->Log().find("label: orderno=" + strOrder + " jmm=" +
                                                      strUrl.substr(strUrl.size() - 32) + " (good)"));

    // Every step is in the log.
    const std::string strLog = TestLog();
    const std::string strPath = LabelFolder() + "/" + strLabel;
    for (const std::string& line : { "开始下载运单：" + strOrder, "开始下载运单" + strPath + ", url=" + strUrl,
                                     std::string("下载时间为："), std::string("下载成功！"), "开始打印运单：" + strPath,
                                     std::string("printPDF 返回成功！"), std::string("打印成功！"),
                                     std::string("总时间为：") })
        EXPECT_NE(std::string::npos, strLog.find(line)) << line;

    // The queue gets the label at its size.
    std::string strPrinted;
    EXPECT_TRUE(WaitFor([&] { return !(strPrinted = FindPrintedLabel(queueBefore, strOrder)).empty(); }, 30000));
    ASSERT_FALSE(strPrinted.empty()) << "no job of " << strOrder << " came out of the queue";
    EXPECT_NE(std::string::npos, RunText("pdfinfo '" + strPrinted + "'").find("Page size:       288 x 432 pts"));
    unlink(strPrinted.c_str());
}

TEST_F(PrintWorkerTest, RefusedLabelIsADownloadFailureForThePageAndTheOperator)
{
    // An address that no longer ends in "orderno=": the service sees another order number than
    // the signed one and answers its error page.
    UseLabelUrl(s_devnet->Url("labelpdf") + "X");
    std::set<std::string> labelsBefore = FolderEntries(LabelFolder());
    StartLabelPrint("VKF1", "4*6");
    ASSERT_TRUE(WaitForResults(1));
    EXPECT_EQ("VKF1", m_host.PrintResults()[0].strOrderNo);
    EXPECT_EQ(PRINT_RESULT_DOWNLOAD_FAILED, m_host.PrintResults()[0].strResult);
    EXPECT_TRUE(WaitFor([] { return MessageBoxLog().find("\t" + Utf8(u8"文件下载失败！")) != std::string::npos; }));
    EXPECT_NE(std::string::npos, s_devnet->Log().find("label: orderno=XVKF1 jmm="));
    EXPECT_EQ(labelsBefore, FolderEntries(LabelFolder()));
    EXPECT_NE(std::string::npos, TestLog().find("下载失败！"));
    EXPECT_EQ(std::string::npos, TestLog().find("开始打印运单："));
}

TEST_F(PrintWorkerTest, ALabelFolderNotTheUsersAloneGetsNoLabel)
{
    const std::string folder = LabelFolder();
    const std::string kept = folder + ".kept";
    const struct
    {
        const char* name;
        std::function<void()> spoil;
        std::function<void()> mend;
        bool bPrinted;
    } cases[] = {
        {"a symbolic link to a folder of another",
         [&] {
             ASSERT_EQ(0, rename(folder.c_str(), kept.c_str()));
             mkdir((WorkFolder() + "/foreign").c_str(), 0777);
             ASSERT_EQ(0, symlink((WorkFolder() + "/foreign").c_str(), folder.c_str()));
         },
         [&] {
             unlink(folder.c_str());
             rename(kept.c_str(), folder.c_str());
         },
         false},
        {"another user's folder",
         [&] { ASSERT_EQ(0, chown(folder.c_str(), geteuid() + 4242, getegid())) << "needs root"; },
         [&] { ASSERT_EQ(0, chown(folder.c_str(), geteuid(), getegid())); }, false},
        // The user's own folder that others may read is made private again, then used.
        {"the user's folder open to others", [&] { chmod(folder.c_str(), 0755); }, [] {}, true},
    };
    int n = 0;
    for (const auto& c : cases)
    {
        c.spoil();
        if (HasFatalFailure())
            return;
        const size_t nResults = m_host.PrintResults().size();
        const size_t nBoxes = MessageBoxLog().size();
        const size_t nLogStart = LogText().size();
        const std::string order = "VKD" + std::to_string(n++);
        StartLabelPrint(order.c_str(), "4*8");
        const bool bDone = WaitForResults(nResults + 1);
        const std::string log = LogText().substr(nLogStart);
        struct stat st = {};
        const bool bPrivateAfter = lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & 077) == 0;
        c.mend();
        ASSERT_TRUE(bDone) << c.name;
        const bool bAsked = s_devnet->Log().find("label: orderno=" + order + " ") != std::string::npos;
        if (c.bPrinted)
        {
            EXPECT_EQ(PRINT_RESULT_OK, m_host.PrintResults()[nResults].strResult) << c.name;
            EXPECT_TRUE(bAsked) << c.name;
            EXPECT_TRUE(bPrivateAfter) << c.name;
        }
        else
        {
            // The failure of a download, with its message box, and the reason in the log.
            EXPECT_EQ(PRINT_RESULT_DOWNLOAD_FAILED, m_host.PrintResults()[nResults].strResult) << c.name;
            EXPECT_TRUE(WaitFor([&] {
                return MessageBoxLog().find("\t" + Utf8(u8"文件下载失败！"), nBoxes) != std::string::npos;
            })) << c.name;
            EXPECT_NE(std::string::npos, log.find("运单下载目录不是本用户私有的：" + folder + "/")) << c.name << log;
            EXPECT_FALSE(bAsked) << c.name;
            EXPECT_EQ(std::set<std::string>{}, FolderEntries(WorkFolder() + "/foreign")) << c.name;
        }
        EXPECT_TRUE(WaitFor([] { return !TurnIsHeld() && theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 20000));
    }
}

TEST_F(PrintWorkerTest, NoDefaultPrinterIsAPrintFailure)
{
    setenv("CUPS_SERVER", (WorkFolder() + "/no-cupsd.sock").c_str(), 1);
    StartLabelPrint("VKN1", "4*6");
    bool bDone = WaitForResults(1);
    unsetenv("CUPS_SERVER");
    ASSERT_TRUE(bDone);
    EXPECT_EQ(PRINT_RESULT_PRINT_FAILED, m_host.PrintResults()[0].strResult);
    EXPECT_TRUE(WaitFor([] { return MessageBoxLog().find("\t" + Utf8(u8"打印失败！")) != std::string::npos; }));
    EXPECT_NE(std::string::npos, MessageBoxLog().find("\t" + Utf8(u8"无法获取默认打印机信息！")));
    EXPECT_NE(std::string::npos, TestLog().find("printPDF 返回失败！"));
}

TEST_F(PrintWorkerTest, TwoQuickRequestsTakeTurnsAndTheFailureBoxHoldsTheTurn)
{
    // The first one's address is cut at "#": the service refuses it, and the operator gets a real
    // box to close.
    unsetenv("PARVEL_MSGBOX_AUTO");
    const std::string strSecond = "VKT" + std::to_string(getpid()) + "B";
    std::set<std::string> queueBefore = FolderEntries(QueueFolder());
    auto secondAsked = [&] { return s_devnet->Log().find("label: orderno=" + strSecond) != std::string::npos; };
    bool bSecondAskedAtFirstResult = true;
    bool bTurnHeldAtFirstResult = false;
    m_host.m_onPrintResult = [&](const CWorkerHost::PRINT_RESULT& result) {
        if (result.strOrderNo == "T#1")
        {
            bSecondAskedAtFirstResult = secondAsked();
            bTurnHeldAtFirstResult = TurnIsHeld();
        }
    };

    // The box runs in a nested loop of the GUI thread: the operator is a thread of its own.
    std::atomic<bool> bBoxSeen{ false };
    std::atomic<bool> bHeldWhileBox{ false };
    std::atomic<bool> bSecondAskedWhileBox{ true };
    std::atomic<bool> bClosed{ false };
    std::thread operatorThread([&] {
        bBoxSeen = PollUntil([] { return MessageBoxLog().find(Utf8(u8"文件下载失败！")) != std::string::npos; }, 15000, 50);
        std::string strBox = MessageBoxLog();
        std::string strCaption = strBox.substr(0, strBox.find('\t'));
        bool bShown = Xdotool("search --sync --onlyvisible --name '^" + strCaption + "$'");
        // While the box stands, the second waits for its turn: for half a second it is not asked.
        usleep(500000);
        bHeldWhileBox = bShown && TurnIsHeld();
        bSecondAskedWhileBox = secondAsked();
        bClosed = Xdotool("search --sync --onlyvisible --name '^" + strCaption + "$' windowfocus --sync key Return");
    });

    StartLabelPrint("T#1", "4*6");
    EXPECT_TRUE(WaitFor([&] { return s_devnet->Log().find("label: orderno=T jmm=") != std::string::npos; }));
    StartLabelPrint(strSecond.c_str(), "4*6");
    bool bBoth = WaitForResults(2, 40000);
    operatorThread.join();
    ASSERT_TRUE(bBoth);
    EXPECT_TRUE(bBoxSeen);
    EXPECT_FALSE(bSecondAskedAtFirstResult);
    EXPECT_TRUE(bTurnHeldAtFirstResult);
    EXPECT_TRUE(bHeldWhileBox) << MessageBoxLog();
    EXPECT_FALSE(bSecondAskedWhileBox);
    EXPECT_TRUE(bClosed);
    EXPECT_EQ("T#1", m_host.PrintResults()[0].strOrderNo);
    EXPECT_EQ(PRINT_RESULT_DOWNLOAD_FAILED, m_host.PrintResults()[0].strResult);
    EXPECT_TRUE(secondAsked());
    EXPECT_EQ(strSecond, m_host.PrintResults()[1].strOrderNo);
    EXPECT_EQ(PRINT_RESULT_OK, m_host.PrintResults()[1].strResult);
    setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);

    std::string strPrinted;
    EXPECT_TRUE(WaitFor([&] { return !(strPrinted = FindPrintedLabel(queueBefore, strSecond)).empty(); }, 30000));
    if (!strPrinted.empty())
        unlink(strPrinted.c_str());
}
// A label service that hangs, cuts the PDF or resets: the page and the operator hear of a failed
// download, no label file stays behind and nothing is printed; the window answers all along.
TEST_F(PrintWorkerTest, ABrokenLabelServiceIsADownloadFailureAndPrintsNothing)
{
    setenv("NETVANE_TIMEOUT", "2", 1);
    for (const char* mode : {"hang", "cut", "reset"})
    {
        SCOPED_TRACE(mode);
        const size_t nResults = m_host.PrintResults().size();
        const size_t nBoxes = MessageBoxLog().size();
        const std::string strOrder = std::string("VKB") + mode;
        std::set<std::string> labelsBefore = FolderEntries(LabelFolder());
        std::set<std::string> queueBefore = FolderEntries(QueueFolder());
        {
            CDevnetProcess faulty({"--fault", std::string("labelpdf:") + mode});
            ASSERT_TRUE(faulty.IsReady()) << faulty.Log();
            UseLabelUrl(faulty.Url("labelpdf"));
            CGuiAnswerProbe probe;
            StartLabelPrint(strOrder.c_str(), "4*6");
            ASSERT_TRUE(WaitForResults(nResults + 1));
            EXPECT_NE(faulty.Log().find(std::string("fault ") + mode + ": GET /kesta/print/mail_label_pdf.php"),
                      std::string::npos) << faulty.Log();
            EXPECT_TRUE(WaitFor([] { return !TurnIsHeld(); }, 10000));
            EXPECT_LT(probe.Longest(), 100) << "the window did not answer for this long (ms)";
        }
        EXPECT_EQ(strOrder, m_host.PrintResults()[nResults].strOrderNo);
        EXPECT_EQ(PRINT_RESULT_DOWNLOAD_FAILED, m_host.PrintResults()[nResults].strResult);
        EXPECT_NE(MessageBoxLog().find("\t" + Utf8(u8"文件下载失败！"), nBoxes), std::string::npos);
        EXPECT_EQ(labelsBefore, FolderEntries(LabelFolder()));
        EXPECT_EQ(FindPrintedLabel(queueBefore, strOrder), "");
        setenv("NETVANE_CA_FILE", s_devnet->CaPath().c_str(), 1);
    }
    UseLabelUrl(s_devnet->Url("labelpdf"));
    unsetenv("NETVANE_TIMEOUT");
}
}  // namespace
