// CDlgDownloadProgress: dialog 356, the progress of the browser installer's download. Modeless;
// the object deletes itself when its window is destroyed.
#pragma once

#include "AfxWin.h"
#include "CDialog.h"
#include "CProgressCtrl.h"
#include "CStatic.h"

// wParam 0, lParam the percent done.
#define WM_DOWNLOAD_PROGRESS 0x853

class CDlgDownloadProgress : public CDialog
{
    DECLARE_DYNAMIC(CDlgDownloadProgress)
public:
    CDlgDownloadProgress(CWnd* pParent = nullptr);
    ~CDlgDownloadProgress() override;

    // The install thread's cancel event, set and cleared on the GUI thread while the window lives:
    // the thread clears it before closing the event, so the button never signals a closed handle.
    // FALSE when the dialog was gone already.
    static BOOL SetCancelEvent(HWND hDlg, HANDLE hEvent);
    // The dialog's window, read on the GUI thread; none when the dialog has already ended and
    // deleted itself (from any thread).
    static HWND WindowOf(CDlgDownloadProgress* pDlg);

    HICON m_hSmallIcon;
    CProgressCtrl m_progress;
    CStatic m_staticPercent;
    int m_nPercent;
    HANDLE m_hCancelEvent;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void PostNcDestroy() override;
    afx_msg LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    afx_msg void OnBnClickedCancel();
    DECLARE_MESSAGE_MAP()
};
