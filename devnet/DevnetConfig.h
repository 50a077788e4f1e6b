// What devnet was started with, and where each of its services answers.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

struct DEVNET_ACCOUNT
{
    std::string user;
    std::string password;
    bool md5 = false;   // only Base64(MD5(password)) is accepted
};

class CDevnetConfig
{
public:
    bool m_bDefault = false;           // the client's compiled-in addresses, else 127.0.0.1
    std::string m_strPortsFile;
    std::string m_strStateDir = "devnet-state";
    std::vector<DEVNET_ACCOUNT> m_accounts;
    std::string m_strUpdateVersion = DEVNET_DEFAULT_VERSION;
    std::string m_strUpdaterFile;      // empty: a small built-in script
    std::string m_strMenuFile;         // empty: the built-in demo tree
    bool m_bQuiet = false;
    bool m_bTransUrlsDown = false;    // the trans-URL list names addresses that are down
    size_t m_nInstallerDelayMs = 0;    // the browser installer comes slowly, in pieces this far apart
    std::map<std::string, std::string> m_faults;  // service -> "hang", "cut" or "reset"
    size_t m_nUpdaterDelayMs = 0;      // the updater comes slowly, in pieces this far apart
    std::string m_strUpdateHost;       // --local: the update service also on port 81 of this host

    // Parses the command line; false with a message in error for a bad one.
    bool Parse(int argc, char** argv, std::string& error);
    static const char* Usage();
    std::string UpdaterName() const;
};

// Service name -> address ("cas_https" -> "https://127.0.0.1:40123/cas3.4/login").
class CDevnetUrls
{
public:
    std::map<std::string, std::string> m_urls;
    std::string Get(const std::string& name) const;
};

// Shared by all handlers; request logging goes through here so lines do not interleave.
class CDevnetContext
{
public:
    CDevnetConfig m_config;
    CDevnetUrls m_urls;
    void Log(const std::string& line);

private:
    std::mutex m_logLock;
};
