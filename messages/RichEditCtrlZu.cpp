#include "RichEditCtrlZu.h"
#include "CFontDialog.h"

#include "Shell.h"

#include <cstring>

namespace {

// Hands the rich text over in pieces no larger than the buffer offered, then reports the end.
struct StreamSource
{
    const std::string* text;
    size_t pos;
};

DWORD CALLBACK ReadRtf(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb)
{
    StreamSource* src = reinterpret_cast<StreamSource*>(dwCookie);
    size_t left = src->text->size() - src->pos;
    size_t n = cb > 0 && left > (size_t)cb ? (size_t)cb : left;
    std::memcpy(pbBuff, src->text->data() + src->pos, n);
    src->pos += n;
    *pcb = (LONG)n;
    return 0;
}

// Text goes into the rich text as it is, except what the rich text reads as markup; bytes of
// the code page above ASCII are written as \'hh, so that a trail byte never reads as a "\", "{"
// or "}".
void AppendEscaped(std::string& rtf, const char* text)
{
    static const char hex[] = "0123456789abcdef";
    for (const unsigned char* p = (const unsigned char*)(text ? text : ""); *p; ++p) {
        if (*p == '\\' || *p == '{' || *p == '}') {
            rtf += '\\';
            rtf += (char)*p;
        } else if (*p >= 0x80) {
            rtf += "\\'";
            rtf += hex[*p >> 4];
            rtf += hex[*p & 15];
        } else {
            rtf += (char)*p;
        }
    }
}

// "scheme://..." or "mailto:...", the scheme made of letters, digits, "+", "-" and ".".
bool IsAddress(const CString& target)
{
    const char* t = target;
    if (std::strncmp(t, "mailto:", 7) == 0)
        return t[7] != 0;
    const char* colon = std::strstr(t, "://");
    if (!colon || colon == t || !colon[3])
        return false;
    for (const char* p = t; p < colon; ++p)
        if (!isalnum((unsigned char)*p) && *p != '+' && *p != '-' && *p != '.')
            return false;
    return true;
}

} // namespace

BEGIN_MESSAGE_MAP(CRichEditCtrlZu, CRichEditCtrl)
    ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

void CRichEditCtrlZu::AppendText(LPCSTR text, COLORREF color, int step, BOOL bLink, LPCSTR face)
{
    CHARFORMAT2 cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_SIZE | CFM_FACE | CFM_COLOR;
    cf.crTextColor = color;
    cf.yHeight = 180 + 20 * step;
    std::strncpy(cf.szFaceName, face ? face : "\313\316\314\345" /* 宋体 */, sizeof(cf.szFaceName) - 1);
    if (bLink) {
        cf.dwMask |= CFM_LINK;
        cf.dwEffects |= CFE_LINK;
    }
    long len = GetTextLength();
    SetSel(len, len);
    SetSelectionCharFormat(cf);
    ReplaceSel(text ? text : "");
    len = GetTextLength();
    SetSel(len, len);
    HideSelection(FALSE, FALSE);
    SendMessage(EM_SCROLLCARET);
}

std::string CRichEditCtrlZu::LinkRtf(LPCSTR visible, LPCSTR hidden)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936 ";
    AppendEscaped(rtf, visible);
    rtf += "\\v#";
    AppendEscaped(rtf, hidden);
    rtf += "#";
    AppendEscaped(rtf, hidden);
    rtf += "\\v0}";
    return rtf;
}

void CRichEditCtrlZu::AppendLink(LPCSTR visible, LPCSTR hidden)
{
    std::string rtf = LinkRtf(visible, hidden);
    long start = 0, end = 0;
    GetSel(start, end);
    StreamSource src{&rtf, 0};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
    es.pfnCallback = &ReadRtf;
    StreamIn((936 << 16) | SF_USECODEPAGE | SF_RTF | SFF_SELECTION, es);
    long dummy = 0;
    GetSel(dummy, end);
    SetSel(start, end);
    CHARFORMAT2 cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_SIZE | CFM_FACE | CFM_COLOR | CFM_LINK;
    cf.yHeight = 220;
    cf.crTextColor = 0;
    cf.szFaceName[0] = 0;
    cf.dwEffects = CFE_LINK;
    SetSelectionCharFormat(cf);
}

int CRichEditCtrlZu::EffectState(DWORD dwMask, DWORD dwEffect)
{
    CHARFORMAT2 cf{};
    cf.cbSize = sizeof(cf);
    GetSelectionCharFormat(cf);
    if (!(cf.dwMask & dwMask))
        return -1;
    return (cf.dwEffects & dwEffect) ? 1 : 0;
}

void CRichEditCtrlZu::ToggleEffect(DWORD dwMask, DWORD dwEffect)
{
    int state = EffectState(dwMask, dwEffect);
    CHARFORMAT2 cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = dwMask;
    cf.dwEffects = state == 1 ? 0 : dwEffect;
    SetSelectionCharFormat(cf);
}

int CRichEditCtrlZu::IsBold() { return EffectState(CFM_BOLD, CFE_BOLD); }
int CRichEditCtrlZu::IsLink() { return EffectState(CFM_LINK, CFE_LINK); }
void CRichEditCtrlZu::ToggleBold() { ToggleEffect(CFM_BOLD, CFE_BOLD); }
void CRichEditCtrlZu::ToggleLink() { ToggleEffect(CFM_LINK, CFE_LINK); }

void CRichEditCtrlZu::SetAlignment(WORD wAlign)
{
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof(pf);
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = wAlign;
    SetParaFormat(pf);
}

void CRichEditCtrlZu::AlignLeft() { SetAlignment(PFA_LEFT); }
void CRichEditCtrlZu::AlignCenter() { SetAlignment(PFA_CENTER); }

CString CRichEditCtrlZu::GetLinkTarget(const CHARRANGE& chrg)
{
    // Only the hidden tail of the range is read, so a "#" in the visible text cannot move the
    // target.
    long hiddenStart = chrg.cpMax;
    while (hiddenStart > chrg.cpMin && IsHiddenAt(hiddenStart - 1))
        --hiddenStart;
    CString hidden = GetTextRange(hiddenStart, chrg.cpMax);
    int first = hidden.Find('#');
    if (first < 0)
        return CString();
    int next = hidden.Find('#', first + 1);
    if (next < 0)
        return CString();
    return hidden.Mid(first + 1, next - first - 1);
}

BOOL CRichEditCtrlZu::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_NOTIFY) {
        NMHDR* pHdr = reinterpret_cast<NMHDR*>(lParam);
        if (pHdr && pHdr->code == EN_LINK)
            return OnLinkReflect(reinterpret_cast<ENLINK*>(lParam), pResult);
    }
    return CRichEditCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CRichEditCtrlZu::OnLinkReflect(ENLINK* pLink, LRESULT* pResult)
{
    if (pLink->msg == WM_LBUTTONDOWN) {
        CString target = GetLinkTarget(pLink->chrg);
        // Only an address goes to the shell: the history dialog's targets are row numbers, and a
        // bare word would start whatever program bears that name.
        if (IsAddress(target)) {
            HCURSOR hOld = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            ::ShellExecute(m_hWnd, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
            ::SetCursor(hOld);
        }
        *pResult = 1;
    } else if (pLink->msg == WM_LBUTTONUP) {
        *pResult = 1;
    }
    return FALSE;  // the parent hears of the click too
}

void CRichEditCtrlZu::OnRButtonUp(UINT nFlags, CPoint point)
{
    SetFocus();
    CMenu menu;
    if (menu.CreatePopupMenu()) {
        long start = 0, end = 0;
        GetSel(start, end);
        menu.AppendMenu(MF_STRING | MF_GRAYED, ID_RICH_UNDO, "&Undo");
        menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
        menu.AppendMenu(MF_STRING | MF_GRAYED, ID_RICH_CUT, "&Cut");
        menu.AppendMenu(MF_STRING | (start != end ? MF_ENABLED : MF_GRAYED), ID_RICH_COPY, "C&opy");
        menu.AppendMenu(MF_STRING | MF_GRAYED, ID_RICH_PASTE, "&Paste");
        menu.AppendMenu(MF_STRING | MF_GRAYED, ID_RICH_CLEAR, "C&lear");
        menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
        menu.AppendMenu(MF_STRING | MF_ENABLED, ID_RICH_SELECTALL, "Select &All");
        menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
        menu.AppendMenu(MF_STRING | MF_GRAYED, ID_RICH_SETFONT, "Select &Font");
        CPoint pt = point;
        ClientToScreen(&pt);
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
    }
    CRichEditCtrl::OnRButtonUp(nFlags, point);
}

BOOL CRichEditCtrlZu::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_RICH_UNDO: Undo(); return TRUE;
    case ID_RICH_CUT: Cut(); return TRUE;
    case ID_RICH_COPY: Copy(); return TRUE;
    case ID_RICH_PASTE: Paste(); return TRUE;
    case ID_RICH_CLEAR: Clear(); return TRUE;
    case ID_RICH_SELECTALL: SetSel(0, -1); return TRUE;
    case ID_RICH_SETFONT: OnSelectFont(); return TRUE;
    default: return CRichEditCtrl::OnCommand(wParam, lParam);
    }
}

void CRichEditCtrlZu::OnSelectFont()
{
    CHARFORMAT2 cf{};
    cf.cbSize = sizeof(cf);
    GetSelectionCharFormat(cf);
    CFontDialog dlg(cf, CF_SCREENFONTS | CF_EFFECTS, this);
    if (dlg.DoModal() != IDOK)
        return;
    dlg.GetCharFormat(cf);
    // Nothing selected: the word at the caret takes the font.
    SetWordCharFormat(cf);
}
