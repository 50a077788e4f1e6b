#include "DevnetConfig.h"
#include "FaultService.h"

#include <cstdlib>

#include <cstdio>
#include <cstring>

namespace
{
bool SplitAccount(const std::string& text, bool md5, DEVNET_ACCOUNT& account)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    account.user = text.substr(0, colon);
    account.password = text.substr(colon + 1);
    account.md5 = md5;
    return true;
}
}

const char* CDevnetConfig::Usage()
{
    return "usage: devnet (--default | --local) [--ports-file FILE] [--state DIR]\n"
           "              [--account USER:PASSWORD]... [--account-md5 USER:PASSWORD]...\n"
           "              [--update-version X.Y.Z.W] [--updater FILE] [--menu FILE] [--translist-down]\n"
           "              [--installer-delay-ms N] [--updater-delay-ms N] [--update-host HOST]\n"
           "              [--fault SERVICE:MODE]... [--quiet]\n"
           "  --fault SERVICE:MODE  the service misbehaves: hang (reads the request, never answers\n"
           "                        until devnet stops), cut (status, headers and half the body,\n"
           "                        then closes) or reset (resets the connection); SERVICE is one\n"
           "                        of cas, authority, update, translist, message, labelpdf,\n"
           "                        import, querytoken, query, web (the business pages)\n";
}

bool CDevnetConfig::Parse(int argc, char** argv, std::string& error)
{
    bool modeGiven = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc)
            {
                error = arg + " needs a value";
                return false;
            }
            target = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--default" || arg == "--local")
        {
            m_bDefault = arg == "--default";
            modeGiven = true;
        }
        else if (arg == "--ports-file")
        {
            if (!value(m_strPortsFile))
                return false;
        }
        else if (arg == "--state")
        {
            if (!value(m_strStateDir))
                return false;
        }
        else if (arg == "--account" || arg == "--account-md5")
        {
            DEVNET_ACCOUNT account;
            if (!value(text))
                return false;
            if (!SplitAccount(text, arg == "--account-md5", account))
            {
                error = arg + " wants USER:PASSWORD";
                return false;
            }
            m_accounts.push_back(account);
        }
        else if (arg == "--update-version")
        {
            if (!value(m_strUpdateVersion))
                return false;
        }
        else if (arg == "--updater")
        {
            if (!value(m_strUpdaterFile))
                return false;
        }
        else if (arg == "--menu")
        {
            if (!value(m_strMenuFile))
                return false;
        }
        else if (arg == "--translist-down")
            m_bTransUrlsDown = true;
        else if (arg == "--installer-delay-ms")
        {
            std::string text;
            if (!value(text))
                return false;
            m_nInstallerDelayMs = (size_t)strtoul(text.c_str(), nullptr, 10);
        }
        else if (arg == "--fault")
        {
            std::string service, mode;
            if (!value(text) || !CFaultService::ParseFault(text, service, mode, error))
                return false;
            m_faults[service] = mode;
        }
        else if (arg == "--updater-delay-ms")
        {
            std::string text;
            if (!value(text))
                return false;
            m_nUpdaterDelayMs = (size_t)strtoul(text.c_str(), nullptr, 10);
        }
        else if (arg == "--update-host")
        {
            if (!value(m_strUpdateHost))
                return false;
        }
        else if (arg == "--quiet")
            m_bQuiet = true;
        else
        {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (!modeGiven)
    {
        error = "--default or --local is needed";
        return false;
    }
    if (!m_bDefault && m_strPortsFile.empty())
    {
        error = "--local needs --ports-file";
        return false;
    }
    // The demo account, when the command line names none.
    if (m_accounts.empty())
        m_accounts.push_back({"demo", "velkor2026", false});
    return true;
}

std::string CDevnetConfig::UpdaterName() const
{
    if (m_strUpdaterFile.empty())
        return "Renewo.exe";
    size_t slash = m_strUpdaterFile.find_last_of('/');
    return slash == std::string::npos ? m_strUpdaterFile : m_strUpdaterFile.substr(slash + 1);
}

std::string CDevnetUrls::Get(const std::string& name) const
{
    auto it = m_urls.find(name);
    return it == m_urls.end() ? std::string() : it->second;
}

void CDevnetContext::Log(const std::string& line)
{
    if (m_config.m_bQuiet)
        return;
    std::lock_guard<std::mutex> lock(m_logLock);
    std::fprintf(stderr, "devnet: %s\n", line.c_str());
    std::fflush(stderr);
}
