#include "CasService.h"

#include "HttpUtil.h"

using DevnetUtil::HtmlEscape;

namespace
{
const char* kHtmlType = "text/html; charset=UTF-8";
const char* kCookiePath = "Path=/cas3.4/";

std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>" + HtmlEscape(title)
           + "</title></head>\n<body>\n" + body + "</body></html>\n";
}

std::string CookieOf(const httplib::Request& req, const std::string& name)
{
    auto cookies = DevnetUtil::ParseCookies(req.get_header_value("Cookie"));
    auto it = cookies.find(name);
    return it == cookies.end() ? std::string() : it->second;
}
}

CCasService::CCasService(CDevnetContext& context) : m_context(context)
{
}

void CCasService::Register(httplib::Server& server, bool secure)
{
    server.Get("/cas3.4/login", [this, secure](const httplib::Request& req, httplib::Response& res) {
        OnLoginGet(req, res, secure);
    });
    server.Post("/cas3.4/login", [this, secure](const httplib::Request& req, httplib::Response& res) {
        OnLoginPost(req, res, secure);
    });
    server.Get("/cas3.4/logout", [this](const httplib::Request& req, httplib::Response& res) {
        OnLogout(req, res);
    });
    server.Get("/cas3.4/serviceValidate", [this](const httplib::Request& req, httplib::Response& res) {
        OnServiceValidate(req, res);
    });
}

bool CCasService::CheckPassword(const std::string& user, const std::string& password) const
{
    for (const DEVNET_ACCOUNT& account : m_context.m_config.m_accounts)
    {
        if (account.user != user)
            continue;
        // The client digests the password as typed, in its own code page.
        if (account.md5)
            return password == DevnetUtil::Md5Base64(DevnetUtil::Utf8ToGbk(account.password));
        return password == account.password;
    }
    return false;
}

std::string CCasService::UserOfTgt(const std::string& tgt)
{
    if (tgt.empty())
        return std::string();
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_tgts.find(tgt);
    return it == m_tgts.end() ? std::string() : it->second;
}

std::string CCasService::NewSession(httplib::Response& res)
{
    std::string id = DevnetUtil::RandomToken(32);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_sessions[id] = CASSESSION{};
    }
    res.set_header("Set-Cookie", "JSESSIONID=" + id + "; " + kCookiePath + "; HttpOnly");
    return id;
}

void CCasService::SendForm(httplib::Response& res, const std::string& sessionId, const std::string& service,
                           const std::string& errorText)
{
    std::string lt;
    std::string execution;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        CASSESSION& session = m_sessions[sessionId];
        // A fresh login ticket for every form shown; it is good for one POST.
        session.lt = "LT-" + std::to_string(++m_counter) + "-" + DevnetUtil::RandomToken(20);
        session.execution = "e" + std::to_string(m_counter) + "s1";
        lt = session.lt;
        execution = session.execution;
    }
    std::string action = "login";
    if (!service.empty())
        action += "?service=" + DevnetUtil::UrlEncode(service);
    std::string body;
    if (!errorText.empty())
        body += "<div id=\"msg\" class=\"errors\">" + HtmlEscape(errorText) + "</div>\n";
    body += "<form id=\"fm1\" method=\"post\" action=\"" + HtmlEscape(action) + "\">\n"
            "<label for=\"username\">用户名</label><input id=\"username\" name=\"username\" type=\"text\" value=\"\"/>\n"
            "<label for=\"password\">密码</label><input id=\"password\" name=\"password\" type=\"password\" value=\"\"/>\n"
            "<input type=\"hidden\" name=\"lt\" value=\"" + lt + "\"/>\n"
            "<input type=\"hidden\" name=\"execution\" value=\"" + execution + "\"/>\n"
            "<input type=\"hidden\" name=\"_eventId\" value=\"submit\"/>\n"
            "<input type=\"submit\" name=\"submit\" value=\"login\"/>\n"
            "</form>\n";
    res.status = 200;
    res.set_content(Page("CAS - 统一身份认证", body), kHtmlType);
}

void CCasService::RedirectWithTicket(httplib::Response& res, const std::string& service, const std::string& user)
{
    std::string ticket;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        ticket = "ST-" + std::to_string(++m_counter) + "-" + DevnetUtil::RandomToken(20) + "-cas";
        m_tickets[ticket] = SERVICETICKET{service, user};
    }
    std::string location = service + (service.find('?') == std::string::npos ? "?" : "&") + "ticket=" + ticket;
    res.status = 302;
    res.set_header("Location", location);
    res.set_content(Page("Redirect", "<a href=\"" + HtmlEscape(location) + "\">continue</a>\n"), kHtmlType);
    m_context.Log("cas: ticket " + ticket + " for " + user + " to " + service);
}

void CCasService::OnLoginGet(const httplib::Request& req, httplib::Response& res, bool secure)
{
    std::string service = req.get_param_value("service");
    std::string user = UserOfTgt(CookieOf(req, "CASTGC"));
    if (!user.empty())
    {
        if (!service.empty())
        {
            RedirectWithTicket(res, service, user);
            return;
        }
        res.set_content(Page("CAS - 登录成功", "<div id=\"msg\" class=\"success\">您已经成功登录统一身份认证服务。</div>\n"),
                        kHtmlType);
        return;
    }
    std::string sessionId = CookieOf(req, "JSESSIONID");
    bool known = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        known = !sessionId.empty() && m_sessions.count(sessionId) != 0;
    }
    if (!known)
        sessionId = NewSession(res);
    SendForm(res, sessionId, service, std::string());
}

void CCasService::OnLoginPost(const httplib::Request& req, httplib::Response& res, bool secure)
{
    std::string service = req.get_param_value("service");
    std::string sessionId = CookieOf(req, "JSESSIONID");
    std::string user = req.get_param_value("username");
    std::string password = req.get_param_value("password");
    std::string lt = req.get_param_value("lt");
    std::string execution = req.get_param_value("execution");

    bool formValid = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_sessions.find(sessionId);
        if (!sessionId.empty() && it != m_sessions.end())
        {
            formValid = !lt.empty() && it->second.lt == lt && it->second.execution == execution
                        && req.get_param_value("_eventId") == "submit";
            it->second.lt.clear();   // one POST per login ticket
        }
    }
    if (sessionId.empty() || !formValid)
    {
        m_context.Log("cas: login form of user '" + user + "' refused (session, lt or execution)");
        bool known;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            known = !sessionId.empty() && m_sessions.count(sessionId) != 0;
        }
        if (!known)
            sessionId = NewSession(res);
        SendForm(res, sessionId, service, "登录页面已过期，请重新登录。");
        return;
    }
    if (!CheckPassword(user, password))
    {
        m_context.Log("cas: wrong user name or password for '" + user + "'");
        SendForm(res, sessionId, service, "认证信息无效。");
        return;
    }

    std::string tgt;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        tgt = "TGT-" + std::to_string(++m_counter) + "-" + DevnetUtil::RandomToken(40) + "-cas";
        m_tgts[tgt] = user;
    }
    std::string cookie = "CASTGC=" + tgt + "; " + kCookiePath + (secure ? "; Secure" : "") + "; HttpOnly";
    res.set_header("Set-Cookie", cookie);
    m_context.Log("cas: " + user + " signed on");
    if (!service.empty())
    {
        RedirectWithTicket(res, service, user);
        return;
    }
    res.set_content(Page("CAS - 登录成功", "<div id=\"msg\" class=\"success\">您已经成功登录统一身份认证服务。</div>\n"),
                    kHtmlType);
}

void CCasService::OnLogout(const httplib::Request& req, httplib::Response& res)
{
    std::string tgt = CookieOf(req, "CASTGC");
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_tgts.erase(tgt);
    }
    res.set_header("Set-Cookie", std::string("CASTGC=; ") + kCookiePath + "; Max-Age=0; HttpOnly");
    res.set_content(Page("CAS - 注销成功", "<div id=\"msg\" class=\"success\">您已经成功退出统一身份认证服务。</div>\n"),
                    kHtmlType);
}

bool CCasService::ValidateTicket(const std::string& service, const std::string& ticket, std::string& user,
                                 std::string& code)
{
    if (service.empty() || ticket.empty())
    {
        code = "INVALID_REQUEST";
        return false;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_tickets.find(ticket);
    if (it == m_tickets.end())
    {
        code = "INVALID_TICKET";
        return false;
    }
    SERVICETICKET found = it->second;
    m_tickets.erase(it);   // a service ticket is good once, whatever the outcome
    if (found.service != service)
    {
        code = "INVALID_SERVICE";
        return false;
    }
    user = found.user;
    return true;
}

void CCasService::OnServiceValidate(const httplib::Request& req, httplib::Response& res)
{
    std::string service = req.get_param_value("service");
    std::string ticket = req.get_param_value("ticket");
    std::string user;
    std::string code;
    std::string xml = "<cas:serviceResponse xmlns:cas='http://www.yale.edu/tp/cas'>\n";
    if (ValidateTicket(service, ticket, user, code))
    {
        xml += "    <cas:authenticationSuccess>\n        <cas:user>" + HtmlEscape(user)
               + "</cas:user>\n    </cas:authenticationSuccess>\n";
        m_context.Log("cas: ticket " + ticket + " validated for " + user);
    }
    else
    {
        xml += "    <cas:authenticationFailure code=\"" + code + "\">Ticket &#39;" + HtmlEscape(ticket)
               + "&#39; not recognized</cas:authenticationFailure>\n";
        m_context.Log("cas: ticket '" + ticket + "' refused: " + code);
    }
    xml += "</cas:serviceResponse>\n";
    res.set_content(xml, "text/xml; charset=UTF-8");
}

int CCasService::ExpireTickets(const std::string& user)
{
    std::lock_guard<std::mutex> lock(m_lock);
    int ended = 0;
    for (auto it = m_tgts.begin(); it != m_tgts.end();)
    {
        if (user.empty() || it->second == user)
        {
            it = m_tgts.erase(it);
            ++ended;
        }
        else
            ++it;
    }
    return ended;
}
