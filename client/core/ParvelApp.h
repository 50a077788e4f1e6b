// The client program's application object: start-up, sign-on, exit, and the state that the main
// window, the page views and the worker threads share.
#pragma once

#include <atomic>
#include <string>
#include <vector>
#include "AfxWin.h"
#include "CArray.h"
#include "FrameTimers.h"
#include "WaitDialog.h"

// One queued label print.
struct ORDER_PRINT_INFO
{
    CString strOrderNo;
    float fWidth = 0.0f;   // inches
    float fHeight = 0.0f;  // inches
};


class CParvelApp : public CWinAppEx
{
    DECLARE_DYNAMIC(CParvelApp)
public:
    CParvelApp();
    ~CParvelApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The sign-on dialog: mode 1 at start-up, 0 to unlock a running client. TRUE after OK.
    BOOL RunLoginDialog(int nMode);

    // The trans-URL list of the signed-on user.
    void LoadTransUrlList();
    const char* GetTransUrl(int nIndex) const;

    // Shows the shared wait dialog, or changes the text of the one already shown.
    void ShowWaitDialog(const char* pszText);

    // Set on the GUI thread by the import starters, cleared by the import worker.
    std::atomic<int> m_bImporting;
    CArray<ORDER_PRINT_INFO> m_printQueue;
    CString m_strImportData;
    std::vector<std::string> m_transUrls;
    int m_nTransUrlCount;
    CWaitDialog m_waitDlg;

    afx_msg void OnAppAbout();

protected:
    DECLARE_MESSAGE_MAP()
};

extern CParvelApp theApp;

// The application title (string 128), which also names the single-instance window property.
CString GetParvelTitle();

// Writes a browser feature value under HKEY_LOCAL_MACHINE, then under HKEY_CURRENT_USER.
void SetIEFeatureControl(const char* pszFeature, const char* pszValueName, DWORD dwValue);

// Enumeration callback: stores the first top-level window that carries the instance property.
BOOL CALLBACK FindPreviousInstanceProc(HWND hWnd, LPARAM lParam);
