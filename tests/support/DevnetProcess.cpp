#include "DevnetProcess.h"
#include "PollWait.h"
#include "TestFiles.h"

#include <thread>   // brings the clocks; <chrono> itself does not build with GBK literals
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
const int kStartTimeoutMs = 10000;
const int kStopTimeoutMs = 3000;

bool ReadPorts(const std::string& path, std::map<std::string, std::string>& urls)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line))
    {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            urls[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return !urls.empty();
}
}

CDevnetProcess::CDevnetProcess(const std::vector<std::string>& extraArgs, const std::string& stateDir)
{
    if (stateDir.empty())
    {
        m_strStateDir = MakeTempFolder("devnet-test");
        if (m_strStateDir.empty())
            return;
        m_bOwnState = true;
    }
    else
        m_strStateDir = stateDir;

    std::string portsFile = m_strStateDir + "/ports.txt";
    std::remove(portsFile.c_str());
    std::string logFile = m_strStateDir + "/devnet.log";

    std::vector<std::string> args = {DEVNET_PROGRAM, "--local", "--ports-file", portsFile, "--state", m_strStateDir};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    m_pid = fork();
    if (m_pid == 0)
    {
        int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int nul = open("/dev/null", O_RDWR);
        if (log >= 0)
        {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
        }
        if (nul >= 0)
            dup2(nul, STDIN_FILENO);
        // Not the test's signal mask: devnet waits for SIGTERM itself.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (m_pid < 0)
        return;

    PollUntil([&] {
        if (ReadPorts(portsFile, m_urls))
            return m_bReady = true;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid)
        {
            m_pid = -1;   // it ended before it was ready; Log() tells why
            return true;
        }
        return false;
    }, kStartTimeoutMs, 20);
    if (m_pid < 0)
        return;
    if (m_bReady)
        setenv("NETVANE_CA_FILE", CaPath().c_str(), 1);
}

CDevnetProcess::~CDevnetProcess()
{
    Stop();
    if (m_bReady)
    {
        const char* ca = std::getenv("NETVANE_CA_FILE");
        if (ca && CaPath() == ca)
            unsetenv("NETVANE_CA_FILE");
    }
    if (m_bOwnState && !m_strStateDir.empty())
        RemoveFolder(m_strStateDir);
}

bool CDevnetProcess::Stop()
{
    bool bClean = true;
    if (m_pid > 0)
    {
        kill(m_pid, SIGTERM);
        int status = 0;
        const bool ended = PollUntil([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, kStopTimeoutMs);
        if (!ended)
        {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        // A devnet that crashed or tripped a sanitizer says so in the test's output, before
        // its log goes with the state folder.
        std::string log = Log();
        if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0
            || log.find("Sanitizer") != std::string::npos || log.find("runtime error:") != std::string::npos)
        {
            std::fprintf(stderr, "devnet did not end cleanly; its log:\n%s\n", log.c_str());
            bClean = false;
        }
        m_pid = -1;
    }
    return bClean;
}

std::string CDevnetProcess::Url(const std::string& name) const
{
    auto it = m_urls.find(name);
    return it == m_urls.end() ? std::string() : it->second;
}

std::string CDevnetProcess::Log() const
{
    return ReadFile(m_strStateDir + "/devnet.log");
}
