// Making a window: the record, its class's state and widget, WM_CREATE. One path for framework
// objects (CWnd::CreateEx) and for windows of a program-registered class (CreateWindowEx).
#include <wx/wx.h>
#include "WndClass.h"
#include "WndCreate.h"

HWND CreateWindowRecord(CWnd* pWnd, CREATESTRUCT& cs)
{
    bool bChild = (cs.style & WS_CHILD) != 0;
    WndRecord* pParentRec = LiveRec(cs.hwndParent);
    if (bChild && !pParentRec)
        return nullptr;
    const CWndClass* pClass = CWndClassRegistry::Resolve(cs);
    if (!pClass)
        return nullptr;
    auto* pRec = new WndRecord;
    pRec->pClass = pClass;
    pRec->pState = pClass->NewState(cs);
    pRec->pfnWndProc = pClass->ClassWndProc();
    pRec->pWnd = pWnd;
    pRec->dwStyle = (DWORD)cs.style & ~WS_VISIBLE;
    pRec->dwExStyle = cs.dwExStyle;
    pRec->nID = bChild ? (int)(UINT_PTR)cs.hMenu : 0;
    pRec->strText = cs.lpszName ? cs.lpszName : "";
    if (bChild)
        pRec->hParent = cs.hwndParent;
    else
        pRec->hOwner = cs.hwndParent;
    HWND h = RegisterRecord(pRec);
    if (bChild)
        pParentRec->children.push_back(h);
    if (pWnd)
        pWnd->m_hWnd = h;
    wxWindow* pParentWx = pParentRec ? pParentRec->pWx : nullptr;
    wxWindow* pWx = pWnd ? pWnd->CreateWxWindow(cs, bChild ? pParentWx : nullptr)
                         : pClass->CreateWidget(pRec, cs, bChild ? pParentWx : nullptr);
    if (!pWx && !pRec->bLight)
    {
        DestroyWindowTree(h);
        return nullptr;
    }
    pRec->pWx = pWx;
    if (pWx)
        BindWidgetEvents(pRec, pWx);
    if (DispatchToWindow(h, WM_CREATE, 0, (LPARAM)&cs) == -1)
    {
        DestroyWindowTree(h);
        return nullptr;
    }
    if (!LiveRec(h))
        return nullptr;
    if (cs.style & WS_VISIBLE)
        ::ShowWindow(h, (cs.style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    AfxWakeWaiters();  // a thread may wait for this window
    return h;
}
