// The rich edit window class: a document of formatted characters and paragraphs, laid out and
// drawn by the control, with mouse selection and link notifications. CRichEditCtrl over its
// messages.
#include <wx/wx.h>
#include <wx/clipbrd.h>
#include <algorithm>
#include <cstring>
#include "WndClass.h"
#include "CRichEditCtrl.h"
#include "GdiImpl.h"

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

namespace
{
struct RichFormat
{
    DWORD effects = CFE_AUTOCOLOR;  // CFE_*
    COLORREF color = 0;
    LONG height = 200;              // twips
    std::string face;               // GBK; empty: the control's font
    bool operator==(const RichFormat& o) const
    {
        return effects == o.effects && color == o.color && height == o.height && face == o.face;
    }
};

struct RichChar
{
    char b[2] = {0, 0};
    unsigned char n = 1;  // bytes: 1 or 2 (GBK)
    int fmt = 0;
    bool IsBreak() const { return n == 1 && b[0] == '\r'; }
};

// One laid-out line: the characters [first, last) of a paragraph, their x positions.
struct Line
{
    long first = 0;
    long last = 0;
    int y = 0;
    int height = 0;
    int ascent = 0;
    std::vector<int> xs;  // left edge per character of the line; hidden characters repeat it
    int right = 0;
};

struct CRichEditState : CWndState
{
    std::vector<RichChar> chars;
    std::vector<RichFormat> formats{RichFormat{}};
    std::vector<WORD> paraAlign{PFA_LEFT};  // one per paragraph
    long selMin = 0, selMax = 0;
    long anchor = 0;
    RichFormat insert;     // format of text typed or inserted at an empty selection
    DWORD eventMask = 0;
    bool hideSel = false;
    bool dragging = false;
    int scrollY = 0;
    std::vector<Line> lines;
    bool layoutValid = false;
    int layoutWidth = -1;
    long linkDown = -1;    // character of the link the left button went down on

    long Length() const { return (long)chars.size(); }
    int Intern(const RichFormat& f)
    {
        for (size_t i = 0; i < formats.size(); ++i)
            if (formats[i] == f) return (int)i;
        formats.push_back(f);
        return (int)formats.size() - 1;
    }
    int ParaOf(long pos) const
    {
        int n = 0;
        for (long i = 0; i < pos && i < Length(); ++i)
            if (chars[(size_t)i].IsBreak()) ++n;
        return n;
    }
    // The format text inserted at the caret takes: the character before it (else after it).
    RichFormat FormatAt(long pos) const
    {
        if (chars.empty()) return insert;
        long i = pos > 0 ? pos - 1 : 0;
        if (i >= Length()) i = Length() - 1;
        return formats[(size_t)chars[(size_t)i].fmt];
    }
    void Invalidate() { layoutValid = false; }
};

// Splits GBK text into characters; "\r\n" and a lone "\n" become one "\r".
void AppendChars(std::vector<RichChar>& out, const char* text, size_t len, int fmt)
{
    for (size_t i = 0; i < len; ++i)
    {
        unsigned char c = (unsigned char)text[i];
        RichChar ch;
        ch.fmt = fmt;
        if (c == '\r' || c == '\n')
        {
            if (c == '\r' && i + 1 < len && text[i + 1] == '\n') ++i;
            ch.b[0] = '\r';
        }
        else if (c >= 0x81 && c <= 0xFE && i + 1 < len)
        {
            ch.b[0] = (char)c;
            ch.b[1] = text[++i];
            ch.n = 2;
        }
        else
            ch.b[0] = (char)c;
        out.push_back(ch);
    }
}

std::string TextOf(const CRichEditState* s, long first, long last, bool bCrLf)
{
    std::string t;
    first = std::max(0L, first);
    last = std::min(s->Length(), last);
    for (long i = first; i < last; ++i)
    {
        const RichChar& c = s->chars[(size_t)i];
        if (c.IsBreak() && bCrLf) t += "\r\n";
        else t.append(c.b, c.n);
    }
    return t;
}

// Replaces the selection with the given characters; the caret goes after them.
void ReplaceSelection(CRichEditState* s, std::vector<RichChar> ins)
{
    long a = s->selMin, b = s->selMax;
    int para = s->ParaOf(a);
    // Removed breaks merge paragraphs into the first one.
    int removedBreaks = 0;
    for (long i = a; i < b; ++i)
        if (s->chars[(size_t)i].IsBreak()) ++removedBreaks;
    s->paraAlign.erase(s->paraAlign.begin() + para + 1, s->paraAlign.begin() + para + 1 + removedBreaks);
    s->chars.erase(s->chars.begin() + a, s->chars.begin() + b);
    // Inserted breaks start paragraphs that take the split one's alignment.
    int addedBreaks = 0;
    for (const RichChar& c : ins)
        if (c.IsBreak()) ++addedBreaks;
    s->paraAlign.insert(s->paraAlign.begin() + para + 1, (size_t)addedBreaks, s->paraAlign[(size_t)para]);
    s->chars.insert(s->chars.begin() + a, ins.begin(), ins.end());
    s->selMin = s->selMax = s->anchor = a + (long)ins.size();
    s->Invalidate();
}

void SetSelection(CRichEditState* s, long a, long b)
{
    long len = s->Length();
    if (a == 0 && b == -1)
    {
        a = 0;
        b = len;
    }
    else if (a < 0)
        a = b = s->selMax;  // no selection; the caret stays where the selection ended
    if (b < 0 || b > len) b = len;
    if (a > len) a = len;
    long selMin = std::min(a, b), selMax = std::max(a, b);
    // The format set at the caret lasts until the selection really moves.
    bool bMoved = selMin != s->selMin || selMax != s->selMax;
    s->anchor = a;
    s->selMin = selMin;
    s->selMax = selMax;
    if (bMoved && selMin == selMax) s->insert = s->FormatAt(selMin);
}

void ApplyFormat(RichFormat& f, const CHARFORMAT2& cf)
{
    const DWORD effectMasks = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK |
                              CFM_HIDDEN;
    DWORD m = cf.dwMask & effectMasks;
    f.effects = (f.effects & ~m) | (cf.dwEffects & m);
    if (cf.dwMask & CFM_COLOR)
    {
        f.effects = (f.effects & ~CFE_AUTOCOLOR) | (cf.dwEffects & CFE_AUTOCOLOR);
        f.color = cf.crTextColor & 0xFFFFFF;
    }
    if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0) f.height = cf.yHeight;
    // An empty face leaves each character's face.
    if ((cf.dwMask & CFM_FACE) && cf.szFaceName[0])
        f.face.assign(cf.szFaceName, strnlen(cf.szFaceName, sizeof cf.szFaceName));
}

void FillCharFormat(CHARFORMAT2& cf, const RichFormat& f, DWORD mask)
{
    cf.dwMask = mask;
    cf.dwEffects = f.effects;
    cf.crTextColor = f.color;
    cf.yHeight = f.height;
    std::memset(cf.szFaceName, 0, sizeof cf.szFaceName);
    std::strncpy(cf.szFaceName, f.face.c_str(), sizeof cf.szFaceName - 1);
}

DWORD GetCharFormat(CRichEditState* s, CHARFORMAT2* cf)
{
    const DWORD all = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK | CFM_HIDDEN |
                      CFM_SIZE | CFM_COLOR | CFM_FACE;
    if (s->selMin == s->selMax)
    {
        FillCharFormat(*cf, s->insert, all);
        return all;
    }
    const RichFormat& f0 = s->formats[(size_t)s->chars[(size_t)s->selMin].fmt];
    DWORD mask = all;
    for (long i = s->selMin + 1; i < s->selMax; ++i)
    {
        const RichFormat& f = s->formats[(size_t)s->chars[(size_t)i].fmt];
        DWORD diff = (f.effects ^ f0.effects) & (all & 0xFFFF);
        mask &= ~diff;
        if (f.height != f0.height) mask &= ~CFM_SIZE;
        if (f.color != f0.color || ((f.effects ^ f0.effects) & CFE_AUTOCOLOR)) mask &= ~CFM_COLOR;
        if (f.face != f0.face) mask &= ~CFM_FACE;
    }
    FillCharFormat(*cf, f0, mask);
    return mask;
}

// --- The rich text subset ---

struct RtfRun
{
    std::vector<RichChar> chars;
};

std::vector<RichChar> ParseRtf(CRichEditState* s, const std::string& rtf, const RichFormat& base)
{
    struct Group
    {
        RichFormat fmt;
        bool skip = false;
    };
    std::vector<Group> stack{Group{base, false}};
    std::vector<RichChar> out;
    int lead = -1;  // a lead byte waiting for its trail
    size_t skipAnsi = 0;
    auto emitByte = [&](unsigned char c) {
        if (stack.back().skip) return;
        if (skipAnsi)
        {
            --skipAnsi;
            return;
        }
        RichChar ch;
        ch.fmt = s->Intern(stack.back().fmt);
        if (lead >= 0)
        {
            ch.b[0] = (char)lead;
            ch.b[1] = (char)c;
            ch.n = 2;
            lead = -1;
            out.push_back(ch);
            return;
        }
        if (c >= 0x81 && c <= 0xFE)
        {
            lead = c;
            return;
        }
        ch.b[0] = (char)c;
        out.push_back(ch);
    };
    size_t i = 0, n = rtf.size();
    while (i < n)
    {
        unsigned char c = (unsigned char)rtf[i];
        if (lead >= 0 && c != '\\')
        {
            emitByte(c);  // a raw trail byte, whatever it looks like
            ++i;
            continue;
        }
        if (c == '{')
        {
            stack.push_back(stack.back());
            ++i;
        }
        else if (c == '}')
        {
            if (stack.size() > 1) stack.pop_back();
            ++i;
        }
        else if (c == '\r' || c == '\n')
            ++i;
        else if (c != '\\')
        {
            emitByte(c);
            ++i;
        }
        else
        {
            ++i;
            if (i >= n) break;
            unsigned char d = (unsigned char)rtf[i];
            if (d == '\\' || d == '{' || d == '}')
            {
                emitByte(d);
                ++i;
            }
            else if (d == '\'')
            {
                int v = 0;
                if (i + 2 < n + 0 && isxdigit((unsigned char)rtf[i + 1]) && isxdigit((unsigned char)rtf[i + 2]))
                {
                    v = (int)strtol(rtf.substr(i + 1, 2).c_str(), nullptr, 16);
                    emitByte((unsigned char)v);
                }
                i += 3;
            }
            else if (d == '*')
            {
                stack.back().skip = true;
                ++i;
            }
            else if (d == '~')
            {
                emitByte(' ');
                ++i;
            }
            else if (d == '_')
            {
                emitByte('-');
                ++i;
            }
            else if (d == '\r' || d == '\n')
            {
                emitByte('\r');
                ++i;
            }
            else if (isalpha(d))
            {
                size_t w = i;
                while (i < n && isalpha((unsigned char)rtf[i])) ++i;
                std::string word = rtf.substr(w, i - w);
                bool hasParam = false;
                long param = 0;
                size_t p = i;
                if (p < n && (rtf[p] == '-' || isdigit((unsigned char)rtf[p])))
                {
                    char* end = nullptr;
                    param = strtol(rtf.c_str() + p, &end, 10);
                    hasParam = true;
                    i = (size_t)(end - rtf.c_str());
                }
                if (i < n && rtf[i] == ' ') ++i;  // the delimiter belongs to the word
                bool on = !hasParam || param != 0;
                RichFormat& f = stack.back().fmt;
                if (word == "v") f.effects = on ? f.effects | CFE_HIDDEN : f.effects & ~CFE_HIDDEN;
                else if (word == "b") f.effects = on ? f.effects | CFE_BOLD : f.effects & ~CFE_BOLD;
                else if (word == "i") f.effects = on ? f.effects | CFE_ITALIC : f.effects & ~CFE_ITALIC;
                else if (word == "ul") f.effects = on ? f.effects | CFE_UNDERLINE : f.effects & ~CFE_UNDERLINE;
                else if (word == "ulnone") f.effects &= ~CFE_UNDERLINE;
                else if (word == "plain") f = base;
                else if (word == "par" || word == "line") emitByte('\r');
                else if (word == "tab") emitByte('\t');
                else if (word == "u" && hasParam)
                {
                    // A Unicode character, in the code page; its ANSI fallback follows.
                    wchar_t wc = (wchar_t)(param < 0 ? param + 65536 : param);
                    wxString ws(wc);
                    wxCharBuffer gbk = ws.mb_str(wxCSConv("GBK"));
                    if (gbk.data())
                        for (const char* q = gbk.data(); *q; ++q) emitByte((unsigned char)*q);
                    skipAnsi = 1;
                }
                else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
                         word == "pict" || word == "header" || word == "footer")
                    stack.back().skip = true;
            }
            else
                ++i;  // other control symbols carry nothing shown here
        }
    }
    return out;
}

// --- Layout and drawing ---

wxFont FontOf(const RichFormat& f, const wxFont& controlFont)
{
    wxFont font = controlFont.IsOk() ? controlFont : *wxNORMAL_FONT;
    if (!f.face.empty())
        font.SetFaceName(wxString::FromUTF8(gdi::FamilyForFace(f.face.c_str())));
    font.SetFractionalPointSize(f.height / 20.0);
    font.SetWeight((f.effects & CFE_BOLD) ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    font.SetStyle((f.effects & CFE_ITALIC) ? wxFONTSTYLE_ITALIC : wxFONTSTYLE_NORMAL);
    font.SetUnderlined((f.effects & (CFE_UNDERLINE | CFE_LINK)) != 0);
    return font;
}

const int kMargin = 2;

void Layout(WndRecord* p, CRichEditState* s, wxDC& dc, int width)
{
    s->lines.clear();
    wxFont controlFont = FontOfRecord(p);
    std::vector<wxFont> fonts;
    for (const RichFormat& f : s->formats) fonts.push_back(FontOf(f, controlFont));
    int y = kMargin;
    int avail = std::max(1, width - 2 * kMargin);
    long i = 0, len = s->Length();
    int para = 0;
    while (true)
    {
        long pend = i;
        while (pend < len && !s->chars[(size_t)pend].IsBreak()) ++pend;
        // Lines of the paragraph [i, pend).
        long lineStart = i;
        do
        {
            Line line;
            line.first = lineStart;
            int x = 0;
            int height = 0, ascent = 0;
            long k = lineStart, lastSpace = -1;
            std::vector<int> xs;
            while (k < pend)
            {
                const RichChar& c = s->chars[(size_t)k];
                const RichFormat& f = s->formats[(size_t)c.fmt];
                int w = 0;
                if (!(f.effects & CFE_HIDDEN))
                {
                    dc.SetFont(fonts[(size_t)c.fmt]);
                    wxCoord cw = 0, ch = 0, descent = 0;
                    wxString t = WxFromGbk(std::string(c.b, c.n));
                    if (c.b[0] == '\t') t = "    ";
                    dc.GetTextExtent(t, &cw, &ch, &descent);
                    w = cw;
                    if (x + w > avail && k > lineStart)
                    {
                        // Wrap: after the last blank when the line has one, else before this character.
                        if (lastSpace >= lineStart && c.b[0] != ' ')
                        {
                            xs.resize((size_t)(lastSpace + 1 - lineStart));
                            k = lastSpace + 1;
                        }
                        break;
                    }
                    height = std::max(height, (int)ch);
                    ascent = std::max(ascent, (int)(ch - descent));
                    if (c.b[0] == ' ') lastSpace = k;
                }
                xs.push_back(x);
                x += w;
                ++k;
            }
            if (height == 0)
            {
                dc.SetFont(FontOf(k < len ? s->formats[(size_t)s->chars[(size_t)std::min(k, len - 1)].fmt] : s->insert,
                                  controlFont));
                wxCoord cw = 0, ch = 0, descent = 0;
                dc.GetTextExtent("Ag", &cw, &ch, &descent);
                height = ch;
                ascent = ch - descent;
            }
            line.last = lineStart + (long)xs.size();
            int lineWidth = 0;
            for (long q = line.first; q < line.last; ++q)
            {
                const RichChar& c = s->chars[(size_t)q];
                if (s->formats[(size_t)c.fmt].effects & CFE_HIDDEN) continue;
                dc.SetFont(fonts[(size_t)c.fmt]);
                wxString t = c.b[0] == '\t' ? wxString("    ") : WxFromGbk(std::string(c.b, c.n));
                lineWidth = xs[(size_t)(q - line.first)] + dc.GetTextExtent(t).x;
            }
            WORD align = s->paraAlign[(size_t)std::min<size_t>((size_t)para, s->paraAlign.size() - 1)];
            int x0 = kMargin;
            if (align == PFA_CENTER) x0 += (avail - lineWidth) / 2;
            else if (align == PFA_RIGHT) x0 += avail - lineWidth;
            for (int& v : xs) v += x0;
            line.xs = xs;
            line.right = x0 + lineWidth;
            line.y = y;
            line.height = height;
            line.ascent = ascent;
            y += height;
            s->lines.push_back(line);
            lineStart = line.last == lineStart ? lineStart + 1 : line.last;
        } while (lineStart < pend);
        if (pend >= len) break;
        i = pend + 1;  // past the break
        ++para;
    }
    s->layoutValid = true;
    s->layoutWidth = width;
}

void EnsureLayout(WndRecord* p, CRichEditState* s)
{
    int w = 0, h = 0;
    if (p->pWx) p->pWx->GetClientSize(&w, &h);
    if (s->layoutValid && s->layoutWidth == w) return;
    if (!p->pWx) return;
    wxClientDC dc(p->pWx);
    Layout(p, s, dc, w);
}

// The character position nearest to a client point.
long HitChar(CRichEditState* s, int x, int y, bool* pOnChar = nullptr)
{
    if (pOnChar) *pOnChar = false;
    if (s->lines.empty()) return 0;
    y += s->scrollY;
    const Line* line = &s->lines.back();
    for (const Line& l : s->lines)
        if (y < l.y + l.height)
        {
            line = &l;
            break;
        }
    for (long k = line->first; k < line->last; ++k)
    {
        size_t idx = (size_t)(k - line->first);
        int left = line->xs[idx];
        int right = idx + 1 < line->xs.size() ? line->xs[idx + 1] : line->right;
        if (right <= left) continue;  // hidden
        if (x < right)
        {
            if (pOnChar) *pOnChar = x >= left && y >= line->y && y < line->y + line->height;
            return k;
        }
    }
    return line->last;
}

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

void ScrollCaretIntoView(WndRecord* p, CRichEditState* s)
{
    EnsureLayout(p, s);
    if (!p->pWx) return;
    int w = 0, h = 0;
    p->pWx->GetClientSize(&w, &h);
    for (const Line& l : s->lines)
    {
        if (s->selMax >= l.first && s->selMax <= l.last)
        {
            if (l.y + l.height - s->scrollY > h) s->scrollY = l.y + l.height - h;
            if (l.y - s->scrollY < 0) s->scrollY = l.y;
            break;
        }
    }
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

    void Paint(WndRecord* p, wxDC& dc) const override
    {
        CRichEditState* s = StateOf<CRichEditState>(p);
        int w = 0, h = 0;
        p->pWx->GetClientSize(&w, &h);
        if (!s->layoutValid || s->layoutWidth != w) Layout(p, s, dc, w);
        dc.SetBackground(wxBrush(wxColour(255, 255, 255)));
        dc.Clear();
        wxFont controlFont = FontOfRecord(p);
        bool showSel = !s->hideSel || (p->dwStyle & ES_NOHIDESEL);
        for (const Line& l : s->lines)
        {
            int ly = l.y - s->scrollY;
            if (ly + l.height < 0 || ly > h) continue;
            for (long k = l.first; k < l.last; ++k)
            {
                const RichChar& c = s->chars[(size_t)k];
                const RichFormat& f = s->formats[(size_t)c.fmt];
                if (f.effects & CFE_HIDDEN) continue;
                size_t idx = (size_t)(k - l.first);
                int x = l.xs[idx];
                int right = idx + 1 < l.xs.size() ? l.xs[idx + 1] : l.right;
                wxFont font = FontOf(f, controlFont);
                dc.SetFont(font);
                bool selected = showSel && k >= s->selMin && k < s->selMax;
                wxColour fg = (f.effects & CFE_LINK) ? wxColour(0, 0, 255)
                              : (f.effects & CFE_AUTOCOLOR) ? wxColour(0, 0, 0)
                                                            : wxColour(GetRValue(f.color), GetGValue(f.color),
                                                                       GetBValue(f.color));
                if (selected)
                {
                    dc.SetBrush(wxBrush(wxColour(51, 153, 255)));
                    dc.SetPen(*wxTRANSPARENT_PEN);
                    dc.DrawRectangle(x, ly, right - x, l.height);
                    fg = *wxWHITE;
                }
                dc.SetTextForeground(fg);
                wxCoord cw = 0, ch = 0, descent = 0;
                wxString t = c.b[0] == '\t' ? wxString(" ") : WxFromGbk(std::string(c.b, c.n));
                dc.GetTextExtent(t, &cw, &ch, &descent);
                dc.DrawText(t, x, ly + l.ascent - (ch - descent));
            }
        }
    }

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
            AppendChars(ins, t ? t : "", t ? strlen(t) : 0, s->Intern(s->FormatAt(0)));
            ReplaceSelection(s, ins);
            SetSelection(s, 0, 0);
            RefreshWindow(p);
            return TRUE;
        }
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            if (msg == WM_GETTEXTLENGTH) return s->Length();
            return CopyWindowText(TextOf(s, 0, s->Length(), true), msg, wParam, lParam);
        case EM_GETSEL:
            if (wParam) *(DWORD*)wParam = (DWORD)s->selMin;
            if (lParam) *(DWORD*)lParam = (DWORD)s->selMax;
            return MAKELONG(std::min(s->selMin, 0xFFFFL), std::min(s->selMax, 0xFFFFL));
        case EM_EXGETSEL:
            if (lParam) *(CHARRANGE*)lParam = CHARRANGE{(LONG)s->selMin, (LONG)s->selMax};
            return 0;
        case EM_SETSEL:
            SetSelection(s, (long)(int)wParam, (long)(int)lParam);
            RefreshWindow(p);
            return 0;
        case EM_EXSETSEL:
            if (lParam) SetSelection(s, ((CHARRANGE*)lParam)->cpMin, ((CHARRANGE*)lParam)->cpMax);
            RefreshWindow(p);
            return s->selMax;
        case EM_REPLACESEL:
        {
            const char* t = (const char*)lParam;
            RichFormat f = s->selMin == s->selMax ? s->insert : s->formats[(size_t)s->chars[(size_t)s->selMin].fmt];
            std::vector<RichChar> ins;
            AppendChars(ins, t ? t : "", t ? strlen(t) : 0, s->Intern(f));
            ReplaceSelection(s, ins);
            s->insert = f;
            RefreshWindow(p);
            return 0;
        }
        case EM_GETSELTEXT:
        {
            std::string t = TextOf(s, s->selMin, s->selMax, false);
            if (lParam) memcpy((char*)lParam, t.c_str(), t.size() + 1);
            return (LRESULT)t.size();
        }
        case EM_GETTEXTRANGE:
        {
            TEXTRANGE* tr = (TEXTRANGE*)lParam;
            if (!tr || !tr->lpstrText) return 0;
            long last = tr->chrg.cpMax < 0 ? s->Length() : tr->chrg.cpMax;
            std::string t = TextOf(s, tr->chrg.cpMin, last, false);
            memcpy(tr->lpstrText, t.c_str(), t.size() + 1);
            return (LRESULT)t.size();
        }
        case EM_SETCHARFORMAT:
        {
            const CHARFORMAT2* cf = (const CHARFORMAT2*)lParam;
            if (!cf) return FALSE;
            if (wParam & SCF_ALL)
            {
                for (RichChar& c : s->chars)
                {
                    RichFormat f = s->formats[(size_t)c.fmt];
                    ApplyFormat(f, *cf);
                    c.fmt = s->Intern(f);
                }
                ApplyFormat(s->insert, *cf);
            }
            else if (wParam & SCF_SELECTION)
            {
                if (s->selMin == s->selMax) ApplyFormat(s->insert, *cf);
                for (long i = s->selMin; i < s->selMax; ++i)
                {
                    RichFormat f = s->formats[(size_t)s->chars[(size_t)i].fmt];
                    ApplyFormat(f, *cf);
                    s->chars[(size_t)i].fmt = s->Intern(f);
                }
            }
            else
            {
                ApplyFormat(s->formats[0], *cf);  // the default format
                if (s->chars.empty()) s->insert = s->formats[0];
            }
            s->Invalidate();
            RefreshWindow(p);
            return TRUE;
        }
        case EM_GETCHARFORMAT:
        {
            CHARFORMAT2* cf = (CHARFORMAT2*)lParam;
            if (!cf) return 0;
            if (wParam & SCF_SELECTION) return (LRESULT)GetCharFormat(s, cf);
            FillCharFormat(*cf, s->formats[0], 0xFFFFFFFF);
            return (LRESULT)cf->dwMask;
        }
        case EM_SETPARAFORMAT:
        {
            const PARAFORMAT2* pf = (const PARAFORMAT2*)lParam;
            if (!pf || !(pf->dwMask & PFM_ALIGNMENT)) return pf != nullptr;
            int a = s->ParaOf(s->selMin), b = s->ParaOf(s->selMax);
            for (int i = a; i <= b && i < (int)s->paraAlign.size(); ++i) s->paraAlign[(size_t)i] = pf->wAlignment;
            s->Invalidate();
            RefreshWindow(p);
            return TRUE;
        }
        case EM_GETPARAFORMAT:
        {
            PARAFORMAT2* pf = (PARAFORMAT2*)lParam;
            if (!pf) return 0;
            int a = s->ParaOf(s->selMin), b = s->ParaOf(s->selMax);
            pf->dwMask = PFM_ALIGNMENT;
            pf->wAlignment = s->paraAlign[(size_t)a];
            for (int i = a + 1; i <= b && i < (int)s->paraAlign.size(); ++i)
                if (s->paraAlign[(size_t)i] != pf->wAlignment) pf->dwMask = 0;
            return (LRESULT)pf->dwMask;
        }
        case EM_STREAMIN:
        {
            EDITSTREAM* es = (EDITSTREAM*)lParam;
            if (!es || !es->pfnCallback) return 0;
            std::string data;
            BYTE buf[4096];
            for (;;)
            {
                LONG got = 0;
                es->dwError = es->pfnCallback(es->dwCookie, buf, (LONG)sizeof buf, &got);
                if (es->dwError || got <= 0) break;
                data.append((const char*)buf, (size_t)got);
            }
            if (!(wParam & SFF_SELECTION)) SetSelection(s, 0, -1);
            std::vector<RichChar> ins;
            // Rich text brings its own formatting, starting from the control's default; plain text
            // takes the format at the selection.
            if ((wParam & SF_RTF) && data.compare(0, 5, "{\\rtf") == 0)
                ins = ParseRtf(s, data, s->formats[0]);
            else
                AppendChars(ins, data.data(), data.size(),
                            s->Intern(s->selMin == s->selMax ? s->insert
                                                             : s->formats[(size_t)s->chars[(size_t)s->selMin].fmt]));
            ReplaceSelection(s, ins);
            RefreshWindow(p);
            return (LRESULT)data.size();
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
            ScrollCaretIntoView(p, s);
            RefreshWindow(p);
            return 0;
        case EM_SETREADONLY:
            p->dwStyle = wParam ? (p->dwStyle | ES_READONLY) : (p->dwStyle & ~ES_READONLY);
            return TRUE;
        case EM_POSFROMCHAR:
        {
            EnsureLayout(p, s);
            long k = (long)lParam;
            for (const Line& l : s->lines)
                if (k >= l.first && k < l.last)
                {
                    if (wParam) ((POINT*)wParam)->x = l.xs[(size_t)(k - l.first)], ((POINT*)wParam)->y = l.y - s->scrollY;
                    return 0;
                }
            return -1;
        }
        case EM_CHARFROMPOS:
        {
            EnsureLayout(p, s);
            const POINT* pt = (const POINT*)lParam;
            return pt ? HitChar(s, pt->x, pt->y) : 0;
        }
        case WM_COPY:
            if (s->selMin < s->selMax && wxTheClipboard->Open())
            {
                wxTheClipboard->SetData(new wxTextDataObject(WxFromGbk(TextOf(s, s->selMin, s->selMax, true))));
                wxTheClipboard->Close();
            }
            return 0;
        case WM_CUT:
            if (p->dwStyle & ES_READONLY) return 0;
            DefProc(p, WM_COPY, 0, 0);
            ReplaceSelection(s, {});
            RefreshWindow(p);
            return 0;
        case WM_CLEAR:
            if (p->dwStyle & ES_READONLY) return 0;
            ReplaceSelection(s, {});
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
                    AppendChars(ins, t.data(), t.size(), s->Intern(s->insert));
                    ReplaceSelection(s, ins);
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
            EnsureLayout(p, s);
            bool onChar = false;
            long k = HitChar(s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &onChar);
            ::SetFocus(p->Handle());
            if (onChar && IsLinkChar(s, k))
            {
                s->linkDown = k;
                if (SendLink(p, s, k, msg, wParam, lParam)) return 0;
            }
            s->dragging = true;
            ::SetCapture(p->Handle());
            SetSelection(s, k, k);
            RefreshWindow(p);
            return 0;
        }
        case WM_MOUSEMOVE:
        {
            EnsureLayout(p, s);
            bool onChar = false;
            long k = HitChar(s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &onChar);
            if (s->dragging)
            {
                long a = s->anchor;
                SetSelection(s, a, k);
                s->anchor = a;
                RefreshWindow(p);
            }
            else if (onChar && IsLinkChar(s, k))
                SendLink(p, s, k, msg, wParam, lParam);
            return 0;
        }
        case WM_LBUTTONUP:
        {
            EnsureLayout(p, s);
            bool onChar = false;
            long k = HitChar(s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &onChar);
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
            EnsureLayout(p, s);
            bool onChar = false;
            long k = HitChar(s, pt.x, pt.y, &onChar);
            ::SetCursor(::LoadCursor(nullptr, onChar && IsLinkChar(s, k) ? IDC_HAND : IDC_IBEAM));
            return TRUE;
        }
        case WM_MOUSEWHEEL:
        {
            EnsureLayout(p, s);
            int w = 0, h = 0;
            if (p->pWx) p->pWx->GetClientSize(&w, &h);
            int total = s->lines.empty() ? 0 : s->lines.back().y + s->lines.back().height + kMargin;
            s->scrollY -= (short)HIWORD(wParam) / 120 * 20;
            s->scrollY = std::max(0, std::min(s->scrollY, std::max(0, total - h)));
            RefreshWindow(p);
            return 0;
        }
        case WM_KEYDOWN:
            if (wxGetKeyState(WXK_CONTROL) && (wParam == 'A' || wParam == 'C'))
            {
                if (wParam == 'A') SetSelection(s, 0, -1);
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
