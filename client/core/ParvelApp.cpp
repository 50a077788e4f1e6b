// Start-up, sign-on step, trans-URL list and exit of the client program.
#include "ParvelApp.h"
#include "MainFrm.h"
#include "CMultiDocTemplate.h"
#include "ParvelDoc.h"
#include "ChildFrm.h"
#include "ParvelView.h"

#include <cstdio>
#include <vector>
#include "CasClient.h"
#include "EncodingUtil.h"
#include "FileApi.h"
#include "FileFind.h"
#include "FileVersion.h"
#include "KernelObject.h"
#include "LoginDlg.h"
#include "Netvane.h"
#include "OptionCtrl.h"
#include "Registry.h"
#include "Scrivo.h"
#include "Update.h"
#include "WebContext.h"
#include "SystemInfo.h"
#include "X11Window.h"
#include "XmlReaders.h"
#include "resource.h"

CParvelApp theApp;

namespace
{
const char kFeatureKey[] = "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\";

struct FEATURE_VALUE
{
    const char* pszName;
    DWORD dwValue;
};

const FEATURE_VALUE s_features[] = {
    { "FEATURE_BROWSER_EMULATION", 8000 },
    { "FEATURE_BLOCK_LMZ_SCRIPT", 0 },
    { "FEATURE_GPU_RENDERING", 1 },
    { "FEATURE_SCRIPTURL_MITIGATION", 1 },
    { "FEATURE_FEEDS", 1 },
    { "FEATURE_TABBED_BROWSING", 1 },
    { "FEATURE_NATIVE_DOCUMENT_MODE", 13880 },
};

// Set once the options have been loaded: a start refused before that leaves no option file.
bool s_bOptionsLoaded = false;

void WriteFeatureValue(HKEY hRoot, const CString& strKey, const char* pszValueName, DWORD dwValue)
{
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    if (RegCreateKeyEx(hRoot, strKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey,
                       &dwDisposition) != ERROR_SUCCESS)
        return;
    RegSetValueEx(hKey, pszValueName, 0, REG_DWORD, (const BYTE*)&dwValue, sizeof(dwValue));
    RegCloseKey(hKey);
}

// The program file's version as "a.b.c.d"; empty when the file carries none.
CString ReadFileVersion(const char* pszPath)
{
    DWORD dwHandle = 0;
    DWORD dwSize = GetFileVersionInfoSize(pszPath, &dwHandle);
    if (dwSize == 0)
        return CString();
    std::vector<char> block(dwSize + 1);
    if (!GetFileVersionInfo(pszPath, dwHandle, dwSize + 1, block.data()))
        return CString();
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nLen = 0;
    if (!VerQueryValue(block.data(), "\\", (LPVOID*)&pInfo, &nLen) || !pInfo || nLen < sizeof(VS_FIXEDFILEINFO))
        return CString();
    CString strVersion;
    strVersion.Format("%d.%d.%d.%d", (int)HIWORD(pInfo->dwFileVersionMS), (int)LOWORD(pInfo->dwFileVersionMS),
                      (int)HIWORD(pInfo->dwFileVersionLS), (int)LOWORD(pInfo->dwFileVersionLS));
    return strVersion;
}

void CreateHiddenFolders(const CString* pFolders, int nCount)
{
    for (int i = 0; i < nCount; ++i)
    {
        CFileFind finder;
        if (!finder.FindFile(pFolders[i]))
            CreateDirectory(pFolders[i], nullptr);
    }
    for (int i = 0; i < nCount; ++i)
    {
        DWORD dwAttributes = GetFileAttributes(pFolders[i]);
        if (dwAttributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributes(pFolders[i], dwAttributes | FILE_ATTRIBUTE_HIDDEN);
    }
}
}  // namespace

CString GetParvelTitle()
{
    CString strTitle;
    strTitle.LoadString(IDR_MAINFRAME);
    return strTitle;
}

void SetIEFeatureControl(const char* pszFeature, const char* pszValueName, DWORD dwValue)
{
    CString strKey = CString(kFeatureKey) + pszFeature;
    WriteFeatureValue(HKEY_LOCAL_MACHINE, strKey, pszValueName, dwValue);
    WriteFeatureValue(HKEY_CURRENT_USER, strKey, pszValueName, dwValue);
}

BOOL CALLBACK FindPreviousInstanceProc(HWND hWnd, LPARAM lParam)
{
    HANDLE hMark = GetProp(hWnd, GetParvelTitle());
    if ((ULONG_PTR)hMark == PROP_INSTANCE_MARK)
    {
        *(HWND*)lParam = hWnd;
        return FALSE;
    }
    return TRUE;
}

IMPLEMENT_DYNAMIC(CParvelApp, CWinAppEx)

BEGIN_MESSAGE_MAP(CParvelApp, CWinAppEx)
    ON_COMMAND(ID_APP_ABOUT, &CParvelApp::OnAppAbout)
END_MESSAGE_MAP()

CParvelApp::CParvelApp() : CWinAppEx(TRUE), m_bImporting(0), m_nTransUrlCount(0)
{
}

CParvelApp::~CParvelApp()
{
    m_transUrls.clear();
    m_strImportData.Empty();
    m_printQueue.RemoveAll();
}

BOOL CParvelApp::InitInstance()
{
    // An update in progress holds this mutex; the client must not run beside it.
    HANDLE hUpdate = CreateMutex(nullptr, FALSE, PARVEL_UPDATE_MUTEX);
    if (GetLastError() == ERROR_ALREADY_EXISTS)
    {
        if (hUpdate)
            CloseHandle(hUpdate);
        AfxMessageBox("客户程序正在更新！");
        return FALSE;
    }
    if (hUpdate)
        CloseHandle(hUpdate);

    // The sign-on dialog and the main window both carry the mark, so a start during another
    // instance's sign-on finds its dialog.
    HWND hPrevious = nullptr;
    EnumWindows(FindPreviousInstanceProc, (LPARAM)&hPrevious);
    if (hPrevious)
    {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        GetWindowPlacement(hPrevious, &placement);
        if (placement.showCmd == SW_SHOWMINIMIZED)
            ::SendMessage(hPrevious, WM_SHOWWINDOW, TRUE, 4);
        ::SetForegroundWindow(hPrevious);
        return FALSE;
    }

    const CString strTitle = GetParvelTitle();

    COptionCtrl optionCtrl;
    optionCtrl.LoadOptionFile();
    s_bOptionsLoaded = true;

    char szFullPath[260] = "";
    GetModuleFileName(nullptr, szFullPath, sizeof(szFullPath));
    const CString strVersion = ReadFileVersion(szFullPath);
    if (!strVersion.IsEmpty())
        optionCtrl.SetLocalVersionInfo(strVersion);
    optionCtrl.SetPathInfo(szFullPath);
    // The record has no label or import address of its own and the option file keeps none:
    // without these every label print and every upload would fail.
    optionCtrl.SetServerUrlInfo("", "", "", "http://" PARVEL_HOST_WEB "/kesta/print/mail_label_pdf.php?orderno=",
                                "http://" PARVEL_HOST_WEB "/kesta/order/import.php", "");

    const COptionData& options = COptionCtrl::GetOptionData();
    const CString strAppName = options.GetAppName();
    for (const FEATURE_VALUE& feature : s_features)
        SetIEFeatureControl(feature.pszName, strAppName, feature.dwValue);

    const CString folders[] = { "./log/", "./userdata/", options.GetDownloadPath(), options.GetUpdatePath() };
    CreateHiddenFolders(folders, (int)(sizeof(folders) / sizeof(folders[0])));

    if (!RunLoginDialog(1))
        return FALSE;

    Scrivo::setLogPath("./log/");
    Scrivo::setLogLevel(8);
    Scrivo::init(CString("Parvel_") + COptionCtrl::GetOptionData().GetUserNameA());
    Scrivo::trace(15, "=================================  SYSTEM START  =================================");
    Scrivo::trace("开始获取菜单");

    AfxInitRichEdit2();
    INITCOMMONCONTROLSEX initCtrls;
    initCtrls.dwSize = sizeof(initCtrls);
    initCtrls.dwICC = 0xFF;
    InitCommonControlsEx(&initCtrls);
    CWinAppEx::InitInstance();
    SetRegistryKey("Parvel");
    LoadStdProfileSettings(4);
    InitContextMenuManager();
    InitKeyboardManager();
    InitTooltipManager();

    CMultiDocTemplate* pDocTemplate = new CMultiDocTemplate(IDR_ParvelTYPE, RUNTIME_CLASS(CParvelDoc),
                                                            RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CParvelView));
    if (!pDocTemplate)
        return FALSE;
    AddDocTemplate(pDocTemplate);

    CMainFrame* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, 0xCF8000))
    {
        delete pMainFrame;
        return FALSE;
    }
    SetProp(pMainFrame->GetSafeHwnd(), strTitle, (HANDLE)(ULONG_PTR)PROP_INSTANCE_MARK);
    m_pMainWnd = pMainFrame;

    // The command line names no file: the framework's new-file command opens the first page.
    OnFileNew();
    if (!pMainFrame->MDIGetActive())
        return FALSE;

    pMainFrame->ShowWindow(SW_SHOWMAXIMIZED);
    pMainFrame->UpdateWindow();

    LoadTransUrlList();
    return TRUE;
}

int CParvelApp::ExitInstance()
{
    if (s_bOptionsLoaded)
    {
        COptionCtrl optionCtrl;
        optionCtrl.SetNotFirstRun();
    }
    return CWinAppEx::ExitInstance();
}

BOOL CParvelApp::RunLoginDialog(int nMode)
{
    COptionCtrl optionCtrl;
    const CString strAccount = COptionCtrl::GetOptionData().GetUserNameA();

    // While the dialog is up the client is hidden and cannot lock a second time.
    CWnd* pMainWnd = m_pMainWnd;
    if (pMainWnd && !pMainWnd->GetSafeHwnd())
        pMainWnd = nullptr;
    CMainFrame* pFrame = dynamic_cast<CMainFrame*>(pMainWnd);
    if (pMainWnd)
    {
        pMainWnd->KillTimer(TIMER_IDLE_LOCK);
        pMainWnd->KillTimer(TIMER_SESSION_CHECK);
        if (pFrame && pFrame->m_TrayIcon.m_bIconShown)
            pFrame->m_TrayIcon.RemoveIcon();
        pMainWnd->ShowWindow(SW_MINIMIZE);
        pMainWnd->ShowWindow(SW_HIDE);
    }

    // The browser's processes start while the operator types, not after the sign-on.
    if (nMode == 1)
        AfxPrewarmHtmlView();
    CLoginDlg dlg(nMode, strAccount);
    if (dlg.DoModal() == IDOK)
    {
        optionCtrl.SetUserInfo(dlg.GetAccount(), dlg.GetSessionId(), dlg.GetTGT());
        if (nMode == 0 && pMainWnd)
        {
            if (pFrame && !pFrame->m_TrayIcon.m_bIconShown)
                pFrame->m_TrayIcon.AddIcon();
            pMainWnd->EnableWindow(TRUE);
            pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
            pMainWnd->SetTimer(TIMER_IDLE_LOCK, 1000);
            pMainWnd->SetTimer(TIMER_SESSION_CHECK, 300000);
        }
        return TRUE;
    }

    Scrivo::trace("用户按了取消按钮");
    if (nMode == 0 && pMainWnd)
        pMainWnd->DestroyWindow();
    return FALSE;
}

void CParvelApp::LoadTransUrlList()
{
    CNetvane netvane;
    netvane.AddParam("gh", COptionCtrl::GetOptionData().GetUserNameA());
    char* pszReply = nullptr;
    unsigned int nResult =
        netvane.DoPost(COptionCtrl::GetOptionData().GetTransUrlListUrl(), &pszReply, nullptr, false, false);
    if (nResult && pszReply && *pszReply)
    {
        std::string strText(pszReply);
        Utf8ToAnsi(strText);
        ParseTransUrlList(strText.c_str(), m_transUrls, m_nTransUrlCount);
    }
    if (pszReply)
        netvane.ReleaseResponse(&pszReply);
}

const char* CParvelApp::GetTransUrl(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nTransUrlCount || (size_t)nIndex >= m_transUrls.size())
        return nullptr;
    return m_transUrls[(size_t)nIndex].c_str();
}

void CParvelApp::OnAppAbout()
{
    CDialog aboutDlg(IDD_ABOUTBOX);
    aboutDlg.DoModal();
}
