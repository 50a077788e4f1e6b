// The branch web pages, waybill query and the smaller pages of the portal and VPN.
#pragma once

#include "DevnetConfig.h"

#include <httplib.h>

class CCasService;

class CWebPages
{
public:
    CWebPages(CDevnetContext& context, CCasService& cas);
    void Register(httplib::Server& server, bool secure);

private:
    void OnCasLogin(const httplib::Request& req, httplib::Response& res, bool secure);
    void OnBusinessPage(const httplib::Request& req, httplib::Response& res);
    void OnQueryToken(const httplib::Request& req, httplib::Response& res);
    void OnWaybill(const httplib::Request& req, httplib::Response& res);

    CDevnetContext& m_context;
    CCasService& m_cas;
};
