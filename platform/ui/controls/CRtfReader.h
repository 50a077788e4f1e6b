// Reads the rich text subset the rich edit control takes (see CRichEditCtrl.h) into its
// characters; the formats met are interned in the document they go into.
#pragma once

#include <string>
#include <vector>
#include "CRichEditState.h"

class CRtfReader
{
public:
    // Text outside any formatting, and \plain, take the base format.
    CRtfReader(CRichEditState& doc, const RichFormat& base) : m_doc(doc), m_base(base) {}
    std::vector<RichChar> Read(const std::string& rtf);

private:
    CRichEditState& m_doc;
    RichFormat m_base;
};
