// The order-import worker: the payload's packing, an import through the real file chooser that
// reaches devnet's import service, cancel, a file that does not parse, and the one-at-a-time rule.
#include "WorkersEnvironment.h"

#include <filesystem>
#include <thread>
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "ImportOrderThread.h"
#include "MD5.h"
#include "NetTestUtil.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "TestFiles.h"

namespace
{
const std::string kData = WORKERS_TEST_DATA;

class ImportWorkerTest : public CWorkerDevnetTest
{
protected:
    void SetUp() override
    {
        CWorkerDevnetTest::SetUp();
        if (HasFatalFailure())
            return;
        COptionCtrl().SetServerUrlInfo("", "", "", "", s_devnet->Url("import").c_str(), "");
        COptionCtrl().SetUserInfo("demo", "SID4711", "TGT-1");
    }
    void TearDown() override
    {
        EXPECT_TRUE(WaitFor([] { return theApp.m_bImporting == 0 && theApp.m_waitDlg.GetSafeHwnd() == nullptr; },
                            20000));
        CWorkerTest::TearDown();
    }

    static bool ImportEnded() { return WaitFor([] { return theApp.m_bImporting == 0; }, 30000); }

    // The upload the main window makes of a payload.
    static REQUEST_RESULT Upload(const std::string& strPayload)
    {
        MD5Context context;
        MD5Update(context, strPayload.data(), (unsigned int)strPayload.size());
        CNetvane net;
        net.AddParam("data", strPayload.c_str());
        return Post(net, s_devnet->Url("import") + "?sid=SID4711&version=1.0&type=json&validation=" +
                             MD5HexDigest(context));
    }

};

TEST(ImportPayloadTest, AnsiThenBase64ThenUrlEncoded)
{
    const struct
    {
        const char* pszText;  // UTF-8
        const char* pszPayload;
    } cases[] = {
        { "abc", "YWJj" },
        { "ab", "YWI%3D" },
        { ">>>", "Pj4%2B" },
        { "?>?", "Pz4%2F" },
        // GBK bytes D6 D0 CE C4.
        { (const char*)u8"中文", "1tDOxA%3D%3D" },
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszPayload, PackImportData(c.pszText)) << c.pszText;
}

TEST_F(ImportWorkerTest, OrdersReachTheImportServiceThroughTheFileChooser)
{
    const std::string strPath = WorkFolder() + "/orders.xls";
    std::filesystem::copy_file(kData + "/orders.xls", strPath, std::filesystem::copy_options::overwrite_existing);

    REQUEST_RESULT reply;
    std::string strWaitText = "(no wait dialog)";
    int nImportingDuring = -1;
    int nTicksDuring = 0;
    m_host.m_onImportDone = [&](const std::string& strPayload) {
        nImportingDuring = theApp.m_bImporting;
        if (HWND hWait = theApp.m_waitDlg.GetSafeHwnd())
        {
            char szText[64] = "";
            ::GetWindowText(hWait, szText, sizeof(szText));
            strWaitText = szText;
        }
        // The progress timer ticks while the worker waits here.
        int nBefore = m_host.ImportProgressTicks();
        WaitFor([&] { return m_host.ImportProgressTicks() >= nBefore + 2; }, 3000);
        nTicksDuring = m_host.ImportProgressTicks() - nBefore;
        reply = Upload(strPayload);
    };

    ASSERT_TRUE(StartOrderImport());
    EXPECT_EQ(1, theApp.m_bImporting);
    {
        CChooserAnswer answer(strPath);
        // A second import while the first one's chooser is open is refused.
        EXPECT_FALSE(StartOrderImport());
        EXPECT_NE(std::string::npos, MessageBoxLog().find("\t" + Utf8(u8"当前正在进行导入操作，请稍候再试！")));
        ASSERT_TRUE(ImportEnded());
        EXPECT_TRUE(answer.Ok());
    }

    ASSERT_EQ(1u, m_host.ImportPayloads().size());
    const std::string strPayload = m_host.ImportPayloads()[0];
    EXPECT_EQ(std::string::npos, strPayload.find_first_not_of(
                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%"));
    EXPECT_EQ(1, nImportingDuring);
    // The wait dialog stands during the upload; it takes the text once it is visible.
    EXPECT_TRUE(strWaitText == "数据上传中" || strWaitText == "") << strWaitText;
    EXPECT_GE(nTicksDuring, 2);
    EXPECT_STREQ("", theApp.m_strImportData);
    EXPECT_TRUE(WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }));
    // The timer is stopped.
    int nTicks = m_host.ImportProgressTicks();
    Pump(500);
    EXPECT_EQ(nTicks, m_host.ImportProgressTicks());

    // The service finds the validation right and reads the sheet back.
    ASSERT_TRUE(reply.hasReply);
    EXPECT_NE(std::string::npos, reply.text.find("<p id=\"check\">" + Utf8(u8"校验通过") + "</p>")) << reply.text;
    EXPECT_NE(std::string::npos, reply.text.find("<p id=\"sid\">SID4711</p>"));
    EXPECT_NE(std::string::npos, reply.text.find(Utf8(u8"张三")));
    EXPECT_NE(std::string::npos, reply.text.find("9876543210987"));
    EXPECT_NE(std::string::npos, reply.text.find(Utf8(u8"第一行\\n第二行")));
    std::string strLog;
    for (const std::string& name : FolderEntries(WorkFolder() + "/log"))
        strLog += ReadFile(WorkFolder() + "/log/" + name);
    EXPECT_NE(std::string::npos, strLog.find("导入订单：" + strPath));
}

TEST_F(ImportWorkerTest, CancelLeavesNothingBehind)
{
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_TRUE(StartOrderImport()) << i;
        CChooserAnswer answer("");
        ASSERT_TRUE(ImportEnded());
        EXPECT_TRUE(answer.Ok());
    }
    EXPECT_TRUE(m_host.ImportPayloads().empty());
    EXPECT_EQ(nullptr, theApp.m_waitDlg.GetSafeHwnd());
    Pump(300);
    EXPECT_EQ(0, m_host.ImportProgressTicks());
    EXPECT_EQ("", MessageBoxLog());
}

TEST_F(ImportWorkerTest, FileThatDoesNotParseEndsTheImport)
{
    const std::string strPath = WorkFolder() + "/not-a-sheet.xls";
    WriteFile(strPath, "order,name\n1,Zhang\n");
    ASSERT_TRUE(StartOrderImport());
    {
        CChooserAnswer answer(strPath);
        ASSERT_TRUE(ImportEnded());
        EXPECT_TRUE(answer.Ok());
    }
    EXPECT_TRUE(m_host.ImportPayloads().empty());
    EXPECT_STREQ("", theApp.m_strImportData);
    // The wait dialog of the parse does not stay over the main window.
    EXPECT_TRUE(WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }));
    int nTicks = m_host.ImportProgressTicks();
    Pump(500);
    EXPECT_EQ(nTicks, m_host.ImportProgressTicks());
    // A new import can start at once.
    ASSERT_TRUE(StartOrderImport());
    CChooserAnswer answer("");
    EXPECT_TRUE(ImportEnded());
}
}  // namespace
