#include "WebPages.h"

#include "CasService.h"
#include "HttpUtil.h"

using DevnetUtil::HtmlEscape;

namespace
{
const char* kHtmlType = "text/html; charset=UTF-8";

std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>" + HtmlEscape(title)
           + "</title></head>\n<body>\n" + body + "</body></html>\n";
}

// What a page offers the client: the window.external calls and the print_complete answer.
const char* kPageScript =
    "<script>\n"
    "function ext() { return window.external && window.external.printReady ? window.external : null; }\n"
    "function print_complete(order, text, ok) {\n"
    "  document.getElementById('result').textContent = order + ' ' + text + ' ' + ok;\n"
    "}\n"
    "function printLabel() { var e = ext(); if (e) e.printMailLable(document.getElementById('order').value,\n"
    "  document.getElementById('size').value); }\n"
    "function importOrders() { var e = ext(); if (e) e.importOrder(); }\n"
    "function showImport() { var e = ext(); if (e) document.getElementById('result').textContent = e.getImportResult(); }\n"
    "function waitBriefly() { var e = ext(); if (!e) return; e.showWaitDialog('\\u8bf7\\u7a0d\\u5019...');\n"
    "  setTimeout(function () { e.hideWaitDialog(); }, 2000); }\n"
    "function openTab() { var e = ext(); var t = document.getElementById('target').value;\n"
    "  if (e) e.openTabView('\\u6253\\u5f00|' + (t.charAt(0) === '/' ? location.origin + t : t)); }\n"
    "</script>\n";

std::string SimplePage(const std::string& title, const std::string& text)
{
    return Page(title, "<h1>" + HtmlEscape(title) + "</h1>\n<p>" + HtmlEscape(text) + "</p>\n");
}
}

CWebPages::CWebPages(CDevnetContext& context, CCasService& cas) : m_context(context), m_cas(cas)
{
}

void CWebPages::Register(httplib::Server& server, bool secure)
{
    auto bind = [this](void (CWebPages::*handler)(const httplib::Request&, httplib::Response&)) {
        return [this, handler](const httplib::Request& req, httplib::Response& res) { (this->*handler)(req, res); };
    };
    server.Get("/kesta/kesta_cas_login.php", [this, secure](const httplib::Request& req, httplib::Response& res) {
        OnCasLogin(req, res, secure);
    });
    server.Get("/kesta/index_cas.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("网点业务系统",
                             "<h1>网点业务系统</h1>\n<ul>\n"
                             "<li><a href=\"/kesta/biz/order_input.php\">订单录入</a></li>\n"
                             "<li><a href=\"/kesta/biz/label_print.php\">打印面单</a></li>\n"
                             "</ul>\n"),
                        kHtmlType);
    });
    server.Get("/kesta/biz/([A-Za-z0-9_]+)\\.php", bind(&CWebPages::OnBusinessPage));
    server.Get("/kesta/gohh.php", bind(&CWebPages::OnQueryToken));
    server.Get("/kesta/gox.php", bind(&CWebPages::OnWaybill));
    server.Get("/velkorsoa/portal/login/mimazhaohui.jsp", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(SimplePage("找回密码", "请联系网点管理员重置密码。"), kHtmlType);
    });
    server.Get("/velkorsoa/cas.login", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(SimplePage("服务门户", req.get_param_value("CASLOGOUT") == "true" ? "您已退出服务门户。" : "服务门户"),
                        kHtmlType);
    });
    server.Get("/vpn/login.html", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(SimplePage("VPN 登录", "VPN 服务（本地模拟）。"), kHtmlType);
    });
    auto vpnOption = [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<response><result>success</result><code>0</code><message>ok</message></response>",
                        "text/xml; charset=UTF-8");
    };
    server.Get("/velkorvpn/actions/outer/api/option.action", vpnOption);
    server.Post("/velkorvpn/actions/outer/api/option.action", vpnOption);
    server.Get("/velkor/oos/oos_param_get.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("ok", "text/plain; charset=UTF-8");
    });
}

void CWebPages::OnCasLogin(const httplib::Request& req, httplib::Response& res, bool secure)
{
    std::string ticket = req.get_param_value("ticket");
    if (ticket.empty())
    {
        res.set_content(Page("网点业务系统", "<h1>网点业务系统</h1>\n<p>未登录。</p>\n"), kHtmlType);
        return;
    }
    // The service is this page's own address, as the client named it when it asked for the ticket.
    std::string service = std::string(secure ? "https://" : "http://") + req.get_header_value("Host") + req.path;
    std::string user;
    std::string code;
    if (!m_cas.ValidateTicket(service, ticket, user, code))
    {
        m_context.Log("web: ticket " + ticket + " refused for " + service + ": " + code);
        res.status = 403;
        res.set_content(Page("网点业务系统", "<h1>登录失败</h1>\n<p>" + HtmlEscape(code) + "</p>\n"), kHtmlType);
        return;
    }
    m_context.Log("web: " + user + " entered the branch system");
    res.set_header("Set-Cookie", "PHPSESSID=" + DevnetUtil::RandomToken(26) + "; path=/");
    std::string body = "<h1>欢迎，" + HtmlEscape(user) + "</h1>\n"
                       "<p id=\"user\">" + HtmlEscape(user) + "</p>\n"
                       "<script>if (window.external && window.external.startWork) window.external.startWork();</script>\n";
    res.set_content(Page("网点业务系统", body), kHtmlType);
}

void CWebPages::OnBusinessPage(const httplib::Request& req, httplib::Response& res)
{
    std::string name = req.matches[1];
    std::string body = std::string(kPageScript) + "<h1>" + HtmlEscape(name) + "</h1>\n"
                       "<p>订单号 <input id=\"order\" value=\"VK2026121000001\"/>\n"
                       "尺寸 <input id=\"size\" value=\"4*6\"/>\n"
                       "<button id=\"print\" onclick=\"printLabel()\">打印面单</button>\n"
                       "<button id=\"import\" onclick=\"importOrders()\">导入订单</button>\n"
                       "<button id=\"importResult\" onclick=\"showImport()\">导入结果</button>\n"
                       "<button id=\"wait\" onclick=\"waitBriefly()\">等待框</button></p>\n"
                       "<p>页面 <input id=\"target\" value=\"/kesta/biz/branch_info.php\"/>\n"
                       "<button id=\"open\" onclick=\"openTab()\">打开</button></p>\n"
                       "<p id=\"result\"></p>\n";
    res.set_content(Page(name, body), kHtmlType);
}

void CWebPages::OnQueryToken(const httplib::Request& req, httplib::Response& res)
{
    std::string act = req.get_param_value("act");
    std::string waybill = req.get_param_value("wen");
    m_context.Log("query token: act=" + act + " wen=" + waybill);
    if (act != "geth")
    {
        res.status = 400;
        res.set_content("bad act", "text/plain");
        return;
    }
    res.set_content("HH" + DevnetUtil::RandomToken(16), "text/plain; charset=UTF-8");
}

void CWebPages::OnWaybill(const httplib::Request& req, httplib::Response& res)
{
    std::string waybill = req.get_param_value("wen");
    std::string jmm = req.get_param_value("jmm");
    std::string hh = req.get_param_value("hh");
    bool signatureOk = jmm.size() == 46 && jmm.compare(0, 32, DevnetUtil::Md5HexUpper(waybill)) == 0;
    m_context.Log("waybill: wen=" + waybill + " jmm=" + jmm + (signatureOk ? " (good)" : " (BAD)") + " hh=" + hh);
    std::string body = "<h1>运单 " + HtmlEscape(waybill) + "</h1>\n"
                       "<p id=\"check\">" + std::string(signatureOk ? "校验通过" : "校验失败") + "</p>\n"
                       "<table><tr><td>" + DevnetUtil::CurrentTime() + "</td><td>已揽收</td></tr></table>\n";
    res.set_content(Page("运单查询", body), kHtmlType);
}
