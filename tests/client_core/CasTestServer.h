// A small CAS stand-in inside the test process: an HTTP server on a free port of 127.0.0.1, its
// answers set by each test, every request it got recorded. The server's own code is compiled
// apart (see CMakeLists.txt), so this header pulls in no HTTP library.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct CRecordedRequest
{
    std::string method;
    std::string path;
    std::string query;       // as sent, after the "?"
    std::string body;
    std::string cookie;      // the Cookie header, or empty
    bool hasCookie = false;
};

struct CTestReply
{
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string contentType = "text/html";
    int delayMs = 0;         // held back this long before it is sent
};

class CCasTestServer
{
public:
    typedef std::function<CTestReply(const CRecordedRequest&)> Handler;

    CCasTestServer();
    ~CCasTestServer();

    // No handler: 404.
    void OnGet(Handler h);
    void OnPost(Handler h);

    std::vector<CRecordedRequest> Requests();
    std::string Url(const std::string& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// A loopback port that nothing listens on: bound once, then closed.
int UnusedLoopbackPort();
