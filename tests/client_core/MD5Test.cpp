#include <gtest/gtest.h>

#include <string>
#include "MD5.h"

namespace {

struct DigestCase
{
    std::string input;
    const char* hex;
};

std::string HexOf(const std::string& text)
{
    MD5Context ctx;
    MD5Init(ctx, text);
    return MD5HexDigest(ctx);
}

// The RFC 1321 suite, upper-case, and inputs around the 55/56/64-byte padding boundaries.
const DigestCase kDigests[] = {
    {"", "D41D8CD98F00B204E9800998ECF8427E"},
    {"a", "0CC175B9C0F1B6A831C399E269772661"},
    {"abc", "900150983CD24FB0D6963F7D28E17F72"},
    {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
    {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "D174AB98D277D9F5A5611C2C9F419D9F"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57EDF4A22BE3C955AC49DA2E2107B67A"},
    {std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
    {std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
    {std::string(57, 'a'), "652B906D60AF96844EBD21B674F35E93"},
    {std::string(63, 'a'), "B06521F39153D618550606BE297466D5"},
    {std::string(64, 'a'), "014842D480B571495A4A0363793F7367"},
    {std::string(65, 'a'), "C743A45E0D2E6A95CB859ADAE0248435"},
    {std::string(119, 'a'), "8A7BD0732ED6A28CE75F6DABC90E1613"},
    {std::string(120, 'a'), "5F61C0CCAD4CAC44C75FF505E1F1E537"},
    {std::string(128, 'a'), "E510683B3F5FFE4093D021808BC6FF70"},
    {std::string(1000000, 'a'), "7707D6AE4E027C70EEA2A935C2296F21"},
    {"中文", "BCCE109775E8E1972E9F5FCDA3E12895"},  // GBK bytes D6 D0 CE C4
};

class MD5DigestTest : public ::testing::TestWithParam<DigestCase> {};

TEST_P(MD5DigestTest, HexDigestOfWholeText)
{
    EXPECT_EQ(HexOf(GetParam().input), GetParam().hex);
}

// Fed in uneven pieces, the buffered tail must carry across every block boundary.
TEST_P(MD5DigestTest, HexDigestOfPiecewiseUpdates)
{
    const std::string& in = GetParam().input;
    MD5Context ctx;
    size_t pos = 0;
    unsigned step = 1;
    while (pos < in.size()) {
        unsigned n = (unsigned)std::min<size_t>(step, in.size() - pos);
        MD5Update(ctx, in.data() + pos, n);
        pos += n;
        step = step * 7 % 97 + 1;
    }
    EXPECT_EQ(MD5HexDigest(ctx), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(Rfc1321AndBoundaries, MD5DigestTest, ::testing::ValuesIn(kDigests));

TEST(MD5Test, HexDigestTwiceGivesTheSameDigest)
{
    MD5Context ctx;
    MD5Init(ctx, "abc");
    EXPECT_EQ(MD5HexDigest(ctx), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(MD5HexDigest(ctx), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(MD5Test, RawDigestAfterFinalAndHexAgree)
{
    MD5Context ctx;
    MD5Update(ctx, "abc", 3);
    MD5Final(ctx);
    const unsigned char expected[16] = {0x90, 0x01, 0x50, 0x98, 0x3C, 0xD2, 0x4F, 0xB0,
                                        0xD6, 0x96, 0x3F, 0x7D, 0x28, 0xE1, 0x7F, 0x72};
    EXPECT_EQ(0, memcmp(ctx.digest, expected, 16));
    // The hex form after an explicit final must not pad a second time.
    EXPECT_EQ(MD5HexDigest(ctx), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(MD5Test, InitResetsAUsedContext)
{
    MD5Context ctx;
    MD5Init(ctx, "something else entirely");
    MD5HexDigest(ctx);
    MD5Init(ctx, "abc");
    EXPECT_EQ(MD5HexDigest(ctx), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(MD5Test, BitCountCarriesIntoHighWord)
{
    MD5Context ctx;
    ctx.count[0] = 0xFFFFFFF8u;  // one byte short of the low word's end
    MD5Update(ctx, "ab", 2);
    EXPECT_EQ(ctx.count[0], 8u);
    EXPECT_EQ(ctx.count[1], 1u);
}

TEST(MD5Test, ToHexUsesUpperCaseHighNibbleFirst)
{
    const unsigned char bytes[16] = {0x00, 0x01, 0x0A, 0xF0, 0xFF, 0x5C, 0xAB, 0xCD,
                                     0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xEF};
    EXPECT_EQ(MD5ToHex(bytes), "00010AF0FF5CABCD123456789ABCDEEF");
}

TEST(MD5Test, DecodeReadsLittleEndianWords)
{
    unsigned char block[64];
    for (int i = 0; i < 64; ++i)
        block[i] = (unsigned char)i;
    uint32_t words[16];
    MD5Decode(words, block);
    EXPECT_EQ(words[0], 0x03020100u);
    EXPECT_EQ(words[15], 0x3F3E3D3Cu);
}

} // namespace
