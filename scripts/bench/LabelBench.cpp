// The label-print benchmark, by hand (scripts/bench/label_bench.sh runs it): one label from the
// business page's printMailLable call to its "print_complete", timed by the page itself in the
// real main frame and page tab, against its floor in the same run: the same label download and the
// same Ghostscript-into-lp command run alone, to the end. Prints per size
// "<size> CLIENT <median ms> FLOOR <median ms> (DOWNLOAD <median ms> GS <median ms>) OVERHEAD <percent>".
// The client reports once Ghostscript has been started, as the print service does, while the floor
// waits for it; labels other than 8 inches high add the print service's 500 ms wait for a driver's
// print window.
#include "PageRoadEnvironment.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>
#include "CodePage.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "ParvelApp.h"
#include "ParvelView.h"
#include "PrintWaybillThread.h"
#include "Services.h"
#include "TestFiles.h"

namespace
{
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
bool FloorOnce(const std::string& strUrl, const std::string& strPath, float fWidth, float fHeight, double& dDownload,
               double& dPrint)
{
    DWORD dwStart = GetTickCount();
    if (!DownloadFile(strUrl.c_str(), strPath.c_str(), nullptr, nullptr))
        return false;
    dDownload = GetTickCount() - dwStart;
    std::string command = "gs";
    for (const std::string& arg : GhostscriptArguments(fWidth, fHeight, strPath.c_str()))
        command += " " + Quoted(arg);
    char media[64];
    snprintf(media, sizeof(media), "Custom.%.0fx%.0f", fWidth * 72.0f, fHeight * 72.0f);
    command += " | lp -d PDF -o media=" + std::string(media) + " >/dev/null";
    dwStart = GetTickCount();
    if (system(command.c_str()) != 0)
        return false;
    dPrint = GetTickCount() - dwStart;
    return true;
}

int Runs()
{
    const char* psz = getenv("LABEL_BENCH_RUNS");
    return psz && atoi(psz) > 0 ? atoi(psz) : 7;
}

class LabelBench : public CPageRoadTest
{
};

TEST_F(LabelBench, PageCallToPrintComplete)
{
    CParvelView* pView = OpenBusinessPage();
    ASSERT_TRUE(pView);
    // The page times itself: from its call to the start of its print_complete.
    PageEval(pView, "window.benchMs = -1; window.pagePrintComplete = window.print_complete;"
                    "window.print_complete = function (o, t, k) { window.benchMs = performance.now() - window.benchT0;"
                    " window.benchText = t; return window.pagePrintComplete(o, t, k); }; ''");
    const struct
    {
        const char* pszSize;
        float fWidth, fHeight;
    } sizes[] = { { "4*8", 4, 8 }, { "4*6", 4, 6 } };
    for (const auto& size : sizes)
    {
        std::vector<double> client, floor, download, print;
        for (int i = 0; i < Runs(); ++i)
        {
            const std::string strOrder = "VKB" + std::to_string(getpid()) + "N" + std::to_string(i);
            PageEval(pView, "window.benchMs = -1; ''");
            RunInPage(pView, "window.benchT0 = performance.now(); window.external.printMailLable('" + strOrder + "', '" +
                                 size.pszSize + "');");
            ASSERT_TRUE(WaitFor([&] { return PageEval(pView, "String(window.benchMs)") != "-1"; }, 30000));
            ASSERT_EQ("成功！", CCodePage::Utf8ToAnsi(PageEval(pView, "window.benchText")));
            client.push_back(atof(PageEval(pView, "String(window.benchMs)").c_str()));
            // The worker gives back its turn and closes the wait dialog before the floor runs.
            ASSERT_TRUE(WaitFor([] { return !TurnIsHeld() && theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 10000));
            Pump(300);
            const std::string strUrl = BuildLabelUrl(Devnet().Url("labelpdf").c_str(), strOrder.c_str()).GetString();
            double d = 0, p = 0;
            ASSERT_TRUE(FloorOnce(strUrl, WorkFolder() + "/floor.pdf", size.fWidth, size.fHeight, d, p));
            floor.push_back(d + p);
            download.push_back(d);
            print.push_back(p);
        }
        const double c = Median(client), f = Median(floor);
        printf("%s CLIENT %.0f FLOOR %.0f (DOWNLOAD %.0f GS %.0f) OVERHEAD %.0f%%\n", size.pszSize, c, f,
               Median(download), Median(print), f > 0 ? (c - f) * 100.0 / f : 0);
        fflush(stdout);
    }
}
}  // namespace
