#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
#include "Base64.h"
#include "EncodingUtil.h"
#include "URLEncode.h"

namespace {

struct TextCase
{
    std::string input;
    std::string expected;
};

// --- Base64 ---------------------------------------------------------------------------------

class Base64EncodeTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(Base64EncodeTest, Encodes)
{
    CBase64 b64;
    const std::string& in = GetParam().input;
    CString out = b64.Base64Encode(CString(in));
    EXPECT_EQ(out.str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Base64EncodeTest, ::testing::Values(
    TextCase{"", ""},
    TextCase{"A", "QQ=="},
    TextCase{"AB", "QUI="},
    TextCase{"abc", "YWJj"},
    TextCase{"f", "Zg=="},
    TextCase{"fo", "Zm8="},
    TextCase{"foo", "Zm9v"},
    TextCase{"foob", "Zm9vYg=="},
    TextCase{"fooba", "Zm9vYmE="},
    TextCase{"foobar", "Zm9vYmFy"},
    TextCase{"\xFF\xFE\xFD", "//79"},           // bytes read as unsigned
    TextCase{std::string("\0\0\0", 3), "AAAA"}, // zero bytes are data
    TextCase{"中", "1tA="}));                    // GBK D6 D0

TEST(Base64Test, LongInputHasNoLineBreaks)
{
    std::string in;
    for (int i = 0; i < 1000; ++i)
        in += (char)(i % 256);
    CBase64 b64;
    CString out = b64.Base64Encode(CString(in));
    EXPECT_EQ(out.GetLength(), 4 * ((1000 + 2) / 3));
    EXPECT_EQ(out.Find('\n'), -1);
    EXPECT_EQ(out.Find('\r'), -1);
    EXPECT_EQ(out.Left(20), "AAECAwQFBgcICQoLDA0O");
}

TEST(Base64Test, DigestOfZeroBytes)
{
    const unsigned char digest[16] = {};
    char out[32];
    memset(out, 0, sizeof(out));
    int count = -1;
    CBase64().Base64EncodeDigest(digest, out, &count);
    EXPECT_EQ(count, 24);
    EXPECT_STREQ(out, "AAAAAAAAAAAAAAAAAAAAAA==");
}

TEST(Base64Test, DigestWritesExactly24BytesAndNoTerminator)
{
    const unsigned char digest[16] = {0x90, 0x01, 0x50, 0x98, 0x3C, 0xD2, 0x4F, 0xB0,
                                      0xD6, 0x96, 0x3F, 0x7D, 0x28, 0xE1, 0x7F, 0x72};
    char out[32];
    memset(out, '#', sizeof(out));
    int count = 0;
    CBase64().Base64EncodeDigest(digest, out, &count);
    EXPECT_EQ(count, 24);
    EXPECT_EQ(std::string(out, 24), "kAFQmDzST7DWlj99KOF/cg==");
    EXPECT_EQ(out[24], '#');
}

TEST(Base64Test, DigestWithNullBufferWritesNothing)
{
    const unsigned char digest[16] = {};
    int count = 99;
    CBase64().Base64EncodeDigest(digest, nullptr, &count);
    EXPECT_EQ(count, 0);
    char out[32] = {};
    CBase64().Base64EncodeDigest(nullptr, out, &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(out[0], '\0');
}

TEST(Base64Test, AlphabetIsStandard)
{
    EXPECT_EQ(g_base64Alphabet, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
}

// --- UrlEncode ------------------------------------------------------------------------------

class UrlEncodeTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(UrlEncodeTest, Encodes)
{
    EXPECT_EQ(CURLEncode().UrlEncode(GetParam().input.c_str()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, UrlEncodeTest, ::testing::Values(
    TextCase{"", ""},
    TextCase{"a b", "a%20b"},
    TextCase{"a+b/c=", "a%2Bb%2Fc%3D"},
    TextCase{"~", "%7E"},
    TextCase{"{", "%7B"},
    TextCase{"|", "%7C"},
    TextCase{"}", "%7D"},
    TextCase{"\x7F", "%7F"},
    TextCase{"A-z_0.'", "A-z_0.'"},
    TextCase{"中", "%D6%D0"},
    TextCase{"\t", "%09"},
    TextCase{"\n", "%0A"},
    TextCase{"\xFF", "%FF"},
    TextCase{"\"<>%\\^[]`+$,@:;/!#?=&*()", "%22%3C%3E%25%5C%5E%5B%5D%60%2B%24%2C%40%3A%3B%2F%21%23%3F%3D%26%2A%28%29"},
    TextCase{"http://h/p?a=1&b=中文", "http%3A%2F%2Fh%2Fp%3Fa%3D1%26b%3D%D6%D0%CE%C4"}));

TEST(UrlEncodeNullTest, NullGivesEmpty)
{
    EXPECT_EQ(CURLEncode().UrlEncode(nullptr), "");
}

TEST(UrlEncodeReservedTest, ReservedSetInStoredOrder)
{
    EXPECT_EQ(g_urlReserved, "\"<>%\\^[]`+$,@:;/!#?=&*()");
}

// Over all 256 byte values: only A-Z, a-z, 0-9 and ' - . _ pass unescaped.
TEST(UrlEncodeReservedTest, EveryByteValue)
{
    CURLEncode enc;
    for (int v = 0; v < 256; ++v) {
        char c = (char)v;
        bool passes = (v >= 'A' && v <= 'Z') || (v >= 'a' && v <= 'z') || (v >= '0' && v <= '9') ||
                      c == '\'' || c == '-' || c == '.' || c == '_';
        EXPECT_EQ(enc.IsUrlReserved(c), !passes) << "byte " << v;
    }
}

// --- GbkToUtf8 ------------------------------------------------------------------------------

class GbkToUtf8Test : public ::testing::TestWithParam<TextCase> {};

TEST_P(GbkToUtf8Test, Encodes)
{
    EXPECT_EQ(CURLEncode().GbkToUtf8(GetParam().input.c_str()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, GbkToUtf8Test, ::testing::Values(
    TextCase{"", ""},
    TextCase{"a b", "a+b"},
    TextCase{"a-b.c", "a%2Db%2Ec"},
    TextCase{"中", "%E4%B8%AD"},
    TextCase{"_'~*", "%5F%27%7E%2A"},
    TextCase{"中文 A1", "%E4%B8%AD%E6%96%87+A1"},
    TextCase{"p@ss/w=rd&", "p%40ss%2Fw%3Drd%26"},
    TextCase{"\t\n", "%09%0A"}));

TEST(GbkToUtf8NullTest, NullGivesEmpty)
{
    EXPECT_EQ(CURLEncode().GbkToUtf8(nullptr), "");
}

// --- Utf8ToAnsi -----------------------------------------------------------------------------

class Utf8ToAnsiTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(Utf8ToAnsiTest, StdStringInPlace)
{
    std::string s = GetParam().input;
    Utf8ToAnsi(s);
    EXPECT_EQ(s, GetParam().expected);
}

TEST_P(Utf8ToAnsiTest, CStringInPlace)
{
    CString s(GetParam().input);
    Utf8ToAnsi(s);
    EXPECT_EQ(s.str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8ToAnsiTest, ::testing::Values(
    TextCase{"", ""},
    TextCase{"plain ASCII 123 <>&", "plain ASCII 123 <>&"},
    TextCase{"\xE4\xB8\xAD\xE6\x96\x87", "中文"},
    TextCase{"a\xE4\xB8\xAD" "b", "a中b"},
    TextCase{"\xF0\x9F\x98\x80", "?"},                 // no GBK form
    TextCase{std::string("ab\0cd", 5), "ab"}));      // up to the first zero byte

// --- CStringToStdString ---------------------------------------------------------------------

TEST(CStringToStdStringTest, CopiesBytesUpToFirstZero)
{
    EXPECT_EQ(CStringToStdString(CString("中文abc")), std::string("中文abc"));
    EXPECT_EQ(CStringToStdString(CString("ab\0cd", 5)), "ab");
    EXPECT_EQ(CStringToStdString(CString()), "");
}

// --- SplitString ----------------------------------------------------------------------------

struct SplitCase
{
    const char* text;
    char separator;
    std::vector<std::string> pieces;
};

class SplitStringTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStringTest, Splits)
{
    CStringArray out;
    out.Add("left over");
    SplitString(GetParam().text, GetParam().separator, out);
    std::vector<std::string> got;
    for (INT_PTR i = 0; i < out.GetSize(); ++i)
        got.push_back(out[i].str());
    EXPECT_EQ(got, GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitStringTest, ::testing::Values(
    SplitCase{"aaa/bbb/ccc/ddd/", '/', {"aaa", "bbb", "ccc", "ddd"}},
    SplitCase{" /x//y ", '/', {"x", "y"}},
    SplitCase{"", '/', {}},
    SplitCase{"   ", '/', {}},
    SplitCase{"abc", '/', {"abc"}},
    SplitCase{"/", '/', {}},
    SplitCase{"///a", '/', {"a"}},
    SplitCase{"a b/ c d ", '/', {"a b", " c d"}},
    SplitCase{"中/文/", '/', {"中", "文"}},
    SplitCase{"1,2,,3", ',', {"1", "2", "3"}}));

} // namespace
