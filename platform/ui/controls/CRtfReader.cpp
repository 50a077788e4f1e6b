#include "CRtfReader.h"

#include <wx/string.h>
#include <wx/strconv.h>
#include <cctype>
#include <cstdlib>

std::vector<RichChar> CRtfReader::Read(const std::string& rtf)
{
    struct Group
    {
        RichFormat fmt;
        bool skip = false;
    };
    std::vector<Group> stack{Group{m_base, false}};
    std::vector<RichChar> out;
    int lead = -1;  // a lead byte waiting for its trail
    size_t skipAnsi = 0;
    auto emitByte = [&](unsigned char c) {
        if (stack.back().skip) return;
        if (skipAnsi)
        {
            --skipAnsi;
            return;
        }
        RichChar ch;
        ch.fmt = m_doc.Intern(stack.back().fmt);
        if (lead >= 0)
        {
            ch.b[0] = (char)lead;
            ch.b[1] = (char)c;
            ch.n = 2;
            lead = -1;
            out.push_back(ch);
            return;
        }
        if (c >= 0x81 && c <= 0xFE)
        {
            lead = c;
            return;
        }
        ch.b[0] = (char)c;
        out.push_back(ch);
    };
    size_t i = 0, n = rtf.size();
    while (i < n)
    {
        unsigned char c = (unsigned char)rtf[i];
        if (lead >= 0 && c != '\\')
        {
            emitByte(c);  // a raw trail byte, whatever it looks like
            ++i;
            continue;
        }
        if (c == '{')
        {
            stack.push_back(stack.back());
            ++i;
        }
        else if (c == '}')
        {
            if (stack.size() > 1) stack.pop_back();
            ++i;
        }
        else if (c == '\r' || c == '\n')
            ++i;
        else if (c != '\\')
        {
            emitByte(c);
            ++i;
        }
        else
        {
            ++i;
            if (i >= n) break;
            unsigned char d = (unsigned char)rtf[i];
            if (d == '\\' || d == '{' || d == '}')
            {
                emitByte(d);
                ++i;
            }
            else if (d == '\'')
            {
                int v = 0;
                if (i + 2 < n + 0 && isxdigit((unsigned char)rtf[i + 1]) && isxdigit((unsigned char)rtf[i + 2]))
                {
                    v = (int)strtol(rtf.substr(i + 1, 2).c_str(), nullptr, 16);
                    emitByte((unsigned char)v);
                }
                i += 3;
            }
            else if (d == '*')
            {
                stack.back().skip = true;
                ++i;
            }
            else if (d == '~')
            {
                emitByte(' ');
                ++i;
            }
            else if (d == '_')
            {
                emitByte('-');
                ++i;
            }
            else if (d == '\r' || d == '\n')
            {
                emitByte('\r');
                ++i;
            }
            else if (isalpha(d))
            {
                size_t w = i;
                while (i < n && isalpha((unsigned char)rtf[i])) ++i;
                std::string word = rtf.substr(w, i - w);
                bool hasParam = false;
                long param = 0;
                size_t p = i;
                if (p < n && (rtf[p] == '-' || isdigit((unsigned char)rtf[p])))
                {
                    char* end = nullptr;
                    param = strtol(rtf.c_str() + p, &end, 10);
                    hasParam = true;
                    i = (size_t)(end - rtf.c_str());
                }
                if (i < n && rtf[i] == ' ') ++i;  // the delimiter belongs to the word
                bool on = !hasParam || param != 0;
                RichFormat& f = stack.back().fmt;
                if (word == "v") f.effects = on ? f.effects | CFE_HIDDEN : f.effects & ~CFE_HIDDEN;
                else if (word == "b") f.effects = on ? f.effects | CFE_BOLD : f.effects & ~CFE_BOLD;
                else if (word == "i") f.effects = on ? f.effects | CFE_ITALIC : f.effects & ~CFE_ITALIC;
                else if (word == "ul") f.effects = on ? f.effects | CFE_UNDERLINE : f.effects & ~CFE_UNDERLINE;
                else if (word == "ulnone") f.effects &= ~CFE_UNDERLINE;
                else if (word == "plain") f = m_base;
                else if (word == "par" || word == "line") emitByte('\r');
                else if (word == "tab") emitByte('\t');
                else if (word == "u" && hasParam)
                {
                    // A Unicode character, in the code page; its ANSI fallback follows.
                    wchar_t wc = (wchar_t)(param < 0 ? param + 65536 : param);
                    wxString ws(wc);
                    wxCharBuffer gbk = ws.mb_str(wxCSConv("GBK"));
                    if (gbk.data())
                        for (const char* q = gbk.data(); *q; ++q) emitByte((unsigned char)*q);
                    skipAnsi = 1;
                }
                else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
                         word == "pict" || word == "header" || word == "footer")
                    stack.back().skip = true;
            }
            else
                ++i;  // other control symbols carry nothing shown here
        }
    }
    return out;
}
