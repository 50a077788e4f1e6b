// CNewsDlg: the modeless message dialog of the main frame.
#include "NewsDlg.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CNewsDlg, CDialog)

BEGIN_MESSAGE_MAP(CNewsDlg, CDialog)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace
{
// The margins of the three controls, recorded once and shared by every instance.
struct NEWS_LAYOUT
{
    int nTitleLeft, nTitleTop, nTitleHeight, nTitleRight;
    int nContentLeft, nContentTop, nContentRight, nContentBottom;
    int nCloseWidth, nCloseHeight, nCloseRight, nCloseBottom;
    bool bRecorded;
};
NEWS_LAYOUT s_layout;

CRect ChildRect(CWnd* pDlg, int nID)
{
    CRect rc(0, 0, 0, 0);
    if (CWnd* p = pDlg->GetDlgItem(nID))
    {
        p->GetWindowRect(&rc);
        pDlg->ScreenToClient(&rc);
    }
    return rc;
}
}  // namespace

CNewsDlg::CNewsDlg(CWnd* pParent) : CDialog(IDD_NEWS_DIALOG, pParent) {}

CNewsDlg::~CNewsDlg() = default;

void CNewsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NEWS_CONTENT, m_richContent);
    DDX_Text(pDX, IDC_NEWS_CONTENT, m_strContent);
}

BOOL CNewsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* pTitle = GetDlgItem(IDC_NEWS_TITLE))
        pTitle->ModifyStyle(0, BS_LEFT);

    CHARFORMAT2 cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = 0xE0000007;  // bold, italic, underline, size, colour, face
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = 225;
    cf.crTextColor = 0x00FF0000;
    strcpy(cf.szFaceName, "Fixedsys");
    m_richContent.SetSel(-1, -1);
    m_richContent.ReplaceSel(m_strContent, FALSE);
    m_richContent.SetSel(0, -1);
    m_richContent.SetSelectionCharFormat(cf);

    LayoutControls(TRUE);
    LayoutControls(FALSE);
    return TRUE;
}

void CNewsDlg::SetContent(CString strText)
{
    m_strContent = strText;
    UpdateData(FALSE);
}

void CNewsDlg::LayoutControls(BOOL bRecord)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CWnd* pTitle = GetDlgItem(IDC_NEWS_TITLE);
    CWnd* pContent = GetDlgItem(IDC_NEWS_CONTENT);
    CWnd* pClose = GetDlgItem(IDCANCEL);
    if (!pTitle || !pContent || !pClose)
        return;
    if (bRecord)
    {
        CRect rc = ChildRect(this, IDC_NEWS_TITLE);
        s_layout.nTitleLeft = rc.left;
        s_layout.nTitleTop = rc.top;
        s_layout.nTitleHeight = rc.Height();
        s_layout.nTitleRight = rcClient.right - rc.right;
        rc = ChildRect(this, IDC_NEWS_CONTENT);
        s_layout.nContentLeft = rc.left;
        s_layout.nContentTop = rc.top;
        s_layout.nContentRight = rcClient.right - rc.right;
        s_layout.nContentBottom = rcClient.bottom - rc.bottom;
        rc = ChildRect(this, IDCANCEL);
        s_layout.nCloseWidth = rc.Width();
        s_layout.nCloseHeight = rc.Height();
        s_layout.nCloseRight = rcClient.right - rc.right;
        s_layout.nCloseBottom = rcClient.bottom - rc.bottom;
        s_layout.bRecorded = true;
        return;
    }
    const NEWS_LAYOUT& l = s_layout;
    if (!l.bRecorded)
        return;
    pTitle->MoveWindow(l.nTitleLeft, l.nTitleTop, rcClient.right - l.nTitleRight - l.nTitleLeft, l.nTitleHeight, FALSE);
    pContent->MoveWindow(l.nContentLeft, l.nContentTop, rcClient.right - l.nContentRight - l.nContentLeft,
                         rcClient.bottom - l.nContentBottom - l.nContentTop, FALSE);
    pClose->MoveWindow(rcClient.right - l.nCloseRight - l.nCloseWidth, rcClient.bottom - l.nCloseBottom - l.nCloseHeight,
                       l.nCloseWidth, l.nCloseHeight, FALSE);
    Invalidate(TRUE);
    UpdateWindow();
}

void CNewsDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    // Sizes before the controls exist (or before their margins are known) have nothing to move.
    if (GetDlgItem(IDCANCEL))
        LayoutControls(FALSE);
}
