// Message boxes: logged, answered at once when asked to, and real dialogs otherwise.
#include <gtest/gtest.h>
#include <wx/wx.h>
#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>
#include "AfxWin.h"
#include "CodePage.h"
#include "UiTestUtil.h"

namespace
{
// The UTF-8 form of a GBK literal, as the log holds it.
std::string U8(const char* gbk)
{
    return CCodePage::AnsiToUtf8(gbk);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct BoxEnv : ::testing::Test
{
    std::string m_log;
    void SetUp() override
    {
        char tmpl[] = "/tmp/parvel_msgbox_XXXXXX";
        int fd = mkstemp(tmpl);
        ASSERT_GE(fd, 0);
        close(fd);
        m_log = tmpl;
        setenv("PARVEL_MSGBOX_LOG", m_log.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("PARVEL_MSGBOX_LOG");
        unsetenv("PARVEL_MSGBOX_AUTO");
        unlink(m_log.c_str());
    }
};

// The shown message box whose title is the caption, or NULL.
wxTopLevelWindow* FindBox(const wxString& caption)
{
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* tl = dynamic_cast<wxTopLevelWindow*>(w); tl && tl->IsShown() && tl->GetTitle() == caption)
            return tl;
    return nullptr;
}
}  // namespace

TEST_F(BoxEnv, AutoAnswerIsLoggedAndReturned)
{
    struct Case
    {
        const char* answer;
        UINT type;
        int expect;
    } cases[] = {{"IDOK", MB_OK, IDOK}, {"IDYES", MB_YESNO, IDYES}, {"IDNO", MB_YESNO, IDNO}, {"2", MB_OKCANCEL, IDCANCEL}};
    for (const Case& c : cases)
    {
        setenv("PARVEL_MSGBOX_AUTO", c.answer, 1);
        EXPECT_EQ(c.expect, MessageBox(nullptr, "用户名或密码错误，请确认后再登录！", "登录", c.type)) << c.answer;
    }
    std::string log = ReadFile(m_log);
    EXPECT_NE(std::string::npos, log.find(U8("登录\t用户名或密码错误，请确认后再登录！\n")));
}

TEST_F(BoxEnv, LineBreaksAreKeptOnOneLogLine)
{
    setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);
    AfxMessageBox("第一行\n第二行");
    EXPECT_EQ(std::string("UiTest\t") + U8("第一行\\n第二行\n"), ReadFile(m_log));
}

namespace
{
struct CloseBoxArgs
{
    std::atomic<bool> bSeen{false};
    std::atomic<bool> bStop{false};
    std::string strLogAtShow;
    std::string strLogPath;
    wxSize size;
    int nSightings = 0;
};

void CloseBoxIfShown(void* pv)
{
    auto* a = static_cast<CloseBoxArgs*>(pv);
    if (a->bSeen)
        return;
    if (wxTopLevelWindow* box = FindBox(wxString::FromUTF8(U8("提示").c_str())))
    {
        if (++a->nSightings < 10)
            return;  // let it settle on the screen first
        a->strLogAtShow = ReadFile(a->strLogPath);
        a->size = box->GetSize();
        a->bSeen = true;
        box->Close();  // closing an OK box answers OK
    }
}
}  // namespace

TEST_F(BoxEnv, RealBoxFromAWorkerIsShownAndAnswered)
{
    std::atomic<int> result{-1};
    CloseBoxArgs args;
    args.strLogPath = m_log;
    std::thread worker([&] { result = MessageBox(nullptr, "客户程序正在更新！", "提示", MB_OK | MB_ICONINFORMATION); });
    // The box runs its own modal loop on the GUI thread: look for it from inside that loop.
    std::thread looker([&] {
        for (int i = 0; i < 500 && !args.bSeen && !args.bStop; ++i)
        {
            AfxRunOnGuiThread(&CloseBoxIfShown, &args);
            Sleep(10);
        }
    });
    bool bDone = WaitFor([&] { return result.load() != -1; }, 8000);
    args.bStop = true;
    looker.join();
    worker.join();
    EXPECT_TRUE(args.bSeen);
    // A real box, big enough for its text and button.
    EXPECT_GT(args.size.x, 100);
    EXPECT_GT(args.size.y, 50);
    EXPECT_NE(std::string::npos, args.strLogAtShow.find(U8("提示\t客户程序正在更新！")));
    EXPECT_TRUE(bDone);
    EXPECT_EQ(IDOK, result.load());
}
