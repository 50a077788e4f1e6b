// Menus: HMENU handles with the Windows menu calls, and the CMenu wrapper. A menu is a list of
// items (strings with a command id, separators, popups with a sub-menu); items may carry a
// checked and an unchecked bitmap. Menus are data; the menu bar and popup tracking show them with
// wx menus built at the time they are shown.
#pragma once

#include "CWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CBitmap;

#define MF_INSERT 0x0000
#define MF_CHANGE 0x0080
#define MF_APPEND 0x0100
#define MF_DELETE 0x0200
#define MF_REMOVE 0x1000
#define MF_BYCOMMAND 0x0000
#define MF_BYPOSITION 0x0400
#define MF_SEPARATOR 0x0800
#define MF_ENABLED 0x0000
#define MF_GRAYED 0x0001
#define MF_DISABLED 0x0002
#define MF_UNCHECKED 0x0000
#define MF_CHECKED 0x0008
#define MF_STRING 0x0000
#define MF_BITMAP 0x0004
#define MF_OWNERDRAW 0x0100
#define MF_POPUP 0x0010
#define MF_MENUBARBREAK 0x0020
#define MF_MENUBREAK 0x0040
#define MF_HILITE 0x0080
#define MF_DEFAULT 0x1000
#define MF_RADIOCHECK 0x0200  // state only: the check mark shows as a radio dot
#define MF_END 0x0080

#define TPM_LEFTBUTTON 0x0000
#define TPM_RIGHTBUTTON 0x0002
#define TPM_LEFTALIGN 0x0000
#define TPM_CENTERALIGN 0x0004
#define TPM_RIGHTALIGN 0x0008
#define TPM_TOPALIGN 0x0000
#define TPM_VCENTERALIGN 0x0010
#define TPM_BOTTOMALIGN 0x0020
#define TPM_NONOTIFY 0x0080
#define TPM_RETURNCMD 0x0100
#define TPM_HORPOSANIMATION 0x0400
#define TPM_VERPOSANIMATION 0x1000

#ifndef RT_MENU
#define RT_MENU MAKEINTRESOURCE(4)
#endif

// A menu resource: items in order; an item with MF_POPUP opens a sub-menu made of the items that
// follow it at nLevel + 1. Register with CResourceRegistry::AddData(id, RT_MENU, &tpl, sizeof tpl).
struct MENUITEM_DATA
{
    int nLevel;            // 0 for the items of the menu itself
    UINT nFlags;           // MF_POPUP, MF_SEPARATOR, MF_CHECKED, MF_GRAYED
    UINT nID;              // command id (0 for popups and separators)
    const char* lpszText;  // GBK; "&" marks the mnemonic, "\t" starts the accelerator text
};
struct MENU_TEMPLATE_DATA
{
    const MENUITEM_DATA* pItems;
    int nItems;
};

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
HMENU LoadMenu(HINSTANCE hInstance, LPCSTR lpMenuName);
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
int GetMenuItemCount(HMENU hMenu);
UINT GetMenuItemID(HMENU hMenu, int nPos);
HMENU GetSubMenu(HMENU hMenu, int nPos);
int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked);
BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos);
UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags);
// Shows the popup at the screen point and waits until it closes. The chosen command goes to the
// owner as WM_COMMAND (posted), or is returned with TPM_RETURNCMD; 0 when nothing was chosen.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, LPCRECT prcRect);

// The popup being tracked (its owner and menu), for tests that answer it; NULL when none.
HMENU AfxGetTrackedMenu();
// The screen point that popup was asked to show at.
POINT AfxGetTrackedMenuPoint();
// Ends the popup being tracked as if the command had been chosen (0: dismissed).
void AfxEndTrackedMenu(UINT nID);

class CMenu : public CObject
{
    DECLARE_DYNAMIC(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;  // destroys the menu it holds
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenu(LPCSTR lpszResourceName);
    BOOL DestroyMenu();
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    // A wrapper that does not own the menu; it lives until the menu is destroyed.
    static CMenu* FromHandle(HMENU hMenu);

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    CMenu* GetSubMenu(int nPos) const;
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked);
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE);
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

private:
    bool m_bTemporary = false;
    friend struct CMenuWrappers;
};

// Inside the framework: an item of a menu, as read by the menu bar and popup tracking.
struct MENU_ITEM_INFO
{
    UINT nFlags;
    UINT nID;
    CString strText;
    HMENU hSubMenu;
    HBITMAP hbmChecked;
    HBITMAP hbmUnchecked;
};
BOOL AfxGetMenuItemInfo(HMENU hMenu, int nPos, MENU_ITEM_INFO* pInfo);

PARVEL_UI_END_EXPORTS
