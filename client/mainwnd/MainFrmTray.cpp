// CMainFrame: the tray icon's mouse messages, its menu and the road back from the tray.
#include "MainFrm.h"
#include "CMenu.h"
#include "VelkorMenu.h"
#include "resource.h"

void CMainFrame::OnShowMainWindow()
{
    ShowWindow(SW_SHOWMAXIMIZED);
    SetForegroundWindow();
    SetFocus();
}

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM lParam)
{
    switch ((UINT)lParam)
    {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        OnShowMainWindow();
        break;
    case WM_RBUTTONDOWN:
    {
        CMenu menu;
        if (!menu.LoadMenu(IDR_TRAY_MENU))
            break;
        CMenu* pPopup = menu.GetSubMenu(0);
        if (!pPopup)
            break;
        SetTrayMenuBitmaps(pPopup);
        POINT pt{0, 0};
        GetCursorPos(&pt);
        pPopup->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_VERPOSANIMATION, pt.x, pt.y, this);
        break;
    }
    }
    return 0;
}

void CMainFrame::SetTrayMenuBitmaps(CMenu* pPopup)
{
    CVelkorMenu& menus = CVelkorMenu::GetInstance();
    for (UINT i = 0; i < pPopup->GetMenuItemCount(); ++i)
    {
        UINT nID = pPopup->GetMenuItemID((int)i);
        MENU_ITEM* pItem = menus.FindItem((int)nID);
        CVelkorMenu::MENU_INST* pInst = pItem ? menus.FindInst(pItem) : nullptr;
        if (pInst && pInst->pBmp16)
            pPopup->SetMenuItemBitmaps(nID, MF_BYCOMMAND, pInst->pBmp16, pInst->pBmp16);
    }
}
