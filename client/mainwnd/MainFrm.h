// CMainFrame: the client's one top-level window: the tabbed page frame with the menu bar, the
// search toolbar, the standard and server toolbars, the status bar and the tray icon; the receiver
// of the messages of workers, the message component, the tray icon, the search box and the pages.
#pragma once

#include "AfxWin.h"
#include "CMDIChildWndEx.h"
#include "CMDIFrameWndEx.h"
#include "CMFCMenuBar.h"
#include "CMFCStatusBar.h"
#include "CMFCToolBar.h"
#include "CMFCToolBarImages.h"
#include "FrameTimers.h"
#include "NewsDlg.h"
#include "NewsInterface.h"
#include "SearchButton.h"
#include "SearchEditButton.h"
#include "SystemTray.h"

#define WM_NEW_BROWSER (WM_USER + 104)
#define WM_QUERY_WAYBILL 0x852
#define WM_PRINT_RESULT 0x84D
#define WM_IMPORT_DONE 0x84E
// The message poll's reply (lParam: a std::string the receiver deletes).
#define WM_NEWS_POLL_REPLY (WM_USER + 105)


class CMainFrame : public CMDIFrameWndEx
{
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL DestroyWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, LPVOID pContext = nullptr) override;
    BOOL OnShowMDITabContextMenu(CPoint point, DWORD dwAllowedItems, BOOL bTabDrop) override;
    BOOL OnDrawMenuImage(CDC* pDC, const CMFCToolBarMenuButton* pMenuButton, const CRect& rectImage) override;

    // Opens the address in a new page with the sign-on cookies (a form POST when post data is given).
    void OpenUrlInNewPage(LPCSTR lpszUrl, LPCSTR lpszTitle, LPCSTR lpszPostData);
    // Builds the menu bar, the standard toolbar and the server menus and toolbars, once.
    void LoadXmlMenu();
    // Asks the query-token service and opens the waybill's result page in a new page.
    void QueryWaybill(LPCSTR lpszWaybill);
    // The waybill box whose edit has the input focus, or NULL.
    CMFCToolBarEditBoxButton* GetFocusedSearchEdit();
    // Ends this instance and starts the program again, which signs on anew.
    void Relogin();
    // One step of the import progress text in status pane 2.
    void ShowImportProgress();
    // The server menu pictures on the tray menu's items.
    void SetTrayMenuBitmaps(CMenu* pPopup);

    bool m_bMenuLoaded;
    HICON m_hTrayIcon;
    CSystemTray m_TrayIcon;
    CBitmap m_bmpStatusIcon;
    CNewsDlg m_dlgNews;
    CMFCMenuBar m_wndMenuBar;
    CMFCStatusBar m_wndStatusBar;
    CMFCToolBarImages m_UserImages;
    CMFCToolBarImages m_UserImages2;
    CMFCToolBar m_wndSearchBar;
    CSearchEditButton m_btnSearchEdit;
    CSearchButton m_btnSearch;
    CMFCToolBar m_wndToolBar;
    CProgressCtrl m_wndProgress;
    HANDLE m_hInstallerThread;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnAutoRun();
    afx_msg void OnUpdateAutoRun(CCmdUI* pCmdUI);
    afx_msg void OnShowMainWindow();
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowNews(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNewBrowser(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnQueryWaybill(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNewsPollReply(WPARAM wParam, LPARAM lParam);
    afx_msg void OnServerMenuCommand(UINT nID);
    afx_msg void OnUpdateServerMenuCommand(CCmdUI* pCmdUI);
    afx_msg void OnEmptyCommand();
    afx_msg void OnWaybillQueryButton();
    afx_msg void OnImportOrder();
    afx_msg void OnOption();
    afx_msg void OnInternetOption();
    afx_msg void OnQuit();
    afx_msg void OnSwitchAccount();
    afx_msg void OnHomePage();
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLockApp();
    afx_msg void OnClearPrintList();
    afx_msg void OnBranch360View();
    DECLARE_MESSAGE_MAP()
};
