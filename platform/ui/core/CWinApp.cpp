// The application object and the program's start.
#include <wx/wx.h>
#include <algorithm>
#include <climits>
#include <vector>
#include <unistd.h>
#include "WndRecord.h"
#include "CWinApp.h"
#include "CDocManager.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)
IMPLEMENT_DYNAMIC(CWinAppEx, CWinApp)

#define ID_APP_EXIT 0xE141

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
END_MESSAGE_MAP()

static CWinApp* g_pApp = nullptr;
// Application objects alive, the newest last: an object made for a while (a test's) gives the
// application back to the one before it when it goes.
static std::vector<CWinApp*>& Apps()
{
    static auto* v = new std::vector<CWinApp*>;
    return *v;
}

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_lpCmdLine(""), m_nCmdShow(SW_SHOWNORMAL), m_hInstance(nullptr), m_pszAppName(nullptr),
      m_pszRegistryKey(nullptr), m_pszProfileName(nullptr), m_pszExeName(nullptr), m_argc(0), m_argv(nullptr),
      m_pDocManager(nullptr)
{
    g_pApp = this;
    Apps().push_back(this);
    m_bAutoDelete = FALSE;
    if (lpszAppName)
    {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
}

CWinApp::~CWinApp()
{
    delete m_pDocManager;
    m_pDocManager = nullptr;
    auto& apps = Apps();
    apps.erase(std::remove(apps.begin(), apps.end(), this), apps.end());
    g_pApp = apps.empty() ? nullptr : apps.back();
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    AfxRunMessageLoop();
    return ExitInstance();
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_pszAppName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString s;
    s.LoadString(nIDRegistryKey);
    SetRegistryKey(s);
}

void CWinApp::LoadStdProfileSettings(UINT)
{
    // The program keeps no recent-file list of its own.
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIcon(nullptr, MAKEINTRESOURCE(nIDResource));
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const
{
    return ::LoadIcon(nullptr, lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT) const
{
    return ::LoadCursor(nullptr, IDC_ARROW);
}

HCURSOR CWinApp::LoadStandardCursor(LPCSTR lpszCursorName) const
{
    return ::LoadCursor(nullptr, lpszCursorName);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->PostMessage(WM_CLOSE);
    else
        PostQuitMessage(0);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    // A thread of the framework has a main window of its own (none for a worker); the GUI
    // thread and threads the framework did not start see the application's.
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread != g_pApp)
        return pThread->GetMainWnd();
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp ? g_pApp->m_hInstance : nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

LPCSTR AfxGetAppName()
{
    return g_pApp && g_pApp->m_pszAppName ? g_pApp->m_pszAppName : "";
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    CWnd* pMain = AfxGetMainWnd();
    HWND hOwner = pMain && ::IsWindowVisible(pMain->m_hWnd) ? pMain->m_hWnd : nullptr;
    return ::MessageBox(hOwner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString s;
    s.LoadString(nIDPrompt);
    return AfxMessageBox(s, nType, nIDHelp);
}

BOOL AfxInitRichEdit2()
{
    return TRUE;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce)
{
    return picce != nullptr;
}

int AfxWinMain(int argc, char** argv)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return 1;
    if (!AfxWinInit(argc, argv))
        return 1;
    pApp->m_argc = argc;
    pApp->m_argv = argv;
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string path = n > 0 ? std::string(exe, (size_t)n) : std::string(argc > 0 ? argv[0] : "");
    std::string name = path.substr(path.find_last_of('/') + 1);
    pApp->m_strExeName = name.substr(0, name.find('.')).c_str();
    pApp->m_pszExeName = pApp->m_strExeName;
    if (!pApp->m_pszAppName)
    {
        pApp->m_strAppName = pApp->m_strExeName;
        pApp->m_pszAppName = pApp->m_strAppName;
    }
    std::string cmd;
    for (int i = 1; i < argc; ++i)
    {
        if (i > 1)
            cmd += ' ';
        cmd += argv[i];
    }
    pApp->m_strCmdLine = cmd.c_str();
    pApp->m_lpCmdLine = pApp->m_strCmdLine;
    int nResult;
    if (!pApp->InitInstance())
    {
        if (pApp->m_pMainWnd)
            pApp->m_pMainWnd->DestroyWindow();
        nResult = pApp->ExitInstance();
    }
    else
        nResult = pApp->Run();
    AfxWinTerm();
    return nResult;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_pDocManager ? m_pDocManager->GetFirstDocTemplatePosition() : nullptr;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    return m_pDocManager ? m_pDocManager->GetNextDocTemplate(pos) : nullptr;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

int CWinApp::GetOpenDocumentCount()
{
    return m_pDocManager ? m_pDocManager->GetOpenDocumentCount() : 0;
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}
