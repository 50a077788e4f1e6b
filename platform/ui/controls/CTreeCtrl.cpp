// The tree view window class on a wx tree control with a hidden root that stands for TVI_ROOT.
// Item handles are checked against the live items, so a stale one is refused, never followed.
// CTreeCtrl over its messages.
#include <wx/wx.h>
#include <wx/treectrl.h>
#include <cstring>
#include <set>
#include "WndClass.h"
#include "CTreeCtrl.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

namespace
{
struct CTreeState : CWndState
{
    wxTreeItemId root;
    std::set<void*> live;
    HTREEITEM hSelected = nullptr;  // as last reported
};

wxTreeCtrl* TreeOf(WndRecord* p) { return p ? dynamic_cast<wxTreeCtrl*>(p->pWx) : nullptr; }

HTREEITEM ToHandle(CTreeState* s, const wxTreeItemId& id)
{
    if (!id.IsOk()) return nullptr;
    if (id == s->root) return TVI_ROOT;
    return (HTREEITEM)id.GetID();
}

// The item of a handle, invalid for a handle that names no live item. TVI_ROOT is the root.
wxTreeItemId ToItem(CTreeState* s, HTREEITEM h)
{
    if (h == TVI_ROOT) return s->root;
    if (!h || !s->live.count((void*)h)) return wxTreeItemId();
    return wxTreeItemId((void*)h);
}

void Forget(wxTreeCtrl* t, CTreeState* s, const wxTreeItemId& id)
{
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = t->GetFirstChild(id, cookie); c.IsOk(); c = t->GetNextChild(id, cookie)) Forget(t, s, c);
    if (id != s->root) s->live.erase(id.GetID());
    if (s->hSelected == (HTREEITEM)id.GetID()) s->hSelected = nullptr;
}

// Tells the parent when the selection is not the one reported last.
void ReportSelection(HWND h)
{
    WndRecord* p = LiveRec(h);
    wxTreeCtrl* t = TreeOf(p);
    if (!t) return;
    CTreeState* s = StateOf<CTreeState>(p);
    wxTreeItemId sel = t->GetSelection();
    HTREEITEM hNew = sel.IsOk() && sel != s->root ? (HTREEITEM)sel.GetID() : nullptr;
    if (hNew == s->hSelected) return;
    HTREEITEM hOld = s->hSelected;
    s->hSelected = hNew;
    if ((p->dwStyle & TVS_SINGLEEXPAND) && hNew && t->ItemHasChildren(sel)) t->Expand(sel);
    if (!p->hParent) return;
    NMTREEVIEW nm{};
    nm.hdr.hwndFrom = h;
    nm.hdr.idFrom = (UINT_PTR)p->nID;
    nm.hdr.code = TVN_SELCHANGED;
    nm.itemOld.hItem = hOld;
    nm.itemOld.mask = TVIF_HANDLE;
    nm.itemNew.hItem = hNew;
    nm.itemNew.mask = TVIF_HANDLE | TVIF_STATE;
    nm.itemNew.state = TVIS_SELECTED;
    ::SendMessage(p->hParent, WM_NOTIFY, (WPARAM)p->nID, (LPARAM)&nm);
}

class CTreeClass : public CWndClass
{
public:
    CTreeClass() : CWndClass(WC_TREEVIEW) {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override { return std::make_unique<CTreeState>(); }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        long style = wxTR_HIDE_ROOT | wxTR_SINGLE;
        if (cs.style & TVS_HASBUTTONS) style |= wxTR_HAS_BUTTONS;
        else style |= wxTR_NO_BUTTONS;
        if (cs.style & TVS_LINESATROOT) style |= wxTR_LINES_AT_ROOT;
        if (!(cs.style & TVS_HASLINES)) style |= wxTR_NO_LINES;
        style |= (cs.style & WS_BORDER) ? wxBORDER_SIMPLE : wxBORDER_NONE;
        auto* t = new wxTreeCtrl(pParent, wxID_ANY, WxPos(cs), WxSize(cs), style);
        StateOf<CTreeState>(p)->root = t->AddRoot(wxString());
        return t;
    }

    bool IsNative(WndRecord*) const override { return true; }

    void BindEvents(WndRecord* p, wxWindow* pWx) const override
    {
        HWND h = p->Handle();
        pWx->Bind(wxEVT_TREE_SEL_CHANGED, [h](wxTreeEvent& e) {
            e.Skip();
            ReportSelection(h);
        });
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
    {
        wxTreeCtrl* t = TreeOf(p);
        CTreeState* s = StateOf<CTreeState>(p);
        if (!t) return CWndClass::DefProc(p, msg, wParam, lParam);
        HWND h = p->Handle();
        switch (msg)
        {
        case TVM_INSERTITEM:
        {
            const TVINSERTSTRUCT* ins = (const TVINSERTSTRUCT*)lParam;
            if (!ins) return 0;
            wxTreeItemId parent = ToItem(s, ins->hParent ? ins->hParent : TVI_ROOT);
            if (!parent.IsOk()) return 0;
            wxString text = WxFromGbk((ins->item.mask & TVIF_TEXT) && ins->item.pszText ? ins->item.pszText : "");
            wxTreeItemId id;
            if (ins->hInsertAfter == TVI_FIRST)
                id = t->PrependItem(parent, text);
            else if (ins->hInsertAfter == TVI_LAST || !ToItem(s, ins->hInsertAfter).IsOk())
                id = t->AppendItem(parent, text);
            else
                id = t->InsertItem(parent, ToItem(s, ins->hInsertAfter), text);
            if (!id.IsOk()) return 0;
            s->live.insert(id.GetID());
            return (LRESULT)id.GetID();
        }
        case TVM_DELETEITEM:
        {
            wxTreeItemId id = ToItem(s, (HTREEITEM)lParam);
            if (!id.IsOk()) return FALSE;
            Forget(t, s, id);
            if (id == s->root) t->DeleteChildren(id);
            else t->Delete(id);
            ReportSelection(h);
            return TRUE;
        }
        case TVM_GETNEXTITEM:
        {
            HTREEITEM hItem = (HTREEITEM)lParam;
            switch ((UINT)wParam)
            {
            case TVGN_ROOT:
            {
                wxTreeItemIdValue cookie;
                return (LRESULT)ToHandle(s, t->GetFirstChild(s->root, cookie));
            }
            case TVGN_CHILD:
            {
                wxTreeItemId id = ToItem(s, hItem ? hItem : TVI_ROOT);
                if (!id.IsOk()) return 0;
                wxTreeItemIdValue cookie;
                return (LRESULT)ToHandle(s, t->GetFirstChild(id, cookie));
            }
            case TVGN_NEXT:
            case TVGN_PREVIOUS:
            {
                wxTreeItemId id = ToItem(s, hItem);
                if (!id.IsOk() || id == s->root) return 0;
                return (LRESULT)ToHandle(s, wParam == TVGN_NEXT ? t->GetNextSibling(id) : t->GetPrevSibling(id));
            }
            case TVGN_PARENT:
            {
                wxTreeItemId id = ToItem(s, hItem);
                if (!id.IsOk() || id == s->root) return 0;
                wxTreeItemId parent = t->GetItemParent(id);
                return parent == s->root ? 0 : (LRESULT)ToHandle(s, parent);
            }
            case TVGN_CARET:
            {
                wxTreeItemId sel = t->GetSelection();
                return sel.IsOk() && sel != s->root ? (LRESULT)sel.GetID() : 0;
            }
            }
            return 0;
        }
        case TVM_SELECTITEM:
        {
            if (wParam != TVGN_CARET) return FALSE;
            if (!lParam)
            {
                t->UnselectAll();
                ReportSelection(h);
                return TRUE;
            }
            wxTreeItemId id = ToItem(s, (HTREEITEM)lParam);
            if (!id.IsOk() || id == s->root) return FALSE;
            t->SelectItem(id);
            ReportSelection(h);
            return TRUE;
        }
        case TVM_EXPAND:
        {
            wxTreeItemId id = ToItem(s, (HTREEITEM)lParam);
            if (!id.IsOk() || id == s->root) return FALSE;
            if (wParam & TVE_EXPAND) t->Expand(id);
            else if (wParam & TVE_COLLAPSE) t->Collapse(id);
            return TRUE;
        }
        case TVM_GETITEM:
        case TVM_SETITEM:
        {
            TVITEM* it = (TVITEM*)lParam;
            if (!it) return FALSE;
            wxTreeItemId id = ToItem(s, it->hItem);
            if (!id.IsOk() || id == s->root) return FALSE;
            if (msg == TVM_SETITEM)
            {
                if (it->mask & TVIF_TEXT) t->SetItemText(id, WxFromGbk(it->pszText ? it->pszText : ""));
                return TRUE;
            }
            if ((it->mask & TVIF_TEXT) && it->pszText && it->cchTextMax > 0)
            {
                std::string text = GbkFromWx(t->GetItemText(id));
                size_t n = std::min(text.size(), (size_t)it->cchTextMax - 1);
                memcpy(it->pszText, text.data(), n);
                it->pszText[n] = 0;
            }
            if (it->mask & TVIF_STATE)
                it->state = (t->IsSelected(id) ? TVIS_SELECTED : 0) | (t->IsExpanded(id) ? TVIS_EXPANDED : 0);
            return TRUE;
        }
        case TVM_GETCOUNT:
            return (LRESULT)s->live.size();
        case TVM_GETITEMRECT:
        {
            RECT* prc = (RECT*)lParam;
            if (!prc) return FALSE;
            wxTreeItemId id = ToItem(s, *(HTREEITEM*)prc);
            wxRect r;
            if (!id.IsOk() || id == s->root || !t->GetBoundingRect(id, r, wParam != 0)) return FALSE;
            *prc = RECT{r.x, r.y, r.x + r.width, r.y + r.height};
            return TRUE;
        }
        }
        return CWndClass::DefProc(p, msg, wParam, lParam);
    }

    CWnd* NewObject() const override { return new CTreeCtrl; }
};
PARVEL_REGISTER_WNDCLASS(CTreeClass);
}  // namespace

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(WC_TREEVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCT ins{};
    ins.hParent = hParent;
    ins.hInsertAfter = hInsertAfter;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<LPSTR>(lpszItem);
    return (HTREEITEM)::SendMessage(m_hWnd, TVM_INSERTITEM, 0, (LPARAM)&ins);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM hItem) { return (BOOL)::SendMessage(m_hWnd, TVM_DELETEITEM, 0, (LPARAM)hItem); }
BOOL CTreeCtrl::DeleteAllItems() { return DeleteItem(TVI_ROOT); }

HTREEITEM CTreeCtrl::GetRootItem() const { return (HTREEITEM)::SendMessage(m_hWnd, TVM_GETNEXTITEM, TVGN_ROOT, 0); }

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM hItem) const
{
    return (HTREEITEM)::SendMessage(m_hWnd, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)hItem);
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM hItem) const
{
    return (HTREEITEM)::SendMessage(m_hWnd, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)hItem);
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM hItem) const
{
    return (HTREEITEM)::SendMessage(m_hWnd, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)hItem);
}

HTREEITEM CTreeCtrl::GetSelectedItem() const
{
    return (HTREEITEM)::SendMessage(m_hWnd, TVM_GETNEXTITEM, TVGN_CARET, 0);
}

BOOL CTreeCtrl::SelectItem(HTREEITEM hItem)
{
    return (BOOL)::SendMessage(m_hWnd, TVM_SELECTITEM, TVGN_CARET, (LPARAM)hItem);
}

BOOL CTreeCtrl::Expand(HTREEITEM hItem, UINT nCode)
{
    return (BOOL)::SendMessage(m_hWnd, TVM_EXPAND, nCode, (LPARAM)hItem);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    char buf[1024] = "";
    TVITEM it{};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = hItem;
    it.pszText = buf;
    it.cchTextMax = (int)sizeof buf;
    ::SendMessage(m_hWnd, TVM_GETITEM, 0, (LPARAM)&it);
    return CString(buf);
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCSTR lpszItem)
{
    TVITEM it{};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = hItem;
    it.pszText = const_cast<LPSTR>(lpszItem);
    return (BOOL)::SendMessage(m_hWnd, TVM_SETITEM, 0, (LPARAM)&it);
}

UINT CTreeCtrl::GetCount() const { return (UINT)::SendMessage(m_hWnd, TVM_GETCOUNT, 0, 0); }

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    if (!lpRect) return FALSE;
    *(HTREEITEM*)lpRect = hItem;
    return (BOOL)::SendMessage(m_hWnd, TVM_GETITEMRECT, (WPARAM)bTextOnly, (LPARAM)lpRect);
}
