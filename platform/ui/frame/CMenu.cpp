// Menus as data: the Windows menu calls on our own records, and the CMenu wrapper.
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>
#include "CMenu.h"
#include "GdiObject.h"
#include "ResourceRegistry.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace
{
struct MenuItemRec
{
    UINT nFlags = 0;  // MF_POPUP, MF_SEPARATOR, MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_DEFAULT
    UINT nID = 0;
    std::string strText;
    HMENU hSub = nullptr;
    HBITMAP hbmUnchecked = nullptr;
    HBITMAP hbmChecked = nullptr;
};

struct MenuRec
{
    std::vector<MenuItemRec> items;
};

std::recursive_mutex s_lock;
std::set<MenuRec*>& LiveMenus()
{
    static auto* s = new std::set<MenuRec*>;
    return *s;
}

MenuRec* Live(HMENU h)
{
    auto* p = reinterpret_cast<MenuRec*>(h);
    return p && LiveMenus().count(p) ? p : nullptr;
}

HMENU NewMenu()
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    auto* p = new MenuRec;
    LiveMenus().insert(p);
    return reinterpret_cast<HMENU>(p);
}

// The item at a position, or the item with the command id anywhere in the menu and its popups
// (the menu that holds it in *ppOwner).
MenuItemRec* Find(MenuRec* p, UINT uPos, UINT uFlags, MenuRec** ppOwner = nullptr, size_t* pIndex = nullptr)
{
    if (!p)
        return nullptr;
    if (uFlags & MF_BYPOSITION)
    {
        if (uPos >= p->items.size())
            return nullptr;
        if (ppOwner) *ppOwner = p;
        if (pIndex) *pIndex = uPos;
        return &p->items[uPos];
    }
    for (size_t i = 0; i < p->items.size(); ++i)
    {
        MenuItemRec& it = p->items[i];
        if (!(it.nFlags & MF_POPUP) && !(it.nFlags & MF_SEPARATOR) && it.nID == uPos)
        {
            if (ppOwner) *ppOwner = p;
            if (pIndex) *pIndex = i;
            return &it;
        }
        if (it.nFlags & MF_POPUP)
            if (MenuItemRec* r = Find(Live(it.hSub), uPos, uFlags, ppOwner, pIndex))
                return r;
    }
    return nullptr;
}

void FillItem(MenuItemRec& it, UINT uFlags, UINT_PTR uID, LPCSTR lpNewItem)
{
    it.nFlags = uFlags & (MF_POPUP | MF_SEPARATOR | MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_DEFAULT | MF_MENUBREAK);
    if (uFlags & MF_POPUP)
    {
        it.hSub = (HMENU)uID;
        it.nID = 0;
    }
    else
    {
        it.hSub = nullptr;
        it.nID = (UINT)uID;
    }
    it.strText = (!(uFlags & MF_SEPARATOR) && !(uFlags & MF_BITMAP) && lpNewItem) ? lpNewItem : "";
}

void DestroyTree(MenuRec* p)
{
    if (!p)
        return;
    LiveMenus().erase(p);
    for (MenuItemRec& it : p->items)
        if (it.nFlags & MF_POPUP)
            DestroyTree(Live(it.hSub));
    delete p;
}
}  // namespace

HMENU CreateMenu() { return NewMenu(); }
HMENU CreatePopupMenu() { return NewMenu(); }

BOOL DestroyMenu(HMENU hMenu)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuRec* p = Live(hMenu);
    if (!p)
        return FALSE;
    DestroyTree(p);
    return TRUE;
}

BOOL IsMenu(HMENU hMenu)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    return Live(hMenu) ? TRUE : FALSE;
}

HMENU LoadMenu(HINSTANCE, LPCSTR lpMenuName)
{
    const void* pData = nullptr;
    DWORD dwSize = 0;
    if (!CResourceRegistry::FindData(lpMenuName, RT_MENU, &pData, &dwSize) || dwSize < sizeof(MENU_TEMPLATE_DATA))
        return nullptr;
    const auto* tpl = static_cast<const MENU_TEMPLATE_DATA*>(pData);
    HMENU hRoot = CreateMenu();
    std::vector<HMENU> stack{hRoot};  // the menu of each level
    for (int i = 0; i < tpl->nItems; ++i)
    {
        const MENUITEM_DATA& d = tpl->pItems[i];
        if (d.nLevel < 0 || d.nLevel >= (int)stack.size())
            continue;  // a level with no popup above it
        stack.resize((size_t)d.nLevel + 1);
        if (d.nFlags & MF_POPUP)
        {
            HMENU hSub = CreatePopupMenu();
            AppendMenu(stack.back(), d.nFlags, (UINT_PTR)hSub, d.lpszText);
            stack.push_back(hSub);
        }
        else
            AppendMenu(stack.back(), d.nFlags, d.nID, d.lpszText);
    }
    return hRoot;
}

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuRec* p = Live(hMenu);
    if (!p)
        return FALSE;
    MenuItemRec it;
    FillItem(it, uFlags, uIDNewItem, lpNewItem);
    p->items.push_back(it);
    return TRUE;
}

BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuRec* p = Live(hMenu);
    if (!p)
        return FALSE;
    MenuItemRec it;
    FillItem(it, uFlags, uIDNewItem, lpNewItem);
    if (uFlags & MF_BYPOSITION)
    {
        // A position past the end appends, as Windows does for -1.
        size_t at = uPosition > p->items.size() ? p->items.size() : uPosition;
        p->items.insert(p->items.begin() + (long)at, it);
        return TRUE;
    }
    MenuRec* pOwner = nullptr;
    size_t index = 0;
    if (!Find(p, uPosition, MF_BYCOMMAND, &pOwner, &index))
        return FALSE;
    pOwner->items.insert(pOwner->items.begin() + (long)index, it);
    return TRUE;
}

BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = Find(Live(hMenu), uPosition, uFlags);
    if (!it)
        return FALSE;
    HBITMAP u = it->hbmUnchecked, c = it->hbmChecked;
    FillItem(*it, uFlags, uIDNewItem, lpNewItem);
    it->hbmUnchecked = u;
    it->hbmChecked = c;
    return TRUE;
}

static BOOL RemoveItem(HMENU hMenu, UINT uPosition, UINT uFlags, bool bDestroySub)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuRec* pOwner = nullptr;
    size_t index = 0;
    MenuItemRec* it = Find(Live(hMenu), uPosition, uFlags, &pOwner, &index);
    if (!it)
        return FALSE;
    HMENU hSub = (it->nFlags & MF_POPUP) ? it->hSub : nullptr;
    pOwner->items.erase(pOwner->items.begin() + (long)index);
    if (bDestroySub && hSub)
        DestroyTree(Live(hSub));
    return TRUE;
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return RemoveItem(hMenu, uPosition, uFlags, true); }
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return RemoveItem(hMenu, uPosition, uFlags, false); }

int GetMenuItemCount(HMENU hMenu)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuRec* p = Live(hMenu);
    return p ? (int)p->items.size() : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = nPos < 0 ? nullptr : Find(Live(hMenu), (UINT)nPos, MF_BYPOSITION);
    if (!it || (it->nFlags & MF_POPUP))
        return (UINT)-1;
    return (it->nFlags & MF_SEPARATOR) ? 0 : it->nID;
}

HMENU GetSubMenu(HMENU hMenu, int nPos)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = nPos < 0 ? nullptr : Find(Live(hMenu), (UINT)nPos, MF_BYPOSITION);
    return it && (it->nFlags & MF_POPUP) && Live(it->hSub) ? it->hSub : nullptr;
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = Find(Live(hMenu), uIDItem, flags);
    if (!it)
    {
        if (lpString && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    int len = (int)it->strText.size();
    if (!lpString || cchMax <= 0)
        return len;
    int n = len < cchMax - 1 ? len : cchMax - 1;
    memcpy(lpString, it->strText.data(), (size_t)n);
    lpString[n] = '\0';
    return n;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = Find(Live(hMenu), uId, uFlags);
    if (!it)
        return (UINT)-1;
    UINT s = it->nFlags & ~MF_POPUP;
    if (it->nFlags & MF_POPUP)
        if (MenuRec* sub = Live(it->hSub))
            s |= MF_POPUP | ((UINT)sub->items.size() << 8);
    return s;
}

// Sets the item's state bits under the mask from uFlags (which also says by command or by
// position) and answers the bits it had there; -1 when there is no such item.
static DWORD SwapItemState(HMENU hMenu, UINT uItem, UINT uFlags, UINT mask)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = Find(Live(hMenu), uItem, uFlags);
    if (!it)
        return (DWORD)-1;
    DWORD old = it->nFlags & mask;
    it->nFlags = (it->nFlags & ~mask) | (uFlags & mask);
    return old;
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck)
{
    return SwapItemState(hMenu, uIDCheckItem, uCheck, MF_CHECKED);
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable)
{
    return (BOOL)SwapItemState(hMenu, uIDEnableItem, uEnable, MF_GRAYED | MF_DISABLED);
}

BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = Find(Live(hMenu), uPosition, uFlags);
    if (!it)
        return FALSE;
    it->hbmUnchecked = hBitmapUnchecked;
    it->hbmChecked = hBitmapChecked;
    return TRUE;
}

BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuRec* p = Live(hMenu);
    if (!p)
        return FALSE;
    MenuItemRec* target = uItem == (UINT)-1 ? nullptr : Find(p, uItem, fByPos ? MF_BYPOSITION : MF_BYCOMMAND);
    if (uItem != (UINT)-1 && !target)
        return FALSE;
    for (MenuItemRec& it : p->items)
        it.nFlags &= ~MF_DEFAULT;
    if (target)
        target->nFlags |= MF_DEFAULT;
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuRec* p = Live(hMenu);
    if (!p)
        return (UINT)-1;
    for (size_t i = 0; i < p->items.size(); ++i)
        if (p->items[i].nFlags & MF_DEFAULT)
            return fByPos ? (UINT)i : p->items[i].nID;
    return (UINT)-1;
}

BOOL AfxGetMenuItemInfo(HMENU hMenu, int nPos, MENU_ITEM_INFO* pInfo)
{
    std::lock_guard<std::recursive_mutex> g(s_lock);
    MenuItemRec* it = nPos < 0 ? nullptr : Find(Live(hMenu), (UINT)nPos, MF_BYPOSITION);
    if (!it || !pInfo)
        return FALSE;
    pInfo->nFlags = it->nFlags;
    pInfo->nID = it->nID;
    pInfo->strText = it->strText.c_str();
    pInfo->hSubMenu = (it->nFlags & MF_POPUP) ? it->hSub : nullptr;
    pInfo->hbmChecked = it->hbmChecked;
    pInfo->hbmUnchecked = it->hbmUnchecked;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// CMenu

struct CMenuWrappers
{
    static std::map<HMENU, std::unique_ptr<CMenu>>& Map()
    {
        static auto* m = new std::map<HMENU, std::unique_ptr<CMenu>>;
        return *m;
    }
};

CMenu::~CMenu()
{
    if (!m_bTemporary)
        DestroyMenu();
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(UINT nIDResource) { return Attach(::LoadMenu(nullptr, MAKEINTRESOURCE(nIDResource))); }
BOOL CMenu::LoadMenu(LPCSTR lpszResourceName) { return Attach(::LoadMenu(nullptr, lpszResourceName)); }

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    HMENU h = Detach();
    return ::DestroyMenu(h);
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (!hMenu || m_hMenu)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    m_hMenu = nullptr;
    return h;
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    std::lock_guard<std::recursive_mutex> g(s_lock);
    auto& map = CMenuWrappers::Map();
    // Wrappers of destroyed menus go when their handle is asked for again or reused.
    for (auto it = map.begin(); it != map.end();)
        it = Live(it->first) ? std::next(it) : map.erase(it);
    auto it = map.find(hMenu);
    if (it != map.end())
        return it->second.get();
    if (!Live(hMenu))
        return nullptr;
    auto* p = new CMenu;
    p->m_hMenu = hMenu;
    p->m_bTemporary = true;
    map[hMenu].reset(p);
    return p;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
    return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
    return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
    return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
UINT CMenu::GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
int CMenu::GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const
{
    return ::GetMenuString(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}
int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int n = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
    std::vector<char> buf((size_t)n + 1);
    n = ::GetMenuString(m_hMenu, nIDItem, buf.data(), n + 1, nFlags);
    rString = buf.data();
    return n;
}
CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return (UINT)::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked)
{
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, pBmpUnchecked ? (HBITMAP)pBmpUnchecked->m_hObject : nullptr,
                                pBmpChecked ? (HBITMAP)pBmpChecked->m_hObject : nullptr);
}
BOOL CMenu::SetDefaultItem(UINT uItem, BOOL fByPos) { return ::SetMenuDefaultItem(m_hMenu, uItem, (UINT)fByPos); }
BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->GetSafeHwnd() : nullptr, lpRect);
}
