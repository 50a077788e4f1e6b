#include "CRichEditState.h"

#include <algorithm>

void CRichEditState::AppendChars(std::vector<RichChar>& out, const char* text, size_t len, int fmt)
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

std::string CRichEditState::Text(long first, long last, bool bCrLf) const
{
    std::string t;
    first = std::max(0L, first);
    last = std::min(Length(), last);
    for (long i = first; i < last; ++i)
    {
        const RichChar& c = chars[(size_t)i];
        if (c.IsBreak() && bCrLf) t += "\r\n";
        else t.append(c.b, c.n);
    }
    return t;
}

void CRichEditState::ReplaceSelection(std::vector<RichChar> ins)
{
    long a = selMin, b = selMax;
    int para = ParaOf(a);
    // Removed breaks merge paragraphs into the first one.
    int removedBreaks = 0;
    for (long i = a; i < b; ++i)
        if (chars[(size_t)i].IsBreak()) ++removedBreaks;
    paraAlign.erase(paraAlign.begin() + para + 1, paraAlign.begin() + para + 1 + removedBreaks);
    chars.erase(chars.begin() + a, chars.begin() + b);
    // Inserted breaks start paragraphs that take the split one's alignment.
    int addedBreaks = 0;
    for (const RichChar& c : ins)
        if (c.IsBreak()) ++addedBreaks;
    paraAlign.insert(paraAlign.begin() + para + 1, (size_t)addedBreaks, paraAlign[(size_t)para]);
    chars.insert(chars.begin() + a, ins.begin(), ins.end());
    selMin = selMax = anchor = a + (long)ins.size();
    Invalidate();
}

void CRichEditState::SetSelection(long a, long b)
{
    long len = Length();
    if (a == 0 && b == -1)
    {
        a = 0;
        b = len;
    }
    else if (a < 0)
        a = b = selMax;  // no selection; the caret stays where the selection ended
    if (b < 0 || b > len) b = len;
    if (a > len) a = len;
    long newMin = std::min(a, b), newMax = std::max(a, b);
    // The format set at the caret lasts until the selection really moves.
    bool bMoved = newMin != selMin || newMax != selMax;
    anchor = a;
    selMin = newMin;
    selMax = newMax;
    if (bMoved && newMin == newMax) insert = FormatAt(newMin);
}
