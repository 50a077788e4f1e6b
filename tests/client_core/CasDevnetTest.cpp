#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include "Base64.h"
#include "CasClient.h"
#include "DevnetSuite.h"
#include "MD5.h"
#include "Netvane.h"
#include "URLEncode.h"

namespace {

// The sign-on dialog's password form: Base64 of the MD5 digest, then the form encoding.
std::string DigestPassword(const std::string& password)
{
    MD5Context ctx;
    MD5Update(ctx, password.data(), (unsigned)password.size());
    MD5Final(ctx);
    char b64[32] = {};
    int count = 0;
    CBase64().Base64EncodeDigest(ctx.digest, b64, &count);
    return CURLEncode().GbkToUtf8(b64);
}

class CasDevnetTest : public CDevnetSuite<CasDevnetTest>
{
public:
    static std::vector<std::string> DevnetArgs()
    {
        return {"--account", "ann:pw1", "--account", "bob:p@ss w&rd+1", "--account", "eve:pw3", "--account-md5",
                "dora:s3cret"};
    }

protected:

    struct CSignOn
    {
        int result = 0;
        char* sessionId = nullptr;
        char* tgt = nullptr;
        ~CSignOn()
        {
            std::free(sessionId);
            std::free(tgt);
        }
    };

    static void SignOn(CSignOn& s, const char* user, const std::string& password,
                       const std::string& loginName = "cas_https")
    {
        std::string url = s_devnet->Url(loginName);
        s.result = CAS_login(url.c_str(), user, password.c_str(), &s.sessionId, &s.tgt);
    }

    static int Validate(const CSignOn& s)
    {
        std::string login = s_devnet->Url("cas_https");
        std::string service = s_devnet->Url("firstlink");
        return CAS_serviceValidate(login.c_str(), service.c_str(), s.sessionId, s.tgt);
    }
};

TEST_F(CasDevnetTest, SignsOnOverHttpsAndHttp)
{
    for (const char* login : {"cas_https", "cas_http"}) {
        CSignOn s;
        SignOn(s, "ann", "pw1", login);
        EXPECT_EQ(s.result, 1) << login;
        ASSERT_NE(s.sessionId, nullptr);
        ASSERT_NE(s.tgt, nullptr);
        EXPECT_GT(strlen(s.sessionId), 0u);
        EXPECT_EQ(strncmp(s.tgt, "TGT-", 4), 0) << s.tgt;
    }
}

TEST_F(CasDevnetTest, WrongPasswordOrUnknownUserGivesMinus1)
{
    for (const char* user : {"ann", "nobody"}) {
        CSignOn s;
        SignOn(s, user, "wrong");
        EXPECT_EQ(s.result, -1) << user;
        EXPECT_EQ(s.sessionId, nullptr);
        EXPECT_EQ(s.tgt, nullptr);
    }
}

// The password goes out as given, so the caller's form encoding must survive the server's decoding.
TEST_F(CasDevnetTest, FormEncodedPasswordSignsOn)
{
    CSignOn s;
    SignOn(s, "bob", CURLEncode().GbkToUtf8("p@ss w&rd+1"));
    EXPECT_EQ(s.result, 1);
}

TEST_F(CasDevnetTest, DigestPasswordSignsOn)
{
    CSignOn good;
    SignOn(good, "dora", DigestPassword("s3cret"));
    EXPECT_EQ(good.result, 1);
    CSignOn bad;
    SignOn(bad, "dora", DigestPassword("s3cret "));
    EXPECT_EQ(bad.result, -1);
}

TEST_F(CasDevnetTest, SignOnHoldsUntilItExpires)
{
    CSignOn s;
    SignOn(s, "eve", "pw3");
    ASSERT_EQ(s.result, 1);
    EXPECT_EQ(Validate(s), 1);
    EXPECT_EQ(Validate(s), 1);  // every validation fetches a fresh ticket

    CNetvane net;
    char* reply = nullptr;
    std::string expire = s_devnet->Url("http") + "/devnet/cas/expire?user=eve";
    net.DoGet(expire.c_str(), &reply, nullptr, false, false);
    ASSERT_NE(reply, nullptr);
    EXPECT_STREQ(reply, "expired 1\n");
    net.ReleaseResponse(&reply);

    EXPECT_EQ(Validate(s), 0);
}

TEST_F(CasDevnetTest, UnknownTicketGrantingCookieDoesNotValidate)
{
    char session[] = "nosuchsession";
    char tgt[] = "TGT-0-forged-cas";
    std::string login = s_devnet->Url("cas_https");
    std::string service = s_devnet->Url("firstlink");
    EXPECT_EQ(CAS_serviceValidate(login.c_str(), service.c_str(), session, tgt), 0);
}

TEST_F(CasDevnetTest, LoadsTheMenuTreeIntoOneBlock)
{
    std::string url = s_devnet->Url("authority");
    char* response = nullptr;
    ASSERT_TRUE(LoadUserAuthority(url.c_str(), "ann", "100000013", &response));
    ASSERT_NE(response, nullptr);
    std::string first = response;
    EXPECT_EQ(first.rfind("<menus>", 0), 0u) << first;
    EXPECT_NE(first.find("type=\"popup\""), std::string::npos);

    // An empty user gets the empty tree, into the same block.
    ASSERT_TRUE(LoadUserAuthority(url.c_str(), "", "100000013", &response));
    EXPECT_STREQ(response, "<menus></menus>");
    std::free(response);
}

} // namespace
