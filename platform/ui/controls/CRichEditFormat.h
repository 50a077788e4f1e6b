// The rich edit control's character formats: one RichFormat per distinct run, and the
// CHARFORMAT2 / PARAFORMAT2 messages over the document's selection.
#pragma once

#include <string>
#include "CRichEditCtrl.h"

struct CRichEditState;

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

class CRichEditFormat
{
public:
    // Takes the attributes the mask names from the record.
    static void Apply(RichFormat& f, const CHARFORMAT2& cf);
    static void Fill(CHARFORMAT2& cf, const RichFormat& f, DWORD mask);
    // The selection's format; the mask tells which attributes are the same over all of it.
    static DWORD OfSelection(CRichEditState* s, CHARFORMAT2* cf);
    // EM_SETCHARFORMAT: to all (SCF_ALL), the selection (SCF_SELECTION) or the default format.
    static void SetCharFormat(CRichEditState* s, WPARAM scf, const CHARFORMAT2& cf);
    // The word around pos: [first, last), empty when pos touches none.
    static void WordAt(const CRichEditState* s, long pos, long& first, long& last);
    // EM_SETPARAFORMAT and EM_GETPARAFORMAT over the paragraphs of the selection.
    static void SetParaFormat(CRichEditState* s, const PARAFORMAT2& pf);
    static DWORD GetParaFormat(CRichEditState* s, PARAFORMAT2& pf);
};
