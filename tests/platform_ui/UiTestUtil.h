// Helpers of the windowing tests: bounded waits on the GUI thread.
#pragma once

#include <functional>
#include "CWnd.h"

// Pumps the GUI thread until the condition holds; false when the time ran out.
inline bool WaitFor(const std::function<bool()>& cond, DWORD ms = 5000)
{
    return AfxWaitUntil([](void* p) -> BOOL { return (*static_cast<const std::function<bool()>*>(p))() ? TRUE : FALSE; },
                        const_cast<std::function<bool()>*>(&cond), ms) != FALSE;
}

inline void Pump(DWORD ms)
{
    WaitFor([] { return false; }, ms);
}
