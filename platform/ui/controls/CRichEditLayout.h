// Layout and drawing of the rich edit control's document: lines wrapped to the client width,
// aligned per paragraph, and the hit test from client points back to characters.
#pragma once

#include <wx/dc.h>
#include <wx/font.h>
#include "CRichEditState.h"

class CRichEditLayout
{
public:
    static constexpr int kMargin = 2;

    static void Layout(WndRecord* p, CRichEditState* s, wxDC& dc, int width);
    // Lays the document out again when it changed or the client width did.
    static void Ensure(WndRecord* p, CRichEditState* s);
    // The character position nearest to a client point.
    static long HitChar(CRichEditState* s, int x, int y, bool* pOnChar = nullptr);
    static void ScrollCaretIntoView(WndRecord* p, CRichEditState* s);
    static void Draw(WndRecord* p, CRichEditState* s, wxDC& dc);

private:
    static wxFont FontOf(const RichFormat& f, const wxFont& controlFont);
};
