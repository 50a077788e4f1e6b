// devnet: plays the network's servers on loopback. --default listens where the client looks by
// default; --local puts everything on 127.0.0.1 with free ports and names them in a ports file.
#include "CasService.h"
#include "CertStore.h"
#include "DataServices.h"
#include "DevnetConfig.h"
#include "FaultService.h"
#include "LabelService.h"
#include "OrderImportService.h"
#include "TestControl.h"
#include "WebPages.h"
#include "PageBehaviours.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
struct LISTENER_ADDRESS
{
    const char* host;
    int port;
    bool secure;
};

// Every listener answers every path: the paths of the services never collide, so one table
// of routes serves whichever address the client uses.
const LISTENER_ADDRESS kDefaultListeners[] = {
    {DEVNET_HOST_CAS, 8443, true},        {DEVNET_HOST_CAS, 8080, false},
    {DEVNET_HOST_AUTH, 11372, false},     {DEVNET_HOST_UPDATE, 81, false},
    {DEVNET_HOST_WEB, 45178, false},      {DEVNET_HOST_WEB, 80, false},
    {DEVNET_HOST_ORDER, 80, false},       {DEVNET_HOST_QUERY, 80, false},
    {DEVNET_HOST_PORTAL, 30088, false},   {DEVNET_HOST_VPN, 8443, true},
    {DEVNET_HOST_VPN, 45158, false},      {DEVNET_HOST_INTERFACE, 80, false},
};

// Each service by name: its scheme, where it stands by default (host and port) and its path. On
// --local every service shares one plain and one TLS listener, so only scheme and path remain.
struct SERVICE_URL
{
    const char* name;
    bool secure;
    const char* host;
    const char* port;  // ":8443", or "" for the scheme's own
    const char* path;
};

const SERVICE_URL kServiceUrls[] = {
    {"cas_https", true, DEVNET_HOST_CAS, ":8443", "/cas3.4/login"},
    {"cas_http", false, DEVNET_HOST_CAS, ":8080", "/cas3.4/login"},
    {"cas_logout", true, DEVNET_HOST_CAS, ":8443", "/cas3.4/logout"},
    {"authority", false, DEVNET_HOST_AUTH, ":11372", "/velkorauth/actions/outer/user/menu.action"},
    {"update", false, DEVNET_HOST_UPDATE, ":81", "/velkor_khd/w/"},
    {"translist", false, DEVNET_HOST_WEB, ":45178", "/kesta/notify/transition_cs_interface.php"},
    {"message", false, DEVNET_HOST_ORDER, "", "/api/order/reverse.php"},
    {"labelpdf", false, DEVNET_HOST_WEB, "", "/kesta/print/mail_label_pdf.php?orderno="},
    {"import", false, DEVNET_HOST_WEB, "", "/kesta/order/import.php"},
    {"web", false, DEVNET_HOST_WEB, "", ""},
    {"home", false, DEVNET_HOST_WEB, "", "/kesta/index_cas.php"},
    {"firstlink", false, DEVNET_HOST_WEB, "", "/kesta/kesta_cas_login.php"},
    {"query", false, DEVNET_HOST_QUERY, "", "/kesta/gox.php"},
    {"querytoken", false, DEVNET_HOST_QUERY, "", "/kesta/gohh.php"},
    {"findpwd", false, DEVNET_HOST_PORTAL, ":30088", "/velkorsoa/portal/login/mimazhaohui.jsp"},
    {"vpnreg", false, DEVNET_HOST_VPN, ":45158", "/velkorvpn/actions/outer/api/option.action"},
    {"sqvpn", true, DEVNET_HOST_VPN, ":8443", "/vpn/login.html"},
    {"interface", false, DEVNET_HOST_INTERFACE, "", "/velkor/oos/oos_param_get.php"},
    {"http", false, DEVNET_HOST_WEB, "", ""},
    {"https", true, DEVNET_HOST_CAS, ":8443", ""},
};

void FillDefaultUrls(CDevnetUrls& urls)
{
    urls.m_urls.clear();
    for (const SERVICE_URL& s : kServiceUrls)
        urls.m_urls[s.name] = std::string(s.secure ? "https://" : "http://") + s.host + s.port + s.path;
}

void FillLocalUrls(CDevnetUrls& urls, int httpPort, int httpsPort)
{
    const std::string http = "http://127.0.0.1:" + std::to_string(httpPort);
    const std::string https = "https://127.0.0.1:" + std::to_string(httpsPort);
    urls.m_urls.clear();
    for (const SERVICE_URL& s : kServiceUrls)
        urls.m_urls[s.name] = (s.secure ? https : http) + s.path;
}

// Written whole under another name and renamed, so a reader never sees half a file.
bool WritePortsFile(const std::string& path, const CDevnetUrls& urls, const std::string& caPath)
{
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out)
            return false;
        for (const auto& entry : urls.m_urls)
            out << entry.first << "=" << entry.second << "\n";
        out << "ca=" << caPath << "\n";
        if (!out.flush())
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}
}

int main(int argc, char** argv)
{
    CDevnetContext context;
    std::string error;
    if (!context.m_config.Parse(argc, argv, error))
    {
        std::fprintf(stderr, "devnet: %s\n%s", error.c_str(), CDevnetConfig::Usage());
        return 2;
    }
    const CDevnetConfig& config = context.m_config;

    // Signals are taken by sigwait below; every server thread inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<LISTENER_ADDRESS> listeners;
    std::set<std::string> addresses;
    if (config.m_bDefault)
    {
        for (const LISTENER_ADDRESS& listener : kDefaultListeners)
        {
            listeners.push_back(listener);
            addresses.insert(listener.host);
        }
    }
    else
    {
        listeners.push_back({"127.0.0.1", 0, false});
        listeners.push_back({"127.0.0.1", 0, true});
        // Where the client takes what lives on the update service's own port (the browser installer).
        if (!config.m_strUpdateHost.empty())
            listeners.push_back({config.m_strUpdateHost.c_str(), 81, false});
    }

    CCertStore certs(config.m_strStateDir);
    if (!certs.Ensure(std::vector<std::string>(addresses.begin(), addresses.end()), error))
    {
        std::fprintf(stderr, "devnet: %s\n", error.c_str());
        return 1;
    }

    CCasService cas(context);
    CDataServices data(context);
    CWebPages pages(context, cas);
    CPageBehaviours behaviours(context);
    CLabelService labels(context);
    COrderImportService imports(context);
    CTestControl control(context, cas);
    CFaultService faults(context);

    std::vector<std::unique_ptr<httplib::Server>> servers;
    int httpPort = 0;
    int httpsPort = 0;
    for (const LISTENER_ADDRESS& listener : listeners)
    {
        std::unique_ptr<httplib::Server> server;
        if (listener.secure)
            server = std::make_unique<httplib::SSLServer>(certs.CertPath().c_str(), certs.KeyPath().c_str());
        else
            server = std::make_unique<httplib::Server>();
        if (!server->is_valid())
        {
            std::fprintf(stderr, "devnet: cannot load the certificate in %s\n", config.m_strStateDir.c_str());
            return 1;
        }
        // A held request keeps its server thread until devnet stops or the client gives up.
        if (faults.HoldsRequests())
            server->new_task_queue = [] { return new httplib::ThreadPool(64); };
        server->set_read_timeout(10);
        server->set_keep_alive_timeout(5);
        cas.Register(*server, listener.secure);
        data.Register(*server);
        pages.Register(*server, listener.secure);
        behaviours.Register(*server);
        labels.Register(*server);
        imports.Register(*server);
        control.Register(*server);
        faults.Register(*server);
        server->set_logger([&context](const httplib::Request& req, const httplib::Response& res) {
            // With the query and the cookies, so tests see what a page was opened with.
            std::string cookie = req.get_header_value("Cookie");
            context.Log(req.method + " " + req.target + " -> " + std::to_string(res.status) +
                        (cookie.empty() ? std::string() : " cookie: " + cookie));
        });
        int port = listener.port;
        if (port == 0)
            port = server->bind_to_any_port(listener.host);
        else if (!server->bind_to_port(listener.host, port))
            port = -1;
        if (port <= 0)
        {
            std::fprintf(stderr, "devnet: cannot listen on %s:%d\n", listener.host, listener.port);
            return 1;
        }
        if (listener.port == 0)
            (listener.secure ? httpsPort : httpPort) = port;
        servers.push_back(std::move(server));
    }

    if (config.m_bDefault)
        FillDefaultUrls(context.m_urls);
    else
    {
        FillLocalUrls(context.m_urls, httpPort, httpsPort);
        if (!config.m_strUpdateHost.empty())
            context.m_urls.m_urls["update"] = "http://" + config.m_strUpdateHost + ":81/velkor_khd/w/";
    }

    std::vector<std::thread> threads;
    for (auto& server : servers)
        threads.emplace_back([&server] { server->listen_after_bind(); });

    if (!config.m_strPortsFile.empty() && !WritePortsFile(config.m_strPortsFile, context.m_urls, certs.CaPath()))
    {
        std::fprintf(stderr, "devnet: cannot write %s\n", config.m_strPortsFile.c_str());
        for (auto& server : servers)
            server->stop();
        for (auto& thread : threads)
            thread.join();
        return 1;
    }
    std::printf("devnet ready: CAS %s, CA %s\n", context.m_urls.Get("cas_https").c_str(), certs.CaPath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    context.Log("stopping");
    faults.Stop();
    for (auto& server : servers)
        server->stop();
    for (auto& thread : threads)
        thread.join();
    return 0;
}
