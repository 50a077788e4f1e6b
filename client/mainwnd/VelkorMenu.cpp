// CVelkorMenu: server menus and toolbars.
#include <cstdlib>
#include <string>
#include "VelkorMenu.h"
#include "CasClient.h"
#include "CImage.h"
#include "EncodingUtil.h"
#include "OptionCtrl.h"
#include "Scrivo.h"

int CVelkorMenu::s_nNextMenuId = 60000;
int CVelkorMenu::s_nNextImage = 0;

CVelkorMenu& CVelkorMenu::GetInstance()
{
    static CVelkorMenu s_instance;
    return s_instance;
}

CVelkorMenu::CVelkorMenu() : m_pUserImages(new CMFCToolBarImages), m_pRoot(nullptr) {}

CVelkorMenu::~CVelkorMenu()
{
    ClearupMenus(&m_pRoot);
    for (CMFCToolBar* pBar : m_listToolBars)
        delete pBar;
    FreeItemIcons();
    delete m_pUserImages;
    m_pUserImages = nullptr;
    m_listToolBars.clear();
    m_mapIdToItem.clear();
    m_mapItemToInst.clear();
}

bool CVelkorMenu::LoadMenus()
{
    const COptionData& options = COptionCtrl::GetOptionData();
    char* pszReply = nullptr;
    LoadUserAuthority(options.GetUserAuthorityUrl(), options.GetUserNameA(), options.GetClientID(), &pszReply);
    if (!pszReply)
        return false;
    InitMenus(&m_pRoot);
    std::string text(pszReply);
    Utf8ToAnsi(text);
    if (text.empty())
    {
        free(pszReply);
        return false;
    }
    ParseMenus(text.c_str(), &m_pRoot);
    free(pszReply);
    return true;
}

bool CVelkorMenu::BuildMenuBar(CMenu* pFrameMenu)
{
    if (!m_pRoot || !pFrameMenu)
        return false;
    UINT nPos = 1;
    for (MENU_ITEM* p = m_pRoot; p; p = p->next, ++nPos)
    {
        if (p->type != MENU_TYPE_POPUP)
            continue;
        CMenu popup;
        popup.CreatePopupMenu();
        pFrameMenu->InsertMenu(nPos, MF_BYPOSITION | MF_POPUP, (UINT_PTR)popup.m_hMenu, p->name);
        AppendMenuItems(&popup, p->child);
        popup.Detach();  // the frame menu owns it
    }
    return true;
}

void CVelkorMenu::AppendMenuItems(CMenu* pMenu, MENU_ITEM* pFirst)
{
    for (MENU_ITEM* p = pFirst; p; p = p->next)
    {
        if (p->type == MENU_TYPE_POPUP)
        {
            CMenu popup;
            popup.CreatePopupMenu();
            pMenu->AppendMenu(MF_POPUP, (UINT_PTR)popup.m_hMenu, p->name);
            MENU_INST* pInst = LoadItemIcons(p->icon, 0);
            pMenu->SetMenuItemBitmaps(pMenu->GetMenuItemCount() - 1, MF_BYPOSITION, pInst->pBmp16, pInst->pBmp16);
            m_mapItemToInst[p] = pInst;
            AppendMenuItems(&popup, p->child);
            popup.Detach();
        }
        else if (p->type == MENU_TYPE_SEPARATOR)
            pMenu->AppendMenu(MF_SEPARATOR);
        else if (p->type == MENU_TYPE_COMMAND && p->action && *p->action && p->permitted)
        {
            int nID = s_nNextMenuId;
            MENU_INST* pInst = LoadItemIcons(p->icon, nID);
            pMenu->AppendMenu(MF_STRING, (UINT_PTR)nID, p->name);
            if (pInst->pBmp16)
                pMenu->SetMenuItemBitmaps((UINT)nID, MF_BYCOMMAND, pInst->pBmp16, pInst->pBmp16);
            m_mapItemToInst[p] = pInst;
            m_mapIdToItem[nID] = p;
            ++s_nNextMenuId;
        }
    }
}

CVelkorMenu::MENU_INST* CVelkorMenu::LoadItemIcons(const char* pszIconName, int nID)
{
    auto* pInst = static_cast<MENU_INST*>(calloc(1, sizeof(MENU_INST)));
    pInst->nID = nID;
    const char* name = pszIconName ? pszIconName : "";
    CString strPath;
    CImage image;
    strPath.Format("./ico/16x16/%s.ico", name);
    if (image.Load(strPath) == 0)
    {
        pInst->pBmp16 = new CBitmap;
        pInst->pBmp16->Attach((HGDIOBJ)image.Detach());
    }
    strPath.Format("./ico/24x24/%s.ico", name);
    if (image.Load(strPath) == 0)
    {
        pInst->pBmp24 = new CBitmap;
        pInst->pBmp24->Attach((HGDIOBJ)image.Detach());
    }
    return pInst;
}

bool CVelkorMenu::CreateToolBars(CMFCToolBar* pPreviousBar, CMDIFrameWndEx* pFrame)
{
    if (!pFrame)
        return false;
    UINT nBarId = 50000;
    for (MENU_ITEM* p = m_pRoot; p; p = p->next)
    {
        if (p->type != MENU_TYPE_POPUP)
            continue;
        UINT nThisId = nBarId++;
        auto* pBar = new CMFCToolBar;
        if (!pBar->CreateEx(pFrame, TBSTYLE_FLAT, 0x50000011, CRect(1, 1, 1, 1), nThisId))
        {
            delete pBar;
            continue;
        }
        AddToolBarButtons(pBar, p->child);
        if (pBar->GetCount() == 0)
        {
            pBar->DestroyWindow();
            delete pBar;
            continue;
        }
        pBar->SetWindowText(p->name);
        pBar->EnableDocking(CBRS_ALIGN_TOP);
        pFrame->DockPane(pBar);
        pFrame->EnableDocking(CBRS_ALIGN_TOP);
        if (pPreviousBar)
            pFrame->DockPaneLeftOf(pBar, pPreviousBar);
        m_listToolBars.push_back(pBar);
        pPreviousBar = pBar;
    }
    return true;
}

bool CVelkorMenu::AddToolBarButtons(CMFCToolBar* pBar, MENU_ITEM* pFirst)
{
    for (MENU_ITEM* p = pFirst; p; p = p->next)
    {
        if (p->type == MENU_TYPE_POPUP)
            AddToolBarButtons(pBar, p->child);
        else if (p->type == MENU_TYPE_SEPARATOR)
            pBar->InsertSeparator();
        else if (p->type == MENU_TYPE_COMMAND && p->toolbar && p->action && *p->action && p->permitted)
        {
            MENU_INST* pInst = FindInst(p);
            if (!pInst)
                return false;
            CMFCToolBarButton button((UINT)pInst->nID, 0, p->name, TRUE, FALSE);
            if (pInst->pBmp24)
                m_pUserImages->AddImage((HBITMAP)pInst->pBmp24->m_hObject, TRUE);
            button.SetImage(s_nNextImage++);
            int nIndex = pBar->InsertButton(button);
            pBar->SetButtonText(nIndex, p->name);
        }
    }
    if (m_pUserImages->GetCount() > 0)
    {
        m_pUserImages->SetImageSize(CSize(24, 24));
        CMFCToolBar::SetSizes(CSize(30, 30), CSize(24, 24));
        CMFCToolBar::SetUserImages(m_pUserImages);
    }
    return true;
}

MENU_ITEM* CVelkorMenu::FindItem(int nID) const
{
    auto it = m_mapIdToItem.find(nID);
    return it == m_mapIdToItem.end() ? nullptr : it->second;
}

CVelkorMenu::MENU_INST* CVelkorMenu::FindInst(MENU_ITEM* pItem) const
{
    auto it = m_mapItemToInst.find(pItem);
    return it == m_mapItemToInst.end() ? nullptr : it->second;
}

void CVelkorMenu::FreeItemIcons()
{
    for (auto& kv : m_mapItemToInst)
    {
        delete kv.second->pBmp16;
        delete kv.second->pBmp24;
        free(kv.second);
    }
}
