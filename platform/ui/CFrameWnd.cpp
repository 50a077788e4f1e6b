// CFrameWnd: the program's top-level frame.
#include "WndRecord.h"
#include "CFrameWnd.h"
#include "CWinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() : m_bAutoMenuEnable(TRUE), m_nIDHelp(0) {}

CFrameWnd::~CFrameWnd() {}

wxWindow* CFrameWnd::CreateWxWindow(const CREATESTRUCT& cs, wxWindow* pParent)
{
    return CWnd::CreateWxWindow(cs, pParent);
}

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

void CFrameWnd::RecalcLayout(BOOL) {}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    CWnd::OnDestroy();
}
