// The test program's GUI thread is its main thread: wx starts before the tests run.
#include <gtest/gtest.h>
#include "CWinApp.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (at build time) needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (!AfxWinInit(argc, argv))
    {
        fprintf(stderr, "no X display\n");
        return 1;
    }
    int r = RUN_ALL_TESTS();
    AfxWinTerm();
    return r;
}
