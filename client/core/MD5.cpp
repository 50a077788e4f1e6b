#include "MD5.h"

#include <cstring>

namespace {

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }
inline uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline void FF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac)
{
    a = Rotl(a + F(b, c, d) + x + ac, s) + b;
}
inline void GG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac)
{
    a = Rotl(a + G(b, c, d) + x + ac, s) + b;
}
inline void HH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac)
{
    a = Rotl(a + H(b, c, d) + x + ac, s) + b;
}
inline void II(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac)
{
    a = Rotl(a + I(b, c, d) + x + ac, s) + b;
}

void Encode(unsigned char* output, const uint32_t* input, size_t words)
{
    for (size_t i = 0; i < words; ++i) {
        output[i * 4] = (unsigned char)(input[i] & 0xFF);
        output[i * 4 + 1] = (unsigned char)((input[i] >> 8) & 0xFF);
        output[i * 4 + 2] = (unsigned char)((input[i] >> 16) & 0xFF);
        output[i * 4 + 3] = (unsigned char)((input[i] >> 24) & 0xFF);
    }
}

const unsigned char kPadding[64] = {0x80};

} // namespace

MD5Context& MD5Init(MD5Context& context, const std::string& text)
{
    context = MD5Context();
    MD5Update(context, text.data(), (unsigned int)text.size());
    return context;
}

void MD5Update(MD5Context& context, const void* input, unsigned int length)
{
    context.finalized = false;
    if (!input || length == 0)
        return;
    const unsigned char* in = static_cast<const unsigned char*>(input);

    unsigned int index = (context.count[0] >> 3) & 0x3F;
    uint32_t bitsLow = (uint32_t)length << 3;
    context.count[0] += bitsLow;
    if (context.count[0] < bitsLow)
        ++context.count[1];
    context.count[1] += (uint32_t)length >> 29;

    unsigned int partLen = 64 - index;
    unsigned int i = 0;
    if (length >= partLen) {
        std::memcpy(&context.buffer[index], in, partLen);
        MD5Transform(context, context.buffer);
        for (i = partLen; i + 63 < length; i += 64)
            MD5Transform(context, &in[i]);
        index = 0;
    }
    std::memcpy(&context.buffer[index], &in[i], length - i);
}

void MD5Final(MD5Context& context)
{
    // A second call would pad the padded message: the digest is already there.
    if (context.finalized)
        return;
    unsigned char bits[8];
    Encode(bits, context.count, 2);

    unsigned int index = (context.count[0] >> 3) & 0x3F;
    unsigned int padLen = index < 56 ? 56 - index : 120 - index;
    MD5Update(context, kPadding, padLen);
    MD5Update(context, bits, 8);

    Encode(context.digest, context.state, 4);
    // Set after the padding, whose update clears it.
    context.finalized = true;
}

std::string MD5HexDigest(MD5Context& context)
{
    if (!context.finalized)
        MD5Final(context);
    return MD5ToHex(context.digest);
}

std::string MD5ToHex(const unsigned char digest[16])
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string hex(32, '0');
    for (int i = 0; i < 16; ++i) {
        hex[i * 2] = kHex[digest[i] >> 4];
        hex[i * 2 + 1] = kHex[digest[i] & 0x0F];
    }
    return hex;
}

void MD5Decode(uint32_t output[16], const unsigned char input[64])
{
    for (int i = 0; i < 16; ++i)
        output[i] = (uint32_t)input[i * 4] | ((uint32_t)input[i * 4 + 1] << 8) |
                    ((uint32_t)input[i * 4 + 2] << 16) | ((uint32_t)input[i * 4 + 3] << 24);
}

void MD5Transform(MD5Context& context, const unsigned char block[64])
{
    uint32_t a = context.state[0], b = context.state[1], c = context.state[2], d = context.state[3];
    uint32_t x[16];
    MD5Decode(x, block);

    // Round 1
    FF(a, b, c, d, x[0], 7, 0xd76aa478); FF(d, a, b, c, x[1], 12, 0xe8c7b756);
    FF(c, d, a, b, x[2], 17, 0x242070db); FF(b, c, d, a, x[3], 22, 0xc1bdceee);
    FF(a, b, c, d, x[4], 7, 0xf57c0faf); FF(d, a, b, c, x[5], 12, 0x4787c62a);
    FF(c, d, a, b, x[6], 17, 0xa8304613); FF(b, c, d, a, x[7], 22, 0xfd469501);
    FF(a, b, c, d, x[8], 7, 0x698098d8); FF(d, a, b, c, x[9], 12, 0x8b44f7af);
    FF(c, d, a, b, x[10], 17, 0xffff5bb1); FF(b, c, d, a, x[11], 22, 0x895cd7be);
    FF(a, b, c, d, x[12], 7, 0x6b901122); FF(d, a, b, c, x[13], 12, 0xfd987193);
    FF(c, d, a, b, x[14], 17, 0xa679438e); FF(b, c, d, a, x[15], 22, 0x49b40821);

    // Round 2
    GG(a, b, c, d, x[1], 5, 0xf61e2562); GG(d, a, b, c, x[6], 9, 0xc040b340);
    GG(c, d, a, b, x[11], 14, 0x265e5a51); GG(b, c, d, a, x[0], 20, 0xe9b6c7aa);
    GG(a, b, c, d, x[5], 5, 0xd62f105d); GG(d, a, b, c, x[10], 9, 0x02441453);
    GG(c, d, a, b, x[15], 14, 0xd8a1e681); GG(b, c, d, a, x[4], 20, 0xe7d3fbc8);
    GG(a, b, c, d, x[9], 5, 0x21e1cde6); GG(d, a, b, c, x[14], 9, 0xc33707d6);
    GG(c, d, a, b, x[3], 14, 0xf4d50d87); GG(b, c, d, a, x[8], 20, 0x455a14ed);
    GG(a, b, c, d, x[13], 5, 0xa9e3e905); GG(d, a, b, c, x[2], 9, 0xfcefa3f8);
    GG(c, d, a, b, x[7], 14, 0x676f02d9); GG(b, c, d, a, x[12], 20, 0x8d2a4c8a);

    // Round 3
    HH(a, b, c, d, x[5], 4, 0xfffa3942); HH(d, a, b, c, x[8], 11, 0x8771f681);
    HH(c, d, a, b, x[11], 16, 0x6d9d6122); HH(b, c, d, a, x[14], 23, 0xfde5380c);
    HH(a, b, c, d, x[1], 4, 0xa4beea44); HH(d, a, b, c, x[4], 11, 0x4bdecfa9);
    HH(c, d, a, b, x[7], 16, 0xf6bb4b60); HH(b, c, d, a, x[10], 23, 0xbebfbc70);
    HH(a, b, c, d, x[13], 4, 0x289b7ec6); HH(d, a, b, c, x[0], 11, 0xeaa127fa);
    HH(c, d, a, b, x[3], 16, 0xd4ef3085); HH(b, c, d, a, x[6], 23, 0x04881d05);
    HH(a, b, c, d, x[9], 4, 0xd9d4d039); HH(d, a, b, c, x[12], 11, 0xe6db99e5);
    HH(c, d, a, b, x[15], 16, 0x1fa27cf8); HH(b, c, d, a, x[2], 23, 0xc4ac5665);

    // Round 4
    II(a, b, c, d, x[0], 6, 0xf4292244); II(d, a, b, c, x[7], 10, 0x432aff97);
    II(c, d, a, b, x[14], 15, 0xab9423a7); II(b, c, d, a, x[5], 21, 0xfc93a039);
    II(a, b, c, d, x[12], 6, 0x655b59c3); II(d, a, b, c, x[3], 10, 0x8f0ccc92);
    II(c, d, a, b, x[10], 15, 0xffeff47d); II(b, c, d, a, x[1], 21, 0x85845dd1);
    II(a, b, c, d, x[8], 6, 0x6fa87e4f); II(d, a, b, c, x[15], 10, 0xfe2ce6e0);
    II(c, d, a, b, x[6], 15, 0xa3014314); II(b, c, d, a, x[13], 21, 0x4e0811a1);
    II(a, b, c, d, x[4], 6, 0xf7537e82); II(d, a, b, c, x[11], 10, 0xbd3af235);
    II(c, d, a, b, x[2], 15, 0x2ad7d2bb); II(b, c, d, a, x[9], 21, 0xeb86d391);

    context.state[0] += a;
    context.state[1] += b;
    context.state[2] += c;
    context.state[3] += d;
}
