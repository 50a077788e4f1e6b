// Self-update: the start-up version check and the worker that downloads and starts the updater.
#pragma once

#include "CString.h"
#include "WinTypes.h"

class CLoginDlg;

// The state of one update run.
struct UpdateTask
{
    CString m_strServerVersion;  // newest version the update service reports
    CString m_strUpdaterUrl;     // where the updater program is downloaded from
    CLoginDlg* m_pCaller;        // the sign-on dialog that started the run, or none

    explicit UpdateTask(CLoginDlg* pCaller = nullptr) : m_pCaller(pCaller) {}
};

// 1 when the server's version is newer than the local one; 0 when not or the request failed.
int CheckNewVersion(UpdateTask* pTask);
// Thread procedure: the sign-on dialog as parameter; downloads and starts the updater.
UINT UpdateThreadProc(LPVOID pParam);
