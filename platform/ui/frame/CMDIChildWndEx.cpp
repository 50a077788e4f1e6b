// CMDIChildWndEx: a document tab.
#include <wx/wx.h>
#include <wx/aui/auibook.h>
#include "WndRecord.h"
#include "WndClass.h"
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
    return CWnd::CreateEx(0, lpszClassName ? lpszClassName : "AfxMDIChild", lpszWindowName, (dwStyle | WS_CHILD) & ~WS_POPUP, rect, pParentWnd, 0,
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

namespace
{
// A document tab's window class: a page of its MDI frame's tab control, drawn as a plain window.
class CMDIChildWndClass : public CWndClass
{
public:
    CMDIChildWndClass() : CWndClass("AfxMDIChild") {}
    bool IsFrame() const override { return true; }
    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow*) const override
    {
        auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(CWnd::FromHandlePermanent(cs.hwndParent));
        wxAuiNotebook* pTabs = pFrame ? pFrame->GetTabs() : nullptr;
        const CWndClass* pPlain = CWndClassRegistry::Find("AfxWnd");
        if (!pTabs || !pPlain)
            return nullptr;
        CREATESTRUCT page = cs;
        page.x = page.y = 0;
        page.cx = page.cy = CW_USEDEFAULT;
        wxWindow* pWx = pPlain->CreateWidget(p, page, pTabs);
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
};
PARVEL_REGISTER_WNDCLASS(CMDIChildWndClass);
}  // namespace

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
