// Helpers of the tests that talk HTTP through Netvane: short time-outs, a reply holder,
// sockets that misbehave, and the CAS steps read the way the client reads them.
#pragma once

#include "Netvane.h"
#include "TestFiles.h"

#include <string>

// Short time-outs so a failing request fails fast.
void UseShortTimeouts(const char* connectSeconds = "2", const char* totalSeconds = "2");

// Runs DoGet or DoPost and keeps the reply text (or notes there was none).
struct REQUEST_RESULT
{
    unsigned int code = 0;
    bool hasReply = false;
    std::string text;
};
REQUEST_RESULT Get(const std::string& url, const char* cookie = nullptr, bool withHeaders = false);
REQUEST_RESULT Post(CNetvane& net, const std::string& url, const char* cookie = nullptr, bool withHeaders = false);

// A loopback socket that listens but never accepts nor answers; closed by the destructor.
class CSilentServer
{
public:
    CSilentServer();
    ~CSilentServer();
    int Port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

// A port on which nothing listens.
int FreePort();

// devnet answers in UTF-8 while the tests' own literals are GBK: write expected Chinese text
// as Utf8(u8"...").
inline std::string Utf8(const char8_t* text)
{
    return reinterpret_cast<const char*>(text);
}

// One line "name=value" of devnet's echo reply.
std::string EchoField(const std::string& echo, const std::string& name);
// Names in a folder, "." and ".." left out.
std::string ListFolder(const std::string& folder);

// The text after the first marker up to the stop character ("" when absent).
std::string Field(const std::string& reply, const std::string& marker, char stop);
// The whole "Set-Cookie: name=..." line, or "".
std::string SetCookieLine(const std::string& reply, const std::string& name);

// One CAS sign-on: form, POST; fills the session and ticket-granting values (empty on failure)
// and returns the POST's reply.
REQUEST_RESULT CasSignOn(const std::string& loginUrl, const std::string& user, const std::string& password,
                         std::string& session, std::string& tgt);

// A fresh CA and a server certificate for the given subjectAltName ("IP:127.0.0.1",
// "DNS:other.example"), written in devnet's state folder layout (ca.pem, ca.key, server.pem,
// server.key) with the openssl program.
bool MakeTestCertificates(const std::string& dir, const std::string& subjectAltName);
