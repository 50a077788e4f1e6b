// CWnd: the framework's window object: creation, binding to windows, FromHandle, default handlers.
#include <wx/wx.h>
#include <mutex>
#include <unordered_map>
#include "WndClass.h"
#include "CWinApp.h"
#include "CFrameWnd.h"
#include "WndCreate.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)


BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_CTLCOLOR()
    ON_WM_NCDESTROY()
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
    RUN_WHOLE_ON_GUI(FromHandlePermanent(hWnd));
    WndRecord* pRec = LiveRec(hWnd);
    return pRec && !pRec->bTempWnd ? pRec->pWnd : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(FromHandle(hWnd));
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

// Default handlers: the default processing of the message being handled.
int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
    {
        pApp->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    Default();
}
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
