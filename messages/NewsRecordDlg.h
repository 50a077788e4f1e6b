// The message-history dialog "消息记录": a category tree, the list of the selected category's
// messages, a read-only detail view and "清除" for the read messages of the category, with two
// splitter bars between the panes. Its handlers work on the news store and its record box.
#pragma once

#include "AfxWin.h"
#include "CListCtrl.h"
#include "CTreeCtrl.h"
#include "MurmelResource.h"
#include "RichEditCtrlZu.h"
#include "SplitterControl.h"

class CNewsRecordDlg : public CDialog
{
public:
    enum { IDD = IDD_NEWS_RECORD };
    CNewsRecordDlg() = default;

    // The category path of the selected tree item ("a/b/"), empty for the root or no selection.
    CString SelectedPath();

    CListCtrl m_list;
    CTreeCtrl m_tree;
    CRichEditCtrlZu m_richEdit;
    CSplitterControl m_splitV;
    CSplitterControl m_splitH;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnTreeSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListHover(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnBnClickedClear();
    afx_msg void OnLink(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);

    void ClearDetail(BOOL bCenter);
    void SetSelEffect(DWORD dwEffect, BOOL bOn);
    void CaretToEnd();
    void OnSplitterMoved(int nID, int delta);

    CRect m_rcClient;
    CRect m_rcInitWindow;

    DECLARE_MESSAGE_MAP()
};
