// Message boxes: logged, answered at once when asked to, and real dialogs otherwise.
#include <gtest/gtest.h>
#include <wx/wx.h>
#include <gtk/gtk.h>
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
// Looks for the shown box of a caption from inside its modal loop (a timer of the GUI thread),
// reads it once it is on the screen and presses its last button.
class CBoxReader : public wxTimer
{
public:
    explicit CBoxReader(const char* pszCaptionGbk, std::string strLogPath = std::string())
        : m_caption(wxString::FromUTF8(U8(pszCaptionGbk).c_str())), m_strLogPath(std::move(strLogPath))
    {
        Start(20);
    }
    std::atomic<bool> bSeen{false};
    std::string strLogAtShow;
    wxSize size;
    std::vector<std::string> labels;  // as GTK shows them, UTF-8

    void Notify() override
    {
        wxTopLevelWindow* box = FindBox(m_caption);
        if (bSeen || !box || !box->IsShownOnScreen())
            return;
        strLogAtShow = ReadFile(m_strLogPath);
        size = box->GetSize();
        wxButton* pLast = nullptr;
        for (wxWindow* w : box->GetChildren())
            if (auto* b = dynamic_cast<wxButton*>(w))
            {
                const char* label = gtk_button_get_label(GTK_BUTTON(b->GetHandle()));
                labels.push_back(label ? label : "");
                pLast = b;
            }
        bSeen = true;
        Stop();
        if (pLast)
        {
            wxCommandEvent click(wxEVT_BUTTON, pLast->GetId());
            click.SetEventObject(pLast);
            pLast->ProcessWindowEvent(click);
        }
        else
            box->Close();
    }

private:
    wxString m_caption;
    std::string m_strLogPath;
};
}  // namespace

TEST_F(BoxEnv, RealBoxFromAWorkerIsShownAndAnswered)
{
    std::atomic<int> result{-1};
    CBoxReader reader("提示", m_log);
    std::thread worker([&] { result = MessageBox(nullptr, "客户程序正在更新！", "提示", MB_OK | MB_ICONINFORMATION); });
    bool bDone = WaitFor([&] { return result.load() != -1; }, 8000);
    worker.join();
    EXPECT_TRUE(reader.bSeen);
    // A real box, big enough for its text and button.
    EXPECT_GT(reader.size.x, 100);
    EXPECT_GT(reader.size.y, 50);
    EXPECT_NE(std::string::npos, reader.strLogAtShow.find(U8("提示\t客户程序正在更新！")));
    EXPECT_TRUE(bDone);
    EXPECT_EQ(IDOK, result.load());
}

TEST_F(BoxEnv, ShownButtonsCarryTheirLabels)
{
    struct Case
    {
        UINT type;
        std::vector<std::string> labels;
        int lastAnswer;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONHAND, {U8("确定")}, IDOK},
        {MB_OKCANCEL, {U8("确定"), U8("取消")}, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, {U8("是(Y)"), U8("否(N)")}, IDNO},
        {MB_YESNOCANCEL, {U8("是(Y)"), U8("否(N)"), U8("取消")}, IDCANCEL},
        {MB_RETRYCANCEL, {U8("重试(R)"), U8("取消")}, IDCANCEL},
    };
    for (const Case& c : cases)
    {
        CBoxReader reader("登录");
        int r = MessageBox(nullptr, "用户名或密码错误，请确认后再登录！", "登录", c.type);
        EXPECT_TRUE(reader.bSeen) << c.type;
        EXPECT_EQ(reader.labels, c.labels) << c.type;
        EXPECT_EQ(r, c.lastAnswer) << c.type;
    }
}
