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

namespace
{
struct CALL
{
    const std::function<void()>* pfn;
};
void RunCall(void* p)
{
    (*static_cast<CALL*>(p)->pfn)();
}
}  // namespace

void OnGui(const std::function<void()>& fn)
{
    CALL call{&fn};
    AfxRunOnGuiThread(&RunCall, &call);
}

bool WaitOnGui(const std::function<bool()>& pred, int nTimeoutMs)
{
    if (AfxIsGuiThread())
        return WaitFor(pred, (DWORD)nTimeoutMs);  // on the GUI thread itself: wait while its events go on
    const DWORD dwStart = GetTickCount(), dwLimit = (DWORD)nTimeoutMs;
    while (GetTickCount() - dwStart < dwLimit)
    {
        bool bDone = false;
        OnGui([&] { bDone = pred(); });
        if (bDone)
            return true;
        ::Sleep(20);
    }
    return false;
}

INT_PTR RunDialogDriven(CTestLoginDlg& dlg, const std::function<void(HWND)>& drive)
{
    std::atomic<bool> bDriverDone{false};
    std::thread driver([&] {
        const DWORD dwStart = GetTickCount(), dwLimit = 15 * 1000;
        while (!dlg.m_hReady && GetTickCount() - dwStart < dwLimit)
            ::Sleep(10);
        HWND hDlg = dlg.m_hReady;
        if (hDlg)
        {
            drive(hDlg);
            // A dialog that ended itself goes away when its modal loop returns.
            for (int i = 0; i < 25 && ::IsWindow(hDlg); ++i)
                ::Sleep(20);
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

// Xlib last: its macros break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

COLORREF ScreenPixel(HWND hWnd, int x, int y)
{
    unsigned long xid = AfxGetX11Window(hWnd);
    if (!xid)
        return CLR_INVALID;
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
        return CLR_INVALID;
    COLORREF color = CLR_INVALID;
    XImage* pImage = XGetImage(pDisplay, (Window)xid, x, y, 1, 1, AllPlanes, ZPixmap);
    if (pImage)
    {
        unsigned long pixel = XGetPixel(pImage, 0, 0);
        color = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
        XDestroyImage(pImage);
    }
    XCloseDisplay(pDisplay);
    return color;
}
