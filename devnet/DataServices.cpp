#include "DataServices.h"

#include "HttpUtil.h"

#include <algorithm>
#include <chrono>
#include <thread>

using DevnetUtil::HtmlEscape;

namespace
{
const char* kXmlType = "text/xml; charset=UTF-8";
const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// Stands in for the updater when none is given: it does nothing and ends.
const char* kBuiltinUpdater = "#!/bin/sh\n# devnet stand-in updater\nexit 0\n";

// Stands in for the Chrome installer: with CHROME_STANDIN_DIR set it installs a stand-in browser
// "chromium" there, which appends its arguments to chromium.log beside it.
const char* kBrowserInstaller =
    "#!/bin/sh\n"
    "# devnet stand-in Chrome installer\n"
    "[ -n \"$CHROME_STANDIN_DIR\" ] || exit 0\n"
    "mkdir -p \"$CHROME_STANDIN_DIR\"\n"
    "printf '#!/bin/sh\\necho \"$@\" >> \"$(dirname \"$0\")/chromium.log\"\\n' > \"$CHROME_STANDIN_DIR/chromium\"\n"
    "chmod +x \"$CHROME_STANDIN_DIR/chromium\"\n"
    "exit 0\n";
const size_t kSlowInstallerSize = 256 * 1024;
const size_t kSlowPiece = 4096;

// A file sent slowly: in pieces, delayMs apart, so that its download takes a while.
void SendSlowly(httplib::Response& res, const std::string& content, size_t delayMs)
{
    res.set_content_provider(content.size(), "application/octet-stream",
                             [content, delayMs](size_t offset, size_t length, httplib::DataSink& sink) {
                                 if (offset > 0)
                                     std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                                 size_t n = std::min(length, kSlowPiece);
                                 return sink.write(content.data() + offset, n);
                             });
}
}

CDataServices::CDataServices(CDevnetContext& context) : m_context(context)
{
}

void CDataServices::Register(httplib::Server& server)
{
    auto bind = [this](void (CDataServices::*handler)(const httplib::Request&, httplib::Response&)) {
        return [this, handler](const httplib::Request& req, httplib::Response& res) { (this->*handler)(req, res); };
    };
    server.Post("/velkor_khd/w/", bind(&CDataServices::OnUpdate));
    server.Post("/velkor_khd/w", bind(&CDataServices::OnUpdate));
    server.Get("/velkor_khd/w/([^/]+)", bind(&CDataServices::OnUpdater));
    server.Get("/velkor_khd/Weighbridge/ChromeSetup.exe", bind(&CDataServices::OnBrowserInstaller));
    server.Post("/velkorauth/actions/outer/user/menu.action", bind(&CDataServices::OnAuthority));
    server.Post("/kesta/notify/transition_cs_interface.php", bind(&CDataServices::OnTransUrlList));
    server.Post("/api/order/reverse.php", bind(&CDataServices::OnMessage));
}

void CDataServices::OnUpdate(const httplib::Request& req, httplib::Response& res)
{
    std::string type = req.get_param_value("type");
    std::string version = req.get_param_value("version");
    m_context.Log("update: type=" + type + " version=" + version);
    std::string xml = kXmlHead;
    if (type != "xml")
    {
        xml += "<response><result>failure</result><code>1</code><message>unknown type</message></response>";
    }
    else
    {
        xml += "<response><result>success</result><code>0</code><message>ok</message><version>"
               + HtmlEscape(m_context.m_config.m_strUpdateVersion) + "</version><url>"
               + HtmlEscape(m_context.m_urls.Get("update") + m_context.m_config.UpdaterName())
               + "</url></response>";
    }
    res.set_content(xml, kXmlType);
}

void CDataServices::OnUpdater(const httplib::Request& req, httplib::Response& res)
{
    const CDevnetConfig& config = m_context.m_config;
    if (req.matches[1] != config.UpdaterName())
    {
        res.status = 404;
        res.set_content("not found\n", "text/plain");
        return;
    }
    std::string content = kBuiltinUpdater;
    if (!config.m_strUpdaterFile.empty() && !DevnetUtil::ReadFile(config.m_strUpdaterFile, content))
    {
        res.status = 404;
        res.set_content("updater file missing\n", "text/plain");
        return;
    }
    m_context.Log("update: updater " + config.UpdaterName() + " sent");
    if (config.m_nUpdaterDelayMs)
        SendSlowly(res, content, config.m_nUpdaterDelayMs);
    else
        res.set_content(content, "application/octet-stream");
}

void CDataServices::OnBrowserInstaller(const httplib::Request&, httplib::Response& res)
{
    m_context.Log("installer: ChromeSetup.exe sent");
    std::string content = kBrowserInstaller;
    const size_t delayMs = m_context.m_config.m_nInstallerDelayMs;
    if (!delayMs)
    {
        res.set_content(content, "application/octet-stream");
        return;
    }
    // Slow: padded with comment lines, so the download takes a while and shows its progress.
    while (content.size() < kSlowInstallerSize)
        content += "# " + std::string(std::min<size_t>(77, kSlowInstallerSize - content.size()), '-') + "\n";
    content.resize(kSlowInstallerSize);
    content.back() = '\n';
    SendSlowly(res, content, delayMs);
}

std::string CDataServices::DemoMenus() const
{
    std::string web = m_context.m_urls.Get("web");
    auto command = [&](const char* name, const char* page, const char* icon, bool toolbar) {
        return std::string("<menu name=\"") + name + "\" action=\"" + web + "/kesta/biz/" + page + "\" icon=\"" + icon
               + "\" toolbar=\"" + (toolbar ? "1" : "0") + "\" permitted=\"1\" type=\"command\"/>";
    };
    std::string xml = "<menus>";
    xml += "<menu name=\"订单管理\" icon=\"order\" type=\"popup\" permitted=\"1\">";
    xml += command("订单录入", "order_input.php", "order_input", true);
    xml += command("订单查询", "order_query.php", "order_query", true);
    xml += "<menu type=\"separator\"/>";
    xml += command("订单导入", "order_import.php", "order_import", false);
    xml += "</menu>";
    xml += "<menu name=\"面单打印\" icon=\"print\" type=\"popup\" permitted=\"1\">";
    xml += command("打印面单", "label_print.php", "label_print", true);
    // A nested popup: its toolbar command joins the print bar after 打印面单.
    xml += "<menu name=\"面单查询\" icon=\"label_print\" type=\"popup\" permitted=\"1\">";
    xml += command("面单补打", "label_reprint.php", "label_batch", true);
    xml += command("打印记录", "label_history.php", "order_query", false);
    xml += "</menu>";
    xml += "<menu name=\"批量打印\" action=\"" + web + "/kesta/biz/label_batch.php\" icon=\"label_batch\""
           " toolbar=\"0\" permitted=\"0\" type=\"command\"/>";
    xml += "</menu>";
    xml += "<menu name=\"系统\" icon=\"system\" type=\"popup\" permitted=\"1\">";
    xml += command("网点信息", "branch_info.php", "branch_info", true);
    // No address yet: the client shows no entry for it.
    xml += "<menu name=\"网点公告\" action=\"\" icon=\"system\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>";
    xml += "</menu>";
    xml += "</menus>";
    return xml;
}

void CDataServices::OnAuthority(const httplib::Request& req, httplib::Response& res)
{
    std::string user = req.get_param_value("userId");
    m_context.Log("authority: userId=" + user + " authId=" + req.get_param_value("authId"));
    std::string xml;
    if (user.empty())
        xml = "<menus></menus>";
    else if (!m_context.m_config.m_strMenuFile.empty())
    {
        if (!DevnetUtil::ReadFile(m_context.m_config.m_strMenuFile, xml))
        {
            res.status = 500;
            res.set_content("menu file missing\n", "text/plain");
            return;
        }
    }
    else
        xml = DemoMenus();
    res.set_content(xml, kXmlType);
}

void CDataServices::OnTransUrlList(const httplib::Request& req, httplib::Response& res)
{
    std::string account = req.get_param_value("gh");
    m_context.Log("translist: gh=" + account);
    std::string web = m_context.m_urls.Get("web");
    const char* paths[] = {"/kesta/kesta_cas_login.php", "/kesta/index_cas.php", "/kesta/biz/branch_info.php"};
    if (m_context.m_config.m_bTransUrlsDown)
    {
        paths[0] = "/kesta/down/first.php";
        paths[1] = "/kesta/down/second.php";
        paths[2] = "/kesta/down/third.php";
    }
    std::string xml = "<transurllist>";
    int index = 0;
    for (const char* path : paths)
    {
        xml += "<url><index>" + std::to_string(index++) + "</index><path>" + HtmlEscape(web + path) + "</path></url>";
    }
    xml += "</transurllist>";
    res.set_content(xml, kXmlType);
}

void CDataServices::OnMessage(const httplib::Request& req, httplib::Response& res)
{
    std::string type = req.get_param_value("type");
    std::string user = req.get_param_value("userno");
    m_context.Log("message: type=" + type + " userno=" + user);
    std::string xml = "<response><datas><data><type>1</type><title>系统通知</title>"
                      "<class>通知/系统/</class><time>" + DevnetUtil::CurrentTime() + "</time>"
                      "<content>" + HtmlEscape(user) + "，您好：今日18:00后系统例行维护，请提前保存数据。</content>"
                      "<reader>dialog</reader><url></url></data></datas></response>";
    res.set_content(xml, kXmlType);
}
