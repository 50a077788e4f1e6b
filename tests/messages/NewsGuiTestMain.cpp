// The message component's window tests: the GUI thread is the main thread; wx starts first.
#include <gtest/gtest.h>
#include "CWinApp.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (at build time) needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    setenv("GDK_BACKEND", "x11", 1);
    if (!AfxWinInit(argc, argv)) {
        fprintf(stderr, "no X display\n");
        return 1;
    }
    int r = RUN_ALL_TESTS();
    AfxWinTerm();
    return r;
}
