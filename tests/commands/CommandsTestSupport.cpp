#include "CommandsTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include "CasClient.h"
#include "ClientEnvironment.h"
#include "CodePage.h"
#include "GuiWait.h"
#include "IdleTime.h"
#include "OptionCtrl.h"
#include "OptionData.h"
#include "ParvelApp.h"
#include "PrivateMember.h"
#include "TestFiles.h"
#include "TrayHost.h"
#include "X11Window.h"

namespace
{
const ::testing::Environment* const s_env =
    ::testing::AddGlobalTestEnvironment(new CClientEnvironment("commands_tests", "parvel-commands"));

typedef CString COptionData::*STRING_FIELD;
struct LoginUrlTag { typedef STRING_FIELD type; };
struct MessageUrlTag { typedef STRING_FIELD type; };
struct UpdateUrlTag { typedef STRING_FIELD type; };
struct QueryLinkTag { typedef STRING_FIELD type; };
struct MinutesTag { typedef WORD COptionData::*type; };
struct FirstRunTag { typedef int COptionData::*type; };
struct MiniSizeTag { typedef int COptionData::*type; };

CTrayHost s_trayHost;

// The tray host started for the run ends with it: a tray host left running would hold the test's
// output open.
class CTrayHostEnvironment : public ::testing::Environment
{
public:
    void TearDown() override { s_trayHost.Stop(); }
};
const ::testing::Environment* const s_trayEnv = ::testing::AddGlobalTestEnvironment(new CTrayHostEnvironment);
}  // namespace

template struct CPrivateBinder<LoginUrlTag, &COptionData::m_AccountLoginUrl>;
template struct CPrivateBinder<MessageUrlTag, &COptionData::m_MessageUrl>;
template struct CPrivateBinder<UpdateUrlTag, &COptionData::m_UpdateClientUrl>;
template struct CPrivateBinder<QueryLinkTag, &COptionData::m_QueryLink>;
template struct CPrivateBinder<MinutesTag, &COptionData::m_MinuteToOff>;
template struct CPrivateBinder<FirstRunTag, &COptionData::m_FirstRun>;
template struct CPrivateBinder<MiniSizeTag, &COptionData::m_MiniSizeAtExit>;

void SetOptionUrl(const char* pszField, const char* pszValue)
{
    COptionData& d = COptionCtrl::GetOptionData();
    std::string field = pszField;
    STRING_FIELD p = field == "login" ? CPrivate<LoginUrlTag>::s_member
                   : field == "message" ? CPrivate<MessageUrlTag>::s_member
                   : field == "update" ? CPrivate<UpdateUrlTag>::s_member
                                       : CPrivate<QueryLinkTag>::s_member;
    d.*p = pszValue;
}

void SetMinuteToOff(WORD wMinutes) { COptionCtrl::GetOptionData().*CPrivate<MinutesTag>::s_member = wMinutes; }
void SetFirstRun(int nFirstRun) { COptionCtrl::GetOptionData().*CPrivate<FirstRunTag>::s_member = nFirstRun; }
void SetMiniSizeAtExit(int nValue) { COptionCtrl::GetOptionData().*CPrivate<MiniSizeTag>::s_member = nValue; }

HWND FindSignOnDialog(HWND hFrame, int nTimeoutMs)
{
    HWND hFound = nullptr;
    WaitOnGui([&] {
        HWND h = nullptr;
        EnumWindows(FindPreviousInstanceProc, (LPARAM)&h);
        if (h && h != hFrame && ::IsWindowVisible(h))
            hFound = h;
        return hFound != nullptr;
    }, nTimeoutMs);
    return hFound;
}

HWND FindTopLevel(const char* pszCaption, int nTimeoutMs)
{
    HWND hFound = nullptr;
    WaitOnGui([&] {
        HWND h = ::FindWindow(nullptr, pszCaption);
        if (h && ::IsWindowVisible(h))
            hFound = h;
        return hFound != nullptr;
    }, nTimeoutMs);
    return hFound;
}

std::vector<std::string> MessageBoxLines()
{
    std::vector<std::string> lines;
    std::ifstream in(getenv("PARVEL_MSGBOX_LOG"));
    for (std::string line; std::getline(in, line);)
        lines.push_back(CCodePage::Utf8ToAnsi(line));
    return lines;
}

void ClearMessageBoxes()
{
    std::ofstream(getenv("PARVEL_MSGBOX_LOG"), std::ios::trunc);
}

void AnswerMessageBoxes(const char* pszAnswer)
{
    setenv("PARVEL_MSGBOX_AUTO", pszAnswer, 1);
}

bool Screenshot(HWND hWnd, const std::string& path)
{
    unsigned long xid = AfxGetX11Window(hWnd);
    if (!xid)
        return false;
    return system(("timeout 20 import -window " + std::to_string(xid) + " '" + path + "'").c_str()) == 0;
}

void CFrameTest::SetUpTestSuite()
{
    // One tray for the whole run: a tray host stopped and started again may still be leaving.
    static bool s_bTrayStarted = false;
    if (!s_bTrayStarted)
        s_trayHost.Start();
    s_bTrayStarted = true;
    // The browser installer stands on port 81 of the update service's host: a loopback address of
    // this process's own, so that runs beside each other do not meet.
    const unsigned nPid = (unsigned)getpid();
    const std::string host = "127.81." + std::to_string((nPid >> 8) & 0xFF) + "." + std::to_string((nPid & 0xFF) | 1);
    s_devnet = std::make_unique<CDevnetProcess>(
        std::vector<std::string>{"--installer-delay-ms", "100", "--update-host", host});
}

void CFrameTest::TearDownTestSuite()
{
    s_devnet.reset();
}

void CFrameTest::SetUp()
{
    ASSERT_TRUE(s_devnet && s_devnet->IsReady()) << (s_devnet ? s_devnet->Log() : "");
    ASSERT_TRUE(WaitFor([] { return TrayOwner() != 0; }, 10000)) << "no tray host";
    char szCwd[512] = "";
    ASSERT_TRUE(getcwd(szCwd, sizeof(szCwd)));
    setenv("PARVEL_AUTOSTART_USER", (std::string(szCwd) + "/autostart").c_str(), 1);
    setenv("PARVEL_AUTOSTART_SYSTEM", (std::string(szCwd) + "/autostart-system").c_str(), 1);
    // The program's place, which names its autorun value.
    COptionCtrl().SetPathInfo((std::string(szCwd) + "/Parvel").c_str());
    AnswerMessageBoxes("IDOK");
    ClearMessageBoxes();
    SetIdleTimeSource(nullptr);
    SetOptionUrl("login", s_devnet->Url("cas_http").c_str());
    SetOptionUrl("message", s_devnet->Url("message").c_str());
    SetOptionUrl("update", s_devnet->Url("update").c_str());
    SetOptionUrl("query", s_devnet->Url("query").c_str());
    g_pszQueryTokenUrl = strdup(s_devnet->Url("querytoken").c_str());
    SetMinuteToOff(10);
    SetFirstRun(0);
    SetMiniSizeAtExit(0);
    // A real sign-on, so that the revalidation has a ticket-granting ticket to show.
    char* pszSession = nullptr;
    char* pszTgt = nullptr;
    ASSERT_EQ(CAS_login(s_devnet->Url("cas_http").c_str(), "demo", "velkor2026", &pszSession, &pszTgt), 1)
        << s_devnet->Log();
    COptionCtrl().SetUserInfo("demo", pszSession, pszTgt);
    free(pszSession);
    free(pszTgt);
    MakeFrame();
}

void CFrameTest::MakeFrame()
{
    m_pFrame = new CMainFrame;
    ASSERT_TRUE(m_pFrame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
    m_hFrame = m_pFrame->GetSafeHwnd();
    ::SetProp(m_hFrame, GetParvelTitle(), (HANDLE)(ULONG_PTR)PROP_INSTANCE_MARK);
    theApp.m_pMainWnd = m_pFrame;
    m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
    m_pFrame->UpdateWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(m_hFrame) && AfxGetX11Window(m_hFrame) != 0; }, 5000));
}

void CFrameTest::TearDown()
{
    SetIdleTimeSource(nullptr);
    AnswerMessageBoxes("IDOK");
    theApp.m_pMainWnd = nullptr;
    if (::IsWindow(m_hFrame))
        ::DestroyWindow(m_hFrame);
    WaitFor([&] { return !::IsWindow(m_hFrame); }, 2000);
}
