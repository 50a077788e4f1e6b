#include "EncodingUtil.h"

#include <cstring>
#include <vector>
#include "CodePage.h"

namespace {

// UTF-8 to ANSI through UTF-16, both lengths taken with the terminator counted.
std::string ConvertUtf8ToAnsi(const char* utf8)
{
    int nWide = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (nWide <= 0)
        return std::string();
    std::vector<wchar_t> wide((size_t)nWide + 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), nWide);

    int nAnsi = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0);
    if (nAnsi <= 0)
        return std::string();
    std::vector<char> ansi((size_t)nAnsi + 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, ansi.data(), nAnsi);
    return std::string(ansi.data());
}

} // namespace

void Utf8ToAnsi(CString& text)
{
    text = ConvertUtf8ToAnsi(text.GetString()).c_str();
}

void Utf8ToAnsi(std::string& text)
{
    text = ConvertUtf8ToAnsi(text.c_str());
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
