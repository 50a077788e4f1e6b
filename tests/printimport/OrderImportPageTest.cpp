// Orders imported from a business page: the page's button, the file chooser answered with a typed
// path, the upload in a new tab with its validation and "data=" body as devnet's import service
// received them, the progress dots and the completion text; cancel, a file that does not parse, a
// second import refused, and an empty payload.
#include "PageRoadEnvironment.h"

#include <filesystem>
#include "CodePage.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "ImportOrderThread.h"
#include "MD5.h"
#include "NetTestUtil.h"
#include "ParvelApp.h"
#include "ParvelView.h"
#include "TestFiles.h"

namespace
{
const std::string kData = PRINTIMPORT_TEST_DATA;

class OrderImportPageTest : public CPageRoadTest
{
protected:
    static bool ImportEnded() { return WaitFor([] { return theApp.m_bImporting == 0; }, 30000); }

    static std::string Sheet(const std::string& strName)
    {
        const std::string strPath = WorkFolder() + "/" + strName;
        std::filesystem::copy_file(kData + "/" + strName, strPath, std::filesystem::copy_options::overwrite_existing);
        return strPath;
    }

    static std::string Md5(const std::string& text)
    {
        MD5Context context;
        MD5Init(context, text);
        return MD5HexDigest(context);
    }
};

TEST_F(OrderImportPageTest, SheetReachesTheImportServiceInANewTab)
{
    const std::string strPath = Sheet("orders.xls");
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    const int nPages = PageCount();
    const size_t nLogStart = Devnet().Log().size();

    std::string strPayload;
    std::string strPaneDuring;
    RoadFrame()->m_onImportDone = [&] {
        strPayload = theApp.m_strImportData.GetString();
        // The progress dots run on while the worker waits here for the upload.
        WaitFor([] { return ProgressPaneText().rfind("运单导入中.", 0) == 0; }, 3000);
        strPaneDuring = ProgressPaneText();
    };
    ASSERT_TRUE(ClickPageButton(pView, "import"));
    {
        // The click reaches the page in its own time: the import has begun once the chooser
        // has been answered.
        CChooserAnswer answer(strPath);
        ASSERT_TRUE(answer.Ok());
        ASSERT_TRUE(ImportEnded());
    }
    ASSERT_EQ(1, RoadFrame()->ImportReports());
    ASSERT_FALSE(strPayload.empty());
    EXPECT_EQ(std::string::npos,
              strPayload.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%"));
    const std::string strProgress = "运单导入中";
    EXPECT_EQ(0u, strPaneDuring.rfind(strProgress + ".", 0)) << CCodePage::AnsiToUtf8(strPaneDuring);
    EXPECT_EQ(std::string::npos, strPaneDuring.find_first_not_of('.', strProgress.size()));
    EXPECT_EQ("运单导入完毕！", ProgressPaneText());
    EXPECT_STREQ("", theApp.m_strImportData);

    // The upload's page, in a tab of its own.
    EXPECT_EQ(nPages + 1, PageCount());
    CParvelView* pUpload = ActivePage();
    ASSERT_TRUE(pUpload);
    ASSERT_NE(pView, pUpload);
    const std::string strUrl = Devnet().Url("import") + "?sid=SID4711&version=1.0&type=json&validation=" + Md5(strPayload);
    ASSERT_TRUE(WaitFor([&] {
        return pUpload->GetReadyState() == READYSTATE_COMPLETE &&
               PageEval(pUpload, "document.getElementById('check') ? 'y' : ''") == "y";
    }, 20000));
    EXPECT_EQ(strUrl, std::string(pUpload->GetLocationURL().GetString()));
    EXPECT_EQ(Utf8(u8"校验通过"), PageEval(pUpload, "document.getElementById('check').textContent"));
    EXPECT_EQ("data=" + strPayload, PageEval(pUpload, "document.getElementById('body').textContent"));
    const std::string strOrders = PageEval(pUpload, "document.getElementById('orders').textContent");
    EXPECT_NE(std::string::npos, strOrders.find(Utf8(u8"张三"))) << strOrders;
    EXPECT_NE(std::string::npos, strOrders.find("9876543210987"));
    // The header row and the two orders.
    EXPECT_EQ("3", PageEval(pUpload, "document.getElementById('lines').textContent"));
    const std::string strLog = Devnet().Log().substr(nLogStart);
    EXPECT_NE(std::string::npos, strLog.find("import: sid=SID4711 version=1.0 type=json validation good")) << strLog;
    EXPECT_EQ("", MessageBoxLog());
}

// An import service that hangs, cuts or resets: the import still ends and says it is done, its
// upload opens its tab, and the window answers while the upload waits or fails.
TEST_F(OrderImportPageTest, ABrokenImportServiceStillEndsTheImportWithTheWindowAnswering)
{
    const std::string strPath = Sheet("orders.xls");
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    for (const char* mode : {"hang", "cut", "reset"})
    {
        SCOPED_TRACE(mode);
        CDevnetProcess faulty({"--fault", std::string("import:") + mode});
        ASSERT_TRUE(faulty.IsReady()) << faulty.Log();
        UseServices(Devnet().Url("labelpdf"), faulty.Url("import"));
        const int nPages = PageCount();
        const int nReports = RoadFrame()->ImportReports();
        {
            CGuiAnswerProbe probe;
            ASSERT_TRUE(ClickPageButton(pView, "import"));
            {
                CChooserAnswer answer(strPath);
                ASSERT_TRUE(answer.Ok());
                ASSERT_TRUE(ImportEnded());
            }
            EXPECT_EQ(nReports + 1, RoadFrame()->ImportReports());
            EXPECT_TRUE(WaitFor([&] {
                return faulty.Log().find(std::string("fault ") + mode + ": POST /kesta/order/import.php") !=
                       std::string::npos;
            }, 20000)) << faulty.Log();
            // The upload is held, cut or refused: the window keeps answering meanwhile.
            probe.Restart();
            ASSERT_TRUE(WaitFor([&] { return probe.Answers() >= 25; }, 10000));
            EXPECT_LT(probe.Longest(), 100) << "the window did not answer for this long (ms)";
        }
        EXPECT_EQ("运单导入完毕！", ProgressPaneText());
        EXPECT_STREQ("", theApp.m_strImportData);
        EXPECT_EQ(nPages + 1, PageCount());
        CloseAllPages();
        pView = OpenBusinessPage();
        ASSERT_TRUE(pView);
        setenv("NETVANE_CA_FILE", Devnet().CaPath().c_str(), 1);
    }
    UseServices(Devnet().Url("labelpdf"), Devnet().Url("import"));
}

TEST_F(OrderImportPageTest, SecondImportIsRefusedWhileTheFirstRuns)
{
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    RunInPage(pView, "document.getElementById('result').textContent = window.external.importOrder() + ' ' +"
                     " window.external.importOrder();");
    CChooserAnswer answer("");
    EXPECT_TRUE(WaitFor([&] { return PageResult(pView) == "true false"; }, 20000)) << PageResult(pView);
    EXPECT_NE(std::string::npos, MessageBoxLog().find("\t" + Utf8(u8"当前正在进行导入操作，请稍候再试！")))
        << MessageBoxLog();
    ASSERT_TRUE(ImportEnded());
    EXPECT_TRUE(answer.Ok());
    EXPECT_EQ(0, RoadFrame()->ImportReports());
}

TEST_F(OrderImportPageTest, CancelLeavesNothingBehind)
{
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    const std::string strPane = ProgressPaneText();
    const int nPages = PageCount();
    for (int i = 0; i < 2; ++i)
    {
        PageEval(pView, "document.getElementById('result').textContent = ''");
        RunInPage(pView, "document.getElementById('result').textContent = window.external.importOrder();");
        CChooserAnswer answer("");
        ASSERT_TRUE(WaitFor([&] { return PageResult(pView) == "true"; }, 20000)) << i << PageResult(pView);
        ASSERT_TRUE(ImportEnded());
        EXPECT_TRUE(answer.Ok());
    }
    EXPECT_EQ(0, RoadFrame()->ImportReports());
    EXPECT_EQ(nPages, PageCount());
    EXPECT_EQ(strPane, ProgressPaneText());
    EXPECT_EQ(nullptr, theApp.m_waitDlg.GetSafeHwnd());
    EXPECT_EQ("", MessageBoxLog());
}

TEST_F(OrderImportPageTest, FileThatDoesNotParseUploadsNothing)
{
    const std::string strPath = WorkFolder() + "/not-a-sheet.xls";
    WriteFile(strPath, "order,name\n1,Zhang\n");
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    RoadFrame()->m_wndStatusBar.SetPaneText(2, "");
    const int nPages = PageCount();
    const size_t nLogStart = Devnet().Log().size();
    ASSERT_TRUE(ClickPageButton(pView, "import"));
    {
        // The click reaches the page in its own time: the import has begun once the chooser
        // has been answered.
        CChooserAnswer answer(strPath);
        ASSERT_TRUE(answer.Ok());
        ASSERT_TRUE(ImportEnded());
    }
    EXPECT_EQ(0, RoadFrame()->ImportReports());
    EXPECT_EQ(nPages, PageCount());
    EXPECT_EQ(std::string::npos, Devnet().Log().substr(nLogStart).find("import:"));
    EXPECT_NE("运单导入完毕！", ProgressPaneText());
    EXPECT_TRUE(WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }));
    // A new import can start at once.
    RunInPage(pView, "document.getElementById('result').textContent = window.external.importOrder();");
    CChooserAnswer answer("");
    EXPECT_TRUE(WaitFor([&] { return PageResult(pView) == "true"; }, 20000)) << PageResult(pView);
    EXPECT_TRUE(ImportEnded());
}

TEST_F(OrderImportPageTest, EmptyPayloadUploadsNothingAndStillSaysDone)
{
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    RoadFrame()->m_wndStatusBar.SetPaneText(2, "运单导入中..");
    const int nPages = PageCount();
    const size_t nLogStart = Devnet().Log().size();
    theApp.m_strImportData.Empty();
    RoadFrame()->SendMessage(WM_IMPORT_DONE, 0, 0);
    Pump(300);
    EXPECT_EQ(nPages, PageCount());
    EXPECT_EQ(pView, ActivePage());
    EXPECT_EQ(std::string::npos, Devnet().Log().substr(nLogStart).find("import:"));
    EXPECT_EQ("运单导入完毕！", ProgressPaneText());
}
TEST_F(OrderImportPageTest, DoneTextOutlastsTheProgressTicks)
{
    // The worker's timer still runs when its report arrives; it stops it only afterwards.
    RoadFrame()->SetTimer(TIMER_IMPORT_PROGRESS, 200, nullptr);
    theApp.m_strImportData.Empty();
    RoadFrame()->SendMessage(WM_IMPORT_DONE, 0, 0);
    // Over two tick periods nothing may write over the done text.
    Pump(450);
    EXPECT_EQ("运单导入完毕！", ProgressPaneText());
    EXPECT_FALSE(RoadFrame()->KillTimer(TIMER_IMPORT_PROGRESS));
}
}  // namespace
