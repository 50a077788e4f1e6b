// The shared wait window with its spinner. Any thread may show it; its window lives on the GUI
// thread while a user-interface thread of its own waits in its modal loop.
#pragma once

#include <atomic>
#include "AfxWin.h"
#include "PictureEx.h"

class CWaitDialog : public CDialog
{
    DECLARE_DYNAMIC(CWaitDialog)
public:
    explicit CWaitDialog(CWnd* pParent = nullptr);
    ~CWaitDialog() override;

    enum { IDD = 350 };

    CStatic m_stText;
    CPictureEx m_picture;

    // One dialog object runs one modal loop at a time. A show request claims the loop before it
    // starts its thread (m_bRunning from then until the loop has returned); the thread that takes
    // the claim runs the loop, every other one ends at once.
    std::atomic<int> m_bRunning;
    std::atomic<int> m_bLoopClaimed;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()
};

// The procedure of the dialog's user-interface thread: runs the dialog unless it is shown.
UINT WaitDialogThreadProc(LPVOID pParam);

// Shows the dialog, or changes the text of the one shown; returns once its window exists (or
// after a bounded wait when it cannot be made). CParvelApp::ShowWaitDialog calls it.
void ShowWaitDialog(CWaitDialog* pDlg, const char* pszText);
