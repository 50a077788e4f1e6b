#include "TestControl.h"

#include "CasService.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace
{
size_t SizeParam(const httplib::Request& req, const char* name, size_t fallback)
{
    if (!req.has_param(name))
        return fallback;
    return static_cast<size_t>(std::strtoull(req.get_param_value(name).c_str(), nullptr, 10));
}

// The byte at a position of a test file, so a test can check what arrived.
char FileByte(size_t position)
{
    return static_cast<char>('a' + position % 26);
}

void Echo(const httplib::Request& req, httplib::Response& res)
{
    // The request as it came: the query before decoding, the body as sent.
    std::string query;
    size_t question = req.target.find('?');
    if (question != std::string::npos)
        query = req.target.substr(question + 1);
    std::string text = "method=" + req.method + "\n" + "path=" + req.path + "\n" + "query=" + query + "\n"
                       + "cookie=" + req.get_header_value("Cookie") + "\n"
                       + "content-type=" + req.get_header_value("Content-Type") + "\n" + "body=" + req.body + "\n";
    res.set_content(text, "text/plain; charset=UTF-8");
}
}

CTestControl::CTestControl(CDevnetContext& context, CCasService& cas) : m_context(context), m_cas(cas)
{
}

void CTestControl::Register(httplib::Server& server)
{
    server.Get("/devnet/ping", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("ok\n", "text/plain");
    });
    server.Get("/devnet/echo", Echo);
    server.Post("/devnet/echo", Echo);
    server.Get("/devnet/redirect", [](const httplib::Request& req, httplib::Response& res) {
        std::string to = req.has_param("to") ? req.get_param_value("to") : "/devnet/echo?redirected=1";
        res.status = 302;
        res.set_header("Location", to);
        res.set_content("moved\n", "text/plain");
    });
    server.Get("/devnet/status", [](const httplib::Request& req, httplib::Response& res) {
        res.status = static_cast<int>(SizeParam(req, "code", 500));
        res.set_content("status " + std::to_string(res.status) + "\n", "text/plain");
    });
    // size bytes in pieces of chunk bytes, delay_ms between pieces; with cut=N the connection
    // drops after N bytes although the length promised all of them.
    server.Get("/devnet/file", [](const httplib::Request& req, httplib::Response& res) {
        size_t size = SizeParam(req, "size", 1024);
        size_t chunk = SizeParam(req, "chunk", 16384);
        size_t delayMs = SizeParam(req, "delay_ms", 0);
        size_t cut = SizeParam(req, "cut", size);
        if (chunk == 0)
            chunk = 1;
        res.set_content_provider(size, "application/octet-stream",
                                 [chunk, delayMs, cut](size_t offset, size_t length, httplib::DataSink& sink) {
                                     if (offset >= cut)
                                         return false;
                                     if (delayMs && offset > 0)
                                         std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                                     size_t n = std::min({length, chunk, cut - offset});
                                     std::string piece(n, 'a');
                                     for (size_t i = 0; i < n; ++i)
                                         piece[i] = FileByte(offset + i);
                                     return sink.write(piece.data(), piece.size());
                                 });
    });
    auto expire = [this](const httplib::Request& req, httplib::Response& res) {
        int ended = m_cas.ExpireTickets(req.get_param_value("user"));
        m_context.Log("control: " + std::to_string(ended) + " sign-on(s) expired");
        res.set_content("expired " + std::to_string(ended) + "\n", "text/plain");
    };
    server.Get("/devnet/cas/expire", expire);
    server.Post("/devnet/cas/expire", expire);
}
