// Starts devnet --local for one test, in a fresh temporary state folder, and stops it again.
// Once devnet is ready, NETVANE_CA_FILE names its CA (the last one started wins).
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

class CDevnetProcess
{
public:
    // extraArgs go to devnet as they are ("--account", "ann:pw1", ...). stateDir: use this
    // state folder (kept afterwards) instead of a fresh temporary one.
    explicit CDevnetProcess(const std::vector<std::string>& extraArgs = {}, const std::string& stateDir = "");
    ~CDevnetProcess();
    CDevnetProcess(const CDevnetProcess&) = delete;
    CDevnetProcess& operator=(const CDevnetProcess&) = delete;

    // True once devnet listens and has named its addresses.
    bool IsReady() const { return m_bReady; }
    // Address by service name: cas_https, cas_http, cas_logout, authority, update, translist,
    // message, labelpdf, web, home, firstlink, query, querytoken, findpwd, http, https, ...
    std::string Url(const std::string& name) const;
    std::string CaPath() const { return Url("ca"); }
    std::string StateDir() const { return m_strStateDir; }
    // What devnet has logged so far (one line per request, and its own notes).
    std::string Log() const;
    // Stops devnet now (SIGTERM, then SIGKILL after a bound); true when it ended by itself with
    // status 0. The destructor stops it when this was not called.
    bool Stop();

private:
    std::string m_strStateDir;
    bool m_bOwnState = false;
    bool m_bReady = false;
    pid_t m_pid = -1;
    std::map<std::string, std::string> m_urls;
};
