#include "URLEncode.h"

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

    const std::string utf8 = CCodePage::AnsiToUtf8(text);
    for (const char* p = utf8.c_str(); *p; ++p) {
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
