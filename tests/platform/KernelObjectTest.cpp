#include <gtest/gtest.h>
#include <atomic>
#include "CriticalSection.h"
#include "KernelObject.h"

namespace
{
std::atomic<int> g_ran{0};

DWORD WINAPI ReturnParam(LPVOID p)
{
    g_ran = 1;
    return (DWORD)(uintptr_t)p;
}

DWORD WINAPI WaitOnEventThenReturn(LPVOID p)
{
    WaitForSingleObject((HANDLE)p, 5000);
    return 7;
}

unsigned CrtThread(void* p)
{
    *(int*)p = 42;
    return 3;
}
} // namespace

TEST(Event, AutoResetReleasesOneWaitThenTimesOut)
{
    HANDLE h = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(nullptr, h);
    DWORD t0 = GetTickCount();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(h, 80));
    EXPECT_GE(GetTickCount() - t0, 70u);
    ASSERT_TRUE(SetEvent(h));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(h, 0)); // consumed by the first wait
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Event, ManualResetStaysSignalledUntilReset)
{
    HANDLE h = CreateEvent(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0));
    ResetEvent(h);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(h, 20));
    CloseHandle(h);
}

TEST(Event, SetFromAnotherThreadWakesTheWaiter)
{
    HANDLE hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE hThread = CreateThread(nullptr, 0, WaitOnEventThenReturn, hEvent, 0, nullptr);
    ASSERT_NE(nullptr, hThread);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(hThread, 50));
    DWORD dwCode = 0;
    EXPECT_TRUE(GetExitCodeThread(hThread, &dwCode));
    EXPECT_EQ(STILL_ACTIVE, dwCode);
    SetEvent(hEvent);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 5000));
    EXPECT_TRUE(GetExitCodeThread(hThread, &dwCode));
    EXPECT_EQ(7u, dwCode);
    CloseHandle(hThread);
    CloseHandle(hEvent);
}

TEST(Thread, SuspendedThreadRunsOnlyAfterResume)
{
    g_ran = 0;
    DWORD dwId = 0;
    HANDLE h = CreateThread(nullptr, 0, ReturnParam, (LPVOID)(uintptr_t)55, CREATE_SUSPENDED, &dwId);
    ASSERT_NE(nullptr, h);
    EXPECT_NE(0u, dwId);
    EXPECT_NE(GetCurrentThreadId(), dwId);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(h, 50));
    EXPECT_EQ(0, g_ran.load());
    EXPECT_EQ(1u, ResumeThread(h));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 5000));
    EXPECT_EQ(1, g_ran.load());
    DWORD dwCode = 0;
    GetExitCodeThread(h, &dwCode);
    EXPECT_EQ(55u, dwCode);
    EXPECT_EQ(0u, ResumeThread(h));
    CloseHandle(h);
}

TEST(Thread, BeginThreadExWithSuspendAndResume)
{
    int value = 0;
    unsigned id = 0;
    uintptr_t h = _beginthreadex(nullptr, 64 * 1024, CrtThread, &value, CREATE_SUSPENDED, &id);
    ASSERT_NE(0u, h);
    EXPECT_NE(0u, id);
    ResumeThread((HANDLE)h);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject((HANDLE)h, 5000));
    EXPECT_EQ(42, value);
    DWORD dwCode = 0;
    GetExitCodeThread((HANDLE)h, &dwCode);
    EXPECT_EQ(3u, dwCode);
    CloseHandle((HANDLE)h);
}

TEST(Thread, HandleClosedWhileRunningIsSafe)
{
    HANDLE hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE hThread = CreateThread(nullptr, 0, WaitOnEventThenReturn, hEvent, 0, nullptr);
    EXPECT_TRUE(CloseHandle(hThread));
    EXPECT_FALSE(CloseHandle(hThread)); // a handle closes once
    EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
    SetEvent(hEvent);
    Sleep(50); // the thread ends on its own reference
    CloseHandle(hEvent);
}

TEST(KernelObject, InvalidHandles)
{
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject((HANDLE)0x1234, 0));
    HANDLE hEvent = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ((DWORD)-1, ResumeThread(hEvent)); // not a thread
    EXPECT_FALSE(ReleaseMutex(hEvent));
    CloseHandle(hEvent);
    EXPECT_FALSE(SetEvent(hEvent));
}

TEST(Mutex, UnnamedOwnershipIsPerThreadAndRecursive)
{
    HANDLE h = CreateMutex(nullptr, TRUE, nullptr);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0)); // again, by the owner
    struct ARGS
    {
        HANDLE h;
        DWORD result;
    } args = {h, 0};
    auto probe = [](LPVOID p) -> DWORD {
        ARGS* a = (ARGS*)p;
        a->result = WaitForSingleObject(a->h, 30);
        if (a->result == WAIT_OBJECT_0)
            ReleaseMutex(a->h);
        return 0;
    };
    HANDLE t = CreateThread(nullptr, 0, probe, &args, 0, nullptr);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_EQ(WAIT_TIMEOUT, args.result);
    EXPECT_TRUE(ReleaseMutex(h));
    EXPECT_TRUE(ReleaseMutex(h));
    EXPECT_FALSE(ReleaseMutex(h)); // not owned any more
    t = CreateThread(nullptr, 0, probe, &args, 0, nullptr);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_EQ(WAIT_OBJECT_0, args.result);
    CloseHandle(h);
}

TEST(CriticalSection, RecursiveAndExclusive)
{
    static CCriticalSection cs;
    static int counter = 0;
    cs.Lock();
    cs.Lock(); // the owner enters again
    auto bump = [](LPVOID) -> DWORD {
        for (int i = 0; i < 1000; ++i)
        {
            cs.Lock();
            ++counter;
            cs.Unlock();
        }
        return 0;
    };
    HANDLE t = CreateThread(nullptr, 0, bump, nullptr, 0, nullptr);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(t, 50)); // blocked while we hold it
    EXPECT_EQ(0, counter);
    cs.Unlock();
    cs.Unlock();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 5000));
    EXPECT_EQ(1000, counter);
    CloseHandle(t);
}

TEST(Time, TickCountAdvancesWithSleep)
{
    DWORD t0 = GetTickCount();
    Sleep(30);
    DWORD dt = GetTickCount() - t0;
    EXPECT_GE(dt, 29u);
    EXPECT_LT(dt, 2000u);
}
