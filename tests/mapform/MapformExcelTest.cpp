#include <gtest/gtest.h>

#include "Mapform.h"
#include "TestFiles.h"

#include <CodePage.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string kData = MAPFORM_TEST_DATA;

std::string Utf8(const char* gbk) { return CCodePage::AnsiToUtf8(gbk); }

class MapformExcelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = MakeTempFolder("mapform_xls");
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override { RemoveFolder(m_dir); }

    std::string m_dir;
};

TEST_F(MapformExcelTest, OrderSheetBecomesJsonRowsOfCellTexts)
{
    char* text = nullptr;
    ASSERT_TRUE(MF_ParseOrderInExcel((kData + "/orders.xls").c_str(), &text));
    ASSERT_NE(text, nullptr);
    // Chinese text stays UTF-8; the long waybill and phone numbers keep every digit, with no decimals;
    // the empty cell is ""; quotes, the backslash and the line break inside a cell are escaped.
    std::string expected = Utf8("[[\"订单号\",\"收件人\",\"电话\",\"重量\",\"件数\",\"备注\"],"
                                "[\"1234567890123\",\"张三\",\"13800138000\",\"1.5\",\"2\",\"他说\\\"快\\\"\\\\路\"],"
                                "[\"9876543210987\",\"李四\",\"\",\"0.25\",\"1\",\"第一行\\n第二行\"]]");
    EXPECT_EQ(std::string(text), expected);
    free(text);
}

TEST_F(MapformExcelTest, EmptySheetGivesAnEmptyArray)
{
    char* text = nullptr;
    ASSERT_TRUE(MF_ParseOrderInExcel((kData + "/empty.xls").c_str(), &text));
    EXPECT_STREQ(text, "[]");
    free(text);
}

TEST_F(MapformExcelTest, GbkPathFindsTheFileUnderItsUtf8Name)
{
    std::string utf8Path = m_dir + "/" + Utf8("订单.xls");
    std::filesystem::copy_file(kData + "/orders.xls", utf8Path);
    std::string gbkPath = m_dir + "/订单.xls";
    char* text = nullptr;
    ASSERT_TRUE(MF_ParseOrderInExcel(gbkPath.c_str(), &text));
    EXPECT_EQ(std::string(text).rfind(Utf8("[[\"订单号\""), 0), 0u);
    free(text);
}

TEST_F(MapformExcelTest, FilesThatAreNotOrderSheetsAreRefused)
{
    std::ofstream(m_dir + "/notes.xls") << "order,number\n1,2\n";
    std::ofstream(m_dir + "/blank.xls");
    std::filesystem::create_directory(m_dir + "/folder.xls");
    const std::string cases[] = {
        m_dir + "/missing.xls",    // no such file
        m_dir + "/notes.xls",      // text with an .xls name
        m_dir + "/blank.xls",      // zero bytes
        m_dir + "/folder.xls",     // a folder
        kData + "/orders.xlsx",    // the newer zip format
        "",
    };
    for (const std::string& path : cases) {
        char* text = nullptr;
        EXPECT_FALSE(MF_ParseOrderInExcel(path.c_str(), &text)) << path;
        EXPECT_EQ(text, nullptr) << path;
    }
    EXPECT_FALSE(MF_ParseOrderInExcel(nullptr, nullptr));
}

} // namespace

namespace {

// Crafted sheets on which FreeXL over-reads a stack buffer, over-reads a heap block or leaks:
// the reading child ends (or gives up), and the import fails as for a sheet that does not parse.
TEST(MapformExcelHostileTest, CraftedSheetsFailTheImportAndLeaveTheClientWhole)
{
    // A reader that cannot start refuses every sheet: the refusals below would prove nothing.
    {
        char* text = nullptr;
        ASSERT_TRUE(MF_ParseOrderInExcel((kData + "/orders.xls").c_str(), &text));
        free(text);
    }
    for (const char* pszName : { "orders-iconv-overread.xls", "orders-heap-overread.xls", "orders-leak.xls" })
    {
        char* text = reinterpret_cast<char*>(0x1);
        EXPECT_FALSE(MF_ParseOrderInExcel((kData + "/" + pszName).c_str(), &text)) << pszName;
        EXPECT_EQ(reinterpret_cast<char*>(0x1), text) << pszName;
    }
    // The next sheet reads as before.
    char* text = nullptr;
    ASSERT_TRUE(MF_ParseOrderInExcel((kData + "/orders.xls").c_str(), &text));
    EXPECT_EQ(0, std::string(text).rfind("[[", 0));
    free(text);
}

} // namespace
