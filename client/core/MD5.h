// MD5 message digest (RFC 1321) with an upper-case hexadecimal form.
#pragma once

#include <cstdint>
#include <string>

// One digest computation, made on the caller's stack: feed all data, then take the digest once.
struct MD5Context
{
    uint32_t state[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
    uint32_t count[2] = {0, 0};          // bit count, low word first
    unsigned char buffer[64] = {};
    unsigned char digest[16] = {};
    bool finalized = false;
};

// Resets the context and feeds it the text's bytes (its length, no terminator).
MD5Context& MD5Init(MD5Context& context, const std::string& text);
void MD5Update(MD5Context& context, const void* input, unsigned int length);
// Pads, runs the last block and writes the digest into the context; marks it finalized.
void MD5Final(MD5Context& context);
// 32 upper-case hex digits of the digest; finalizes the context first when that has not happened.
std::string MD5HexDigest(MD5Context& context);
std::string MD5ToHex(const unsigned char digest[16]);

void MD5Transform(MD5Context& context, const unsigned char block[64]);
void MD5Decode(uint32_t output[16], const unsigned char input[64]);
