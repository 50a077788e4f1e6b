// The CAS sign-on over https through CNetvane, read the way the client reads it: form,
// JSESSIONID, POST, CASTGC, service ticket, serviceValidate, and the ticket used only once.
#include <gtest/gtest.h>

#include "DevnetProcess.h"
#include "Netvane.h"
#include "NetTestUtil.h"

namespace
{
TEST(NetvaneCasFlowTest, SignOnTicketAndValidationOverHttps)
{
    UseShortTimeouts();
    CDevnetProcess devnet({"--account", "ann:p@ss"});
    ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
    const std::string login = devnet.Url("cas_https");
    ASSERT_EQ(0u, login.find("https://"));

    // The form: hidden lt and execution, a session cookie.
    REQUEST_RESULT form = Get(login, nullptr, true);
    ASSERT_EQ(200u, form.code);
    std::string lt = Field(form.text, "name=\"lt\" value=\"", '"');
    std::string execution = Field(form.text, "name=\"execution\" value=\"", '"');
    std::string session = Field(form.text, "JSESSIONID=", ';');
    EXPECT_FALSE(lt.empty());
    EXPECT_FALSE(execution.empty());
    ASSERT_FALSE(session.empty());
    EXPECT_EQ("Set-Cookie: JSESSIONID=" + session + "; Path=/cas3.4/; HttpOnly", SetCookieLine(form.text, "JSESSIONID"));

    // The sign-on, the password form-encoded by the caller.
    CNetvane post;
    post.AddParam("username", "ann");
    post.AddParam("password", "p%40ss");
    post.AddParam("lt", lt.c_str());
    post.AddParam("execution", execution.c_str());
    post.AddParam("_eventId", "submit");
    post.AddParam("submit", "login");
    std::string cookie = "JSESSIONID=" + session;
    REQUEST_RESULT signedOn = Post(post, login, cookie.c_str(), true);
    ASSERT_EQ(200u, signedOn.code);
    std::string tgt = Field(signedOn.text, "CASTGC=", ';');
    ASSERT_EQ(0u, tgt.find("TGT-")) << signedOn.text;
    EXPECT_EQ("Set-Cookie: CASTGC=" + tgt + "; Path=/cas3.4/; Secure; HttpOnly", SetCookieLine(signedOn.text, "CASTGC"));
    EXPECT_EQ("success", Field(signedOn.text, "div id=\"msg\" class=\"", '"'));

    // A service ticket: the redirect itself comes back, its Location carries the ticket.
    const std::string service = devnet.Url("firstlink");
    std::string both = "JSESSIONID=" + session + "; CASTGC=" + tgt;
    REQUEST_RESULT redirect = Get(login + "?service=" + service, both.c_str(), true);
    ASSERT_EQ(302u, redirect.code) << redirect.text;
    EXPECT_NE(std::string::npos, redirect.text.find("\r\nLocation: " + service + "?ticket=ST-"));
    std::string ticket = Field(redirect.text, "ticket=", '\r');
    ASSERT_EQ(0u, ticket.find("ST-"));

    // Validation at the same server's serviceValidate, once.
    std::string base = login.substr(0, login.size() - 6);
    std::string validate = base + "/serviceValidate?service=" + service + "&ticket=" + ticket;
    REQUEST_RESULT valid = Get(validate, both.c_str(), true);
    ASSERT_NE(0u, valid.code);
    EXPECT_NE(std::string::npos, valid.text.find("<cas:authenticationSuccess>"));
    EXPECT_EQ("ann", Field(valid.text, "<cas:user>", '<'));

    REQUEST_RESULT again = Get(validate, both.c_str(), true);
    EXPECT_EQ("", Field(again.text, "<cas:user>", '<'));
    EXPECT_NE(std::string::npos, again.text.find("<cas:authenticationFailure code=\"INVALID_TICKET\">"));
}

TEST(NetvaneCasFlowTest, WrongPasswordGivesAnErrorBoxAndNoTicketGrantingCookie)
{
    UseShortTimeouts();
    CDevnetProcess devnet({"--account", "ann:secret1"});
    ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
    const std::string login = devnet.Url("cas_https");

    std::string session, tgt;
    REQUEST_RESULT refused = CasSignOn(login, "ann", "secret2", session, tgt);
    ASSERT_TRUE(refused.hasReply);
    EXPECT_EQ(std::string::npos, refused.text.find("CASTGC="));
    EXPECT_EQ("errors", Field(refused.text, "div id=\"msg\" class=\"", '"'));
    // The form comes again, ready for another try.
    EXPECT_FALSE(Field(refused.text, "name=\"lt\" value=\"", '"').empty());
}
}
