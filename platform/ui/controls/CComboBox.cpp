// The combo box window class ("ComboBox"): a drop-down list on a GTK choice. Its window text is the
// selected item's text, empty without a selection.
#include <wx/wx.h>
#include <wx/choice.h>
#include <strings.h>
#include "WndClass.h"
#include "CComboBox.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

namespace
{
wxChoice* ChoiceOf(WndRecord* p)
{
    return p ? dynamic_cast<wxChoice*>(p->pWx) : nullptr;
}

// Whether the item begins with the text, ASCII letters compared without case (as list boxes do).
bool BeginsWith(const std::string& item, const char* psz)
{
    size_t n = strlen(psz);
    return item.size() >= n && strncasecmp(item.c_str(), psz, n) == 0;
}

int FindPrefix(wxChoice* pChoice, int nStartAfter, const char* psz)
{
    int n = (int)pChoice->GetCount();
    if (!psz || n == 0)
        return CB_ERR;
    int first = (nStartAfter < 0 || nStartAfter >= n) ? 0 : nStartAfter + 1;
    for (int k = 0; k < n; ++k)
    {
        int i = (first + k) % n;
        if (BeginsWith(GbkFromWx(pChoice->GetString((unsigned)i)), psz))
            return i;
    }
    return CB_ERR;
}

class CComboBoxClass : public CWndClass
{
public:
    CComboBoxClass() : CWndClass("ComboBox") {}

    wxWindow* CreateWidget(WndRecord*, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        // A dialog template gives the height of the open list; the closed box keeps its own.
        wxSize size = WxSize(cs);
        size.SetHeight(-1);
        long style = (cs.style & CBS_SORT) ? wxCB_SORT : 0;
        return new wxChoice(pParent, wxID_ANY, WxPos(cs), size, 0, nullptr, style);
    }

    void BindEvents(WndRecord* p, wxWindow* pWx) const override
    {
        HWND h = p->Handle();
        pWx->Bind(wxEVT_CHOICE, [h](wxCommandEvent&) {
            if (LiveRec(h))
                NotifyParent(h, CBN_SELCHANGE);
        });
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override;
    bool IsNative(WndRecord*) const override { return true; }
    CWnd* NewObject() const override { return new CComboBox; }
};
PARVEL_REGISTER_WNDCLASS(CComboBoxClass);

LRESULT CComboBoxClass::DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    wxChoice* pChoice = ChoiceOf(p);
    if (!pChoice)
        return CWndClass::DefProc(p, msg, wParam, lParam);
    const int n = (int)pChoice->GetCount();
    switch (msg)
    {
    case CB_ADDSTRING:
        return pChoice->Append(WxFromGbk(lParam ? (const char*)lParam : ""));
    case CB_INSERTSTRING:
    {
        int at = (int)wParam;
        if (at < 0 || at > n)
            at = n;
        return pChoice->Insert(WxFromGbk(lParam ? (const char*)lParam : ""), (unsigned)at);
    }
    case CB_DELETESTRING:
        if ((int)wParam < 0 || (int)wParam >= n)
            return CB_ERR;
        pChoice->Delete((unsigned)wParam);
        return n - 1;
    case CB_RESETCONTENT:
        pChoice->Clear();
        return 0;
    case CB_GETCOUNT:
        return n;
    case CB_GETCURSEL:
        return pChoice->GetSelection() == wxNOT_FOUND ? CB_ERR : pChoice->GetSelection();
    case CB_SETCURSEL:
        if ((int)wParam < 0 || (int)wParam >= n)
        {
            pChoice->SetSelection(wxNOT_FOUND);
            return CB_ERR;
        }
        pChoice->SetSelection((int)wParam);
        return (int)wParam;
    case CB_FINDSTRING:
        return FindPrefix(pChoice, (int)wParam, (const char*)lParam);
    case CB_SELECTSTRING:
    {
        // No match leaves the selection as it was.
        int i = FindPrefix(pChoice, (int)wParam, (const char*)lParam);
        if (i != CB_ERR)
            pChoice->SetSelection(i);
        return i;
    }
    case CB_GETLBTEXTLEN:
        if ((int)wParam < 0 || (int)wParam >= n)
            return CB_ERR;
        return (LRESULT)GbkFromWx(pChoice->GetString((unsigned)wParam)).size();
    case CB_GETLBTEXT:
    {
        if ((int)wParam < 0 || (int)wParam >= n || !lParam)
            return CB_ERR;
        std::string s = GbkFromWx(pChoice->GetString((unsigned)wParam));
        memcpy((char*)lParam, s.c_str(), s.size() + 1);
        return (LRESULT)s.size();
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    {
        int sel = pChoice->GetSelection();
        return CopyWindowText(sel == wxNOT_FOUND ? std::string() : GbkFromWx(pChoice->GetString((unsigned)sel)), msg,
                              wParam, lParam);
    }
    case WM_SETTEXT:
    {
        // A drop-down list takes only the text of one of its items.
        int i = pChoice->FindString(WxFromGbk(lParam ? (const char*)lParam : ""));
        if (i == wxNOT_FOUND)
            return CB_ERR;
        pChoice->SetSelection(i);
        return TRUE;
    }
    }
    return CWndClass::DefProc(p, msg, wParam, lParam);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// CComboBox

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, "ComboBox", "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CComboBox::AddString(LPCSTR lpszString) { return (int)::SendMessage(m_hWnd, CB_ADDSTRING, 0, (LPARAM)lpszString); }
int CComboBox::GetCount() const { return (int)::SendMessage(m_hWnd, CB_GETCOUNT, 0, 0); }
int CComboBox::GetCurSel() const { return (int)::SendMessage(m_hWnd, CB_GETCURSEL, 0, 0); }
int CComboBox::SetCurSel(int nSelect) { return (int)::SendMessage(m_hWnd, CB_SETCURSEL, (WPARAM)nSelect, 0); }
int CComboBox::FindString(int nStartAfter, LPCSTR lpszString) const
{
    return (int)::SendMessage(m_hWnd, CB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)lpszString);
}
int CComboBox::SelectString(int nStartAfter, LPCSTR lpszString)
{
    return (int)::SendMessage(m_hWnd, CB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)lpszString);
}
void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int n = (int)::SendMessage(m_hWnd, CB_GETLBTEXTLEN, (WPARAM)nIndex, 0);
    if (n < 0)
    {
        rString.Empty();
        return;
    }
    std::string buf((size_t)n + 1, '\0');
    ::SendMessage(m_hWnd, CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)buf.data());
    rString = buf.c_str();
}
void CComboBox::ResetContent() { ::SendMessage(m_hWnd, CB_RESETCONTENT, 0, 0); }
