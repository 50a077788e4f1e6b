// The sign-on dialog: login at start-up (with the update check) and unlock of a locked client.
#pragma once

#include "AfxWin.h"
#include "SecureEdit.h"
#include "Update.h"

class CLoginDlg : public CDialog
{
    DECLARE_DYNAMIC(CLoginDlg)
public:
    // nMode 1: login, 0: unlock. pszAccount: the stored user name (empty at a first start).
    CLoginDlg(int nMode, const char* pszAccount, CWnd* pParent = nullptr);
    ~CLoginDlg() override;

    enum { IDD = 312 };

    CString GetAccount() const { return m_strAccount; }
    CString GetSessionId() const { return m_strSessionId; }
    CString GetTGT() const { return m_strTGT; }

    // Called by the updater when it could not download or start the new version.
    void ShowUpdateFailed();

    CProgressCtrl m_progress;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    BOOL CasLogin();

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnPaint();
    afx_msg void OnBnClickedOk();
    afx_msg void OnBnClickedCancel();
    afx_msg void OnStnClickedFindPwd();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnBnClickedVpn();
    DECLARE_MESSAGE_MAP()

    RECT m_rcInitial;
    UpdateTask m_updateTask;
    CWinThread* m_pUpdateThread;  // the update worker, which uses this dialog until it ends
    CString m_strAccount;
    CString m_strPassword;
    CString m_strSessionId;
    CString m_strTGT;
    HICON m_hIcon;
    BOOL m_bDragging;
    int m_nMode;
    POINT m_ptDragStart;
    HFONT m_hLinkFont;
    CSecureEdit m_passwordEdit;
    CString m_strTitle;
};

// 1 when every byte is a decimal digit (the empty text too); 0 for null or any other byte.
int IsAllDigits(const char* pszText);
// 1 when every byte is a letter A-Z or a-z (the empty text too); 0 for null or any other byte.
int IsAllAlpha(const char* pszText);
