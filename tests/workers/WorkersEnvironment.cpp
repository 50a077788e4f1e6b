#include "WorkersEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include "WorkerEnvironment.h"
#include "KernelObject.h"
#include "ImportOrderThread.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "PrintWaybillThread.h"
#include "Scrivo.h"
#include "X11Window.h"

namespace
{
std::string g_strFolder;

class CWorkersEnvironment : public CWorkerEnvironment
{
public:
    CWorkersEnvironment() : CWorkerEnvironment("workers_tests", "parvel-workers", "Parvel_workers", "ParvelWorkers") {}
    void SetUp() override
    {
        CWorkerEnvironment::SetUp();
        g_strFolder = Folder();
    }
};
const ::testing::Environment* const s_env = ::testing::AddGlobalTestEnvironment(new CWorkersEnvironment);
}  // namespace

const std::string& WorkFolder()
{
    return g_strFolder;
}

BOOL CWorkerHost::CreateHost()
{
    return CreateEx(0, nullptr, "Parvel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr);
}

std::vector<CWorkerHost::PRINT_RESULT> CWorkerHost::PrintResults()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_printResults;
}

std::vector<std::string> CWorkerHost::ImportPayloads()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_importPayloads;
}

LRESULT CWorkerHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINT_RESULT)
    {
        PRINT_RESULT result{ (const char*)wParam, (const char*)lParam };
        if (m_onPrintResult)
            m_onPrintResult(result);
        std::lock_guard<std::mutex> guard(m_lock);
        m_printResults.push_back(result);
        return 0;
    }
    if (message == WM_IMPORT_DONE)
    {
        std::string payload = theApp.m_strImportData.GetString();
        if (m_onImportDone)
            m_onImportDone(payload);
        std::lock_guard<std::mutex> guard(m_lock);
        m_importPayloads.push_back(payload);
        return 0;
    }
    if (message == WM_TIMER && wParam == TIMER_IMPORT_PROGRESS)
    {
        ++m_nTicks;
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CWorkerTest::SetUp()
{
    ASSERT_TRUE(m_host.CreateHost());
    theApp.m_pMainWnd = &m_host;
    setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);
    unlink((WorkFolder() + "/msgbox.log").c_str());
}

void CWorkerTest::TearDown()
{
    theApp.m_pMainWnd = nullptr;
    m_host.DestroyWindow();
}

std::string CWorkerTest::MessageBoxLog()
{
    return ReadFile(WorkFolder() + "/msgbox.log");
}
