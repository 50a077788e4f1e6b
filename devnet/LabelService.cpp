#include "LabelService.h"

#include "HttpUtil.h"
#include "LabelPdf.h"

#include <cstdlib>

namespace
{
// The signature: upper-case MD5 hex of the order number followed by this suffix.
const char* kLabelSuffix = "vorn_plack_edsu";

// "4x6" in inches (a configured label address may carry it before the order number); 4 x 6
// when missing or unusable.
void LabelSize(const std::string& text, double& widthPt, double& heightPt)
{
    widthPt = 4 * 72.0;
    heightPt = 6 * 72.0;
    size_t x = text.find('x');
    if (x == std::string::npos)
        return;
    double w = std::atof(text.substr(0, x).c_str());
    double h = std::atof(text.substr(x + 1).c_str());
    if (w > 0 && w <= 50 && h > 0 && h <= 50)
    {
        widthPt = w * 72.0;
        heightPt = h * 72.0;
    }
}

std::string ErrorPage(const std::string& text)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>面单</title></head>\n<body>\n<h1>"
           + DevnetUtil::HtmlEscape(text) + "</h1>\n</body></html>\n";
}
}

CLabelService::CLabelService(CDevnetContext& context) : m_context(context)
{
}

void CLabelService::Register(httplib::Server& server)
{
    server.Get("/kesta/print/mail_label_pdf.php",
               [this](const httplib::Request& req, httplib::Response& res) { OnLabelPdf(req, res); });
}

void CLabelService::OnLabelPdf(const httplib::Request& req, httplib::Response& res)
{
    std::string order = req.get_param_value("orderno");
    std::string jmm = req.get_param_value("jmm");
    std::string size = req.get_param_value("size");
    bool signatureOk = jmm == DevnetUtil::Md5HexUpper(order + kLabelSuffix);
    m_context.Log("label: orderno=" + order + " jmm=" + jmm + (signatureOk ? " (good)" : " (BAD)")
                  + (size.empty() ? "" : " size=" + size));
    if (order.empty())
    {
        res.status = 404;
        res.set_content(ErrorPage("缺少订单号"), "text/html; charset=UTF-8");
        return;
    }
    if (!signatureOk)
    {
        res.status = 403;
        res.set_content(ErrorPage("签名错误"), "text/html; charset=UTF-8");
        return;
    }
    double widthPt = 0;
    double heightPt = 0;
    LabelSize(size, widthPt, heightPt);
    res.set_content(BuildLabelPdf(order, widthPt, heightPt), "application/pdf");
}
