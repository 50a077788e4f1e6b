#include "KernelObject.h"

#include <pthread.h>
#include <time.h>
#include <unistd.h>
#include <sys/syscall.h>
#include <unordered_set>

namespace
{
// Objects that have open handles. Never destroyed: handles may be closed from static destructors.
struct CHandleTable
{
    std::mutex m_lock;
    std::unordered_set<CKernelObject*> m_open;
};

CHandleTable& HandleTable()
{
    static CHandleTable* s_table = new CHandleTable;
    return *s_table;
}
} // namespace

CKernelObject::CKernelObject() : m_nRefs(1), m_nHandles(0) {}

CKernelObject::~CKernelObject() {}

void CKernelObject::AddRef() { __atomic_add_fetch(&m_nRefs, 1, __ATOMIC_RELAXED); }

void CKernelObject::Release()
{
    if (__atomic_sub_fetch(&m_nRefs, 1, __ATOMIC_ACQ_REL) == 0)
        delete this;
}

HANDLE CKernelObject::OpenHandle()
{
    CHandleTable& table = HandleTable();
    std::lock_guard<std::mutex> guard(table.m_lock);
    if (m_nHandles++ == 0)
        table.m_open.insert(this);
    AddRef();
    return (HANDLE)this;
}

CKernelObject* CKernelObject::FromHandle(HANDLE h)
{
    CHandleTable& table = HandleTable();
    std::lock_guard<std::mutex> guard(table.m_lock);
    auto it = table.m_open.find((CKernelObject*)h);
    if (it == table.m_open.end())
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    (*it)->AddRef();
    return *it;
}

BOOL CKernelObject::CloseHandle(HANDLE h)
{
    CKernelObject* pObject = nullptr;
    {
        CHandleTable& table = HandleTable();
        std::lock_guard<std::mutex> guard(table.m_lock);
        auto it = table.m_open.find((CKernelObject*)h);
        if (it == table.m_open.end())
        {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        pObject = *it;
        if (--pObject->m_nHandles == 0)
            table.m_open.erase(it);
    }
    if (!pObject->HasOpenHandle())
        pObject->OnLastHandleClosed();
    pObject->Release();
    return TRUE;
}

bool CKernelObject::HasOpenHandle()
{
    CHandleTable& table = HandleTable();
    std::lock_guard<std::mutex> guard(table.m_lock);
    return m_nHandles > 0;
}

DWORD CKernelObject::Wait(DWORD dwMilliseconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(dwMilliseconds == INFINITE ? 0 : dwMilliseconds);
    const DWORD dwPoll = PollInterval();

    std::unique_lock<std::mutex> lock(m_lock);
    for (;;)
    {
        if (TryWaitLocked())
            return WAIT_OBJECT_0;
        const Clock::time_point now = Clock::now();
        if (dwMilliseconds != INFINITE && now >= deadline)
            return WAIT_TIMEOUT;
        if (dwPoll == INFINITE && dwMilliseconds == INFINITE)
        {
            m_cond.wait(lock);
            continue;
        }
        Clock::time_point until = dwMilliseconds == INFINITE ? Clock::time_point::max() : deadline;
        if (dwPoll != INFINITE && now + std::chrono::milliseconds(dwPoll) < until)
            until = now + std::chrono::milliseconds(dwPoll);
        m_cond.wait_until(lock, until);
    }
}

void CKernelObject::Signal() { m_cond.notify_all(); }

BOOL CloseHandle(HANDLE hObject) { return CKernelObject::CloseHandle(hObject); }

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    CKernelObject* pObject = CKernelObject::FromHandle(hHandle);
    if (!pObject)
        return WAIT_FAILED;
    DWORD dwResult = pObject->Wait(dwMilliseconds);
    pObject->Release();
    return dwResult;
}

// ---- Events ----

namespace
{
class CEventObject : public CKernelObject
{
public:
    CEventObject(bool bManualReset, bool bInitialState) : m_bManualReset(bManualReset), m_bSignalled(bInitialState) {}

    void Set()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bSignalled = true;
        Signal();
    }
    void Reset()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bSignalled = false;
    }

protected:
    bool TryWaitLocked() override
    {
        if (!m_bSignalled)
            return false;
        if (!m_bManualReset)
            m_bSignalled = false;
        return true;
    }

private:
    bool m_bManualReset;
    bool m_bSignalled;
};

template <class T> T* ObjectOf(HANDLE h, CKernelObject*& pHeld)
{
    pHeld = CKernelObject::FromHandle(h);
    T* p = dynamic_cast<T*>(pHeld);
    if (pHeld && !p)
    {
        pHeld->Release();
        pHeld = nullptr;
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return p;
}
} // namespace

HANDLE CreateEvent(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR)
{
    CEventObject* pEvent = new CEventObject(bManualReset != FALSE, bInitialState != FALSE);
    HANDLE h = pEvent->OpenHandle();
    pEvent->Release();
    SetLastError(ERROR_SUCCESS);
    return h;
}

BOOL SetEvent(HANDLE hEvent)
{
    CKernelObject* pHeld;
    CEventObject* pEvent = ObjectOf<CEventObject>(hEvent, pHeld);
    if (!pEvent)
        return FALSE;
    pEvent->Set();
    pHeld->Release();
    return TRUE;
}

BOOL ResetEvent(HANDLE hEvent)
{
    CKernelObject* pHeld;
    CEventObject* pEvent = ObjectOf<CEventObject>(hEvent, pHeld);
    if (!pEvent)
        return FALSE;
    pEvent->Reset();
    pHeld->Release();
    return TRUE;
}

// ---- Threads ----

namespace
{
class CThreadObject : public CKernelObject
{
public:
    CThreadObject(LPTHREAD_START_ROUTINE pfn, unsigned (*pfnCrt)(void*), LPVOID pParam, bool bSuspended)
        : m_pfn(pfn), m_pfnCrt(pfnCrt), m_pParam(pParam), m_dwSuspend(bSuspended ? 1 : 0)
    {
    }

    bool Start(SIZE_T dwStackSize)
    {
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
        if (dwStackSize)
        {
            SIZE_T dwMin = (SIZE_T)PTHREAD_STACK_MIN;
            pthread_attr_setstacksize(&attr, dwStackSize < dwMin ? dwMin : dwStackSize);
        }
        AddRef(); // the running thread's own reference
        pthread_t thread;
        int err = pthread_create(&thread, &attr, &CThreadObject::Run, this);
        pthread_attr_destroy(&attr);
        if (err != 0)
        {
            Release();
            return false;
        }
        // The id is known once the thread runs (also when it waits suspended).
        std::unique_lock<std::mutex> lock(m_lock);
        m_cond.wait(lock, [this] { return m_dwThreadId != 0; });
        return true;
    }

    DWORD Resume()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        DWORD dwPrevious = m_dwSuspend;
        if (m_dwSuspend > 0 && --m_dwSuspend == 0)
            Signal();
        return dwPrevious;
    }

    DWORD ExitCode()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_bDone ? m_dwExitCode : STILL_ACTIVE;
    }

    DWORD ThreadId() const { return m_dwThreadId; }

protected:
    bool TryWaitLocked() override { return m_bDone; }

private:
    static void* Run(void* p)
    {
        CThreadObject* pThis = (CThreadObject*)p;
        {
            std::unique_lock<std::mutex> lock(pThis->m_lock);
            pThis->m_dwThreadId = ::GetCurrentThreadId();
            pThis->Signal();
            pThis->m_cond.wait(lock, [pThis] { return pThis->m_dwSuspend == 0; });
        }
        DWORD dwExit = pThis->m_pfn ? pThis->m_pfn(pThis->m_pParam) : (DWORD)pThis->m_pfnCrt(pThis->m_pParam);
        {
            std::lock_guard<std::mutex> guard(pThis->m_lock);
            pThis->m_dwExitCode = dwExit;
            pThis->m_bDone = true;
            pThis->Signal();
        }
        pThis->Release();
        return nullptr;
    }

    LPTHREAD_START_ROUTINE m_pfn;
    unsigned (*m_pfnCrt)(void*);
    LPVOID m_pParam;
    DWORD m_dwSuspend;
    DWORD m_dwThreadId = 0;
    DWORD m_dwExitCode = 0;
    bool m_bDone = false;
};

HANDLE StartThread(LPTHREAD_START_ROUTINE pfn, unsigned (*pfnCrt)(void*), LPVOID pParam, SIZE_T dwStackSize, DWORD dwFlags,
                   DWORD* pThreadId)
{
    CThreadObject* pThread = new CThreadObject(pfn, pfnCrt, pParam, (dwFlags & CREATE_SUSPENDED) != 0);
    if (!pThread->Start(dwStackSize))
    {
        pThread->Release();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (pThreadId)
        *pThreadId = pThread->ThreadId();
    HANDLE h = pThread->OpenHandle();
    pThread->Release();
    return h;
}
} // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                    DWORD dwCreationFlags, LPDWORD lpThreadId)
{
    if (!lpStartAddress)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return StartThread(lpStartAddress, nullptr, lpParameter, dwStackSize, dwCreationFlags, lpThreadId);
}

uintptr_t _beginthreadex(void*, unsigned stack_size, unsigned (*start_address)(void*), void* arglist, unsigned initflag,
                         unsigned* thrdaddr)
{
    if (!start_address)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD dwThreadId = 0;
    HANDLE h = StartThread(nullptr, start_address, arglist, stack_size, initflag, &dwThreadId);
    if (h && thrdaddr)
        *thrdaddr = dwThreadId;
    return (uintptr_t)h;
}

DWORD ResumeThread(HANDLE hThread)
{
    CKernelObject* pHeld;
    CThreadObject* pThread = ObjectOf<CThreadObject>(hThread, pHeld);
    if (!pThread)
        return (DWORD)-1;
    DWORD dwPrevious = pThread->Resume();
    pHeld->Release();
    return dwPrevious;
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    CKernelObject* pHeld;
    CThreadObject* pThread = ObjectOf<CThreadObject>(hThread, pHeld);
    if (!pThread || !lpExitCode)
    {
        if (pHeld)
            pHeld->Release();
        return FALSE;
    }
    *lpExitCode = pThread->ExitCode();
    pHeld->Release();
    return TRUE;
}

DWORD GetCurrentThreadId() { return (DWORD)syscall(SYS_gettid); }

// ---- Time ----

DWORD GetTickCount()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (DWORD)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

void Sleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds == INFINITE)
    {
        for (;;)
            pause();
    }
    struct timespec ts;
    ts.tv_sec = dwMilliseconds / 1000;
    ts.tv_nsec = (long)(dwMilliseconds % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0)
    {
    }
}
