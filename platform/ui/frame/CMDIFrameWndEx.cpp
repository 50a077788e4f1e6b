// CMDIFrameWndEx: the tabbed MDI frame: dock rows at the top, the document tabs, the status bar
// (which wx keeps at the bottom).
#include <wx/wx.h>
#include <wx/aui/auibook.h>
#include "WndRecord.h"
#include "TopLevelWnd.h"
#include "CMDIFrameWndEx.h"
#include "CMDIChildWndEx.h"
#include "CBasePane.h"
#include "CMenu.h"
#include "CMFCMenuBar.h"
#include "CMFCToolBarButton.h"
#include "WxMenu.h"
#include "Gdi.h"

IMPLEMENT_DYNAMIC(CMDIFrameWndEx, CFrameWnd)

AFX_DOCK_TYPE CDockingManager::s_dockMode = DT_STANDARD;

// The window list of the window popup: "&1 caption" ... with these command ids.
#define AFX_IDM_FIRST_MDICHILD 0xFF00
#define MDI_WINDOW_LIST_MAX 9
// The bar entries of the pane menu.
#define AFX_IDM_FIRST_PANE 0xFE00
#define PANE_MENU_MAX 64

CMDIFrameWndEx::CMDIFrameWndEx()
    : m_hMenuDefault(nullptr), m_hWindowMenu(nullptr), m_bTabbedGroups(FALSE), m_bTabDragging(FALSE), m_dwDockStyle(0), m_dwAutoHideStyle(0),
      m_pDock(nullptr), m_pDockSizer(nullptr), m_pTabs(nullptr), m_hActiveChild(nullptr), m_pMenuBar(nullptr), m_bPaneMenu(FALSE), m_uiCustomizeCmd(0), m_bLayoutPending(FALSE)
{
}

CMDIFrameWndEx::~CMDIFrameWndEx()
{
    if (m_hMenuDefault)
        ::DestroyMenu(m_hMenuDefault);
}

BOOL CMDIFrameWndEx::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, LPVOID pContext)
{
    if (!m_hMenuDefault)
    {
        m_hMenuDefault = ::LoadMenu(nullptr, MAKEINTRESOURCE(nIDResource));
        // The window popup is fixed now; popups added later do not move the list.
        m_hWindowMenu = GetWindowMenuPopup(m_hMenuDefault);
    }
    return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

namespace
{
// The MDI frame's window class: a top-level frame whose client area holds the dock rows and the
// document tabs.
class CMDIFrameWndClass : public CTopLevelWndClass
{
public:
    CMDIFrameWndClass() : CTopLevelWndClass("AfxMDIFrame") {}
    bool IsFrame() const override { return true; }
    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        wxWindow* pWx = CTopLevelWndClass::CreateWidget(p, cs, pParent);
        if (auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(p->pWnd); pFrame && pWx)
            pFrame->BuildClientArea(pWx);
        return pWx;
    }
};
PARVEL_REGISTER_WNDCLASS(CMDIFrameWndClass);
}  // namespace

BOOL CMDIFrameWndEx::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = "AfxMDIFrame";
    return CFrameWnd::PreCreateWindow(cs);
}

void CMDIFrameWndEx::BuildClientArea(wxWindow* pWx)
{
    m_pDock = new wxPanel(pWx, wxID_ANY);
    m_pDockSizer = new wxBoxSizer(wxVERTICAL);
    m_pDock->SetSizer(m_pDockSizer);
    m_pDock->Bind(wxEVT_RIGHT_UP, [this](wxMouseEvent& e) {
        wxPoint pt = m_pDock->ClientToScreen(e.GetPosition());
        OnPaneContextMenu(CPoint(pt.x, pt.y));
    });
    m_pTabs = new wxAuiNotebook(pWx, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                wxAUI_NB_TOP | wxAUI_NB_TAB_MOVE | wxAUI_NB_SCROLL_BUTTONS);
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pDock, 0, wxEXPAND);
    pSizer->Add(m_pTabs, 1, wxEXPAND);
    pWx->SetSizer(pSizer);

    HWND h = m_hWnd;
    m_pTabs->Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, [this, h](wxAuiNotebookEvent& e) {
        e.Skip();
        if (::IsWindow(h))
            ActivateTab(e.GetSelection(), false);
    });
    m_pTabs->Bind(wxEVT_AUINOTEBOOK_PAGE_CLOSE, [this, h](wxAuiNotebookEvent& e) {
        // The page decides (WM_CLOSE), after the tab control has finished with the click.
        e.Veto();
        wxWindow* pPage = m_pTabs->GetPage((size_t)e.GetSelection());
        m_pTabs->CallAfter([this, h, pPage] {
            if (!::IsWindow(h))
                return;
            for (int i = 0; i < GetMDIChildCount(); ++i)
                if (CMDIChildWndEx* p = GetMDIChild(i); p && p->GetWxWindow() == pPage)
                {
                    p->SendMessage(WM_CLOSE);
                    break;
                }
        });
    });
    m_pTabs->Bind(wxEVT_AUINOTEBOOK_BEGIN_DRAG, [this](wxAuiNotebookEvent& e) {
        e.Skip();
        m_bTabDragging = TRUE;
    });
    auto endDrag = [this](wxAuiNotebookEvent& e) {
        e.Skip();
        m_bTabDragging = FALSE;
    };
    m_pTabs->Bind(wxEVT_AUINOTEBOOK_END_DRAG, endDrag);
    m_pTabs->Bind(wxEVT_AUINOTEBOOK_TAB_RIGHT_DOWN, [this](wxAuiNotebookEvent& e) {
        if (!m_bTabDragging && e.GetSelection() >= 0 && e.GetSelection() != m_pTabs->GetSelection())
            m_pTabs->SetSelection((size_t)e.GetSelection());
    });
    m_pTabs->Bind(wxEVT_AUINOTEBOOK_TAB_RIGHT_UP, [this, h](wxAuiNotebookEvent&) {
        wxPoint pt = wxGetMousePosition();
        BOOL bDrop = m_bTabDragging;
        m_pTabs->CallAfter([this, h, pt, bDrop] {
            if (::IsWindow(h))
                OnShowMDITabContextMenu(CPoint(pt.x, pt.y), AFX_MDI_CAN_MOVE_NEXT | AFX_MDI_CAN_MOVE_PREV, bDrop);
        });
    });
    // Menu bar commands reach the frame as WM_COMMAND.
    pWx->Bind(wxEVT_MENU, [h](wxCommandEvent& e) {
        UINT nID = AfxCommandOfWxId(e.GetId());
        if (::IsWindow(h) && nID)
            ::SendMessage(h, WM_COMMAND, MAKEWPARAM(nID, 0), 0);
    });
    ApplyTabInfo();
}

LRESULT CMDIFrameWndEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

void CMDIFrameWndEx::EnableMDITabbedGroups(BOOL bEnable, const CMDITabInfo& params)
{
    m_bTabbedGroups = bEnable;
    m_tabInfo = params;
    ApplyTabInfo();
}

void CMDIFrameWndEx::ApplyTabInfo()
{
    if (!m_pTabs)
        return;
    long style = wxAUI_NB_TOP | wxAUI_NB_SCROLL_BUTTONS;
    if (m_tabInfo.m_bEnableTabSwap)
        style |= wxAUI_NB_TAB_MOVE;
    if (m_tabInfo.m_bActiveTabCloseButton)
        style |= wxAUI_NB_CLOSE_ON_ACTIVE_TAB;
    else if (m_tabInfo.m_bTabCloseButton && m_bTabbedGroups)
        style |= wxAUI_NB_CLOSE_ON_ALL_TABS;
    if (m_tabInfo.m_bDocumentMenu)
        style |= wxAUI_NB_WINDOWLIST_BUTTON;
    m_pTabs->SetWindowStyleFlag(style);
    m_pTabs->Refresh();
}

int CMDIFrameWndEx::GetMDIChildCount() const
{
    return m_pTabs ? (int)m_pTabs->GetPageCount() : 0;
}

CMDIChildWndEx* CMDIFrameWndEx::GetMDIChild(int nIndex) const
{
    if (!m_pTabs || nIndex < 0 || nIndex >= (int)m_pTabs->GetPageCount())
        return nullptr;
    wxWindow* pPage = m_pTabs->GetPage((size_t)nIndex);
    WndRecord* pRec = LiveRec(m_hWnd);
    if (!pRec)
        return nullptr;
    for (HWND c : pRec->children)
        if (WndRecord* r = LiveRec(c); r && r->pWx == pPage)
            return dynamic_cast<CMDIChildWndEx*>(r->pWnd);
    return nullptr;
}

CMDIChildWndEx* CMDIFrameWndEx::MDIGetActive(BOOL* pbMaximized) const
{
    if (pbMaximized)
        *pbMaximized = TRUE;
    // By handle: the object of a destroyed tab may be gone.
    return ::IsWindow(m_hActiveChild) ? dynamic_cast<CMDIChildWndEx*>(CWnd::FromHandlePermanent(m_hActiveChild)) : nullptr;
}

void CMDIFrameWndEx::ActivateTab(int nIndex, bool bSelect)
{
    CMDIChildWndEx* pNew = GetMDIChild(nIndex);
    if (bSelect && pNew && m_pTabs->GetSelection() != nIndex)
        m_pTabs->ChangeSelection((size_t)nIndex);
    CMDIChildWndEx* pOld = MDIGetActive();
    if (pOld == pNew)
        return;
    m_hActiveChild = pNew ? pNew->m_hWnd : nullptr;
    HWND hOld = pOld ? pOld->m_hWnd : nullptr;
    HWND hNew = pNew ? pNew->m_hWnd : nullptr;
    if (hOld)
        ::SendMessage(hOld, WM_MDIACTIVATE, (WPARAM)hOld, (LPARAM)hNew);
    if (hNew && ::IsWindow(hNew))
        ::SendMessage(hNew, WM_MDIACTIVATE, (WPARAM)hOld, (LPARAM)hNew);
}

void CMDIFrameWndEx::MDIActivate(CWnd* pWndActivate)
{
    for (int i = 0; i < GetMDIChildCount(); ++i)
        if (GetMDIChild(i) == pWndActivate)
        {
            ActivateTab(i, true);
            return;
        }
}

void CMDIFrameWndEx::MDINext()
{
    int n = GetMDIChildCount();
    if (n > 1)
        ActivateTab((m_pTabs->GetSelection() + 1) % n, true);
}

void CMDIFrameWndEx::OnChildCreated(CMDIChildWndEx* pChild)
{
    for (int i = 0; i < GetMDIChildCount(); ++i)
        if (GetMDIChild(i) == pChild)
        {
            ActivateTab(i, true);
            break;
        }
    RefreshWindowMenu();
}

void CMDIFrameWndEx::OnChildDestroyed(CMDIChildWndEx* pChild)
{
    if (!m_pTabs)
        return;
    wxWindow* pPage = pChild->GetWxWindow();
    int idx = pPage ? m_pTabs->GetPageIndex(pPage) : wxNOT_FOUND;
    if (m_hActiveChild == pChild->m_hWnd)
        m_hActiveChild = nullptr;
    if (idx != wxNOT_FOUND)
        m_pTabs->RemovePage((size_t)idx);  // the window itself goes with its record
    // The tab control selects a neighbour; make it the active child.
    int sel = m_pTabs->GetSelection();
    if (sel != wxNOT_FOUND)
        ActivateTab(sel, false);
    RefreshWindowMenu(pChild);
}

void CMDIFrameWndEx::OnChildTextChanged(CMDIChildWndEx* pChild)
{
    if (!m_pTabs)
        return;
    CString strText;
    pChild->GetWindowText(strText);
    wxWindow* pPage = pChild->GetWxWindow();
    int idx = pPage ? m_pTabs->GetPageIndex(pPage) : wxNOT_FOUND;
    if (idx == wxNOT_FOUND)
        return;
    m_pTabs->SetPageText((size_t)idx, WxFromGbk(strText.GetString()));
    // The window list follows the caption, where the tab still has its entry.
    HMENU hWindow = m_hWindowMenu;
    UINT nID = AFX_IDM_FIRST_MDICHILD + (UINT)idx;
    if (hWindow && idx < MDI_WINDOW_LIST_MAX && ::GetMenuState(hWindow, nID, MF_BYCOMMAND) != (UINT)-1)
    {
        CString strItem;
        strItem.Format("&%d %s", idx + 1, strText.GetString());
        ::ModifyMenu(hWindow, nID, MF_BYCOMMAND | MF_STRING, nID, strItem);
        if (m_pMenuBar)
            m_pMenuBar->RebuildMenus();
    }
}

HMENU CMDIFrameWndEx::GetWindowMenuPopup(HMENU hMenuBar) const
{
    int n = ::GetMenuItemCount(hMenuBar);
    if (n < 2)
        return n == 1 ? ::GetSubMenu(hMenuBar, 0) : nullptr;
    return ::GetSubMenu(hMenuBar, n - 2);
}

void CMDIFrameWndEx::RefreshWindowMenu(CMDIChildWndEx* pGoing)
{
    HMENU hWindow = m_hWindowMenu;
    if (!::IsMenu(hWindow))
        return;
    // Out with the old list and the separator before it.
    int n = ::GetMenuItemCount(hWindow);
    int first = -1;
    for (int i = 0; i < n; ++i)
    {
        UINT id = ::GetMenuItemID(hWindow, i);
        if (id >= AFX_IDM_FIRST_MDICHILD && id < AFX_IDM_FIRST_MDICHILD + MDI_WINDOW_LIST_MAX)
        {
            first = i;
            break;
        }
    }
    if (first >= 0)
    {
        while (::GetMenuItemCount(hWindow) > first)
            ::DeleteMenu(hWindow, (UINT)first, MF_BYPOSITION);
        if (first > 0 && ::GetMenuItemID(hWindow, first - 1) == 0)
            ::DeleteMenu(hWindow, (UINT)(first - 1), MF_BYPOSITION);
    }
    int nAdded = 0;
    for (int i = 0; i < GetMDIChildCount() && nAdded < MDI_WINDOW_LIST_MAX; ++i)
    {
        CMDIChildWndEx* p = GetMDIChild(i);
        if (!p || p == pGoing)
            continue;
        if (nAdded == 0)
            ::AppendMenu(hWindow, MF_SEPARATOR, 0, nullptr);
        CString strText, strItem;
        p->GetWindowText(strText);
        strItem.Format("&%d %s", nAdded + 1, strText.GetString());
        ::AppendMenu(hWindow, MF_STRING, AFX_IDM_FIRST_MDICHILD + nAdded, strItem);
        ++nAdded;
    }
    if (m_pMenuBar)
        m_pMenuBar->RebuildMenus();
}

CMenu* CMDIFrameWndEx::GetMenu() const
{
    return CMenu::FromHandle(m_hMenuDefault);
}

BOOL CMDIFrameWndEx::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active tab first (its view and document), then the frame and the application.
    if (CMDIChildWndEx* pChild = MDIGetActive())
        if (pChild->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    if (nCode == (int)CN_COMMAND && nID >= AFX_IDM_FIRST_MDICHILD && nID < AFX_IDM_FIRST_MDICHILD + MDI_WINDOW_LIST_MAX)
    {
        if (pHandlerInfo)
            return TRUE;
        int k = (int)(nID - AFX_IDM_FIRST_MDICHILD);
        if (CMDIChildWndEx* p = GetMDIChild(k))
            MDIActivate(p);
        return TRUE;
    }
    if (nID >= AFX_IDM_FIRST_PANE && nID < AFX_IDM_FIRST_PANE + m_paneMenuBars.size())
    {
        CBasePane* pBar = m_paneMenuBars[nID - AFX_IDM_FIRST_PANE];
        if (pHandlerInfo)
            return TRUE;
        if (nCode == (int)CN_UPDATE_COMMAND_UI && pExtra)
            static_cast<CCmdUI*>(pExtra)->SetCheck(IsPaneVisible(pBar) ? 1 : 0);
        else if (nCode == (int)CN_COMMAND)
            ShowPane(pBar, !IsPaneVisible(pBar));
        return TRUE;
    }
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CMDIFrameWndEx::EnablePaneMenu(BOOL bEnable, UINT uiCustomizeCmd, const CString& strCustomizeLabel, UINT, BOOL, BOOL)
{
    m_bPaneMenu = bEnable;
    m_uiCustomizeCmd = uiCustomizeCmd;
    m_strCustomizeLabel = strCustomizeLabel;
}

BOOL CMDIFrameWndEx::IsPaneVisible(CBasePane* pBar) const
{
    if (!pBar || !pBar->m_bDocked)
        return FALSE;
    for (CBasePane* p : m_hiddenPanes)
        if (p == pBar)
            return FALSE;
    return TRUE;
}

void CMDIFrameWndEx::ShowPane(CBasePane* pBar, BOOL bShow, BOOL, BOOL)
{
    for (auto it = m_hiddenPanes.begin(); it != m_hiddenPanes.end();)
        it = *it == pBar ? m_hiddenPanes.erase(it) : std::next(it);
    if (!bShow)
        m_hiddenPanes.push_back(pBar);
    LayoutDock();
}

void CMDIFrameWndEx::OnPaneContextMenu(CPoint ptScreen)
{
    if (!m_bPaneMenu)
        return;
    m_paneMenuBars.clear();
    CMenu menu;
    menu.CreatePopupMenu();
    for (auto& row : m_rows)
        for (CBasePane* pBar : row)
        {
            CString strName;
            pBar->GetWindowText(strName);
            if (strName.IsEmpty() || m_paneMenuBars.size() >= PANE_MENU_MAX)
                continue;
            menu.AppendMenu(MF_STRING, AFX_IDM_FIRST_PANE + m_paneMenuBars.size(), strName);
            m_paneMenuBars.push_back(pBar);
        }
    for (CBasePane* pBar : m_hiddenPanes)
    {
        CString strName;
        pBar->GetWindowText(strName);
        if (!strName.IsEmpty() && m_paneMenuBars.size() < PANE_MENU_MAX)
        {
            menu.AppendMenu(MF_STRING, AFX_IDM_FIRST_PANE + m_paneMenuBars.size(), strName);
            m_paneMenuBars.push_back(pBar);
        }
    }
    if (m_uiCustomizeCmd)
    {
        if (menu.GetMenuItemCount() > 0)
            menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, m_uiCustomizeCmd, m_strCustomizeLabel);
    }
    UINT nChosen = (UINT)menu.TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, this);
    if (nChosen)
        SendMessage(WM_COMMAND, nChosen);
    m_paneMenuBars.clear();
}

// ---------------------------------------------------------------------------------------------
// Docking

wxWindow* CMDIFrameWndEx::GetDockParent() const
{
    return m_pDock;
}

void CMDIFrameWndEx::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle |= dwDockStyle;
}

BOOL CMDIFrameWndEx::EnableAutoHidePanes(DWORD dwDockStyle)
{
    // Bars dock only along the edges given here.
    m_dwAutoHideStyle = dwDockStyle;
    m_dwDockStyle = dwDockStyle;
    return TRUE;
}

void CMDIFrameWndEx::RemoveFromRows(CBasePane* pBar)
{
    for (auto row = m_rows.begin(); row != m_rows.end();)
    {
        for (auto it = row->begin(); it != row->end();)
            it = *it == pBar ? row->erase(it) : std::next(it);
        row = row->empty() ? m_rows.erase(row) : std::next(row);
    }
}

void CMDIFrameWndEx::DockPane(CBasePane* pBar, UINT, LPCRECT)
{
    if (!pBar || !::IsWindow(pBar->m_hWnd))
        return;
    if (!(pBar->GetEnabledAlignment() & CBRS_ALIGN_TOP) || (m_dwDockStyle && !(m_dwDockStyle & CBRS_ALIGN_TOP)))
        return;  // only the top edge takes bars
    RemoveFromRows(pBar);
    m_rows.push_back({pBar});
    pBar->m_bDocked = TRUE;
    LayoutDock();
}

BOOL CMDIFrameWndEx::DockPaneLeftOf(CBasePane* pBar, CBasePane* pLeftOf)
{
    if (!pBar || !pLeftOf || pBar == pLeftOf || !::IsWindow(pBar->m_hWnd))
        return FALSE;
    RemoveFromRows(pBar);
    for (auto& row : m_rows)
        for (auto it = row.begin(); it != row.end(); ++it)
            if (*it == pLeftOf)
            {
                row.insert(it, pBar);
                pBar->m_bDocked = TRUE;
                LayoutDock();
                return TRUE;
            }
    LayoutDock();
    return FALSE;
}

std::vector<std::vector<CBasePane*>> CMDIFrameWndEx::GetDockRows() const
{
    return m_rows;
}

void CMDIFrameWndEx::OnPaneDestroyed(CBasePane* pBar)
{
    RemoveFromRows(pBar);
    for (auto it = m_hiddenPanes.begin(); it != m_hiddenPanes.end();)
        it = *it == pBar ? m_hiddenPanes.erase(it) : std::next(it);
    LayoutDock();
}

void CMDIFrameWndEx::LayoutDock()
{
    if (!m_pDock)
        return;
    m_pDockSizer->Clear(false);
    for (wxWindow* w : m_pDock->GetChildren())
        w->Hide();
    for (auto& row : m_rows)
    {
        auto* pRow = new wxBoxSizer(wxHORIZONTAL);
        for (CBasePane* pBar : row)
            if (wxWindow* w = pBar->GetWxWindow(); w && w->GetParent() == m_pDock && IsPaneVisible(pBar))
            {
                pBar->AdjustLayout();
                pRow->Add(w, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 2);
                w->Show();
            }
        m_pDockSizer->Add(pRow, 0, wxEXPAND);
    }
    // Bars docked one after another (a menu bar and its toolbars) cost one layout of the frame,
    // once the program is back in its loop.
    if (m_bLayoutPending)
        return;
    m_bLayoutPending = TRUE;
    HWND h = m_hWnd;
    m_pDock->CallAfter([this, h] {
        if (!::IsWindow(h))
            return;
        m_bLayoutPending = FALSE;
        RecalcLayout();
    });
}

void CMDIFrameWndEx::RecalcLayout(BOOL)
{
    if (!m_pDock)
        return;
    m_pDock->Layout();
    if (wxWindow* pWx = GetWxWindow())
        pWx->Layout();
}

void CMDIFrameWndEx::OnMenuBarCreated(CMFCMenuBar* pMenuBar)
{
    m_pMenuBar = pMenuBar;
}

// ---------------------------------------------------------------------------------------------
// Overridables

BOOL CMDIFrameWndEx::OnShowMDITabContextMenu(CPoint, DWORD, BOOL)
{
    return FALSE;
}

BOOL CMDIFrameWndEx::OnDrawMenuImage(CDC*, const CMFCToolBarMenuButton*, const CRect&)
{
    return FALSE;
}

MenuImageProvider AfxMenuImagesOf(CWnd* pOwner)
{
    auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(pOwner);
    if (!pFrame)
        return nullptr;
    HWND h = pFrame->m_hWnd;
    return [pFrame, h](UINT nID, wxBitmap& bmp) -> bool {
        if (!::IsWindow(h))
            return false;
        // The frame draws on a key colour; what it leaves untouched is transparent.
        const COLORREF key = RGB(255, 0, 255);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap canvas;
        canvas.CreateBitmap(16, 16, 1, 32, nullptr);
        CBitmap* pOld = dc.SelectObject(&canvas);
        dc.FillSolidRect(0, 0, 16, 16, key);
        CMFCToolBarMenuButton button(nID, -1, nullptr);
        BOOL bDrawn = pFrame->OnDrawMenuImage(&dc, &button, CRect(0, 0, 16, 16));
        bool bAny = false;
        for (int y = 0; y < 16 && !bAny; ++y)
            for (int x = 0; x < 16 && !bAny; ++x)
                bAny = (dc.GetPixel(x, y) & 0xFFFFFF) != key;
        dc.SelectObject(pOld);
        if (!bDrawn || !bAny)
            return false;
        bmp = AfxWxBitmapFromHandle((HBITMAP)canvas.m_hObject, key);
        return bmp.IsOk();
    };
}
