// A label asked for by a business page: the print button's label in the CUPS PDF queue and
// "print_complete" in the active tab, a refused download for the page and the operator, the page
// in front told rather than the one that asked, no page at all, two labels in turns, the size
// texts and the queue limit as the page's calls leave them.
#include "PageRoadEnvironment.h"

#include <map>
#include <set>
#include <unistd.h>
#include "CodePage.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "NetTestUtil.h"
#include "ParvelApp.h"
#include "ParvelView.h"
#include "PrintWaybillThread.h"

namespace
{
class LabelPrintPageTest : public CPageRoadTest
{
protected:
    static std::string Order(const char* pszTag) { return "VKP" + std::to_string(getpid()) + pszTag; }

    static bool Asked(const std::string& strOrder)
    {
        return Devnet().Log().find("label: orderno=" + strOrder + " ") != std::string::npos;
    }

    static void SetLabelFields(CHtmlView* pView, const std::string& strOrder, const std::string& strSize)
    {
        PageEval(pView, "document.getElementById('order').value = '" + strOrder +
                            "'; document.getElementById('size').value = '" + strSize + "'; ''");
    }

    // The page calls printMailLable itself and keeps its answer.
    static void PrintFromPage(CHtmlView* pView, const std::string& strOrder, const std::string& strSize)
    {
        PageEval(pView, "window.printAnswer = ''; ''");
        RunInPage(pView, "window.printAnswer = String(window.external.printMailLable('" + strOrder + "', '" +
                             strSize + "'));");
    }

    static std::string PrintAnswer(CHtmlView* pView) { return PageEval(pView, "window.printAnswer"); }

    bool WaitForReports(size_t nCount, DWORD dwTimeout = 40000)
    {
        return WaitFor([&] { return RoadFrame()->PrintReports().size() >= nCount; }, dwTimeout);
    }
};

TEST_F(LabelPrintPageTest, PrintButtonPutsTheLabelInTheQueueAndTellsThePage)
{
    const struct
    {
        const char* pszSize;
        const char* pszPageSize;
    } cases[] = { { "4*6", "288 x 432 pts" }, { "4*8", "288 x 576 pts" } };
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    for (const auto& c : cases)
    {
        const std::string strOrder = Order(c.pszSize[2] == '6' ? "S6" : "S8");
        const std::set<std::string> queueBefore = FolderEntries(QueueFolder());
        const size_t nReports = RoadFrame()->PrintReports().size();
        SetLabelFields(pView, strOrder, c.pszSize);
        ASSERT_TRUE(ClickPageButton(pView, "print"));

        const std::string strExpected = strOrder + " " + Utf8(u8"成功！") + " TRUE";
        EXPECT_TRUE(WaitFor([&] { return PageResult(pView) == strExpected; }, 40000))
            << c.pszSize << ": " << PageResult(pView);
        ASSERT_EQ(nReports + 1, RoadFrame()->PrintReports().size());
        EXPECT_NE(std::string::npos, Devnet().Log().find("label: orderno=" + strOrder + " jmm="));
        EXPECT_NE(std::string::npos, Devnet().Log().find(strOrder + " jmm=" +
                                                         std::string(BuildLabelUrl("", strOrder.c_str())).substr(
                                                             strOrder.size() + 5) + " (good)"));

        std::string strPrinted;
        EXPECT_TRUE(WaitFor([&] { return !(strPrinted = FindPrintedLabel(queueBefore, strOrder)).empty(); }, 30000))
            << "no job of " << strOrder << " came out of the queue";
        if (!strPrinted.empty())
        {
            EXPECT_EQ(c.pszPageSize, PdfPageSize(strPrinted)) << c.pszSize;
            unlink(strPrinted.c_str());
        }
    }
    EXPECT_EQ("", MessageBoxLog());
}

TEST_F(LabelPrintPageTest, RefusedDownloadReachesThePageAndTheOperator)
{
    // The address no longer ends in "orderno=": the service checks another order number than the
    // signed one and answers its error page.
    UseServices(Devnet().Url("labelpdf") + "X", "");
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    const std::string strOrder = Order("F");
    SetLabelFields(pView, strOrder, "4*6");
    ASSERT_TRUE(ClickPageButton(pView, "print"));
    const std::string strExpected = strOrder + " " + Utf8(u8"文件下载失败！") + " FALSE";
    EXPECT_TRUE(WaitFor([&] { return PageResult(pView) == strExpected; }, 30000)) << PageResult(pView);
    EXPECT_NE(std::string::npos, Devnet().Log().find("label: orderno=X" + strOrder + " jmm=")) << Devnet().Log();
    EXPECT_TRUE(WaitFor([] { return MessageBoxLog().find("\t" + Utf8(u8"文件下载失败！")) != std::string::npos; }))
        << MessageBoxLog();
}

TEST_F(LabelPrintPageTest, ThePageInFrontIsTold)
{
    CParvelView* pAsking = OpenBusinessPage("order_input");
    ASSERT_TRUE(pAsking);
    CParvelView* pFront = OpenBusinessPage("label_print");
    ASSERT_TRUE(pFront);
    ASSERT_EQ(pFront, ActivePage());
    const std::string strOrder = Order("A");
    PrintFromPage(pAsking, strOrder, "4*8");
    ASSERT_TRUE(WaitForReports(1));
    const std::string strExpected = strOrder + " " + Utf8(u8"成功！") + " TRUE";
    EXPECT_TRUE(WaitFor([&] { return PageResult(pFront) == strExpected; })) << PageResult(pFront);
    EXPECT_EQ("true", PrintAnswer(pAsking));
    EXPECT_EQ("", PageResult(pAsking));
}

TEST_F(LabelPrintPageTest, WithoutAPageNothingIsCalled)
{
    // The last tab closes only while the main window is hidden.
    RoadFrame()->ShowWindow(SW_HIDE);
    CloseAllPages();
    EXPECT_EQ(0, PageCount());
    EXPECT_EQ(nullptr, ActivePage());
    StartLabelPrint(Order("N").c_str(), "4*8");
    EXPECT_TRUE(WaitForReports(1));
    EXPECT_TRUE(WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr && !TurnIsHeld(); }));
    RoadFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    ASSERT_EQ(1u, RoadFrame()->PrintReports().size());
    EXPECT_EQ(PRINT_RESULT_OK, RoadFrame()->PrintReports()[0].strResult);
    EXPECT_EQ("", MessageBoxLog());
}

TEST_F(LabelPrintPageTest, TwoQuickRequestsPrintOneAfterTheOther)
{
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    RecordPrintCompletes(pView);
    const std::string strFirst = Order("T1");
    const std::string strSecond = Order("T2");
    const std::set<std::string> queueBefore = FolderEntries(QueueFolder());
    // Whether the other label had been asked for when each one's result came.
    std::map<std::string, bool> otherAsked;
    RoadFrame()->m_onPrintResult = [&](const CRoadFrame::PRINT_REPORT& report) {
        otherAsked[report.strOrderNo] = Asked(report.strOrderNo == strFirst ? strSecond : strFirst);
    };
    RunInPage(pView, "window.external.printMailLable('" + strFirst + "', '4*6');"
                     " window.external.printMailLable('" + strSecond + "', '4*6');");
    ASSERT_TRUE(WaitForReports(2));
    const std::vector<CRoadFrame::PRINT_REPORT> reports = RoadFrame()->PrintReports();
    ASSERT_EQ(2u, reports.size());
    // The workers take their turns in no set order; the one that went first printed alone, and
    // the other asked for its label only after the first had given back the turn.
    EXPECT_TRUE(reports[0].bTurnHeld && reports[1].bTurnHeld);
    EXPECT_FALSE(otherAsked[reports[0].strOrderNo]);
    EXPECT_TRUE(otherAsked[reports[1].strOrderNo]);
    const std::string strOk = " " + Utf8(u8"成功！") + " TRUE";
    EXPECT_TRUE(WaitFor([&] { return RecordedPrintCompletes(pView).size() == 2; }));
    EXPECT_EQ((std::vector<std::string>{ reports[0].strOrderNo + strOk, reports[1].strOrderNo + strOk }),
              RecordedPrintCompletes(pView));
    for (const std::string& strOrder : { strFirst, strSecond })
    {
        std::string strPrinted;
        EXPECT_TRUE(WaitFor([&] { return !(strPrinted = FindPrintedLabel(queueBefore, strOrder)).empty(); }, 30000))
            << strOrder;
        if (!strPrinted.empty())
            unlink(strPrinted.c_str());
    }
}

TEST_F(LabelPrintPageTest, SizeTextsAsThePageGivesThem)
{
    // Nothing answers: the labels fail fast; only what the page's calls queued matters here.
    UseServices("http://127.0.0.1:1/label?orderno=", "");
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    const struct
    {
        const char* pszSize;
        float fWidth;
        float fHeight;
    } cases[] = { { "4*6", 4.0f, 6.0f }, { "100.5*150.5", 100.5f, 15.0f }, { "*6", 6.0f, 0.0f }, { "4", 4.0f, 0.0f } };
    int i = 0;
    for (const auto& c : cases)
    {
        const std::string strOrder = "Z" + std::to_string(i);
        PrintFromPage(pView, strOrder, c.pszSize);
        ASSERT_TRUE(WaitFor([&] { return theApp.m_printQueue.GetSize() == i + 1; })) << c.pszSize;
        EXPECT_EQ("true", PrintAnswer(pView));
        const ORDER_PRINT_INFO& info = theApp.m_printQueue[i];
        EXPECT_STREQ(strOrder.c_str(), info.strOrderNo);
        EXPECT_FLOAT_EQ(c.fWidth, info.fWidth) << c.pszSize;
        EXPECT_FLOAT_EQ(c.fHeight, info.fHeight) << c.pszSize;
        ++i;
    }
    EXPECT_TRUE(WaitForReports(4));
}

TEST_F(LabelPrintPageTest, QueueIsEmptiedOnlyAboveAHundredEntries)
{
    UseServices("http://127.0.0.1:1/label?orderno=", "");
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    for (int i = 0; i < PRINT_QUEUE_LIMIT; ++i)
    {
        ORDER_PRINT_INFO info;
        info.strOrderNo.Format("OLD%d", i);
        theApp.m_printQueue.Add(info);
    }
    PrintFromPage(pView, "Q101", "4*6");
    ASSERT_TRUE(WaitFor([] { return theApp.m_printQueue.GetSize() == 101; }));
    EXPECT_STREQ("Q101", theApp.m_printQueue[100].strOrderNo);
    PrintFromPage(pView, "Q1", "4*8");
    ASSERT_TRUE(WaitFor([] { return theApp.m_printQueue.GetSize() == 1; }));
    EXPECT_STREQ("Q1", theApp.m_printQueue[0].strOrderNo);
    EXPECT_FLOAT_EQ(8.0f, theApp.m_printQueue[0].fHeight);
    // The worker of the emptied entry still reports its own order.
    ASSERT_TRUE(WaitForReports(2));
    std::set<std::string> orders;
    for (const auto& report : RoadFrame()->PrintReports())
        orders.insert(report.strOrderNo);
    EXPECT_EQ((std::set<std::string>{ "Q101", "Q1" }), orders);
}
}  // namespace
