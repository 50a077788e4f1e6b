// Checks a server's XML reply must pass before TinyXML reads it. TinyXML parses nested elements
// recursively, so a reply nested deep enough overflows the stack; and its UTF-8 reader steps
// over a character's announced length, past the end of a reply cut inside a character.
#pragma once

#include <cstddef>
#include <cstring>

class CXmlReplyCheck
{
public:
    // Deeper than any reply of the servers: their deepest, the menu tree, is a few levels.
    static const size_t kMaxDepth = 64;

    // Whether no element of the text lies deeper than nMaxDepth, read the way TinyXML reads
    // elements, comments, CDATA sections, declarations and other markup. A quote inside a tag
    // where no attribute value starts makes TinyXML give up, and is refused here too, so the
    // two never disagree on where a tag ends.
    static bool IsNestedWithin(const char* pszXml, size_t nMaxDepth = kMaxDepth)
    {
        if (!pszXml)
            return true;
        size_t nDepth = 0;
        const char* p = pszXml;
        while (*p)
        {
            if (*p != '<')
            {
                ++p;
                continue;
            }
            if (std::strncmp(p, "<!--", 4) == 0)
                p = SkipPast(p + 4, "-->");
            else if (std::strncmp(p, "<![CDATA[", 9) == 0)
                p = SkipPast(p + 9, "]]>");
            else if (StartsNoCase(p, "<?xml"))
            {
                p = SkipTag(p + 5, false, nullptr);
                if (!p)
                    return false;
            }
            else if (p[1] == '/')
            {
                if (nDepth > 0)
                    --nDepth;
                p = SkipPast(p + 2, ">");
            }
            else if (IsNameStart((unsigned char)p[1]))
            {
                bool bEmpty = false;
                p = SkipTag(p + 1, true, &bEmpty);
                if (!p)
                    return false;
                if (!bEmpty && ++nDepth > nMaxDepth)
                    return false;
            }
            else
                p = SkipPast(p + 1, ">"); // other markup ends at its first '>'
        }
        return true;
    }

    // Whether the text is well-formed UTF-8 (no cut, overlong or surrogate sequence).
    static bool IsUtf8(const char* pszText)
    {
        const unsigned char* p = (const unsigned char*)pszText;
        while (p && *p)
        {
            unsigned char c = *p;
            size_t n = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 9;
            if (n == 9)
                return false;
            unsigned char lo = 0x80, hi = 0xBF;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
            else if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
            ++p;
            for (size_t i = 0; i < n; ++i, ++p)
            {
                if (*p < (i == 0 ? lo : 0x80) || *p > (i == 0 ? hi : 0xBF))
                    return false;
            }
        }
        return true;
    }

private:
    // TinyXML's letters: ASCII letters and every byte above 0x7E; names may also start with '_'.
    static bool IsNameStart(unsigned char ch)
    {
        return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_' || ch >= 127;
    }

    static bool StartsNoCase(const char* p, const char* pszWord)
    {
        for (; *pszWord; ++p, ++pszWord)
        {
            char ch = *p >= 'A' && *p <= 'Z' ? (char)(*p - 'A' + 'a') : *p;
            if (ch != *pszWord)
                return false;
        }
        return true;
    }

    // Just past the first occurrence of pszEnd, or the text's end.
    static const char* SkipPast(const char* p, const char* pszEnd)
    {
        const char* q = std::strstr(p, pszEnd);
        return q ? q + std::strlen(pszEnd) : p + std::strlen(p);
    }

    // Just past the '>' that ends a tag (or the text's end); quoted values are read only right
    // after '='. In an element tag, *pbEmpty tells "<x/>". Null for a quote anywhere else, or
    // for a '>' inside a quoted value of the declaration, whose reader ends there.
    static const char* SkipTag(const char* p, bool bElement, bool* pbEmpty)
    {
        char prev = 0;
        while (*p && *p != '>')
        {
            if (*p == '"' || *p == '\'')
            {
                if (prev != '=')
                    return nullptr;
                const char* q = std::strchr(p + 1, *p);
                const char* pszValueEnd = q ? q : p + std::strlen(p);
                // The declaration's reader ends at a '>' in a value, closed or not.
                if (!bElement && std::memchr(p, '>', (size_t)(pszValueEnd - p)))
                    return nullptr;
                if (!q)
                    return pszValueEnd;
                p = q + 1;
                prev = '"';
                continue;
            }
            if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
                prev = *p;
            ++p;
        }
        if (pbEmpty)
            *pbEmpty = *p == '>' && prev == '/';
        return *p ? p + 1 : p;
    }
};
