// Waiting on the GUI thread while it serves its events, always with a bound.
#pragma once

#include <functional>
#include "AfxWin.h"

// Waits until pred holds or the time is up; pred runs on the GUI thread, between its events.
inline bool WaitFor(std::function<bool()> pred, DWORD dwTimeout = 10000)
{
    return AfxWaitUntil([](void* p) -> BOOL { return (*static_cast<std::function<bool()>*>(p))() ? TRUE : FALSE; },
                        &pred, dwTimeout) != FALSE;
}

// Serves the GUI thread's events for a while.
inline void Pump(DWORD dwMs)
{
    WaitFor([] { return false; }, dwMs);
}
