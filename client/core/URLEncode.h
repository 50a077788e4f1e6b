// Two URL encodings: percent-encoding of ANSI bytes, and the UTF-8 form encoding.
#pragma once

#include <string>
#include <string_view>

// The characters that UrlEncode always escapes, in their stored order; constant-initialised.
inline constexpr std::string_view g_urlReserved = "\"<>%\\^[]`+$,@:;/!#?=&*()";

class CURLEncode
{
public:
    CURLEncode() = default;
    virtual ~CURLEncode() = default;

    // Escapes reserved bytes as "%XX" (a space as "%20"); null gives "".
    std::string UrlEncode(const char* text) const;
    // A byte of the reserved set, or one whose signed value is below 33 or above 122.
    bool IsUrlReserved(char ch) const;
    // ANSI text to UTF-8, then form-encoded: A-Z a-z 0-9 kept, space as "+", the rest "%XX".
    std::string GbkToUtf8(const char* text) const;
};
