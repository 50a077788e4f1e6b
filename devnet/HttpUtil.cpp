#include "HttpUtil.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cctype>
#include <iconv.h>
#include <ctime>
#include <fstream>
#include <sstream>

namespace DevnetUtil
{
std::map<std::string, std::string> ParseCookies(const std::string& header)
{
    std::map<std::string, std::string> cookies;
    size_t pos = 0;
    while (pos < header.size())
    {
        size_t end = header.find(';', pos);
        if (end == std::string::npos)
            end = header.size();
        std::string pair = header.substr(pos, end - pos);
        size_t first = pair.find_first_not_of(' ');
        if (first != std::string::npos)
        {
            pair = pair.substr(first);
            size_t eq = pair.find('=');
            if (eq != std::string::npos)
                cookies[pair.substr(0, eq)] = pair.substr(eq + 1);
        }
        pos = end + 1;
    }
    return cookies;
}

std::string HtmlEscape(const std::string& text)
{
    std::string out;
    for (char c : text)
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UrlEncode(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text)
    {
        if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~')
            out += static_cast<char>(c);
        else
        {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string RandomToken(size_t length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string token(length, 'A');
    unsigned char bytes[256];
    for (size_t i = 0; i < length; i += sizeof(bytes))
    {
        RAND_bytes(bytes, sizeof(bytes));
        for (size_t j = 0; j < sizeof(bytes) && i + j < length; ++j)
            token[i + j] = alphabet[bytes[j] % (sizeof(alphabet) - 1)];
    }
    return token;
}

namespace
{
std::string Convert(const std::string& text, const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string out(text.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return text;
    out.resize(out.size() - outLeft);
    return out;
}
}

std::string Utf8ToGbk(const std::string& text)
{
    return Convert(text, "GBK", "UTF-8");
}

std::string GbkToUtf8(const std::string& text)
{
    return Convert(text, "UTF-8", "GBK");
}

static void Md5(const std::string& text, unsigned char digest[16])
{
    unsigned int size = 16;
    EVP_Digest(text.data(), text.size(), digest, &size, EVP_md5(), nullptr);
}

std::string Md5Base64(const std::string& text)
{
    unsigned char digest[16];
    Md5(text, digest);
    unsigned char encoded[32] = {};
    int length = EVP_EncodeBlock(encoded, digest, 16);
    return std::string(reinterpret_cast<char*>(encoded), length);
}

std::string Md5HexUpper(const std::string& text)
{
    unsigned char digest[16];
    Md5(text, digest);
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : digest)
    {
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    return out;
}

std::string CurrentTime()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool ReadFile(const std::string& path, std::string& content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    content = all.str();
    return true;
}
}
