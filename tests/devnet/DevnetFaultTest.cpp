// devnet's --fault: each service hangs, cuts its reply or resets the connection, on the wire, and
// devnet still stops at once while it holds requests.
#include <gtest/gtest.h>

#include "DevnetProcess.h"
#include "PollWait.h"

#include <arpa/inet.h>
#include <cerrno>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
struct SERVICE_REQUEST
{
    const char* service;  // the --fault name
    const char* url;      // devnet's address name
    const char* method;
    const char* query;    // after the address ("" or "?a=b" or a form body for POST)
};

// One request each service answers with a body.
const SERVICE_REQUEST kRequests[] = {
    {"cas", "cas_http", "GET", "?service=http%3A%2F%2F127.0.0.1"},
    {"authority", "authority", "POST", "userId=demo&authId=1"},
    {"update", "update", "POST", "type=xml&version=1.0.0.0"},
    {"translist", "translist", "POST", "gh=demo"},
    {"message", "message", "POST", "type=xml&userno=demo"},
    {"labelpdf", "labelpdf", "GET", ""},
    {"import", "import", "POST", "x=1"},
    {"querytoken", "querytoken", "GET", "?act=1&wen=1"},
    {"query", "query", "GET", "?wen=1&jmm=1&hh=1"},
    {"web", "home", "GET", ""},
};

// "http://127.0.0.1:PORT/path" split.
void SplitUrl(const std::string& url, int& port, std::string& path)
{
    size_t colon = url.find(':', 7);
    size_t slash = url.find('/', colon);
    port = std::stoi(url.substr(colon + 1, slash - colon - 1));
    path = url.substr(slash);
}

// A raw connection, so the test sees exactly what devnet sends.
class CRawConnection
{
public:
    CRawConnection(const std::string& url, const SERVICE_REQUEST& request)
    {
        int port = 0;
        SplitUrl(url, port, m_path);
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons((uint16_t)port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(m_fd, (sockaddr*)&address, sizeof(address)) != 0)
            return;
        std::string text;
        if (std::string(request.method) == "POST")
            text = "POST " + m_path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                   "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                   std::to_string(strlen(request.query)) + "\r\n\r\n" + request.query;
        else
            text = "GET " + m_path + request.query + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        m_bSent = send(m_fd, text.data(), text.size(), MSG_NOSIGNAL) == (ssize_t)text.size();
    }
    ~CRawConnection()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool Sent() const { return m_bSent; }
    const std::string& Path() const { return m_path; }

    // Reads until the peer closes or resets, or the bound passes; what came, and how it ended.
    std::string ReadToEnd(int nTimeoutMs, int& nEndError, bool& bEnded)
    {
        std::string got;
        bEnded = false;
        nEndError = 0;
        PollUntil([&] {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                return false;
            char buffer[4096];
            ssize_t n = recv(m_fd, buffer, sizeof(buffer), 0);
            if (n > 0)
            {
                got.append(buffer, (size_t)n);
                return false;
            }
            nEndError = n < 0 ? errno : 0;
            return bEnded = true;
        }, (unsigned)nTimeoutMs, 1);
        return got;
    }
    // Bytes waiting now, without waiting for more.
    size_t Waiting() const
    {
        char buffer[256];
        ssize_t n = recv(m_fd, buffer, sizeof(buffer), MSG_DONTWAIT | MSG_PEEK);
        return n > 0 ? (size_t)n : 0;
    }

private:
    int m_fd = -1;
    bool m_bSent = false;
    std::string m_path;
};

std::vector<std::string> FaultArgs(const char* mode)
{
    std::vector<std::string> args;
    for (const SERVICE_REQUEST& request : kRequests)
    {
        args.push_back("--fault");
        args.push_back(std::string(request.service) + ":" + mode);
    }
    return args;
}

std::string UrlOf(const CDevnetProcess& devnet, const SERVICE_REQUEST& request)
{
    std::string url = devnet.Url(request.url);
    if (std::string(request.service) == "labelpdf")
        url += "1";  // the address ends in "?orderno="
    return url;
}

TEST(DevnetFaultTest, ACutReplyNamesItsWholeLengthAndSendsHalfTheBody)
{
    CDevnetProcess devnet(FaultArgs("cut"));
    ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
    for (const SERVICE_REQUEST& request : kRequests)
    {
        CRawConnection connection(UrlOf(devnet, request), request);
        ASSERT_TRUE(connection.Sent()) << request.service;
        int nError = 0;
        bool bEnded = false;
        std::string reply = connection.ReadToEnd(5000, nError, bEnded);
        EXPECT_TRUE(bEnded) << request.service << ": the connection stays open";
        size_t headersEnd = reply.find("\r\n\r\n");
        ASSERT_NE(headersEnd, std::string::npos) << request.service << ": " << reply;
        EXPECT_EQ(reply.compare(0, 9, "HTTP/1.1 "), 0) << request.service;
        size_t at = reply.find("Content-Length: ");
        ASSERT_NE(at, std::string::npos) << request.service << ": " << reply.substr(0, headersEnd);
        const size_t length = std::stoul(reply.substr(at + 16));
        const size_t body = reply.size() - headersEnd - 4;
        EXPECT_GT(length, 0u) << request.service;
        EXPECT_EQ(body, length / 2) << request.service;
    }
    // What no fault names answers whole.
    CRawConnection ping(devnet.Url("http") + "/", {"ping", "http", "GET", "devnet/ping"});
    int nError = 0;
    bool bEnded = false;
    std::string reply = ping.ReadToEnd(300, nError, bEnded);
    EXPECT_NE(reply.find("\r\n\r\n"), std::string::npos) << reply;
    EXPECT_NE(reply.find("HTTP/1.1 200"), std::string::npos) << reply;
}

TEST(DevnetFaultTest, AResetFaultResetsTheConnectionWithoutAnAnswer)
{
    CDevnetProcess devnet(FaultArgs("reset"));
    ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
    for (const SERVICE_REQUEST& request : kRequests)
    {
        CRawConnection connection(UrlOf(devnet, request), request);
        ASSERT_TRUE(connection.Sent()) << request.service;
        int nError = 0;
        bool bEnded = false;
        std::string reply = connection.ReadToEnd(5000, nError, bEnded);
        EXPECT_TRUE(bEnded) << request.service;
        EXPECT_EQ(nError, ECONNRESET) << request.service;
        EXPECT_EQ(reply, "") << request.service;
    }
}

TEST(DevnetFaultTest, AHungServiceHoldsItsRequestsAndDevnetStillStopsAtOnce)
{
    CDevnetProcess devnet(FaultArgs("hang"));
    ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
    std::vector<std::unique_ptr<CRawConnection>> held;
    for (const SERVICE_REQUEST& request : kRequests)
    {
        held.push_back(std::make_unique<CRawConnection>(UrlOf(devnet, request), request));
        ASSERT_TRUE(held.back()->Sent()) << request.service;
        const std::string path = held.back()->Path();
        const std::string line = std::string("fault hang: ") + request.method + " " + path.substr(0, path.find('?'));
        ASSERT_TRUE(PollUntil([&] { return devnet.Log().find(line) != std::string::npos; }, 5000))
            << request.service << ": " << devnet.Log();
    }
    // Services no fault names answer while the others hang.
    {
        CRawConnection ping(devnet.Url("http") + "/", {"ping", "http", "GET", "devnet/ping"});
        int nError = 0;
        bool bEnded = false;
        std::string reply = ping.ReadToEnd(300, nError, bEnded);
        EXPECT_NE(reply.find("HTTP/1.1 200"), std::string::npos) << reply;
    }
    for (size_t i = 0; i < held.size(); ++i)
        EXPECT_EQ(held[i]->Waiting(), 0u) << kRequests[i].service << " answered";

    // Ended by itself, within the stop bound, as an idle devnet does.
    EXPECT_TRUE(devnet.Stop());
    // The held requests end unanswered.
    for (size_t i = 0; i < held.size(); ++i)
    {
        int nError = 0;
        bool bEnded = false;
        EXPECT_EQ(held[i]->ReadToEnd(1000, nError, bEnded), "") << kRequests[i].service;
        EXPECT_TRUE(bEnded) << kRequests[i].service;
    }
}

// A client that gives up frees the request it held; the service keeps hanging for the next one.
TEST(DevnetFaultTest, AHeldRequestIsLetGoWhenTheClientCloses)
{
    CDevnetProcess devnet({"--fault", "message:hang"});
    ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
    const SERVICE_REQUEST& message = kRequests[4];
    for (int i = 0; i < 3; ++i)
    {
        {
            CRawConnection connection(devnet.Url("message"), message);
            ASSERT_TRUE(connection.Sent());
            ASSERT_TRUE(PollUntil([&] {
                std::string log = devnet.Log();
                size_t n = 0;
                for (size_t at = log.find("fault hang: POST"); at != std::string::npos; at = log.find("fault hang: POST", at + 1))
                    ++n;
                return n == (size_t)i + 1;
            }, 5000)) << devnet.Log();
        }
        ASSERT_TRUE(PollUntil([&] {
            std::string log = devnet.Log();
            size_t n = 0;
            for (size_t at = log.find("fault hang released"); at != std::string::npos; at = log.find("fault hang released", at + 1))
                ++n;
            return n == (size_t)i + 1;
        }, 5000)) << devnet.Log();
    }
}

TEST(DevnetFaultTest, ABadFaultIsRefusedWithTheUsage)
{
    for (const char* bad : {"message", "message:slow", "nosuch:hang", ":hang"})
    {
        CDevnetProcess devnet({"--fault", bad});
        EXPECT_FALSE(devnet.IsReady()) << bad;
        EXPECT_NE(devnet.Log().find("--fault SERVICE:MODE"), std::string::npos) << bad << ": " << devnet.Log();
    }
}
}  // namespace
