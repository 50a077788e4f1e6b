// CMDIFrameWndEx: the tabbed multiple-document frame. Its client area holds the document tabs
// (one tab per CMDIChildWndEx); bars dock in rows along its top edge; the status bar sits at its
// bottom. The frame menu (menu resource of LoadFrame's id) is shown once a CMFCMenuBar is created;
// its window popup (the one before the last popup when the menu is loaded, as in the classic
// File ... Window Help layout) lists the open tabs as "&1 caption", "&2 caption", ... after a separator.
#pragma once

#include <vector>
#include "CFrameWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CBasePane;
class CMDIChildWndEx;
class CMenu;
class CDC;
class CMFCToolBarMenuButton;
class wxAuiNotebook;
class wxPanel;
class wxBoxSizer;
class wxWindow;

class CMFCTabCtrl
{
public:
    enum Style { STYLE_3D = 0, STYLE_FLAT = 1, STYLE_FLAT_SHARED_HORZ_SCROLL = 2, STYLE_3D_SCROLLED = 3,
                 STYLE_3D_ONENOTE = 4, STYLE_3D_VS2005 = 5, STYLE_3D_ROUNDED = 6, STYLE_3D_ROUNDED_SCROLL = 7 };
    enum Location { LOCATION_BOTTOM = 0, LOCATION_TOP = 1 };
};

// Settings of the document tabs.
struct CMDITabInfo
{
    CMFCTabCtrl::Location m_tabLocation = CMFCTabCtrl::LOCATION_TOP;
    CMFCTabCtrl::Style m_style = CMFCTabCtrl::STYLE_3D_SCROLLED;
    BOOL m_bTabCloseButton = TRUE;
    BOOL m_bTabIcons = FALSE;
    BOOL m_bAutoColor = FALSE;
    BOOL m_bDocumentMenu = FALSE;
    BOOL m_bEnableTabSwap = TRUE;
    BOOL m_bFlatFrame = TRUE;
    BOOL m_bTabCustomTooltips = FALSE;
    BOOL m_bActiveTabCloseButton = FALSE;
    int m_nTabBorderSize = 1;
};

enum AFX_DOCK_TYPE { DT_UNDEFINED = 0, DT_IMMEDIATE = 1, DT_STANDARD = 2, DT_SMART = 0x80 };

// The docking manager's one setting the frame uses.
class CDockingManager
{
public:
    static void SetDockingMode(AFX_DOCK_TYPE dockMode) { s_dockMode = dockMode; }
    static AFX_DOCK_TYPE GetDockingMode() { return s_dockMode; }

private:
    static AFX_DOCK_TYPE s_dockMode;
};

// Items a tab context menu may offer (OnShowMDITabContextMenu's dwAllowedItems).
#define AFX_MDI_CREATE_VERT_GROUP 0x0001
#define AFX_MDI_CREATE_HORZ_GROUP 0x0002
#define AFX_MDI_CAN_MOVE_NEXT 0x0004
#define AFX_MDI_CAN_MOVE_PREV 0x0008
#define AFX_MDI_CAN_BE_DOCKED 0x0010

class CMDIFrameWndEx : public CFrameWnd
{
    DECLARE_DYNAMIC(CMDIFrameWndEx)
public:
    CMDIFrameWndEx();
    ~CMDIFrameWndEx() override;

    // Also loads the frame menu of the same id.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, LPVOID pContext = nullptr) override;

    // Tabs.
    void EnableMDITabbedGroups(BOOL bEnable, const CMDITabInfo& params);
    CMDIChildWndEx* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate);
    void MDINext();
    // The open tabs in tab order.
    int GetMDIChildCount() const;
    CMDIChildWndEx* GetMDIChild(int nIndex) const;
    // TRUE while a tab is being dragged.
    BOOL IsTabDragging() const { return m_bTabDragging; }

    // Docking along the top edge: each DockPane starts a row below the rows already there (a pane
    // docked again moves to that new row); DockPaneLeftOf puts the pane in the row of the other,
    // just left of it.
    void EnableDocking(DWORD dwDockStyle);
    BOOL EnableAutoHidePanes(DWORD dwDockStyle);
    void DockPane(CBasePane* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    BOOL DockPaneLeftOf(CBasePane* pBar, CBasePane* pLeftOf);
    CDockingManager* GetDockingManager() { return &m_dockManager; }
    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // The rows of docked bars, top to bottom, each left to right.
    std::vector<std::vector<CBasePane*>> GetDockRows() const;

    // The bars' context menu (a right click on the dock rows): one checked entry per named bar,
    // which shows or hides it, then the customise command with its text.
    void EnablePaneMenu(BOOL bEnable, UINT uiCustomizeCmd, const CString& strCustomizeLabel, UINT uiViewToolbarsMenuEntryID = 0,
                        BOOL bContextMenuShowsToolbarsOnly = FALSE, BOOL bViewMenuShowsToolbarsOnly = FALSE);
    void ShowPane(CBasePane* pBar, BOOL bShow, BOOL bDelay = FALSE, BOOL bActivate = FALSE);
    BOOL IsPaneVisible(CBasePane* pBar) const;
    void OnPaneContextMenu(CPoint ptScreen);

    // The frame menu and its window popup.
    CMenu* GetMenu() const;
    HMENU GetDefaultMenu() const { return m_hMenuDefault; }
    HMENU GetWindowMenuPopup(HMENU hMenuBar) const;

    // A right click on a tab: show the tab context menu at the point (screen); TRUE when shown.
    // bTabDrop is TRUE while the tab is being dragged.
    virtual BOOL OnShowMDITabContextMenu(CPoint point, DWORD dwAllowedItems, BOOL bTabDrop);
    // Draws the image of a menu item (its command is pMenuButton's); TRUE when drawn.
    virtual BOOL OnDrawMenuImage(CDC* pDC, const CMFCToolBarMenuButton* pMenuButton, const CRect& rectImage);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Inside the framework: the wx windows that bars and tabs are made in.
    void BuildClientArea(wxWindow* pFrameWidget);
    wxWindow* GetDockParent() const;
    wxAuiNotebook* GetTabs() const { return m_pTabs; }
    void OnChildCreated(CMDIChildWndEx* pChild);
    void OnChildDestroyed(CMDIChildWndEx* pChild);
    void OnChildTextChanged(CMDIChildWndEx* pChild);
    void OnMenuBarCreated(class CMFCMenuBar* pMenuBar);
    void OnPaneDestroyed(CBasePane* pBar);
    void RefreshWindowMenu(CMDIChildWndEx* pGoing = nullptr);

    HMENU m_hMenuDefault;
    HMENU m_hWindowMenu;  // the popup that lists the tabs

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ApplyTabInfo();
    void ActivateTab(int nIndex, bool bSelect);
    void RemoveFromRows(CBasePane* pBar);
    void LayoutDock();

    CMDITabInfo m_tabInfo;
    BOOL m_bTabbedGroups;
    BOOL m_bTabDragging;
    DWORD m_dwDockStyle;
    DWORD m_dwAutoHideStyle;
    CDockingManager m_dockManager;
    wxPanel* m_pDock;
    wxBoxSizer* m_pDockSizer;
    wxAuiNotebook* m_pTabs;
    HWND m_hActiveChild;
    class CMFCMenuBar* m_pMenuBar;
    std::vector<std::vector<CBasePane*>> m_rows;
    std::vector<CBasePane*> m_hiddenPanes;
    BOOL m_bPaneMenu;
    UINT m_uiCustomizeCmd;
    CString m_strCustomizeLabel;
    std::vector<CBasePane*> m_paneMenuBars;  // the bars of the pane menu being shown
    BOOL m_bLayoutPending;                     // a layout of the dock rows waits for the loop
};

PARVEL_UI_END_EXPORTS
