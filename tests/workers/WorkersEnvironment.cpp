#include "WorkersEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include "ClientEnvironment.h"
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

class CWorkersEnvironment : public CClientEnvironment
{
public:
    CWorkersEnvironment() : CClientEnvironment("workers_tests", "parvel-workers") {}
    void SetUp() override
    {
        // The default printer comes from CUPS ("PDF", made the default by scripts/services.sh).
        unsetenv("LPDEST");
        unsetenv("PRINTER");
        // The file chooser keeps its settings in memory: no session bus here.
        setenv("GSETTINGS_BACKEND", "memory", 1);
        CClientEnvironment::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        g_strFolder = Folder();
        // The label folder is made under the temporary folder when the paths are set.
        setenv("TMPDIR", g_strFolder.c_str(), 1);
        mkdir("log", 0755);
        COptionCtrl().SetPathInfo((g_strFolder + "/Parvel").c_str());
        Scrivo::setLogPath("./log/");
        Scrivo::setLogLevel(8);
        Scrivo::init("Parvel_workers");
        // Message boxes carry the application's name: one that no other window has.
        theApp.m_pszAppName = "ParvelWorkers";
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
