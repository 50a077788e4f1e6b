// Self-update: asks the update service for the newest version and, when it is newer, downloads
// the updater into the update folder, starts it and closes the sign-on dialog.
#include "Update.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include "FileApi.h"
#include "FileFind.h"
#include "KernelObject.h"
#include "LoginDlg.h"
#include "Mapform.h"
#include "Netvane.h"
#include "OptionCtrl.h"
#include "ProgramTable.h"
#include "ParvelApp.h"
#include "Scrivo.h"
#include "Services.h"
#include "Shell.h"

namespace
{
CString GetLocalVersionText()
{
    COptionCtrl ctrl;
    return ctrl.GetOptionData().GetLocalVersion();
}

CString GetServerVersionText(const UpdateTask* pTask)
{
    return pTask->m_strServerVersion;
}

// The record's text up to its NUL, never past the field.
CString FieldText(const char* pszField, size_t nSize)
{
    return CString(pszField, (int)strnlen(pszField, nSize));
}

// One argument for /bin/sh: the updater's name comes from the server.
std::string ShellQuoted(const char* pszText)
{
    std::string out = "'";
    for (const char* p = pszText; *p; ++p)
    {
        if (*p == '\'')
            out += "'\\''";
        else
            out += *p;
    }
    return out + "'";
}

void CloseWaitDialog()
{
    HWND hWait = theApp.m_waitDlg.GetSafeHwnd();
    if (hWait)
        ::PostMessage(hWait, WM_CLOSE, 0, 0);
}
}  // namespace

int QueryServerVersion(UpdateTask* pTask)
{
    COptionData& options = COptionCtrl::GetOptionData();
    CNetvane* pNet = new CNetvane();
    pNet->AddParam("type", "xml");
    pNet->AddParam("version", GetLocalVersionText());

    char* pszReply = nullptr;
    if (!pNet->DoPost(options.GetUpdateClientUrl(), &pszReply, nullptr, false, false))
    {
        pNet->ReleaseResponse(&pszReply);
        delete pNet;
        return 0;
    }

    if (pszReply)
    {
        XML_RESPONSE* pResponse = (XML_RESPONSE*)calloc(1, sizeof(XML_RESPONSE));
        if (pResponse && MF_ParseXml(pszReply, pResponse) && pResponse->success)
        {
            VERSION_INFO* pVersion = (VERSION_INFO*)calloc(1, sizeof(VERSION_INFO));
            if (pVersion && MF_ParseVersion(pszReply, pVersion))
            {
                pTask->m_strServerVersion = FieldText(pVersion->version, sizeof(pVersion->version));
                pTask->m_strUpdaterUrl = FieldText(pVersion->url, sizeof(pVersion->url));
            }
            free(pVersion);
        }
        free(pResponse);
    }

    pNet->ReleaseResponse(&pszReply);
    delete pNet;
    return 1;
}

int CheckNewVersion(UpdateTask* pTask)
{
    if (!QueryServerVersion(pTask))
        return 0;
    return CompareVersion(GetLocalVersionText(), GetServerVersionText(pTask)) == 0 ? 1 : 0;
}

void ParseVersion(const CString& strVersion, int& nFirst, int& nSecond, int& nThird)
{
    std::string s = (const char*)strVersion;
    auto take = [&s](bool bLast) {
        size_t dot = s.find('.');
        std::string part;
        if (dot != std::string::npos)
        {
            part = s.substr(0, dot);
            s = s.substr(dot + 1);
        }
        else if (bLast)
            part = s;
        return atoi(part.c_str());
    };
    nFirst = take(false);
    nSecond = take(false);
    nThird = take(true);
}

int CompareVersion(const CString& strLocal, const CString& strServer)
{
    if (strLocal.IsEmpty())
        return 0;
    if (strServer.IsEmpty())
        return 1;

    int nLocal1 = 0, nLocal2 = 0, nLocal3 = 0;
    int nServer1 = 0, nServer2 = 0, nServer3 = 0;
    ParseVersion(strLocal, nLocal1, nLocal2, nLocal3);
    ParseVersion(strServer, nServer1, nServer2, nServer3);
    if (nServer1 > nLocal1)
        return 0;
    if (nServer1 == nLocal1 && nServer2 > nLocal2)
        return 0;
    if (nServer1 == nLocal1 && nServer2 == nLocal2 && nServer3 > nLocal3)
        return 0;
    return 1;
}

void DeleteFilesInFolder(const CString& strFolder)
{
    CFileFind finder;
    BOOL bWorking = finder.FindFile(strFolder + "*.*");
    while (bWorking)
    {
        bWorking = finder.FindNextFile();
        if (finder.IsDirectory())
            continue;
        // A file that cannot go stays; the download replaces what it needs.
        DeleteFile(finder.GetFilePath());
    }
    finder.Close();
}

int UpdateProgressCallback(void* pContext, double dTotal, double dDone)
{
    CLoginDlg* pDlg = (CLoginDlg*)pContext;
    if (!pDlg)
        return 0;
    // No size known yet: stay at the start rather than divide by nothing.
    int nPos = dTotal > 0 ? (int)(dDone * 100 / dTotal) : 0;
    ::SendMessage(pDlg->m_progress.GetSafeHwnd(), PBM_SETPOS, (WPARAM)nPos, 0);
    return 0;
}

int DownloadAndRunUpdater(UpdateTask* pTask)
{
    if (pTask->m_strUpdaterUrl.IsEmpty())
        return 0;

    CString strUrl = pTask->m_strUpdaterUrl;
    int nSlash = strUrl.ReverseFind('/');
    CString strFileName = nSlash >= 0 ? strUrl.Mid(nSlash + 1) : strUrl;
    CString strUpdatePath = COptionCtrl::GetOptionData().GetUpdatePath();
    CString strLocalPath = strUpdatePath + strFileName;

    DeleteFilesInFolder(strUpdatePath);

    if (DownloadFile(strUrl, strLocalPath, &UpdateProgressCallback, pTask->m_pCaller) &&
        PathFileExists(strLocalPath))
    {
        CString strCommand = CString("cmd /c ") + strLocalPath;
        if (WinExec(strCommand, SW_HIDE) <= 31)
            system(ShellQuoted(CProgramTable::ToFileName((const char*)strLocalPath).c_str()).c_str());
        return 1;
    }

    if (pTask->m_pCaller)
        pTask->m_pCaller->ShowUpdateFailed();
    return 0;
}

void RunUpdate(UpdateTask* pTask)
{
    // The dialog waits with its buttons disabled: whatever ends the run without closing it
    // gives it its exit button back.
    if (!CheckNewVersion(pTask))
    {
        Scrivo::trace("未检测到新版本");
        if (pTask->m_pCaller)
            pTask->m_pCaller->ShowUpdateFailed();
        return;
    }

    if (!DownloadAndRunUpdater(pTask))
    {
        Scrivo::trace("下载更新程序失败");
        if (pTask->m_strUpdaterUrl.IsEmpty() && pTask->m_pCaller)
            pTask->m_pCaller->ShowUpdateFailed();
        CloseWaitDialog();
        return;
    }

    CloseWaitDialog();
    Scrivo::trace("关闭调用更新的窗口");
    if (pTask->m_pCaller)
        ::SendMessage(pTask->m_pCaller->GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
}

UINT UpdateThreadProc(LPVOID pParam)
{
    // Its existence tells a new start that an update is running.
    HANDLE hMutex = CreateMutex(nullptr, FALSE, PARVEL_UPDATE_MUTEX);
    UpdateTask task((CLoginDlg*)pParam);
    RunUpdate(&task);
    if (hMutex)
        CloseHandle(hMutex);
    return 0;
}
