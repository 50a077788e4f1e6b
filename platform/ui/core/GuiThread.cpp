// The GUI thread: wx start-up, calls marshalled from other threads, posted messages, waiting.
#include <wx/wx.h>
#include <wx/evtloop.h>
#include <gtk/gtk.h>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <algorithm>
#include <thread>
#include "WndRecord.h"
#include "CWinApp.h"

namespace
{
struct QueuedCall
{
    std::function<void()> fn;
    std::shared_ptr<struct CallState> state;  // set for waited calls
};

struct CallState
{
    std::mutex lock;
    std::condition_variable cond;
    bool bDone = false;
};

// Never destroyed: framework threads still running at exit may queue a call after the statics go.
std::mutex g_queueLock;
std::deque<QueuedCall>& g_queue = *new std::deque<QueuedCall>;
std::thread::id g_guiThread;
std::atomic<bool> g_bGuiStarted{false};
std::atomic<bool> g_bQuit{false};
std::atomic<int> g_nQuitCode{0};

class CFrameworkApp : public wxApp
{
public:
    bool OnInit() override
    {
        SetExitOnFrameDelete(false);
        return true;
    }
    // Events of destroyed windows must not reach handlers: they are filtered by the records.
    int OnExit() override { return 0; }
    // wx runs this when the GUI thread's events are all handled: the framework's idle step.
    bool ProcessIdle() override
    {
        bool bMore = wxApp::ProcessIdle();
        RunIdleStep([] { return g_main_context_pending(nullptr) != FALSE; });
        AfxWakeWaiters();  // what the handled events changed, other threads' waits may look at
        return bMore;
    }
};

void WakeGui()
{
    if (wxTheApp)
        wxTheApp->CallAfter([] { ServeGuiCalls(); });
    g_main_context_wakeup(nullptr);
}
}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CFrameworkApp);

BOOL AfxIsGuiThread()
{
    return !g_bGuiStarted || std::this_thread::get_id() == g_guiThread;
}

void ServeGuiCalls()
{
    for (;;)
    {
        QueuedCall call;
        {
            std::lock_guard<std::mutex> guard(g_queueLock);
            if (g_queue.empty())
                return;
            call = std::move(g_queue.front());
            g_queue.pop_front();
        }
        call.fn();
        if (call.state)
        {
            std::lock_guard<std::mutex> guard(call.state->lock);
            call.state->bDone = true;
            call.state->cond.notify_all();
        }
    }
}

void RunOnGui(std::function<void()> fn, bool bWait)
{
    if (AfxIsGuiThread() && bWait)
    {
        fn();
        return;
    }
    QueuedCall call{std::move(fn), bWait ? std::make_shared<CallState>() : nullptr};
    auto state = call.state;
    {
        std::lock_guard<std::mutex> guard(g_queueLock);
        g_queue.push_back(std::move(call));
    }
    WakeGui();
    if (state)
    {
        std::unique_lock<std::mutex> guard(state->lock);
        state->cond.wait(guard, [&] { return state->bDone; });
    }
}

void AfxRunOnGuiThread(void (*pfn)(void*), void* pParam)
{
    RunOnGui([=] { pfn(pParam); });
}

// Waiters of AfxWaitUntil look at their condition again when something may have changed it: a
// turn of the GUI thread, a window made or destroyed, a framework thread ended, or whoever
// changed it calling AfxWakeWaiters. Between those they block.
namespace
{
std::mutex g_waitLock;
// Never destroyed, like the call queue: a thread that ends after exit began still wakes waiters.
std::condition_variable& g_waitCond = *new std::condition_variable;
unsigned long long g_nWaitTurn = 0;
std::atomic<int> g_nGuiWaiters{0};

// Handles what is ready on the GUI thread without blocking.
void ServeReady()
{
    ServeGuiCalls();
    while (g_main_context_pending(nullptr))
        g_main_context_iteration(nullptr, FALSE);
    if (wxTheApp)
        wxTheApp->ProcessPendingEvents();
    ServeGuiCalls();
}

// The GUI thread blocks in its main context: an event, a marshalled call (which wakes the
// context), a wake from another thread or the time-out ends each block.
BOOL WaitOnGuiThread(BOOL (*pfnDone)(void*), void* pParam, DWORD dwTimeout)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(dwTimeout);
    bool bTimedOut = false;
    guint nTimer = 0;
    ++g_nGuiWaiters;
    BOOL bDone = FALSE;
    for (;;)
    {
        ServeReady();
        if ((bDone = pfnDone(pParam)))
            break;
        if (dwTimeout != INFINITE && (bTimedOut || std::chrono::steady_clock::now() >= deadline))
            break;
        if (dwTimeout != INFINITE && !nTimer)
        {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            nTimer = g_timeout_add((guint)std::max<long long>(1, left.count() + 1), [](gpointer p) -> gboolean {
                *static_cast<bool*>(p) = true;
                return G_SOURCE_REMOVE;
            }, &bTimedOut);
        }
        g_main_context_iteration(nullptr, TRUE);
    }
    if (nTimer && !bTimedOut)
        g_source_remove(nTimer);
    --g_nGuiWaiters;
    return bDone;
}

BOOL WaitOffGuiThread(BOOL (*pfnDone)(void*), void* pParam, DWORD dwTimeout)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(dwTimeout);
    std::unique_lock<std::mutex> guard(g_waitLock);
    for (;;)
    {
        unsigned long long nTurn = g_nWaitTurn;
        guard.unlock();
        BOOL bDone = pfnDone(pParam);
        guard.lock();
        if (bDone)
            return TRUE;
        auto changed = [&] { return g_nWaitTurn != nTurn; };
        if (dwTimeout == INFINITE)
            g_waitCond.wait(guard, changed);
        else if (!g_waitCond.wait_until(guard, deadline, changed))
        {
            guard.unlock();
            return pfnDone(pParam);
        }
    }
}
}  // namespace

void AfxWakeWaiters()
{
    {
        std::lock_guard<std::mutex> guard(g_waitLock);
        ++g_nWaitTurn;
    }
    g_waitCond.notify_all();
    if (g_nGuiWaiters > 0 && !AfxIsGuiThread())
        g_main_context_wakeup(nullptr);
}

BOOL AfxWaitUntil(BOOL (*pfnDone)(void*), void* pParam, DWORD dwTimeout)
{
    if (g_bGuiStarted && AfxIsGuiThread())
        return WaitOnGuiThread(pfnDone, pParam, dwTimeout);
    return WaitOffGuiThread(pfnDone, pParam, dwTimeout);
}

BOOL PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd == nullptr)
    {
        if (msg == WM_QUIT)
            PostQuitMessage((int)wParam);
        return TRUE;
    }
    WndRecord* pRec = LiveRec(hWnd);
    if (!pRec)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (pRec->bForeign)
        return SendMessage(hWnd, msg, wParam, lParam) != 0 || TRUE;
    RunOnGui([=] {
        if (LiveRec(hWnd))
            DispatchToWindow(hWnd, msg, wParam, lParam);
    }, false);
    return TRUE;
}

void PostQuitMessage(int nExitCode)
{
    g_nQuitCode = nExitCode;
    g_bQuit = true;
    RunOnGui([] {
        if (wxTheApp && wxTheApp->GetMainLoop() && wxTheApp->GetMainLoop()->IsRunning())
            wxTheApp->ExitMainLoop();
    }, false);
}

BOOL AfxWinInit(int argc, char** argv)
{
    if (g_bGuiStarted)
        return TRUE;
    // GTK must talk to the X server: window properties and the other processes' windows are X11.
    setenv("GDK_BACKEND", "x11", 1);
    static int s_argc;
    static std::vector<char*> s_argv;
    s_argc = argc;
    s_argv.assign(argv, argv + argc);
    s_argv.push_back(nullptr);
    if (!wxEntryStart(s_argc, s_argv.data()))
        return FALSE;
    if (!wxTheApp || !wxTheApp->CallOnInit())
        return FALSE;
    // wx's own complaints go to stderr: a dialog of wx's would stop an unattended program.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::SetLogLevel(wxLOG_Warning);
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
        fprintf(stderr, "wx assertion %s:%d %s: %s %s\n", (const char*)file.utf8_str(), line,
                (const char*)func.utf8_str(), (const char*)cond.utf8_str(), (const char*)msg.utf8_str());
    });
    g_guiThread = std::this_thread::get_id();
    g_bGuiStarted = true;
    return TRUE;
}

void AfxWinTerm()
{
    if (!g_bGuiStarted)
        return;
    ServeGuiCalls();
    ForEachTopLevel([](HWND h) { ::DestroyWindow(h); });
    if (wxTheApp)
        wxTheApp->OnExit();
    wxEntryCleanup();
    g_bGuiStarted = false;
}

int AfxRunMessageLoop()
{
    if (g_bQuit)
    {
        g_bQuit = false;
        return g_nQuitCode;
    }
    ServeGuiCalls();
    // A quit asked for before the loop runs ends it as soon as it starts.
    wxTheApp->CallAfter([] {
        if (g_bQuit && wxTheApp->GetMainLoop())
            wxTheApp->ExitMainLoop();
    });
    wxTheApp->OnRun();
    g_bQuit = false;
    return g_nQuitCode;
}
