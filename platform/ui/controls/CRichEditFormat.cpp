#include "CRichEditFormat.h"

#include <cctype>
#include <cstring>
#include "CRichEditState.h"

void CRichEditFormat::Apply(RichFormat& f, const CHARFORMAT2& cf)
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

void CRichEditFormat::Fill(CHARFORMAT2& cf, const RichFormat& f, DWORD mask)
{
    cf.dwMask = mask;
    cf.dwEffects = f.effects;
    cf.crTextColor = f.color;
    cf.yHeight = f.height;
    std::memset(cf.szFaceName, 0, sizeof cf.szFaceName);
    std::strncpy(cf.szFaceName, f.face.c_str(), sizeof cf.szFaceName - 1);
}

DWORD CRichEditFormat::OfSelection(CRichEditState* s, CHARFORMAT2* cf)
{
    const DWORD all = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK | CFM_HIDDEN |
                      CFM_SIZE | CFM_COLOR | CFM_FACE;
    if (s->selMin == s->selMax)
    {
        Fill(*cf, s->insert, all);
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
    Fill(*cf, f0, mask);
    return mask;
}

namespace
{
// Blanks, breaks and ASCII punctuation end a word; every other character, GBK ones too, is part of one.
bool IsWordChar(const RichChar& c)
{
    if (c.n == 2) return true;
    unsigned char ch = (unsigned char)c.b[0];
    return ch > 0x20 && ch < 0x80 && (isalnum(ch) || ch == '_');
}
}  // namespace

void CRichEditFormat::WordAt(const CRichEditState* s, long pos, long& first, long& last)
{
    first = last = pos;
    while (first > 0 && IsWordChar(s->chars[(size_t)first - 1])) --first;
    while (last < s->Length() && IsWordChar(s->chars[(size_t)last])) ++last;
}

void CRichEditFormat::SetCharFormat(CRichEditState* s, WPARAM scf, const CHARFORMAT2& cf)
{
    if (scf & SCF_ALL)
    {
        for (RichChar& c : s->chars)
        {
            RichFormat f = s->formats[(size_t)c.fmt];
            Apply(f, cf);
            c.fmt = s->Intern(f);
        }
        Apply(s->insert, cf);
    }
    else if (scf & SCF_SELECTION)
    {
        long first = s->selMin, last = s->selMax;
        if (first == last && (scf & SCF_WORD)) WordAt(s, first, first, last);
        if (first == last) Apply(s->insert, cf);
        for (long i = first; i < last; ++i)
        {
            RichFormat f = s->formats[(size_t)s->chars[(size_t)i].fmt];
            Apply(f, cf);
            s->chars[(size_t)i].fmt = s->Intern(f);
        }
    }
    else
    {
        Apply(s->formats[0], cf);  // the default format
        if (s->chars.empty()) s->insert = s->formats[0];
    }
    s->Invalidate();
}

void CRichEditFormat::SetParaFormat(CRichEditState* s, const PARAFORMAT2& pf)
{
    int a = s->ParaOf(s->selMin), b = s->ParaOf(s->selMax);
    for (int i = a; i <= b && i < (int)s->paraAlign.size(); ++i) s->paraAlign[(size_t)i] = pf.wAlignment;
    s->Invalidate();
}

DWORD CRichEditFormat::GetParaFormat(CRichEditState* s, PARAFORMAT2& pf)
{
    int a = s->ParaOf(s->selMin), b = s->ParaOf(s->selMax);
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = s->paraAlign[(size_t)a];
    for (int i = a + 1; i <= b && i < (int)s->paraAlign.size(); ++i)
        if (s->paraAlign[(size_t)i] != pf.wAlignment) pf.dwMask = 0;
    return pf.dwMask;
}
