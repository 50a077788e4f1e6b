// The label-print benchmark, by hand (scripts/bench/label_bench.sh runs it): one label from the
// request to the result the main window gets (what the page's "print_complete" reports), against
// its floor in the same run: the same label download and the same Ghostscript-into-lp command run
// alone, to the end. Prints "<size> CLIENT <median ms> FLOOR <median ms> (DOWNLOAD <median ms>)
// OVERHEAD <percent>". The client reports once Ghostscript has been started, as the print service
// does, while the floor waits for it; labels other than 8 inches high add the print service's
// 500 ms wait for a driver's print window.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "AfxWin.h"
#include "CodePage.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "PrintWaybillThread.h"
#include "Scrivo.h"
#include "Services.h"
#include "TestFiles.h"

namespace
{
// Stands for the main window: notes when a result arrives.
class CBenchHost : public CWnd
{
public:
    DWORD m_dwResultAt = 0;
    std::string m_strResult;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PRINT_RESULT)
        {
            m_dwResultAt = GetTickCount();
            m_strResult = (const char*)lParam;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string Quoted(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The floor: the label fetched the same way, then the same Ghostscript command into lp, waited for.
double FloorOnce(const std::string& strUrl, const std::string& strPath, float fWidth, float fHeight,
                 double& dDownload)
{
    DWORD dwStart = GetTickCount();
    if (!DownloadFile(strUrl.c_str(), strPath.c_str(), nullptr, nullptr))
        return -1;
    dDownload = GetTickCount() - dwStart;
    std::string command = "gs";
    for (const std::string& arg : GhostscriptArguments(fWidth, fHeight, strPath.c_str()))
        command += " " + Quoted(arg);
    char media[64];
    snprintf(media, sizeof(media), "Custom.%.0fx%.0f", fWidth * 72.0f, fHeight * 72.0f);
    command += " | lp -d PDF -o media=" + std::string(media) + " >/dev/null";
    if (system(command.c_str()) != 0)
        return -1;
    return GetTickCount() - dwStart;
}
}  // namespace

int main(int argc, char** argv)
{
    const int nRuns = argc > 1 ? atoi(argv[1]) : 7;
    std::string folder = MakeTempFolder("parvel-label-bench");
    if (folder.empty() || chdir(folder.c_str()) != 0)
        return 1;
    setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);
    setenv("PARVEL_MSGBOX_LOG", (folder + "/msgbox.log").c_str(), 1);
    setenv("PARVEL_MUTEX_DIR", (folder + "/mutex").c_str(), 1);
    setenv("TMPDIR", folder.c_str(), 1);
    unsetenv("LPDEST");
    unsetenv("PRINTER");
    char* args[] = { (char*)"label_bench", nullptr };
    if (!AfxWinInit(1, args))
        return 1;
    COptionCtrl().SetPathInfo((folder + "/Parvel").c_str());
    mkdir("log", 0755);
    Scrivo::setLogPath("./log/");
    Scrivo::setLogLevel(8);
    Scrivo::init("Parvel_bench");

    int rc = 0;
    {
        CDevnetProcess devnet({ "--quiet" });
        if (!devnet.IsReady())
            return 1;
        COptionCtrl().SetServerUrlInfo("", "", "", devnet.Url("labelpdf").c_str(), "", "");
        CBenchHost host;
        host.CreateEx(0, nullptr, "Parvel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr);
        theApp.m_pMainWnd = &host;

        const struct { const char* pszSize; float w, h; } sizes[] = { { "4*8", 4, 8 }, { "4*6", 4, 6 } };
        for (const auto& size : sizes)
        {
            std::vector<double> client, floor, download;
            for (int i = 0; i < nRuns; ++i)
            {
                std::string order = "VKB" + std::to_string(getpid()) + "N" + std::to_string(i);
                host.m_dwResultAt = 0;
                DWORD dwStart = GetTickCount();
                StartLabelPrint(order.c_str(), size.pszSize);
                if (!WaitFor([&] { return host.m_dwResultAt != 0; }, 30000) || host.m_strResult != PRINT_RESULT_OK)
                {
                    fprintf(stderr, "print %s failed\n", order.c_str());
                    rc = 1;
                    break;
                }
                client.push_back(host.m_dwResultAt - dwStart);
                // Let the worker give back its turn and the wait dialog close before the floor runs.
                WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 10000);
                Pump(300);
                std::string url = BuildLabelUrl(devnet.Url("labelpdf").c_str(), order.c_str()).GetString();
                double d = 0;
                double f = FloorOnce(url, folder + "/floor.pdf", size.w, size.h, d);
                if (f < 0)
                {
                    fprintf(stderr, "floor failed\n");
                    rc = 1;
                    break;
                }
                floor.push_back(f);
                download.push_back(d);
            }
            double c = Median(client), f = Median(floor);
            printf("%s CLIENT %.0f FLOOR %.0f (DOWNLOAD %.0f) OVERHEAD %.0f%%\n", size.pszSize, c, f, Median(download),
                   f > 0 ? (c - f) * 100.0 / f : 0);
            fflush(stdout);
        }
        theApp.m_pMainWnd = nullptr;
        host.DestroyWindow();
    }
    AfxWinTerm();
    RemoveFolder(folder);
    return rc;
}
