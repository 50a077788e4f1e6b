#include "EncodingUtil.h"

#include "CodePage.h"

// Both stop at the text's first zero byte, as the C string they were handed would.
void Utf8ToAnsi(CString& text)
{
    text = CCodePage::Utf8ToAnsi(text.GetString()).c_str();
}

void Utf8ToAnsi(std::string& text)
{
    text = CCodePage::Utf8ToAnsi(text.c_str());
}

std::string CStringToStdString(CString text)
{
    return std::string(text.GetString());
}

void SplitString(CString text, char separator, CStringArray& out)
{
    text.Trim();
    out.RemoveAll();

    const int length = text.GetLength();
    int start = 0;
    for (;;) {
        // The character at start is a separator (or the first one): search past it.
        int end = text.Find(separator, start + 1);
        if (end < 0 && start < length)
            end = length;

        CString piece;
        if (end >= 0)
            piece = text.Mid(start, end - start);
        piece.TrimLeft(separator);
        if (!piece.IsEmpty())
            out.Add(piece);

        if (end < 0)
            break;
        start = end;
    }
}
