// The waybill box with the operator's real keys and the query it sends: the hint, the length
// limit, Enter and the button, the token request, jmm and hh in the result page's address.
#include "CommandsTestSupport.h"

#include <ctime>
#include <gtk/gtk.h>
#include <regex>
#include "CMultiDocTemplate.h"
#include "ChildFrm.h"
#include "GuiWait.h"
#include "ParvelApp.h"
#include "ParvelDoc.h"
#include "ParvelView.h"
#include "SearchEdit.h"
#include "SearchEditButton.h"

namespace
{
// The clipboard's text (UTF-8); its owner, this program, answers while the wait serves the loop.
std::string ClipboardText()
{
    gchar* psz = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    std::string s = psz ? psz : "";
    g_free(psz);
    return s;
}

class WaybillTest : public CFrameTest
{
protected:
    void SetUp() override
    {
        if (!theApp.GetFirstDocTemplatePosition())
            theApp.AddDocTemplate(new CMultiDocTemplate(IDR_ParvelTYPE, RUNTIME_CLASS(CParvelDoc),
                                                        RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CParvelView)));
        CFrameTest::SetUp();
        if (HasFatalFailure())
            return;
        m_nLogStart = s_devnet->Log().size();
        auto* pButton = dynamic_cast<CSearchEditButton*>(m_pFrame->m_wndSearchBar.GetButton(0));
        ASSERT_NE(pButton, nullptr);
        m_pEdit = pButton->m_pSearchEdit;
        ASSERT_NE(m_pEdit, nullptr);
        m_hEdit = m_pEdit->GetSafeHwnd();
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(m_hEdit) != FALSE; }, 3000));
    }

    CString EditText() const
    {
        CString s;
        m_pEdit->GetWindowText(s);
        return s;
    }

    // Pixels of the hint where its later characters stand: the text is drawn smoothed, so its
    // strokes are greys between the hint's colour RGB(201, 201, 201) and the white field, never
    // darker. -1 when a darker pixel is there.
    int HintPixels() const
    {
        CRect rc;
        m_pEdit->GetWindowRect(&rc);
        int n = 0;
        for (COLORREF px : ScreenPixels(rc.left + 28, rc.top + 2, 50, rc.Height() - 4))
        {
            const unsigned r = GetRValue(px), g = GetGValue(px), b = GetBValue(px);
            if (r != g || g != b)
                continue;
            if (r < 0xC9)
                return -1;
            n += r < 0xF0;
        }
        return n;
    }

    // The operator clicks into the box and types.
    bool Type(const std::string& keys)
    {
        CRect rc;
        m_pEdit->GetWindowRect(&rc);
        if (!Xdo("mousemove " + std::to_string(rc.left + 100) + " " + std::to_string(rc.top + rc.Height() / 2) +
                     " click 1"))
            return false;
        if (!WaitFor([&] { return ::GetFocus() == m_hEdit; }, 3000))
            return false;
        return keys.empty() || Xdo(keys);
    }

    int Count(const std::string& text) const
    {
        std::string log = s_devnet->Log().substr(m_nLogStart);
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    }

    // jmm of the result pages devnet saw for this number, in order.
    std::vector<std::string> ResultJmms(const std::string& waybill) const
    {
        std::vector<std::string> out;
        std::string log = s_devnet->Log();
        const std::string key = "waybill: wen=" + waybill + " jmm=";
        for (size_t at = log.find(key); at != std::string::npos; at = log.find(key, at + 1))
        {
            size_t b = at + key.size();
            out.push_back(log.substr(b, log.find(' ', b) - b));
        }
        return out;
    }

    CSearchEdit* m_pEdit = nullptr;
    HWND m_hEdit = nullptr;
    size_t m_nLogStart = 0;  // devnet serves the whole suite: this test's lines come after
};

TEST_F(WaybillTest, AnEmptyBoxShowsTheGreyHintUntilTheFirstCharacter)
{
    EXPECT_TRUE(EditText().IsEmpty());
    EXPECT_TRUE(WaitFor([&] { return HintPixels() > 20; }, 5000)) << HintPixels();
    ASSERT_TRUE(Type("type --delay 50 7"));
    EXPECT_TRUE(WaitFor([&] { return EditText() == "7"; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return HintPixels() == 0; }, 5000)) << HintPixels();
    // Emptied again, with the focus still in the box: the hint is back.
    ASSERT_TRUE(Xdo("key BackSpace"));
    EXPECT_TRUE(WaitFor([&] { return EditText().IsEmpty(); }, 3000));
    EXPECT_TRUE(WaitFor([&] { return HintPixels() > 20; }, 5000)) << HintPixels();
}

TEST_F(WaybillTest, ControlKeysCopyPasteCutAndUndoOnceAndLettersAreTyped)
{
    ASSERT_TRUE(Type("type --delay 40 VK12"));
    ASSERT_TRUE(WaitFor([&] { return EditText() == "VK12"; }, 3000));
    // Copy everything, paste it at the end: the text once more, not twice. Each key is handled
    // before the selection moves on.
    m_pEdit->SetSel(0, -1);
    ASSERT_TRUE(XdoUntil("key --clearmodifiers ctrl+c", [] { return ClipboardText() == "VK12"; }, 3000));
    m_pEdit->SetSel(4, 4);
    ASSERT_TRUE(XdoUntil("key --clearmodifiers ctrl+v", [&] { return EditText().GetLength() > 4; }, 3000));
    Pump(200);
    EXPECT_STREQ(EditText(), "VK12VK12");
    // Cut the first half, and undo the cut.
    m_pEdit->SetSel(0, 4);
    ASSERT_TRUE(XdoUntil("key --clearmodifiers ctrl+x", [&] { return EditText().GetLength() < 8; }, 3000));
    EXPECT_STREQ(EditText(), "VK12");
    ASSERT_TRUE(XdoUntil("key --clearmodifiers ctrl+z", [&] { return EditText() == "VK12VK12"; }, 3000))
        << EditText().GetString();
    // Without Ctrl the letters are typed.
    m_pEdit->SetWindowText("");
    ASSERT_TRUE(Xdo("type --delay 40 cvxz"));
    EXPECT_TRUE(WaitFor([&] { return EditText() == "cvxz"; }, 3000)) << EditText().GetString();
}

TEST_F(WaybillTest, TheBoxTakesNoFourteenthCharacterAndEnterQueriesTheNumber)
{
    ASSERT_TRUE(Type("type --delay 40 12345678901234"));
    EXPECT_TRUE(WaitFor([&] { return EditText().GetLength() == 13; }, 5000));
    Pump(200);
    EXPECT_STREQ(EditText(), "1234567890123");

    ASSERT_TRUE(Xdo("key Return"));
    // One token request, the result page opened, and the box emptied.
    EXPECT_TRUE(WaitFor([&] { return Count("query token: act=geth wen=1234567890123") == 1; }, 10000)) << s_devnet->Log();
    EXPECT_TRUE(WaitFor([&] { return ResultJmms("1234567890123").size() == 1; }, 20000)) << s_devnet->Log();
    EXPECT_TRUE(EditText().IsEmpty());
    EXPECT_TRUE(MessageBoxLines().empty());
    EXPECT_NE(s_devnet->Log().find("waybill: wen=1234567890123 jmm="), std::string::npos);
    EXPECT_EQ(s_devnet->Log().find("(BAD)"), std::string::npos);
}

TEST_F(WaybillTest, ShortNumbersAreRefusedBothWaysAndTheButtonNeedsTheFocus)
{
    // Enter with twelve characters: the message, no request, the text kept.
    ASSERT_TRUE(Type("type --delay 40 123456789012"));
    ASSERT_TRUE(WaitFor([&] { return EditText().GetLength() == 12; }, 5000));
    ASSERT_TRUE(Xdo("key Return"));
    EXPECT_TRUE(WaitFor([&] { return MessageBoxLines().size() == 1; }, 5000));
    ASSERT_EQ(MessageBoxLines().size(), 1u);
    EXPECT_NE(MessageBoxLines()[0].find("货单长度必须大于等于13个字符!"), std::string::npos);
    EXPECT_STREQ(EditText(), "123456789012");
    // The button, with the focus in the box: the same.
    ::SendMessage(m_hFrame, WM_COMMAND, ID_WAYBILL_QUERY, 0);
    EXPECT_EQ(MessageBoxLines().size(), 2u);
    EXPECT_EQ(Count("query token:"), 0);

    // Thirteen characters and the button: queried.
    ASSERT_TRUE(Xdo("type 3"));
    ASSERT_TRUE(WaitFor([&] { return EditText().GetLength() == 13; }, 5000));
    ::SendMessage(m_hFrame, WM_COMMAND, ID_WAYBILL_QUERY, 0);
    EXPECT_EQ(Count("query token: act=geth wen=1234567890123"), 1);
    EXPECT_TRUE(EditText().IsEmpty());

    // With the focus elsewhere the button does nothing.
    m_pEdit->SetWindowText("9999999999999");
    m_pFrame->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return ::GetFocus() != m_hEdit; }, 3000));
    ::SendMessage(m_hFrame, WM_COMMAND, ID_WAYBILL_QUERY, 0);
    EXPECT_EQ(Count("query token: act=geth wen=9999999999999"), 0);
    EXPECT_EQ(MessageBoxLines().size(), 2u);
    EXPECT_STREQ(EditText(), "9999999999999");
}

TEST_F(WaybillTest, TheSameNumberAtTwoSecondsKeepsItsDigestAndChangesItsTimeStamp)
{
    const char* pszWaybill = "VK20261210001";
    m_pFrame->QueryWaybill(pszWaybill);
    ASSERT_TRUE(WaitFor([&] { return ResultJmms(pszWaybill).size() == 1; }, 20000)) << s_devnet->Log();
    const time_t first = time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return time(nullptr) >= first + 2; }, 4000));
    m_pFrame->QueryWaybill(pszWaybill);
    ASSERT_TRUE(WaitFor([&] { return ResultJmms(pszWaybill).size() == 2; }, 20000)) << s_devnet->Log();
    std::vector<std::string> jmms = ResultJmms(pszWaybill);
    ASSERT_EQ(jmms[0].size(), 46u);
    ASSERT_EQ(jmms[1].size(), 46u);
    EXPECT_EQ(jmms[0].substr(0, 32), jmms[1].substr(0, 32));
    EXPECT_NE(jmms[0].substr(32), jmms[1].substr(32));
    for (const std::string& j : jmms)
    {
        EXPECT_TRUE(std::regex_match(j.substr(0, 32), std::regex("[0-9A-F]{32}"))) << j;
        EXPECT_TRUE(std::regex_match(j.substr(32), std::regex("20[0-9]{12}"))) << j;
    }
}

TEST_F(WaybillTest, AnUnreachableTokenServiceOpensNoPageAndKeepsTheNumber)
{
    g_pszQueryTokenUrl = "http://127.0.0.1:1/kesta/gohh.php";
    ASSERT_TRUE(Type("type --delay 40 1234567890123"));
    ASSERT_TRUE(WaitFor([&] { return EditText().GetLength() == 13; }, 5000));
    ASSERT_TRUE(Xdo("key Return"));
    EXPECT_TRUE(WaitFor([&] { return MessageBoxLines().size() == 1; }, 10000));
    ASSERT_EQ(MessageBoxLines().size(), 1u);
    EXPECT_NE(MessageBoxLines()[0].find("运单查询系统连接失败，请稍后再试!"), std::string::npos);
    EXPECT_STREQ(EditText(), "1234567890123");
    EXPECT_EQ(m_pFrame->MDIGetActive(), nullptr);
}
// A token service that hangs, cuts or resets: the window waits for the token, as it must, but
// only for the time-out, then says the query failed, opens no page and keeps the number.
TEST_F(WaybillTest, ABrokenTokenServiceEndsWithinItsTimeOutInTheFailureMessage)
{
    setenv("NETVANE_TIMEOUT", "2", 1);
    ASSERT_TRUE(Type("type --delay 40 1234567890123"));
    ASSERT_TRUE(WaitFor([&] { return EditText().GetLength() == 13; }, 5000));
    for (const char* mode : {"hang", "cut", "reset"})
    {
        SCOPED_TRACE(mode);
        CDevnetProcess faulty({"--fault", std::string("querytoken:") + mode});
        ASSERT_TRUE(faulty.IsReady()) << faulty.Log();
        const std::string strUrl = faulty.Url("querytoken");
        g_pszQueryTokenUrl = strUrl.c_str();
        const size_t nBoxes = MessageBoxLines().size();
        ASSERT_TRUE(WaitFor([&] { return ::GetFocus() == m_hEdit; }, 3000));
        ASSERT_TRUE(Xdo("key Return"));
        // The time-out and a little more.
        EXPECT_TRUE(WaitFor([&] { return MessageBoxLines().size() == nBoxes + 1; }, 2000 + 1500));
        ASSERT_EQ(MessageBoxLines().size(), nBoxes + 1);
        EXPECT_NE(MessageBoxLines()[nBoxes].find("运单查询系统连接失败，请稍后再试!"), std::string::npos);
        EXPECT_NE(faulty.Log().find(std::string("fault ") + mode + ": GET /kesta/gohh.php"), std::string::npos)
            << faulty.Log();
        EXPECT_STREQ(EditText(), "1234567890123");
        EXPECT_EQ(m_pFrame->MDIGetActive(), nullptr);
        g_pszQueryTokenUrl = "http://127.0.0.1:1/kesta/gohh.php";
    }
    setenv("NETVANE_CA_FILE", s_devnet->CaPath().c_str(), 1);
    unsetenv("NETVANE_TIMEOUT");
}
// A result page that hangs, comes cut or resets: the token came, so its tab opens; the window
// answers while the page waits or fails, and no box is shown.
TEST_F(WaybillTest, ABrokenResultPageOpensItsTabWithTheWindowAnswering)
{
    for (const char* mode : {"hang", "cut", "reset"})
    {
        SCOPED_TRACE(mode);
        CDevnetProcess faulty({"--fault", std::string("query:") + mode});
        ASSERT_TRUE(faulty.IsReady()) << faulty.Log();
        const std::string strToken = faulty.Url("querytoken");
        g_pszQueryTokenUrl = strToken.c_str();
        SetOptionUrl("query", faulty.Url("query").c_str());
        CMDIChildWndEx* pBefore = m_pFrame->MDIGetActive();
        CGuiAnswerProbe probe;
        ASSERT_TRUE(Type("type --delay 40 1234567890123"));
        ASSERT_TRUE(WaitFor([&] { return EditText().GetLength() == 13; }, 5000));
        ASSERT_TRUE(Xdo("key Return"));
        ASSERT_TRUE(WaitFor([&] {
            return faulty.Log().find(std::string("fault ") + mode + ": GET /kesta/gox.php") != std::string::npos;
        }, 20000)) << faulty.Log();
        probe.Restart();
        ASSERT_TRUE(WaitFor([&] { return probe.Answers() >= 25; }, 10000));
        EXPECT_LT(probe.Longest(), 100) << "the window did not answer for this long (ms)";
        EXPECT_NE(m_pFrame->MDIGetActive(), pBefore);
        EXPECT_TRUE(EditText().IsEmpty());
        EXPECT_TRUE(MessageBoxLines().empty());
        g_pszQueryTokenUrl = "http://127.0.0.1:1/kesta/gohh.php";
        SetOptionUrl("query", s_devnet->Url("query").c_str());
    }
    setenv("NETVANE_CA_FILE", s_devnet->CaPath().c_str(), 1);
}
}  // namespace
