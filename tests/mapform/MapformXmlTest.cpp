#include <gtest/gtest.h>

#include "Mapform.h"

#include <cstring>
#include <string>

namespace {

std::string Reply(const std::string& result, const std::string& version, const std::string& url,
                  const std::string& message = "ok")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><response><result>" + result + "</result><code>0</code><message>" +
           message + "</message><version>" + version + "</version><url>" + url + "</url></response>";
}

const char* kUrl = "http://127.0.10.5:81/velkor_khd/w/Renewo.exe";

TEST(MapformXmlTest, VersionReplyFillsBothRecords)
{
    std::string xml = Reply("success", "1.2.4.0", kUrl);
    XML_RESPONSE resp = {};
    ASSERT_TRUE(MF_ParseXml(xml.c_str(), &resp));
    EXPECT_EQ(resp.success, 1);
    EXPECT_STREQ(resp.code, "0");
    EXPECT_STREQ(resp.message, "ok");

    VERSION_INFO info = {};
    ASSERT_TRUE(MF_ParseVersion(xml.c_str(), &info));
    EXPECT_STREQ(info.version, "1.2.4.0");
    EXPECT_STREQ(info.url, kUrl);
}

TEST(MapformXmlTest, ByteOrderMarkAndLineBreaksAreAccepted)
{
    std::string xml = "\xEF\xBB\xBF" + Reply("success", "\n  1.2.4.0\n", kUrl) + "\r\n";
    XML_RESPONSE resp = {};
    ASSERT_TRUE(MF_ParseXml(xml.c_str(), &resp));
    EXPECT_EQ(resp.success, 1);
    VERSION_INFO info = {};
    ASSERT_TRUE(MF_ParseVersion(xml.c_str(), &info));
    EXPECT_STREQ(info.version, "1.2.4.0");
}

TEST(MapformXmlTest, SuccessOnlyForTheExactResultText)
{
    const struct { const char* result; unsigned char success; } cases[] = {
        {"success", 1}, {"fail", 0}, {"Success", 0}, {"", 0}, {"success ", 1} /* TinyXML trims text */,
    };
    for (const auto& c : cases) {
        std::string xml = Reply(c.result, "1.0.0.0", kUrl);
        XML_RESPONSE resp = {};
        ASSERT_TRUE(MF_ParseXml(xml.c_str(), &resp)) << c.result;
        EXPECT_EQ(resp.success, c.success) << c.result;
    }
    XML_RESPONSE resp = {};
    ASSERT_TRUE(MF_ParseXml("<response><code>7</code></response>", &resp));
    EXPECT_EQ(resp.success, 0);
    EXPECT_STREQ(resp.code, "7");
}

TEST(MapformXmlTest, MalformedOrForeignRepliesAreRefused)
{
    const char* cases[] = {
        "",
        "not xml at all",
        "<response><result>success</result>",           // unclosed
        "<reply><result>success</result></reply>",      // wrong root
        "<?xml version=\"1.0\"?>",                      // no element
        "<response><result>success</response></result>",
    };
    for (const char* xml : cases) {
        XML_RESPONSE resp = {};
        EXPECT_FALSE(MF_ParseXml(xml, &resp)) << xml;
        EXPECT_EQ(resp.success, 0) << xml;
        VERSION_INFO info = {};
        EXPECT_FALSE(MF_ParseVersion(xml, &info)) << xml;
        EXPECT_STREQ(info.version, "") << xml;
    }
    XML_RESPONSE resp = {};
    VERSION_INFO info = {};
    EXPECT_FALSE(MF_ParseXml(nullptr, &resp));
    EXPECT_FALSE(MF_ParseVersion(nullptr, &info));
    EXPECT_FALSE(MF_ParseXml(Reply("success", "1", kUrl).c_str(), nullptr));
    EXPECT_FALSE(MF_ParseVersion(Reply("success", "1", kUrl).c_str(), nullptr));
}

TEST(MapformXmlTest, VersionMissingOrEmptyIsNoVersion)
{
    VERSION_INFO info = {};
    EXPECT_FALSE(MF_ParseVersion("<response><result>success</result></response>", &info));
    EXPECT_FALSE(MF_ParseVersion(Reply("success", "", kUrl).c_str(), &info));
    // An address is not required: the updater step decides what a missing one means.
    ASSERT_TRUE(MF_ParseVersion("<response><version>2.0.0.1</version></response>", &info));
    EXPECT_STREQ(info.version, "2.0.0.1");
    EXPECT_STREQ(info.url, "");
}

TEST(MapformXmlTest, EntitiesInTheAddressAreDecoded)
{
    VERSION_INFO info = {};
    ASSERT_TRUE(MF_ParseVersion(Reply("success", "1.0.0.2", "http://h/a?x=1&amp;y=2").c_str(), &info));
    EXPECT_STREQ(info.url, "http://h/a?x=1&y=2");
}

// Guard bytes after each record catch any write past its end.
struct GuardedVersion
{
    VERSION_INFO info;
    unsigned char guard[64];
};
struct GuardedResponse
{
    XML_RESPONSE resp;
    unsigned char guard[64];
};

TEST(MapformXmlTest, ValuesLongerThanTheFieldsNeverOverrun)
{
    const struct { size_t versionLen, urlLen; bool ok; } cases[] = {
        {32, 1024, true}, {33, 10, false}, {5, 1025, false}, {100000, 10, false}, {5, 1000000, false},
    };
    for (const auto& c : cases) {
        std::string version(c.versionLen, '9');
        std::string url = "http://h/" + std::string(c.urlLen - 9, 'u');
        GuardedVersion g;
        std::memset(&g, 0, sizeof(g));
        std::memset(g.guard, 0xAB, sizeof(g.guard));
        EXPECT_EQ(MF_ParseVersion(Reply("success", version, url).c_str(), &g.info), c.ok) << c.versionLen << "/" << c.urlLen;
        for (unsigned char b : g.guard) ASSERT_EQ(b, 0xAB);
        if (c.ok) {
            EXPECT_EQ(std::string(g.info.version), version);
            EXPECT_EQ(std::string(g.info.url), url);
        } else {
            EXPECT_STREQ(g.info.version, "");
            EXPECT_STREQ(g.info.url, "");
        }
    }
}

TEST(MapformXmlTest, HugeCodeAndMessageAreCutToTheirFields)
{
    // The message is Chinese UTF-8 (3 bytes a character): the cut keeps whole characters.
    std::string message;
    while (message.size() < 2000000) message += "\xE6\x9B\xB4";  // U+66F4
    GuardedResponse g;
    std::memset(&g, 0, sizeof(g));
    std::memset(g.guard, 0xAB, sizeof(g.guard));
    std::string xml = "<response><result>success</result><code>" + std::string(5000, '7') + "</code><message>" +
                      message + "</message></response>";
    ASSERT_TRUE(MF_ParseXml(xml.c_str(), &g.resp));
    for (unsigned char b : g.guard) ASSERT_EQ(b, 0xAB);
    EXPECT_EQ(g.resp.success, 1);
    EXPECT_EQ(std::string(g.resp.code), std::string(32, '7'));
    EXPECT_EQ(std::strlen(g.resp.message), 1023u);  // 341 whole characters
    EXPECT_EQ(std::string(g.resp.message), message.substr(0, 1023));
}

} // namespace
