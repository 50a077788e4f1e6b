// Menus shown with wx, and popup tracking.
#include <map>
#include <mutex>
#include <wx/wx.h>
#include <gtk/gtk.h>
#include "WxMenu.h"
#include "WndRecord.h"
#include "CFrameWnd.h"
#include "GdiApi.h"

namespace
{
// Writes a command's state into the menu item.
class CMenuCmdUI : public CCmdUI
{
public:
    HMENU m_hMenu = nullptr;
    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR lpszText) override
    {
        CCmdUI::SetText(lpszText);
        UINT nFlags = ::GetMenuState(m_hMenu, m_nIndex, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
        ::ModifyMenu(m_hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | nFlags, m_nID, lpszText);
    }
};
}  // namespace

void AfxUpdateMenuCmdUI(HMENU hMenu, CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    if (!pTarget)
        return;
    int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; ++i)
    {
        MENU_ITEM_INFO info{};
        if (!AfxGetMenuItemInfo(hMenu, i, &info))
            continue;
        if (info.hSubMenu)
        {
            AfxUpdateMenuCmdUI(info.hSubMenu, pTarget, bDisableIfNoHandler);
            continue;
        }
        if ((info.nFlags & MF_SEPARATOR) || info.nID == 0)
            continue;
        CMenuCmdUI ui;
        ui.m_hMenu = hMenu;
        ui.m_nID = info.nID;
        ui.m_nIndex = (UINT)i;
        if (ui.DoUpdate(pTarget))
            continue;
        if (bDisableIfNoHandler)
        {
            AFX_CMDHANDLERINFO handler{};
            ui.Enable(pTarget->OnCmdMsg(info.nID, (int)CN_COMMAND, nullptr, &handler));
        }
    }
}

namespace
{
std::mutex s_idLock;
std::map<UINT, int> s_wxIds;
std::map<int, UINT> s_commands;
}  // namespace

int AfxWxIdOf(UINT nID)
{
    if (nID < 0x7FFF)
        return (int)nID;
    std::lock_guard<std::mutex> g(s_idLock);
    auto it = s_wxIds.find(nID);
    if (it != s_wxIds.end())
        return it->second;
    int id = wxIdManager::ReserveId(1);
    s_wxIds[nID] = id;
    s_commands[id] = nID;
    return id;
}

UINT AfxCommandOfWxId(int nWxId)
{
    if (nWxId >= 0)
        return (UINT)nWxId;
    std::lock_guard<std::mutex> g(s_idLock);
    auto it = s_commands.find(nWxId);
    return it == s_commands.end() ? 0 : it->second;
}

wxString AfxWxMenuText(const char* gbk)
{
    return WxFromGbk(gbk ? gbk : "");
}

wxBitmap AfxWxBitmapFromHandle(HBITMAP hbm, COLORREF clrTransparent)
{
    BITMAP bm{};
    if (!hbm || GetObjectA((HGDIOBJ)hbm, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return wxBitmap();
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, (HGDIOBJ)hbm);
    wxImage img(bm.bmWidth, bm.bmHeight);
    img.InitAlpha();
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x)
        {
            COLORREF c = GetPixel(mem, x, y);
            img.SetRGB(x, y, GetRValue(c), GetGValue(c), GetBValue(c));
            img.SetAlpha(x, y, (clrTransparent != (COLORREF)-1 && (c & 0xFFFFFF) == (clrTransparent & 0xFFFFFF)) ? 0 : 255);
        }
    SelectObject(mem, old);
    DeleteDC(mem);
    return wxBitmap(img);
}

wxMenu* AfxBuildWxMenu(HMENU hMenu, const MenuImageProvider& images)
{
    // Items show their pictures, as menus do on Windows (GTK hides them unless told).
    static const bool s_bImages = [] {
        if (GtkSettings* settings = gtk_settings_get_default())
            g_object_set(settings, "gtk-menu-images", TRUE, nullptr);
        return true;
    }();
    (void)s_bImages;
    auto* pMenu = new wxMenu;
    int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; ++i)
    {
        MENU_ITEM_INFO info{};
        if (!AfxGetMenuItemInfo(hMenu, i, &info))
            continue;
        if (info.nFlags & MF_SEPARATOR)
        {
            pMenu->AppendSeparator();
            continue;
        }
        bool bChecked = (info.nFlags & MF_CHECKED) != 0;
        HBITMAP hbm = bChecked ? info.hbmChecked : info.hbmUnchecked;
        wxBitmap bmp;
        if (info.nID && images && images(info.nID, bmp))
            ;
        else if (hbm)
            bmp = AfxWxBitmapFromHandle(hbm);
        wxMenuItem* pItem;
        if (info.hSubMenu)
        {
            pItem = new wxMenuItem(pMenu, wxID_ANY, AfxWxMenuText(info.strText), wxString(), wxITEM_NORMAL,
                                   AfxBuildWxMenu(info.hSubMenu, images));
        }
        else
        {
            // A picture takes the place of the check mark, as the item bitmaps do on Windows.
            wxItemKind kind = (bChecked && !bmp.IsOk()) ? wxITEM_CHECK : wxITEM_NORMAL;
            pItem = new wxMenuItem(pMenu, AfxWxIdOf(info.nID), AfxWxMenuText(info.strText), wxString(), kind);
        }
        if (bmp.IsOk())
            pItem->SetBitmap(bmp);
        pMenu->Append(pItem);
        if (pItem->IsCheckable())
            pItem->Check(bChecked);
        if (info.nFlags & (MF_GRAYED | MF_DISABLED))
            pItem->Enable(false);
    }
    return pMenu;
}

// ---------------------------------------------------------------------------------------------
// Popup tracking

namespace
{
wxMenu* s_pTracked = nullptr;
HMENU s_hTracked = nullptr;
POINT s_ptTracked{0, 0};
int s_nForcedChoice = -1;
}  // namespace

HMENU AfxGetTrackedMenu()
{
    return s_hTracked;
}

POINT AfxGetTrackedMenuPoint()
{
    return s_ptTracked;
}

void AfxEndTrackedMenu(UINT nID)
{
    RunOnGui([nID] {
        if (!s_pTracked)
            return;
        s_nForcedChoice = (int)nID;
        if (GtkWidget* w = s_pTracked->m_menu)
            gtk_menu_popdown(GTK_MENU(w));
    });
}

// Menus of a frame show its pictures (OnDrawMenuImage); defined with the MDI frame.
MenuImageProvider AfxMenuImagesOf(CWnd* pOwner);

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, LPCRECT)
{
    if (!::IsMenu(hMenu) || !::IsWindow(hWnd))
        return FALSE;
    UINT nChosen = 0;
    RunOnGui([&] {
        if (s_pTracked)
            return;  // one popup at a time
        CWnd* pOwner = CWnd::FromHandle(hWnd);
        auto* pFrame = dynamic_cast<CFrameWnd*>(pOwner);
        AfxUpdateMenuCmdUI(hMenu, pOwner, pFrame ? pFrame->m_bAutoMenuEnable : FALSE);
        wxWindow* pWx = AfxGetWxWindow(hWnd);
        if (!pWx)
            return;
        std::unique_ptr<wxMenu> menu(AfxBuildWxMenu(hMenu, AfxMenuImagesOf(pOwner)));
        wxPoint pt = pWx->ScreenToClient(wxPoint(x, y));
        s_pTracked = menu.get();
        s_ptTracked = POINT{x, y};
        s_hTracked = hMenu;
        s_nForcedChoice = -1;
        int id = pWx->GetPopupMenuSelectionFromUser(*menu, pt);
        s_pTracked = nullptr;
        s_hTracked = nullptr;
        if (s_nForcedChoice >= 0)
            id = s_nForcedChoice;
        nChosen = id == wxID_NONE ? 0 : AfxCommandOfWxId(id);
    });
    if (uFlags & TPM_RETURNCMD)
        return (BOOL)nChosen;
    if (nChosen && !(uFlags & TPM_NONOTIFY))
        ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(nChosen, 0), 0);
    return TRUE;
}
