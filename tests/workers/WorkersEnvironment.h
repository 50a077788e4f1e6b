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

// xdotool with its arguments, bounded in time; true when it succeeded.
bool Xdotool(const std::string& args);

// The X11 id of the top-level window with this (ANSI) title once the X server shows it, 0 when
// none came within the time. For threads other than the GUI thread (which may be in a modal loop).
unsigned long WaitForTopLevel(const char* pszTitle, DWORD dwTimeout = 20000);

// Focuses the file chooser and answers it: the path typed into its location entry and Enter,
// or Escape for an empty path. For a thread other than the GUI thread.
bool AnswerFileChooser(const std::string& strPath);
