// devnet's local CA and server certificate, made on first start and reused later.
#pragma once

#include <string>
#include <vector>

class CCertStore
{
public:
    explicit CCertStore(const std::string& stateDir);

    // Makes the state folder, the CA (ca.pem, ca.key) and the server certificate (server.pem,
    // server.key, for the given IP addresses plus 127.0.0.1 and localhost) unless they exist.
    bool Ensure(const std::vector<std::string>& addresses, std::string& error);

    std::string CaPath() const { return m_dir + "/ca.pem"; }
    std::string CertPath() const { return m_dir + "/server.pem"; }
    std::string KeyPath() const { return m_dir + "/server.key"; }

private:
    std::string m_dir;
};
