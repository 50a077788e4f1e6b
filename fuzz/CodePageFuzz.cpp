// Code-page conversion of any bytes: sizes asked for are the sizes written, a buffer too small
// is never overrun, and text valid in its code page survives the round trip exactly.
#include <fuzzer/FuzzedDataProvider.h>
#include <iconv.h>
#include <memory>
#include "CodePage.h"
#include "FuzzSupport.h"

namespace
{
// True when iconv converts the whole text without a loss.
bool Converts(const char* to, const char* from, const std::string& text)
{
    iconv_t cd = iconv_open(to, from);
    FUZZ_CHECK(cd != (iconv_t)-1);
    std::string in(text);
    std::unique_ptr<char[]> out(new char[text.size() * 4 + 4]);
    char* pin = in.data();
    size_t nin = in.size();
    char* pout = out.get();
    size_t nout = text.size() * 4 + 4;
    const bool ok = iconv(cd, &pin, &nin, &pout, &nout) != (size_t)-1 && nin == 0;
    iconv_close(cd);
    return ok;
}

void CheckWindowsCalls(UINT codePage, const std::string& text, int dstLen)
{
    // Explicit length, no terminator: the source block is exactly the text.
    std::unique_ptr<char[]> src(new char[text.size() ? text.size() : 1]);
    std::memcpy(src.get(), text.data(), text.size());
    const int srcLen = (int)text.size();
    const int needed = MultiByteToWideChar(codePage, 0, src.get(), srcLen, nullptr, 0);
    FUZZ_CHECK(needed >= 0);
    std::unique_ptr<wchar_t[]> wide(new wchar_t[needed ? needed : 1]);
    FUZZ_CHECK(MultiByteToWideChar(codePage, 0, src.get(), srcLen, wide.get(), needed) == needed);
    // A buffer of the size the caller picked: filled, or refused, never overrun.
    std::unique_ptr<wchar_t[]> small(new wchar_t[dstLen ? dstLen : 1]);
    const int got = MultiByteToWideChar(codePage, 0, src.get(), srcLen, small.get(), dstLen);
    FUZZ_CHECK(got == (dstLen == 0 || dstLen >= needed ? needed : 0));

    const int bytes = WideCharToMultiByte(codePage, 0, wide.get(), needed, nullptr, 0);
    FUZZ_CHECK(bytes >= 0);
    std::unique_ptr<char[]> back(new char[bytes ? bytes : 1]);
    FUZZ_CHECK(WideCharToMultiByte(codePage, 0, wide.get(), needed, back.get(), bytes) == bytes);
    std::unique_ptr<char[]> smallBack(new char[dstLen ? dstLen : 1]);
    const int gotBack = WideCharToMultiByte(codePage, 0, wide.get(), needed, smallBack.get(), dstLen);
    FUZZ_CHECK(gotBack == (dstLen == 0 || dstLen >= bytes ? bytes : 0));

    // -1: up to and including the terminator.
    const std::string c = text.c_str();
    const int withNul = MultiByteToWideChar(codePage, 0, c.c_str(), -1, nullptr, 0);
    std::unique_ptr<wchar_t[]> wz(new wchar_t[withNul ? withNul : 1]);
    FUZZ_CHECK(withNul >= 1 && MultiByteToWideChar(codePage, 0, c.c_str(), -1, wz.get(), withNul) == withNul);
    FUZZ_CHECK(wz[withNul - 1] == L'\0');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int dstLen = in.ConsumeIntegralInRange<int>(0, 64);
    const std::string text = in.ConsumeRemainingBytesAsString();

    CheckWindowsCalls(CP_ACP, text, dstLen);
    CheckWindowsCalls(CP_UTF8, text, dstLen);

    const std::string c = text.c_str();
    if (Converts("UTF-8", "CP936", c))
    {
        FUZZ_CHECK(CCodePage::Utf8ToAnsi(CCodePage::AnsiToUtf8(c)) == c);
        FUZZ_CHECK(CCodePage::WideToAnsi(CCodePage::AnsiToWide(c)) == c);
    }
    else
    {
        CCodePage::AnsiToUtf8(c);
        CCodePage::AnsiToWide(c);
    }
    if (Converts("CP936", "UTF-8", c))
    {
        FUZZ_CHECK(CCodePage::AnsiToUtf8(CCodePage::Utf8ToAnsi(c)) == c);
        FUZZ_CHECK(CCodePage::WideToUtf8(CCodePage::Utf8ToWide(c)) == c);
    }
    else
    {
        CCodePage::Utf8ToAnsi(c);
        CCodePage::Utf8ToWide(c);
    }
    return 0;
}
