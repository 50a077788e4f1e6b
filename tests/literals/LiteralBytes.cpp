// Checks the sources the fuzz build compiles: no narrow string or character literal holds a
// non-ASCII character (clang would store it as UTF-8 where g++ stores GBK; u8"" is UTF-8 in
// both), and every escaped literal that carries its text in a comment right after it
// ("..." /* 宋体 */ for GBK, /* u8: 确定 */ for UTF-8) holds exactly the bytes of that text. Usage: literal_bytes <source>...
#include <iconv.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
int g_nFailures = 0;

void Fail(const std::string& file, int line, const std::string& what)
{
    std::printf("%s:%d: %s\n", file.c_str(), line, what.c_str());
    ++g_nFailures;
}

bool Convert(const char* to, const std::string& utf8, std::string& out)
{
    iconv_t cd = iconv_open(to, "UTF-8");
    if (cd == (iconv_t)-1)
        return false;
    std::string in(utf8);
    out.assign(in.size() * 4 + 4, '\0');
    char* pin = in.data();
    char* pout = out.data();
    size_t nin = in.size(), nout = out.size();
    const bool ok = iconv(cd, &pin, &nin, &pout, &nout) != (size_t)-1 && nin == 0;
    iconv_close(cd);
    out.resize(out.size() - nout);
    return ok;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes a narrow literal's body stands for; escapes other than these are taken as one byte.
std::string Bytes(const std::string& body)
{
    std::string out;
    for (size_t i = 0; i < body.size(); ++i)
    {
        if (body[i] != '\\' || i + 1 >= body.size())
        {
            out += body[i];
            continue;
        }
        char c = body[++i];
        if (c >= '0' && c <= '7')
        {
            int v = 0;
            for (int n = 0; n < 3 && i < body.size() && body[i] >= '0' && body[i] <= '7'; ++n, ++i)
                v = v * 8 + (body[i] - '0');
            --i;
            out += (char)v;
        }
        else if (c == 'x')
        {
            int v = 0;
            while (i + 1 < body.size() && HexValue(body[i + 1]) >= 0)
                v = v * 16 + HexValue(body[++i]);
            out += (char)v;
        }
        else
        {
            static const std::string from = "ntrabfv\\'\"?", to = "\n\t\r\a\b\f\v\\'\"?";
            size_t k = from.find(c);
            out += k == std::string::npos ? c : to[k];
        }
    }
    return out;
}

void Check(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
    {
        Fail(file, 0, "cannot be read");
        return;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string s = ss.str();
    int line = 1;
    for (size_t i = 0; i < s.size();)
    {
        const char c = s[i];
        if (c == '\n')
        {
            ++line;
            ++i;
        }
        else if (s.compare(i, 2, "//") == 0)
            i = s.find('\n', i) == std::string::npos ? s.size() : s.find('\n', i);
        else if (s.compare(i, 2, "/*") == 0)
        {
            size_t end = s.find("*/", i + 2);
            end = end == std::string::npos ? s.size() : end + 2;
            for (size_t k = i; k < end; ++k)
                line += s[k] == '\n';
            i = end;
        }
        else if (c == '"' && i > 0 && s[i - 1] == 'R')
        {
            // A raw literal: R"delim( ... )delim".
            const size_t open = s.find('(', i);
            const std::string close = ")" + s.substr(i + 1, open == std::string::npos ? 0 : open - i - 1) + "\"";
            size_t end = open == std::string::npos ? std::string::npos : s.find(close, open);
            end = end == std::string::npos ? s.size() : end + close.size();
            for (size_t k = i; k < end; ++k)
            {
                if ((unsigned char)s[k] >= 0x80)
                {
                    Fail(file, line, "non-ASCII text in a raw literal");
                    break;
                }
            }
            for (size_t k = i; k < end; ++k)
                line += s[k] == '\n';
            i = end;
        }
        else if (c == '"' || (c == '\'' && !(i > 0 && isxdigit((unsigned char)s[i - 1]))))
        {
            // A literal: up to the matching quote, escapes skipped.
            size_t j = i + 1;
            while (j < s.size() && s[j] != c && s[j] != '\n')
                j += s[j] == '\\' ? 2 : 1;
            const std::string body = s.substr(i + 1, j - i - 1);
            // u8"", u"", U"" and L"" have the same encoding in both compilers.
            const bool bFixedCharset = i > 0 && (s[i - 1] == 'u' || s[i - 1] == 'U' || s[i - 1] == 'L' ||
                                                 (s[i - 1] == '8' && i > 1 && s[i - 2] == 'u'));
            for (unsigned char b : body)
                if (b >= 0x80 && !bFixedCharset)
                {
                    Fail(file, line, "non-ASCII text in a literal: " + body);
                    break;
                }
            i = j + 1;
            // Its text in a comment right after it.
            size_t k = i;
            while (k < s.size() && (s[k] == ' ' || s[k] == '\t'))
                ++k;
            if (c == '"' && s.compare(k, 2, "/*") == 0)
            {
                size_t end = s.find("*/", k + 2);
                std::string text = s.substr(k + 2, end == std::string::npos ? 0 : end - k - 2);
                while (!text.empty() && text.front() == ' ')
                    text.erase(0, 1);
                while (!text.empty() && text.back() == ' ')
                    text.pop_back();
                bool bNonAscii = false;
                for (unsigned char b : text)
                    bNonAscii |= b >= 0x80;
                if (!bNonAscii)
                    continue;
                const bool bUtf8 = text.compare(0, 4, "u8: ") == 0;
                if (bUtf8)
                    text.erase(0, 4);
                std::string expected;
                if (!Convert(bUtf8 ? "UTF-8" : "GBK", text, expected))
                    Fail(file, line, "the comment's text has no " + std::string(bUtf8 ? "UTF-8" : "GBK") + " form: " + text);
                else if (Bytes(body) != expected)
                    Fail(file, line, "the escapes are not the bytes of " + text);
            }
        }
        else
            ++i;
    }
}
} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        Check(argv[i]);
    std::printf("%d source(s) checked, %d failure(s)\n", argc - 1, g_nFailures);
    return g_nFailures ? 1 : 0;
}
