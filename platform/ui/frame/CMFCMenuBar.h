// CMFCMenuBar: shows the frame menu of its CMDIFrameWndEx as the frame's menu bar. Before a popup
// opens, its commands' state is asked from the frame; server pictures come from the frame's
// OnDrawMenuImage. The window itself is an empty pane; the menu stands in the frame's bar.
#pragma once

#include <map>
#include "CBasePane.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class wxMenu;
class CMDIFrameWndEx;

class CMFCMenuBar : public CBasePane
{
    DECLARE_DYNAMIC(CMFCMenuBar)
public:
    CMFCMenuBar();
    ~CMFCMenuBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_MENUBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                  CRect rcBorders = CRect(1, 1, 1, 1), UINT nID = AFX_IDW_MENUBAR);
    // Shows the frame menu again after it changed.
    void RebuildMenus();
    HMENU GetHMenu() const { return m_hMenu; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnMenuOpen(wxMenu* pMenu);
    void OnMenuOpenEvent(class wxMenuEvent& e);

    CMDIFrameWndEx* m_pFrame;
    HMENU m_hMenu;
    std::map<wxMenu*, HMENU> m_menus;
};

PARVEL_UI_END_EXPORTS
