#include <gtest/gtest.h>
#include "CString.h"
#include "CodePage.h"

TEST(CString, FindMidTrim)
{
    CString s("  [ OptionData ]  ");
    s.Trim();
    EXPECT_STREQ("[ OptionData ]", s);
    EXPECT_EQ(0, s.Find('['));
    EXPECT_EQ(13, s.Find(']'));
    EXPECT_EQ(-1, s.Find('x'));
    CString name = s.Mid(1, 12);
    name.Trim();
    EXPECT_STREQ("OptionData", name);
    EXPECT_STREQ("", CString("abc").Mid(5));
    EXPECT_STREQ("bc", CString("abc").Right(2));
    EXPECT_STREQ("abc", CString("abc").Right(9));
    EXPECT_STREQ("", CString("abc").Left(-1));
}

TEST(CString, FormatAndBuffers)
{
    CString s;
    s.Format("%d.%d.%d.%d", 1, 2, 3, 4);
    EXPECT_STREQ("1.2.3.4", s);
    s.AppendFormat("-%s", "x");
    EXPECT_STREQ("1.2.3.4-x", s);
    char* p = s.GetBuffer(32);
    strcpy(p, "short");
    s.ReleaseBuffer();
    EXPECT_EQ(5, s.GetLength());
}

TEST(CString, CaseMappingLeavesGbkBytes)
{
    // "中a" in GBK: D6 D0 61; the trail byte D0 must not be touched.
    CString s("中a");
    s.MakeUpper();
    EXPECT_STREQ("\xD6\xD0" "A", s);
}

TEST(CodePage, GbkRoundTrip)
{
    std::string gbk = "中文abc";
    EXPECT_EQ(std::string("\xD6\xD0\xCE\xC4" "abc"), gbk);
    std::string utf8 = CCodePage::AnsiToUtf8(gbk);
    EXPECT_EQ(std::string("\xE4\xB8\xAD\xE6\x96\x87" "abc"), utf8);
    EXPECT_EQ(gbk, CCodePage::Utf8ToAnsi(utf8));
}

TEST(CodePage, WindowsStyleLengths)
{
    // Length -1 counts the terminator, as the encoding routines rely on.
    int n = MultiByteToWideChar(CP_UTF8, 0, "\xE4\xB8\xAD", -1, nullptr, 0);
    EXPECT_EQ(2, n);
    std::wstring w(L"\x4E2D\x20AC\x1F600");
    int m = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0);
    char buf[16] = {};
    ASSERT_EQ(m, WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, buf, sizeof buf));
    // 中 and the euro sign exist in code page 936; the emoji does not and becomes '?'.
    EXPECT_STREQ("\xD6\xD0\x80?", buf);
}
