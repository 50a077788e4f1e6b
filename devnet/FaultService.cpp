#include "FaultService.h"

#include "DevnetConfig.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace
{
// Each service by the paths of its requests; a request belongs to the longest path it starts
// with, so "web" takes the business pages that no other service claims.
struct FAULT_PATH
{
    const char* service;
    const char* path;
};

const FAULT_PATH kFaultPaths[] = {
    {"cas", "/cas3.4/login"},
    {"cas", "/cas3.4/serviceValidate"},
    {"authority", "/velkorauth/actions/outer/user/menu.action"},
    {"update", "/velkor_khd/w"},
    {"translist", "/kesta/notify/transition_cs_interface.php"},
    {"message", "/api/order/reverse.php"},
    {"labelpdf", "/kesta/print/mail_label_pdf.php"},
    {"import", "/kesta/order/import.php"},
    {"querytoken", "/kesta/gohh.php"},
    {"query", "/kesta/gox.php"},
    {"web", "/kesta/"},
};

CFaultService::MODE ModeByName(const std::string& name)
{
    if (name == "hang")
        return CFaultService::FAULT_HANG;
    if (name == "cut")
        return CFaultService::FAULT_CUT;
    if (name == "reset")
        return CFaultService::FAULT_RESET;
    return CFaultService::FAULT_NONE;
}

bool IsService(const std::string& name)
{
    for (const FAULT_PATH& entry : kFaultPaths)
        if (name == entry.service)
            return true;
    return false;
}

int PortOf(const sockaddr_storage& address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// The connection's socket: the handler is not given it, so it is found by its two ports among
// the process's descriptors. It cannot close while its own request is being handled.
int FindSocket(const httplib::Request& req)
{
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int found = -1;
    while (dirent* entry = readdir(dir))
    {
        char* end = nullptr;
        long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end)
            continue;
        sockaddr_storage local{}, peer{};
        socklen_t localLength = sizeof(local), peerLength = sizeof(peer);
        if (getsockname((int)fd, (sockaddr*)&local, &localLength) != 0 ||
            getpeername((int)fd, (sockaddr*)&peer, &peerLength) != 0)
            continue;
        if (PortOf(local) == req.local_port && PortOf(peer) == req.remote_port)
        {
            found = (int)fd;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Resets the connection now and leaves the server a harmless descriptor in its place, which it
// writes its answer to and closes as if it were the connection.
void ResetSocket(int fd)
{
    linger hard{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof(hard));
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0)
    {
        shutdown(fd, SHUT_RDWR);
        return;
    }
    dup2(null, fd);
    close(null);
}

// Half of the reply's body, then a failed write, so the server closes the connection.
void CutReply(httplib::Response& res)
{
    if (!res.body.empty())
    {
        auto body = std::make_shared<std::string>(std::move(res.body));
        res.body.clear();
        const size_t half = body->size() / 2;
        res.content_length_ = body->size();
        res.content_provider_ = [body, half](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset < half)
                sink.write(body->data() + offset, half - offset);
            return false;
        };
        return;
    }
    if (!res.content_provider_ || res.content_length_ == 0)
        return;  // nothing to cut
    httplib::ContentProvider inner = std::move(res.content_provider_);
    const size_t half = res.content_length_ / 2;
    res.content_provider_ = [inner, half](size_t offset, size_t length, httplib::DataSink& sink) {
        if (offset >= half)
            return false;
        size_t left = half - offset;
        httplib::DataSink limited;
        limited.write = [&](const char* data, size_t size) {
            size_t n = size < left ? size : left;
            if (n && !sink.write(data, n))
                return false;
            left -= n;
            return true;
        };
        limited.is_writable = [&] { return left > 0 && sink.is_writable(); };
        limited.done = [] {};
        return inner(offset, length, limited) && left > 0;
    };
}
}  // namespace

bool CFaultService::ParseFault(const std::string& text, std::string& service, std::string& mode, std::string& error)
{
    size_t colon = text.find(':');
    service = text.substr(0, colon);
    mode = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (!IsService(service))
    {
        error = "--fault: unknown service \"" + service + "\" (one of " + ServiceNames() + ")";
        return false;
    }
    if (ModeByName(mode) == FAULT_NONE)
    {
        error = "--fault: the mode is hang, cut or reset, not \"" + mode + "\"";
        return false;
    }
    return true;
}

std::string CFaultService::ServiceNames()
{
    std::string names;
    for (const FAULT_PATH& entry : kFaultPaths)
        if ((", " + names + ",").find(", " + std::string(entry.service) + ",") == std::string::npos)
            names += (names.empty() ? "" : ", ") + std::string(entry.service);
    return names;
}

CFaultService::CFaultService(CDevnetContext& context) : m_context(context)
{
    if (pipe2(m_stopPipe, O_CLOEXEC) != 0)
        m_stopPipe[0] = m_stopPipe[1] = -1;
}

CFaultService::~CFaultService()
{
    for (int fd : m_stopPipe)
        if (fd >= 0)
            close(fd);
}

bool CFaultService::HoldsRequests() const
{
    for (const auto& fault : m_context.m_config.m_faults)
        if (ModeByName(fault.second) == FAULT_HANG)
            return true;
    return false;
}

void CFaultService::Register(httplib::Server& server)
{
    if (m_context.m_config.m_faults.empty())
        return;
    // After the service's own handler: the request was read and handled, only the answer fails.
    server.set_post_routing_handler([this](const httplib::Request& req, httplib::Response& res) { Apply(req, res); });
}

void CFaultService::Stop()
{
    if (m_stopPipe[1] < 0)
        return;
    // Never read: the pipe stays readable, so every held request, now or later, sees it. A
    // closed write end wakes them as well.
    char byte = 0;
    if (write(m_stopPipe[1], &byte, 1) != 1)
    {
        close(m_stopPipe[1]);
        m_stopPipe[1] = -1;
    }
}

CFaultService::MODE CFaultService::ModeFor(const std::string& path) const
{
    const FAULT_PATH* best = nullptr;
    size_t bestLength = 0;
    for (const FAULT_PATH& entry : kFaultPaths)
    {
        size_t length = std::char_traits<char>::length(entry.path);
        if (length > bestLength && path.compare(0, length, entry.path) == 0)
        {
            best = &entry;
            bestLength = length;
        }
    }
    if (!best)
        return FAULT_NONE;
    auto it = m_context.m_config.m_faults.find(best->service);
    return it == m_context.m_config.m_faults.end() ? FAULT_NONE : ModeByName(it->second);
}

void CFaultService::Apply(const httplib::Request& req, httplib::Response& res)
{
    switch (ModeFor(req.path))
    {
    case FAULT_HANG:
        Hang(req);
        break;
    case FAULT_CUT:
        m_context.Log("fault cut: " + req.method + " " + req.path);
        CutReply(res);
        break;
    case FAULT_RESET:
    {
        m_context.Log("fault reset: " + req.method + " " + req.path);
        int fd = FindSocket(req);
        if (fd >= 0)
            ResetSocket(fd);
        break;
    }
    case FAULT_NONE:
        break;
    }
}

// Waits, without an answer, until devnet stops or the client gives up and closes; then closes
// the connection still unanswered. A client that gave up frees its server thread.
void CFaultService::Hang(const httplib::Request& req)
{
    m_context.Log("fault hang: " + req.method + " " + req.path);
    int fd = FindSocket(req);
    pollfd waits[2] = {{m_stopPipe[0], POLLIN, 0}, {fd, POLLRDHUP, 0}};
    for (;;)
    {
        int n = poll(waits, fd >= 0 ? 2 : 1, -1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || waits[0].revents || (fd >= 0 && waits[1].revents))
            break;
    }
    m_context.Log("fault hang released: " + req.method + " " + req.path);
    if (fd >= 0)
        ResetSocket(fd);
}
