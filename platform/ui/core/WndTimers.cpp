// Timers: WM_TIMER to the window (or its callback) on the GUI thread.
#include <wx/wx.h>
#include "WndClass.h"

namespace
{
class CWndTimer : public wxTimer
{
public:
    CWndTimer(HWND h, UINT_PTR id, TIMERPROC proc) : m_hWnd(h), m_nID(id), m_pfn(proc) {}
    void Notify() override
    {
        HWND h = m_hWnd;
        UINT_PTR id = m_nID;
        TIMERPROC pfn = m_pfn;
        // The handler may kill this timer or destroy the window: use only copies from here.
        if (LiveRec(h))
            DispatchToWindow(h, WM_TIMER, (WPARAM)id, (LPARAM)pfn);
    }
    HWND m_hWnd;
    UINT_PTR m_nID;
    TIMERPROC m_pfn;
};
}  // namespace

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    RUN_WHOLE_ON_GUI(SetTimer(hWnd, nIDEvent, uElapse, lpTimerFunc));
    WndRecord* p = LiveRec(hWnd);
    if (!p || p->bForeign)
        return 0;
    if (uElapse < 10)
        uElapse = 10;
    if (p->bDestroying)
        return 0;
    auto it = p->timers.find(nIDEvent);
    if (it != p->timers.end())
    {
        // A timer set again starts over with the new period.
        auto* t = static_cast<CWndTimer*>(it->second.get());
        t->m_pfn = lpTimerFunc;
        t->Start((int)uElapse);
    }
    else
    {
        auto t = std::make_unique<CWndTimer>(hWnd, nIDEvent, lpTimerFunc);
        t->Start((int)uElapse);
        p->timers[nIDEvent] = std::move(t);
    }
    return nIDEvent ? nIDEvent : 1;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    RUN_WHOLE_ON_GUI(KillTimer(hWnd, uIDEvent));
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return FALSE;
    auto it = p->timers.find(uIDEvent);
    if (it == p->timers.end())
        return FALSE;
    it->second->Stop();
    // Not deleted inside its own Notify: freed at the next turn of the loop.
    wxTimer* t = it->second.release();
    p->timers.erase(it);
    wxTheApp->CallAfter([t] { delete t; });
    return TRUE;
}
