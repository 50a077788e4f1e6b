// CDlgDownloadProgress: percent bar and text of the installer download, and its cancel button.
#include "DlgDownloadProgress.h"
#include <mutex>
#include <set>
#include "CWinApp.h"
#include "resource.h"

namespace
{
// The dialogs that exist: the install thread gets a pointer that may already have been deleted.
std::mutex g_liveLock;
std::set<const CDlgDownloadProgress*> g_liveDialogs;
}  // namespace

IMPLEMENT_DYNAMIC(CDlgDownloadProgress, CDialog)

BEGIN_MESSAGE_MAP(CDlgDownloadProgress, CDialog)
    ON_MESSAGE(WM_DOWNLOAD_PROGRESS, &CDlgDownloadProgress::OnDownloadProgress)
    ON_BN_CLICKED(IDC_DOWNLOAD_CANCEL, &CDlgDownloadProgress::OnBnClickedCancel)
END_MESSAGE_MAP()

CDlgDownloadProgress::CDlgDownloadProgress(CWnd* pParent)
    : CDialog(IDD_DOWNLOAD_PROGRESS, pParent), m_hSmallIcon(nullptr), m_nPercent(0), m_hCancelEvent(nullptr)
{
    m_hSmallIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDI_TRAY) : ::LoadIcon(nullptr, MAKEINTRESOURCE(IDI_TRAY));
    std::lock_guard<std::mutex> guard(g_liveLock);
    g_liveDialogs.insert(this);
}

CDlgDownloadProgress::~CDlgDownloadProgress()
{
    {
        std::lock_guard<std::mutex> guard(g_liveLock);
        g_liveDialogs.erase(this);
    }
    if (m_hSmallIcon)
        DestroyIcon(m_hSmallIcon);
}

void CDlgDownloadProgress::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DOWNLOAD_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_DOWNLOAD_PERCENT, m_staticPercent);
}

BOOL CDlgDownloadProgress::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hSmallIcon);
    return FALSE;
}

namespace
{
struct CANCEL_EVENT_CALL
{
    HWND hDlg;
    HANDLE hEvent;
    BOOL bStored;
};

void StoreCancelEvent(void* p)
{
    auto* pCall = static_cast<CANCEL_EVENT_CALL*>(p);
    if (!::IsWindow(pCall->hDlg))
        return;
    if (auto* pDlg = dynamic_cast<CDlgDownloadProgress*>(CWnd::FromHandlePermanent(pCall->hDlg)))
    {
        pDlg->m_hCancelEvent = pCall->hEvent;
        pCall->bStored = TRUE;
    }
}
}  // namespace

BOOL CDlgDownloadProgress::SetCancelEvent(HWND hDlg, HANDLE hEvent)
{
    CANCEL_EVENT_CALL call{hDlg, hEvent, FALSE};
    AfxRunOnGuiThread(&StoreCancelEvent, &call);
    return call.bStored;
}

namespace
{
struct DIALOG_WINDOW_CALL
{
    CDlgDownloadProgress* pDlg;
    HWND hWnd;
};

void ReadDialogWindow(void* p)
{
    auto* pCall = static_cast<DIALOG_WINDOW_CALL*>(p);
    // The dialog deletes itself on the GUI thread, so it cannot go while this runs there.
    std::lock_guard<std::mutex> guard(g_liveLock);
    if (g_liveDialogs.count(pCall->pDlg))
        pCall->hWnd = pCall->pDlg->GetSafeHwnd();
}
}  // namespace

HWND CDlgDownloadProgress::WindowOf(CDlgDownloadProgress* pDlg)
{
    DIALOG_WINDOW_CALL call{pDlg, nullptr};
    if (pDlg)
        AfxRunOnGuiThread(&ReadDialogWindow, &call);
    return call.hWnd;
}

LRESULT CDlgDownloadProgress::OnDownloadProgress(WPARAM, LPARAM lParam)
{
    m_nPercent = (int)lParam;
    m_progress.SendMessage(PBM_SETPOS, (WPARAM)m_nPercent, 0);
    CString strText;
    strText.Format("%d%%", m_nPercent);
    SetDlgItemText(IDC_DOWNLOAD_PERCENT, strText);
    // The installer runs once the file is whole: the dialog has done its part.
    if (m_nPercent == 100)
        OnCancel();
    return 0;
}

void CDlgDownloadProgress::OnBnClickedCancel()
{
    if (m_hCancelEvent)
        SetEvent(m_hCancelEvent);
    OnCancel();
}

void CDlgDownloadProgress::OnCancel()
{
    DestroyWindow();
}

void CDlgDownloadProgress::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    delete this;
}
