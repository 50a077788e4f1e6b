// Worker and user-interface threads.
#include <unistd.h>
#include "WndRecord.h"
#include "CWinThread.h"
#include "CWinApp.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

static thread_local CWinThread* t_pThread = nullptr;

CWinThread::CWinThread()
    : m_hThread(nullptr), m_nThreadID(0), m_bAutoDelete(TRUE), m_pMainWnd(nullptr), m_pActiveWnd(nullptr),
      m_pfnThreadProc(nullptr), m_pThreadParams(nullptr), m_nPriority(THREAD_PRIORITY_NORMAL)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread()
{
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

unsigned CWinThread::ThreadEntry(void* pv)
{
    auto* pThis = static_cast<CWinThread*>(pv);
    t_pThread = pThis;
    unsigned nResult;
    if (pThis->m_pfnThreadProc)
        nResult = pThis->m_pfnThreadProc(pThis->m_pThreadParams);
    else if (pThis->InitInstance())
        nResult = (unsigned)pThis->Run();
    else
        nResult = (unsigned)pThis->ExitInstance();
    t_pThread = nullptr;
    if (pThis->m_bAutoDelete)
        delete pThis;
    return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES)
{
    unsigned id = 0;
    uintptr_t h = _beginthreadex(nullptr, nStackSize, &CWinThread::ThreadEntry, this, dwCreateFlags & CREATE_SUSPENDED, &id);
    if (!h)
        return FALSE;
    m_hThread = (HANDLE)h;
    m_nThreadID = id;
    return TRUE;
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

static BOOL MainWndGone(void* p)
{
    auto* pThread = static_cast<CWinThread*>(p);
    return !pThread->m_pMainWnd || !::IsWindow(pThread->m_pMainWnd->m_hWnd);
}

int CWinThread::Run()
{
    // The thread's windows live on the GUI thread: this thread waits until its main window is gone.
    AfxWaitUntil(&MainWndGone, this, INFINITE);
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return 0;
}

BOOL CWinThread::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG)
{
    return FALSE;
}

CWnd* CWinThread::GetMainWnd()
{
    return m_pMainWnd;
}

// Started suspended, so the object is complete before the thread can delete it.
static CWinThread* StartThread(CWinThread* pThread, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                               LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    pThread->SetThreadPriority(nPriority);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs))
    {
        delete pThread;
        return nullptr;
    }
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    return StartThread(new CWinThread(pfnThreadProc, pParam), nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pThreadClass || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        return nullptr;
    auto* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (!pThread)
        return nullptr;
    return StartThread(pThread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

CWinThread* AfxGetThread()
{
    if (t_pThread)
        return t_pThread;
    return AfxIsGuiThread() ? AfxGetApp() : nullptr;
}

void AfxEndThread(UINT, BOOL)
{
    // Threads end by returning from their procedure; nothing can unwind one from outside here.
}
