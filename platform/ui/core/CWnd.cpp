// CWnd: window records, the window procedure and message-map dispatch, and the window calls.
#include <wx/wx.h>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include "WndClass.h"
#include "CWinApp.h"
#include "CFrameWnd.h"
#include "CDataExchange.h"
#include "GdiDC.h"
#include "WndCreate.h"

// ---------------------------------------------------------------------------------------------
// Records

namespace
{
std::mutex g_recLock;
std::unordered_set<WndRecord*>& LiveSet()
{
    static auto* s = new std::unordered_set<WndRecord*>;
    return *s;
}
std::vector<HWND>& TopLevels()
{
    static auto* v = new std::vector<HWND>;
    return *v;
}
std::unordered_map<unsigned long, HWND>& ForeignMap()
{
    static auto* m = new std::unordered_map<unsigned long, HWND>;
    return *m;
}

// The messages being handled on this thread, innermost last (for Default()).
thread_local std::vector<MSG> t_msgStack;
}  // namespace

WndRecord::WndRecord() = default;
WndRecord::~WndRecord() = default;

WndRecord* LiveRec(HWND h)
{
    if (!h)
        return nullptr;
    std::lock_guard<std::mutex> guard(g_recLock);
    auto* p = reinterpret_cast<WndRecord*>(h);
    return LiveSet().count(p) && p->bAlive ? p : nullptr;
}

HWND RegisterRecord(WndRecord* pRec)
{
    std::lock_guard<std::mutex> guard(g_recLock);
    pRec->hSelf = reinterpret_cast<HWND>(pRec);
    LiveSet().insert(pRec);
    if (!pRec->hParent && !pRec->bForeign)
        TopLevels().push_back(pRec->Handle());
    return pRec->Handle();
}

void UnregisterRecordOf(WndRecord* pRec)
{
    std::lock_guard<std::mutex> guard(g_recLock);
    pRec->bAlive = false;
    auto& tl = TopLevels();
    for (auto it = tl.begin(); it != tl.end(); ++it)
        if (*it == pRec->Handle())
        {
            tl.erase(it);
            break;
        }
}

void ForEachTopLevel(const std::function<void(HWND)>& fn)
{
    std::vector<HWND> copy;
    {
        std::lock_guard<std::mutex> guard(g_recLock);
        copy = TopLevels();
    }
    for (HWND h : copy)
        if (LiveRec(h))
            fn(h);
}

HWND AfxHandleFromX11Window(unsigned long xid)
{
    if (!xid)
        return nullptr;
    HWND own = nullptr;
    ForEachTopLevel([&](HWND h) {
        if (!own && AfxGetX11Window(h) == xid)
            own = h;
    });
    if (own)
        return own;
    {
        std::lock_guard<std::mutex> guard(g_recLock);
        auto it = ForeignMap().find(xid);
        if (it != ForeignMap().end())
            return it->second;
    }
    auto* pRec = new WndRecord;
    pRec->bForeign = true;
    pRec->xidForeign = xid;
    HWND h = RegisterRecord(pRec);
    std::lock_guard<std::mutex> guard(g_recLock);
    ForeignMap()[xid] = h;
    return h;
}

BOOL AfxIsForeignWindow(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    return p && p->bForeign;
}

wxWindow* AfxGetWxWindow(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    return p ? HostOf(p) : nullptr;
}

BOOL AfxGetWxWindowOffset(HWND hWnd, int* pdx, int* pdy)
{
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return FALSE;
    return HostOf(p, pdx, pdy) != nullptr;
}

wxDC* AfxGetPaintContext(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    return p ? p->pPaintDC : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Dispatch

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

static bool IsCtlColorMsg(UINT m)
{
    return m >= WM_CTLCOLORMSGBOX && m <= WM_CTLCOLORSTATIC;
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

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID)
{
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e && e->nSig != AfxSig_end; ++e)
        {
            if (e->nMessage == 0xC000 && nMsg >= 0xC000)
            {
                if (*(const UINT*)e->nSig == nMsg)
                    return e;
                continue;
            }
            if (e->nMessage == nMsg && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
        if (pMap->pfnGetBaseMap == nullptr)
            break;
    }
    return nullptr;
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

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), WM_COMMAND, (UINT)nCode, nID);
    if (!e)
        return FALSE;
    if (pHandlerInfo)
    {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pmf = e->pfn;
        return TRUE;
    }
    switch (e->nSig)
    {
    case AfxSig_v_v:
        (this->*(e->pfn))();
        return TRUE;
    case AfxSig_b_v:
        return (this->*AfxPmfUncast<BOOL (CCmdTarget::*)()>(e->pfn))();
    case AfxSig_v_u:
        (this->*AfxPmfUncast<void (CCmdTarget::*)(UINT)>(e->pfn))(nID);
        return TRUE;
    case AfxSig_cmdui:
    {
        CCmdUI* pCmdUI = (CCmdUI*)pExtra;
        if (!pCmdUI)
            return FALSE;
        (this->*AfxPmfUncast<void (CCmdTarget::*)(CCmdUI*)>(e->pfn))(pCmdUI);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget)
{
    return pTarget && pTarget->OnCmdMsg(m_nID, (int)CN_UPDATE_COMMAND_UI, this, nullptr);
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

// ---------------------------------------------------------------------------------------------
// Run-time classes

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pfnGetBaseClass ? p->m_pfnGetBaseClass() : nullptr)
        if (p == pBaseClass)
            return TRUE;
    return FALSE;
}

CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), nullptr, nullptr};
CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

// ---------------------------------------------------------------------------------------------
// CWnd

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(nullptr) {}
CWnd::CWnd(HWND hWndMarker) : m_hWnd(hWndMarker) {}

CWnd::~CWnd()
{
    WndRecord* pRec = LiveRec(m_hWnd);
    if (pRec && pRec->pWnd == this)
    {
        // The object goes first: the window is destroyed without it.
        pRec->pWnd = nullptr;
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        ::DestroyWindow(h);
    }
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    RECT rc{x, y, x + nWidth, y + nHeight};
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rc, FromHandle(hWndParent),
                    (UINT)(UINT_PTR)nIDorHMenu, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    BOOL bResult = FALSE;
    RunOnGui([&] {
        if (::IsWindow(m_hWnd))
            return;
        CREATESTRUCT cs{};
        cs.dwExStyle = dwExStyle;
        cs.lpszClass = lpszClassName;
        cs.lpszName = lpszWindowName;
        cs.style = (LONG)dwStyle;
        if (rect.left == CW_USEDEFAULT)
        {
            cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
        }
        else
        {
            cs.x = rect.left;
            cs.y = rect.top;
            cs.cx = (int)((long long)rect.right - rect.left);
            cs.cy = (int)((long long)rect.bottom - rect.top);
        }
        cs.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
        cs.hMenu = (HMENU)(UINT_PTR)nID;
        cs.lpCreateParams = lpParam;
        if (!PreCreateWindow(cs))
            return;
        m_hWnd = CreateWindowRecord(this, cs);
        bResult = m_hWnd != nullptr;
    });
    return bResult;
}

wxWindow* CWnd::CreateWxWindow(const CREATESTRUCT& cs, wxWindow* pParent)
{
    WndRecord* p = LiveRec(m_hWnd);
    return p ? p->pClass->CreateWidget(p, cs, pParent) : nullptr;
}

BOOL CWnd::DestroyWindow()
{
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    BOOL bOk = FALSE;
    RunOnGui([&] {
        WndRecord* pRec = LiveRec(hWnd);
        if (!pRec || pRec->bForeign || m_hWnd)
            return;
        if (pRec->pWnd && !pRec->bTempWnd && pRec->pWnd != this)
            return;  // another object owns the window
        CWnd* pOld = pRec->bTempWnd ? pRec->pWnd : nullptr;
        pRec->pWnd = this;
        pRec->bTempWnd = false;
        m_hWnd = hWnd;
        if (pOld)
        {
            pOld->m_hWnd = nullptr;
            delete pOld;
        }
        PreSubclassWindow();
        bOk = TRUE;
    });
    return bOk;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent)
        return FALSE;
    HWND h = ::GetDlgItem(pParent->m_hWnd, (int)nID);
    return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    return Detach();
}

BOOL CWnd::Attach(HWND hWnd)
{
    WndRecord* pRec = LiveRec(hWnd);
    if (!pRec || m_hWnd)
        return FALSE;
    if (!pRec->bForeign && (!pRec->pWnd || pRec->bTempWnd))
    {
        CWnd* pOld = pRec->bTempWnd ? pRec->pWnd : nullptr;
        pRec->pWnd = this;
        pRec->bTempWnd = false;
        if (pOld)
        {
            pOld->m_hWnd = nullptr;
            delete pOld;
        }
    }
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    WndRecord* pRec = LiveRec(h);
    if (pRec && pRec->pWnd == this)
        pRec->pWnd = nullptr;
    m_hWnd = nullptr;
    return h;
}

void CWnd::PreSubclassWindow() {}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    WndRecord* pRec = LiveRec(hWnd);
    return pRec && !pRec->bTempWnd ? pRec->pWnd : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (hWnd == HWND_TOPMOST)
        return const_cast<CWnd*>(&wndTopMost);
    if (hWnd == HWND_NOTOPMOST)
        return const_cast<CWnd*>(&wndNoTopMost);
    if (hWnd == HWND_BOTTOM)
        return const_cast<CWnd*>(&wndBottom);
    WndRecord* pRec = LiveRec(hWnd);
    if (!pRec)
        return nullptr;
    if (pRec->pWnd)
        return pRec->pWnd;
    // A window nobody owns (a foreign one, or a control not bound to an object): a temporary
    // object of the control's class, so casting GetDlgItem's answer to it is sound; deleted with
    // the window (foreign ones live as long as the process).
    CWnd* pWnd = pRec->pClass ? pRec->pClass->NewObject() : new CWnd;
    pWnd->m_hWnd = hWnd;
    if (!pRec->bForeign)
    {
        pRec->pWnd = pWnd;
        pRec->bTempWnd = true;
    }
    else
    {
        static std::mutex s_lock;
        static auto* s_foreign = new std::unordered_map<HWND, CWnd*>;
        std::lock_guard<std::mutex> guard(s_lock);
        auto it = s_foreign->find(hWnd);
        if (it != s_foreign->end())
        {
            pWnd->m_hWnd = nullptr;
            delete pWnd;
            return it->second;
        }
        (*s_foreign)[hWnd] = pWnd;
    }
    return pWnd;
}

unsigned long CWnd::GetX11Window() const
{
    return AfxGetX11Window(m_hWnd);
}

wxWindow* CWnd::GetWxWindow() const
{
    return AfxGetWxWindow(m_hWnd);
}

wxDC* CWnd::GetPaintContext() const
{
    return AfxGetPaintContext(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowText(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLength(m_hWnd);
    char* p = rString.GetBuffer(n + 1);
    ::GetWindowText(m_hWnd, p, n + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLength(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const
{
    *phWnd = ::GetDlgItem(m_hWnd, nID);
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

int CWnd::SetDlgCtrlID(int nID)
{
    WndRecord* pRec = LiveRec(m_hWnd);
    if (!pRec)
        return 0;
    int old = pRec->nID;
    pRec->nID = nID;
    return old;
}

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString)
{
    ::SetDlgItemText(m_hWnd, nID, lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    CWnd* pItem = GetDlgItem(nID);
    if (!pItem)
        return 0;
    pItem->GetWindowText(rString);
    return rString.GetLength();
}

int CWnd::GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const
{
    return (int)::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount);
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetOwner() const
{
    WndRecord* pRec = LiveRec(m_hWnd);
    if (!pRec)
        return nullptr;
    return FromHandle(pRec->hOwner ? pRec->hOwner : pRec->hParent);
}

void CWnd::SetOwner(CWnd* pOwnerWnd)
{
    WndRecord* pRec = LiveRec(m_hWnd);
    if (pRec)
        pRec->hOwner = pOwnerWnd ? pOwnerWnd->m_hWnd : nullptr;
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND h = m_hWnd;
    for (WndRecord* p = LiveRec(h); p && p->hParent; p = LiveRec(h))
        h = p->hParent;
    return FromHandle(h);
}

CWnd* CWnd::GetParentFrame() const
{
    // Tabs of an MDI frame are frames too, though child windows.
    for (CWnd* p = GetParent(); p; p = p->GetParent())
        if (WndRecord* r = LiveRec(p->m_hWnd); r && ((r->pClass && r->pClass->IsFrame()) || dynamic_cast<CFrameWnd*>(p)))
            return p;
    return nullptr;
}

BOOL CWnd::IsChild(const CWnd* pWnd) const
{
    if (!pWnd)
        return FALSE;
    for (HWND h = ::GetParent(pWnd->m_hWnd); h; h = ::GetParent(h))
        if (h == m_hWnd)
            return TRUE;
    return FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, (LPPOINT)&lpRect->left);
    ::ScreenToClient(m_hWnd, (LPPOINT)&lpRect->right);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, (LPPOINT)&lpRect->left);
    ::ClientToScreen(m_hWnd, (LPPOINT)&lpRect->right);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT rcWnd;
    GetWindowRect(&rcWnd);
    RECT rcArea;
    WndRecord* pRec = LiveRec(m_hWnd);
    if (!pRec)
        return;
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : (pRec->hParent ? pRec->hParent : pRec->hOwner);
    if (pRec->hParent)
        ::GetClientRect(pRec->hParent, &rcArea);
    else if (hCenter && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter))
        ::GetWindowRect(hCenter, &rcArea);
    else
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcArea, 0);
    int w = rcWnd.right - rcWnd.left, hgt = rcWnd.bottom - rcWnd.top;
    int x = (rcArea.left + rcArea.right) / 2 - w / 2;
    int y = (rcArea.top + rcArea.bottom) / 2 - hgt / 2;
    if (!pRec->hParent)
    {
        RECT rcWork;
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0);
        if (x + w > rcWork.right) x = rcWork.right - w;
        if (x < rcWork.left) x = rcWork.left;
        if (y + hgt > rcWork.bottom) y = rcWork.bottom - hgt;
        if (y < rcWork.top) y = rcWork.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }

DWORD CWnd::GetStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_STYLE); }
DWORD CWnd::GetExStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE); }

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD old = GetStyle();
    DWORD now = (old & ~dwRemove) | dwAdd;
    if (now == old)
        return FALSE;
    ::SetWindowLongPtr(m_hWnd, GWL_STYLE, (LONG_PTR)now);
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD old = GetExStyle();
    DWORD now = (old & ~dwRemove) | dwAdd;
    if (now == old)
        return FALSE;
    ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, (LONG_PTR)now);
    return TRUE;
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    SendMessage(WM_SETFONT, (WPARAM)(pFont ? pFont->GetSafeHandle() : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const
{
    HFONT h = (HFONT)::SendMessage(m_hWnd, WM_GETFONT, 0, 0);
    return h ? CFont::FromHandle(h) : nullptr;
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return (HICON)SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon);
}

HICON CWnd::GetIcon(BOOL bBigIcon) const
{
    return (HICON)::SendMessage(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, void* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate, flags);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    return ::MessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    BOOL bOk = TRUE;
    RunOnGui([&] {
        CDataExchange dx(this, bSaveAndValidate);
        DoDataExchange(&dx);
    });
    return bOk;
}

void CWnd::DoDataExchange(CDataExchange*) {}

// Default handlers: the default processing of the message being handled.
int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnParentNotify(UINT, LPARAM) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
HBRUSH CWnd::CtlColor(CDC*, UINT) { return nullptr; }

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    // The control may answer for itself (reflected WM_CTLCOLOR), else the default colours.
    const MSG* pMsg = GetCurrentMessage();
    if (pWnd && pWnd != this && pMsg && IsCtlColorMsg(pMsg->message))
    {
        LRESULT r = 0;
        if (pWnd->OnChildNotify(pMsg->message, pMsg->wParam, pMsg->lParam, &r))
            return (HBRUSH)r;
    }
    return (HBRUSH)Default();
}
