// What the worker tests share: one client environment in a scratch folder, a window that stands
// for the main window and records what the workers send it, and real key input.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include "AfxWin.h"
#include "DevnetProcess.h"
#include "WorkerTestUtil.h"

// The scratch working folder of the run.
const std::string& WorkFolder();

// Stands for the main window: receives WM_PRINT_RESULT and WM_IMPORT_DONE on the GUI thread and
// counts the ticks of the import-progress timer.
class CWorkerHost : public CWnd
{
public:
    struct PRINT_RESULT
    {
        std::string strOrderNo;
        std::string strResult;
    };

    BOOL CreateHost();

    std::vector<PRINT_RESULT> PrintResults();
    std::vector<std::string> ImportPayloads();
    int ImportProgressTicks() const { return m_nTicks; }

    // Run inside the handlers, while the worker waits in its SendMessage.
    std::function<void(const PRINT_RESULT&)> m_onPrintResult;
    std::function<void(const std::string&)> m_onImportDone;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::mutex m_lock;
    std::vector<PRINT_RESULT> m_printResults;
    std::vector<std::string> m_importPayloads;
    std::atomic<int> m_nTicks{0};
};

// Makes a host window the application's main window for one test.
class CWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Message boxes logged so far (UTF-8 lines "caption\ttext").
    static std::string MessageBoxLog();

    CWorkerHost m_host;
};

// A worker test whose suite shares one devnet on free ports.
class CWorkerDevnetTest : public CWorkerTest
{
protected:
    static void SetUpTestSuite() { s_devnet = new CDevnetProcess(); }
    static void TearDownTestSuite()
    {
        delete s_devnet;
        s_devnet = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_devnet && s_devnet->IsReady()) << (s_devnet ? s_devnet->Log() : "");
        CWorkerTest::SetUp();
    }

    static inline CDevnetProcess* s_devnet = nullptr;
};
