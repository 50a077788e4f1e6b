// Asking windows to repaint: invalidation and immediate updates.
#include <wx/wx.h>
#include "WndClass.h"

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    // Only queued: painting threads (animations) must not wait for the GUI thread. Their record
    // is looked at on the GUI thread alone, where it cannot go away meanwhile.
    const bool bGui = AfxIsGuiThread();
    WndRecord* p = LiveRec(hWnd);
    if (!p || (bGui && !HostOf(p)))
        return FALSE;
    RECT rc{};
    bool bRect = lpRect != nullptr;
    if (bRect)
        rc = *lpRect;
    auto fn = [hWnd, rc, bRect] {
        WndRecord* r = LiveRec(hWnd);
        int dx, dy;
        wxWindow* host = r ? HostOf(r, &dx, &dy) : nullptr;
        if (!host)
            return;
        if (bRect)
            host->RefreshRect(wxRect(rc.left + dx, rc.top + dy, rc.right - rc.left, rc.bottom - rc.top), false);
        else
            RefreshWindow(r);
    };
    if (bGui)
        fn();
    else
        RunOnGui(fn, false);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(UpdateWindow(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p || !HostOf(p))
        return FALSE;
    wxWindow* host = HostOf(p);
    if (host->IsShownOnScreen())
        host->Update();
    return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, void* hrgnUpdate, UINT flags)
{
    RUN_WHOLE_ON_GUI(RedrawWindow(hWnd, lprcUpdate, hrgnUpdate, flags));
    if (flags & (RDW_INVALIDATE | RDW_ERASE))
        InvalidateRect(hWnd, lprcUpdate, (flags & RDW_ERASE) != 0);
    if (flags & RDW_ALLCHILDREN)
        if (WndRecord* p = LiveRec(hWnd))
            for (HWND c : std::vector<HWND>(p->children))
                RedrawWindow(c, nullptr, nullptr, flags & ~RDW_UPDATENOW);
    if (flags & RDW_UPDATENOW)
        UpdateWindow(hWnd);
    return TRUE;
}
