// The edit window class ("Edit", a GTK entry or text view) and CEdit over its messages. The text
// is GBK; positions are byte offsets. Printable characters are inserted by the class's own WM_CHAR
// default (so a subclass sees and may swallow them first); GTK edits with the other keys.
#include <wx/wx.h>
#include <wx/clipbrd.h>
#include <gtk/gtk.h>
#include "WndClass.h"
#include "CEdit.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)

namespace
{
struct CEditState : CWndState
{
    unsigned char chLeadByte = 0;  // first byte of a two-byte character sent by WM_CHAR
    UINT nLimitText = 0;
    bool bSettingText = false;     // the widget's change event comes from us, not the user
    // One level of undo, as Windows edits keep it (GTK entries keep none): the text before the
    // last edit, and the text after it.
    wxString strBeforeEdit;
    wxString strAfterEdit;
    bool bCanUndo = false;
    bool bPastePrimary = false;    // this WM_PASTE comes from the middle mouse button
};

// An edit by the user or by EM_REPLACESEL, WM_PASTE, WM_CUT, WM_CLEAR: undo gives back the text
// it found.
void RecordEdit(CEditState* st, const wxString& before, const wxString& after)
{
    st->strBeforeEdit = before;
    st->strAfterEdit = after;
    st->bCanUndo = true;
}

wxTextCtrl* EditOf(WndRecord* p)
{
    return p ? dynamic_cast<wxTextCtrl*>(p->pWx) : nullptr;
}

// Byte offset in the GBK text of a character position of the widget, and back.
long BytesOfChars(const wxString& s, long nChars)
{
    if (nChars <= 0)
        return 0;
    return (long)GbkFromWx(s.Left((size_t)nChars)).size();
}

long CharsOfBytes(const wxString& s, long nBytes)
{
    if (nBytes < 0)
        return (long)s.length();
    long bytes = 0;
    for (size_t i = 0; i < s.length(); ++i)
    {
        if (bytes >= nBytes)
            return (long)i;
        bytes += (long)GbkFromWx(wxString(s[i])).size();
    }
    return (long)s.length();
}

void NotifyEditChanged(HWND h)
{
    NotifyParent(h, EN_UPDATE);
    NotifyParent(h, EN_CHANGE);
}

void SetEditValue(WndRecord* p, wxTextCtrl* pEdit, const wxString& s)
{
    CEditState* st = StateOf<CEditState>(p);
    st->bSettingText = true;
    pEdit->ChangeValue(s);
    st->bSettingText = false;
}

// Replaces the selection with GBK bytes, as typing or EM_REPLACESEL does, and notifies.
void EditReplaceSel(HWND h, const std::string& bytes)
{
    WndRecord* p = LiveRec(h);
    wxTextCtrl* pEdit = EditOf(p);
    if (!pEdit)
        return;
    long from, to;
    pEdit->GetSelection(&from, &to);
    wxString s = pEdit->GetValue();
    wxString ins = WxFromGbk(bytes);
    UINT nLimit = StateOf<CEditState>(p)->nLimitText;
    if (nLimit && GbkFromWx(s).size() - (size_t)BytesOfChars(s.Mid(from), to - from) + bytes.size() > nLimit)
        return;
    wxString now = s.Left((size_t)from) + ins + s.Mid((size_t)to);
    RecordEdit(StateOf<CEditState>(p), s, now);
    SetEditValue(p, pEdit, now);
    pEdit->SetInsertionPoint(from + (long)ins.length());
    NotifyEditChanged(h);
}

bool IsPrintable(UINT ch)
{
    return ch >= 0x20 && ch != 0x7F;
}

gboolean OnEntryPopupMenu(GtkWidget*, gpointer data)
{
    HWND h = (HWND)data;
    if (!LiveRec(h))
        return FALSE;
    bool bDefault = DispatchEvent(h, WM_CONTEXTMENU, (WPARAM)h, (LPARAM)-1);
    return bDefault ? FALSE : TRUE;
}

// The entry's own pastes (Shift+Insert, Ctrl+V, the middle mouse button's primary selection) go
// through WM_PASTE, so the window procedure sees every paste and a subclass may refuse it.
void OnEntryPasteClipboard(GtkWidget* w, gpointer data)
{
    g_signal_stop_emission_by_name(w, "paste-clipboard");
    HWND h = (HWND)data;
    if (LiveRec(h))
        ::SendMessage(h, WM_PASTE, 0, 0);
}

gboolean OnEntryButtonPress(GtkWidget*, GdkEventButton* ev, gpointer data)
{
    if (ev->button != 2 || ev->type != GDK_BUTTON_PRESS)
        return FALSE;
    HWND h = (HWND)data;
    WndRecord* p = LiveRec(h);
    if (!p)
        return FALSE;
    StateOf<CEditState>(p)->bPastePrimary = true;
    ::SendMessage(h, WM_PASTE, 0, 0);
    if (WndRecord* r = LiveRec(h))
        StateOf<CEditState>(r)->bPastePrimary = false;
    return TRUE;
}

void ApplyPasswordStyle(WndRecord* p)
{
    if (!p->pWx)
        return;
    if (GtkWidget* w = (GtkWidget*)p->pWx->GetHandle(); w && GTK_IS_ENTRY(w))
        gtk_entry_set_visibility(GTK_ENTRY(w), (p->dwStyle & ES_PASSWORD) ? FALSE : TRUE);
}

class CEditClass : public CWndClass
{
public:
    CEditClass() : CWndClass("Edit") {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override { return std::make_unique<CEditState>(); }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        DWORD st = (DWORD)cs.style;
        long style = wxBORDER_DEFAULT;
        if (st & ES_MULTILINE) style |= wxTE_MULTILINE;
        if (st & ES_PASSWORD) style |= wxTE_PASSWORD;
        if (st & ES_READONLY) style |= wxTE_READONLY;
        if (st & ES_CENTER) style |= wxTE_CENTER;
        else if (st & ES_RIGHT) style |= wxTE_RIGHT;
        auto* w = new wxTextCtrl(pParent, wxID_ANY, wxString(), WxPos(cs), WxSize(cs), style);
        w->ChangeValue(WxFromGbk(cs.lpszName));
        if (CEditState* st = StateOf<CEditState>(p))
            st->strAfterEdit = w->GetValue();
        p->strText.clear();  // the widget holds the text
        return w;
    }

    void BindEvents(WndRecord* p, wxWindow* pWx) const override
    {
        HWND h = p->Handle();
        pWx->Bind(wxEVT_TEXT, [h](wxCommandEvent&) {
            WndRecord* r = LiveRec(h);
            if (!r || StateOf<CEditState>(r)->bSettingText)
                return;
            // Deleted through the widget: the text before is the last one known.
            if (auto* e = EditOf(r))
            {
                CEditState* st = StateOf<CEditState>(r);
                RecordEdit(st, st->strAfterEdit, e->GetValue());
            }
            if (!r->hParent)
                return;
            // The text changed through the widget (delete, cut, paste): tell the parent.
            NotifyEditChanged(h);
        });
        pWx->Bind(wxEVT_CONTEXT_MENU, [h](wxContextMenuEvent& e) {
            if (!LiveRec(h))
                return;
            wxPoint sp = e.GetPosition();
            LPARAM l = sp == wxDefaultPosition ? (LPARAM)-1 : MAKELPARAM(sp.x, sp.y);
            if (DispatchEvent(h, WM_CONTEXTMENU, (WPARAM)h, l))
                e.Skip();
        });
        if (GtkWidget* w = (GtkWidget*)pWx->GetHandle(); w && GTK_IS_ENTRY(w))
        {
            g_signal_connect(w, "popup-menu", G_CALLBACK(OnEntryPopupMenu), h);
            g_signal_connect(w, "paste-clipboard", G_CALLBACK(OnEntryPasteClipboard), h);
            g_signal_connect(w, "button-press-event", G_CALLBACK(OnEntryButtonPress), h);
        }
    }

    void UnbindEvents(WndRecord* p) const override
    {
        if (p->pWx)
            if (GtkWidget* w = (GtkWidget*)p->pWx->GetHandle(); w && GTK_IS_ENTRY(w))
            {
                g_signal_handlers_disconnect_by_func(w, (gpointer)OnEntryPopupMenu, p->Handle());
                g_signal_handlers_disconnect_by_func(w, (gpointer)OnEntryPasteClipboard, p->Handle());
                g_signal_handlers_disconnect_by_func(w, (gpointer)OnEntryButtonPress, p->Handle());
            }
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override;

    bool IsNative(WndRecord*) const override { return true; }
    bool HasNativeCursor(WndRecord*) const override { return true; }
    bool HandlesCharItself(WndRecord*, UINT ch) const override { return IsPrintable(ch); }
    bool WantsReturn(WndRecord* p) const override { return (p->dwStyle & ES_WANTRETURN) != 0; }
    bool ContextMenuOnPress(WndRecord*) const override { return true; }

    void StyleChanged(WndRecord* p, DWORD dwOld) const override
    {
        if ((dwOld ^ p->dwStyle) & ES_PASSWORD)
            ApplyPasswordStyle(p);
        if ((dwOld ^ p->dwStyle) & ES_READONLY)
            if (auto* e = EditOf(p))
                e->SetEditable(!(p->dwStyle & ES_READONLY));
    }

    void OnFocus(WndRecord* p, bool bGained) const override
    {
        NotifyParent(p->Handle(), bGained ? EN_SETFOCUS : EN_KILLFOCUS);
    }

    CWnd* NewObject() const override { return new CEdit; }
};
PARVEL_REGISTER_WNDCLASS(CEditClass);

LRESULT CEditClass::DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    HWND h = p->Handle();
    wxTextCtrl* pEdit = EditOf(p);
    CEditState* st = StateOf<CEditState>(p);
    if (!pEdit)
        return CWndClass::DefProc(p, msg, wParam, lParam);
    switch (msg)
    {
    case WM_CHAR:
    {
        unsigned char ch = (unsigned char)wParam;
        if (st->chLeadByte)
        {
            std::string two{(char)st->chLeadByte, (char)ch};
            st->chLeadByte = 0;
            if (!(p->dwStyle & ES_READONLY))
                EditReplaceSel(h, two);
            return 0;
        }
        if (ch >= 0x81 && ch != 0xFF)
        {
            st->chLeadByte = ch;  // the trail byte follows in the next WM_CHAR
            return 0;
        }
        if (IsPrintable(ch))
        {
            if (!(p->dwStyle & ES_READONLY))
                EditReplaceSel(h, std::string(1, (char)ch));
            return 0;
        }
        if (IsFromEvent(h, WM_CHAR))
        {
            MarkEventDefault(h, WM_CHAR);
            return 0;
        }
        if (p->dwStyle & ES_READONLY)
            return 0;
        // A control character sent as a message: the edits it stands for.
        if (ch == VK_BACK)
        {
            long from, to;
            pEdit->GetSelection(&from, &to);
            if (from == to && from > 0)
                pEdit->SetSelection(from - 1, from);
            EditReplaceSel(h, std::string());
        }
        else if (ch == 22)
            DefaultWindowProc(h, WM_PASTE, 0, 0);
        else if (ch == 24)
            DefaultWindowProc(h, WM_CUT, 0, 0);
        else if (ch == 3)
            DefaultWindowProc(h, WM_COPY, 0, 0);
        else if (ch == 1)
            pEdit->SelectAll();
        return 0;
    }
    case WM_SETTEXT:
        // A text set from outside starts the undo afresh, with that text as the known one.
        st->bCanUndo = false;
        st->strAfterEdit = WxFromGbk((const char*)lParam);
        SetEditValue(p, pEdit, WxFromGbk((const char*)lParam));
        NotifyEditChanged(h);
        return TRUE;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return CopyWindowText(GbkFromWx(pEdit->GetValue()), msg, wParam, lParam);
    case EM_GETSEL:
    {
        long from, to;
        pEdit->GetSelection(&from, &to);
        wxString s = pEdit->GetValue();
        DWORD a = (DWORD)BytesOfChars(s, from), b = (DWORD)BytesOfChars(s, to);
        if (wParam)
            *(DWORD*)wParam = a;
        if (lParam)
            *(DWORD*)lParam = b;
        return (LRESULT)MAKELONG(a > 0xFFFF ? 0xFFFF : a, b > 0xFFFF ? 0xFFFF : b);
    }
    case EM_SETSEL:
    {
        wxString s = pEdit->GetValue();
        long a = (long)(int)wParam, b = (long)(int)lParam;
        if (a == -1)
        {
            long from, to;
            pEdit->GetSelection(&from, &to);
            pEdit->SetSelection(from, from);
            return 0;
        }
        long ca = CharsOfBytes(s, a), cb = CharsOfBytes(s, b);
        if (ca > cb)
            std::swap(ca, cb);
        pEdit->SetSelection(ca, cb);
        return 0;
    }
    case EM_SCROLLCARET:
    {
        // A single-line entry keeps its caret in view itself; moving it would drop the selection.
        if (pEdit->IsMultiLine())
        {
            long from, to;
            pEdit->GetSelection(&from, &to);
            pEdit->ShowPosition(to);
            pEdit->SetSelection(from, to);
        }
        return TRUE;
    }
    case EM_REPLACESEL:
        EditReplaceSel(h, lParam ? (const char*)lParam : "");
        return 0;
    case EM_SETREADONLY:
        if (wParam) p->dwStyle |= ES_READONLY;
        else p->dwStyle &= ~ES_READONLY;
        pEdit->SetEditable(!wParam);
        return TRUE;
    case EM_LIMITTEXT:
        st->nLimitText = (UINT)wParam;
        return 0;
    case EM_GETLIMITTEXT:
        return st->nLimitText ? st->nLimitText : 30000;
    case EM_GETLINECOUNT:
        return pEdit->GetNumberOfLines();
    case EM_UNDO:
    case WM_UNDO:
    {
        if (pEdit->CanUndo()) { pEdit->Undo(); return TRUE; }
        if (!st->bCanUndo)
            return FALSE;
        // Undoing again redoes, as on Windows.
        wxString back = st->strBeforeEdit;
        RecordEdit(st, pEdit->GetValue(), back);
        SetEditValue(p, pEdit, back);
        pEdit->SetInsertionPointEnd();
        NotifyEditChanged(h);
        return TRUE;
    }
    case EM_CANUNDO:
        return pEdit->CanUndo() || st->bCanUndo;
    case EM_GETMODIFY:
        return pEdit->IsModified();
    case EM_SETMODIFY:
        if (wParam) pEdit->MarkDirty(); else pEdit->DiscardEdits();
        return 0;
    case WM_CUT:
        if (!(p->dwStyle & ES_READONLY) && !(p->dwStyle & ES_PASSWORD))
        {
            DefaultWindowProc(h, WM_COPY, 0, 0);
            EditReplaceSel(h, std::string());
        }
        return 0;
    case WM_COPY:
        if (!(p->dwStyle & ES_PASSWORD) && pEdit->CanCopy())
            pEdit->Copy();
        return 0;
    case WM_PASTE:
    {
        if (p->dwStyle & ES_READONLY)
            return 0;
        wxTheClipboard->UsePrimarySelection(st->bPastePrimary);
        wxTextDataObject data;
        bool bOk = false;
        if (wxTheClipboard->Open())
        {
            bOk = wxTheClipboard->GetData(data);
            wxTheClipboard->Close();
        }
        wxTheClipboard->UsePrimarySelection(false);
        if (bOk)
            EditReplaceSel(h, GbkFromWx(data.GetText()));
        return 0;
    }
    case WM_CLEAR:
        EditReplaceSel(h, std::string());
        return 0;
    }
    return CWndClass::DefProc(p, msg, wParam, lParam);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// CEdit


BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, "Edit", "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

DWORD CEdit::GetSel() const
{
    return (DWORD)::SendMessage(m_hWnd, EM_GETSEL, 0, 0);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD a = 0, b = 0;
    ::SendMessage(m_hWnd, EM_GETSEL, (WPARAM)&a, (LPARAM)&b);
    nStartChar = (int)a;
    nEndChar = (int)b;
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SetSel((int)LOWORD(dwSelection), (int)(short)HIWORD(dwSelection), bNoScroll);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    ::SendMessage(m_hWnd, EM_SETSEL, (WPARAM)nStartChar, (LPARAM)nEndChar);
    if (!bNoScroll)
        ::SendMessage(m_hWnd, EM_SCROLLCARET, 0, 0);
}

void CEdit::ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo)
{
    ::SendMessage(m_hWnd, EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)lpszNewText);
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly)
{
    return (BOOL)::SendMessage(m_hWnd, EM_SETREADONLY, bReadOnly, 0);
}

void CEdit::SetLimitText(UINT nMax)
{
    ::SendMessage(m_hWnd, EM_LIMITTEXT, nMax, 0);
}

UINT CEdit::GetLimitText() const
{
    return (UINT)::SendMessage(m_hWnd, EM_GETLIMITTEXT, 0, 0);
}

void CEdit::Clear() { ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
void CEdit::Copy() { ::SendMessage(m_hWnd, WM_COPY, 0, 0); }
void CEdit::Cut() { ::SendMessage(m_hWnd, WM_CUT, 0, 0); }
void CEdit::Paste() { ::SendMessage(m_hWnd, WM_PASTE, 0, 0); }
BOOL CEdit::Undo() { return (BOOL)::SendMessage(m_hWnd, EM_UNDO, 0, 0); }
int CEdit::GetLineCount() const { return (int)::SendMessage(m_hWnd, EM_GETLINECOUNT, 0, 0); }

