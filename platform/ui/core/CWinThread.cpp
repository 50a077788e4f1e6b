// Worker and user-interface threads.
#include <mutex>
#include <set>
#include "WndRecord.h"
#include "CWinThread.h"
#include "CWinApp.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

static thread_local CWinThread* t_pThread = nullptr;

namespace
{
// User-interface threads inside Run: their windows live on the GUI thread, so their idle step
// runs there too.
std::mutex g_runningLock;
std::set<CWinThread*>& Running()
{
    static auto* s = new std::set<CWinThread*>;
    return *s;
}

// WM_IDLEUPDATECMDUI to the window and every window inside it: bars ask for their commands' state.
void SendIdleUpdate(HWND h)
{
    if (!LiveRec(h))
        return;
    DispatchToWindow(h, WM_IDLEUPDATECMDUI, TRUE, 0);
    WndRecord* p = LiveRec(h);
    if (!p)
        return;
    std::vector<HWND> kids = p->children;
    for (HWND c : kids)
        SendIdleUpdate(c);
}

void IdleOf(CWinThread* pThread, bool (*pfnInputWaiting)())
{
    for (LONG n = 0; pThread->OnIdle(n); ++n)
        if (pfnInputWaiting())
            break;
}
}  // namespace

void RunIdleStep(bool (*pfnInputWaiting)())
{
    static bool s_bInIdle = false;  // GUI thread; an idle handler that pumps gets no nested step
    if (s_bInIdle)
        return;
    s_bInIdle = true;
    if (CWinApp* pApp = AfxGetApp())
        IdleOf(pApp, pfnInputWaiting);
    {
        std::lock_guard<std::mutex> guard(g_runningLock);
        for (CWinThread* pThread : Running())
            IdleOf(pThread, pfnInputWaiting);
    }
    s_bInIdle = false;
}

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
    AfxWakeWaiters();  // waits on what the thread did may end now
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
    {
        std::lock_guard<std::mutex> guard(g_runningLock);
        Running().insert(this);
    }
    AfxWaitUntil(&MainWndGone, this, INFINITE);
    {
        std::lock_guard<std::mutex> guard(g_runningLock);
        Running().erase(this);
    }
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

BOOL CWinThread::OnIdle(LONG lCount)
{
    // The first round brings the command sources of the thread's main window up to date.
    if (lCount <= 0)
        if (CWnd* pMain = GetMainWnd())
            SendIdleUpdate(pMain->m_hWnd);
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
