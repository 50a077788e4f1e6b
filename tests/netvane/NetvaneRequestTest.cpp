// CNetvane's requests against devnet: fields, cookies, header lines, redirects, failures.
#include <gtest/gtest.h>

#include "DevnetSuite.h"
#include "Netvane.h"
#include "NetTestUtil.h"

#include <thread>   // brings the clocks; <chrono> itself does not build with GBK literals
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace
{
class NetvaneRequestTest : public CDevnetSuite<NetvaneRequestTest>
{
protected:
    static void SetUpTestSuite()
    {
        UseShortTimeouts();
        CDevnetSuite::SetUpTestSuite();
    }
    void SetUp() override
    {
        CDevnetSuite::SetUp();
        if (HasFatalFailure())
            return;
        setenv("NETVANE_CA_FILE", s_devnet->CaPath().c_str(), 1);
    }
    static std::string Http(const std::string& path) { return s_devnet->Url("http") + path; }
    static std::string Https(const std::string& path) { return s_devnet->Url("https") + path; }
};

struct QUERY_CASE
{
    const char* path;
    std::vector<std::pair<const char*, const char*>> fields;
    const char* expectedQuery;
};

TEST_F(NetvaneRequestTest, GetSendsFieldsInCallOrderAsGiven)
{
    const QUERY_CASE cases[] = {
        {"/devnet/echo", {}, ""},
        {"/devnet/echo", {{"wen", "VK123"}, {"act", "geth"}}, "wen=VK123&act=geth"},
        // Already encoded by the caller: it must go out unchanged, not encoded twice.
        {"/devnet/echo", {{"p", "p%40ss"}, {"q", "%E4%B8%AD"}}, "p=p%40ss&q=%E4%B8%AD"},
        {"/devnet/echo?x=0", {{"b", "2"}, {"a", "1"}}, "x=0&b=2&a=1"},
        // GBK bytes go out raw; only a blank or control byte, which no request line can carry,
        // is written as %XX.
        {"/devnet/echo", {{"n", "\xD6\xD0\xB9\xFA"}}, "n=\xD6\xD0\xB9\xFA"},
        {"/devnet/echo", {{"wen", "VK 1\t2"}}, "wen=VK%201%092"},
        {"/devnet/echo?", {{"b", ""}}, "b="},
    };
    for (const QUERY_CASE& c : cases)
    {
        CNetvane net;
        for (const auto& field : c.fields)
            net.AddParam(field.first, field.second);
        char* reply = nullptr;
        unsigned int code = net.DoGet(Http(c.path).c_str(), &reply, nullptr, false, false);
        ASSERT_NE(0u, code) << c.path;
        ASSERT_NE(nullptr, reply);
        EXPECT_EQ("GET", EchoField(reply, "method"));
        EXPECT_EQ(c.expectedQuery, EchoField(reply, "query")) << c.path;
        net.ReleaseResponse(&reply);
        EXPECT_EQ(nullptr, reply);
    }
}

TEST_F(NetvaneRequestTest, PostSendsFormBodyInCallOrderAndConsumesTheFields)
{
    CNetvane net;
    net.AddParam("username", "demo");
    net.AddParam("password", "p%40ss");
    net.AddParam("lt", "");
    net.AddParam("execution", "e1s1");
    net.AddParam("_eventId", "submit");
    net.AddParam("submit", "login");
    REQUEST_RESULT first = Post(net, Http("/devnet/echo"));
    ASSERT_TRUE(first.hasReply);
    EXPECT_EQ("POST", EchoField(first.text, "method"));
    EXPECT_EQ("", EchoField(first.text, "query"));
    EXPECT_EQ("username=demo&password=p%40ss&lt=&execution=e1s1&_eventId=submit&submit=login",
              EchoField(first.text, "body"));
    EXPECT_EQ("application/x-www-form-urlencoded", EchoField(first.text, "content-type"));

    // The next request of the same object starts without the fields of the last one; a body
    // carries blanks and GBK bytes unchanged.
    net.AddParam("t", "a b\xD6\xD0");
    REQUEST_RESULT second = Post(net, Http("/devnet/echo"));
    ASSERT_TRUE(second.hasReply);
    EXPECT_EQ("t=a b\xD6\xD0", EchoField(second.text, "body"));
}

TEST_F(NetvaneRequestTest, CookieTextGoesOutAsGiven)
{
    REQUEST_RESULT with = Get(Http("/devnet/echo"), "JSESSIONID=abc123; CASTGC=TGT-1-xyz-cas");
    ASSERT_TRUE(with.hasReply);
    EXPECT_EQ("JSESSIONID=abc123; CASTGC=TGT-1-xyz-cas", EchoField(with.text, "cookie"));

    REQUEST_RESULT without = Get(Http("/devnet/echo"), nullptr);
    ASSERT_TRUE(without.hasReply);
    EXPECT_EQ("", EchoField(without.text, "cookie"));
}

TEST_F(NetvaneRequestTest, FirstFlagPutsHeaderLinesAheadOfTheBody)
{
    REQUEST_RESULT with = Get(Http("/devnet/echo"), nullptr, true);
    ASSERT_NE(0u, with.code);
    EXPECT_EQ(0u, with.text.find("HTTP/1.1 200 OK\r\n")) << with.text;
    size_t type = with.text.find("\r\nContent-Type: text/plain");
    size_t blank = with.text.find("\r\n\r\n");
    ASSERT_NE(std::string::npos, type);
    ASSERT_NE(std::string::npos, blank);
    EXPECT_LT(type, blank);
    EXPECT_EQ(blank + 4, with.text.find("method=GET\n"));

    REQUEST_RESULT without = Get(Http("/devnet/echo"), nullptr, false);
    EXPECT_EQ(0u, without.text.find("method=GET\n")) << without.text;
}

TEST_F(NetvaneRequestTest, RedirectIsReturnedWithHeadersAndFollowedWithout)
{
    REQUEST_RESULT raw = Get(Http("/devnet/redirect"), nullptr, true);
    EXPECT_EQ(302u, raw.code);
    EXPECT_EQ(0u, raw.text.find("HTTP/1.1 302 Found\r\n")) << raw.text;
    EXPECT_NE(std::string::npos, raw.text.find("\r\nLocation: /devnet/echo?redirected=1\r\n")) << raw.text;
    EXPECT_EQ(std::string::npos, raw.text.find("method=GET"));

    REQUEST_RESULT followed = Get(Http("/devnet/redirect"), nullptr, false);
    EXPECT_EQ(200u, followed.code);
    EXPECT_EQ("redirected=1", EchoField(followed.text, "query"));
}

TEST_F(NetvaneRequestTest, ErrorStatusIsNoReplyUnlessHeadersAreAsked)
{
    REQUEST_RESULT body = Get(Http("/devnet/status?code=500"));
    EXPECT_EQ(0u, body.code);
    EXPECT_FALSE(body.hasReply);

    REQUEST_RESULT missing = Get(Http("/no/such/page.php"));
    EXPECT_EQ(0u, missing.code);
    EXPECT_FALSE(missing.hasReply);

    REQUEST_RESULT raw = Get(Http("/devnet/status?code=500"), nullptr, true);
    EXPECT_EQ(500u, raw.code);
    EXPECT_EQ(0u, raw.text.find("HTTP/1.1 500 "));
}

TEST_F(NetvaneRequestTest, RefusedPortFailsAtOnce)
{
    auto start = std::chrono::steady_clock::now();
    REQUEST_RESULT result = Get("http://127.0.0.1:" + std::to_string(FreePort()) + "/x");
    EXPECT_EQ(0u, result.code);
    EXPECT_FALSE(result.hasReply);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(NetvaneRequestTest, SilentServerIsBoundedByTheTimeout)
{
    UseShortTimeouts("2", "1");
    CSilentServer silent;
    std::string url = "http://127.0.0.1:" + std::to_string(silent.Port()) + "/x";
    for (bool post : {false, true})
    {
        auto start = std::chrono::steady_clock::now();
        CNetvane net;
        net.AddParam("a", "1");
        char* reply = nullptr;
        unsigned int code = post ? net.DoPost(url.c_str(), &reply, nullptr, false, false)
                                 : net.DoGet(url.c_str(), &reply, nullptr, true, false);
        auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(0u, code);
        EXPECT_EQ(nullptr, reply);
        EXPECT_GE(elapsed, std::chrono::milliseconds(900));
        EXPECT_LT(elapsed, std::chrono::seconds(4));
    }
    UseShortTimeouts();
}

TEST_F(NetvaneRequestTest, HttpsIsVerifiedAgainstTheNamedCa)
{
    REQUEST_RESULT trusted = Get(Https("/devnet/echo"));
    EXPECT_NE(0u, trusted.code);
    EXPECT_EQ("GET", EchoField(trusted.text, "method"));

    // The system store alone does not know devnet's CA.
    unsetenv("NETVANE_CA_FILE");
    REQUEST_RESULT untrusted = Get(Https("/devnet/echo"));
    EXPECT_EQ(0u, untrusted.code);
    EXPECT_FALSE(untrusted.hasReply);
}

TEST_F(NetvaneRequestTest, OnlyWebAddressesAreFetched)
{
    EXPECT_FALSE(Get("file:///etc/hostname").hasReply);
    // Not through a redirect either.
    EXPECT_FALSE(Get(Http("/devnet/redirect?to=file:///etc/hostname")).hasReply);
    CNetvane net;
    std::string target = "/tmp/netvane-file-" + std::to_string(getpid());
    EXPECT_FALSE(net.DownloadFile_Get("file:///etc/hostname", target.c_str(), nullptr, nullptr));
    EXPECT_FALSE(FileExists(target));
}

TEST_F(NetvaneRequestTest, EmptyOrNullArgumentsFailWithoutARequest)
{
    CNetvane net;
    char* reply = reinterpret_cast<char*>(1);
    EXPECT_EQ(0u, net.DoGet("", &reply, nullptr, false, false));
    EXPECT_EQ(nullptr, reply);
    EXPECT_EQ(0u, net.DoPost(nullptr, &reply, nullptr, false, false));
    EXPECT_EQ(0u, net.DoGet(Http("/devnet/echo").c_str(), nullptr, nullptr, false, false));
    net.ReleaseResponse(nullptr);
    net.ReleaseResponse(&reply);
}
}
