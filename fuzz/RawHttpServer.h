// An HTTP server on loopback that answers each request with the next reply it was given, byte
// for byte, then closes the connection: the replies are whatever a fuzz input makes of them.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

class CRawHttpServer
{
public:
    CRawHttpServer()
    {
        m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(addr);
        if (m_listen < 0 || bind(m_listen, (sockaddr*)&addr, sizeof(addr)) != 0 || listen(m_listen, 16) != 0 ||
            getsockname(m_listen, (sockaddr*)&addr, &len) != 0)
            std::abort();
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Serve(); });
        m_thread.detach(); // lives as long as the fuzzing process
    }

    std::string Url(const char* path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    // The replies of the next requests, in order; a request beyond them gets a closed connection.
    void SetReplies(std::deque<std::string> replies)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_replies = std::move(replies);
    }

private:
    void Serve()
    {
        for (;;)
        {
            int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            ReadRequest(fd);
            std::string reply;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (!m_replies.empty())
                {
                    reply = std::move(m_replies.front());
                    m_replies.pop_front();
                }
            }
            for (size_t done = 0; done < reply.size();)
            {
                ssize_t n = send(fd, reply.data() + done, reply.size() - done, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                done += (size_t)n;
            }
            shutdown(fd, SHUT_WR);
            close(fd);
        }
    }

    // The head and as much body as it announces, so the client is never cut off mid-send.
    static void ReadRequest(int fd)
    {
        std::string request;
        char buf[4096];
        size_t headEnd = std::string::npos;
        size_t want = 0;
        for (;;)
        {
            ssize_t n = recv(fd, buf, sizeof(buf), 0);
            if (n <= 0)
                return;
            request.append(buf, (size_t)n);
            if (headEnd == std::string::npos)
            {
                headEnd = request.find("\r\n\r\n");
                if (headEnd == std::string::npos)
                    continue;
                headEnd += 4;
                size_t at = request.find("Content-Length:");
                if (at != std::string::npos && at < headEnd)
                    want = std::strtoul(request.c_str() + at + 15, nullptr, 10);
            }
            if (request.size() >= headEnd + want)
                return;
        }
    }

    int m_listen = -1;
    int m_port = 0;
    std::mutex m_mutex;
    std::deque<std::string> m_replies;
    std::thread m_thread;
};
