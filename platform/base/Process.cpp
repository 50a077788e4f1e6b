#include "Process.h"
#include <malloc.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
// This glibc's header lacks the C linkage block.
extern "C" {
#include <sys/pidfd.h>
}
#include "ProgramTable.h"

namespace
{
DWORD ErrorFromErrno(int err)
{
    switch (err)
    {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOEXEC: return ERROR_BAD_FORMAT;
    case ENOMEM:
    case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_ACCESS_DENIED;
    }
}

// What a failing child reports through the pipe before it ends.
struct ChildFailure
{
    int nStage; // 0 start, 1 working folder, 2 program
    int nErrno;
};

class CProcessObject : public CKernelObject
{
public:
    CProcessObject(pid_t pid, int pidfd, bool bChild) : m_pid(pid), m_pidfd(pidfd), m_bChild(bChild) {}

    // A child is reaped by a thread of its own, so it never stays a zombie, whether or not
    // anyone waits for it or keeps its handle.
    void StartReaper()
    {
        AddRef();
        m_bReaper = true;
        try
        {
            std::thread([this] {
                int status = 0;
                pid_t r;
                while ((r = waitpid(m_pid, &status, 0)) < 0 && errno == EINTR)
                {
                }
                {
                    std::lock_guard<std::mutex> guard(m_lock);
                    End(r == m_pid ? status : -1);
                    Signal();
                }
                Release();
            }).detach();
        }
        catch (...)
        {
            m_bReaper = false;
            Release(); // no thread: the waits poll the child instead
        }
    }

    BOOL GetExitCode(LPDWORD lpExitCode)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Refresh();
        *lpExitCode = m_bEnded ? m_dwExitCode : STILL_ACTIVE;
        return TRUE;
    }

    BOOL Terminate(UINT uExitCode)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Refresh();
        if (m_bEnded)
        {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        // Until the child is reaped its pid cannot name another process; the pidfd always
        // names this one.
        int r = m_pidfd >= 0 ? pidfd_send_signal(m_pidfd, SIGKILL, nullptr, 0) : kill(m_pid, SIGKILL);
        if (r != 0)
        {
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        m_bTerminated = true;
        m_uTerminateCode = uExitCode;
        return TRUE;
    }

protected:
    ~CProcessObject() override
    {
        if (m_pidfd >= 0)
            close(m_pidfd);
    }

    bool TryWaitLocked() override
    {
        Refresh();
        return m_bEnded;
    }

    DWORD PollInterval() const override { return m_bReaper ? INFINITE : 10; }

private:
    // Called with m_lock held: notes the end of a process nobody reaps for us.
    void Refresh()
    {
        if (m_bEnded || m_bReaper)
            return;
        if (m_bChild)
        {
            int status = 0;
            pid_t r = waitpid(m_pid, &status, WNOHANG);
            if (r == m_pid)
                End(status);
            else if (r < 0 && errno == ECHILD)
                End(-1);
        }
        else if (m_pidfd >= 0)
        {
            struct pollfd pfd = { m_pidfd, POLLIN, 0 };
            if (poll(&pfd, 1, 0) > 0)
                End(-1);
        }
    }

    void End(int status)
    {
        m_bEnded = true;
        if (m_bTerminated)
            m_dwExitCode = m_uTerminateCode;
        else if (status >= 0 && WIFEXITED(status))
            m_dwExitCode = (DWORD)WEXITSTATUS(status);
        else if (status >= 0 && WIFSIGNALED(status))
            m_dwExitCode = 128u + (DWORD)WTERMSIG(status);
        else
            m_dwExitCode = 0; // not our child: its status is not ours to read
    }

    pid_t m_pid;
    int m_pidfd;
    bool m_bChild;
    bool m_bReaper = false;
    bool m_bEnded = false;
    bool m_bTerminated = false;
    UINT m_uTerminateCode = 0;
    DWORD m_dwExitCode = STILL_ACTIVE;
};

// Nobody waits for a detached program; a thread of ours reaps it when it ends, so it leaves
// no zombie behind, whatever the system's init does with orphans.
void ReapLater(pid_t pid)
{
    try
    {
        std::thread([pid] {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
            {
            }
        }).detach();
    }
    catch (...)
    {
    }
}

bool IsFolder(const std::string& utf8)
{
    struct stat st;
    return stat(utf8.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

std::string CProcessLauncher::FormatCommandLine(const std::vector<std::string>& argv)
{
    std::string line;
    for (size_t i = 0; i < argv.size(); ++i)
    {
        const std::string& arg = argv[i];
        if (i)
            line += ' ';
        if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
        {
            line += arg;
            continue;
        }
        line += '"';
        for (char ch : arg)
        {
            if (ch == '"' || ch == '\\')
                line += '\\';
            line += ch;
        }
        line += '"';
    }
    return line;
}

DWORD CProcessLauncher::Start(const std::vector<std::string>& argv, const std::string& strDir, bool bDetached,
                              pid_t* pPid, int* pPidFd)
{
    if (argv.empty())
        return ERROR_FILE_NOT_FOUND;
    return StartWithStdio(argv, strDir, bDetached, -1, -1, pPid, pPidFd);
}

DWORD CProcessLauncher::StartPipeline(const std::vector<std::string>& writer, const std::vector<std::string>& reader,
                                      const std::string& strDir)
{
    if (writer.empty() || reader.empty())
        return ERROR_FILE_NOT_FOUND;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return ERROR_NOT_ENOUGH_MEMORY;
    // The reader first: a writer with nobody to read would only fill the pipe.
    DWORD err = StartWithStdio(reader, strDir, true, fds[0], -1, nullptr, nullptr);
    if (err == ERROR_SUCCESS)
        err = StartWithStdio(writer, strDir, true, -1, fds[1], nullptr, nullptr);
    // Our ends close, so the reader sees the end of its input when the writer ends.
    close(fds[0]);
    close(fds[1]);
    return err;
}

DWORD CProcessLauncher::StartWithStdio(const std::vector<std::string>& argv, const std::string& strDir,
                                       bool bDetached, int nStdin, int nStdout, pid_t* pPid, int* pPidFd)
{

    // Everything the child needs is made before fork: after it, only async-signal-safe calls.
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const char* dir = strDir.empty() ? nullptr : strDir.c_str();

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return ERROR_NOT_ENOUGH_MEMORY;

    pid_t pid = fork();
    if (pid < 0)
    {
        int err = errno;
        close(fds[0]);
        close(fds[1]);
        return ErrorFromErrno(err);
    }
    if (pid == 0)
    {
        ChildFailure failure = { 0, 0 };
        setsid();
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        signal(SIGCHLD, SIG_DFL);
        int null = open("/dev/null", O_RDWR);
        if (null >= 0)
        {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            if (null > 2)
                close(null);
        }
        if (nStdin >= 0)
            dup2(nStdin, 0);
        if (nStdout >= 0)
            dup2(nStdout, 1);
        // Descriptors the client holds (lock files of named mutexes among them) stay with it.
        close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
        if (dir && chdir(dir) != 0)
        {
            failure.nStage = 1;
            failure.nErrno = errno;
        }
        else
        {
            execv(args[0], args.data());
            failure.nStage = 2;
            failure.nErrno = errno;
        }
        ssize_t w = write(fds[1], &failure, sizeof(failure));
        (void)w;
        _exit(127);
    }

    close(fds[1]);
    int pidfd = bDetached ? -1 : pidfd_open(pid, 0);

    ChildFailure failure = { 0, 0 };
    ssize_t n;
    while ((n = read(fds[0], &failure, sizeof(failure))) < 0 && errno == EINTR)
    {
    }
    close(fds[0]);
    if (n == (ssize_t)sizeof(failure))
    {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
        {
        }
        if (pidfd >= 0)
            close(pidfd);
        if (failure.nStage == 1)
            return ERROR_PATH_NOT_FOUND;
        return ErrorFromErrno(failure.nErrno);
    }
    if (bDetached)
        ReapLater(pid);
    if (pPid)
        *pPid = pid;
    if (pPidFd)
        *pPidFd = pidfd;
    else if (pidfd >= 0)
        close(pidfd);
    return ERROR_SUCCESS;
}

BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID, LPCSTR lpCurrentDirectory, LPSTARTUPINFOA, LPPROCESS_INFORMATION lpProcessInformation)
{
    if (!lpProcessInformation)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::string> args = CProgramTable::SplitCommandLine(lpCommandLine);
    if (lpApplicationName && *lpApplicationName)
    {
        if (args.empty())
            args.push_back(lpApplicationName);
        else
            args[0] = lpApplicationName;
    }
    std::string dir = lpCurrentDirectory ? lpCurrentDirectory : "";
    std::string dirUtf8 = CProgramTable::ToFileName(dir);
    if (!dir.empty() && !IsFolder(dirUtf8))
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }

    std::vector<std::string> argv;
    DWORD err = CProgramTable::ResolveCommand(args, dir, argv);
    pid_t pid = 0;
    int pidfd = -1;
    if (err == ERROR_SUCCESS)
        err = CProcessLauncher::Start(argv, dirUtf8, false, &pid, &pidfd);
    if (err != ERROR_SUCCESS)
    {
        SetLastError(err);
        return FALSE;
    }

    CProcessObject* pProcess = new CProcessObject(pid, pidfd, true);
    pProcess->StartReaper();
    lpProcessInformation->hProcess = pProcess->OpenHandle();
    lpProcessInformation->hThread = pProcess->OpenHandle();
    lpProcessInformation->dwProcessId = (DWORD)pid;
    lpProcessInformation->dwThreadId = (DWORD)pid;
    pProcess->Release();
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode)
{
    if (!lpExitCode)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    CProcessObject* pProcess = CKernelObject::FromHandleAs<CProcessObject>(hProcess);
    if (!pProcess)
        return FALSE;
    BOOL ok = pProcess->GetExitCode(lpExitCode);
    pProcess->Release();
    return ok;
}

BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode)
{
    CProcessObject* pProcess = CKernelObject::FromHandleAs<CProcessObject>(hProcess);
    if (!pProcess)
        return FALSE;
    BOOL ok = pProcess->Terminate(uExitCode);
    pProcess->Release();
    return ok;
}

HANDLE OpenProcess(DWORD, BOOL, DWORD dwProcessId)
{
    if (dwProcessId == 0)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int pidfd = pidfd_open((pid_t)dwProcessId, 0);
    if (pidfd < 0)
    {
        SetLastError(errno == ESRCH ? ERROR_INVALID_PARAMETER : ErrorFromErrno(errno));
        return nullptr;
    }
    CProcessObject* pProcess = new CProcessObject((pid_t)dwProcessId, pidfd, false);
    HANDLE h = pProcess->OpenHandle();
    pProcess->Release();
    SetLastError(ERROR_SUCCESS);
    return h;
}

DWORD GetCurrentProcessId() { return (DWORD)getpid(); }

HANDLE GetCurrentProcess()
{
    return reinterpret_cast<HANDLE>((intptr_t)-1);
}

BOOL SetProcessWorkingSetSize(HANDLE hProcess, SIZE_T dwMin, SIZE_T dwMax)
{
    if (hProcess != GetCurrentProcess())
        return FALSE;
    if (dwMin == (SIZE_T)-1 && dwMax == (SIZE_T)-1)
        malloc_trim(0);
    return TRUE;
}
