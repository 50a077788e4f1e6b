// Standard Base64 (no line breaks) of a text and of a 16-byte digest.
#pragma once

#include <string_view>
#include "CString.h"

// The process-wide alphabet; constant-initialised, so it is ready before any code runs.
inline constexpr std::string_view g_base64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

class CBase64
{
public:
    CBase64() = default;
    virtual ~CBase64() = default;

    CString Base64Encode(CString text) const;

    // Writes the 24 characters of the digest's Base64 form from the start of out, without a
    // terminating zero (the caller's buffer is zeroed and longer than 24), and sets *count to 24
    // (to 0, writing nothing, when digest or out is null).
    void Base64EncodeDigest(const unsigned char* digest, char* out, int* count) const;
};
