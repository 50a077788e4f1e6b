// The shared wait dialog: a captionless window with the spinner, shown by any thread through
// CParvelApp::ShowWaitDialog and closed by posting WM_CLOSE to its window.
#include "WaitDialog.h"

#include "KernelObject.h"
#include "ParvelApp.h"
#include "resource.h"

namespace
{
// How long a show request waits for the dialog's window before it gives up.
const DWORD kShowTimeoutMs = 10000;

BOOL HasWindow(void* pParam)
{
    return ((CWaitDialog*)pParam)->GetSafeHwnd() != nullptr;
}

// Done when the dialog is shown, or when this request could claim the loop: no window and no
// loop starting or ending.
BOOL ShownOrClaimed(void* pParam)
{
    CWaitDialog* pDlg = (CWaitDialog*)pParam;
    if (pDlg->GetSafeHwnd())
        return TRUE;
    int nIdle = 0;
    if (!pDlg->m_bRunning.compare_exchange_strong(nIdle, 1))
        return FALSE;
    pDlg->m_bLoopClaimed = 1;
    return TRUE;
}
}  // namespace

IMPLEMENT_DYNAMIC(CWaitDialog, CDialog)

BEGIN_MESSAGE_MAP(CWaitDialog, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CWaitDialog::CWaitDialog(CWnd* pParent) : CDialog(IDD, pParent), m_bRunning(0), m_bLoopClaimed(0)
{
}

CWaitDialog::~CWaitDialog()
{
}

void CWaitDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WAIT_TEXT, m_stText);
    DDX_Control(pDX, IDC_WAIT_PICTURE, m_picture);
}

BOOL CWaitDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Each show loads the spinner afresh, so it starts at its first frame.
    if (m_picture.Load(MAKEINTRESOURCE(IDR_GIF_SPINNER), "GIF"))
        m_picture.Draw();
    return TRUE;
}

HBRUSH CWaitDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)GetStockObject(NULL_BRUSH);
}

UINT WaitDialogThreadProc(LPVOID pParam)
{
    CWaitDialog* pDlg = (CWaitDialog*)pParam;
    // Shown already, or another thread took the claim: the request only changes the text.
    if (!pDlg->m_bLoopClaimed.exchange(0))
        return 0;
    if (!pDlg->GetSafeHwnd())
        pDlg->DoModal();
    pDlg->m_bRunning = 0;
    return 0;
}

void ShowWaitDialog(CWaitDialog* pDlg, const char* pszText)
{
    AfxWaitUntil(&ShownOrClaimed, pDlg, kShowTimeoutMs);
    AfxBeginThread(WaitDialogThreadProc, pDlg);
    AfxWaitUntil(&HasWindow, pDlg, kShowTimeoutMs);
    HWND hWnd = pDlg->GetSafeHwnd();
    if (hWnd && ::IsWindowVisible(hWnd))
        ::SetWindowText(hWnd, pszText ? pszText : "");
}

void CParvelApp::ShowWaitDialog(const char* pszText)
{
    ::ShowWaitDialog(&m_waitDlg, pszText);
}
