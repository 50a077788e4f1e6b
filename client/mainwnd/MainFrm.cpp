// CMainFrame: creation, framework overrides, the message map and the handlers of page and
// server-menu commands.
#include <cstring>
#include <string>
#include "MainFrm.h"
#include "CMFCVisualManager.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "Scrivo.h"
#include "Shell.h"
#include "URLEncode.h"
#include "VelkorMenu.h"
#include "resource.h"
#include "CMDIChildWndEx.h"
#include "InternetCookie.h"
#include "ParvelView.h"

// The network's single-sign-on portal: its pages open in the desktop's own browser.
#ifndef PARVEL_SSO_PORTAL_HOST
#define PARVEL_SSO_PORTAL_HOST "sso.velkor.com"
#endif

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWndEx)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWndEx)
    ON_COMMAND(ID_AUTO_RUN, &CMainFrame::OnAutoRun)
    ON_UPDATE_COMMAND_UI(ID_AUTO_RUN, &CMainFrame::OnUpdateAutoRun)
    ON_COMMAND(ID_SHOW_MAIN_WINDOW, &CMainFrame::OnShowMainWindow)
    ON_MESSAGE(WM_TRAY_NOTIFY, &CMainFrame::OnTrayNotify)
    ON_MESSAGE(WM_SHOWNEWS, &CMainFrame::OnShowNews)
    ON_MESSAGE(WM_NEW_BROWSER, &CMainFrame::OnNewBrowser)
    ON_MESSAGE(WM_QUERY_WAYBILL, &CMainFrame::OnQueryWaybill)
    ON_MESSAGE(WM_NEWS_POLL_REPLY, &CMainFrame::OnNewsPollReply)
    ON_COMMAND_RANGE(ID_SERVER_MENU_FIRST, ID_SERVER_MENU_LAST, &CMainFrame::OnServerMenuCommand)
    ON_UPDATE_COMMAND_UI_RANGE(ID_SERVER_MENU_FIRST, ID_SERVER_MENU_LAST, &CMainFrame::OnUpdateServerMenuCommand)
    ON_COMMAND(ID_WAYBILL_EDIT, &CMainFrame::OnEmptyCommand)
    ON_COMMAND(ID_WAYBILL_QUERY, &CMainFrame::OnWaybillQueryButton)
    ON_COMMAND(ID_IMPORT_ORDER, &CMainFrame::OnImportOrder)
    ON_COMMAND(ID_OPTION, &CMainFrame::OnOption)
    ON_COMMAND(ID_INTERNET_OPTION, &CMainFrame::OnInternetOption)
    ON_COMMAND(ID_QUIT, &CMainFrame::OnQuit)
    ON_COMMAND(ID_SWITCH_ACCOUNT, &CMainFrame::OnSwitchAccount)
    ON_COMMAND(ID_HOME_PAGE, &CMainFrame::OnHomePage)
    ON_WM_SYSCOMMAND()
    ON_WM_CREATE()
    ON_WM_SHOWWINDOW()
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_COMMAND(ID_EMPTY_COMMAND, &CMainFrame::OnEmptyCommand)
    ON_COMMAND(ID_LOCK_APP, &CMainFrame::OnLockApp)
    ON_COMMAND(ID_CLEAR_PRINT_LIST, &CMainFrame::OnClearPrintList)
    ON_COMMAND(ID_BRANCH_360_VIEW, &CMainFrame::OnBranch360View)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_bMenuLoaded(false), m_hTrayIcon(nullptr), m_hInstallerThread(nullptr) {}

CMainFrame::~CMainFrame()
{
    if (m_hInstallerThread)
    {
        CloseHandle(m_hInstallerThread);
        m_hInstallerThread = nullptr;
    }
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWndEx::OnCreate(lpCreateStruct) == -1)
        return -1;

    CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerOffice2007));
    RedrawWindow(nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME | RDW_ERASE);

    CMDITabInfo mdiTabParams;
    mdiTabParams.m_style = CMFCTabCtrl::STYLE_3D_ONENOTE;
    mdiTabParams.m_bActiveTabCloseButton = TRUE;
    mdiTabParams.m_bTabIcons = FALSE;
    mdiTabParams.m_bAutoColor = FALSE;
    mdiTabParams.m_bDocumentMenu = FALSE;
    mdiTabParams.m_bTabCustomTooltips = FALSE;
    EnableMDITabbedGroups(TRUE, mdiTabParams);

    RecalcLayout();
    CDockingManager::SetDockingMode(DT_SMART);
    EnableAutoHidePanes(CBRS_ALIGN_TOP);

    if (!m_wndSearchBar.CreateEx(this, TBSTYLE_FLAT, 0x50000051, CRect(1, 1, 1, 1), AFX_IDW_TOOLBAR))
        return 0;
    m_wndSearchBar.InsertButton(m_btnSearchEdit);
    m_wndSearchBar.InsertButton(m_btnSearch);
    m_wndSearchBar.EnableDocking(CBRS_ALIGN_TOP);
    DockPane(&m_wndSearchBar);

    if (!m_wndStatusBar.CreateEx(this, SBT_TOOLTIPS, 0x50008200, AFX_IDW_STATUS_BAR))
        return -1;
    static const UINT indicators[] = {IDS_INDICATOR_ICON, ID_SEPARATOR, IDS_INDICATOR_PROGRESS};
    m_wndStatusBar.SetIndicators(indicators, 3);
    m_wndStatusBar.SetPaneInfo(0, IDS_INDICATOR_ICON, SBPS_NORMAL, 10);
    if (!m_bmpStatusIcon.GetSafeHandle())
        m_bmpStatusIcon.LoadBitmap(IDB_STATUS_ICON);
    m_wndStatusBar.SetPaneIcon(0, (HBITMAP)m_bmpStatusIcon.GetSafeHandle(), RGB(255, 0, 255));
    m_wndStatusBar.SetTipText(0, "This is a tooltip");
    m_wndStatusBar.SetPaneWidth(0, 21);

    const CString strUser = COptionCtrl::GetOptionData().GetUserNameA();
    CString strTitle;
    strTitle.LoadString(IDS_APP_TITLE);
    CRect rcClient;
    GetClientRect(&rcClient);
    m_wndStatusBar.SetPaneInfo(1, ID_INDICATOR_NUM, SBPS_STRETCH, rcClient.Width() - 310);
    m_wndStatusBar.SetPaneText(1, strUser + "，您好！欢迎使用" + strTitle + "。");
    m_wndStatusBar.SetPaneInfo(2, IDS_INDICATOR_PROGRESS, SBPS_NORMAL, 150);

    m_hTrayIcon = AfxGetApp()->LoadIcon(IDI_TRAY);
    CString strTip;
    strTip.LoadString(IDR_MAINFRAME);
    strTip += " \r\n当前用户：";
    strTip += strUser;
    m_TrayIcon.Create(this, strTip, m_hTrayIcon);
    m_TrayIcon.AddIcon();

    // The message component starts with the frame (its result is not looked at).
    CNewsInterface::GetInstance()->InitNewsInterface("aaa", "bbb", m_hWnd);

    SetTimer(TIMER_SESSION_CHECK, 300000, nullptr);
    SetTimer(TIMER_IDLE_LOCK, 1000, nullptr);
    // Without the poll no message of the message service would ever reach the operator; its tick
    // counting spaces the polls.
    SetTimer(TIMER_NEWS_POLL, 1000, nullptr);

    m_bMenuLoaded = false;
    Scrivo::trace("OnCreate 离开！");
    return 0;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CMDIFrameWndEx::PreCreateWindow(cs))
        return FALSE;
    // The caption stays the application title whatever page is active.
    cs.style &= ~(LONG)FWS_ADDTOTITLE;
    return TRUE;
}

BOOL CMainFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, LPVOID pContext)
{
    // No user-defined toolbars exist, so there is no customise button to set up on them.
    return CMDIFrameWndEx::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CMainFrame::DestroyWindow()
{
    Scrivo::trace("DestroyWindow-FreeToolBars");
    Scrivo::trace("DestroyWindow-KillTimer");
    KillTimer(TIMER_SESSION_CHECK);
    KillTimer(TIMER_IDLE_LOCK);
    return CMDIFrameWndEx::DestroyWindow();
}

BOOL CMainFrame::OnShowMDITabContextMenu(CPoint point, DWORD, BOOL bTabDrop)
{
    // No menu while a tab is being dragged and dropped.
    if (bTabDrop)
        return FALSE;
    CMenu menu;
    if (!menu.LoadMenu(IDR_TAB_MENU))
        return FALSE;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (!pPopup)
        return FALSE;
    SetForegroundWindow();
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
    return TRUE;
}

BOOL CMainFrame::OnDrawMenuImage(CDC* pDC, const CMFCToolBarMenuButton* pMenuButton, const CRect& rectImage)
{
    CVelkorMenu& menus = CVelkorMenu::GetInstance();
    MENU_ITEM* pItem = pMenuButton ? menus.FindItem((int)pMenuButton->m_nID) : nullptr;
    CVelkorMenu::MENU_INST* pInst = pItem ? menus.FindInst(pItem) : nullptr;
    if (pInst && pInst->pBmp16 && pDC)
    {
        CDC memDC;
        memDC.CreateCompatibleDC(pDC);
        CBitmap* pOld = memDC.SelectObject(pInst->pBmp16);
        BITMAP bm{};
        pInst->pBmp16->GetBitmap(&bm);
        int cx = (rectImage.left + rectImage.right) / 2;
        int cy = (rectImage.top + rectImage.bottom) / 2;
        pDC->StretchBlt(cx - 8, cy - 8, 16, 16, &memDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        memDC.SelectObject(pOld);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Server menus

void CMainFrame::LoadXmlMenu()
{
    if (m_bMenuLoaded)
        return;

    CString strCustomize;
    strCustomize.LoadString(IDS_TOOLBAR_CUSTOMIZE);
    EnablePaneMenu(TRUE, ID_VIEW_CUSTOMIZE, strCustomize, AFX_IDW_TOOLBAR);
    CMFCToolBar::SetSizes(CSize(22, 22), CSize(16, 16));

    // The first page's entry in the window list ("&1 页面加载中....") and the separator before it.
    CMenu* pFrameMenu = GetMenu();
    bool bDone = false;
    for (UINT i = 0; pFrameMenu && !bDone && i < pFrameMenu->GetMenuItemCount(); ++i)
    {
        CMenu* pPopup = pFrameMenu->GetSubMenu((int)i);
        for (UINT j = 0; pPopup && j < pPopup->GetMenuItemCount(); ++j)
        {
            char szText[32] = "";
            pPopup->GetMenuString(j, szText, sizeof(szText), MF_BYPOSITION);
            if (strlen(szText) > 3 && strcmp(szText + 3, "页面加载中....") == 0)
            {
                pPopup->DeleteMenu(j, MF_BYPOSITION);
                if (j > 0)
                    pPopup->DeleteMenu(j - 1, MF_BYPOSITION);
                bDone = true;
                break;
            }
        }
    }

    CVelkorMenu& menus = CVelkorMenu::GetInstance();
    bool bServerMenus = menus.LoadMenus() && menus.BuildMenuBar(pFrameMenu);

    if (!m_wndMenuBar.Create(this, 0x50402808, AFX_IDW_MENUBAR))
        return;
    m_wndMenuBar.EnableDocking(CBRS_ALIGN_TOP);
    DockPane(&m_wndMenuBar);

    if (!m_wndToolBar.GetSafeHwnd() &&
        !m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, 0x50000051, CRect(1, 1, 1, 1), AFX_IDW_TOOLBAR))
        return;
    if (!m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return;
    m_wndToolBar.EnableDocking(CBRS_ALIGN_TOP);

    DockPane(&m_wndSearchBar);
    DockPane(&m_wndToolBar);
    DockPaneLeftOf(&m_wndToolBar, &m_wndSearchBar);
    m_wndToolBar.SetWindowText("基础操作");

    if (bServerMenus)
        menus.CreateToolBars(&m_wndToolBar, this);

    m_wndMenuBar.SetPaneStyle(m_wndMenuBar.GetPaneStyle() | CBRS_TOOLTIPS | CBRS_FLYBY);
    EnableDocking(CBRS_ALIGN_TOP);

    Scrivo::trace("OnCreate LoadXmlMenu start");
    m_wndMenuBar.RebuildMenus();
    m_wndMenuBar.RedrawWindow(nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE | RDW_UPDATENOW);
    m_bMenuLoaded = true;
}

void CMainFrame::OnServerMenuCommand(UINT nID)
{
    MENU_ITEM* pItem = CVelkorMenu::GetInstance().FindItem((int)nID);
    if (!pItem || !pItem->action)
        return;
    // Trailing blanks are cut off in place.
    size_t n = strlen(pItem->action);
    while (n > 0 && pItem->action[n - 1] == ' ')
        pItem->action[--n] = '\0';
    CURLEncode encoder;
    std::string strEncoded = encoder.GbkToUtf8(pItem->action);
    CString strUrl;
    strUrl.Format("%s?service=%s", COptionCtrl::GetOptionData().GetAccountLoginUrl().GetString(), strEncoded.c_str());
    if (strstr(pItem->action, PARVEL_SSO_PORTAL_HOST))
    {
        ShellExecuteA(nullptr, nullptr, "iexplore", pItem->action, nullptr, SW_SHOWNORMAL);
        return;
    }
    OpenUrlInNewPage(strUrl, pItem->name, "");
}

void CMainFrame::OnUpdateServerMenuCommand(CCmdUI* pCmdUI)
{
    pCmdUI->SetRadio(TRUE);
}

// ---------------------------------------------------------------------------------------------
// Pages

LRESULT CMainFrame::OnNewBrowser(WPARAM wParam, LPARAM)
{
    AfxGetApp()->OnFileNew();
    CMDIChildWndEx* pChild = MDIGetActive();
    auto* pView = pChild ? dynamic_cast<CHtmlView*>(pChild->GetActiveView()) : nullptr;
    if (pView && wParam)
        *(LPDISPATCH*)wParam = pView->GetApplication();
    return 0;
}

void CMainFrame::OnHomePage()
{
    Scrivo::trace("主页");
    CMDIChildWndEx* pChild = MDIGetActive();
    auto* pView = pChild ? dynamic_cast<CHtmlView*>(pChild->GetActiveView()) : nullptr;
    if (pView)
        pView->Navigate2(COptionCtrl::GetOptionData().GetHomePageUrl());
}

void CMainFrame::OpenUrlInNewPage(LPCSTR lpszUrl, LPCSTR, LPCSTR lpszPostData)
{
    if (!IsWindowVisible() || IsIconic())
    {
        ShowWindow(SW_SHOWMAXIMIZED);
        SetForegroundWindow();
        SetFocus();
    }
    AfxGetApp()->OnFileNew();
    CMDIChildWndEx* pChild = MDIGetActive();
    auto* pView = pChild ? dynamic_cast<CHtmlView*>(pChild->GetActiveView()) : nullptr;
    if (!pView || !lpszUrl)
        return;
    // The sign-on cookies for the very address, stored before its load starts.
    const COptionData& options = COptionCtrl::GetOptionData();
    InternetSetCookieA(lpszUrl, "JSESSIONID", options.GetSessionId());
    InternetSetCookieA(lpszUrl, "CASTGC", options.GetTGT());
    if (lpszPostData && *lpszPostData)
        pView->Navigate2(lpszUrl, 0, nullptr, nullptr, (LPVOID)lpszPostData, (DWORD)strlen(lpszPostData));
    else
        pView->Navigate2(lpszUrl);
}

// ---------------------------------------------------------------------------------------------
// Window

void CMainFrame::OnQuit()
{
    Scrivo::trace("退出");
    DestroyWindow();
}

void CMainFrame::OnShowWindow(BOOL bShow, UINT nStatus)
{
    if (bShow)
    {
        // The status of a plain show is 0: hiding a window that is not shown yet does nothing, so
        // only a restore from another start (SW_PARENTOPENING) changes anything here.
        ShowWindow((int)nStatus);
        SetForegroundWindow();
    }
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    CMDIFrameWndEx::OnSysCommand(nID, lParam);
}
