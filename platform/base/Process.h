// Processes: starting programs, their handles, waiting for them and ending them.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>
#include "KernelObject.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

#define PROCESS_TERMINATE 0x0001u
#define PROCESS_QUERY_INFORMATION 0x0400u
#define PROCESS_ALL_ACCESS 0x001FFFFFu

#define CREATE_NEW_CONSOLE 0x00000010u
#define CREATE_NO_WINDOW 0x08000000u

typedef struct _STARTUPINFOA
{
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;
typedef STARTUPINFOA STARTUPINFO;
typedef LPSTARTUPINFOA LPSTARTUPINFO;

typedef struct _PROCESS_INFORMATION
{
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// The program is found as the shell finds it (CProgramTable). The process handle is signalled
// when the program has ended; the thread handle stands for its main thread and behaves alike.
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                    LPVOID lpEnvironment, LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation);
#define CreateProcess CreateProcessA

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode);
HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
DWORD GetCurrentProcessId();
// A pseudo handle of the calling process, valid only in the calls that take a process handle.
HANDLE GetCurrentProcess();
// With (SIZE_T)-1 twice: gives the memory the process no longer uses back to the system.
BOOL SetProcessWorkingSetSize(HANDLE hProcess, SIZE_T dwMinimumWorkingSetSize, SIZE_T dwMaximumWorkingSetSize);

// Starts programs apart from the client: in a session of their own, with no terminal and
// their input and output on /dev/null.
class CProcessLauncher
{
public:
    // Detached: nobody waits for the program; it is reaped when it ends, so it leaves no
    // zombie behind, and it outlives the client. Otherwise the caller reaps it, with the pid
    // and pidfd given back (a pidfd of the child, -1 when unavailable). Gives ERROR_SUCCESS or
    // the Windows error of the start.
    static DWORD Start(const std::vector<std::string>& argv, const std::string& strDir, bool bDetached,
                       pid_t* pPid = nullptr, int* pPidFd = nullptr);

    // Starts two programs detached, the writer's standard output feeding the reader's standard
    // input; no shell stands between them, so every argument reaches its program as given.
    static DWORD StartPipeline(const std::vector<std::string>& writer, const std::vector<std::string>& reader,
                               const std::string& strDir);

    // One line of the start log: the arguments, quoted where they hold blanks or quotes.
    static std::string FormatCommandLine(const std::vector<std::string>& argv);

private:
    // nStdin, nStdout: descriptors the program gets as its input and output (-1: /dev/null).
    static DWORD StartWithStdio(const std::vector<std::string>& argv, const std::string& strDir, bool bDetached,
                                int nStdin, int nStdout, pid_t* pPid, int* pPidFd);
};

PARVEL_BASE_END_EXPORTS
