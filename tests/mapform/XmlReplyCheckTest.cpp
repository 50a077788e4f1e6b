// Replies TinyXML must never see: cut inside a UTF-8 character, or nested deeper than any real
// reply, however the nesting hides from a reader that is not careful.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include "Mapform.h"
#include "XmlReplyCheck.h"

namespace {

// The reply in a block of exactly its size, so that a read past its end is caught.
std::unique_ptr<char[]> Exact(const std::string& text)
{
    std::unique_ptr<char[]> block(new char[text.size() + 1]);
    std::memcpy(block.get(), text.c_str(), text.size() + 1);
    return block;
}

std::string Repeat(const std::string& s, size_t n)
{
    std::string out;
    out.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

std::string Nested(size_t nDepth, const std::string& open = "<menu type=\"popup\">", const std::string& close = "</menu>")
{
    return "<menus>" + Repeat(open, nDepth) + Repeat(close, nDepth) + "</menus>";
}

TEST(XmlReplyCheckTest, RepliesCutInsideACharacterAreRefused)
{
    const std::string replies[] = {
        "<a>\xE6",
        "<response><result>success</result><version>1.0\xE6",
        "<response><result>success</result><version>1.0</version><url>x</url></response>\xF0\x9F",
        "<response><result>success\xC3</result></response>",
        "<response><result>success</result><message>\xE6\x97</message></response>",
        "<response><result>success</result><message>\xC0\xAF</message></response>",  // overlong
        "<response><result>success</result><message>\xED\xA0\x80</message></response>", // surrogate
    };
    for (const std::string& reply : replies)
    {
        auto block = Exact(reply);
        XML_RESPONSE resp = {};
        VERSION_INFO info = {};
        EXPECT_FALSE(MF_ParseXml(block.get(), &resp)) << reply;
        EXPECT_FALSE(MF_ParseVersion(block.get(), &info)) << reply;
    }
    // Whole characters, up to four bytes, pass.
    auto block = Exact("<response><result>success</result><message>\xE6\x9B\xB4\xF0\x9F\x93\xA6\xC3\xA9</message>"
                       "<version>1.0</version><url>u</url></response>");
    XML_RESPONSE resp = {};
    ASSERT_TRUE(MF_ParseXml(block.get(), &resp));
    EXPECT_STREQ("\xE6\x9B\xB4\xF0\x9F\x93\xA6\xC3\xA9", resp.message);
}

TEST(XmlReplyCheckTest, FortyThousandNestedMenusAreRefusedBeforeParsing)
{
    std::string xml = Nested(40000);
    ASSERT_GT(xml.size(), 1000000u);
    MENU_ITEM* root = reinterpret_cast<MENU_ITEM*>(0x1);
    EXPECT_FALSE(ParseMenus(xml.c_str(), &root));
    EXPECT_EQ(nullptr, root);
    std::string response = "<response>" + Repeat("<x>", 40000) + "</response>";
    XML_RESPONSE resp = {};
    VERSION_INFO info = {};
    EXPECT_FALSE(MF_ParseXml(response.c_str(), &resp));
    EXPECT_FALSE(MF_ParseVersion(response.c_str(), &info));
}

TEST(XmlReplyCheckTest, DepthLimitStandsAboveEveryRealTree)
{
    const size_t nLimit = CXmlReplyCheck::kMaxDepth;
    // The root counts as one level.
    MENU_ITEM* root = nullptr;
    ASSERT_TRUE(ParseMenus(Nested(nLimit - 1).c_str(), &root));
    size_t nLevels = 0;
    for (MENU_ITEM* item = root; item; item = item->child)
        ++nLevels;
    EXPECT_EQ(nLimit - 1, nLevels);
    ClearupMenus(&root);
    EXPECT_FALSE(ParseMenus(Nested(nLimit).c_str(), &root));
    EXPECT_EQ(nullptr, root);
}

TEST(XmlReplyCheckTest, NestingHiddenFromACarelessCountIsStillCounted)
{
    struct Case { const char* name; std::string xml; bool bWithin; };
    const Case cases[] = {
        // Closers inside attribute values, comments and CDATA close nothing.
        { "closers in values", Nested(100, "<menu name=\"/></menu>\" type='popup'>"), false },
        { "closers in comments", Nested(100, "<menu><!-- </menu> -->"), false },
        { "closers in CDATA", Nested(100, "<menu><![CDATA[</menu>]]>"), false },
        // A quote where no value starts would let the two readers part ways.
        { "stray quote", "<menus><menu name=x\"/></menus>", false },
        { "declaration with '>' quoted", "<?xml version='>'?><menus/>", false },
        { "declaration with '>' in an unclosed value", "<?xml a=\"\"=\"a>" + Repeat("<a>", 100), false },
        // Empty elements and siblings add no depth.
        { "siblings", "<menus>" + Repeat("<menu name=\"a/b\" type=\"command\"/>", 1000) + "</menus>", true },
        { "comments and CDATA", "<?xml version=\"1.0\"?><!DOCTYPE x><menus><!-- <a><b><c> --><![CDATA[<d><e>]]></menus>", true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bWithin, CXmlReplyCheck::IsNestedWithin(c.xml.c_str())) << c.name;
}

} // namespace
