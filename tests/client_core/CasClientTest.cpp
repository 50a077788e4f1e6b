#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include "CasClient.h"
#include "CasTestServer.h"

namespace {

const char* kLoginPath = "/cas3.4/login";

std::string LoginForm(const char* lt, const char* execution)
{
    std::string html = "<html><body><form id=\"fm1\" method=\"post\">";
    if (lt)
        html += std::string("<input type=\"hidden\" name=\"lt\" value=\"") + lt + "\" />";
    if (execution)
        html += std::string("<input type=\"hidden\" name=\"execution\" value=\"") + execution + "\" />";
    html += "<input type=\"hidden\" name=\"_eventId\" value=\"submit\" /></form></body></html>";
    return html;
}

std::string ResultPage(const char* msgClass)
{
    return std::string("<html><body><div id=\"msg\" class=\"") + msgClass + "\">text</div></body></html>";
}

// Owns the out-strings of one CAS_login call, and frees what the call left behind.
struct CLoginOut
{
    char* sessionId = nullptr;
    char* tgt = nullptr;
    ~CLoginOut()
    {
        std::free(sessionId);
        std::free(tgt);
    }
};

class CasLoginTest : public ::testing::Test
{
protected:
    CCasTestServer m_server;
    std::string m_loginUrl = m_server.Url(kLoginPath);

    // The usual login form with a session cookie, and a POST answer given by the test.
    void ServeForm(const std::string& setCookie, const std::string& form = LoginForm("LT-1-x", "e1s1"))
    {
        m_server.OnGet([=](const CRecordedRequest&) {
            CTestReply reply;
            if (!setCookie.empty())
                reply.headers.push_back({"Set-Cookie", setCookie});
            reply.body = form;
            return reply;
        });
    }
    void ServeResult(const std::string& setCookie, const std::string& page)
    {
        m_server.OnPost([=](const CRecordedRequest&) {
            CTestReply reply;
            if (!setCookie.empty())
                reply.headers.push_back({"Set-Cookie", setCookie});
            reply.body = page;
            return reply;
        });
    }
};

TEST_F(CasLoginTest, SignsOnAndPostsTheFormInOrder)
{
    ServeForm("JSESSIONID=S-1234; Path=/cas3.4; HttpOnly");
    ServeResult("CASTGC=TGT-1-abc; Path=/cas3.4; HttpOnly", ResultPage("success"));

    CLoginOut out;
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u01", "p%40ss", &out.sessionId, &out.tgt), 1);
    ASSERT_NE(out.sessionId, nullptr);
    ASSERT_NE(out.tgt, nullptr);
    EXPECT_STREQ(out.sessionId, "S-1234");
    EXPECT_STREQ(out.tgt, "TGT-1-abc");

    auto reqs = m_server.Requests();
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[0].method, "GET");
    EXPECT_EQ(reqs[0].path, kLoginPath);
    EXPECT_FALSE(reqs[0].hasCookie);
    EXPECT_EQ(reqs[1].method, "POST");
    EXPECT_EQ(reqs[1].path, kLoginPath);
    EXPECT_EQ(reqs[1].cookie, "JSESSIONID=S-1234");
    // The password goes out exactly as given.
    EXPECT_EQ(reqs[1].body, "username=u01&password=p%40ss&lt=LT-1-x&execution=e1s1&_eventId=submit&submit=login");
}

TEST_F(CasLoginTest, ReallocatesAGivenTicketBlock)
{
    ServeForm("JSESSIONID=S1; Path=/");
    ServeResult("CASTGC=TGT-new; Path=/", ResultPage("success"));
    CLoginOut out;
    out.tgt = static_cast<char*>(std::malloc(3));
    std::memcpy(out.tgt, "ab", 3);
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", &out.sessionId, &out.tgt), 1);
    ASSERT_NE(out.tgt, nullptr);
    EXPECT_STREQ(out.tgt, "TGT-new");
}

TEST_F(CasLoginTest, FormWithoutLtOrExecutionIsStillPosted)
{
    ServeForm("JSESSIONID=S1; Path=/", LoginForm(nullptr, nullptr));
    ServeResult("CASTGC=T1; Path=/", ResultPage("success"));
    CLoginOut out;
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", &out.sessionId, &out.tgt), 1);
    auto reqs = m_server.Requests();
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[1].body, "username=u&password=p&lt=&execution=&_eventId=submit&submit=login");
}

TEST_F(CasLoginTest, NoSessionCookieGivesMinus2WithoutPost)
{
    ServeForm("");
    ServeResult("CASTGC=T1; Path=/", ResultPage("success"));
    CLoginOut out;
    out.sessionId = reinterpret_cast<char*>(0x1);  // overwritten, never freed
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", &out.sessionId, &out.tgt), -2);
    EXPECT_EQ(out.sessionId, nullptr);
    EXPECT_EQ(out.tgt, nullptr);
    EXPECT_EQ(m_server.Requests().size(), 1u);
}

// A session cookie whose value never reaches a ";" is no cookie: the rest of the reply is not it.
TEST_F(CasLoginTest, SessionCookieWithoutStopCharacterCountsAsAbsent)
{
    ServeForm("JSESSIONID=S1", "<html>no semicolon here</html>");
    CLoginOut out;
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", &out.sessionId, &out.tgt), -2);
    EXPECT_EQ(out.sessionId, nullptr);
    EXPECT_EQ(m_server.Requests().size(), 1u);
}

struct LongSessionCase
{
    size_t length;
    bool keptWhole;
};

class CasLoginSessionLengthTest : public CasLoginTest, public ::testing::WithParamInterface<LongSessionCase> {};

// 511 bytes still fit the field; 512 and more count as present with an empty value.
TEST_P(CasLoginSessionLengthTest, SessionValueAtTheFieldLimit)
{
    std::string value(GetParam().length, 'S');
    ServeForm("JSESSIONID=" + value + "; Path=/");
    ServeResult("CASTGC=T1; Path=/", ResultPage("success"));
    CLoginOut out;
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", &out.sessionId, &out.tgt), 1);
    ASSERT_NE(out.sessionId, nullptr);
    auto reqs = m_server.Requests();
    ASSERT_EQ(reqs.size(), 2u);
    if (GetParam().keptWhole) {
        EXPECT_EQ(std::string(out.sessionId), value);
        EXPECT_EQ(reqs[1].cookie, "JSESSIONID=" + value);
    } else {
        EXPECT_STREQ(out.sessionId, "");
        EXPECT_EQ(reqs[1].cookie, "JSESSIONID=");
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, CasLoginSessionLengthTest, ::testing::Values(
    LongSessionCase{511, true}, LongSessionCase{512, false}, LongSessionCase{2000, false}));

TEST_F(CasLoginTest, OverlongTicketCookieCountsAsPresentWithEmptyValue)
{
    ServeForm("JSESSIONID=S1; Path=/");
    ServeResult("CASTGC=" + std::string(600, 'T') + "; Path=/", ResultPage("success"));
    CLoginOut out;
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", &out.sessionId, &out.tgt), 1);
    ASSERT_NE(out.tgt, nullptr);
    EXPECT_STREQ(out.tgt, "");
}

struct RejectCase
{
    const char* name;
    const char* setCookie;
    const char* msgClass;   // null: no result box at all
};

class CasLoginRejectTest : public CasLoginTest, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(CasLoginRejectTest, GivesMinus1AndFreesBoth)
{
    ServeForm("JSESSIONID=S1; Path=/");
    const RejectCase& c = GetParam();
    ServeResult(c.setCookie, c.msgClass ? ResultPage(c.msgClass) : "<html>login</html>");
    CLoginOut out;
    out.tgt = static_cast<char*>(std::malloc(8));
    std::memcpy(out.tgt, "old", 4);
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "wrong", &out.sessionId, &out.tgt), -1);
    EXPECT_EQ(out.sessionId, nullptr);
    if (*c.setCookie) {
        EXPECT_EQ(out.tgt, nullptr);   // the ticket block was taken over, then freed
    } else {
        ASSERT_NE(out.tgt, nullptr);   // no ticket came: the caller's block is untouched
        EXPECT_STREQ(out.tgt, "old");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CasLoginRejectTest, ::testing::Values(
    RejectCase{"NoTicketCookie", "", "errors"},
    RejectCase{"TicketButErrorBox", "CASTGC=T1; Path=/", "errors"},
    RejectCase{"TicketButSuccessPrefix", "CASTGC=T1; Path=/", "successful"},
    RejectCase{"TicketButNoResultBox", "CASTGC=T1; Path=/", nullptr}),
    [](const ::testing::TestParamInfo<RejectCase>& info) { return std::string(info.param.name); });

TEST_F(CasLoginTest, NullOutPointersGiveMinus1WithoutRequest)
{
    char* p = nullptr;
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", nullptr, &p), -1);
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", "p", &p, nullptr), -1);
    EXPECT_EQ(p, nullptr);
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(CasLoginTest, NullArgumentsGiveMinus1WithoutRequest)
{
    CLoginOut out;
    EXPECT_EQ(CAS_login(nullptr, "u", "p", &out.sessionId, &out.tgt), -1);
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), nullptr, "p", &out.sessionId, &out.tgt), -1);
    EXPECT_EQ(CAS_login(m_loginUrl.c_str(), "u", nullptr, &out.sessionId, &out.tgt), -1);
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(CasLoginTest, NoAnswerToThePostGivesMinus2AndFreesTheSession)
{
    setenv("NETVANE_TIMEOUT", "0.5", 1);
    ServeForm("JSESSIONID=S1; Path=/");
    m_server.OnPost([](const CRecordedRequest&) {
        CTestReply reply;
        reply.headers.push_back({"Set-Cookie", "CASTGC=T1; Path=/"});
        reply.body = ResultPage("success");
        reply.delayMs = 1500;
        return reply;
    });
    CLoginOut out;
    int rc = CAS_login(m_loginUrl.c_str(), "u", "p", &out.sessionId, &out.tgt);
    unsetenv("NETVANE_TIMEOUT");
    EXPECT_EQ(rc, -2);
    EXPECT_EQ(out.sessionId, nullptr);
    EXPECT_EQ(out.tgt, nullptr);
}

TEST(CasLoginDownTest, ServerDownGivesMinus2)
{
    std::string url = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + kLoginPath;
    CLoginOut out;
    EXPECT_EQ(CAS_login(url.c_str(), "u", "p", &out.sessionId, &out.tgt), -2);
    EXPECT_EQ(out.sessionId, nullptr);
    EXPECT_EQ(out.tgt, nullptr);
}

// --- CAS_serviceValidate --------------------------------------------------------------------

const char* kService = "http://127.0.10.1/branch/index.do";

std::string ValidationReply(const char* user)
{
    if (!user)
        return "<cas:serviceResponse xmlns:cas='http://www.yale.edu/tp/cas'>\n"
               "<cas:authenticationFailure code='INVALID_TICKET'>not recognized</cas:authenticationFailure>\n"
               "</cas:serviceResponse>";
    return std::string("<cas:serviceResponse xmlns:cas='http://www.yale.edu/tp/cas'>\n"
                       "<cas:authenticationSuccess>\n<cas:user>") + user +
           "</cas:user>\n</cas:authenticationSuccess>\n</cas:serviceResponse>";
}

class CasValidateTest : public ::testing::Test
{
protected:
    CCasTestServer m_server;
    std::string m_loginUrl = m_server.Url(kLoginPath);
    char m_session[8] = "S-1";
    char m_tgt[8] = "TGT-1";

    // ticket: null for a first answer without a redirect; user: null for a failing validation.
    void Serve(const char* ticket, const char* user)
    {
        std::string t = ticket ? ticket : "";
        bool redirect = ticket != nullptr;
        std::string u = user ? user : "";
        bool named = user != nullptr;
        m_server.OnGet([=](const CRecordedRequest& req) {
            CTestReply reply;
            if (req.path == "/cas3.4/login") {
                if (redirect) {
                    reply.status = 302;
                    reply.headers.push_back({"Location", std::string(kService) + "?ticket=" + t});
                } else {
                    reply.body = "<html>login form</html>";
                }
            } else if (req.path == "/cas3.4/serviceValidate") {
                reply.body = ValidationReply(named ? u.c_str() : nullptr);
                reply.contentType = "text/xml";
            } else {
                reply.status = 404;
            }
            return reply;
        });
    }
};

TEST_F(CasValidateTest, ValidSignOnGives1)
{
    Serve("ST-7-xyz", "u01");
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, m_session, m_tgt), 1);
    auto reqs = m_server.Requests();
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[0].path, "/cas3.4/login");
    EXPECT_EQ(reqs[0].query, std::string("service=") + kService);
    EXPECT_EQ(reqs[0].cookie, "JSESSIONID=S-1; CASTGC=TGT-1");
    // The validation path is the login path with "login" replaced, on the same server.
    EXPECT_EQ(reqs[1].path, "/cas3.4/serviceValidate");
    EXPECT_EQ(reqs[1].query, std::string("service=") + kService + "&ticket=ST-7-xyz");
    EXPECT_EQ(reqs[1].cookie, "JSESSIONID=S-1; CASTGC=TGT-1");
}

TEST_F(CasValidateTest, ExpiredSignOnGives0)
{
    Serve("ST-7-xyz", nullptr);
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, m_session, m_tgt), 0);
    EXPECT_EQ(m_server.Requests().size(), 2u);
}

TEST_F(CasValidateTest, EmptyUserGives0)
{
    Serve("ST-1", "");
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, m_session, m_tgt), 0);
}

struct MissingTicketCase
{
    const char* user;
    int expected;
};

class CasValidateNoTicketTest : public CasValidateTest, public ::testing::WithParamInterface<MissingTicketCase> {};

// Without a ticket the validation still goes out, with an empty ticket; the server decides.
TEST_P(CasValidateNoTicketTest, StillValidates)
{
    Serve(nullptr, GetParam().user);
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, m_session, m_tgt), GetParam().expected);
    auto reqs = m_server.Requests();
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[1].query, std::string("service=") + kService + "&ticket=");
}

INSTANTIATE_TEST_SUITE_P(Cases, CasValidateNoTicketTest, ::testing::Values(
    MissingTicketCase{"u01", 1}, MissingTicketCase{nullptr, 0}));

TEST_F(CasValidateTest, OverlongTicketIsSentEmpty)
{
    std::string ticket(600, 'K');
    Serve(ticket.c_str(), "u01");
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, m_session, m_tgt), 1);
    auto reqs = m_server.Requests();
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[1].query, std::string("service=") + kService + "&ticket=");
}

TEST_F(CasValidateTest, BadArgumentsGive0WithoutRequest)
{
    Serve("ST-1", "u01");
    EXPECT_EQ(CAS_serviceValidate("login", kService, m_session, m_tgt), 0);       // cannot be cut
    EXPECT_EQ(CAS_serviceValidate(nullptr, kService, m_session, m_tgt), 0);
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), nullptr, m_session, m_tgt), 0);
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, nullptr, m_tgt), 0);
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, m_session, nullptr), 0);
    EXPECT_TRUE(m_server.Requests().empty());
}

// Texts that would not fit their 1000-byte buffers fail the call before anything is sent.
TEST_F(CasValidateTest, TextsTooLongForTheirBuffersGive0WithoutRequest)
{
    Serve("ST-1", "u01");
    std::string longSession(990, 's');
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), kService, longSession.data(), m_tgt), 0);
    std::string longService = std::string(kService) + "?q=" + std::string(990, 'q');
    EXPECT_EQ(CAS_serviceValidate(m_loginUrl.c_str(), longService.c_str(), m_session, m_tgt), 0);
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST(CasValidateDownTest, ServerDownGives0)
{
    std::string url = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + kLoginPath;
    char session[] = "S1";
    char tgt[] = "T1";
    EXPECT_EQ(CAS_serviceValidate(url.c_str(), kService, session, tgt), 0);
}

// --- LoadUserAuthority ----------------------------------------------------------------------

class LoadUserAuthorityTest : public ::testing::Test
{
protected:
    CCasTestServer m_server;
    std::string m_url = m_server.Url("/auth/menus.do");

    void ServeMenu(const std::string& body)
    {
        m_server.OnPost([=](const CRecordedRequest&) {
            CTestReply reply;
            reply.body = body;
            reply.contentType = "text/xml";
            return reply;
        });
    }
};

TEST_F(LoadUserAuthorityTest, AllocatesTheReply)
{
    ServeMenu("<menus><menu name=\"a\"/></menus>");
    char* response = nullptr;
    EXPECT_TRUE(LoadUserAuthority(m_url.c_str(), "u01", "100000013", &response));
    ASSERT_NE(response, nullptr);
    EXPECT_STREQ(response, "<menus><menu name=\"a\"/></menus>");
    std::free(response);
    auto reqs = m_server.Requests();
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].method, "POST");
    EXPECT_EQ(reqs[0].body, "userId=u01&authId=100000013");
    EXPECT_FALSE(reqs[0].hasCookie);
}

TEST_F(LoadUserAuthorityTest, ReusesTheGivenBlock)
{
    std::string big(5000, 'm');
    ServeMenu(big);
    char* response = static_cast<char*>(std::malloc(4));
    std::memcpy(response, "old", 4);
    EXPECT_TRUE(LoadUserAuthority(m_url.c_str(), "u", "a", &response));
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(std::string(response), big);

    ServeMenu("<m/>");
    EXPECT_TRUE(LoadUserAuthority(m_url.c_str(), "u", "a", &response));
    EXPECT_STREQ(response, "<m/>");
    std::free(response);
}

TEST_F(LoadUserAuthorityTest, NoReplyLeavesThePointerAndGivesFalse)
{
    m_server.OnPost([](const CRecordedRequest&) {
        CTestReply reply;
        reply.status = 500;
        return reply;
    });
    char* response = static_cast<char*>(std::malloc(4));
    std::memcpy(response, "old", 4);
    char* before = response;
    EXPECT_FALSE(LoadUserAuthority(m_url.c_str(), "u", "a", &response));
    EXPECT_EQ(response, before);
    EXPECT_STREQ(response, "old");
    std::free(response);

    char* none = nullptr;
    std::string down = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/auth";
    EXPECT_FALSE(LoadUserAuthority(down.c_str(), "u", "a", &none));
    EXPECT_EQ(none, nullptr);
}

TEST_F(LoadUserAuthorityTest, NullResponseGivesFalseWithoutRequest)
{
    ServeMenu("<m/>");
    EXPECT_FALSE(LoadUserAuthority(m_url.c_str(), "u", "a", nullptr));
    EXPECT_TRUE(m_server.Requests().empty());
}

} // namespace
