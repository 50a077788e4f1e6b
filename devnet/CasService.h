// The CAS server: login form, JSESSIONID and CASTGC cookies, service tickets, serviceValidate.
#pragma once

#include "DevnetConfig.h"

#include <httplib.h>

#include <map>
#include <mutex>
#include <string>

class CCasService
{
public:
    explicit CCasService(CDevnetContext& context);

    void Register(httplib::Server& server, bool secure);
    // Test control: ends every sign-on (or those of one user); returns how many ended.
    int ExpireTickets(const std::string& user);
    // Checks a service ticket once; the business pages use it as their CAS client.
    bool ValidateTicket(const std::string& service, const std::string& ticket, std::string& user,
                        std::string& code);

private:
    struct CASSESSION
    {
        std::string lt;
        std::string execution;
    };
    struct SERVICETICKET
    {
        std::string service;
        std::string user;
    };

    void OnLoginGet(const httplib::Request& req, httplib::Response& res, bool secure);
    void OnLoginPost(const httplib::Request& req, httplib::Response& res, bool secure);
    void OnLogout(const httplib::Request& req, httplib::Response& res);
    void OnServiceValidate(const httplib::Request& req, httplib::Response& res);

    bool CheckPassword(const std::string& user, const std::string& password) const;
    std::string UserOfTgt(const std::string& tgt);
    std::string NewSession(httplib::Response& res);
    void SendForm(httplib::Response& res, const std::string& sessionId, const std::string& service,
                  const std::string& errorText);
    void RedirectWithTicket(httplib::Response& res, const std::string& service, const std::string& user);

    CDevnetContext& m_context;
    std::mutex m_lock;
    std::map<std::string, CASSESSION> m_sessions;       // JSESSIONID -> form state
    std::map<std::string, std::string> m_tgts;          // CASTGC -> user
    std::map<std::string, SERVICETICKET> m_tickets;     // ST -> service and user
    unsigned long m_counter = 0;
};
