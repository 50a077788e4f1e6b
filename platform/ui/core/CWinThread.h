// CWinThread and AfxBeginThread: worker threads on the kernel objects of the base layer, and
// user-interface threads. Windows live on the GUI thread only: a window a thread makes (a modal
// dialog it runs) is made and run on the GUI thread while that thread waits (see CDialog::DoModal).
#pragma once

#include "CCmdTarget.h"
#include "KernelObject.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

class CWnd;

typedef UINT (*AFX_THREADPROC)(LPVOID);

#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    // Starts the thread (CREATE_SUSPENDED waits for ResumeThread).
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    DWORD ResumeThread();
    DWORD SuspendThread() { return 0; }
    BOOL SetThreadPriority(int nPriority) { m_nPriority = nPriority; return TRUE; }
    int GetThreadPriority() const { return m_nPriority; }

    // For user-interface threads (no thread procedure): InitInstance, then Run until the thread's
    // main window is gone or PostQuitMessage, then ExitInstance.
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);
    virtual CWnd* GetMainWnd();

    HANDLE m_hThread;      // the thread's kernel handle (a waitable object); closed on delete
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;    // the object deletes itself when the thread ends
    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;

protected:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
    int m_nPriority;
    static unsigned ThreadEntry(void* pThis);
};

// Worker thread: proc(param) on a new thread; the returned object deletes itself when the thread
// ends (m_bAutoDelete), so keep m_hThread only after setting m_bAutoDelete = FALSE while suspended.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// User-interface thread of a class derived from CWinThread (DECLARE_DYNCREATE).
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// The CWinThread of the calling thread (the application object on the GUI thread), or NULL.
CWinThread* AfxGetThread();
void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

PARVEL_UI_END_EXPORTS
