#include "CodePage.h"

#include <iconv.h>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

const char* IconvName(UINT codePage)
{
    return codePage == CP_UTF8 ? "UTF-8" : "CP936";
}

// Converts bytes to wide characters; a byte sequence that cannot be read becomes U+FFFD.
std::wstring ToWide(UINT codePage, const char* src, size_t len)
{
    std::wstring out;
    iconv_t cd = iconv_open("WCHAR_T", IconvName(codePage));
    if (cd == (iconv_t)-1) return out;
    std::vector<wchar_t> buf(len + 1);
    char* in = const_cast<char*>(src);
    size_t inLeft = len;
    while (inLeft > 0) {
        char* o = reinterpret_cast<char*>(buf.data());
        size_t oLeft = buf.size() * sizeof(wchar_t);
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf.data(), (reinterpret_cast<wchar_t*>(o) - buf.data()));
        if (r == (size_t)-1) {
            if (errno == E2BIG) continue;
            out.push_back(L'\xFFFD');
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

std::string FromWide(UINT codePage, const wchar_t* src, size_t len, const char* defaultChar, BOOL* usedDefault)
{
    std::string out;
    if (usedDefault) *usedDefault = FALSE;
    iconv_t cd = iconv_open(IconvName(codePage), "WCHAR_T");
    if (cd == (iconv_t)-1) return out;
    std::vector<char> buf(len * 4 + 4);
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(src));
    size_t inLeft = len * sizeof(wchar_t);
    while (inLeft > 0) {
        char* o = buf.data();
        size_t oLeft = buf.size();
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf.data(), (size_t)(o - buf.data()));
        if (r == (size_t)-1) {
            if (errno == E2BIG) continue;
            out += (codePage == CP_UTF8) ? "\xEF\xBF\xBD" : (defaultChar ? defaultChar : "?");
            if (usedDefault) *usedDefault = TRUE;
            in += sizeof(wchar_t);
            inLeft = inLeft >= sizeof(wchar_t) ? inLeft - sizeof(wchar_t) : 0;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD, const char* src, int srcLen, wchar_t* dst, int dstLen)
{
    if (!src) { SetLastError(ERROR_INVALID_PARAMETER); return 0; }
    size_t len = srcLen < 0 ? std::strlen(src) + 1 : (size_t)srcLen;
    std::wstring w = ToWide(codePage, src, len);
    if (dstLen == 0) return (int)w.size();
    if (!dst || (size_t)dstLen < w.size()) { SetLastError(122 /* ERROR_INSUFFICIENT_BUFFER */); return 0; }
    std::copy(w.begin(), w.end(), dst);
    return (int)w.size();
}

int WideCharToMultiByte(UINT codePage, DWORD, const wchar_t* src, int srcLen, char* dst, int dstLen,
                        const char* defaultChar, BOOL* usedDefault)
{
    if (!src) { SetLastError(ERROR_INVALID_PARAMETER); return 0; }
    size_t len = srcLen < 0 ? std::wcslen(src) + 1 : (size_t)srcLen;
    std::string s = FromWide(codePage, src, len, defaultChar, usedDefault);
    if (dstLen == 0) return (int)s.size();
    if (!dst || (size_t)dstLen < s.size()) { SetLastError(122); return 0; }
    std::memcpy(dst, s.data(), s.size());
    return (int)s.size();
}

std::wstring CCodePage::AnsiToWide(const std::string& ansi) { return ToWide(CP_ACP, ansi.data(), ansi.size()); }
std::string CCodePage::WideToAnsi(const std::wstring& wide) { return FromWide(CP_ACP, wide.data(), wide.size(), nullptr, nullptr); }
std::wstring CCodePage::Utf8ToWide(const std::string& utf8) { return ToWide(CP_UTF8, utf8.data(), utf8.size()); }
std::string CCodePage::WideToUtf8(const std::wstring& wide) { return FromWide(CP_UTF8, wide.data(), wide.size(), nullptr, nullptr); }
std::string CCodePage::AnsiToUtf8(const std::string& ansi) { return WideToUtf8(AnsiToWide(ansi)); }
std::string CCodePage::Utf8ToAnsi(const std::string& utf8) { return WideToAnsi(Utf8ToWide(utf8)); }
