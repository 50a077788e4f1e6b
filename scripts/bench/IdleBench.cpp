// The idle and dispatch-latency benchmark, by hand (scripts/bench/idle_bench.sh runs it):
//   idle_bench wait      shows the wait dialog as a print does (from a worker), prints "READY" once
//                        it is up and serves it until the process is ended;
//   idle_bench latency   10 000 messages posted one after the other to a window on the GUI
//                        thread, from another thread and from the GUI thread itself; prints
//                        "LATENCY <from> median <ms> p99 <ms>" for each.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>
#include <time.h>
#include "AfxWin.h"
#include "WaitDialog.h"

namespace
{
const int kMessages = 10000;
const UINT WM_PING = WM_APP + 1;

long long NowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Answers each message with its latency since the posting; posts the next itself when asked.
class CLatencyWnd : public CWnd
{
public:
    std::mutex lock;
    std::condition_variable cond;
    std::vector<long long> latencies;
    bool bSelfPost = false;
    afx_msg LRESULT OnPing(WPARAM, LPARAM lParam)
    {
        long long d = NowNs() - (long long)lParam;
        std::lock_guard<std::mutex> guard(lock);
        latencies.push_back(d);
        if (bSelfPost && latencies.size() < (size_t)kMessages)
            PostMessage(WM_PING, 0, (LPARAM)NowNs());
        cond.notify_all();
        if (latencies.size() == (size_t)kMessages)
            AfxWakeWaiters();
        return 0;
    }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLatencyWnd, CWnd)
    ON_MESSAGE(WM_PING, &CLatencyWnd::OnPing)
END_MESSAGE_MAP()

void Report(const char* pszFrom, std::vector<long long> v)
{
    std::sort(v.begin(), v.end());
    double median = v[v.size() / 2] / 1e6;
    double p99 = v[std::min(v.size() - 1, v.size() * 99 / 100)] / 1e6;
    printf("LATENCY %s median %.4f ms p99 %.4f ms (%zu messages)\n", pszFrom, median, p99, v.size());
}

BOOL AllSeen(void* p)
{
    auto* pWnd = static_cast<CLatencyWnd*>(p);
    std::lock_guard<std::mutex> guard(pWnd->lock);
    return pWnd->latencies.size() >= (size_t)kMessages;
}

int Latency()
{
    CLatencyWnd wnd;
    if (!wnd.CreateEx(0, nullptr, "latency", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0))
        return 1;
    // From a worker, one at a time: each waits for the one before to be dispatched.
    std::thread worker([&] {
        for (int i = 0; i < kMessages; ++i)
        {
            std::unique_lock<std::mutex> guard(wnd.lock);
            size_t n = wnd.latencies.size();
            guard.unlock();
            ::PostMessage(wnd.m_hWnd, WM_PING, 0, (LPARAM)NowNs());
            guard.lock();
            wnd.cond.wait(guard, [&] { return wnd.latencies.size() > n; });
        }
    });
    AfxWaitUntil(&AllSeen, &wnd, INFINITE);
    worker.join();
    Report("worker", wnd.latencies);
    // From the GUI thread: each handler posts the next.
    wnd.latencies.clear();
    wnd.bSelfPost = true;
    wnd.PostMessage(WM_PING, 0, (LPARAM)NowNs());
    AfxWaitUntil(&AllSeen, &wnd, INFINITE);
    Report("gui", wnd.latencies);
    wnd.DestroyWindow();
    return 0;
}

int Wait()
{
    CWaitDialog& dlg = *new CWaitDialog;  // lives as long as the process, as the application's does
    std::thread worker([&] {
        ShowWaitDialog(&dlg, "开始下载");
        printf(dlg.GetSafeHwnd() ? "READY\n" : "NO DIALOG\n");
        fflush(stdout);
    });
    worker.detach();
    return AfxRunMessageLoop();
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || (strcmp(argv[1], "wait") && strcmp(argv[1], "latency")))
    {
        fprintf(stderr, "usage: idle_bench wait|latency\n");
        return 2;
    }
    if (!AfxWinInit(argc, argv))
    {
        fprintf(stderr, "idle_bench: no X display\n");
        return 1;
    }
    int r = strcmp(argv[1], "wait") ? Latency() : Wait();
    AfxWinTerm();
    return r;
}
