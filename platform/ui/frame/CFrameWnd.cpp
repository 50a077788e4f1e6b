// CFrameWnd: the program's top-level frame.
#include <wx/wx.h>
#include "TopLevelWnd.h"
#include "CFrameWnd.h"
#include "CWinApp.h"
#include "CDocument.h"
#include "CView.h"
#include "CMFCStatusBar.h"

namespace
{
// The frame window class: the default of top-level windows; GetParentFrame stops at it.
class CFrameWndClass : public CTopLevelWndClass
{
public:
    CFrameWndClass() : CTopLevelWndClass("AfxFrameOrView") {}
    bool IsFrame() const override { return true; }
};

struct CFrameRegistrar
{
    CFrameRegistrar()
    {
        static CFrameWndClass s_class;
        CWndClassRegistry::Add(&s_class);
        CWndClassRegistry::SetDefaultTopLevel(&s_class);
    }
} s_registrar;
}  // namespace

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_MESSAGE(WM_SETMESSAGESTRING, &CFrameWnd::OnSetMessageString)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() : m_hAccelTable(nullptr), m_bAutoMenuEnable(TRUE), m_nIDHelp(0), m_pViewActive(nullptr) {}

BOOL CFrameWnd::LoadAccelTable(LPCSTR lpszResourceName)
{
    if (m_hAccelTable)
        return FALSE;  // one table per frame
    m_hAccelTable = ::LoadAccelerators(nullptr, lpszResourceName);
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYDOWN && pMsg->message <= WM_SYSCHAR && m_hAccelTable &&
        ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg))
        return TRUE;
    return CWnd::PreTranslateMessage(pMsg);
}

CFrameWnd::~CFrameWnd() {}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR, DWORD dwExStyle, LPVOID pContext)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle & ~WS_CHILD, rect, pParentWnd, 0, pContext);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, LPVOID pContext)
{
    m_nIDHelp = nIDResource;
    CString strTitle;
    strTitle.LoadString(nIDResource);
    if (!m_hAccelTable)
        LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    int nl = strTitle.Find('\n');
    if (nl >= 0)
        strTitle = strTitle.Left(nl);
    if (!Create(nullptr, strTitle, dwDefaultStyle, rectDefault, pParentWnd, nullptr, 0, pContext))
        return FALSE;
    if (HICON hIcon = ::LoadIcon(nullptr, MAKEINTRESOURCE(nIDResource)))
    {
        SetIcon(hIcon, TRUE);
        SetIcon(hIcon, FALSE);
    }
    return TRUE;
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    ShowWindow(nCmdShow == -1 ? SW_SHOW : nCmdShow);
    BringWindowToTop();
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (CWnd* pPane = GetDlgItem(AFX_IDW_PANE_FIRST))
    {
        CRect rc;
        GetClientRect(&rc);
        pPane->MoveWindow(0, 0, rc.Width(), rc.Height());
    }
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    auto* pView = static_cast<CWnd*>(pContext->m_pNewViewClass->CreateObject());
    if (!pView)
        return nullptr;
    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
    {
        // A view without a window is not deleted by its window's end.
        if (!pView->GetSafeHwnd())
            delete pView;
        return nullptr;
    }
    return pView;
}

CView* CFrameWnd::GetActiveView() const
{
    return m_pViewActive;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr;
    if (pViewOld && bNotify)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

CFrameWnd* CFrameWnd::GetActiveFrame()
{
    return this;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = GetActiveView();
    if (!pView)
        if (CWnd* pPane = GetDlgItem(AFX_IDW_PANE_FIRST); pPane && pPane->IsKindOf(RUNTIME_CLASS(CView)))
            pView = static_cast<CView*>(pPane);
    if (pView)
        pView->SendMessage(WM_INITIALUPDATE);
    if (!IsWindow())
        return;
    if (pView && pView->IsWindow())
        SetActiveView(pView, FALSE);
    if (bMakeVisible)
    {
        ActivateFrame();
        if (pView && pView->IsWindow() && GetActiveView() == pView)
            pView->OnActivateView(TRUE, pView, pView);
    }
    if (IsWindow())
        OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE) || !bAddToTitle)
        return;
    if (CDocument* pDoc = GetActiveDocument())
        SetWindowText(pDoc->GetTitle());
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view first, then the frame, then the application.
    if (CView* pView = GetActiveView(); pView && pView->GetSafeHwnd() && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    // The message pane is the status bar's separator pane, or else the pane that stretches.
    auto* pBar = dynamic_cast<CMFCStatusBar*>(GetDlgItem(AFX_IDW_STATUS_BAR));
    if (!pBar)
        return 0;
    CString strText;
    if (wParam)
        strText.LoadString((UINT)wParam);
    else if (lParam)
        strText = (LPCSTR)lParam;
    int nPane = pBar->CommandToIndex(ID_SEPARATOR);
    for (int i = 0; nPane < 0 && i < pBar->GetCount(); ++i)
        if (pBar->GetPaneStyle(i) & SBPS_STRETCH)
            nPane = i;
    if (nPane >= 0)
        pBar->SetPaneText(nPane, strText);
    return 0;
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::OnClose()
{
    // The main window closes every document first; a document's last frame closes its document
    // (which destroys the frame); other frames just go.
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->CloseAllDocuments(FALSE);
    else if (CDocument* pDoc = GetActiveDocument(); pDoc && pDoc->IsLastFrame(this))
    {
        pDoc->OnCloseDocument();
        return;
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    m_pViewActive = nullptr;
    CWnd::OnDestroy();
}
