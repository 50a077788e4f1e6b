#include "CasTestServer.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include "../support/PollWait.h"

struct CCasTestServer::Impl
{
    httplib::Server server;
    std::thread thread;
    std::mutex mutex;
    Handler onGet;
    Handler onPost;
    std::vector<CRecordedRequest> requests;
    int port = -1;

    void Serve(const httplib::Request& req, httplib::Response& res)
    {
        CRecordedRequest r;
        r.method = req.method;
        r.path = req.path;
        r.body = req.body;
        size_t q = req.target.find('?');
        if (q != std::string::npos)
            r.query = req.target.substr(q + 1);
        r.hasCookie = req.has_header("Cookie");
        r.cookie = req.get_header_value("Cookie");
        Handler h;
        {
            std::lock_guard<std::mutex> lock(mutex);
            requests.push_back(r);
            h = req.method == "POST" ? onPost : onGet;
        }
        if (!h) {
            res.status = 404;
            return;
        }
        CTestReply reply = h(r);
        if (reply.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
        res.status = reply.status;
        for (const auto& header : reply.headers)
            res.set_header(header.first.c_str(), header.second);
        if (!reply.body.empty())
            res.set_content(reply.body, reply.contentType.c_str());
    }
};

CCasTestServer::CCasTestServer() : m_impl(new Impl)
{
    Impl* impl = m_impl.get();
    auto serve = [impl](const httplib::Request& req, httplib::Response& res) { impl->Serve(req, res); };
    impl->server.Get(".*", serve);
    impl->server.Post(".*", serve);
    impl->port = impl->server.bind_to_any_port("127.0.0.1");
    impl->thread = std::thread([impl] { impl->server.listen_after_bind(); });
    // The socket already listens; wait for the accept loop so that stop() has something to stop.
    PollUntil([impl] { return impl->server.is_running(); }, 5000);
}

CCasTestServer::~CCasTestServer()
{
    m_impl->server.stop();
    if (m_impl->thread.joinable())
        m_impl->thread.join();
}

void CCasTestServer::OnGet(Handler h)
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->onGet = std::move(h);
}

void CCasTestServer::OnPost(Handler h)
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->onPost = std::move(h);
}

std::vector<CRecordedRequest> CCasTestServer::Requests()
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->requests;
}

std::string CCasTestServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_impl->port) + path;
}

int UnusedLoopbackPort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    close(fd);
    return port;
}
