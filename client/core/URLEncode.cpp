#include "URLEncode.h"

#include <vector>
#include "CodePage.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char b)
{
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
}

// The C locale's isalnum, independent of whatever locale the process has set.
bool IsCAlnum(unsigned char b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9');
}

} // namespace

bool CURLEncode::IsUrlReserved(char ch) const
{
    signed char v = (signed char)ch;
    if (v < 33 || v > 122)
        return true;
    return g_urlReserved.find(ch) != std::string_view::npos;
}

std::string CURLEncode::UrlEncode(const char* text) const
{
    std::string out;
    if (!text)
        return out;
    for (const char* p = text; *p; ++p) {
        if (IsUrlReserved(*p))
            AppendEscaped(out, (unsigned char)*p);
        else
            out += *p;
    }
    return out;
}

std::string CURLEncode::GbkToUtf8(const char* text) const
{
    std::string out;
    if (!text)
        return out;

    int nWide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (nWide <= 0)
        return out;
    std::vector<wchar_t> wide((size_t)nWide + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), nWide);

    int nUtf8 = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0);
    if (nUtf8 <= 0)
        return out;
    std::vector<char> utf8((size_t)nUtf8 + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), nUtf8);

    for (const char* p = utf8.data(); *p; ++p) {
        unsigned char b = (unsigned char)*p;
        if (IsCAlnum(b))
            out += (char)b;
        else if (b == ' ')
            out += '+';
        else
            AppendEscaped(out, b);
    }
    return out;
}
