// CMDIChildWndEx: a document tab.
#include <wx/wx.h>
#include <wx/aui/auibook.h>
#include "WndRecord.h"
#include "CMDIChildWndEx.h"
#include "CMDIFrameWndEx.h"
#include "CWinApp.h"

IMPLEMENT_DYNCREATE(CMDIChildWndEx, CFrameWnd)

CMDIChildWndEx::CMDIChildWndEx() : m_pMDIFrame(nullptr) {}

CMDIChildWndEx::~CMDIChildWndEx() {}

BOOL CMDIChildWndEx::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                            CMDIFrameWndEx* pParentWnd, LPVOID pContext)
{
    if (!pParentWnd)
        pParentWnd = dynamic_cast<CMDIFrameWndEx*>(AfxGetMainWnd());
    if (!pParentWnd || !pParentWnd->GetTabs())
        return FALSE;
    m_pMDIFrame = pParentWnd;
    return CWnd::CreateEx(0, lpszClassName, lpszWindowName, (dwStyle | WS_CHILD) & ~WS_POPUP, rect, pParentWnd, 0,
                          pContext);
}

BOOL CMDIChildWndEx::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, LPVOID pContext)
{
    m_nIDHelp = nIDResource;
    CString strTitle;
    strTitle.LoadString(nIDResource);
    int nl = strTitle.Find('\n');
    if (nl >= 0)
        strTitle = strTitle.Left(nl);
    return Create(nullptr, strTitle, dwDefaultStyle, rectDefault, dynamic_cast<CMDIFrameWndEx*>(pParentWnd), pContext);
}

wxWindow* CMDIChildWndEx::CreateWxWindow(const CREATESTRUCT& cs, wxWindow*)
{
    wxAuiNotebook* pTabs = m_pMDIFrame ? m_pMDIFrame->GetTabs() : nullptr;
    if (!pTabs)
        return nullptr;
    CREATESTRUCT page = cs;
    page.x = page.y = 0;
    page.cx = page.cy = CW_USEDEFAULT;
    wxWindow* pWx = CWnd::CreateWxWindow(page, pTabs);
    if (!pWx)
        return nullptr;
    pTabs->AddPage(pWx, WxFromGbk(cs.lpszName), false);
    // However the window goes, its tab goes with it.
    pWx->Bind(wxEVT_DESTROY, [pTabs, pWx](wxWindowDestroyEvent& e) {
        e.Skip();
        if (e.GetEventObject() != pWx || pTabs->IsBeingDeleted())
            return;
        int idx = pTabs->GetPageIndex(pWx);
        if (idx != wxNOT_FOUND)
            pTabs->RemovePage((size_t)idx);
    });
    return pWx;
}

LRESULT CMDIChildWndEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND h = m_hWnd;
    CMDIFrameWndEx* pFrame = m_pMDIFrame;
    if (message == WM_DESTROY && pFrame)
        pFrame->OnChildDestroyed(this);
    LRESULT r = CFrameWnd::WindowProc(message, wParam, lParam);
    if (!::IsWindow(h) || !pFrame)
        return r;
    if (message == WM_CREATE && r != -1)
        pFrame->OnChildCreated(this);
    else if (message == WM_SETTEXT)
        pFrame->OnChildTextChanged(this);
    else if (message == WM_MDIACTIVATE)
        OnMDIActivate((HWND)lParam == h, CWnd::FromHandle((HWND)lParam), CWnd::FromHandle((HWND)wParam));
    return r;
}

void CMDIChildWndEx::OnMDIActivate(BOOL, CWnd*, CWnd*) {}

void CMDIChildWndEx::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == SW_HIDE)
        return;
    MDIActivate();
}

void CMDIChildWndEx::MDIActivate()
{
    if (m_pMDIFrame)
        m_pMDIFrame->MDIActivate(this);
}

void CMDIChildWndEx::MDIDestroy()
{
    DestroyWindow();
}

CMDIFrameWndEx* CMDIChildWndEx::GetMDIFrame() const
{
    return m_pMDIFrame;
}
