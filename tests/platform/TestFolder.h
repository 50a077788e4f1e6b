// Test support: a private working folder with every registry, autostart, mutex and temporary
// location redirected into it, and child processes (as another user, or a helper program).
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <functional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "../support/PollWait.h"

class CTestFolder
{
public:
    CTestFolder()
    {
        char tmpl[] = "/tmp/parvel-test-XXXXXX";
        m_path = mkdtemp(tmpl);
        chmod(m_path.c_str(), 0755); // other users' children must reach it
        char cwd[4096];
        m_oldCwd = getcwd(cwd, sizeof(cwd)) ? cwd : "/";
        if (chdir(m_path.c_str()) != 0)
            abort();
        Redirect("PARVEL_HKLM_HIVE", "hive/system.hive");
        Redirect("PARVEL_HKCU_HIVE", "userhive/user.hive");
        Redirect("PARVEL_AUTOSTART_SYSTEM", "xdg-system");
        Redirect("PARVEL_AUTOSTART_USER", "xdg-user");
        Redirect("PARVEL_MUTEX_DIR", "mutex");
        Redirect("TMPDIR", "tmp");
        unsetenv("XDG_RUNTIME_DIR");  // the temporary folder is then the one under TMPDIR
        mkdir((m_path + "/tmp").c_str(), 0777);
        chmod((m_path + "/tmp").c_str(), 0777);
    }
    ~CTestFolder()
    {
        if (chdir(m_oldCwd.c_str()) != 0)
            abort();
        nftw(m_path.c_str(), &CTestFolder::Remove, 16, FTW_DEPTH | FTW_PHYS);
    }
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    static std::string ReadFile(const std::string& path)
    {
        std::string text;
        FILE* f = fopen(path.c_str(), "rb");
        if (!f)
            return "<missing>";
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
            text.append(buf, n);
        fclose(f);
        return text;
    }
    static void WriteFile(const std::string& path, const std::string& text)
    {
        FILE* f = fopen(path.c_str(), "wb");
        if (!f)
            abort();
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }

private:
    void Redirect(const char* name, const char* sub) { setenv(name, (m_path + "/" + sub).c_str(), 1); }
    static int Remove(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

    std::string m_path;
    std::string m_oldCwd;
};

// Runs the function in a forked child; its result is the child's exit code (-1 when it did not
// end normally within 20 s).
inline int RunInChild(const std::function<int()>& fn)
{
    pid_t pid = fork();
    if (pid == 0)
    {
        alarm(20);
        _exit(fn());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// The same in a child that gave up root for "nobody".
inline int RunAsNobody(const std::function<int()>& fn)
{
    return RunInChild([&] {
        if (setgid(65534) != 0 || setuid(65534) != 0 || geteuid() == 0)
            return 99;
        return fn();
    });
}

// A helper program started with a pipe on its output.
class CHelperProcess
{
public:
    explicit CHelperProcess(const std::vector<std::string>& args)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0)
        {
            dup2(fds[1], 1);
            std::vector<char*> argv;
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(fds[1]);
        m_fd = fds[0];
    }
    ~CHelperProcess()
    {
        Kill();
        if (m_fd >= 0)
            close(m_fd);
    }
    // The next line of output, waiting at most the time given; "" on time-out or end.
    std::string ReadLine(int nTimeoutMs)
    {
        std::string line;
        for (;;)
        {
            size_t nl = m_buffer.find('\n');
            if (nl != std::string::npos)
            {
                line = m_buffer.substr(0, nl);
                m_buffer.erase(0, nl + 1);
                return line;
            }
            struct pollfd pfd = {m_fd, POLLIN, 0};
            if (m_fd < 0 || poll(&pfd, 1, nTimeoutMs) <= 0)
                return "";
            char buf[512];
            ssize_t n = read(m_fd, buf, sizeof(buf));
            if (n <= 0)
                return "";
            m_buffer.append(buf, (size_t)n);
        }
    }
    // Ends the helper the hard way and reaps it.
    void Kill()
    {
        if (m_pid > 0)
        {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    // Waits (bounded) for the helper to end by itself; its exit code or -1.
    int Wait(int nTimeoutMs)
    {
        int status = 0;
        if (m_pid <= 0 || !PollUntil([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, (unsigned)nTimeoutMs))
            return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    std::string m_buffer;
};
