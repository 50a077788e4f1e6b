#include "Base64.h"

#include <string>

namespace {

// Encodes n bytes into dst, which must hold 4 * ceil(n / 3) characters; returns that count.
size_t EncodeBytes(const unsigned char* src, size_t n, char* dst)
{
    size_t o = 0;
    size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        dst[o++] = g_base64Alphabet[src[i] >> 2];
        dst[o++] = g_base64Alphabet[((src[i] & 0x03) << 4) | (src[i + 1] >> 4)];
        dst[o++] = g_base64Alphabet[((src[i + 1] & 0x0F) << 2) | (src[i + 2] >> 6)];
        dst[o++] = g_base64Alphabet[src[i + 2] & 0x3F];
    }
    if (n - i == 1) {
        dst[o++] = g_base64Alphabet[src[i] >> 2];
        dst[o++] = g_base64Alphabet[(src[i] & 0x03) << 4];
        dst[o++] = '=';
        dst[o++] = '=';
    } else if (n - i == 2) {
        dst[o++] = g_base64Alphabet[src[i] >> 2];
        dst[o++] = g_base64Alphabet[((src[i] & 0x03) << 4) | (src[i + 1] >> 4)];
        dst[o++] = g_base64Alphabet[(src[i + 1] & 0x0F) << 2];
        dst[o++] = '=';
    }
    return o;
}

} // namespace

CString CBase64::Base64Encode(CString text) const
{
    const std::string& in = text.str();
    if (in.empty())
        return CString();
    std::string out((in.size() + 2) / 3 * 4, '\0');
    EncodeBytes(reinterpret_cast<const unsigned char*>(in.data()), in.size(), out.data());
    return CString(out);
}

void CBase64::Base64EncodeDigest(const unsigned char* digest, char* out, int* count) const
{
    if (!digest || !out) {
        if (count)
            *count = 0;
        return;
    }
    size_t n = EncodeBytes(digest, 16, out);
    if (count)
        *count = (int)n;
}
