// The rich edit control's document: its characters, their formats, paragraph alignments, the
// selection, and the lines its layout made of them.
#pragma once

#include <string>
#include <vector>
#include "CRichEditFormat.h"
#include "WndClass.h"

struct RichChar
{
    char b[2] = {0, 0};
    unsigned char n = 1;  // bytes: 1 or 2 (GBK)
    int fmt = 0;
    bool IsBreak() const { return n == 1 && b[0] == '\r'; }
};

// One laid-out line: the characters [first, last) of a paragraph, their x positions.
struct RichLine
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
    std::vector<RichLine> lines;
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
    // The format text put in place of the selection takes: its first character's, else the caret's.
    RichFormat SelectionFormat() const
    {
        return selMin == selMax ? insert : formats[(size_t)chars[(size_t)selMin].fmt];
    }
    void Invalidate() { layoutValid = false; }

    // Splits GBK text into characters; "\r\n" and a lone "\n" become one "\r".
    static void AppendChars(std::vector<RichChar>& out, const char* text, size_t len, int fmt);
    std::string Text(long first, long last, bool bCrLf) const;
    // Replaces the selection with the given characters; the caret goes after them.
    void ReplaceSelection(std::vector<RichChar> ins);
    // (0, -1) selects all; a start below 0 leaves no selection with the caret where it ended.
    void SetSelection(long a, long b);
};
