// The sign-on dialog against devnet: focus, the password rule, the digest retry, failures,
// the unlock form, the update state, painting, dragging and the links.
#include "SignonTestSupport.h"

#include <algorithm>
#include <memory>
#include <thread>
#include "KernelObject.h"
#include "DevnetSuite.h"
#include "RealInput.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "X11Window.h"
#include "XPixels.h"

namespace
{
const char kWeakMessage[] = "您的密码安全级别太低，请通过OA系统修改后再次登录！谢谢！";
const char kWrongMessage[] = "用户名或密码错误，请确认后再登录！";
const char kNoServerMessage[] = "服务器未响应，请检查网络连接是否正常！";
const char kUpdateFailed[] = "更新失败，请联系Velkor软件支持部门。。";
const char kNoUpdateUrl[] = "http://127.0.0.1:1/velkor_khd/w/";

bool Contains(const std::vector<std::string>& lines, const std::string& text)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

RECT ChildRect(HWND hDlg, int nID)
{
    RECT rc = {};
    HWND hChild = ::GetDlgItem(hDlg, nID);
    ::GetWindowRect(hChild, &rc);
    POINT tl = {rc.left, rc.top}, br = {rc.right, rc.bottom};
    ::ScreenToClient(hDlg, &tl);
    ::ScreenToClient(hDlg, &br);
    return RECT{tl.x, tl.y, br.x, br.y};
}

void ClickOk(HWND hDlg)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDOK));
}

class LoginDlgTest : public CDevnetSuite<LoginDlgTest>
{
public:
    static std::vector<std::string> DevnetArgs()
    {
        return {"--account", "demo:velkor2026", "--account", "digits:123456", "--account", "letters:abcdef",
                "--account", "mixfive:ab12c", "--account", "mixsix:ab12cd", "--account-md5", "olduser:Pa55word",
                "--account", std::string("zh:") + (const char*)u8"ab中c12"};
    }

protected:
    void SetUp() override
    {
        CDevnetSuite::SetUp();
        if (HasFatalFailure())
            return;
        SetLoginUrlForTest(s_devnet->Url("cas_https").c_str());
        SetUpdateUrlForTest(kNoUpdateUrl);
        COptionCtrl().SetLocalVersionInfo("999.0.0.0");
        SetStubPrograms({"xdg-open"});
        ClearRecords();
    }

    // Types the account and the password into the dialog and presses OK.
    static void SignOn(HWND hDlg, CTestLoginDlg& dlg, const char* pszAccount, const char* pszPassword)
    {
        OnGui([&] {
            ::SetDlgItemText(hDlg, IDC_EDIT_ACCOUNT, pszAccount);
            dlg.PasswordEdit().SetRealText(pszPassword);
        });
        ClickOk(hDlg);
    }
};

// A password with a Chinese character, mistyped and corrected with Backspace by real keys, is
// sent as it stands in the end.
TEST_F(LoginDlgTest, APasswordCorrectedOverAChineseCharacterSignsOn)
{
    CTestLoginDlg dlg(1, "zh");
    INT_PTR nResult = RunDialogDriven(dlg, [&](HWND hDlg) {
        HWND hEdit = ::GetDlgItem(hDlg, IDC_EDIT_PASSWORD);
        OnGui([&] {
            ::SetForegroundWindow(hDlg);
            ::SetFocus(hEdit);
        });
        ASSERT_TRUE(WaitOnGui([&] { return ::GetActiveWindow() == hDlg && ::GetFocus() == hEdit; }, 3000));
        ASSERT_TRUE(Xdo(std::string("type --delay 60 ") + (const char*)u8"ab中中"));
        ASSERT_TRUE(WaitOnGui([&] { return dlg.PasswordEdit().GetRealText().GetLength() == 6; }, 3000));
        ASSERT_TRUE(Xdo("key BackSpace"));
        ASSERT_TRUE(Xdo("type --delay 40 c12"));
        ASSERT_TRUE(WaitOnGui([&] { return dlg.PasswordEdit().GetRealText() == "ab中c12"; }, 3000));
        ASSERT_TRUE(Xdo("key Return"));
        EXPECT_TRUE(WaitOnGui([&] { return !::IsWindow(hDlg); }, 10000)) << MessageBoxTexts().size();
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(MessageBoxTexts().empty());
    EXPECT_NE(s_devnet->Log().find("cas: zh signed on"), std::string::npos);
}

TEST_F(LoginDlgTest, FocusGoesToTheAccountUnlessOneIsStored)
{
    struct CASE
    {
        const char* pszAccount;
        int nFocus;
    } cases[] = {{"", IDC_EDIT_ACCOUNT}, {"demo", IDC_EDIT_PASSWORD}};
    for (const CASE& c : cases)
    {
        CTestLoginDlg dlg(1, c.pszAccount);
        RunDialogDriven(dlg, [](HWND) {});
        EXPECT_EQ(dlg.m_afterInit.nFocusId, c.nFocus) << "account '" << c.pszAccount << "'";
        EXPECT_TRUE(dlg.m_afterInit.bOkEnabled);
        EXPECT_FALSE(dlg.m_afterInit.bProgressVisible);
        EXPECT_FALSE(dlg.m_afterInit.bStatusVisible);
    }
}

TEST_F(LoginDlgTest, CarriesTheInstanceMarkWhileUp)
{
    CTestLoginDlg dlg(1, "");
    HANDLE hMark = nullptr;
    RunDialogDriven(dlg, [&](HWND hDlg) { hMark = ::GetProp(hDlg, GetParvelTitle()); });
    EXPECT_EQ((ULONG_PTR)hMark, (ULONG_PTR)PROP_INSTANCE_MARK);
}

TEST_F(LoginDlgTest, StrongPasswordSignsOnAndWeakOnesAreRefused)
{
    struct CASE
    {
        const char* pszAccount;
        const char* pszPassword;
        bool bWeak;
    } cases[] = {
        {"digits", "123456", true}, {"letters", "abcdef", true}, {"mixfive", "ab12c", true}, {"mixsix", "ab12cd", false}};
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pszAccount);
        ClearRecords();
        CTestLoginDlg dlg(1, "");
        CString strShown, strKept;
        bool bStillUp = false;
        INT_PTR nResult = RunDialogDriven(dlg, [&](HWND hDlg) {
            SignOn(hDlg, dlg, c.pszAccount, c.pszPassword);
            bStillUp = !WaitOnGui([&] { return !::IsWindow(hDlg); }, 500);
            OnGui([&] {
                if (bStillUp)
                {
                    strShown = WindowText(::GetDlgItem(hDlg, IDC_EDIT_PASSWORD));
                    strKept = dlg.PasswordEdit().GetRealText();
                }
            });
        });
        // The server accepted every one of them.
        EXPECT_NE(s_devnet->Log().find(std::string("cas: ") + c.pszAccount + " signed on"), std::string::npos);
        if (c.bWeak)
        {
            EXPECT_TRUE(bStillUp);
            EXPECT_EQ(nResult, IDCANCEL);
            EXPECT_TRUE(Contains(MessageBoxTexts(), kWeakMessage));
            EXPECT_TRUE(Contains(ShellStarts(), "xdg-open http://127.0.10.7:30088/velkorsoa/cas.login?CASLOGOUT=true"))
                << (ShellStarts().empty() ? "" : ShellStarts()[0]);
            EXPECT_EQ(strShown, "");
            EXPECT_EQ(strKept, "");
        }
        else
        {
            EXPECT_FALSE(bStillUp);
            EXPECT_EQ(nResult, IDOK);
            EXPECT_TRUE(MessageBoxTexts().empty());
            EXPECT_EQ(dlg.GetAccount(), c.pszAccount);
            EXPECT_FALSE(dlg.GetSessionId().IsEmpty());
            EXPECT_EQ(dlg.GetTGT().Left(4), "TGT-");
        }
    }
}

TEST_F(LoginDlgTest, DigestOfThePasswordIsTriedWhenThePlainOneIsRejected)
{
    CTestLoginDlg dlg(1, "");
    INT_PTR nResult = RunDialogDriven(dlg, [&](HWND hDlg) { SignOn(hDlg, dlg, "olduser", "Pa55word"); });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(MessageBoxTexts().empty());
    const std::string log = s_devnet->Log();
    size_t nRejected = log.find("cas: wrong user name or password for 'olduser'");
    size_t nSigned = log.find("cas: olduser signed on");
    ASSERT_NE(nRejected, std::string::npos) << log;
    ASSERT_NE(nSigned, std::string::npos) << log;
    EXPECT_LT(nRejected, nSigned);
    EXPECT_EQ(dlg.GetTGT().Left(4), "TGT-");
}

TEST_F(LoginDlgTest, FailuresKeepTheDialogWithTheirMessageAndAnEmptyPassword)
{
    struct CASE
    {
        const char* pszName;
        const char* pszLoginUrl;  // NULL: devnet
        const char* pszAccount;
        const char* pszPassword;
        const char* pszMessage;
        int nFocus;
    } cases[] = {
        {"wrong password", nullptr, "demo", "nottheone1", kWrongMessage, IDC_EDIT_PASSWORD},
        {"unknown user", nullptr, "nobody", "velkor2026", kWrongMessage, IDC_EDIT_PASSWORD},
        {"server down", "https://127.0.0.1:1/cas3.4/login", "demo", "velkor2026", kNoServerMessage, IDC_EDIT_PASSWORD},
        {"no account", nullptr, "", "velkor2026", "账号不能为空！", IDC_EDIT_ACCOUNT},
        {"no password", nullptr, "demo", "", "密码不能为空！", IDC_EDIT_PASSWORD},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        ClearRecords();
        SetLoginUrlForTest(c.pszLoginUrl ? c.pszLoginUrl : s_devnet->Url("cas_https").c_str());
        CTestLoginDlg dlg(1, "");
        bool bStillUp = false;
        int nFocus = 0;
        CString strKept = "unset";
        INT_PTR nResult = RunDialogDriven(dlg, [&](HWND hDlg) {
            SignOn(hDlg, dlg, c.pszAccount, c.pszPassword);
            OnGui([&] {
                bStillUp = ::IsWindow(hDlg);
                nFocus = ::GetDlgCtrlID(::GetFocus());
                strKept = dlg.PasswordEdit().GetRealText();
            });
        });
        EXPECT_TRUE(bStillUp);
        EXPECT_EQ(nResult, IDCANCEL);
        const std::vector<std::string> texts = MessageBoxTexts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], c.pszMessage);
        EXPECT_EQ(nFocus, c.nFocus);
        if (c.nFocus == IDC_EDIT_PASSWORD && *c.pszPassword)
        {
            EXPECT_EQ(strKept, "");
        }
    }
}

// A CAS server that holds, cuts or resets the sign-on: the dialog waits for it, as the sign-on
// must, but no longer than the request time-outs, and says the server did not answer.
TEST_F(LoginDlgTest, ACasServerThatHangsCutsOrResetsEndsInTheNoAnswerMessage)
{
    setenv("NETVANE_TIMEOUT", "2", 1);
    setenv("NETVANE_CONNECT_TIMEOUT", "2", 1);
    for (const char* mode : {"hang", "cut", "reset"})
    {
        SCOPED_TRACE(mode);
        ClearRecords();
        {
            CDevnetProcess faulty({"--fault", std::string("cas:") + mode});
            ASSERT_TRUE(faulty.IsReady()) << faulty.Log();
            SetLoginUrlForTest(faulty.Url("cas_https").c_str());
            CTestLoginDlg dlg(1, "");
            bool bStillUp = false;
            long nWaitMs = 0;
            INT_PTR nResult = RunDialogDriven(dlg, [&](HWND hDlg) {
                const auto start = std::chrono::steady_clock::now();
                SignOn(hDlg, dlg, "demo", "velkor2026");
                nWaitMs = (long)std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start).count();
                OnGui([&] { bStillUp = ::IsWindow(hDlg); });
            });
            EXPECT_TRUE(bStillUp);
            EXPECT_EQ(nResult, IDCANCEL);
            // The form and the sign-on itself, each within its time-out.
            EXPECT_LT(nWaitMs, 2 * 2000 + 1500) << "the sign-on waited this long (ms)";
            const std::vector<std::string> texts = MessageBoxTexts();
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0], kNoServerMessage);
            EXPECT_NE(faulty.Log().find(std::string("fault ") + mode + ": "), std::string::npos) << faulty.Log();
        }
        // The suite's devnet and its CA again.
        setenv("NETVANE_CA_FILE", s_devnet->CaPath().c_str(), 1);
        SetLoginUrlForTest(s_devnet->Url("cas_https").c_str());
    }
    unsetenv("NETVANE_TIMEOUT");
    unsetenv("NETVANE_CONNECT_TIMEOUT");
}

TEST_F(LoginDlgTest, UnlockFormShowsTheAccountAndMovesTheButtons)
{
    RECT rcCancel = {}, rcVpn = {}, rcOk = {};
    {
        CTestLoginDlg login(1, "demo");
        RunDialogDriven(login, [&](HWND hDlg) {
            OnGui([&] {
                rcOk = ChildRect(hDlg, IDOK);
                rcCancel = ChildRect(hDlg, IDCANCEL);
                rcVpn = ChildRect(hDlg, IDC_BUTTON_VPN);
                EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_EDIT_ACCOUNT)));
                EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_LOGIN_LOGO)));
                EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_STATIC_USER)));
                EXPECT_EQ(WindowText(::GetDlgItem(hDlg, IDOK)), "登录");
            });
        });
    }

    CTestLoginDlg dlg(0, "demo");
    INT_PTR nResult = RunDialogDriven(dlg, [&](HWND hDlg) {
        OnGui([&] {
            for (int nHidden : {IDC_EDIT_ACCOUNT, IDC_STATIC_ACCOUNT, IDC_BUTTON_VPN, IDC_STATIC_VPN_HINT})
                EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, nHidden))) << nHidden;
            EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_LOGIN_LOGO)));
            EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_STATIC_USER)));
            EXPECT_EQ(WindowText(::GetDlgItem(hDlg, IDC_STATIC_USER)), "demo");
            EXPECT_EQ(WindowText(::GetDlgItem(hDlg, IDOK)), "解锁");
            RECT rcNewOk = ChildRect(hDlg, IDOK), rcNewCancel = ChildRect(hDlg, IDCANCEL);
            EXPECT_EQ(rcNewOk.left, rcCancel.left);
            EXPECT_EQ(rcNewOk.top, rcOk.top);
            EXPECT_EQ(rcNewOk.right - rcNewOk.left, rcOk.right - rcOk.left);
            EXPECT_EQ(rcNewCancel.left, rcVpn.left);
            EXPECT_EQ(rcNewCancel.right - rcNewCancel.left, rcCancel.right - rcCancel.left);
            EXPECT_TRUE(::GetWindowLongPtr(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
        });
        // The account is fixed; only the password is asked for.
        OnGui([&] { dlg.PasswordEdit().SetRealText("velkor2026"); });
        ClickOk(hDlg);
    });
    EXPECT_EQ(dlg.m_afterInit.nFocusId, IDC_EDIT_PASSWORD);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(dlg.GetAccount(), "demo");
    EXPECT_FALSE(dlg.GetSessionId().IsEmpty());
}

TEST_F(LoginDlgTest, StaticsAreTransparentTheLinkBlueWithHandCursorAndItsFont)
{
    CTestLoginDlg dlg(1, "");
    RunDialogDriven(dlg, [&](HWND hDlg) {
        OnGui([&] {
            HWND hLink = ::GetDlgItem(hDlg, IDC_FIND_PASSWORD);
            HWND hTitle = ::GetDlgItem(hDlg, IDC_STATIC_TITLE);
            for (HWND hStatic : {hLink, hTitle})
            {
                HDC hdc = ::CreateCompatibleDC(nullptr);
                ::SetTextColor(hdc, RGB(1, 2, 3));
                LRESULT hbr = ::SendMessage(hDlg, WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)hStatic);
                EXPECT_EQ((HGDIOBJ)hbr, ::GetStockObject(NULL_BRUSH));
                EXPECT_EQ(::GetBkMode(hdc), TRANSPARENT);
                if (hStatic == hLink)
                    EXPECT_EQ(::GetTextColor(hdc), RGB(0, 0, 255));
                else
                    EXPECT_NE(::GetTextColor(hdc), RGB(0, 0, 255));
                ::DeleteDC(hdc);
            }
            EXPECT_EQ(::SendMessage(hDlg, WM_SETCURSOR, (WPARAM)hLink, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
            EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));

            LOGFONTA lf = {};
            HFONT hFont = (HFONT)::SendMessage(hLink, WM_GETFONT);
            ASSERT_NE(hFont, nullptr);
            ASSERT_TRUE(::GetObject((HGDIOBJ)hFont, sizeof(lf), &lf));
            EXPECT_EQ(lf.lfHeight, -12);
            EXPECT_EQ(lf.lfWeight, FW_NORMAL);
            EXPECT_TRUE(lf.lfUnderline);
            EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
            EXPECT_STREQ(lf.lfFaceName, "宋体");
            EXPECT_EQ(WindowText(::GetDlgItem(hDlg, IDC_STATIC_TITLE)), "Velkor速递网点客户端");
        });
    });
}

TEST_F(LoginDlgTest, DraggingTheBodyMovesTheDialog)
{
    CTestLoginDlg dlg(1, "");
    RunDialogDriven(dlg, [&](HWND hDlg) {
        RECT rcBefore = {}, rcAfter = {}, rcReleased = {};
        OnGui([&] { ::GetWindowRect(hDlg, &rcBefore); });
        ::SendMessage(hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 150));
        OnGui([&] { EXPECT_EQ(::GetCapture(), hDlg); });
        // The cursor moves 25 right and 15 down: the point under it stays the same.
        ::SendMessage(hDlg, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 165));
        OnGui([&] { ::GetWindowRect(hDlg, &rcAfter); });
        ::SendMessage(hDlg, WM_LBUTTONUP, 0, MAKELPARAM(10, 150));
        ::SendMessage(hDlg, WM_MOUSEMOVE, 0, MAKELPARAM(60, 190));
        OnGui([&] {
            ::GetWindowRect(hDlg, &rcReleased);
            EXPECT_EQ(::GetCapture(), nullptr);
        });
        EXPECT_EQ(rcAfter.left - rcBefore.left, 25);
        EXPECT_EQ(rcAfter.top - rcBefore.top, 15);
        EXPECT_EQ(rcAfter.right - rcAfter.left, rcBefore.right - rcBefore.left);
        EXPECT_EQ(rcAfter.bottom - rcAfter.top, rcBefore.bottom - rcBefore.top);
        EXPECT_EQ(rcReleased.left, rcAfter.left);
        EXPECT_EQ(rcReleased.top, rcAfter.top);
    });
}

TEST_F(LoginDlgTest, LinksOpenTheirPagesAndVpnFallsBackInOrder)
{
    SetFindPwdUrlForTest("http://127.0.10.7:30088/velkorsoa/portal/login/mimazhaohui.jsp");
    const std::string vpnUrl = COptionCtrl::GetOptionData().GetSQVpnUrl().str();
    struct CASE
    {
        std::vector<std::string> programs;
        int nCommand;
        std::string expected;
    } cases[] = {
        {{"xdg-open"}, IDC_FIND_PASSWORD, "/xdg-open http://127.0.10.7:30088/velkorsoa/portal/login/mimazhaohui.jsp"},
        {{"xdg-open", "google-chrome", "firefox"}, IDC_BUTTON_VPN, "/google-chrome " + vpnUrl},
        {{"xdg-open", "firefox"}, IDC_BUTTON_VPN, "/firefox " + vpnUrl},
        {{"xdg-open"}, IDC_BUTTON_VPN, "/xdg-open " + vpnUrl},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.expected);
        SetStubPrograms(c.programs);
        ClearRecords();
        CTestLoginDlg dlg(1, "");
        RunDialogDriven(dlg, [&](HWND hDlg) {
            UINT nCode = c.nCommand == IDC_FIND_PASSWORD ? STN_CLICKED : BN_CLICKED;
            ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(c.nCommand, nCode), (LPARAM)::GetDlgItem(hDlg, c.nCommand));
        });
        const std::vector<std::string> starts = ShellStarts();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_NE(starts[0].find(c.expected), std::string::npos) << starts[0];
    }
}

TEST_F(LoginDlgTest, PaintsTheGradientBands)
{
    CTestLoginDlg dlg(1, "");
    RunDialogDriven(dlg, [&](HWND hDlg) {
        RECT rc = {};
        OnGui([&] { ::GetClientRect(hDlg, &rc); });
        ASSERT_GT(rc.bottom, 200);
        // Left of every control, below the banner: only the dialog's own bands show there.
        for (int y : {120, 161, 200, (int)rc.bottom - 3})
        {
            const int k = (y - 90) / 4 + 1;
            const COLORREF expected = RGB(253, std::min(197 + k, 255), std::min(40 + 2 * k, 255));
            COLORREF actual = CLR_INVALID;
            PollUntil([&] { return (actual = WindowPixel(AfxGetX11Window(hDlg), 4, y)) == expected; }, 2000, 20);
            EXPECT_EQ(actual, expected) << "y " << y;
        }
    });
}
}  // namespace

namespace
{
// A newer version whose updater cannot be downloaded: the dialog shows the update and then its
// failure.
TEST(LoginDlgUpdateTest, NewerVersionLocksTheDialogUntilTheUpdateFails)
{
    CDevnetProcess devnet({"--update-version", "9.9.9.9", "--updater", "/nonexistent/Renewo.exe"});
    ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
    SetLoginUrlForTest(devnet.Url("cas_https").c_str());
    SetUpdateUrlForTest(devnet.Url("update").c_str());
    COptionCtrl().SetLocalVersionInfo("1.0.0.1");
    ClearRecords();

    CTestLoginDlg dlg(1, "");
    RECT rcFailed = {};
    bool bFailedShown = false;
    BOOL bOkAfter = TRUE, bCancelAfter = FALSE, bProgressAfter = TRUE;
    INT_PTR nResult = RunDialogDriven(dlg, [&](HWND hDlg) {
        bFailedShown = WaitOnGui([&] { return WindowText(::GetDlgItem(hDlg, IDC_STATIC_STATUS)) == kUpdateFailed; });
        OnGui([&] {
            ::GetWindowRect(hDlg, &rcFailed);
            bOkAfter = ::IsWindowEnabled(::GetDlgItem(hDlg, IDOK));
            bCancelAfter = ::IsWindowEnabled(::GetDlgItem(hDlg, IDCANCEL));
            bProgressAfter = ::IsWindowVisible(::GetDlgItem(hDlg, IDC_UPDATE_PROGRESS));
            EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_STATIC_STATUS)));
        });
        // Only the exit works now.
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDCANCEL));
    });
    EXPECT_EQ(nResult, IDCANCEL);

    const CTestLoginDlg::STATE& s = dlg.m_afterInit;
    EXPECT_FALSE(s.bOkEnabled);
    EXPECT_FALSE(s.bCancelEnabled);
    EXPECT_TRUE(s.bStatusVisible);
    EXPECT_EQ(s.strStatus, "正在更新..");
    EXPECT_TRUE(s.bProgressVisible);
    const int nBar = s.rcProgress.bottom - s.rcProgress.top;
    EXPECT_GT(nBar, 0);
    EXPECT_EQ(s.rcWindow.bottom - s.rcWindow.top, (s.rcInitial.bottom - s.rcInitial.top) + nBar);
    EXPECT_EQ(s.rcWindow.right - s.rcWindow.left, s.rcInitial.right - s.rcInitial.left);
    // The bar fills the added strip.
    EXPECT_EQ(s.rcProgress.left, 0);
    EXPECT_EQ(s.rcProgress.right, s.rcWindow.right - s.rcWindow.left);
    EXPECT_EQ(s.rcProgress.bottom, s.rcWindow.bottom - s.rcWindow.top);

    ASSERT_TRUE(bFailedShown);
    EXPECT_FALSE(bOkAfter);
    EXPECT_TRUE(bCancelAfter);
    EXPECT_FALSE(bProgressAfter);
    EXPECT_EQ(rcFailed.right - rcFailed.left, s.rcInitial.right - s.rcInitial.left);
    EXPECT_EQ(rcFailed.bottom - rcFailed.top, s.rcInitial.bottom - s.rcInitial.top);
    EXPECT_EQ(rcFailed.left, s.rcWindow.left);
    EXPECT_EQ(rcFailed.top, s.rcWindow.top);
}
}  // namespace
