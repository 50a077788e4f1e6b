// The rich edit window class: its messages over the document (CRichEditState), laid out and
// drawn by CRichEditLayout, with mouse selection and link notifications. CRichEditCtrl over its
// messages.
#include <wx/wx.h>
#include <wx/clipbrd.h>
#include <algorithm>
#include <cstring>
#include "WndClass.h"
#include "CRichEditCtrl.h"
#include "CRichEditFormat.h"
#include "CRichEditLayout.h"
#include "CRichEditState.h"
#include "CRichEditStream.h"

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

namespace
{
// The link run around a character.
CHARRANGE LinkRange(CRichEditState* s, long k)
{
    auto isLink = [s](long i) { return (s->formats[(size_t)s->chars[(size_t)i].fmt].effects & CFE_LINK) != 0; };
    long a = k, b = k + 1;
    while (a > 0 && isLink(a - 1)) --a;
    while (b < s->Length() && isLink(b)) ++b;
    return CHARRANGE{(LONG)a, (LONG)b};
}

bool IsLinkChar(CRichEditState* s, long k)
{
    return k >= 0 && k < s->Length() && (s->formats[(size_t)s->chars[(size_t)k].fmt].effects & CFE_LINK) &&
           !(s->formats[(size_t)s->chars[(size_t)k].fmt].effects & CFE_HIDDEN);
}

// EN_LINK to the parent (the control itself may handle it first through reflection); the result.
LRESULT SendLink(WndRecord* p, CRichEditState* s, long k, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!(s->eventMask & ENM_LINK) || !p->hParent) return 0;
    ENLINK en{};
    en.nmhdr.hwndFrom = p->Handle();
    en.nmhdr.idFrom = (UINT_PTR)p->nID;
    en.nmhdr.code = EN_LINK;
    en.msg = msg;
    en.wParam = wParam;
    en.lParam = lParam;
    en.chrg = LinkRange(s, k);
    return ::SendMessage(p->hParent, WM_NOTIFY, (WPARAM)p->nID, (LPARAM)&en);
}

class CRichEditClass : public CWndClass
{
public:
    CRichEditClass() : CWndClass(RICHEDIT_CLASS) {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override
    {
        return std::make_unique<CRichEditState>();
    }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        wxWindow* w = CreatePlainWidget(p, cs, pParent, true);
        if (w) w->SetBackgroundStyle(wxBG_STYLE_PAINT);
        return w;
    }

    bool PaintsOwnBackground(WndRecord*) const override { return true; }

    void Paint(WndRecord* p, wxDC& dc) const override { CRichEditLayout::Draw(p, StateOf<CRichEditState>(p), dc); }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
    {
        CRichEditState* s = StateOf<CRichEditState>(p);
        switch (msg)
        {
        case WM_SETTEXT:
        {
            s->selMin = 0;
            s->selMax = s->Length();
            std::vector<RichChar> ins;
            const char* t = (const char*)lParam;
            CRichEditState::AppendChars(ins, t ? t : "", t ? strlen(t) : 0, s->Intern(s->FormatAt(0)));
            s->ReplaceSelection(ins);
            s->SetSelection(0, 0);
            RefreshWindow(p);
            return TRUE;
        }
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            if (msg == WM_GETTEXTLENGTH) return s->Length();
            return CopyWindowText(s->Text(0, s->Length(), true), msg, wParam, lParam);
        case EM_GETSEL:
            if (wParam) *(DWORD*)wParam = (DWORD)s->selMin;
            if (lParam) *(DWORD*)lParam = (DWORD)s->selMax;
            return MAKELONG(std::min(s->selMin, 0xFFFFL), std::min(s->selMax, 0xFFFFL));
        case EM_EXGETSEL:
            if (lParam) *(CHARRANGE*)lParam = CHARRANGE{(LONG)s->selMin, (LONG)s->selMax};
            return 0;
        case EM_SETSEL:
            s->SetSelection((long)(int)wParam, (long)(int)lParam);
            RefreshWindow(p);
            return 0;
        case EM_EXSETSEL:
            if (lParam) s->SetSelection(((CHARRANGE*)lParam)->cpMin, ((CHARRANGE*)lParam)->cpMax);
            RefreshWindow(p);
            return s->selMax;
        case EM_REPLACESEL:
        {
            const char* t = (const char*)lParam;
            RichFormat f = s->SelectionFormat();
            std::vector<RichChar> ins;
            CRichEditState::AppendChars(ins, t ? t : "", t ? strlen(t) : 0, s->Intern(f));
            s->ReplaceSelection(ins);
            s->insert = f;
            RefreshWindow(p);
            return 0;
        }
        case EM_GETSELTEXT:
        {
            std::string t = s->Text(s->selMin, s->selMax, false);
            if (lParam) memcpy((char*)lParam, t.c_str(), t.size() + 1);
            return (LRESULT)t.size();
        }
        case EM_GETTEXTRANGE:
        {
            TEXTRANGE* tr = (TEXTRANGE*)lParam;
            if (!tr || !tr->lpstrText) return 0;
            long last = tr->chrg.cpMax < 0 ? s->Length() : tr->chrg.cpMax;
            std::string t = s->Text(tr->chrg.cpMin, last, false);
            memcpy(tr->lpstrText, t.c_str(), t.size() + 1);
            return (LRESULT)t.size();
        }
        case EM_SETCHARFORMAT:
            if (!lParam) return FALSE;
            CRichEditFormat::SetCharFormat(s, wParam, *(const CHARFORMAT2*)lParam);
            RefreshWindow(p);
            return TRUE;
        case EM_GETCHARFORMAT:
        {
            CHARFORMAT2* cf = (CHARFORMAT2*)lParam;
            if (!cf) return 0;
            if (wParam & SCF_SELECTION) return (LRESULT)CRichEditFormat::OfSelection(s, cf);
            CRichEditFormat::Fill(*cf, s->formats[0], 0xFFFFFFFF);
            return (LRESULT)cf->dwMask;
        }
        case EM_SETPARAFORMAT:
        {
            const PARAFORMAT2* pf = (const PARAFORMAT2*)lParam;
            if (!pf || !(pf->dwMask & PFM_ALIGNMENT)) return pf != nullptr;
            CRichEditFormat::SetParaFormat(s, *pf);
            RefreshWindow(p);
            return TRUE;
        }
        case EM_GETPARAFORMAT:
            return lParam ? (LRESULT)CRichEditFormat::GetParaFormat(s, *(PARAFORMAT2*)lParam) : 0;
        case EM_STREAMIN:
        {
            EDITSTREAM* es = (EDITSTREAM*)lParam;
            if (!es || !es->pfnCallback) return 0;
            LRESULT n = CRichEditStream::StreamIn(s, wParam, *es);
            RefreshWindow(p);
            return n;
        }
        case EM_SETEVENTMASK:
        {
            DWORD old = s->eventMask;
            s->eventMask = (DWORD)lParam;
            return (LRESULT)old;
        }
        case EM_GETEVENTMASK:
            return (LRESULT)s->eventMask;
        case EM_HIDESELECTION:
            s->hideSel = wParam != 0;
            RefreshWindow(p);
            return 0;
        case EM_SCROLLCARET:
            CRichEditLayout::ScrollCaretIntoView(p, s);
            RefreshWindow(p);
            return 0;
        case EM_SETREADONLY:
            p->dwStyle = wParam ? (p->dwStyle | ES_READONLY) : (p->dwStyle & ~ES_READONLY);
            return TRUE;
        case EM_POSFROMCHAR:
        {
            CRichEditLayout::Ensure(p, s);
            long k = (long)lParam;
            for (const RichLine& l : s->lines)
                if (k >= l.first && k < l.last)
                {
                    if (wParam) ((POINT*)wParam)->x = l.xs[(size_t)(k - l.first)], ((POINT*)wParam)->y = l.y - s->scrollY;
                    return 0;
                }
            return -1;
        }
        case EM_CHARFROMPOS:
        {
            CRichEditLayout::Ensure(p, s);
            const POINT* pt = (const POINT*)lParam;
            return pt ? CRichEditLayout::HitChar(s, pt->x, pt->y) : 0;
        }
        case WM_COPY:
            if (s->selMin < s->selMax && wxTheClipboard->Open())
            {
                wxTheClipboard->SetData(new wxTextDataObject(WxFromGbk(s->Text(s->selMin, s->selMax, true))));
                wxTheClipboard->Close();
            }
            return 0;
        case WM_CUT:
            if (p->dwStyle & ES_READONLY) return 0;
            DefProc(p, WM_COPY, 0, 0);
            s->ReplaceSelection({});
            RefreshWindow(p);
            return 0;
        case WM_CLEAR:
            if (p->dwStyle & ES_READONLY) return 0;
            s->ReplaceSelection({});
            RefreshWindow(p);
            return 0;
        case WM_PASTE:
            if (!(p->dwStyle & ES_READONLY) && wxTheClipboard->Open())
            {
                wxTextDataObject data;
                if (wxTheClipboard->GetData(data))
                {
                    std::string t = GbkFromWx(data.GetText());
                    std::vector<RichChar> ins;
                    CRichEditState::AppendChars(ins, t.data(), t.size(), s->Intern(s->insert));
                    s->ReplaceSelection(ins);
                    RefreshWindow(p);
                }
                wxTheClipboard->Close();
            }
            return 0;
        case EM_CANUNDO:
        case EM_UNDO:
            return FALSE;
        case WM_LBUTTONDOWN:
        {
            CRichEditLayout::Ensure(p, s);
            bool onChar = false;
            long k = CRichEditLayout::HitChar(s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &onChar);
            ::SetFocus(p->Handle());
            if (onChar && IsLinkChar(s, k))
            {
                s->linkDown = k;
                if (SendLink(p, s, k, msg, wParam, lParam)) return 0;
            }
            s->dragging = true;
            ::SetCapture(p->Handle());
            s->SetSelection(k, k);
            RefreshWindow(p);
            return 0;
        }
        case WM_MOUSEMOVE:
        {
            CRichEditLayout::Ensure(p, s);
            bool onChar = false;
            long k = CRichEditLayout::HitChar(s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &onChar);
            if (s->dragging)
            {
                long a = s->anchor;
                s->SetSelection(a, k);
                s->anchor = a;
                RefreshWindow(p);
            }
            else if (onChar && IsLinkChar(s, k))
                SendLink(p, s, k, msg, wParam, lParam);
            return 0;
        }
        case WM_LBUTTONUP:
        {
            CRichEditLayout::Ensure(p, s);
            bool onChar = false;
            long k = CRichEditLayout::HitChar(s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &onChar);
            if (s->dragging)
            {
                s->dragging = false;
                ::ReleaseCapture();
            }
            if (onChar && IsLinkChar(s, k)) SendLink(p, s, k, msg, wParam, lParam);
            s->linkDown = -1;
            return 0;
        }
        case WM_SETCURSOR:
        {
            POINT pt{};
            ::GetCursorPos(&pt);
            ::ScreenToClient(p->Handle(), &pt);
            CRichEditLayout::Ensure(p, s);
            bool onChar = false;
            long k = CRichEditLayout::HitChar(s, pt.x, pt.y, &onChar);
            ::SetCursor(::LoadCursor(nullptr, onChar && IsLinkChar(s, k) ? IDC_HAND : IDC_IBEAM));
            return TRUE;
        }
        case WM_MOUSEWHEEL:
        {
            CRichEditLayout::Ensure(p, s);
            int w = 0, h = 0;
            if (p->pWx) p->pWx->GetClientSize(&w, &h);
            int total = s->lines.empty() ? 0 : s->lines.back().y + s->lines.back().height + CRichEditLayout::kMargin;
            s->scrollY -= (short)HIWORD(wParam) / 120 * 20;
            s->scrollY = std::max(0, std::min(s->scrollY, std::max(0, total - h)));
            RefreshWindow(p);
            return 0;
        }
        case WM_KEYDOWN:
            if (wxGetKeyState(WXK_CONTROL) && (wParam == 'A' || wParam == 'C'))
            {
                if (wParam == 'A') s->SetSelection(0, -1);
                else DefProc(p, WM_COPY, 0, 0);
                RefreshWindow(p);
                return 0;
            }
            break;
        case WM_SIZE:
            s->Invalidate();
            break;
        }
        return CWndClass::DefProc(p, msg, wParam, lParam);
    }

    CWnd* NewObject() const override { return new CRichEditCtrl; }
};
PARVEL_REGISTER_WNDCLASS(CRichEditClass);
}  // namespace

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(RICHEDIT_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

long CRichEditCtrl::GetTextLength() const { return (long)::SendMessage(m_hWnd, WM_GETTEXTLENGTH, 0, 0); }

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    CHARRANGE cr{(LONG)nStartChar, (LONG)nEndChar};
    ::SendMessage(m_hWnd, EM_EXSETSEL, 0, (LPARAM)&cr);
}

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
    CHARRANGE cr{0, 0};
    ::SendMessage(m_hWnd, EM_EXGETSEL, 0, (LPARAM)&cr);
    nStartChar = cr.cpMin;
    nEndChar = cr.cpMax;
}

void CRichEditCtrl::ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo)
{
    ::SendMessage(m_hWnd, EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)lpszNewText);
}

CString CRichEditCtrl::GetTextRange(long nFirst, long nLast) const
{
    long len = GetTextLength();
    std::vector<char> buf((size_t)std::max(0L, len) * 2 + 4);
    TEXTRANGE tr{{(LONG)nFirst, (LONG)nLast}, buf.data()};
    ::SendMessage(m_hWnd, EM_GETTEXTRANGE, 0, (LPARAM)&tr);
    return CString(buf.data());
}

CString CRichEditCtrl::GetSelText() const
{
    long a = 0, b = 0;
    GetSel(a, b);
    return GetTextRange(a, b);
}

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT2& cf) const
{
    cf.cbSize = sizeof cf;
    return (DWORD)::SendMessage(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetSelectionCharFormat(CHARFORMAT2& cf)
{
    cf.cbSize = sizeof cf;
    return (BOOL)::SendMessage(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetWordCharFormat(CHARFORMAT2& cf)
{
    cf.cbSize = sizeof(cf);
    return (BOOL)::SendMessage(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT2& cf)
{
    cf.cbSize = sizeof cf;
    return (BOOL)::SendMessage(m_hWnd, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
}

DWORD CRichEditCtrl::GetParaFormat(PARAFORMAT2& pf) const
{
    pf.cbSize = sizeof pf;
    return (DWORD)::SendMessage(m_hWnd, EM_GETPARAFORMAT, 0, (LPARAM)&pf);
}

BOOL CRichEditCtrl::SetParaFormat(PARAFORMAT2& pf)
{
    pf.cbSize = sizeof pf;
    return (BOOL)::SendMessage(m_hWnd, EM_SETPARAFORMAT, 0, (LPARAM)&pf);
}

long CRichEditCtrl::StreamIn(int nFormat, EDITSTREAM& es)
{
    return (long)::SendMessage(m_hWnd, EM_STREAMIN, (WPARAM)nFormat, (LPARAM)&es);
}

DWORD CRichEditCtrl::GetEventMask() const { return (DWORD)::SendMessage(m_hWnd, EM_GETEVENTMASK, 0, 0); }

DWORD CRichEditCtrl::SetEventMask(DWORD dwEventMask)
{
    return (DWORD)::SendMessage(m_hWnd, EM_SETEVENTMASK, 0, (LPARAM)dwEventMask);
}

void CRichEditCtrl::HideSelection(BOOL bHide, BOOL bPerm)
{
    ::SendMessage(m_hWnd, EM_HIDESELECTION, (WPARAM)bHide, (LPARAM)bPerm);
}

BOOL CRichEditCtrl::SetReadOnly(BOOL bReadOnly) { return (BOOL)::SendMessage(m_hWnd, EM_SETREADONLY, bReadOnly, 0); }

CPoint CRichEditCtrl::PosFromChar(UINT nChar) const
{
    POINT pt{-1, -1};
    ::SendMessage(m_hWnd, EM_POSFROMCHAR, (WPARAM)&pt, (LPARAM)nChar);
    return CPoint(pt.x, pt.y);
}

int CRichEditCtrl::CharFromPos(CPoint pt) const
{
    POINT p{pt.x, pt.y};
    return (int)::SendMessage(m_hWnd, EM_CHARFROMPOS, 0, (LPARAM)&p);
}

void CRichEditCtrl::Copy() { ::SendMessage(m_hWnd, WM_COPY, 0, 0); }
void CRichEditCtrl::Cut() { ::SendMessage(m_hWnd, WM_CUT, 0, 0); }
void CRichEditCtrl::Paste() { ::SendMessage(m_hWnd, WM_PASTE, 0, 0); }
void CRichEditCtrl::Clear() { ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
BOOL CRichEditCtrl::Undo() { return (BOOL)::SendMessage(m_hWnd, EM_UNDO, 0, 0); }

BOOL CRichEditCtrl::IsHiddenAt(long nChar) const
{
    long a = 0, b = 0;
    GetSel(a, b);
    CRichEditCtrl* self = const_cast<CRichEditCtrl*>(this);
    self->SetSel(nChar, nChar + 1);
    CHARFORMAT2 cf{};
    DWORD mask = GetSelectionCharFormat(cf);
    self->SetSel(a, b);
    return (mask & CFM_HIDDEN) && (cf.dwEffects & CFE_HIDDEN);
}
