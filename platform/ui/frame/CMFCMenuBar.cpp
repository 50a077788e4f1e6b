// CMFCMenuBar: the frame menu in the frame's wx menu bar.
#include <wx/wx.h>
#include "WndRecord.h"
#include "WndClass.h"
#include "CMFCMenuBar.h"
#include "CMDIFrameWndEx.h"
#include "WxMenu.h"

IMPLEMENT_DYNAMIC(CMFCMenuBar, CBasePane)

MenuImageProvider AfxMenuImagesOf(CWnd* pOwner);

CMFCMenuBar::CMFCMenuBar() : m_pFrame(nullptr), m_hMenu(nullptr) {}

CMFCMenuBar::~CMFCMenuBar() {}

BOOL CMFCMenuBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(1, 1, 1, 1), nID);
}

BOOL CMFCMenuBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, CRect, UINT nID)
{
    m_pFrame = dynamic_cast<CMDIFrameWndEx*>(pParentWnd);
    if (!m_pFrame || !::IsMenu(m_pFrame->GetDefaultMenu()))
        return FALSE;
    m_dwPaneStyle = dwStyle & 0xFFFF;
    if (!CWnd::CreateEx(0, "MFCMenuBar", "", (dwStyle | WS_CHILD) & ~WS_VISIBLE, CRect(0, 0, 1, 1), pParentWnd, nID))
        return FALSE;
    m_pFrame->OnMenuBarCreated(this);
    RebuildMenus();
    return TRUE;
}

namespace
{
// The menu bar's window class: an empty pane in its frame's dock area; the menu itself stands in
// the frame's menu bar.
class CMFCMenuBarClass : public CWndClass
{
public:
    CMFCMenuBarClass() : CWndClass("MFCMenuBar") {}
    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow*) const override
    {
        auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(CWnd::FromHandlePermanent(cs.hwndParent));
        wxWindow* pDock = pFrame ? pFrame->GetDockParent() : nullptr;
        const CWndClass* pPlain = CWndClassRegistry::Find("AfxWnd");
        if (!pDock || !pPlain)
            return nullptr;
        CREATESTRUCT c = cs;
        c.cx = c.cy = 0;
        return pPlain->CreateWidget(p, c, pDock);
    }
};
PARVEL_REGISTER_WNDCLASS(CMFCMenuBarClass);
}  // namespace

void CMFCMenuBar::RebuildMenus()
{
    if (!m_pFrame || !::IsWindow(m_hWnd))
        return;
    auto* pFrameWx = dynamic_cast<wxFrame*>(m_pFrame->GetWxWindow());
    if (!pFrameWx)
        return;
    m_hMenu = m_pFrame->GetDefaultMenu();
    AfxUpdateMenuCmdUI(m_hMenu, m_pFrame, m_pFrame->m_bAutoMenuEnable);
    MenuImageProvider images = AfxMenuImagesOf(m_pFrame);
    auto* pBar = new wxMenuBar;
    m_menus.clear();
    int n = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < n; ++i)
    {
        MENU_ITEM_INFO info{};
        if (!AfxGetMenuItemInfo(m_hMenu, i, &info) || !info.hSubMenu)
            continue;
        wxMenu* pMenu = AfxBuildWxMenu(info.hSubMenu, images);
        m_menus[pMenu] = info.hSubMenu;
        pBar->Append(pMenu, AfxWxMenuText(info.strText));
    }
    wxMenuBar* pOld = pFrameWx->GetMenuBar();
    pFrameWx->SetMenuBar(pBar);
    delete pOld;
    HWND h = m_hWnd;
    pFrameWx->Unbind(wxEVT_MENU_OPEN, &CMFCMenuBar::OnMenuOpenEvent, this);
    pFrameWx->Bind(wxEVT_MENU_OPEN, &CMFCMenuBar::OnMenuOpenEvent, this);
    (void)h;
}

void CMFCMenuBar::OnMenuOpenEvent(wxMenuEvent& e)
{
    e.Skip();
    OnMenuOpen(e.GetMenu());
}

void CMFCMenuBar::OnMenuOpen(wxMenu* pMenu)
{
    auto it = m_menus.find(pMenu);
    if (it == m_menus.end() || !::IsMenu(it->second) || !m_pFrame)
        return;
    HMENU hMenu = it->second;
    AfxUpdateMenuCmdUI(hMenu, m_pFrame, m_pFrame->m_bAutoMenuEnable);
    // Enabling and checks follow the handlers' answers.
    int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n && i < (int)pMenu->GetMenuItemCount(); ++i)
    {
        MENU_ITEM_INFO info{};
        if (!AfxGetMenuItemInfo(hMenu, i, &info) || (info.nFlags & MF_SEPARATOR) || info.hSubMenu)
            continue;
        wxMenuItem* pItem = pMenu->FindItemByPosition((size_t)i);
        if (!pItem || pItem->GetId() != AfxWxIdOf(info.nID))
            continue;
        pItem->Enable(!(info.nFlags & (MF_GRAYED | MF_DISABLED)));
        if (pItem->IsCheckable())
            pItem->Check((info.nFlags & MF_CHECKED) != 0);
    }
}

LRESULT CMFCMenuBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY && m_pFrame)
    {
        if (auto* pFrameWx = dynamic_cast<wxFrame*>(m_pFrame->GetWxWindow()))
        {
            pFrameWx->Unbind(wxEVT_MENU_OPEN, &CMFCMenuBar::OnMenuOpenEvent, this);
            wxMenuBar* pOld = pFrameWx->GetMenuBar();
            pFrameWx->SetMenuBar(nullptr);
            delete pOld;
        }
        m_pFrame->OnMenuBarCreated(nullptr);
        m_pFrame->OnPaneDestroyed(this);
        m_menus.clear();
    }
    return CBasePane::WindowProc(message, wParam, lParam);
}
