// Dispatch: a message to its window's procedure, and through the object's message map to the
// handler with the message's arguments cracked.
#include <wx/wx.h>
#include "WndClass.h"
#include "GdiDC.h"

namespace
{
// The messages being handled on this thread, innermost last (for Default()).
thread_local std::vector<MSG> t_msgStack;
}  // namespace

LRESULT DispatchToWindow(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WndRecord* pRec = LiveRec(h);
    if (!pRec)
        return 0;
    CWnd* pWnd = pRec->pWnd;
    if (!pWnd)
    {
        // A window of a class the program registered gets its messages in the class's procedure.
        if (WNDPROC pfn = pRec->pfnWndProc)
            return pfn(h, msg, wParam, lParam);
        return DefaultWindowProc(h, msg, wParam, lParam);
    }
    MSG m{h, msg, wParam, lParam, 0, {0, 0}};
    t_msgStack.push_back(m);
    LRESULT r = pWnd->WindowProc(msg, wParam, lParam);
    t_msgStack.pop_back();
    return r;
}

const MSG* CWnd::GetCurrentMessage()
{
    return t_msgStack.empty() ? nullptr : &t_msgStack.back();
}

LRESULT CWnd::Default()
{
    const MSG* p = GetCurrentMessage();
    if (!p)
        return 0;
    MSG m = *p;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The object of a window of a program-registered class sits on top of the class's procedure.
    WndRecord* p = LiveRec(m_hWnd);
    if (p && p->pfnWndProc)
        return p->pfnWndProc(m_hWnd, message, wParam, lParam);
    return DefaultWindowProc(m_hWnd, message, wParam, lParam);
}

// Calls a window-message handler of the entry with the message's cracked arguments.
static LRESULT CallWindowHandler(CWnd* pWnd, const AFX_MSGMAP_ENTRY* e, UINT msg, WPARAM wParam, LPARAM lParam,
                                 BOOL* pHandled)
{
    AFX_PMSGW pfn = static_cast<AFX_PMSGW>(e->pfn);
    *pHandled = TRUE;
    switch (e->nSig)
    {
    case AfxSig_v_v:
        (pWnd->*pfn)();
        return 0;
    case AfxSig_v_up:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(UINT_PTR)>(pfn))((UINT_PTR)wParam);
        return 0;
    case AfxSig_v_u_pt:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(UINT, CPoint)>(pfn))((UINT)wParam, CPoint(lParam));
        return 0;
    case AfxSig_b_W_u_u:
        return (pWnd->*AfxPmfUncast<BOOL (CWnd::*)(CWnd*, UINT, UINT)>(pfn))(
            CWnd::FromHandle((HWND)wParam), (UINT)(short)LOWORD(lParam), HIWORD(lParam));
    case AfxSig_h_D_W_u:
    {
        CDC* pDC = CDC::FromHandle((HDC)wParam);
        UINT nCtlColor = IsCtlColorMsg(msg) ? msg - WM_CTLCOLORMSGBOX : CTLCOLOR_STATIC;
        return (LRESULT)(pWnd->*AfxPmfUncast<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(pfn))(
            pDC, CWnd::FromHandle((HWND)lParam), nCtlColor);
    }
    case AfxSig_h_D_u:
    {
        CDC* pDC = CDC::FromHandle((HDC)wParam);
        UINT nCtlColor = IsCtlColorMsg(msg - WM_REFLECT_BASE) ? msg - WM_REFLECT_BASE - WM_CTLCOLORMSGBOX : CTLCOLOR_STATIC;
        return (LRESULT)(pWnd->*AfxPmfUncast<HBRUSH (CWnd::*)(CDC*, UINT)>(pfn))(pDC, nCtlColor);
    }
    case AfxSig_v_u_u_u:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(UINT, UINT, UINT)>(pfn))((UINT)wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case AfxSig_v_W_pt:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(CWnd*, CPoint)>(pfn))(CWnd::FromHandle((HWND)wParam), CPoint(lParam));
        return 0;
    case AfxSig_v_W:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(CWnd*)>(pfn))(CWnd::FromHandle((HWND)wParam));
        return 0;
    case AfxSig_v_u_i_i:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(UINT, int, int)>(pfn))((UINT)wParam, (short)LOWORD(lParam),
                                                                    (short)HIWORD(lParam));
        return 0;
    case AfxSig_v_i_i:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(int, int)>(pfn))((short)LOWORD(lParam), (short)HIWORD(lParam));
        return 0;
    case AfxSig_i_pcs:
        return (pWnd->*AfxPmfUncast<int (CWnd::*)(LPCREATESTRUCT)>(pfn))((LPCREATESTRUCT)lParam);
    case AfxSig_v_b_u:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(BOOL, UINT)>(pfn))((BOOL)wParam, (UINT)lParam);
        return 0;
    case AfxSig_b_D:
        return (pWnd->*AfxPmfUncast<BOOL (CWnd::*)(CDC*)>(pfn))(CDC::FromHandle((HDC)wParam));
    case AfxSig_l_w_l:
        return (pWnd->*AfxPmfUncast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
    case AfxSig_v_u_u:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(UINT, LPARAM)>(pfn))((UINT)wParam, lParam);
        return 0;
    case AfxSig_b_u_s_pt:
        return (pWnd->*AfxPmfUncast<BOOL (CWnd::*)(UINT, short, CPoint)>(pfn))(LOWORD(wParam), (short)HIWORD(wParam),
                                                                              CPoint(lParam));
    case AfxSig_l_pt:
        return (pWnd->*AfxPmfUncast<LRESULT (CWnd::*)(CPoint)>(pfn))(CPoint(lParam));
    case AfxSig_v_mmi:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(MINMAXINFO*)>(pfn))((MINMAXINFO*)lParam);
        return 0;
    case AfxSig_v_u_W_b:
        (pWnd->*AfxPmfUncast<void (CWnd::*)(UINT, CWnd*, BOOL)>(pfn))(LOWORD(wParam), CWnd::FromHandle((HWND)lParam),
                                                                       HIWORD(wParam));
        return 0;
    default:
        *pHandled = FALSE;
        return 0;
    }
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND)
    {
        if (OnCommand(wParam, lParam))
        {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY)
    {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        if (pNMHDR && pNMHDR->hwndFrom && OnNotify(wParam, lParam, &lResult))
        {
            *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }
    UINT nLookup = IsCtlColorMsg(message) ? WM_CTLCOLOR : message;
    if (message >= 0xC000 && message <= 0xFFFF)
        nLookup = message;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), nLookup, 0, 0);
    if (!e)
        return FALSE;
    if (e->nMessage == 0xC000)
    {
        AFX_PMSGW pfn = static_cast<AFX_PMSGW>(e->pfn);
        *pResult = (this->*AfxPmfUncast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
        return TRUE;
    }
    BOOL bHandled = FALSE;
    lResult = CallWindowHandler(this, e, message, wParam, lParam, &bHandled);
    if (bHandled)
        *pResult = lResult;
    return bHandled;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (hWndCtrl)
    {
        WndRecord* pCtl = LiveRec(hWndCtrl);
        if (pCtl && pCtl->pWnd && pCtl->pWnd != this)
        {
            LRESULT r = 0;
            if (pCtl->pWnd->OnChildNotify(WM_COMMAND, wParam, lParam, &r))
                return TRUE;
        }
    }
    else
        nCode = CN_COMMAND;
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    WndRecord* pCtl = LiveRec(pNMHDR->hwndFrom);
    if (pCtl && pCtl->pWnd && pCtl->pWnd != this && pCtl->pWnd->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), WM_NOTIFY, pNMHDR->code, (UINT)pNMHDR->idFrom);
    if (!e)
        return FALSE;
    auto pfn = AfxPmfUncast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(e->pfn);
    (this->*pfn)(pNMHDR, pResult);
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const AFX_MSGMAP* pMap = GetMessageMap();
    if (message == WM_COMMAND)
    {
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(pMap, WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
        if (!e)
            return FALSE;
        if (e->nSig == AfxSig_b_v)
            return (this->*AfxPmfUncast<BOOL (CCmdTarget::*)()>(e->pfn))();
        (this->*(e->pfn))();
        return TRUE;
    }
    if (message == WM_NOTIFY)
    {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(pMap, WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0);
        if (!e)
            return FALSE;
        (this->*AfxPmfUncast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(e->pfn))(pNMHDR, pResult);
        return TRUE;
    }
    if (IsCtlColorMsg(message))
    {
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(pMap, WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0);
        if (!e)
            return FALSE;
        BOOL bHandled = FALSE;
        LRESULT r = CallWindowHandler(this, e, message + WM_REFLECT_BASE, wParam, lParam, &bHandled);
        if (r == 0)
            return FALSE;  // a NULL brush lets the parent decide
        *pResult = r;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}
