// devnet's CAS server: what it refuses, single-use tickets, expiry, logout, plain http.
#include <gtest/gtest.h>

#include "DevnetSuite.h"
#include "NetTestUtil.h"

namespace
{
class DevnetCasTest : public CDevnetSuite<DevnetCasTest>
{
public:
    static std::vector<std::string> DevnetArgs()
    {
        return {"--account", "ann:velkor2026", "--account", "bob:b0b0b0", "--account-md5", "md5user:m1m2m3m4",
                "--account-md5", Utf8(u8"cn:密码ab12"), "--account", Utf8(u8"zh:口令abc123")};
    }

protected:
    static void SetUpTestSuite()
    {
        UseShortTimeouts();
        CDevnetSuite::SetUpTestSuite();
    }

    static std::string Login() { return s_devnet->Url("cas_https"); }
    static std::string Base() { return Login().substr(0, Login().size() - 6); }
    static std::string Cookies(const std::string& session, const std::string& tgt)
    {
        return "JSESSIONID=" + session + "; CASTGC=" + tgt;
    }
    // The ticket in the Location of login?service=..., or "".
    static std::string TicketFor(const std::string& service, const std::string& cookies)
    {
        REQUEST_RESULT redirect = Get(Login() + "?service=" + service, cookies.c_str(), true);
        return Field(redirect.text, "ticket=", '\r');
    }
    static REQUEST_RESULT Validate(const std::string& service, const std::string& ticket)
    {
        return Get(Base() + "/serviceValidate?service=" + service + "&ticket=" + ticket, nullptr, true);
    }
};

TEST_F(DevnetCasTest, PasswordsAreCheckedAsTheAccountSays)
{
    struct CASE
    {
        const char* user;
        const char* password;
        bool accepted;
    };
    const CASE cases[] = {
        {"ann", "velkor2026", true},
        {"ann", "velkor2027", false},
        {"ann", "", false},
        {"nobody", "velkor2026", false},
        {"bob", "b0b0b0", true},
        // Only the Base64 of the MD5 digest of "m1m2m3m4", form-encoded by the caller.
        {"md5user", "m1m2m3m4", false},
        {"md5user", "bjftR/q34nRWDzrM/G+axQ==", false},   // not form-encoded: "+" reads as a blank
        {"md5user", "bjftR%2Fq34nRWDzrM%2FG%2BaxQ%3D%3D", true},
        // The digest is taken over the GBK bytes of the password; a plain one arrives as UTF-8.
        {"cn", "Mb3%2B%2FJ7p9JFSBG%2BR%2F45Mkg%3D%3D", true},
        {"zh", "%E5%8F%A3%E4%BB%A4abc123", true},
        {"zh", "%BF%DA%C1%EEabc123", false},
    };
    for (const CASE& c : cases)
    {
        std::string session, tgt;
        REQUEST_RESULT result = CasSignOn(Login(), c.user, c.password, session, tgt);
        EXPECT_FALSE(session.empty()) << c.user;
        EXPECT_EQ(c.accepted ? "success" : "errors", Field(result.text, "div id=\"msg\" class=\"", '"'))
            << c.user << " " << c.password;
        EXPECT_EQ(c.accepted, !tgt.empty()) << c.user << " " << c.password;
    }
}

TEST_F(DevnetCasTest, LoginFormIsGoodForOnePostOfItsOwnSession)
{
    REQUEST_RESULT form = Get(Login(), nullptr, true);
    std::string session = Field(form.text, "JSESSIONID=", ';');
    std::string lt = Field(form.text, "name=\"lt\" value=\"", '"');
    std::string execution = Field(form.text, "name=\"execution\" value=\"", '"');

    struct CASE
    {
        std::string cookie;
        std::string lt;
        bool accepted;
    };
    const CASE cases[] = {
        {"", lt, false},                          // no session cookie
        {"JSESSIONID=unknown", lt, false},        // not a session of this server
        {"JSESSIONID=" + session, "", false},     // no login ticket
        {"JSESSIONID=" + session, "LT-0-x", false},
    };
    for (const CASE& c : cases)
    {
        // Each refused POST above consumed nothing but its own tries; take a fresh form.
        REQUEST_RESULT fresh = Get(Login(), ("JSESSIONID=" + session).c_str(), true);
        std::string currentLt = Field(fresh.text, "name=\"lt\" value=\"", '"');
        CNetvane post;
        post.AddParam("username", "ann");
        post.AddParam("password", "velkor2026");
        post.AddParam("lt", c.lt == lt ? currentLt.c_str() : c.lt.c_str());
        post.AddParam("execution", Field(fresh.text, "name=\"execution\" value=\"", '"').c_str());
        post.AddParam("_eventId", "submit");
        post.AddParam("submit", "login");
        REQUEST_RESULT result = Post(post, Login(), c.cookie.empty() ? nullptr : c.cookie.c_str(), true);
        EXPECT_EQ(std::string::npos, result.text.find("CASTGC=")) << c.cookie << " " << c.lt;
        EXPECT_EQ("errors", Field(result.text, "div id=\"msg\" class=\"", '"'));
    }

    // The same login ticket twice: the second POST is refused.
    REQUEST_RESULT fresh = Get(Login(), ("JSESSIONID=" + session).c_str(), true);
    std::string currentLt = Field(fresh.text, "name=\"lt\" value=\"", '"');
    std::string currentExecution = Field(fresh.text, "name=\"execution\" value=\"", '"');
    for (bool first : {true, false})
    {
        CNetvane post;
        post.AddParam("username", "ann");
        post.AddParam("password", "velkor2026");
        post.AddParam("lt", currentLt.c_str());
        post.AddParam("execution", currentExecution.c_str());
        post.AddParam("_eventId", "submit");
        post.AddParam("submit", "login");
        REQUEST_RESULT result = Post(post, Login(), ("JSESSIONID=" + session).c_str(), true);
        EXPECT_EQ(first ? "success" : "errors", Field(result.text, "div id=\"msg\" class=\"", '"'));
    }
}

TEST_F(DevnetCasTest, TicketIsForOneServiceAndOneUse)
{
    std::string session, tgt;
    CasSignOn(Login(), "ann", "velkor2026", session, tgt);
    ASSERT_FALSE(tgt.empty());
    const std::string service = s_devnet->Url("firstlink");
    const std::string other = s_devnet->Url("home");

    std::string ticket = TicketFor(service, Cookies(session, tgt));
    ASSERT_EQ(0u, ticket.find("ST-"));
    REQUEST_RESULT wrongService = Validate(other, ticket);
    EXPECT_NE(std::string::npos, wrongService.text.find("code=\"INVALID_SERVICE\""));
    // Spent by the failed try too.
    REQUEST_RESULT late = Validate(service, ticket);
    EXPECT_NE(std::string::npos, late.text.find("code=\"INVALID_TICKET\""));
    EXPECT_EQ("", Field(late.text, "<cas:user>", '<'));

    REQUEST_RESULT none = Validate(service, "");
    EXPECT_NE(std::string::npos, none.text.find("code=\"INVALID_REQUEST\""));

    // A service that has a query of its own gets the ticket after "&".
    REQUEST_RESULT redirect = Get(Login() + "?service=" + service + "%3Fa%3D1", Cookies(session, tgt).c_str(), true);
    EXPECT_NE(std::string::npos, redirect.text.find("\r\nLocation: " + service + "?a=1&ticket=ST-")) << redirect.text;
}

TEST_F(DevnetCasTest, WithoutAValidSignOnTheServiceGetsTheForm)
{
    const std::string service = s_devnet->Url("firstlink");
    REQUEST_RESULT anonymous = Get(Login() + "?service=" + service, "CASTGC=TGT-0-forged-cas", true);
    EXPECT_EQ(200u, anonymous.code);
    EXPECT_EQ(std::string::npos, anonymous.text.find("ticket="));
    EXPECT_FALSE(Field(anonymous.text, "name=\"lt\" value=\"", '"').empty());
}

TEST_F(DevnetCasTest, ExpiryAndLogoutEndTheSignOn)
{
    const std::string service = s_devnet->Url("firstlink");
    std::string annSession, annTgt, bobSession, bobTgt;
    CasSignOn(Login(), "ann", "velkor2026", annSession, annTgt);
    CasSignOn(Login(), "bob", "b0b0b0", bobSession, bobTgt);
    ASSERT_FALSE(annTgt.empty());
    ASSERT_FALSE(bobTgt.empty());

    // Expiry of one user's sign-on leaves the other's.
    REQUEST_RESULT expired = Get(s_devnet->Url("http") + "/devnet/cas/expire?user=ann");
    EXPECT_EQ("expired 1\n", expired.text);
    std::string annTicket = TicketFor(service, Cookies(annSession, annTgt));
    EXPECT_EQ("", annTicket);
    EXPECT_EQ("", Field(Validate(service, annTicket).text, "<cas:user>", '<'));
    std::string bobTicket = TicketFor(service, Cookies(bobSession, bobTgt));
    EXPECT_EQ("bob", Field(Validate(service, bobTicket).text, "<cas:user>", '<'));

    // Logout ends bob's and clears the cookie.
    REQUEST_RESULT logout = Get(s_devnet->Url("cas_logout"), Cookies(bobSession, bobTgt).c_str(), true);
    EXPECT_NE(std::string::npos, logout.text.find("Set-Cookie: CASTGC=; Path=/cas3.4/; Max-Age=0"));
    EXPECT_EQ("", TicketFor(service, Cookies(bobSession, bobTgt)));
}

TEST_F(DevnetCasTest, PlainHttpSignOnHasNoSecureCookie)
{
    std::string session, tgt;
    REQUEST_RESULT result = CasSignOn(s_devnet->Url("cas_http"), "ann", "velkor2026", session, tgt);
    ASSERT_FALSE(tgt.empty());
    EXPECT_EQ("Set-Cookie: CASTGC=" + tgt + "; Path=/cas3.4/; HttpOnly", SetCookieLine(result.text, "CASTGC"));
}

TEST_F(DevnetCasTest, BranchLoginPageTakesTheTicketOnce)
{
    std::string session, tgt;
    CasSignOn(Login(), "ann", "velkor2026", session, tgt);
    const std::string service = s_devnet->Url("firstlink");
    std::string ticket = TicketFor(service, Cookies(session, tgt));
    ASSERT_FALSE(ticket.empty());

    REQUEST_RESULT page = Get(service + "?ticket=" + ticket, nullptr, true);
    EXPECT_EQ(200u, page.code);
    EXPECT_NE(std::string::npos, page.text.find("<p id=\"user\">ann</p>"));
    EXPECT_NE(std::string::npos, page.text.find("Set-Cookie: PHPSESSID="));
    REQUEST_RESULT again = Get(service + "?ticket=" + ticket, nullptr, true);
    EXPECT_EQ(403u, again.code);
}
}
