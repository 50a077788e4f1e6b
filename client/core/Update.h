// Self-update: the start-up version check and the worker that downloads and starts the updater.
#pragma once

#include "CString.h"
#include "WinTypes.h"

class CLoginDlg;

// Name of the mutex that exists while an update runs.
#define PARVEL_UPDATE_MUTEX "Program Update"

// The state of one update run.
struct UpdateTask
{
    CString m_strServerVersion;  // newest version the update service reports
    CString m_strUpdaterUrl;     // where the updater program is downloaded from
    CLoginDlg* m_pCaller;        // the sign-on dialog that started the run, or none

    explicit UpdateTask(CLoginDlg* pCaller = nullptr) : m_pCaller(pCaller) {}
};

// Thread procedure: the sign-on dialog as parameter; downloads and starts the updater.
UINT UpdateThreadProc(LPVOID pParam);
// The whole run on the worker: check again, download, start, close the sign-on dialog.
void RunUpdate(UpdateTask* pTask);
// 1 when the server's version is newer than the local one; 0 when not or the request failed.
int CheckNewVersion(UpdateTask* pTask);
// 1 when a reply came (parsed or not), 0 when the request failed; fills the task's version
// and updater address.
int QueryServerVersion(UpdateTask* pTask);
// 0 when an update is needed, 1 when not.
int CompareVersion(const CString& strLocal, const CString& strServer);
// Splits "a.b.c[.d...]" into its first three numbers.
void ParseVersion(const CString& strVersion, int& nFirst, int& nSecond, int& nThird);
// 1 when the updater was downloaded and started, 0 otherwise.
int DownloadAndRunUpdater(UpdateTask* pTask);
// Deletes every file, not the subfolders, of a folder given with its trailing separator.
void DeleteFilesInFolder(const CString& strFolder);
// Download progress into the sign-on dialog's progress bar; context is the dialog.
int UpdateProgressCallback(void* pContext, double dTotal, double dDone);
