// Waiting on the GUI thread while it serves its events, and running on it from other threads;
// always with a bound (milliseconds).
#pragma once

#include <algorithm>
#include <functional>
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
