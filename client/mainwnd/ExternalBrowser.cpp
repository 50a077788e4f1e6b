// External browsers and the Chrome installer road.
#include "ExternalBrowser.h"

#include <cstdlib>
#include <cstring>
#include <thread>
#include "DlgDownloadProgress.h"
#include "FileApi.h"
#include "Netvane.h"
#include "OptionCtrl.h"
#include "Process.h"
#include "ProcessSnapshot.h"
#include "Registry.h"
#include "Shell.h"

#ifndef PARVEL_HOST_WEB
#define PARVEL_HOST_WEB "127.0.10.1"
#endif
#ifndef PARVEL_BRANCH_WEB_LOGIN_URL
#define PARVEL_BRANCH_WEB_LOGIN_URL "http://" PARVEL_HOST_WEB ":14306/pluma/login.html"
#endif

namespace
{
const char kLocalInstaller[] = "./download/ChromeSetup.exe";
const char kInstallerPath[] = "/velkor_khd/Weighbridge/ChromeSetup.exe";
const int kInstallerPort = 81;
const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kIEVersionKey[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Version Vector\\";
const DWORD kInstallerWaitMs = 180000;

void Warn(LPCSTR lpszText, UINT nIcon = MB_ICONEXCLAMATION)
{
    MessageBoxA(nullptr, lpszText, "提示", MB_OK | nIcon);
}

}  // namespace

CString GetBranchWebLoginUrl()
{
    return PARVEL_BRANCH_WEB_LOGIN_URL;
}

CString GetChromeInstallerUrl()
{
    // Plain HTTP on port 81 of the update service's host, whatever its address says besides.
    std::string url = COptionCtrl::GetOptionData().GetUpdateClientUrl().GetString();
    size_t scheme = url.find("://");
    std::string host = url.substr(scheme == std::string::npos ? 0 : scheme + 3);
    if (size_t at = host.find_first_of("/?#"); at != std::string::npos)
        host.resize(at);
    if (size_t at = host.rfind('@'); at != std::string::npos)
        host.erase(0, at + 1);
    size_t close = host[0] == '[' ? host.find(']') : std::string::npos;
    if (size_t colon = host.find(':', close == std::string::npos ? 0 : close); colon != std::string::npos)
        host.resize(colon);
    return CString(("http://" + host + ":" + std::to_string(kInstallerPort)).c_str()) + kInstallerPath;
}

int GetIEMajorVersion()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kIEVersionKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    char szVersion[32] = "";
    DWORD dwType = 0, cb = 0;
    LONG lResult = RegQueryValueEx(hKey, "IE", nullptr, &dwType, nullptr, &cb);
    if (lResult == ERROR_SUCCESS)
    {
        cb = sizeof(szVersion) - 1;
        lResult = RegQueryValueEx(hKey, "IE", nullptr, &dwType, (LPBYTE)szVersion, &cb);
    }
    RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS)
        return 0;
    return atoi(szVersion);
}

BOOL QueryAppPath(LPCSTR lpszExeName, char szPath[256])
{
    char szKey[128];
    if (snprintf(szKey, sizeof(szKey), "%s%s", kAppPathsKey, lpszExeName) >= (int)sizeof(szKey))
        return FALSE;
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, szKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;
    // A path that does not fit the buffer counts as not found.
    DWORD cb = 255;
    memset(szPath, 0, 256);
    LONG lResult = RegQueryValueEx(hKey, nullptr, nullptr, nullptr, (LPBYTE)szPath, &cb);
    BOOL bFound = FALSE;
    if (lResult == ERROR_SUCCESS)
    {
        WIN32_FIND_DATA fd;
        HANDLE hFind = FindFirstFile(szPath, &fd);
        if (hFind != INVALID_HANDLE_VALUE)
        {
            FindClose(hFind);
            bFound = TRUE;
        }
    }
    RegCloseKey(hKey);
    return bFound;
}

BOOL LaunchBrowser(LPCSTR lpszExe, LPCSTR lpszUrl)
{
    HINSTANCE h = ShellExecuteA(nullptr, "open", lpszExe, lpszUrl, nullptr, SW_SHOWNORMAL);
    if ((INT_PTR)h < 32)
    {
        MessageBoxA(nullptr, "浏览器启动失败，请稍后再试!", "系统异常", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

void KillProcessByName(LPCSTR lpszExeName)
{
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof(pe);
    for (BOOL bMore = Process32First(hSnapshot, &pe); bMore; bMore = Process32Next(hSnapshot, &pe))
    {
        if (strcmp(pe.szExeFile, lpszExeName) != 0)
            continue;
        if (HANDLE hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pe.th32ProcessID))
        {
            TerminateProcess(hProcess, 0);
            CloseHandle(hProcess);
        }
    }
    CloseHandle(hSnapshot);
}

int DownloadProgressCallback(void* pContext, double dTotal, double dDone)
{
    if (dTotal <= 0.0)
        return 0;
    int nPercent = (int)(dDone * 100.0 / dTotal);
    ::SendMessage((HWND)pContext, WM_DOWNLOAD_PROGRESS, 0, (LPARAM)nPercent);
    return 0;
}

DWORD WINAPI ChromeDownloadThreadProc(LPVOID lpParam)
{
    auto* pContext = static_cast<CHROME_DOWNLOAD_CONTEXT*>(lpParam);
    if (!pContext)
        return 0;
    char szLocal[260];
    strncpy(szLocal, pContext->lpszLocalPath, sizeof(szLocal) - 1);
    szLocal[sizeof(szLocal) - 1] = '\0';
    bool bOk = pContext->pNetvane->DownloadFile_GetEx(GetChromeInstallerUrl(), szLocal,
                                                      (void*)(NETVANE_PROGRESS)&DownloadProgressCallback,
                                                      (void*)pContext->hProgressWnd);
    pContext->nResult = bOk ? 1 : 0;
    return 0;
}

DWORD WINAPI ChromeInstallThreadProc(LPVOID lpParam)
{
    auto* pDlg = static_cast<CDlgDownloadProgress*>(lpParam);
    HANDLE hCancel = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    if (!hCancel)
    {
        Warn("应用程序未知的异常，请稍后再尝试此项操作!");
        return 0;
    }
    // A dialog that ended before it could take the cancel event was the operator's cancel.
    HWND hDlg = CDlgDownloadProgress::WindowOf(pDlg);
    if (!hDlg || !CDlgDownloadProgress::SetCancelEvent(hDlg, hCancel))
    {
        CloseHandle(hCancel);
        return 0;
    }

    auto* pNetvane = new CNetvane;
    CHROME_DOWNLOAD_CONTEXT context{kLocalInstaller, hDlg, 0, pNetvane};
    HANDLE hDownload = CreateThread(nullptr, 0, &ChromeDownloadThreadProc, &context, 0, nullptr);

    // A cancel stops the download inside Netvane, which then ends the download thread: the
    // thread is waited for, never killed, so the context it uses outlives it. CloseFile stops
    // only a running download: it is repeated until the thread, which may not have begun its
    // download yet, has ended.
    std::thread watcher([hCancel, hDownload, pNetvane] {
        WaitForSingleObject(hCancel, INFINITE);
        do
            pNetvane->CloseFile();
        while (hDownload && WaitForSingleObject(hDownload, 50) == WAIT_TIMEOUT);
    });
    if (hDownload)
        WaitForSingleObject(hDownload, INFINITE);
    bool bCancelled = WaitForSingleObject(hCancel, 0) == WAIT_OBJECT_0;

    bool bInstalled = false;
    if (!bCancelled && !context.nResult)
        Warn("Google-Chrome浏览器安装文件下载失败，请手动安装Google-Chrome浏览器再执行此项操作");
    else if (!bCancelled)
    {
        KillProcessByName("GoogleUpdate.exe");
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        BOOL bStarted = CreateProcessA(kLocalInstaller, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
        if (bStarted && WaitForSingleObject(pi.hProcess, kInstallerWaitMs) == WAIT_OBJECT_0)
            bInstalled = true;
        else
        {
            MessageBoxA(nullptr, "Google-Chrome 浏览器安装异常，请尝试手动安装!", "提示", MB_OK);
            if (bStarted)
                TerminateProcess(pi.hProcess, 0);
        }
        if (bStarted)
        {
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    if (bInstalled)
    {
        KillProcessByName("chrome.exe");
        LaunchBrowser("chrome.exe", GetBranchWebLoginUrl());
    }

    // The dialog forgets the event before it is closed; the watcher is let go.
    CDlgDownloadProgress::SetCancelEvent(hDlg, nullptr);
    SetEvent(hCancel);
    watcher.join();
    CloseHandle(hCancel);
    if (hDownload)
        CloseHandle(hDownload);
    if (bCancelled)
        pNetvane->CloseFile();
    DeleteFile(kLocalInstaller);
    delete pNetvane;
    return 0;
}
