// Destroying windows: the tree of children and owned windows, the record freed, the object told.
#include <wx/wx.h>
#include "WndClass.h"
#include "CWinApp.h"
#include "X11Window.h"

void DestroyWindowTree(HWND h)
{
    WndRecord* p = LiveRec(h);
    if (!p || p->bDestroying)
        return;
    p->bDestroying = true;
    if (CaptureWindow() == h)
        ReleaseCapture();
    p->timers.clear();
    DispatchToWindow(h, WM_DESTROY, 0, 0);
    std::vector<HWND> kids = p->children;
    for (HWND c : kids)
        DestroyWindowTree(c);
    // Windows this one owns go with it.
    std::vector<HWND> owned;
    ForEachTopLevel([&](HWND t) {
        if (WndRecord* r = LiveRec(t); r && r->hOwner == h)
            owned.push_back(t);
    });
    for (HWND o : owned)
        DestroyWindowTree(o);
    DispatchToWindow(h, WM_NCDESTROY, 0, 0);
    if (WndRecord* pParent = LiveRec(p->hParent))
    {
        auto& v = pParent->children;
        for (auto it = v.begin(); it != v.end(); ++it)
            if (*it == h)
            {
                v.erase(it);
                break;
            }
    }
    if (p->bLight && p->bLightVisible)
        RefreshWindow(p);  // its parent paints over where it was
    CWnd* pWnd = p->pWnd;
    bool bTemp = p->bTempWnd;
    wxWindow* pWx = p->pWx;
    if (pWx)
        p->pClass->UnbindEvents(p);
    p->pWx = nullptr;
    p->pWnd = nullptr;
    p->pPaintDC = nullptr;
    p->pState.reset();
    if (pWx)
    {
        if (!p->hParent)
        {
            pWx->Hide();
            pWx->Destroy();  // top-levels go at the next idle time
        }
        else
        {
            // A child still inside a dying parent goes with it; otherwise now.
            WndRecord* pParent = LiveRec(p->hParent);
            if (pParent && !pParent->bDestroying)
                pWx->Destroy();
            else if (!pParent)
                pWx->Destroy();
        }
    }
    UnregisterRecordOf(p);
    if (pWnd)
    {
        if (pWnd->m_hWnd == h)
            pWnd->m_hWnd = nullptr;
        if (bTemp)
            delete pWnd;
        else
            pWnd->PostNcDestroy();
    }
    AfxWakeWaiters();  // a thread may wait for this window to go
}

BOOL DestroyWindow(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(DestroyWindow(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p || p->bForeign)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DestroyWindowTree(hWnd);
    return TRUE;
}

BOOL IsWindow(HWND hWnd)
{
    // Without the GUI thread: threads ask it while the GUI thread waits for them.
    bool bForeign = false;
    if (!LiveHandle(hWnd, &bForeign))
        return FALSE;
    return bForeign ? X11IsWindow(hWnd) : TRUE;
}
