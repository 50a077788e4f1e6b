#include "ShellTestSupport.h"

#include "Process.h"
#include "ProcessSnapshot.h"

namespace
{
class ProcessTest : public ::testing::Test
{
protected:
    BOOL Start(const char* pszApp, const char* pszCmdLine, PROCESS_INFORMATION& pi, const char* pszDir = nullptr)
    {
        STARTUPINFO si = {};
        si.cb = sizeof(si);
        std::string line = pszCmdLine ? pszCmdLine : "";
        return CreateProcess(pszApp, pszCmdLine ? &line[0] : nullptr, nullptr, nullptr, FALSE, 0, nullptr, pszDir, &si, &pi);
    }

    static void Close(PROCESS_INFORMATION& pi)
    {
        EXPECT_TRUE(CloseHandle(pi.hThread));
        EXPECT_TRUE(CloseHandle(pi.hProcess));
    }

    CShellScratch m_scratch;
};

TEST_F(ProcessTest, WaitsForTheProgramAndReadsItsExitCode)
{
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(Start(nullptr, "/bin/sh -c \"exit 7\"", pi));
    EXPECT_NE(0u, pi.dwProcessId);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 10000));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hThread, 0));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(7u, code);
    Close(pi);
    EXPECT_EQ(0, CountZombieChildren());
}

TEST_F(ProcessTest, InstallerFormRunsTheApplicationNameInTheGivenFolder)
{
    // As the browser installer is started: application name only, no command line.
    mkdir(m_scratch.Path("download").c_str(), 0755);
    WriteFile(m_scratch.Path("download/Setup.sh"), "#!/bin/sh\npwd > where.txt\nexit 3\n", 0755);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(Start("./download/Setup.sh", nullptr, pi, m_scratch.Path("").c_str()));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 10000));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(3u, code);
    char real[4096];
    ASSERT_TRUE(realpath(m_scratch.Path("").c_str(), real));
    EXPECT_EQ(std::string(real) + "\n", ReadFile(m_scratch.Path("where.txt")));
    Close(pi);
}

TEST_F(ProcessTest, RelativeProgramInARelativeFolderStillRuns)
{
    mkdir(m_scratch.Path("sub").c_str(), 0755);
    WriteFile(m_scratch.Path("sub/job.sh"), "#!/bin/sh\nexit 4\n", 0755);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(Start(nullptr, "job.sh", pi, "sub"));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 10000));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(4u, code);
    Close(pi);
}

TEST_F(ProcessTest, RunningProgramTimesOutAndIsTerminated)
{
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(Start(nullptr, "/bin/sleep 30", pi));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(STILL_ACTIVE, code);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(pi.hProcess, 50));

    ASSERT_TRUE(TerminateProcess(pi.hProcess, 9));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 10000));
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(9u, code);
    EXPECT_FALSE(TerminateProcess(pi.hProcess, 1)); // already ended
    Close(pi);
    EXPECT_EQ(0, CountZombieChildren());
}

TEST_F(ProcessTest, ClosedHandlesStillLeaveNoZombie)
{
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(Start(nullptr, "/bin/true", pi));
    pid_t pid = (pid_t)pi.dwProcessId;
    Close(pi);
    // Nobody waits: the child is reaped all the same.
    PollUntil([&] { return kill(pid, 0) != 0; }, 10000);
    EXPECT_NE(0, kill(pid, 0));
    EXPECT_EQ(0, CountZombieChildren());
}

TEST_F(ProcessTest, FailuresSetTheLastError)
{
    PROCESS_INFORMATION pi = {};
    EXPECT_FALSE(Start(nullptr, "no-such-program.exe", pi));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_FALSE(Start("./missing/Setup.exe", nullptr, pi));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
    EXPECT_FALSE(Start(nullptr, "/bin/true", pi, "/nonexistent/folder"));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
    EXPECT_EQ(nullptr, pi.hProcess);

    HANDLE hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeProcess(hEvent, &code));
    EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_FALSE(TerminateProcess(hEvent, 0));
    CloseHandle(hEvent);
}

TEST_F(ProcessTest, SnapshotFindsAProcessByNameAndEndsIt)
{
    // How the browser installer ends running programs of a name.
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(Start(nullptr, "/bin/sleep 30", pi));

    HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, hSnap);
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof(pe);
    bool seenSelf = false, seenChild = false;
    for (BOOL ok = Process32First(hSnap, &pe); ok; ok = Process32Next(hSnap, &pe))
    {
        if (pe.th32ProcessID == GetCurrentProcessId())
        {
            seenSelf = true;
            EXPECT_STREQ("platform_shell_tests", pe.szExeFile);
        }
        if (strcmp(pe.szExeFile, "sleep") == 0 && pe.th32ProcessID == pi.dwProcessId)
        {
            seenChild = true;
            EXPECT_EQ(GetCurrentProcessId(), pe.th32ParentProcessID);
            HANDLE h = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pe.th32ProcessID);
            ASSERT_NE(nullptr, h);
            EXPECT_TRUE(TerminateProcess(h, 0));
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 10000));
            CloseHandle(h);
        }
    }
    EXPECT_EQ((DWORD)ERROR_NO_MORE_FILES, GetLastError());
    EXPECT_TRUE(CloseHandle(hSnap));
    EXPECT_TRUE(seenSelf);
    EXPECT_TRUE(seenChild);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 10000));
    Close(pi);

    EXPECT_EQ(nullptr, OpenProcess(PROCESS_ALL_ACCESS, FALSE, 0));
}
} // namespace
