// The list view window class in report view, on a wx list control. Selection changes, whether
// made by the program or the user, reach the parent as LVN_ITEMCHANGED. CListCtrl over its
// messages.
#include <wx/wx.h>
#include <wx/listctrl.h>
#include <wx/timer.h>
#include <cstring>
#include "WndClass.h"
#include "CListCtrl.h"

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace
{
struct CListState : CWndState
{
    DWORD dwExStyle = 0;
    bool bQuiet = false;       // selection events of the widget made by our own calls
    std::vector<UINT> states;  // LVIS_SELECTED | LVIS_FOCUSED per row, as last reported
    long nHoverRow = -1;
    std::unique_ptr<wxTimer> pHoverTimer;
};

wxListCtrl* ListOf(WndRecord* p) { return p ? dynamic_cast<wxListCtrl*>(p->pWx) : nullptr; }

void SendItemChanged(WndRecord* p, int nItem, UINT uOld, UINT uNew)
{
    if (!p->hParent) return;
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = p->Handle();
    nm.hdr.idFrom = (UINT_PTR)p->nID;
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = nItem;
    nm.uOldState = uOld;
    nm.uNewState = uNew;
    nm.uChanged = LVIF_STATE;
    ::SendMessage(p->hParent, WM_NOTIFY, (WPARAM)p->nID, (LPARAM)&nm);
}

UINT WidgetState(wxListCtrl* l, long row)
{
    UINT st = 0;
    int ws = l->GetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    if (ws & wxLIST_STATE_SELECTED) st |= LVIS_SELECTED;
    if (ws & wxLIST_STATE_FOCUSED) st |= LVIS_FOCUSED;
    return st;
}

// Compares the widget's states with the last reported ones and reports the changes, the rows that
// lost something first.
void ReportStateChanges(HWND h)
{
    WndRecord* p = LiveRec(h);
    wxListCtrl* l = ListOf(p);
    if (!l) return;
    CListState* s = StateOf<CListState>(p);
    long n = l->GetItemCount();
    s->states.resize((size_t)n, 0);
    std::vector<std::pair<long, std::pair<UINT, UINT>>> lost, gained;
    for (long i = 0; i < n; ++i)
    {
        UINT now = WidgetState(l, i), before = s->states[(size_t)i];
        if (now == before) continue;
        s->states[(size_t)i] = now;
        ((now & ~before) ? gained : lost).push_back({i, {before, now}});
    }
    for (auto& c : lost) SendItemChanged(p, (int)c.first, c.second.first, c.second.second);
    for (auto& c : gained)
        if ((p = LiveRec(h))) SendItemChanged(p, (int)c.first, c.second.first, c.second.second);
}

class CListClass : public CWndClass
{
public:
    CListClass() : CWndClass(WC_LISTVIEW) {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override { return std::make_unique<CListState>(); }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        long style = wxLC_REPORT;
        if (cs.style & LVS_SINGLESEL) style |= wxLC_SINGLE_SEL;
        if (cs.style & LVS_NOCOLUMNHEADER) style |= wxLC_NO_HEADER;
        style |= (cs.style & WS_BORDER) ? wxBORDER_SIMPLE : wxBORDER_NONE;
        return new wxListCtrl(pParent, wxID_ANY, WxPos(cs), WxSize(cs), style);
    }

    bool IsNative(WndRecord*) const override { return true; }

    void BindEvents(WndRecord* p, wxWindow* pWx) const override
    {
        HWND h = p->Handle();
        auto changed = [h](wxListEvent& e) {
            e.Skip();
            WndRecord* r = LiveRec(h);
            if (!r || StateOf<CListState>(r)->bQuiet) return;
            // After the widget has finished with the click.
            wxTheApp->CallAfter([h] { ReportStateChanges(h); });
        };
        pWx->Bind(wxEVT_LIST_ITEM_SELECTED, changed);
        pWx->Bind(wxEVT_LIST_ITEM_DESELECTED, changed);
        pWx->Bind(wxEVT_LIST_ITEM_FOCUSED, changed);
        // A pointer resting on a row asks the parent (NM_HOVER) whether to select it.
        pWx->Bind(wxEVT_MOTION, [h](wxMouseEvent& e) {
            e.Skip();
            WndRecord* r = LiveRec(h);
            wxListCtrl* l = ListOf(r);
            if (!l) return;
            CListState* s = StateOf<CListState>(r);
            if (!(s->dwExStyle & LVS_EX_TRACKSELECT)) return;
            int flags = 0;
            long row = l->HitTest(e.GetPosition(), flags);
            s->nHoverRow = row;
            if (!s->pHoverTimer)
            {
                s->pHoverTimer = std::make_unique<wxTimer>();
                s->pHoverTimer->Bind(wxEVT_TIMER, [h](wxTimerEvent&) {
                    WndRecord* q = LiveRec(h);
                    wxListCtrl* lc = ListOf(q);
                    if (!lc || !q->hParent) return;
                    CListState* st = StateOf<CListState>(q);
                    if (st->nHoverRow < 0) return;
                    NMHDR nm{h, (UINT_PTR)q->nID, NM_HOVER};
                    long hovered = st->nHoverRow;
                    if (::SendMessage(q->hParent, WM_NOTIFY, (WPARAM)q->nID, (LPARAM)&nm) == 0 && LiveRec(h))
                    {
                        LVITEM it{};
                        it.mask = LVIF_STATE;
                        it.state = it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                        ::SendMessage(h, LVM_SETITEMSTATE, (WPARAM)hovered, (LPARAM)&it);
                    }
                });
            }
            if (row >= 0) s->pHoverTimer->StartOnce(400);
            else s->pHoverTimer->Stop();
        });
    }

    void UnbindEvents(WndRecord* p) const override
    {
        if (CListState* s = StateOf<CListState>(p); s && s->pHoverTimer) s->pHoverTimer->Stop();
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
    {
        wxListCtrl* l = ListOf(p);
        CListState* s = StateOf<CListState>(p);
        if (!l) return CWndClass::DefProc(p, msg, wParam, lParam);
        switch (msg)
        {
        case LVM_SETEXTENDEDLISTVIEWSTYLE:
        {
            DWORD old = s->dwExStyle;
            DWORD mask = wParam ? (DWORD)wParam : 0xFFFFFFFF;
            s->dwExStyle = (old & ~mask) | ((DWORD)lParam & mask);
            return (LRESULT)old;
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return (LRESULT)s->dwExStyle;
        case LVM_INSERTCOLUMN:
        {
            const LVCOLUMN* c = (const LVCOLUMN*)lParam;
            if (!c) return -1;
            wxListColumnFormat fmt = (c->fmt & 3) == LVCFMT_RIGHT    ? wxLIST_FORMAT_RIGHT
                                     : (c->fmt & 3) == LVCFMT_CENTER ? wxLIST_FORMAT_CENTRE
                                                                     : wxLIST_FORMAT_LEFT;
            long col = std::min<long>((long)wParam, l->GetColumnCount());
            return l->InsertColumn(col, WxFromGbk((c->mask & LVCF_TEXT) && c->pszText ? c->pszText : ""), fmt,
                                   (c->mask & LVCF_WIDTH) ? c->cx : -1);
        }
        case LVM_GETCOLUMNCOUNT:
            return l->GetColumnCount();
        case LVM_GETCOLUMNWIDTH:
            return (int)wParam < l->GetColumnCount() ? l->GetColumnWidth((int)wParam) : 0;
        case LVM_SETCOLUMNWIDTH:
            if ((int)wParam >= l->GetColumnCount()) return FALSE;
            return l->SetColumnWidth((int)wParam, (short)LOWORD(lParam)) ? TRUE : FALSE;
        case LVM_GETITEMCOUNT:
            return l->GetItemCount();
        case LVM_INSERTITEM:
        {
            const LVITEM* it = (const LVITEM*)lParam;
            if (!it) return -1;
            long row = std::max(0L, std::min<long>(it->iItem, l->GetItemCount()));
            s->bQuiet = true;
            row = l->InsertItem(row, WxFromGbk((it->mask & LVIF_TEXT) && it->pszText ? it->pszText : ""));
            s->bQuiet = false;
            if (row >= 0) s->states.insert(s->states.begin() + std::min<size_t>((size_t)row, s->states.size()), 0u);
            return row;
        }
        case LVM_SETITEMTEXT:
        {
            const LVITEM* it = (const LVITEM*)lParam;
            if (!it || (long)wParam >= l->GetItemCount() || it->iSubItem >= l->GetColumnCount()) return FALSE;
            l->SetItem((long)wParam, it->iSubItem, WxFromGbk(it->pszText ? it->pszText : ""));
            return TRUE;
        }
        case LVM_GETITEMTEXT:
        {
            LVITEM* it = (LVITEM*)lParam;
            if (!it || !it->pszText || it->cchTextMax <= 0) return 0;
            std::string t;
            if ((long)wParam < l->GetItemCount() && it->iSubItem < l->GetColumnCount())
                t = GbkFromWx(l->GetItemText((long)wParam, it->iSubItem));
            size_t n = std::min(t.size(), (size_t)it->cchTextMax - 1);
            memcpy(it->pszText, t.data(), n);
            it->pszText[n] = 0;
            return (LRESULT)n;
        }
        case LVM_DELETEALLITEMS:
            s->bQuiet = true;
            l->DeleteAllItems();
            s->bQuiet = false;
            s->states.clear();
            return TRUE;
        case LVM_DELETEITEM:
            if ((long)wParam >= l->GetItemCount()) return FALSE;
            s->bQuiet = true;
            l->DeleteItem((long)wParam);
            s->bQuiet = false;
            if ((size_t)wParam < s->states.size()) s->states.erase(s->states.begin() + (long)wParam);
            return TRUE;
        case LVM_SETITEMSTATE:
        {
            const LVITEM* it = (const LVITEM*)lParam;
            if (!it) return FALSE;
            long first = (int)wParam == -1 ? 0 : (long)wParam;
            long last = (int)wParam == -1 ? l->GetItemCount() - 1 : (long)wParam;
            int wxMask = 0, wxState = 0;
            if (it->stateMask & LVIS_SELECTED) wxMask |= wxLIST_STATE_SELECTED;
            if (it->stateMask & LVIS_FOCUSED) wxMask |= wxLIST_STATE_FOCUSED;
            if (it->state & LVIS_SELECTED) wxState |= wxLIST_STATE_SELECTED;
            if (it->state & LVIS_FOCUSED) wxState |= wxLIST_STATE_FOCUSED;
            s->bQuiet = true;
            for (long i = first; i <= last && i < l->GetItemCount(); ++i) l->SetItemState(i, wxState, wxMask);
            s->bQuiet = false;
            HWND h = p->Handle();
            ReportStateChanges(h);
            return TRUE;
        }
        case LVM_GETITEMSTATE:
            return (long)wParam < l->GetItemCount() ? (LRESULT)(WidgetState(l, (long)wParam) & (UINT)lParam) : 0;
        case LVM_GETNEXTITEM:
        {
            int flags = (int)LOWORD(lParam);
            for (long i = (int)wParam + 1; i < l->GetItemCount(); ++i)
            {
                UINT st = WidgetState(l, i);
                if ((flags & LVNI_SELECTED) && !(st & LVIS_SELECTED)) continue;
                if ((flags & LVNI_FOCUSED) && !(st & LVIS_FOCUSED)) continue;
                return i;
            }
            return -1;
        }
        case LVM_GETITEMRECT:
        {
            RECT* prc = (RECT*)lParam;
            wxRect r;
            if (!prc || !l->GetItemRect((long)wParam, r)) return FALSE;
            *prc = RECT{r.x, r.y, r.x + r.width, r.y + r.height};
            return TRUE;
        }
        }
        return CWndClass::DefProc(p, msg, wParam, lParam);
    }

    CWnd* NewObject() const override { return new CListCtrl; }
};
PARVEL_REGISTER_WNDCLASS(CListClass);
}  // namespace

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(WC_LISTVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CListCtrl::GetExtendedStyle() const { return (DWORD)::SendMessage(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle)
{
    return (DWORD)::SendMessage(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)dwNewStyle);
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth)
{
    LVCOLUMN c{};
    c.mask = LVCF_FMT | LVCF_TEXT | (nWidth >= 0 ? LVCF_WIDTH : 0);
    c.fmt = nFormat;
    c.cx = nWidth;
    c.pszText = const_cast<LPSTR>(lpszColumnHeading);
    return (int)::SendMessage(m_hWnd, LVM_INSERTCOLUMN, (WPARAM)nCol, (LPARAM)&c);
}

int CListCtrl::GetColumnWidth(int nCol) const { return (int)::SendMessage(m_hWnd, LVM_GETCOLUMNWIDTH, nCol, 0); }

BOOL CListCtrl::SetColumnWidth(int nCol, int cx)
{
    return (BOOL)::SendMessage(m_hWnd, LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0));
}

int CListCtrl::GetItemCount() const { return (int)::SendMessage(m_hWnd, LVM_GETITEMCOUNT, 0, 0); }

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem)
{
    LVITEM it{};
    it.mask = LVIF_TEXT;
    it.iItem = nItem;
    it.pszText = const_cast<LPSTR>(lpszItem);
    return (int)::SendMessage(m_hWnd, LVM_INSERTITEM, 0, (LPARAM)&it);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText)
{
    LVITEM it{};
    it.iSubItem = nSubItem;
    it.pszText = const_cast<LPSTR>(lpszText);
    return (BOOL)::SendMessage(m_hWnd, LVM_SETITEMTEXT, (WPARAM)nItem, (LPARAM)&it);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    std::vector<char> buf(8192);
    LVITEM it{};
    it.iSubItem = nSubItem;
    it.pszText = buf.data();
    it.cchTextMax = (int)buf.size();
    ::SendMessage(m_hWnd, LVM_GETITEMTEXT, (WPARAM)nItem, (LPARAM)&it);
    return CString(buf.data());
}

BOOL CListCtrl::DeleteAllItems() { return (BOOL)::SendMessage(m_hWnd, LVM_DELETEALLITEMS, 0, 0); }

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEM it{};
    it.mask = LVIF_STATE;
    it.state = nState;
    it.stateMask = nMask;
    return (BOOL)::SendMessage(m_hWnd, LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)&it);
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    return (UINT)::SendMessage(m_hWnd, LVM_GETITEMSTATE, (WPARAM)nItem, (LPARAM)nMask);
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const
{
    return (int)::SendMessage(m_hWnd, LVM_GETNEXTITEM, (WPARAM)nItem, MAKELPARAM(nFlags, 0));
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    if (lpRect) lpRect->left = (LONG)nCode;
    return (BOOL)::SendMessage(m_hWnd, LVM_GETITEMRECT, (WPARAM)nItem, (LPARAM)lpRect);
}
