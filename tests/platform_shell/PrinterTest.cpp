#include "ShellTestSupport.h"

#include "Printer.h"

namespace
{
// The queue scripts/services.sh sets up as the default.
class PrinterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        unsetenv("LPDEST");
        unsetenv("PRINTER");
        unsetenv("CUPS_SERVER");
    }
    void TearDown() override { unsetenv("CUPS_SERVER"); }
};

TEST_F(PrinterTest, DefaultQueueOfTheRunningScheduler)
{
    char name[256] = {};
    DWORD size = sizeof(name);
    ASSERT_TRUE(GetDefaultPrinter(name, &size)) << "cupsd with the default queue PDF (scripts/services.sh)";
    EXPECT_STREQ("PDF", name);
    EXPECT_EQ(4u, size);

    // Too small a buffer, or none: the size needed.
    char small[3] = { 'x', 'x', 'x' };
    size = sizeof(small);
    EXPECT_FALSE(GetDefaultPrinter(small, &size));
    EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(4u, size);
    EXPECT_EQ('x', small[0]);
    size = 0;
    EXPECT_FALSE(GetDefaultPrinter(nullptr, &size));
    EXPECT_EQ(4u, size);
    EXPECT_FALSE(GetDefaultPrinter(name, nullptr));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(PrinterTest, NoSchedulerMeansNoDefaultPrinter)
{
    CShellScratch scratch;
    setenv("CUPS_SERVER", scratch.Path("dead.sock").c_str(), 1);
    char name[256] = "unchanged";
    DWORD size = sizeof(name);
    EXPECT_FALSE(GetDefaultPrinter(name, &size));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_STREQ("unchanged", name);

    // Back on the running scheduler, the same thread sees the queue again.
    unsetenv("CUPS_SERVER");
    size = sizeof(name);
    EXPECT_TRUE(GetDefaultPrinter(name, &size));
    EXPECT_STREQ("PDF", name);
}
} // namespace
