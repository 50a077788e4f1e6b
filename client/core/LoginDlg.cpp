// Sign-on dialog: borderless, painted with its own gradient and moved by dragging its body.
#include "LoginDlg.h"

#include <cstdlib>
#include <cstring>
#include "Base64.h"
#include "CasClient.h"
#include "MD5.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "Shell.h"
#include "URLEncode.h"
#include "X11Window.h"
#include "resource.h"

namespace
{
// The service portal's sign-out page, opened when a password is refused as too weak.
const char kPortalLogoutUrl[] = "http://" PARVEL_HOST_PORTAL ":30088/velkorsoa/cas.login?CASLOGOUT=true";

const COLORREF kUpdateBarColor = RGB(251, 210, 4);

int Min255(int n)
{
    return n < 255 ? n : 255;
}
}  // namespace

int IsAllDigits(const char* pszText)
{
    if (!pszText)
        return 0;
    for (const unsigned char* p = (const unsigned char*)pszText; *p; ++p)
        if (*p < '0' || *p > '9')
            return 0;
    return 1;
}

int IsAllAlpha(const char* pszText)
{
    if (!pszText)
        return 0;
    for (const unsigned char* p = (const unsigned char*)pszText; *p; ++p)
        if (!((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')))
            return 0;
    return 1;
}

IMPLEMENT_DYNAMIC(CLoginDlg, CDialog)

BEGIN_MESSAGE_MAP(CLoginDlg, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_PAINT()
    ON_BN_CLICKED(IDOK, &CLoginDlg::OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, &CLoginDlg::OnBnClickedCancel)
    ON_STN_CLICKED(IDC_FIND_PASSWORD, &CLoginDlg::OnStnClickedFindPwd)
    ON_WM_SETCURSOR()
    ON_BN_CLICKED(IDC_BUTTON_VPN, &CLoginDlg::OnBnClickedVpn)
END_MESSAGE_MAP()

CLoginDlg::CLoginDlg(int nMode, const char* pszAccount, CWnd* pParent)
    : CDialog(IDD, pParent),
      m_rcInitial{0, 0, 0, 0},
      m_pUpdateThread(nullptr),
      m_strAccount(pszAccount),
      m_hIcon(nullptr),
      m_bDragging(FALSE),
      m_nMode(nMode),
      m_ptDragStart{0, 0},
      m_hLinkFont(nullptr)
{
    m_hIcon = ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDI_LOGIN));
    m_hLinkFont = ::CreateFont(-12, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "宋体");
}

CLoginDlg::~CLoginDlg()
{
    // The update worker reaches this object until its last step: it goes first. Its calls
    // into the dialog run on this thread, so the wait serves them.
    if (m_pUpdateThread)
    {
        HANDLE hThread = m_pUpdateThread->m_hThread;
        while (!AfxWaitUntil([](void* p) -> BOOL { return ::WaitForSingleObject((HANDLE)p, 0) == WAIT_OBJECT_0; },
                             hThread, 100))
        {
        }
        delete m_pUpdateThread;
    }
    if (m_hLinkFont)
        ::DeleteObject((HGDIOBJ)m_hLinkFont);
}

void CLoginDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDIT_PASSWORD, m_passwordEdit);
    DDX_Control(pDX, IDC_UPDATE_PROGRESS, m_progress);
    DDX_Text(pDX, IDC_EDIT_ACCOUNT, m_strAccount);
    DDX_Text(pDX, IDC_EDIT_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_STATIC_TITLE, m_strTitle);
}

BOOL CLoginDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The mark lets a second start find this instance while it signs on.
    m_strTitle = GetParvelTitle();
    ::SetProp(m_hWnd, m_strTitle, (HANDLE)(ULONG_PTR)PROP_INSTANCE_MARK);

    if (m_nMode == 0)
    {
        GetDlgItem(IDC_STATIC_VPN_HINT)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_EDIT_ACCOUNT)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_STATIC_ACCOUNT)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_LOGIN_LOGO)->ShowWindow(SW_SHOW);

        // The unlock form has no VPN button: OK and cancel move one place to the right.
        CWnd* pOk = GetDlgItem(IDOK);
        CWnd* pCancel = GetDlgItem(IDCANCEL);
        CWnd* pVpn = GetDlgItem(IDC_BUTTON_VPN);
        CRect rcOk, rcCancel, rcVpn;
        pOk->GetWindowRect(&rcOk);
        pCancel->GetWindowRect(&rcCancel);
        pVpn->GetWindowRect(&rcVpn);
        ScreenToClient(&rcOk);
        ScreenToClient(&rcCancel);
        ScreenToClient(&rcVpn);
        pOk->MoveWindow(rcCancel.left, rcOk.top, rcOk.Width(), rcOk.Height());
        pCancel->MoveWindow(rcVpn.left, rcCancel.top, rcCancel.Width(), rcCancel.Height());
        pOk->SetWindowText("解锁");
        pVpn->ShowWindow(SW_HIDE);

        CWnd* pUser = GetDlgItem(IDC_STATIC_USER);
        pUser->SetWindowText(m_strAccount);
        pUser->ShowWindow(SW_SHOW);

        SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow();
    }
    else
    {
        GetDlgItem(IDC_LOGIN_LOGO)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_STATIC_USER)->ShowWindow(SW_HIDE);

        if (CheckNewVersion(&m_updateTask))
        {
            GetDlgItem(IDOK)->EnableWindow(FALSE);
            GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
            CWnd* pStatus = GetDlgItem(IDC_STATIC_STATUS);
            pStatus->SetWindowText("正在更新..");
            pStatus->ShowWindow(SW_SHOW);

            m_progress.ShowWindow(SW_SHOW);
            m_progress.SendMessage(PBM_SETBARCOLOR, 0, (LPARAM)kUpdateBarColor);
            m_progress.RedrawWindow();

            // The bar gets a strip of its own below the dialog's normal area.
            GetWindowRect(&m_rcInitial);
            CRect rcBar;
            m_progress.GetWindowRect(&rcBar);
            const int nBarHeight = rcBar.Height();
            const int nWidth = m_rcInitial.right - m_rcInitial.left;
            const int nHeight = m_rcInitial.bottom - m_rcInitial.top;
            SetWindowPos(nullptr, 0, 0, nWidth, nHeight + nBarHeight, SWP_NOMOVE | SWP_NOZORDER);
            CRect rcClient;
            GetClientRect(&rcClient);
            m_progress.MoveWindow(0, rcClient.bottom - nBarHeight, rcClient.Width(), nBarHeight);
            m_progress.SetRange(0, 100);
            m_progress.SetPos(0);

            m_pUpdateThread = AfxBeginThread(UpdateThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
            if (m_pUpdateThread)
            {
                m_pUpdateThread->m_bAutoDelete = FALSE;
                m_pUpdateThread->ResumeThread();
            }
        }
    }

    if (m_strAccount.IsEmpty())
        GetDlgItem(IDC_EDIT_ACCOUNT)->SetFocus();
    else
        m_passwordEdit.SetFocus();

    GetDlgItem(IDC_FIND_PASSWORD)->SendMessage(WM_SETFONT, (WPARAM)m_hLinkFont, TRUE);
    UpdateData(FALSE);
    return FALSE;
}

HBRUSH CLoginDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC)
    {
        // Statics show the dialog's gradient behind their text.
        pDC->SetBkMode(TRANSPARENT);
        if (pWnd && pWnd->GetDlgCtrlID() == IDC_FIND_PASSWORD)
            pDC->SetTextColor(RGB(0, 0, 255));
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return hbr;
}

void CLoginDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.Height() > 80)
    {
        dc.FillSolidRect(0, 0, rcClient.Width(), 90, RGB(253, 197, 40));
        for (int k = 1, y = 90; y < rcClient.bottom; ++k, y += 4)
            dc.FillSolidRect(0, y, rcClient.Width(), 4, RGB(253, Min255(197 + k), Min255(40 + 2 * k)));
    }

    CWnd* pLogo = GetDlgItem(IDC_LOGIN_LOGO);
    if (pLogo && pLogo->IsWindowVisible())
    {
        HBITMAP hBitmap = (HBITMAP)pLogo->SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0);
        BITMAP bm = {};
        if (hBitmap && ::GetObject((HGDIOBJ)hBitmap, sizeof(bm), &bm))
        {
            CRect rcLogo;
            pLogo->GetClientRect(&rcLogo);
            pLogo->ClientToScreen(&rcLogo);
            ScreenToClient(&rcLogo);
            CDC memDC;
            memDC.CreateCompatibleDC(&dc);
            HGDIOBJ hOld = ::SelectObject(memDC.GetSafeHdc(), (HGDIOBJ)hBitmap);
            // The logo's corner colour is its background.
            const COLORREF crTransparent = memDC.GetPixel(10, 10);
            dc.TransparentBlt(rcLogo.left, rcLogo.top, rcLogo.Width(), rcLogo.Height(), &memDC, 0, 0, bm.bmWidth,
                              bm.bmHeight, crTransparent);
            ::SelectObject(memDC.GetSafeHdc(), hOld);
        }
    }
}

void CLoginDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bDragging)
    {
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        CRect rcClient;
        GetClientRect(&rcClient);
        MoveWindow(ptScreen.x - m_ptDragStart.x, ptScreen.y - m_ptDragStart.y, rcClient.Width(), rcClient.Height());
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CLoginDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bDragging = TRUE;
    m_ptDragStart = point;
    SetCapture();
    CDialog::OnLButtonDown(nFlags, point);
}

void CLoginDlg::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bDragging = FALSE;
    ::ReleaseCapture();
    CDialog::OnLButtonUp(nFlags, point);
}

BOOL CLoginDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (pWnd && pWnd->GetDlgCtrlID() == IDC_FIND_PASSWORD)
    {
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void CLoginDlg::OnBnClickedOk()
{
    UpdateData(TRUE);
    m_strPassword = m_passwordEdit.GetRealText();

    if (m_strAccount.IsEmpty())
    {
        MessageBox("账号不能为空！");
        GetDlgItem(IDC_EDIT_ACCOUNT)->SetFocus();
        return;
    }
    if (m_strPassword.IsEmpty())
    {
        MessageBox("密码不能为空！");
        m_passwordEdit.SetFocus();
        return;
    }
    if (!CasLogin())
    {
        m_passwordEdit.SetRealText("");
        m_passwordEdit.SetFocus();
        m_strPassword.Empty();
        return;
    }

    // The server may still accept passwords that the network no longer allows.
    if (m_strPassword.GetLength() < 6 || IsAllDigits(m_strPassword) || IsAllAlpha(m_strPassword))
    {
        MessageBox("您的密码安全级别太低，请通过OA系统修改后再次登录！谢谢！");
        ::ShellExecute(nullptr, "open", "iexplore", kPortalLogoutUrl, nullptr, SW_SHOWNORMAL);
        m_passwordEdit.SetRealText("");
        m_passwordEdit.SetFocus();
        m_strPassword.Empty();
        return;
    }

    CDialog::OnOK();
}

void CLoginDlg::OnBnClickedCancel()
{
    CDialog::OnCancel();
}

BOOL CLoginDlg::CasLogin()
{
    const CString strLoginUrl = COptionCtrl::GetOptionData().GetAccountLoginUrl();
    CURLEncode encoder;
    const std::string strPassword = encoder.GbkToUtf8(m_strPassword);
    char* pszSession = nullptr;
    char* pszTicket = nullptr;

    int nResult = CAS_login(strLoginUrl, m_strAccount, strPassword.c_str(), &pszSession, &pszTicket);
    if (nResult == -1)
    {
        // Accounts moved from the old portal keep the Base64 of the password's MD5 digest.
        MD5Context context;
        MD5Update(context, m_strPassword.GetString(), (unsigned int)m_strPassword.GetLength());
        MD5Final(context);
        char szDigest[32] = {};
        int nCount = 0;
        CBase64().Base64EncodeDigest(context.digest, szDigest, &nCount);
        const std::string strDigest = encoder.GbkToUtf8(szDigest);
        nResult = CAS_login(strLoginUrl, m_strAccount, strDigest.c_str(), &pszSession, &pszTicket);
    }

    m_strSessionId = pszSession ? pszSession : "";
    m_strTGT = pszTicket ? pszTicket : "";
    free(pszSession);
    free(pszTicket);

    if (nResult == -2)
    {
        CString strMessage;
        strMessage.LoadString(IDS_SERVER_NO_RESPONSE);
        MessageBox(strMessage);
        return FALSE;
    }
    if (nResult == -1)
    {
        MessageBox("用户名或密码错误，请确认后再登录！");
        return FALSE;
    }
    return TRUE;
}

void CLoginDlg::OnStnClickedFindPwd()
{
    ::ShellExecute(nullptr, "open", "iexplore", COptionCtrl::GetOptionData().GetFindPwdUrl(), nullptr, SW_SHOWNORMAL);
}

void CLoginDlg::OnBnClickedVpn()
{
    const CString strUrl = COptionCtrl::GetOptionData().GetSQVpnUrl();
    if ((INT_PTR)::ShellExecute(nullptr, "open", "chrome.exe", strUrl, nullptr, SW_SHOWNORMAL) < 32 &&
        (INT_PTR)::ShellExecute(nullptr, "open", "firefox.exe", strUrl, nullptr, SW_SHOWNORMAL) < 32)
        ::ShellExecute(nullptr, "open", "iexplore.exe", strUrl, nullptr, SW_SHOWNORMAL);
}

void CLoginDlg::ShowUpdateFailed()
{
    // Called on the updater's thread: window calls only, which run on the GUI thread.
    HWND hStatus = ::GetDlgItem(m_hWnd, IDC_STATIC_STATUS);
    ::ShowWindow(hStatus, SW_HIDE);
    ::SetWindowText(hStatus, "更新失败，请联系Velkor软件支持部门。。");
    ::ShowWindow(hStatus, SW_SHOW);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), TRUE);
    ::ShowWindow(m_progress.GetSafeHwnd(), SW_HIDE);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_rcInitial.right - m_rcInitial.left, m_rcInitial.bottom - m_rcInitial.top,
                   SWP_NOMOVE | SWP_NOZORDER);
}
