#include "WebPages.h"

#include "CasService.h"
#include "HttpUtil.h"
#include "LabelPdf.h"

#include <openssl/evp.h>

using DevnetUtil::HtmlEscape;

namespace
{
const char* kHtmlType = "text/html; charset=UTF-8";
// The label service's signature: MD5 of the order number followed by this suffix.
const char* kLabelSuffix = "vorn_plack_edsu";

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
    "function printLabel() { var e = ext(); if (e) e.printMailLable(document.getElementById('order').value, '4*6'); }\n"
    "function importOrders() { var e = ext(); if (e) e.importOrder(); }\n"
    "function showImport() { var e = ext(); if (e) document.getElementById('result').textContent = e.getImportResult(); }\n"
    "function waitBriefly() { var e = ext(); if (!e) return; e.showWaitDialog('\\u8bf7\\u7a0d\\u5019...');\n"
    "  setTimeout(function () { e.hideWaitDialog(); }, 2000); }\n"
    "function openTab() { var e = ext(); if (e) e.openTabView(document.getElementById('target').value); }\n"
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
    server.Get("/kesta/print/mail_label_pdf.php", bind(&CWebPages::OnLabelPdf));
    server.Post("/kesta/order/import.php", bind(&CWebPages::OnOrderImport));
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

void CWebPages::OnLabelPdf(const httplib::Request& req, httplib::Response& res)
{
    std::string order = req.get_param_value("orderno");
    std::string jmm = req.get_param_value("jmm");
    // Any signature is accepted for now; the log tells whether it was the expected one.
    bool signatureOk = jmm == DevnetUtil::Md5HexUpper(order + kLabelSuffix);
    m_context.Log("label: orderno=" + order + " jmm=" + jmm + (signatureOk ? " (good)" : " (BAD)"));
    if (order.empty())
    {
        res.status = 404;
        res.set_content("no order number", "text/plain");
        return;
    }
    res.set_content(BuildLabelPdf(order), "application/pdf");
}

void CWebPages::OnOrderImport(const httplib::Request& req, httplib::Response& res)
{
    // The body is "data=" and the payload: Base64 of the orders, then URL-encoded. The
    // validation is the upper-case MD5 hex of that payload exactly as sent.
    std::string payload = req.body.compare(0, 5, "data=") == 0 ? req.body.substr(5) : std::string();
    std::string validation = req.get_param_value("validation");
    bool validationOk = !payload.empty() && validation == DevnetUtil::Md5HexUpper(payload);
    std::string base64 = req.get_param_value("data");
    std::string orders;
    if (!base64.empty())
    {
        std::string decoded(base64.size(), '\0');
        int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(decoded.data()),
                                     reinterpret_cast<const unsigned char*>(base64.data()),
                                     static_cast<int>(base64.size()));
        if (length >= 0)
        {
            // EVP_DecodeBlock counts the "=" padding as zero bytes.
            size_t pad = base64.size() >= 2 && base64.compare(base64.size() - 2, 2, "==") == 0 ? 2
                         : !base64.empty() && base64.back() == '=' ? 1 : 0;
            orders = decoded.substr(0, static_cast<size_t>(length) - pad);
        }
    }
    size_t lines = 0;
    for (size_t pos = 0; pos < orders.size();)
    {
        size_t end = orders.find('\n', pos);
        if (end == std::string::npos)
            end = orders.size();
        if (end > pos)
            ++lines;
        pos = end + 1;
    }
    m_context.Log("import: sid=" + req.get_param_value("sid") + " version=" + req.get_param_value("version") +
                  " type=" + req.get_param_value("type") + " validation " + (validationOk ? "good" : "BAD") +
                  ", " + std::to_string(lines) + " line(s)");
    std::string body = "<h1>运单导入</h1>\n"
                       "<p id=\"check\">" + std::string(validationOk ? "校验通过" : "校验失败") + "</p>\n"
                       "<p id=\"lines\">" + std::to_string(lines) + "</p>\n"
                       "<pre id=\"orders\">" + HtmlEscape(orders) + "</pre>\n";
    res.set_content(Page("运单导入", body), kHtmlType);
}
