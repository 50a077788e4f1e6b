#include "OrderImportService.h"

#include "HttpUtil.h"

#include <openssl/evp.h>

using DevnetUtil::HtmlEscape;

namespace
{
// The client's order sheet is a JSON array of rows (the header row first): one line per row.
// Any other text counts its non-empty lines.
size_t OrderLines(const std::string& orders)
{
    size_t lines = 0;
    if (!orders.empty() && orders[0] == '[')
    {
        int depth = 0;
        bool inString = false;
        for (size_t i = 0; i < orders.size(); ++i)
        {
            char c = orders[i];
            if (inString)
            {
                if (c == '\\')
                    ++i;
                else if (c == '"')
                    inString = false;
            }
            else if (c == '"')
                inString = true;
            else if (c == '[' && ++depth == 2)
                ++lines;
            else if (c == ']')
                --depth;
        }
        return lines;
    }
    for (size_t pos = 0; pos < orders.size();)
    {
        size_t end = orders.find('\n', pos);
        if (end == std::string::npos)
            end = orders.size();
        if (end > pos)
            ++lines;
        pos = end + 1;
    }
    return lines;
}
}

COrderImportService::COrderImportService(CDevnetContext& context) : m_context(context)
{
}

void COrderImportService::Register(httplib::Server& server)
{
    server.Post("/kesta/order/import.php",
                [this](const httplib::Request& req, httplib::Response& res) { OnOrderImport(req, res); });
}

void COrderImportService::OnOrderImport(const httplib::Request& req, httplib::Response& res)
{
    // The body is "data=" and the payload: Base64 of the orders (the client's GBK text), then
    // URL-encoded. The validation is the upper-case MD5 hex of that payload exactly as sent.
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
            orders = DevnetUtil::GbkToUtf8(decoded.substr(0, static_cast<size_t>(length) - pad));
        }
    }
    size_t lines = OrderLines(orders);
    std::string sid = req.get_param_value("sid");
    m_context.Log("import: sid=" + sid + " version=" + req.get_param_value("version") + " type=" +
                  req.get_param_value("type") + " validation " + (validationOk ? "good" : "BAD") + ", " +
                  std::to_string(lines) + " line(s), " + std::to_string(req.body.size()) + " byte(s)");
    std::string body = "<h1>运单导入</h1>\n"
                       "<p id=\"check\">" + std::string(validationOk ? "校验通过" : "校验失败") + "</p>\n"
                       "<p id=\"sid\">" + HtmlEscape(sid) + "</p>\n"
                       "<p id=\"validation\">" + HtmlEscape(validation) + "</p>\n"
                       "<p id=\"lines\">" + std::to_string(lines) + "</p>\n"
                       "<pre id=\"orders\">" + HtmlEscape(orders) + "</pre>\n"
                       "<pre id=\"body\">" + HtmlEscape(req.body) + "</pre>\n";
    res.set_content("<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>运单导入</title></head>\n<body>\n" +
                        body + "</body></html>\n",
                    "text/html; charset=UTF-8");
}
