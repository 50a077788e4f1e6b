// Waiting on the GUI thread while it serves its events, and running on it from other threads;
// always with a bound (milliseconds).
#pragma once

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include "AfxWin.h"
#include "KernelObject.h"
#include "PollWait.h"

// Waits until pred holds or the time is up; pred runs on the calling thread, on the GUI thread
// between its events. The framework's wait blocks until something may have changed; a condition a
// test's own thread changes without telling the framework is looked at again every 20 ms.
inline bool WaitFor(const std::function<bool()>& pred, DWORD dwTimeout = 10000)
{
    DWORD dwStart = GetTickCount();
    for (;;)
    {
        DWORD dwElapsed = GetTickCount() - dwStart;
        if (dwElapsed >= dwTimeout)
            return pred();
        DWORD dwSlice = std::min<DWORD>(20, dwTimeout - dwElapsed);
        if (AfxWaitUntil([](void* p) -> BOOL { return (*static_cast<const std::function<bool()>*>(p))() ? TRUE : FALSE; },
                         const_cast<std::function<bool()>*>(&pred), dwSlice))
            return true;
    }
}

// Serves the GUI thread's events for a while.
inline void Pump(DWORD dwMs)
{
    WaitFor([] { return false; }, dwMs);
}

// Runs fn on the GUI thread and waits for it; from any thread, also while the GUI thread is modal.
inline void OnGui(const std::function<void()>& fn)
{
    AfxRunOnGuiThread([](void* p) { (*static_cast<const std::function<void()>*>(p))(); },
                      const_cast<std::function<void()>*>(&fn));
}

// Waits (bounded) until pred holds; pred runs on the GUI thread. A driver thread asks it again
// every 20 ms; on the GUI thread itself this waits while its events go on.
inline bool WaitOnGui(const std::function<bool()>& pred, int nTimeoutMs = 10000)
{
    if (AfxIsGuiThread())
        return WaitFor(pred, (DWORD)nTimeoutMs);
    return PollUntil([&] {
        bool bDone = false;
        OnGui([&] { bDone = pred(); });
        return bDone;
    }, (unsigned)nTimeoutMs, 20);
}

// From a thread of its own, asks the GUI thread for an empty call every 20 ms and keeps the
// longest time it took to answer (milliseconds); stops with the object. A GUI thread that blocks
// shows as one long answer when it comes back.
class CGuiAnswerProbe
{
public:
    CGuiAnswerProbe() : m_thread([this] { Run(); }) {}
    // On the GUI thread: serves the probe's last call while it waits for the thread to end.
    ~CGuiAnswerProbe()
    {
        m_bStop = true;
        if (AfxIsGuiThread())
            WaitFor([this] { return m_bDone.load(); }, 60000);
        m_thread.join();
    }
    CGuiAnswerProbe(const CGuiAnswerProbe&) = delete;
    CGuiAnswerProbe& operator=(const CGuiAnswerProbe&) = delete;

    long Longest() const { return m_nLongestMs; }
    int Answers() const { return m_nAnswers; }
    // Starts a new stretch: the longest answer and the count from now on.
    void Restart()
    {
        m_nLongestMs = 0;
        m_nAnswers = 0;
    }

private:
    void Run()
    {
        while (!m_bStop)
        {
            const auto start = std::chrono::steady_clock::now();
            OnGui([] {});
            const long ms = (long)std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start).count();
            if (ms > m_nLongestMs)
                m_nLongestMs = ms;
            ++m_nAnswers;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        m_bDone = true;
    }

    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<long> m_nLongestMs{0};
    std::atomic<int> m_nAnswers{0};
    std::thread m_thread;
};
