#include "PageBehaviours.h"

#include "HttpUtil.h"

namespace
{
const char* kHtmlType = "text/html; charset=UTF-8";

std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>" + DevnetUtil::HtmlEscape(title) +
           "</title></head>\n<body>\n" + body + "</body></html>\n";
}

// Every window.external method, each by a function the tests (or an operator's click) can call;
// results land in #result as "name=value". The page also takes the client's print_complete calls.
const char* kExternalPage = R"HTML(<h1>window.external</h1>
<p id="result"></p>
<p id="log"></p>
<script>
function show(name, value) {
  var p = document.getElementById('result');
  p.textContent = name + '=' + String(value);
  document.title = name + '=' + String(value);
  return String(value);
}
function callPrintReady() { return show('printReady', window.external.printReady()); }
function callPrintMailLable() { return show('printMailLable', window.external.printMailLable('VK2026121000001', '4*6')); }
function callOpenTabView(text) { return show('openTabView', window.external.openTabView(text)); }
function callGetImportResult() { return show('getImportResult', window.external.getImportResult()); }
function callImportOrder() { return show('importOrder', window.external.importOrder()); }
function callShowWaitDialog() { return show('showWaitDialog', window.external.showWaitDialog('请稍候...')); }
function callHideWaitDialog() { return show('hideWaitDialog', window.external.hideWaitDialog()); }
function callStartWork() { return show('startWork', window.external.startWork()); }
function callUnknown() { try { window.external.noSuchMethod(); return show('unknown', 'no'); }
                         catch (e) { return show('unknown', 'threw'); } }
// What the client calls: its arguments, in order, joined.
function pageFunction(a, b, c) {
  var text = [a, b, c].join('|');
  document.getElementById('log').textContent = text;
  return text;
}
function failingFunction() { throw new Error('broken'); }
// The client reports each label print here; printCompleteCalls() gives them, one a line.
var printCompletes = [];
function print_complete(order, text, ok) {
  printCompletes.push([order, text, ok].join('|'));
  document.getElementById('log').textContent = printCompletes.join('\n');
}
function printCompleteCalls() { return printCompletes.join('\n'); }
</script>
<button onclick="callPrintReady()">printReady</button>
<button onclick="callOpenTabView('打开|' + location.origin + '/kesta/biz/branch_info.php')">openTabView</button>
<button onclick="callShowWaitDialog(); setTimeout(callHideWaitDialog, 1500)">wait</button>
<button onclick="callStartWork()">startWork</button>
)HTML";
}  // namespace

void CPageBehaviours::Register(httplib::Server& server)
{
    // The first business page: it tells the client it is ready.
    server.Get("/kesta/pages/first.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("网点首页", "<h1>网点首页</h1>\n<script>window.external.startWork();</script>\n"), kHtmlType);
    });
    server.Get("/kesta/pages/titled.php", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(Page(req.get_param_value("title"), "<p>titled</p>\n"), kHtmlType);
    });
    server.Get("/kesta/pages/untitled.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"></head>\n<body>\n<p>untitled</p>\n"
                        "<script>window.addEventListener('load', function () { setTimeout(function () {"
                        " document.title = '后来的标题'; }, 100); });</script>\n</body></html>\n",
                        kHtmlType);
    });
    server.Get("/kesta/pages/opener.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("打开窗口", "<h1>打开窗口</h1>\n"
                                         "<script>window.open('/kesta/pages/titled.php?title=%E6%96%B0%E7%AA%97%E5%8F%A3');"
                                         "</script>\n"),
                        kHtmlType);
    });
    server.Get("/kesta/pages/closer.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("关闭窗口", "<h1>关闭窗口</h1>\n<script>setTimeout(function () { window.close(); }, 100);"
                                         "</script>\n"),
                        kHtmlType);
    });
    server.Get("/kesta/pages/script_error.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("脚本错误", "<h1>脚本错误</h1>\n<script>noSuchFunction();</script>\n"
                                         "<script>document.getElementById('after') || document.body.insertAdjacentHTML("
                                         "'beforeend', '<p id=\"after\">still running</p>');</script>\n"),
                        kHtmlType);
    });
    server.Get("/kesta/pages/alert.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("提示框", "<h1>提示框</h1>\n<script>alert('欢迎使用');</script>\n"), kHtmlType);
    });
    server.Get("/kesta/pages/activex.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("控件", "<h1>控件</h1>\n<script>alert('当前安全设置禁止运行该页中的 ActiveX 控件');"
                                     "document.title = '控件之后';</script>\n"),
                        kHtmlType);
    });
    server.Get("/kesta/pages/external.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("external", kExternalPage), kHtmlType);
    });
    server.Get("/kesta/pages/cas_failed.php", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(Page("网点业务系统", "<h1>登录</h1>\n<!-- CAS Authentication failed -->\n"
                                             "<p>CAS Authentication failed</p>\n"),
                        kHtmlType);
    });
    // Business systems that are down.
    server.Get("/kesta/down/([A-Za-z0-9_]+)\\.php", [this](const httplib::Request& req, httplib::Response& res) {
        m_context.Log("down: " + req.path);
        res.status = 503;
        res.set_content(Page("503", "<h1>Service Unavailable</h1>\n"), kHtmlType);
    });
}
