// Waiting on the GUI thread while it serves its events, always with a bound (milliseconds).
#pragma once

#include <algorithm>
#include <functional>
#include "AfxWin.h"
#include "KernelObject.h"

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
