#include "SignonTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include "KernelObject.h"
#include <unistd.h>
#include "CodePage.h"
#include "ClientEnvironment.h"
#include "GuiWait.h"
#include "OptionCtrl.h"
#include "OptionData.h"
#include "PrivateMember.h"
#include "TestFiles.h"

namespace
{
typedef void (COptionData::*SETTER)(const char*);
struct LoginUrlTag { typedef SETTER type; };
struct UpdateUrlTag { typedef SETTER type; };
struct FindPwdUrlTag { typedef SETTER type; };
}  // namespace
template struct CPrivateBinder<LoginUrlTag, &COptionData::SetAccountLoginUrl>;
template struct CPrivateBinder<UpdateUrlTag, &COptionData::SetUpdateClientUrl>;
template struct CPrivateBinder<FindPwdUrlTag, &COptionData::SetFindPwdUrl>;

namespace
{
std::string g_strFolder;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// Program starts find the stand-ins of the stubs folder first.
class CSignonEnvironment : public CClientEnvironment
{
public:
    CSignonEnvironment() : CClientEnvironment("signon_tests", "parvel-signon") {}
    void SetUp() override
    {
        CClientEnvironment::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        g_strFolder = Folder();
        mkdir((g_strFolder + "/stubs").c_str(), 0755);
        setenv("PATH", (g_strFolder + "/stubs:/usr/bin:/bin").c_str(), 1);
    }
};

const ::testing::Environment* const s_env = ::testing::AddGlobalTestEnvironment(new CSignonEnvironment);
}  // namespace

void SetLoginUrlForTest(const char* pszUrl)
{
    (COptionCtrl::GetOptionData().*CPrivate<LoginUrlTag>::s_member)(pszUrl);
}

void SetUpdateUrlForTest(const char* pszUrl)
{
    (COptionCtrl::GetOptionData().*CPrivate<UpdateUrlTag>::s_member)(pszUrl);
}

void SetFindPwdUrlForTest(const char* pszUrl)
{
    (COptionCtrl::GetOptionData().*CPrivate<FindPwdUrlTag>::s_member)(pszUrl);
}

BOOL CTestLoginDlg::OnInitDialog()
{
    BOOL bResult = CLoginDlg::OnInitDialog();
    m_afterInit.bOkEnabled = GetDlgItem(IDOK)->IsWindowEnabled();
    m_afterInit.bCancelEnabled = GetDlgItem(IDCANCEL)->IsWindowEnabled();
    // The dialog itself is not shown yet: read the controls' own visibility.
    m_afterInit.bProgressVisible = (m_progress.GetStyle() & WS_VISIBLE) != 0;
    CWnd* pStatus = GetDlgItem(1048);
    m_afterInit.bStatusVisible = (pStatus->GetStyle() & WS_VISIBLE) != 0;
    pStatus->GetWindowText(m_afterInit.strStatus);
    GetWindowRect(&m_afterInit.rcWindow);
    m_afterInit.rcInitial = m_rcInitial;
    m_progress.GetWindowRect(&m_afterInit.rcProgress);
    ScreenToClient(&m_afterInit.rcProgress);
    CWnd* pFocus = CWnd::GetFocus();
    m_afterInit.nFocusId = pFocus ? pFocus->GetDlgCtrlID() : 0;
    m_hReady = m_hWnd;
    return bResult;
}

INT_PTR RunDialogDriven(CTestLoginDlg& dlg, const std::function<void(HWND)>& drive)
{
    std::atomic<bool> bDriverDone{false};
    std::thread driver([&] {
        PollUntil([&] { return dlg.m_hReady != nullptr; }, 15000);
        HWND hDlg = dlg.m_hReady;
        if (hDlg)
        {
            drive(hDlg);
            // A dialog that ended itself goes away when its modal loop returns.
            PollUntil([&] { return !::IsWindow(hDlg); }, 500, 20);
            if (::IsWindow(hDlg))
                ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
        }
        bDriverDone = true;
    });
    INT_PTR nResult = dlg.DoModal();
    // The driver may still be asking the GUI thread for something: serve it until it is done.
    WaitFor([&] { return bDriverDone.load(); }, 30000);
    driver.join();
    return nResult;
}

std::vector<std::string> MessageBoxTexts()
{
    std::vector<std::string> texts;
    for (const std::string& line : Lines(ReadFile(g_strFolder + "/msgbox.log")))
    {
        std::string ansi = CCodePage::Utf8ToAnsi(line);
        size_t tab = ansi.find('\t');
        texts.push_back(tab == std::string::npos ? ansi : ansi.substr(tab + 1));
    }
    return texts;
}

std::vector<std::string> ShellStarts()
{
    return Lines(ReadFile(g_strFolder + "/shell.log"));
}

void ClearRecords()
{
    std::ofstream(g_strFolder + "/msgbox.log", std::ios::trunc);
    std::ofstream(g_strFolder + "/shell.log", std::ios::trunc);
}

std::string StubFolder()
{
    return g_strFolder + "/stubs";
}

void SetStubPrograms(const std::vector<std::string>& names)
{
    std::string cmd = "rm -f '" + StubFolder() + "'/*";
    (void)!system(cmd.c_str());
    for (const std::string& name : names)
    {
        std::string path = StubFolder() + "/" + name;
        std::ofstream(path) << "#!/bin/sh\nexit 0\n";
        chmod(path.c_str(), 0755);
    }
}

CString WindowText(HWND hWnd)
{
    char szText[512] = "";
    ::GetWindowText(hWnd, szText, sizeof(szText));
    return CString(szText);
}

