// The windowing layer started on the test's main thread (GDK on X11) for the whole run.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include "AfxWin.h"

class CGuiEnvironment : public ::testing::Environment
{
public:
    // pszProgram: the name the program runs under (its argv[0]).
    explicit CGuiEnvironment(const char* pszProgram) : m_strProgram(pszProgram) {}

    void SetUp() override
    {
        setenv("GDK_BACKEND", "x11", 1);
        m_argv[0] = m_strProgram.data();
        m_argv[1] = nullptr;
        ASSERT_TRUE(AfxWinInit(1, m_argv));
    }
    void TearDown() override { AfxWinTerm(); }

private:
    std::string m_strProgram;
    char* m_argv[2] = {};
};
