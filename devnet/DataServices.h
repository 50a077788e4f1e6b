// The XML services the client asks: update, authority (menu tree), trans-URL list, messages.
#pragma once

#include "DevnetConfig.h"

#include <httplib.h>

class CDataServices
{
public:
    explicit CDataServices(CDevnetContext& context);
    void Register(httplib::Server& server);

private:
    void OnUpdate(const httplib::Request& req, httplib::Response& res);
    void OnBrowserInstaller(const httplib::Request& req, httplib::Response& res);
    void OnUpdater(const httplib::Request& req, httplib::Response& res);
    void OnAuthority(const httplib::Request& req, httplib::Response& res);
    void OnTransUrlList(const httplib::Request& req, httplib::Response& res);
    void OnMessage(const httplib::Request& req, httplib::Response& res);
    std::string DemoMenus() const;

    CDevnetContext& m_context;
};
