// devnet's services answer in the schemas the client's readers expect.
#include <gtest/gtest.h>

#include "DevnetProcess.h"
#include "NetTestUtil.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace
{
// The value of one "Key:   value" line of pdfinfo.
std::string InfoValue(const std::string& info, const std::string& key)
{
    size_t pos = info.find("\n" + key);
    if (pos == std::string::npos)
        return "<missing>";
    pos = info.find_first_not_of(' ', pos + 1 + key.size());
    return info.substr(pos, info.find('\n', pos) - pos);
}

class DevnetServicesTest : public ::testing::Test
{
protected:
    void Start(const std::vector<std::string>& args)
    {
        UseShortTimeouts();
        m_devnet.reset(new CDevnetProcess(args));
        ASSERT_TRUE(m_devnet->IsReady()) << m_devnet->Log();
    }
    REQUEST_RESULT PostFields(const std::string& name, const std::vector<std::pair<const char*, const char*>>& fields)
    {
        CNetvane net;
        for (const auto& field : fields)
            net.AddParam(field.first, field.second);
        return Post(net, m_devnet->Url(name));
    }
    std::unique_ptr<CDevnetProcess> m_devnet;
};

TEST_F(DevnetServicesTest, UpdateNamesTheVersionAndTheUpdaterItServes)
{
    std::string updater = "/tmp/devnet-updater-" + std::to_string(getpid()) + ".run";
    {
        std::ofstream out(updater, std::ios::binary);
        out << "#!/bin/sh\necho updating\n";
    }
    Start({"--update-version", "1.2.4.0", "--updater", updater});
    REQUEST_RESULT reply = PostFields("update", {{"type", "xml"}, {"version", "1.2.3.4"}});
    ASSERT_TRUE(reply.hasReply);
    std::string name = updater.substr(updater.rfind('/') + 1);
    std::string url = m_devnet->Url("update") + name;
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?><response><result>success</result><code>0</code>"
              "<message>ok</message><version>1.2.4.0</version><url>" + url + "</url></response>",
              reply.text);

    std::string local = updater + ".got";
    CNetvane net;
    ASSERT_TRUE(net.DownloadFile_Get(url.c_str(), local.c_str(), nullptr, nullptr));
    EXPECT_EQ(ReadFile(updater), ReadFile(local));
    CNetvane other;
    EXPECT_FALSE(other.DownloadFile_Get((m_devnet->Url("update") + "Other.exe").c_str(), local.c_str(), nullptr, nullptr));

    REQUEST_RESULT wrongType = PostFields("update", {{"type", "json"}, {"version", "1.2.3.4"}});
    EXPECT_NE(std::string::npos, wrongType.text.find("<result>failure</result>"));
    std::remove(updater.c_str());
    std::remove(local.c_str());
}

TEST_F(DevnetServicesTest, DefaultUpdaterIsRenewo)
{
    Start({});
    REQUEST_RESULT reply = PostFields("update", {{"type", "xml"}, {"version", "1.0.0.1"}});
    EXPECT_NE(std::string::npos, reply.text.find("<url>" + m_devnet->Url("update") + "Renewo.exe</url>"));
    EXPECT_EQ(0u, Get(m_devnet->Url("update") + "Renewo.exe").text.find("#!/bin/sh"));
}

TEST_F(DevnetServicesTest, ListsAndMessagesKeepTheirSchemas)
{
    Start({});
    struct CASE
    {
        const char* service;
        std::vector<std::pair<const char*, const char*>> fields;
        std::vector<std::string> expected;
    };
    std::string web = m_devnet->Url("web");
    const CASE cases[] = {
        {"authority", {{"userId", "demo"}, {"authId", "100000013"}},
         {Utf8(u8"<menus><menu name=\"订单管理\" icon=\"order\" type=\"popup\" permitted=\"1\"><menu name=\"订单录入\" action=\"")
              + web + "/kesta/biz/order_input.php\" icon=\"order_input\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>",
          "<menu type=\"separator\"/>", "permitted=\"0\" type=\"command\"/>", "</menu></menus>"}},
        {"authority", {{"userId", ""}, {"authId", "100000013"}}, {"<menus></menus>"}},
        {"translist", {{"gh", "demo"}},
         {"<transurllist><url><index>0</index><path>" + web + "/kesta/kesta_cas_login.php</path></url><url><index>1</index>",
          "</url></transurllist>"}},
        {"message", {{"type", "1"}, {"userno", "demo"}},
         {Utf8(u8"<response><datas><data><type>1</type><title>系统通知</title><class>通知/系统/</class><time>20"),
          Utf8(u8"</time><content>demo，"), "</content><reader>dialog</reader><url></url></data></datas></response>"}},
    };
    for (const CASE& c : cases)
    {
        REQUEST_RESULT reply = PostFields(c.service, c.fields);
        ASSERT_TRUE(reply.hasReply) << c.service;
        for (const std::string& part : c.expected)
            EXPECT_NE(std::string::npos, reply.text.find(part)) << c.service << ": " << part << "\n" << reply.text;
    }
}

TEST_F(DevnetServicesTest, MenuTreeComesFromTheNamedFile)
{
    std::string file = "/tmp/devnet-menu-" + std::to_string(getpid()) + ".xml";
    const std::string tree = "<menus><menu name=\"A\" icon=\"a\" type=\"popup\" permitted=\"1\"></menu></menus>";
    {
        std::ofstream out(file);
        out << tree;
    }
    Start({"--menu", file});
    EXPECT_EQ(tree, PostFields("authority", {{"userId", "demo"}, {"authId", "1"}}).text);
    std::remove(file.c_str());
}

TEST_F(DevnetServicesTest, LabelIsAFourBySixInchPdfWithTheOrderNumber)
{
    Start({});
    char pattern[] = "/tmp/devnet-label-XXXXXX";
    int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string pdf = pattern;
    // Signature: upper-case MD5 hex of "VK2026121000001" followed by "vorn_plack_edsu".
    std::string url = m_devnet->Url("labelpdf") + "VK2026121000001&jmm=757C5EDA82A9B0213D91F76DE72379D5";
    CNetvane net;
    ASSERT_TRUE(net.DownloadFile_Get(url.c_str(), pdf.c_str(), nullptr, nullptr));
    std::string content = ReadFile(pdf);
    EXPECT_EQ(0u, content.find("%PDF-1.4\n"));
    EXPECT_NE(std::string::npos, content.find("(VK2026121000001) Tj"));

    // A real reader agrees on the page count and size.
    std::string info = "/tmp/devnet-label-info-" + std::to_string(getpid());
    ASSERT_EQ(0, std::system(("pdfinfo '" + pdf + "' > '" + info + "' 2>&1").c_str())) << ReadFile(info);
    std::string text = ReadFile(info);
    EXPECT_EQ("1", InfoValue(text, "Pages:")) << text;
    EXPECT_EQ("288 x 432 pts", InfoValue(text, "Page size:")) << text;
    EXPECT_EQ(std::string::npos, text.find("Syntax Error")) << text;
    EXPECT_NE(std::string::npos, m_devnet->Log().find("label: orderno=VK2026121000001 jmm=757C5EDA82A9B0213D91F76DE72379D5 (good)"));

    // A wrong signature gets an error page with an error status: the download fails and leaves
    // no file behind.
    std::remove(pdf.c_str());
    CNetvane again;
    EXPECT_FALSE(again.DownloadFile_Get((m_devnet->Url("labelpdf") + "VK2026121000002&jmm=WRONG").c_str(), pdf.c_str(),
                                        nullptr, nullptr));
    EXPECT_NE(0, access(pdf.c_str(), F_OK));
    EXPECT_NE(std::string::npos, m_devnet->Log().find("label: orderno=VK2026121000002 jmm=WRONG (BAD)"));
    REQUEST_RESULT refused = Get(m_devnet->Url("labelpdf") + "VK2026121000002&jmm=WRONG");
    EXPECT_FALSE(refused.hasReply);
    std::remove(pdf.c_str());
    std::remove(info.c_str());
}

TEST_F(DevnetServicesTest, LabelHasTheSizeTheAddressAsksFor)
{
    Start({});
    // A configured label address may name the size before the order number.
    const struct
    {
        const char* prefix;
        const char* size;
    } cases[] = {{"", "288 x 432 pts"}, {"size=4x8&", "288 x 576 pts"}, {"size=3.9x5.5&", "280.8 x 396 pts"},
                 {"size=junk&", "288 x 432 pts"}};
    for (const auto& c : cases)
    {
        std::string url = m_devnet->Url("labelpdf");
        url.insert(url.find("orderno="), c.prefix);
        // Signature of "VK2026121000002" followed by "vorn_plack_edsu".
        url += "VK2026121000002&jmm=203DF9449BB0B10F5297B721A133432D";
        std::string pdf = "/tmp/devnet-label-size-" + std::to_string(getpid()) + ".pdf";
        CNetvane net;
        ASSERT_TRUE(net.DownloadFile_Get(url.c_str(), pdf.c_str(), nullptr, nullptr)) << url;
        std::string info = pdf + ".info";
        ASSERT_EQ(0, std::system(("pdfinfo '" + pdf + "' > '" + info + "' 2>&1").c_str())) << ReadFile(info);
        EXPECT_EQ(c.size, InfoValue(ReadFile(info), "Page size:")) << c.prefix;
        std::remove(pdf.c_str());
        std::remove(info.c_str());
    }
}

TEST_F(DevnetServicesTest, QueryTokenAndWaybillPage)
{
    Start({});
    CNetvane net;
    net.AddParam("act", "geth");
    net.AddParam("wen", "1234567890123");
    char* reply = nullptr;
    ASSERT_NE(0u, net.DoGet(m_devnet->Url("querytoken").c_str(), &reply, nullptr, false, false));
    std::string hh = reply;
    net.ReleaseResponse(&reply);
    EXPECT_EQ(0u, hh.find("HH"));
    // jmm: upper-case MD5 hex of the number, then a 14-digit time stamp.
    std::string jmm = "EE76971984D25138A199AC90553401DD20261210100000";
    REQUEST_RESULT page = Get(m_devnet->Url("query") + "?wen=1234567890123&jmm=" + jmm + "&hh=" + hh);
    EXPECT_NE(std::string::npos, page.text.find(Utf8(u8"运单 1234567890123")));
    EXPECT_NE(std::string::npos, page.text.find(Utf8(u8"<p id=\"check\">校验通过</p>")));
    REQUEST_RESULT forged = Get(m_devnet->Url("query") + "?wen=1234567890123&jmm=00000000000000000000000000000000"
                                "20261210100000&hh=" + hh);
    EXPECT_NE(std::string::npos, forged.text.find(Utf8(u8"<p id=\"check\">校验失败</p>")));
}
}

namespace
{
TEST_F(DevnetServicesTest, OrderImportChecksTheValidationOfThePayloadAsSent)
{
    Start({});
    // Base64 of "VK1>a?\nVK2\n", URL-encoded; validation: upper-case MD5 hex of that text.
    const std::string payload = "VksxPmE%2FClZLMgo%3D";
    struct CASE
    {
        const char* validation;
        const char8_t* check;
    };
    const CASE cases[] = {
        {"2B2144598C6605B79AE2283D5D26195D", u8"校验通过"},
        {"2B2144598C6605B79AE2283D5D26195E", u8"校验失败"},
    };
    for (const CASE& c : cases)
    {
        CNetvane net;
        net.AddParam("data", payload.c_str());
        std::string url = m_devnet->Url("import") + "?sid=S1&version=1.0&type=json&validation=" + c.validation;
        REQUEST_RESULT page = Post(net, url);
        ASSERT_TRUE(page.hasReply);
        EXPECT_NE(std::string::npos, page.text.find("<p id=\"check\">" + Utf8(c.check) + "</p>")) << page.text;
        EXPECT_NE(std::string::npos, page.text.find("<p id=\"lines\">2</p>"));
        EXPECT_NE(std::string::npos, page.text.find("<pre id=\"orders\">VK1&gt;a?\nVK2\n</pre>"));
    }
}
}
