// Input on its way to its window passes the PreTranslateMessage of the windows it crosses.
#include "WndRecord.h"
#include "CWinThread.h"

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    if (!pMsg)
        return FALSE;
    // The target, then its parents up to the top-level window; only objects of the program's own
    // (a temporary object made by FromHandle overrides nothing).
    for (HWND h = pMsg->hwnd; h;)
    {
        WndRecord* p = LiveRec(h);
        if (!p)
            break;
        HWND hParent = p->hParent;
        if (p->pWnd && !p->bTempWnd && p->pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        h = hParent;
    }
    CWinThread* pThread = AfxGetThread();
    return pThread && pThread->PreTranslateMessage(pMsg);
}
