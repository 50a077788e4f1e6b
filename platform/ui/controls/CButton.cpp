// The button window class ("Button"): push buttons (BS_DEFPUSHBUTTON is the dialog's default),
// check boxes, radio buttons (GTK widgets), and group boxes, which are drawn on their parent like
// the statics so the controls they frame stay above them. CButton over its messages.
#include <wx/wx.h>
#include <gtk/gtk.h>
#include "WndClass.h"
#include "Gdi.h"
#include "CButton.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)

namespace
{
DWORD TypeOf(DWORD dwStyle)
{
    return dwStyle & BS_TYPEMASK;
}

bool IsCheckType(DWORD t)
{
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON ||
           t == BS_3STATE || t == BS_AUTO3STATE;
}

bool IsGroupBox(WndRecord* p)
{
    return TypeOf(p->dwStyle) == BS_GROUPBOX;
}

// A push button's text to the left or right (BS_LEFT, BS_RIGHT); centred otherwise.
void ApplyTextAlignment(WndRecord* p)
{
    auto* b = p && p->pWx ? dynamic_cast<wxButton*>(p->pWx) : nullptr;
    GtkWidget* g = b ? (GtkWidget*)b->GetHandle() : nullptr;
    if (!g || !GTK_IS_BIN(g))
        return;
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(g));
    if (!label || !GTK_IS_LABEL(label))
        return;
    const DWORD align = p->dwStyle & BS_CENTER;
    const GtkAlign halign = align == BS_LEFT ? GTK_ALIGN_START : align == BS_RIGHT ? GTK_ALIGN_END : GTK_ALIGN_CENTER;
    gtk_widget_set_halign(label, halign);
    gtk_label_set_xalign(GTK_LABEL(label), align == BS_LEFT ? 0.0f : align == BS_RIGHT ? 1.0f : 0.5f);
}

class CButtonClass : public CWndClass
{
public:
    CButtonClass() : CWndClass("Button") {}

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        DWORD t = TypeOf((DWORD)cs.style);
        if (t == BS_GROUPBOX && pParent)
        {
            MakeWindowless(p, cs);
            return nullptr;
        }
        wxString text = WxFromGbk(cs.lpszName);
        p->strText.clear();  // the widget's label holds the text
        if (t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON)
            return new wxRadioButton(pParent, wxID_ANY, text, WxPos(cs), WxSize(cs), (cs.style & WS_GROUP) ? wxRB_GROUP : 0);
        if (IsCheckType(t))
            return new wxCheckBox(pParent, wxID_ANY, text, WxPos(cs), WxSize(cs),
                                  (t == BS_3STATE || t == BS_AUTO3STATE) ? wxCHK_3STATE : wxCHK_2STATE);
        long align = (cs.style & BS_CENTER) == BS_LEFT ? wxBU_LEFT : (cs.style & BS_CENTER) == BS_RIGHT ? wxBU_RIGHT : 0;
        auto* b = new wxButton(pParent, wxID_ANY, text, WxPos(cs), WxSize(cs), align);
        if (t == BS_DEFPUSHBUTTON)
            b->SetDefault();
        return b;
    }

    void StyleChanged(WndRecord* p, DWORD dwOldStyle) const override
    {
        if ((dwOldStyle ^ p->dwStyle) & BS_CENTER)
            ApplyTextAlignment(p);
    }

    void BindEvents(WndRecord* p, wxWindow* pWx) const override
    {
        HWND h = p->Handle();
        auto onClick = [h](wxCommandEvent&) { NotifyParent(h, BN_CLICKED); };
        pWx->Bind(wxEVT_BUTTON, onClick);
        pWx->Bind(wxEVT_CHECKBOX, onClick);
        pWx->Bind(wxEVT_RADIOBUTTON, onClick);
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override;
    void Paint(WndRecord* p, wxDC& dc) const override;

    bool PaintsOwnBackground(WndRecord* p) const override { return IsGroupBox(p); }
    bool IsNative(WndRecord* p) const override { return !p->bLight; }
    LRESULT HitTest(WndRecord* p) const override { return IsGroupBox(p) ? HTTRANSPARENT : HTCLIENT; }
    bool WantsReturn(WndRecord* p) const override { return !IsGroupBox(p); }
    CWnd* NewObject() const override { return new CButton; }
};
PARVEL_REGISTER_WNDCLASS(CButtonClass);

LRESULT CButtonClass::DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    HWND h = p->Handle();
    switch (msg)
    {
    case WM_SETTEXT:
        if (p->pWx)
        {
            p->pWx->SetLabel(WxFromGbk(lParam ? (const char*)lParam : ""));
            // A new label is a new GTK label, centred again.
            if (p->dwStyle & BS_CENTER)
                ApplyTextAlignment(p);
            return TRUE;
        }
        break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (p->pWx)
            return CopyWindowText(GbkFromWx(wxControl::RemoveMnemonics(p->pWx->GetLabel())), msg, wParam, lParam);
        break;
    case BM_CLICK:
    {
        if (!IsWindowEnabled(h) || IsGroupBox(p))
            return 0;
        DWORD t = TypeOf(p->dwStyle);
        if (t == BS_AUTOCHECKBOX || t == BS_AUTO3STATE)
            DefaultWindowProc(h, BM_SETCHECK, DefaultWindowProc(h, BM_GETCHECK, 0, 0) ? BST_UNCHECKED : BST_CHECKED, 0);
        else if (t == BS_AUTORADIOBUTTON)
            DefaultWindowProc(h, BM_SETCHECK, BST_CHECKED, 0);
        NotifyParent(h, BN_CLICKED);
        return 0;
    }
    case BM_GETCHECK:
        if (auto* cb = dynamic_cast<wxCheckBox*>(p->pWx))
            return cb->Get3StateValue() == wxCHK_CHECKED ? 1 : cb->Get3StateValue() == wxCHK_UNDETERMINED ? 2 : 0;
        if (auto* rb = dynamic_cast<wxRadioButton*>(p->pWx))
            return rb->GetValue() ? 1 : 0;
        return 0;
    case BM_SETCHECK:
        if (auto* cb = dynamic_cast<wxCheckBox*>(p->pWx))
            cb->Set3StateValue(wParam == 1 ? wxCHK_CHECKED : wParam == 2 && cb->Is3State() ? wxCHK_UNDETERMINED : wxCHK_UNCHECKED);
        else if (auto* rb = dynamic_cast<wxRadioButton*>(p->pWx))
            rb->SetValue(wParam != 0);
        return 0;
    case BM_SETSTYLE:
        p->dwStyle = (p->dwStyle & ~BS_TYPEMASK) | ((DWORD)wParam & BS_TYPEMASK);
        if ((wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            if (auto* b = dynamic_cast<wxButton*>(p->pWx))
                b->SetDefault();
        return 0;
    }
    return CWndClass::DefProc(p, msg, wParam, lParam);
}

// A group box: an etched frame with its caption over the top line, on the parent's colours.
void CButtonClass::Paint(WndRecord* p, wxDC& dc) const
{
    if (!p->bLight)
        return;
    int w = p->rcLight.right - p->rcLight.left, h = p->rcLight.bottom - p->rcLight.top;
    if (w <= 0 || h <= 0)
        return;
    CtlColors cc = AskCtlColors(p, WM_CTLCOLORSTATIC);
    if (!LiveRec(p->Handle()))
        return;
    dc.SetFont(FontOfRecord(p));
    wxString text = WxFromGbk(p->strText);
    wxString shown = wxControl::RemoveMnemonics(text);
    int th = dc.GetCharHeight();
    int top = th / 2;
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(WxColourOf(GetSysColor(COLOR_BTNSHADOW))));
    dc.DrawRectangle(0, top, w - 1, h - top - 1);
    dc.SetPen(wxPen(WxColourOf(GetSysColor(COLOR_BTNHIGHLIGHT))));
    dc.DrawRectangle(1, top + 1, w - 1, h - top - 1);
    if (shown.empty())
        return;
    wxSize ext = dc.GetTextExtent(shown);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(WxColourOf(cc.bHaveBrush ? cc.clrBrush : GetSysColor(COLOR_BTNFACE))));
    if (!cc.bHollow)
        dc.DrawRectangle(6, 0, ext.x + 4, th);
    dc.SetTextForeground((p->dwStyle & WS_DISABLED) ? WxColourOf(GetSysColor(COLOR_GRAYTEXT)) : WxColourOf(cc.clrText));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.DrawText(shown, 8, 0);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// CButton

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, "Button", lpszCaption, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return (int)::SendMessage(m_hWnd, BM_GETCHECK, 0, 0); }
void CButton::SetCheck(int nCheck) { ::SendMessage(m_hWnd, BM_SETCHECK, (WPARAM)nCheck, 0); }
UINT CButton::GetButtonStyle() const { return (UINT)GetStyle() & 0xFFFF; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { ::SendMessage(m_hWnd, BM_SETSTYLE, nStyle, bRedraw); }
HBITMAP CButton::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }

