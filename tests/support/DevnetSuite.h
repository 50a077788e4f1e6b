// A test suite that shares one devnet on free ports: started before the suite's first test with
// the arguments T::DevnetArgs() gives, stopped after its last. Each test fails at once, with
// devnet's log, when devnet did not come up.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "DevnetProcess.h"

template <class T>
class CDevnetSuite : public ::testing::Test
{
protected:
    static std::vector<std::string> DevnetArgs() { return {}; }

    static void SetUpTestSuite() { s_devnet = new CDevnetProcess(T::DevnetArgs()); }
    static void TearDownTestSuite()
    {
        delete s_devnet;
        s_devnet = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_devnet && s_devnet->IsReady()) << (s_devnet ? s_devnet->Log() : ""); }

    static inline CDevnetProcess* s_devnet = nullptr;
};
