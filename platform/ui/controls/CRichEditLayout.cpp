#include "CRichEditLayout.h"

#include <wx/wx.h>
#include <algorithm>
#include "GdiImpl.h"

wxFont CRichEditLayout::FontOf(const RichFormat& f, const wxFont& controlFont)
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

void CRichEditLayout::Layout(WndRecord* p, CRichEditState* s, wxDC& dc, int width)
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
            RichLine line;
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

void CRichEditLayout::Ensure(WndRecord* p, CRichEditState* s)
{
    int w = 0, h = 0;
    if (p->pWx) p->pWx->GetClientSize(&w, &h);
    if (s->layoutValid && s->layoutWidth == w) return;
    if (!p->pWx) return;
    wxClientDC dc(p->pWx);
    Layout(p, s, dc, w);
}

long CRichEditLayout::HitChar(CRichEditState* s, int x, int y, bool* pOnChar)
{
    if (pOnChar) *pOnChar = false;
    if (s->lines.empty()) return 0;
    y += s->scrollY;
    const RichLine* line = &s->lines.back();
    for (const RichLine& l : s->lines)
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

void CRichEditLayout::ScrollCaretIntoView(WndRecord* p, CRichEditState* s)
{
    Ensure(p, s);
    if (!p->pWx) return;
    int w = 0, h = 0;
    p->pWx->GetClientSize(&w, &h);
    for (const RichLine& l : s->lines)
    {
        if (s->selMax >= l.first && s->selMax <= l.last)
        {
            if (l.y + l.height - s->scrollY > h) s->scrollY = l.y + l.height - h;
            if (l.y - s->scrollY < 0) s->scrollY = l.y;
            break;
        }
    }
}

void CRichEditLayout::Draw(WndRecord* p, CRichEditState* s, wxDC& dc)
{
    int w = 0, h = 0;
    p->pWx->GetClientSize(&w, &h);
    if (!s->layoutValid || s->layoutWidth != w) Layout(p, s, dc, w);
    dc.SetBackground(wxBrush(wxColour(255, 255, 255)));
    dc.Clear();
    wxFont controlFont = FontOfRecord(p);
    bool showSel = !s->hideSel || (p->dwStyle & ES_NOHIDESEL);
    for (const RichLine& l : s->lines)
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
