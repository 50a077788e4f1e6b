#include "NewsRecordDlg.h"

#include "NewsBox.h"
#include "NewsComponent.h"
#include "NewsStore.h"

#include <cstdio>
#include <cstdlib>

namespace {
const char* const kRootText = "\313\371\323\320\317\373\317\242" /* 所有消息 */;
}

BEGIN_MESSAGE_MAP(CNewsRecordDlg, CDialog)
    ON_NOTIFY(TVN_SELCHANGED, IDC_NEWS_TREE, &CNewsRecordDlg::OnTreeSelChanged)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_NEWS_LIST, &CNewsRecordDlg::OnItemChanged)
    ON_NOTIFY(NM_HOVER, IDC_NEWS_LIST, &CNewsRecordDlg::OnListHover)
    ON_BN_CLICKED(IDC_NEWS_CLEAR, &CNewsRecordDlg::OnBnClickedClear)
    ON_NOTIFY(EN_LINK, IDC_NEWS_DETAIL, &CNewsRecordDlg::OnLink)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

void CNewsRecordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NEWS_LIST, m_list);
    DDX_Control(pDX, IDC_NEWS_TREE, m_tree);
    DDX_Control(pDX, IDC_NEWS_DETAIL, m_richEdit);
}

BOOL CNewsRecordDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_TRACKSELECT | LVS_EX_FULLROWSELECT |
                            LVS_EX_DOUBLEBUFFER);
    CRect rcList;
    m_list.GetClientRect(&rcList);
    const int w = rcList.Width();
    m_list.InsertColumn(0, "\320\362\272\305" /* 序号 */, LVCFMT_LEFT, w / 8);
    m_list.InsertColumn(1, "\312\261\274\344" /* 时间 */, LVCFMT_LEFT, w / 4);
    m_list.InsertColumn(2, "\261\352\314\342" /* 标题 */, LVCFMT_LEFT, w / 4);
    m_list.InsertColumn(3, "\304\332\310\335" /* 内容 */, LVCFMT_LEFT, w / 4);
    m_list.InsertColumn(4, "\322\321\266\301/\316\264\266\301" /* 已读/未读 */, LVCFMT_LEFT, w / 8);

    m_richEdit.SetEventMask(m_richEdit.GetEventMask() | ENM_LINK);

    CRect rc;
    if (CWnd* pMark = GetDlgItem(IDC_NEWS_VSPLIT)) {
        pMark->GetWindowRect(&rc);
        ScreenToClient(&rc);
        m_splitV.Create(WS_CHILD | WS_VISIBLE, rc, this, IDC_NEWS_VSPLIT);
        m_splitV.SetDragRange(50, 50, -1);
    }
    if (CWnd* pMark = GetDlgItem(IDC_NEWS_HSPLIT)) {
        pMark->GetWindowRect(&rc);
        ScreenToClient(&rc);
        m_splitH.Create(WS_CHILD | WS_VISIBLE, rc, this, IDC_NEWS_HSPLIT);
        CRect rcL;
        m_list.GetClientRect(&rcL);
        // Upwards only: from half the list's height above the bar to 50 pixels above it.
        m_splitH.SetDragRange(rcL.Height() / 2, -50, -1);
    }

    GetClientRect(&m_rcClient);
    GetWindowRect(&m_rcInitWindow);
    CenterWindow();
    return TRUE;
}

void CNewsRecordDlg::OnCancel()
{
    ShowWindow(SW_HIDE);
}

CString CNewsRecordDlg::SelectedPath()
{
    CString path;
    HTREEITEM hItem = m_tree.GetSelectedItem();
    while (hItem) {
        CString text = m_tree.GetItemText(hItem);
        if (text == kRootText)
            break;
        path = text + "/" + path;
        hItem = m_tree.GetParentItem(hItem);
    }
    return path;
}

void CNewsRecordDlg::OnTreeSelChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CNewsStore* pStore = NewsStore();
    if (!pStore)
        return;
    CString path = SelectedPath();
    if (path.IsEmpty())
        pStore->Load("");
    else
        pStore->Load(CNewsStore::SelectClassStatement(pStore->user, (LPCSTR)path));
    pStore->m_recordBox.FillList();
    UpdateData(FALSE);
}

void CNewsRecordDlg::OnListHover(NMHDR*, LRESULT* pResult)
{
    *pResult = 1;  // hovering does not select
}

void CNewsRecordDlg::SetSelEffect(DWORD dwEffect, BOOL bOn)
{
    CHARFORMAT2 cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = dwEffect == CFE_BOLD ? CFM_BOLD : CFM_LINK;
    cf.dwEffects = bOn ? dwEffect : 0;
    m_richEdit.SetSelectionCharFormat(cf);
}

void CNewsRecordDlg::CaretToEnd()
{
    long len = m_richEdit.GetTextLength();
    m_richEdit.SetSel(len, len);
}

void CNewsRecordDlg::ClearDetail(BOOL bCenter)
{
    m_richEdit.SetSel(0, -1);
    m_richEdit.ReplaceSel("");
    m_richEdit.SetSel(0, -1);
    if (m_richEdit.IsLink() != 0)
        SetSelEffect(CFE_LINK, FALSE);
    if (bCenter)
        m_richEdit.AlignCenter();
    else
        m_richEdit.AlignLeft();
}

void CNewsRecordDlg::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    NMLISTVIEW* pNM = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    CNewsStore* pStore = NewsStore();
    if (pNM->iItem < 0 || !pStore)
        return;
    const int row = pNM->iItem;
    CNewsItem* pItem = pStore->m_recordBox.ItemAt(row);
    if (!pItem)
        return;

    ClearDetail(TRUE);
    char hidden[16];
    std::snprintf(hidden, sizeof(hidden), "%d", row);
    if (pItem->remindType == "web") {
        if (m_richEdit.IsBold() != 0) {
            CaretToEnd();
            SetSelEffect(CFE_BOLD, FALSE);
        }
        m_richEdit.AppendLink(m_list.GetItemText(row, 2), hidden);
        m_richEdit.AppendText("\r\n", 0, 0, FALSE, nullptr);
        if (m_richEdit.IsBold() != 0) {
            CaretToEnd();
            SetSelEffect(CFE_BOLD, FALSE);
        }
        m_richEdit.AppendLink(m_list.GetItemText(row, 3), hidden);
        m_richEdit.AppendText("\r\n", 0, 0, FALSE, nullptr);
    } else {
        m_richEdit.AppendText(m_list.GetItemText(row, 2), 0, 2, FALSE, nullptr);
        if (m_richEdit.IsBold() == 0) {
            m_richEdit.SetSel(0, -1);
            SetSelEffect(CFE_BOLD, TRUE);
        }
        if (m_richEdit.IsBold() != 0) {
            CaretToEnd();
            SetSelEffect(CFE_BOLD, FALSE);
        }
        m_richEdit.AppendText("\r\n", 0, 0, FALSE, nullptr);
        m_richEdit.AppendText(CString("    ") + m_list.GetItemText(row, 3), 0, 3, FALSE, nullptr);
        m_richEdit.AlignLeft();
    }
    if (m_richEdit.IsLink() == 1) {
        CaretToEnd();
        SetSelEffect(CFE_LINK, FALSE);
    }
    CaretToEnd();
    m_richEdit.AlignLeft();
    UpdateData(FALSE);
}

void CNewsRecordDlg::OnLink(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    ENLINK* pLink = reinterpret_cast<ENLINK*>(pNMHDR);
    if (pLink->msg != WM_LBUTTONDOWN)
        return;
    CNewsStore* pStore = NewsStore();
    if (!pStore)
        return;
    // The row is read as a decimal number: an empty target is row 0.
    int row = std::atoi(m_richEdit.GetLinkTarget(pLink->chrg));
    HCURSOR hOld = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    pStore->m_recordBox.NotifyHost(row);
    ::SetCursor(hOld);
}

void CNewsRecordDlg::OnBnClickedClear()
{
    CNewsStore* pStore = NewsStore();
    if (!pStore)
        return;
    CString path = SelectedPath();
    if (path.IsEmpty())
        pStore->Delete("");
    else
        pStore->Delete(CNewsStore::DeleteClassStatement(pStore->user, (LPCSTR)path));
    ClearDetail(FALSE);
    pStore->Load("");
    pStore->m_recordBox.FillTreeAndShow();
}

LRESULT CNewsRecordDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && (wParam == IDC_NEWS_VSPLIT || wParam == IDC_NEWS_HSPLIT)) {
        SPC_NMHDR* pHdr = reinterpret_cast<SPC_NMHDR*>(lParam);
        if (pHdr && pHdr->hdr.code == SPN_MOVED) {
            OnSplitterMoved((int)wParam, pHdr->delta);
            return 0;
        }
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CNewsRecordDlg::OnSplitterMoved(int nID, int delta)
{
    if (nID == IDC_NEWS_VSPLIT) {
        CSplitterControl::StretchWidth(&m_tree, delta, CW_LEFTALIGN);
        CSplitterControl::ShiftWindow(GetDlgItem(IDC_NEWS_CLEAR), -delta, 0);
        CSplitterControl::StretchWidth(&m_list, -delta, CW_RIGHTALIGN);
        CSplitterControl::StretchWidth(&m_richEdit, -delta, CW_RIGHTALIGN);
        CSplitterControl::StretchWidth(&m_splitH, -delta, CW_RIGHTALIGN);
    } else {
        CSplitterControl::StretchHeight(&m_list, delta, CW_TOPALIGN);
        CSplitterControl::StretchHeight(&m_richEdit, -delta, CW_BOTTOMALIGN);
    }
    Invalidate();
    UpdateWindow();
}

void CNewsRecordDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_rcClient.IsRectEmpty() || nType == SIZE_MINIMIZED || !m_list.GetSafeHwnd())
        return;
    CRect rc;
    GetClientRect(&rc);
    const int dx = rc.Width() - m_rcClient.Width();
    const int dy = rc.Height() - m_rcClient.Height();
    CSplitterControl::StretchHeight(&m_splitV, dy, CW_TOPALIGN);
    CSplitterControl::StretchWidth(&m_splitH, dx, CW_LEFTALIGN);
    CSplitterControl::StretchHeight(&m_tree, dy, CW_TOPALIGN);
    CSplitterControl::StretchWidth(&m_list, dx, CW_LEFTALIGN);
    CSplitterControl::StretchWidth(&m_richEdit, dx, CW_LEFTALIGN);
    CSplitterControl::StretchHeight(&m_richEdit, dy, CW_TOPALIGN);
    m_list.SetColumnWidth(4, m_list.GetColumnWidth(4) + dx);
    m_splitH.ChangeUpperLimit(dy / 2);
    m_rcClient = rc;
}

void CNewsRecordDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    if (!m_rcInitWindow.IsRectEmpty()) {
        lpMMI->ptMinTrackSize.x = m_rcInitWindow.Width() - 50;
        lpMMI->ptMinTrackSize.y = m_rcInitWindow.Height() - 50;
    }
}
