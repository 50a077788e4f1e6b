// Servers that misbehave on purpose: a service named on the command line with --fault holds its
// requests without an answer, cuts its replies half way, or resets the connection.
#pragma once

#include <httplib.h>

#include <map>
#include <string>

class CDevnetContext;

class CFaultService
{
public:
    enum MODE
    {
        FAULT_NONE,
        FAULT_HANG,   // the request is read and handled, its answer never sent
        FAULT_CUT,    // status, headers and half the body, then the connection closes
        FAULT_RESET,  // the connection is reset (RST) instead of answered
    };

    // "SERVICE:MODE" of the command line; false with a message in error for a bad one.
    static bool ParseFault(const std::string& text, std::string& service, std::string& mode, std::string& error);
    // The service names --fault knows, for the usage text.
    static std::string ServiceNames();

    explicit CFaultService(CDevnetContext& context);
    ~CFaultService();
    CFaultService(const CFaultService&) = delete;
    CFaultService& operator=(const CFaultService&) = delete;

    // Some service hangs: each held request keeps a server thread, so the servers get more.
    bool HoldsRequests() const;
    void Register(httplib::Server& server);
    // Lets every held request go (closing its connection unanswered); devnet is stopping.
    void Stop();

private:
    MODE ModeFor(const std::string& path) const;
    void Apply(const httplib::Request& req, httplib::Response& res);
    void Hang(const httplib::Request& req);

    CDevnetContext& m_context;
    int m_stopPipe[2] = {-1, -1};
};
