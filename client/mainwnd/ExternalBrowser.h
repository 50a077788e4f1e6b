// External browsers: finding an installed Chrome, UC Browser or Internet Explorer, opening an
// address with one, and downloading and running the Chrome installer.
#pragma once

#include "AfxWin.h"

class CNetvane;

// The login page of the web system that opens in an external browser.
CString GetBranchWebLoginUrl();
// The Chrome installer on the update service's host and port.
CString GetChromeInstallerUrl();

// The installed Internet Explorer's major version; 0 when it cannot be read.
int GetIEMajorVersion();
// TRUE when App Paths names the executable and that file exists; the path is left in szPath.
BOOL QueryAppPath(LPCSTR lpszExeName, char szPath[256]);
// Opens the address with the executable; on failure tells the operator and gives FALSE.
BOOL LaunchBrowser(LPCSTR lpszExe, LPCSTR lpszUrl);
// Ends every process whose executable file name is exactly the name.
void KillProcessByName(LPCSTR lpszExeName);

// What the download thread shares with the install thread.
struct CHROME_DOWNLOAD_CONTEXT
{
    LPCSTR lpszLocalPath;
    HWND hProgressWnd;
    int nResult;  // 1 when the download succeeded
    CNetvane* pNetvane;
};

int DownloadProgressCallback(void* pContext, double dTotal, double dDone);
DWORD WINAPI ChromeDownloadThreadProc(LPVOID lpParam);
// lpParam: the progress dialog (CDlgDownloadProgress).
DWORD WINAPI ChromeInstallThreadProc(LPVOID lpParam);
