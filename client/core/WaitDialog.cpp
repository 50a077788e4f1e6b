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
}  // namespace

IMPLEMENT_DYNAMIC(CWaitDialog, CDialog)

BEGIN_MESSAGE_MAP(CWaitDialog, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CWaitDialog::CWaitDialog(CWnd* pParent) : CDialog(IDD, pParent), m_bRunning(0)
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
    DWORD dwStart = GetTickCount();
    for (;;)
    {
        // Shown already: the request only changes its text.
        if (pDlg->GetSafeHwnd())
            return 0;
        int nIdle = 0;
        if (pDlg->m_bRunning.compare_exchange_strong(nIdle, 1))
        {
            if (!pDlg->GetSafeHwnd())
                pDlg->DoModal();
            pDlg->m_bRunning = 0;
            return 0;
        }
        // Another request's loop is starting (its window comes) or ending (then ours may run).
        if (GetTickCount() - dwStart > kShowTimeoutMs)
            return 0;
        Sleep(5);
    }
}

void ShowWaitDialog(CWaitDialog* pDlg, const char* pszText)
{
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
