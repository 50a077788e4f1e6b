#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "XmlReaders.h"

namespace {

using Paths = std::vector<std::string>;

// --- trans-URL list -------------------------------------------------------------------------

struct TransCase
{
    const char* name;
    const char* xml;
    int expectedCount;      // -7 = left as it was
    Paths expectedList;
};

class ParseTransUrlListTest : public ::testing::TestWithParam<TransCase> {};

TEST_P(ParseTransUrlListTest, Parses)
{
    Paths list;
    int count = -7;
    ParseTransUrlList(GetParam().xml, list, count);
    EXPECT_EQ(count, GetParam().expectedCount);
    EXPECT_EQ(list, GetParam().expectedList);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseTransUrlListTest, ::testing::Values(
    TransCase{"DocumentOrderWhateverTheIndex",
              "<?xml version=\"1.0\" encoding=\"GBK\"?>"
              "<transurllist>"
              "<url><index>9</index><path>http://a/1</path></url>"
              "<url><index>0</index><path>http://b/2</path></url>"
              "<url><index>5</index><path>http://c/3</path></url>"
              "</transurllist>",
              3, {"http://a/1", "http://b/2", "http://c/3"}},
    TransCase{"MissingPathOrIndexStillCounts",
              "<transurllist>"
              "<url><index>0</index></url>"
              "<url><path>http://b/</path></url>"
              "<url/>"
              "<url><index>3</index><path></path></url>"
              "</transurllist>",
              4, {"", "http://b/", "", ""}},
    TransCase{"OtherChildrenAreSkipped",
              "<transurllist><note>x</note><url><path>p1</path></url><other/>"
              "<url><path>p2</path></url></transurllist>",
              2, {"p1", "p2"}},
    TransCase{"GbkTextKeepsItsBytes",
              "<transurllist><url><index>0</index><path>http://h/中文</path></url></transurllist>",
              1, {"http://h/中文"}},
    // The reply was converted to GBK already; its declaration still says UTF-8.
    TransCase{"DeclarationDoesNotChangeTheBytes",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
              "<transurllist><url><path>http://h/中文?x=甲</path></url></transurllist>",
              1, {"http://h/中文?x=甲"}},
    TransCase{"EntitiesAreDecoded",
              "<transurllist><url><path>http://h/p?a=1&amp;b=2</path></url></transurllist>",
              1, {"http://h/p?a=1&b=2"}},
    TransCase{"NoUrlElements", "<transurllist></transurllist>", -7, {}},
    TransCase{"WrongDocumentElement", "<urllist><url><path>p</path></url></urllist>", -7, {}},
    TransCase{"UrlNotDirectlyUnderList",
              "<transurllist><group><url><path>p</path></url></group></transurllist>", -7, {}},
    TransCase{"BreaksOffInsideAnEntry", "<transurllist><url><path>p</path></url><url><path>q", 1, {"p"}},
    TransCase{"MalformedAfterTwoEntries",
              "<transurllist><url><path>p</path></url><url><path>q</path></url><url><path>r</pth></url>"
              "</transurllist>",
              2, {"p", "q"}},
    TransCase{"BreaksOffInsideTheFirstEntry", "<transurllist><url><index>0</index><path>http://a/", -7, {}},
    TransCase{"NotXml", "404 Not Found", -7, {}},
    TransCase{"Empty", "", -7, {}}),
    [](const ::testing::TestParamInfo<TransCase>& info) { return std::string(info.param.name); });

TEST(ParseTransUrlListNullTest, NullLeavesBothUnchanged)
{
    Paths list{"kept"};
    int count = 1;
    ParseTransUrlList(nullptr, list, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(list, Paths{"kept"});
}

TEST(ParseTransUrlListAppendTest, AppendsToWhatIsThere)
{
    Paths list{"old"};
    int count = 0;
    ParseTransUrlList("<transurllist><url><path>new</path></url></transurllist>", list, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(list, (Paths{"old", "new"}));
}

// --- message list ---------------------------------------------------------------------------

TEST(ParseMessageListTest, FillsEveryField)
{
    const char* xml =
        "<?xml version=\"1.0\" encoding=\"GBK\"?>"
        "<response><datas><data>"
        "<type>3</type><title>通知</title><class>系统/公告/</class><time>2024-05-06 07:08:09</time>"
        "<content>今日停机维护</content><reader>web</reader><url>http://h/msg?id=1</url>"
        "</data></datas></response>";
    CNewsItem item;
    ASSERT_TRUE(ParseMessageList(xml, item));
    EXPECT_EQ(item.type, 3);
    EXPECT_EQ(item.GetTitle(), "通知");
    EXPECT_EQ(item.GetClass(), "系统/公告/");
    EXPECT_EQ(item.GetOccurTime(), "2024-05-06 07:08:09");
    EXPECT_EQ(item.GetContent(), "今日停机维护");
    EXPECT_EQ(item.GetRemindType(), "web");
    EXPECT_EQ(item.GetUrl(), "http://h/msg?id=1");
}

TEST(ParseMessageListTest, OnlyTheFirstDataIsRead)
{
    const char* xml =
        "<response><datas>"
        "<data><title>first</title><type>12</type></data>"
        "<data><title>second</title><type>13</type><url>http://second/</url></data>"
        "</datas></response>";
    CNewsItem item;
    ASSERT_TRUE(ParseMessageList(xml, item));
    EXPECT_EQ(item.GetTitle(), "first");
    EXPECT_EQ(item.type, 12);
    EXPECT_EQ(item.GetUrl(), "");
}

TEST(ParseMessageListTest, MissingChildrenKeepTheRecordsDefaults)
{
    CNewsItem item;
    ASSERT_TRUE(ParseMessageList("<response><datas><data><title>t</title></data></datas></response>", item));
    CNewsItem defaults;
    EXPECT_EQ(item.GetTitle(), "t");
    EXPECT_EQ(item.type, defaults.type);
    EXPECT_EQ(item.GetClass(), defaults.GetClass());
    EXPECT_EQ(item.GetRemindType(), defaults.GetRemindType());
    EXPECT_EQ(item.GetUrl(), defaults.GetUrl());
    EXPECT_EQ(item.GetOccurTime(), defaults.GetOccurTime());
    EXPECT_EQ(item.GetContent(), defaults.GetContent());
}

TEST(ParseMessageListTest, EmptyElementsStoreEmptyTextButAnEmptyUrlKeepsTheUrl)
{
    CNewsItem item;
    item.SetTitle("before");
    item.SetClass("x/");
    item.SetUrl("http://kept/");
    ASSERT_TRUE(ParseMessageList(
        "<response><datas><data><title></title><class/><url></url></data></datas></response>", item));
    EXPECT_EQ(item.GetTitle(), "");
    EXPECT_EQ(item.GetClass(), "");
    EXPECT_EQ(item.GetUrl(), "http://kept/");
}

struct TypeCase
{
    const char* element;
    int expected;
};

class ParseMessageTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ParseMessageTypeTest, Type)
{
    std::string xml = std::string("<response><datas><data>") + GetParam().element + "</data></datas></response>";
    CNewsItem item;
    item.type = 11;
    ASSERT_TRUE(ParseMessageList(xml.c_str(), item));
    EXPECT_EQ(item.type, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseMessageTypeTest, ::testing::Values(
    TypeCase{"<type>10</type>", 10},
    TypeCase{"<type>-3</type>", -3},
    TypeCase{"<type>0</type>", 0},
    TypeCase{"<type></type>", 11},       // no text: unchanged
    TypeCase{"<type/>", 11},
    TypeCase{"<type>abc</type>", 11},    // no number: unchanged
    TypeCase{"<type>99999999999</type>", 11},
    TypeCase{"<title>no type</title>", 11}));

struct RejectCase
{
    const char* name;
    const char* xml;
};

class ParseMessageRejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(ParseMessageRejectTest, FalseAndItemUntouched)
{
    CNewsItem item;
    item.SetTitle("untouched");
    EXPECT_FALSE(ParseMessageList(GetParam().xml, item));
    EXPECT_EQ(item.GetTitle(), "untouched");
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseMessageRejectTest, ::testing::Values(
    RejectCase{"NoDatas", "<response><data><title>t</title></data></response>"},
    RejectCase{"NoData", "<response><datas></datas></response>"},
    RejectCase{"NoResponse", "<reply><datas><data><title>t</title></data></datas></reply>"},
    RejectCase{"Malformed", "<response><datas><data><title>t</title></data>"},
    RejectCase{"BreaksOffInsideTheData", "<response><datas><data><title>t</title><content>half"},
    RejectCase{"MalformedInsideTheData", "<response><datas><data><title>t</title><content>c</contnt></data>"
                                         "</datas></response>"},
    RejectCase{"NotXml", "Internal Server Error"},
    RejectCase{"Empty", ""},
    RejectCase{"Null", nullptr}),
    [](const ::testing::TestParamInfo<RejectCase>& info) { return std::string(info.param.name); });

} // namespace

namespace {

// A reply nested deeper than any real one is refused before TinyXML recurses into it.
TEST(XmlReadersDepthTest, DeeplyNestedRepliesAreRefused)
{
    std::string open, close;
    for (int i = 0; i < 40000; ++i)
    {
        open += "<data>";
        close += "</data>";
    }
    CNewsItem item;
    item.SetTitle("untouched");
    EXPECT_FALSE(ParseMessageList(("<response><datas>" + open + close + "</datas></response>").c_str(), item));
    EXPECT_EQ(item.GetTitle(), "untouched");

    std::vector<std::string> list;
    int count = -7;
    ParseTransUrlList(("<transurllist><url><path>p</path>" + open + close + "</url></transurllist>").c_str(), list,
                      count);
    EXPECT_EQ(-7, count);
    EXPECT_TRUE(list.empty());
}

} // namespace

namespace {

const char kFullList[] =
    "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<transurllist>\n"
    " <url><index>0</index><path>http://a/一</path></url>\n"
    " <url><index>1</index><path>http://b/p?x=1&amp;y=2</path></url>\n"
    " <url><index>2</index><path>http://c/三</path></url>\n"
    "</transurllist>\n";

// A reply cut anywhere keeps whole entries only, in order, and never a half address.
TEST(XmlReadersCutTest, ACutTransUrlListKeepsTheWholeEntriesBeforeTheCut)
{
    const Paths full = {"http://a/一", "http://b/p?x=1&y=2", "http://c/三"};
    const std::string text = kFullList;
    // Where each entry after the first starts: once it is there, the one before it is whole.
    std::vector<size_t> starts;
    for (size_t at = text.find("<url>"); at != std::string::npos; at = text.find("<url>", at + 1))
        starts.push_back(at);
    ASSERT_EQ(starts.size(), full.size());
    for (size_t n = 0; n <= text.size(); ++n)
    {
        Paths list;
        int count = -7;
        ParseTransUrlList(text.substr(0, n).c_str(), list, count);
        ASSERT_LE(list.size(), full.size()) << n;
        EXPECT_EQ(list, Paths(full.begin(), full.begin() + (long)list.size())) << "cut at " << n;
        EXPECT_EQ(count, list.empty() ? -7 : (int)list.size()) << "cut at " << n;
        size_t nWhole = 0;
        while (nWhole + 1 < starts.size() && starts[nWhole + 1] < n)
            ++nWhole;
        EXPECT_GE(list.size(), n == text.size() ? full.size() : nWhole) << "cut at " << n;
    }
    // Cut inside the third entry: the first two stay.
    Paths list;
    int count = -7;
    ParseTransUrlList(text.substr(0, text.find("http://c/")).c_str(), list, count);
    EXPECT_EQ(list, Paths(full.begin(), full.begin() + 2));
    EXPECT_EQ(count, 2);
}

// A message cut anywhere is shown whole or not at all.
TEST(XmlReadersCutTest, ACutMessageListGivesTheWholeFirstMessageOrNone)
{
    const std::string text =
        "<?xml version=\"1.0\"?><response><datas>"
        "<data><type>3</type><title>标题</title><class>a/b/</class><time>2026-01-02 03:04:05</time>"
        "<content>第一条消息的内容</content><reader>web</reader><url>http://m/1</url></data>"
        "<data><title>second</title><content>two</content></data>"
        "</datas></response>";
    bool bEverTrue = false;
    for (size_t n = 0; n <= text.size(); ++n)
    {
        CNewsItem item;
        item.SetTitle("untouched");
        if (!ParseMessageList(text.substr(0, n).c_str(), item))
        {
            EXPECT_EQ(item.GetTitle(), "untouched") << "cut at " << n;
            EXPECT_FALSE(bEverTrue) << "a longer cut lost the message: " << n;
            continue;
        }
        bEverTrue = true;
        EXPECT_EQ(item.type, 3) << n;
        EXPECT_EQ(item.GetTitle(), "标题") << n;
        EXPECT_EQ(item.GetContent(), "第一条消息的内容") << n;
        EXPECT_EQ(item.GetUrl(), "http://m/1") << n;
        EXPECT_EQ(item.GetRemindType(), "web") << n;
    }
    EXPECT_TRUE(bEverTrue);
    // Cut inside the second message: the first is kept.
    CNewsItem item;
    ASSERT_TRUE(ParseMessageList(text.substr(0, text.find("two")).c_str(), item));
    EXPECT_EQ(item.GetTitle(), "标题");
}

} // namespace
