// The application object: one global of a class derived from CWinApp / CWinAppEx. The program
// provides main by compiling AppMain.cpp (or calling AfxWinMain from its own main), which starts
// wx on the GUI thread, calls InitInstance, runs the message loop while InitInstance returned TRUE,
// and calls ExitInstance. The loop ends when the main window is destroyed or PostQuitMessage.
#pragma once

#include "CWinThread.h"
#include "CCreateContext.h"
#include "AfxRes.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

class CDocTemplate;
class CDocManager;

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;
    BOOL OnIdle(LONG lCount) override;

    // Framework settings: the registry key names the profile; the rest have nothing to set up here.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void EnableTaskbarInteraction(BOOL bEnable = TRUE) {}
    void SetAppID(LPCSTR lpszAppID) {}

    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const;

    // Command line as given to AfxWinMain (argv[1..] joined by blanks).
    LPCSTR m_lpCmdLine;
    int m_nCmdShow;
    HINSTANCE m_hInstance;
    LPCSTR m_pszAppName;       // GBK; the program's name without extension when none is given
    LPCSTR m_pszRegistryKey;
    LPCSTR m_pszProfileName;
    LPCSTR m_pszExeName;
    int m_argc;
    char** m_argv;

    afx_msg void OnAppExit();

    // Documents: the templates registered with AddDocTemplate (owned by the document manager,
    // made on the first registration) and the new-file command that opens a document of the first.
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    virtual void CloseAllDocuments(BOOL bEndSession);
    int GetOpenDocumentCount();
    afx_msg void OnFileNew();
    CDocManager* m_pDocManager;

protected:
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strCmdLine;
    CString m_strExeName;

    DECLARE_MESSAGE_MAP()
    friend int AfxWinMain(int argc, char** argv);
};

// CWinAppEx: the managers of the extended framework. Their set-up has nothing to do on Linux.
class CWinAppEx : public CWinApp
{
    DECLARE_DYNAMIC(CWinAppEx)
public:
    explicit CWinAppEx(BOOL bResourceSmartUpdate = FALSE) : m_bResourceSmartUpdate(bResourceSmartUpdate) {}
    BOOL InitContextMenuManager() { return TRUE; }
    BOOL InitKeyboardManager() { return TRUE; }
    BOOL InitTooltipManager() { return TRUE; }
    BOOL InitShellManager() { return TRUE; }
    void EnableLoadWindowPlacement(BOOL bEnable = TRUE) {}
    int ExitInstance() override { return CWinApp::ExitInstance(); }
    BOOL m_bResourceSmartUpdate;
};

CWinApp* AfxGetApp();
// The main window of the calling framework thread (a worker started by AfxBeginThread has none);
// on the GUI thread and on other threads the application's.
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
LPCSTR AfxGetAppName();
// A message box with the application's name as caption, owned by the main window.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
BOOL AfxInitRichEdit2();

typedef struct tagINITCOMMONCONTROLSEX
{
    DWORD dwSize;
    DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);

// Starts the framework and runs the application object; the process's exit code.
int AfxWinMain(int argc, char** argv);
// Starts wx and GTK on the calling thread, which becomes the GUI thread (AfxWinMain does this;
// tests call it themselves and pump with AfxWaitUntil). AfxWinTerm destroys what is left.
BOOL AfxWinInit(int argc, char** argv);
void AfxWinTerm();
// Runs the GUI thread's message loop until PostQuitMessage; the exit code it gave.
int AfxRunMessageLoop();

PARVEL_UI_END_EXPORTS
