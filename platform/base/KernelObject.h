// Kernel objects: a HANDLE points to a reference-counted CKernelObject. Events, threads and
// mutexes (and any later kind, such as processes) derive from it, so CloseHandle and
// WaitForSingleObject serve every kind alike.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include "WinTypes.h"
#include "CriticalSection.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

typedef size_t SIZE_T;
typedef DWORD* LPDWORD;

typedef struct _SECURITY_ATTRIBUTES
{
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef DWORD (WINAPI* LPTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x00000004u

#ifndef ERROR_NOT_OWNER
#define ERROR_NOT_OWNER 288L
#endif

#define SYNCHRONIZE 0x00100000u
#define MUTEX_ALL_ACCESS 0x001F0001u
#define EVENT_ALL_ACCESS 0x001F0003u

class CKernelObject
{
public:
    CKernelObject();
    CKernelObject(const CKernelObject&) = delete;
    CKernelObject& operator=(const CKernelObject&) = delete;

    void AddRef();
    void Release();

    // Hands out a new handle to the object (one CloseHandle each).
    HANDLE OpenHandle();
    // The object behind a handle still open, with a reference the caller releases; NULL
    // (last error ERROR_INVALID_HANDLE) for anything else.
    static CKernelObject* FromHandle(HANDLE h);
    // The same for an object of kind T: NULL (ERROR_INVALID_HANDLE) for an object of another kind.
    template <class T>
    static T* FromHandleAs(HANDLE h)
    {
        CKernelObject* pObject = FromHandle(h);
        if (!pObject)
            return nullptr;
        T* p = dynamic_cast<T*>(pObject);
        if (!p)
        {
            pObject->Release();
            SetLastError(ERROR_INVALID_HANDLE);
        }
        return p;
    }
    // Drops one handle; FALSE when it was not open.
    static BOOL CloseHandle(HANDLE h);

    // WAIT_OBJECT_0 when the object became signalled within the time, else WAIT_TIMEOUT.
    DWORD Wait(DWORD dwMilliseconds);

protected:
    virtual ~CKernelObject();

    // Called with m_lock held: TRUE when a waiter may go on. Consumes the signal where the
    // kind requires it (auto-reset events clear, mutexes take ownership).
    virtual bool TryWaitLocked() = 0;
    // Kinds whose state changes outside this process (a child ends, another process unlocks)
    // are re-checked at this interval in milliseconds; INFINITE waits for Signal() alone.
    virtual DWORD PollInterval() const { return INFINITE; }
    // Wakes the waiters; call after changing the state under m_lock.
    void Signal();
    // Called (without any lock held) when the last handle of the object was closed.
    virtual void OnLastHandleClosed() {}
    bool HasOpenHandle();

    std::mutex m_lock;
    std::condition_variable m_cond;

private:
    long m_nRefs;
    long m_nHandles;
};

BOOL CloseHandle(HANDLE hObject);
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

// Events.
HANDLE CreateEvent(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName);
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);

// Threads.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                    LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId);
// The C runtime's thread start: the result is the thread's HANDLE (0 on failure).
uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned (*start_address)(void*), void* arglist,
                         unsigned initflag, unsigned* thrdaddr);
DWORD ResumeThread(HANDLE hThread);
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
DWORD GetCurrentThreadId();

// Named mutexes are shared between processes: one exists while some process holds a handle
// of it, and dies with its last holder.
HANDLE CreateMutex(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
HANDLE OpenMutex(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
BOOL ReleaseMutex(HANDLE hMutex);

// Time.
DWORD GetTickCount();
void Sleep(DWORD dwMilliseconds);

PARVEL_BASE_END_EXPORTS
