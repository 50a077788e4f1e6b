#include <gtest/gtest.h>
#include <sys/stat.h>
#include "KernelObject.h"
#include "TestFolder.h"

TEST(NamedMutex, ExistsWhileAHandleIsOpenInThisProcess)
{
    CTestFolder folder;
    HANDLE h1 = CreateMutex(nullptr, FALSE, "Program Update");
    ASSERT_NE(nullptr, h1);
    EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
    HANDLE h2 = CreateMutex(nullptr, FALSE, "Program Update");
    ASSERT_NE(nullptr, h2);
    EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
    HANDLE h3 = OpenMutex(SYNCHRONIZE, FALSE, "Program Update");
    EXPECT_NE(nullptr, h3);
    EXPECT_EQ(nullptr, OpenMutex(SYNCHRONIZE, FALSE, "program update")); // names are case-sensitive
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    CloseHandle(h1);
    CloseHandle(h2);
    CloseHandle(h3);
    EXPECT_EQ(nullptr, OpenMutex(SYNCHRONIZE, FALSE, "Program Update"));
    HANDLE h4 = CreateMutex(nullptr, FALSE, "Program Update");
    EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
    CloseHandle(h4);

    // The lock file stays, open to every user.
    struct stat st;
    ASSERT_EQ(0, stat((folder / "mutex/Program%20Update").c_str(), &st));
    EXPECT_EQ(0666u, st.st_mode & 0777);
}

TEST(NamedMutex, SeenFromAnotherProcessAndReleasedWhenItIsKilled)
{
    CTestFolder folder;
    CHelperProcess helper({PLATFORM_HELPER, "hold-mutex", "PrintPDFing"});
    ASSERT_EQ("created", helper.ReadLine(10000));

    HANDLE h = CreateMutex(nullptr, FALSE, "PrintPDFing");
    ASSERT_NE(nullptr, h);
    EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
    CloseHandle(h);
    h = OpenMutex(SYNCHRONIZE, FALSE, "PrintPDFing");
    EXPECT_NE(nullptr, h);
    CloseHandle(h);

    helper.Kill(); // -9: no clean-up of its own
    EXPECT_EQ(nullptr, OpenMutex(SYNCHRONIZE, FALSE, "PrintPDFing"));
    h = CreateMutex(nullptr, FALSE, "PrintPDFing");
    EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());

    // And the other way round: our handle makes the helper see it.
    CHelperProcess second({PLATFORM_HELPER, "hold-mutex", "PrintPDFing"});
    EXPECT_EQ("existed", second.ReadLine(10000));
    CloseHandle(h);
}

TEST(NamedMutex, OwnershipAcrossProcessesAndThreads)
{
    CTestFolder folder;
    HANDLE h = CreateMutex(nullptr, TRUE, "Owned One");
    ASSERT_NE(nullptr, h);
    struct ARGS
    {
        DWORD result;
    } args = {0};
    auto other = [](LPVOID p) -> DWORD {
        HANDLE mine = OpenMutex(SYNCHRONIZE, FALSE, "Owned One");
        ((ARGS*)p)->result = WaitForSingleObject(mine, 60);
        if (((ARGS*)p)->result == WAIT_OBJECT_0)
            ReleaseMutex(mine);
        CloseHandle(mine);
        return 0;
    };
    HANDLE t = CreateThread(nullptr, 0, other, &args, 0, nullptr);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_EQ(WAIT_TIMEOUT, args.result);
    ReleaseMutex(h);
    t = CreateThread(nullptr, 0, other, &args, 0, nullptr);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_EQ(WAIT_OBJECT_0, args.result);
    CloseHandle(h);
}
