// CVelkorMenu: the signed-on user's server menus. Fetches the menu tree from the authority
// service, merges its popups into the frame menu, gives each usable command an id from 60000 up
// (depth first), loads each entry's 16x16 and 24x24 pictures from ./ico/16x16/ and ./ico/24x24/,
// and makes one toolbar per top-level popup. Built once per process; destroyed at exit.
#pragma once

#include <list>
#include <map>
#include "AfxWin.h"
#include "CMenu.h"
#include "CMFCToolBar.h"
#include "CMDIFrameWndEx.h"
#include "Mapform.h"

class CVelkorMenu
{
public:
    struct MENU_INST
    {
        int nID;             // 0 for a popup
        CBitmap* pBmp16;     // null when there is no picture
        CBitmap* pBmp24;
    };

    static CVelkorMenu& GetInstance();

    bool LoadMenus();
    bool BuildMenuBar(CMenu* pFrameMenu);
    bool CreateToolBars(CMFCToolBar* pPreviousBar, CMDIFrameWndEx* pFrame);

    // Command id to entry, entry to its pictures (NULL when unknown).
    MENU_ITEM* FindItem(int nID) const;
    MENU_INST* FindInst(MENU_ITEM* pItem) const;

    CMFCToolBarImages* m_pUserImages;
    MENU_ITEM* m_pRoot;
    std::map<int, MENU_ITEM*> m_mapIdToItem;
    std::map<MENU_ITEM*, MENU_INST*> m_mapItemToInst;
    std::list<CMFCToolBar*> m_listToolBars;

    ~CVelkorMenu();
    CVelkorMenu(const CVelkorMenu&) = delete;
    CVelkorMenu& operator=(const CVelkorMenu&) = delete;

private:
    CVelkorMenu();
    void AppendMenuItems(CMenu* pMenu, MENU_ITEM* pFirst);
    MENU_INST* LoadItemIcons(const char* pszIconName, int nID);
    bool AddToolBarButtons(CMFCToolBar* pBar, MENU_ITEM* pFirst);
    void FreeItemIcons();

    // Process-wide counters: the next command id and the next toolbar image index.
    static int s_nNextMenuId;
    static int s_nNextImage;
};
