// Resources of the program: strings through CString::LoadString, embedded files by id and type.
#include <gtest/gtest.h>
#include <cstring>
#include "AfxWin.h"

namespace
{
CResourceRegistrar s_reg([] {
    CResourceRegistry::AddString(128, "Velkor速递网点客户端");
    static const char s_named[] = "named data";
    CResourceRegistry::AddData("CONFIG", RT_RCDATA, s_named, (DWORD)strlen(s_named));
});
}  // namespace

TEST(Resource, StringTableReachesCString)
{
    CString s;
    EXPECT_TRUE(s.LoadString(128));
    EXPECT_STREQ("Velkor速递网点客户端", s);
    EXPECT_FALSE(s.LoadString(64000));
    char buf[8];
    EXPECT_EQ(7, LoadString(nullptr, 128, buf, sizeof buf));  // cut to the buffer, NUL-terminated
    EXPECT_EQ(0, memcmp(buf, "Velkor", 6));
}

TEST(Resource, EmbeddedFileIsFoundByIdAndType)
{
    HRSRC h = FindResource(nullptr, MAKEINTRESOURCE(355), "GIF");
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(h, FindResource(nullptr, "#355", "gif"));  // names compare without case
    DWORD n = SizeofResource(nullptr, h);
    const unsigned char* p = (const unsigned char*)LockResource(LoadResource(nullptr, h));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(43u, n);
    EXPECT_EQ(0, memcmp(p, "GIF89a", 6));
    EXPECT_EQ(0x3B, p[n - 1]);
    EXPECT_EQ(nullptr, FindResource(nullptr, MAKEINTRESOURCE(356), "GIF"));
    EXPECT_EQ(nullptr, FindResource(nullptr, MAKEINTRESOURCE(355), RT_BITMAP));
    HRSRC hn = FindResource(nullptr, "config", RT_RCDATA);
    ASSERT_NE(nullptr, hn);
    EXPECT_EQ(10u, SizeofResource(nullptr, hn));
}
