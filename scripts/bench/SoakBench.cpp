// The soak benchmark (scripts/bench/soak runs it): the client program, started through its own entry
// in this process against devnet and the CUPS "PDF" queue, signed on through its sign-on dialog with
// real keys, then worked through an outlet's day over and over by a driver thread:
//   a server-menu page in a new tab; a label printed from it (printMailLable to print_complete); the
//   wait dialog shown and hidden from it; the tab closed; a message through the tip, closed with the
//   pointer; a waybill number typed into the waybill box, Return, its result tab closed; Ctrl+L and
//   the password typed into the unlock dialog, Return.
// A probe thread sends the main frame a message every 20 ms and times the answer. The GUI thread's
// own network requests (the waybill token, the unlock's sign-on, the message poll, the revalidation)
// are timed as they run, so a late answer is split into the time spent inside such a request, which
// the client makes the operator wait for, and the stall outside them.
// Every --every cycles one line: resident memory of this process, its threads and descriptors, live
// window records, drawing objects, the WebKit processes' memory, and the longest answer of the
// stretch outside and inside those requests. At the end the growth per cycle of each figure after
// the warm-up; exit status 1 when a figure passes its limit, 3 when the day could not be worked.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>
#include "AfxWin.h"
#include "CMultiDocTemplate.h"
#include "ChildFrm.h"
#include "CodePage.h"
#include "CWinApp.h"
#include "DevnetProcess.h"
#include "Gdi.h"
#include "GuiWait.h"
#include "KernelObject.h"
#include "MainFrm.h"
#include "Netvane.h"
#include "NewsBox.h"
#include "NewsComponent.h"
#include "NewsInterface.h"
#include "OptionCtrl.h"
#include "OptionData.h"
#include "PageScript.h"
#include "ParvelApp.h"
#include "ParvelView.h"
#include "PollWait.h"
#include "PrintWaybillThread.h"
#include "PrivateMember.h"
#include "Process.h"
#include "ProcessFigures.h"
#include "RealInput.h"
#include "SearchEdit.h"
#include "SearchEditButton.h"
#include "TestFiles.h"
#include "X11Window.h"
#include "VelkorMenu.h"
#include "WndRecord.h"
#include "resource.h"

namespace
{
typedef void (COptionData::*SETTER)(const char*);
typedef CString COptionData::*STRING_FIELD;
struct LoginUrlTag { typedef SETTER type; };
struct AuthorityUrlTag { typedef SETTER type; };
struct HomePageTag { typedef STRING_FIELD type; };
struct TransListTag { typedef STRING_FIELD type; };
struct UpdateUrlTag { typedef STRING_FIELD type; };
struct MessageUrlTag { typedef STRING_FIELD type; };
}  // namespace
template struct CPrivateBinder<LoginUrlTag, &COptionData::SetAccountLoginUrl>;
template struct CPrivateBinder<AuthorityUrlTag, &COptionData::SetUserAuthorityUrl>;
template struct CPrivateBinder<HomePageTag, &COptionData::m_HomePageUrl>;
template struct CPrivateBinder<TransListTag, &COptionData::m_TransUrlListUrl>;
template struct CPrivateBinder<UpdateUrlTag, &COptionData::m_UpdateClientUrl>;
template struct CPrivateBinder<MessageUrlTag, &COptionData::m_MessageUrl>;

extern const char* g_pszQueryTokenUrl;

namespace
{
const char kAccount[] = "demo";
const char kPassword[] = "velkor2026";

double NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// The GUI thread's network requests: the one running and the time of those that ended.
struct GUI_REQUESTS
{
    std::mutex lock;
    bool bActive = false;
    unsigned long nSeq = 0;
    double dStart = 0;
    double dDone = 0;      // total of the ended ones
    double dLongest = 0;   // in this stretch
};
GUI_REQUESTS g_requests;

// The step of the day the driver is at, named in the figures with the stretch's longest stall.
std::atomic<const char*> g_pszStep{"sign-on"};

// One request of a thread; only the GUI thread's are timed.
class CGuiRequest
{
public:
    CGuiRequest() : m_bGui(AfxIsGuiThread() != FALSE)
    {
        if (!m_bGui)
            return;
        std::lock_guard<std::mutex> guard(g_requests.lock);
        g_requests.bActive = true;
        ++g_requests.nSeq;
        g_requests.dStart = NowMs();
    }
    ~CGuiRequest()
    {
        if (!m_bGui)
            return;
        std::lock_guard<std::mutex> guard(g_requests.lock);
        const double d = NowMs() - g_requests.dStart;
        g_requests.dDone += d;
        g_requests.dLongest = std::max(g_requests.dLongest, d);
        g_requests.bActive = false;
    }

private:
    bool m_bGui;
};
}  // namespace

// The client's requests reach Netvane through these (the link wraps its two request calls).
extern "C" unsigned int __real__ZN8CNetvane5DoGetEPKcPPcS1_bb(CNetvane*, const char*, char**, const char*, bool, bool);
extern "C" unsigned int __real__ZN8CNetvane6DoPostEPKcPPcS1_bb(CNetvane*, const char*, char**, const char*, bool, bool);
extern "C" unsigned int __wrap__ZN8CNetvane5DoGetEPKcPPcS1_bb(CNetvane* p, const char* url, char** reply,
                                                              const char* cookie, bool bHeaders, bool bSecond)
{
    CGuiRequest request;
    return __real__ZN8CNetvane5DoGetEPKcPPcS1_bb(p, url, reply, cookie, bHeaders, bSecond);
}
extern "C" unsigned int __wrap__ZN8CNetvane6DoPostEPKcPPcS1_bb(CNetvane* p, const char* url, char** reply,
                                                               const char* cookie, bool bHeaders, bool bSecond)
{
    CGuiRequest request;
    return __real__ZN8CNetvane6DoPostEPKcPPcS1_bb(p, url, reply, cookie, bHeaders, bSecond);
}

namespace
{
struct SETTINGS
{
    int nCycles = 10000;
    int nEvery = 50;
    int nWarmup = -1;  // -1: a fifth of the cycles
    bool bSteps = false;  // what each step of a cycle left in window records and drawing objects
    std::vector<std::string> faults;
};

// The probe: how long the GUI thread takes to answer the frame's message, outside its requests.
class CStallProbe
{
public:
    void Start(HWND hFrame)
    {
        m_hFrame = hFrame;
        m_thread = std::thread([this] { Run(); });
    }
    void Stop()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // The longest answers since the last call, outside (and the step it came in) and inside the GUI
    // thread's requests.
    void TakeStretch(double& dOutside, const char*& pszStep, double& dRequest)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        dOutside = m_dOutside;
        pszStep = m_pszStep;
        m_dOutside = 0;
        m_pszStep = "";
        std::lock_guard<std::mutex> requests(g_requests.lock);
        dRequest = g_requests.dLongest;
        if (g_requests.bActive)
            dRequest = std::max(dRequest, NowMs() - g_requests.dStart);
        g_requests.dLongest = 0;
    }

private:
    struct MARK
    {
        double t;
        bool bActive;
        unsigned long nSeq;
        double dStart, dDone;
    };
    static MARK Mark()
    {
        std::lock_guard<std::mutex> guard(g_requests.lock);
        return MARK{ NowMs(), g_requests.bActive, g_requests.nSeq, g_requests.dStart, g_requests.dDone };
    }
    // Time of the probe's wait spent inside requests of the GUI thread.
    static double InRequests(const MARK& a, const MARK& b)
    {
        double d = b.dDone - a.dDone;
        if (a.bActive && !(b.bActive && b.nSeq == a.nSeq))
            d -= a.t - a.dStart;  // the part before the probe of a request that ended during it
        if (b.bActive)
            d += b.t - std::max(b.dStart, a.t);
        return std::max(0.0, d);
    }
    void Run()
    {
        while (!m_bStop)
        {
            const char* pszStep = g_pszStep;
            const MARK a = Mark();
            ::SendMessage(m_hFrame, WM_NULL, 0, 0);
            const MARK b = Mark();
            const double dOutside = (b.t - a.t) - InRequests(a, b);
            {
                std::lock_guard<std::mutex> guard(m_lock);
                if (dOutside > m_dOutside)
                {
                    m_dOutside = dOutside;
                    m_pszStep = pszStep;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    HWND m_hFrame = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    std::mutex m_lock;
    double m_dOutside = 0;
    const char* m_pszStep = "";
};

struct SAMPLE
{
    int nCycle;
    double dRssKb, dThreads, dFds, dRecords, dGdi, dWebKitKb;
    double dStallMs, dRequestMs;
    const char* pszStallStep;
};

// The day's work, on the driver thread; the GUI thread runs the client's own loop.
class CSoakDriver
{
public:
    CSoakDriver(const SETTINGS& settings, CDevnetProcess& devnet) : m_settings(settings), m_devnet(devnet) {}

    // 0 all limits held, 1 a figure passed its limit, 3 the work failed.
    int Run();
    HWND SignOnDialog() { return FindSignOnDialog(0); }

private:
    bool Fail(const std::string& what)
    {
        fprintf(stderr, "soak: cycle %d: %s\n", m_nCycle, what.c_str());
        return false;
    }
    HWND FrameHwnd()
    {
        HWND h = nullptr;
        OnGui([&] { h = theApp.m_pMainWnd ? theApp.m_pMainWnd->GetSafeHwnd() : nullptr; });
        return h;
    }
    CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd); }  // on the GUI thread
    CParvelView* ActivePage()  // on the GUI thread
    {
        CMDIChildWndEx* pChild = Frame() ? Frame()->MDIGetActive() : nullptr;
        CView* pView = pChild ? pChild->GetActiveView() : nullptr;
        return pView && pView->IsKindOf(RUNTIME_CLASS(CParvelView)) ? (CParvelView*)pView : nullptr;
    }
    int TabCount();
    bool WaitActivePage(const char* pszPart, CParvelView*& pView, int nTimeoutMs = 60000);
    bool CloseActiveTab();
    std::string Script(CParvelView* pView, const std::string& script);
    bool ClickWindow(HWND hWnd);
    bool ClickUntilFocused(HWND hWnd);
    HWND FindSignOnDialog(int nTimeoutMs);
    bool TypeIntoDialog(HWND hDlg, int nId, const char* pszText);
    bool WorkersIdle();

    bool SignOn();
    bool MenuPage(CParvelView*& pView);
    bool PrintLabel(CParvelView* pView);
    bool WaitDialog(CParvelView* pView);
    bool TipMessage();
    bool WaybillQuery();
    bool LockAndUnlock();
    bool Cycle();

    SAMPLE Sample();
    static void PrintSample(const SAMPLE& s);
    int Verdict() const;

    const SETTINGS& m_settings;
    CDevnetProcess& m_devnet;
    CStallProbe m_probe;
    std::vector<int> m_menuIds;
    std::vector<SAMPLE> m_samples;
    int m_nCycle = 0;
    double m_dStartMs = 0;
};

int CSoakDriver::TabCount()
{
    int n = 0;
    OnGui([&] {
        POSITION pos = theApp.GetFirstDocTemplatePosition();
        while (CDocTemplate* pTemplate = pos ? theApp.GetNextDocTemplate(pos) : nullptr)
        {
            POSITION docPos = pTemplate->GetFirstDocPosition();
            while (docPos)
            {
                pTemplate->GetNextDoc(docPos);
                ++n;
            }
        }
    });
    return n;
}

bool CSoakDriver::WaitActivePage(const char* pszPart, CParvelView*& pView, int nTimeoutMs)
{
    return WaitOnGui([&] {
        pView = ActivePage();
        return PageLoaded(pView, pszPart);
    }, nTimeoutMs);
}

bool CSoakDriver::CloseActiveTab()
{
    const int nBefore = TabCount();
    HWND hChild = nullptr;
    OnGui([&] {
        CMDIChildWndEx* pChild = Frame() ? Frame()->MDIGetActive() : nullptr;
        hChild = pChild ? pChild->GetSafeHwnd() : nullptr;
    });
    if (!hChild || !::PostMessage(hChild, WM_CLOSE, 0, 0))
        return Fail("no tab to close");
    return WaitOnGui([&] { return !::IsWindow(hChild); }, 30000) && TabCount() == nBefore - 1
               ? true
               : Fail("the tab did not close");
}

std::string CSoakDriver::Script(CParvelView* pView, const std::string& script)
{
    // While the page waits in one of its window.external calls it runs no script: asked again.
    std::string result;
    PollUntil([&] {
        OnGui([&] { result = PageScript(pView, script, 30000); });
        return result != "!the page cannot run script now";
    }, 30000, 10);
    return result;
}

bool CSoakDriver::ClickWindow(HWND hWnd)
{
    RECT rc{};
    OnGui([&] { ::GetWindowRect(hWnd, &rc); });
    return XdoClickAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

// Another window may hold the pointer's place for a moment: the click is made again until it took.
bool CSoakDriver::ClickUntilFocused(HWND hWnd)
{
    for (int i = 0; i < 5; ++i)
        if (ClickWindow(hWnd) && WaitOnGui([&] { return ::GetFocus() == hWnd; }, 2000))
            return true;
    return false;
}

HWND CSoakDriver::FindSignOnDialog(int nTimeoutMs)
{
    HWND hFound = nullptr;
    WaitOnGui([&] {
        // The frame carries the instance mark too, but it is hidden while the dialog is up.
        HWND h = nullptr;
        EnumWindows(FindPreviousInstanceProc, (LPARAM)&h);
        HWND hFrame = theApp.m_pMainWnd ? theApp.m_pMainWnd->GetSafeHwnd() : nullptr;
        if (h && h != hFrame && ::IsWindowVisible(h))
            hFound = h;
        return hFound != nullptr;
    }, nTimeoutMs);
    return hFound;
}

bool CSoakDriver::TypeIntoDialog(HWND hDlg, int nId, const char* pszText)
{
    HWND hEdit = nullptr;
    OnGui([&] { hEdit = ::GetDlgItem(hDlg, nId); });
    if (!hEdit)
        return Fail("the sign-on dialog has no edit " + std::to_string(nId));
    if (!ClickUntilFocused(hEdit))
        return Fail("the edit " + std::to_string(nId) + " never took the focus");
    return Xdo(std::string("type --delay 15 ") + pszText) ? true : Fail("xdotool could not type");
}

bool CSoakDriver::WorkersIdle()
{
    auto idle = [] {
        HANDLE h = OpenMutex(SYNCHRONIZE, FALSE, PRINT_PDF_MUTEX);
        if (h)
            CloseHandle(h);
        return !h && theApp.m_waitDlg.GetSafeHwnd() == nullptr;
    };
    return WaitOnGui(idle, 60000);
}

bool CSoakDriver::SignOn()
{
    HWND hDlg = FindSignOnDialog(60000);
    if (!hDlg)
        return Fail("no sign-on dialog");
    if (!TypeIntoDialog(hDlg, IDC_EDIT_ACCOUNT, kAccount) || !TypeIntoDialog(hDlg, IDC_EDIT_PASSWORD, kPassword))
        return false;
    if (!Xdo("key Return"))
        return Fail("xdotool could not press Return");
    // The first page is the branch system's, entered with the sign-on's ticket; it loads the menus.
    CParvelView* pView = nullptr;
    if (!WaitActivePage("kesta_cas_login.php?ticket=", pView, 60000))
        return Fail("the first page never came");
    if (!WaitOnGui([&] {
            m_menuIds.clear();
            for (int nId = ID_SERVER_MENU_FIRST; nId < ID_SERVER_MENU_FIRST + 100; ++nId)
            {
                MENU_ITEM* pItem = CVelkorMenu::GetInstance().FindItem(nId);
                if (pItem && pItem->action && strstr(pItem->action, "/kesta/biz/"))
                    m_menuIds.push_back(nId);
            }
            return !m_menuIds.empty();
        }, 30000))
        return Fail("the server menus never came");
    // The start-up gives the label and import services their built-in addresses.
    OnGui([&] {
        COptionCtrl().SetServerUrlInfo("", "", "", m_devnet.Url("labelpdf").c_str(), m_devnet.Url("import").c_str(), "");
    });
    return true;
}

bool CSoakDriver::MenuPage(CParvelView*& pView)
{
    const int nId = m_menuIds[(size_t)m_nCycle % m_menuIds.size()];
    const int nBefore = TabCount();
    if (!::PostMessage(FrameHwnd(), WM_COMMAND, MAKEWPARAM(nId, 0), 0))
        return Fail("the frame took no command");
    if (!WaitOnGui([&] { return TabCount() == nBefore + 1; }, 30000) || !WaitActivePage("/kesta/biz/", pView))
        return Fail("the server-menu page " + std::to_string(nId) + " never loaded");
    return true;
}

bool CSoakDriver::PrintLabel(CParvelView* pView)
{
    // The page keeps what its print_complete was told.
    Script(pView, "window.soakText = ''; if (!window.soakHooked) { window.soakHooked = 1;"
                  " var page = window.print_complete; window.print_complete = function (o, t, k) {"
                  " window.soakText = String(t); return page(o, t, k); }; } ''");
    const std::string order = "VKS" + std::to_string(getpid()) + "N" + std::to_string(m_nCycle);
    Script(pView, "setTimeout(function () { window.external.printMailLable('" + order + "', '4*8'); }, 0); ''");
    std::string text;
    if (!PollUntil([&] { return !(text = Script(pView, "window.soakText")).empty(); }, 60000, 20))
        return Fail("no print_complete for " + order);
    if (CCodePage::Utf8ToAnsi(text) != "成功！")
        return Fail("the label " + order + " came back with \"" + text + "\"");
    return WorkersIdle() ? true : Fail("the print worker never ended");
}

bool CSoakDriver::WaitDialog(CParvelView* pView)
{
    Script(pView, "setTimeout(function () { window.external.showWaitDialog('\\u8bf7\\u7a0d\\u5019'); }, 0); ''");
    if (!WaitOnGui([] {
            HWND h = theApp.m_waitDlg.GetSafeHwnd();
            return h && ::IsWindowVisible(h);
        }, 30000))
        return Fail("the wait dialog never showed");
    Script(pView, "setTimeout(function () { window.external.hideWaitDialog(); }, 0); ''");
    return WaitOnGui([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 30000) ? true
                                                                                     : Fail("the wait dialog stayed");
}

bool CSoakDriver::TipMessage()
{
    int nAccepted = 0;
    OnGui([&] {
        nAccepted = CNewsInterface::GetInstance()->AddNews(1, ("消息 " + std::to_string(m_nCycle)).c_str(),
                                                           "网点今日通知", "dialog", "", "网点/通知/",
                                                           "2026-12-11 09:00:00");
    });
    if (nAccepted != 1)
        return Fail("the message was refused");
    auto tipShown = [] { return NewsTipBox() && NewsTipBox()->Tip().IsVisible(); };
    if (!WaitOnGui(tipShown, 30000))
        return Fail("the tip never showed");
    // Messages of the poll may stand in the queue too: each close shows the next.
    int nMissed = 0;
    for (int i = 0; i < 20; ++i)
    {
        int nQueued = 0;
        const CNewsItem* pHead = nullptr;
        POINT pt{};
        bool bShown = false;
        OnGui([&] {
            CNewsTipWnd& tip = NewsTipBox()->Tip();
            bShown = tip.IsVisible();
            nQueued = NewsTipBox()->Count();
            pHead = NewsTipBox()->ItemAt(0);
            RECT rc{};
            ::GetWindowRect(tip.GetSafeHwnd(), &rc);
            const RECT& r = tip.Item(CNewsTipWnd::ItemClose).rect;
            pt = POINT{ rc.left + (r.left + r.right) / 2, rc.top + (r.top + r.bottom) / 2 };
        });
        if (!bShown && nQueued == 0)
            return true;
        // The tip shows before it moves into its corner: a click that missed is made again where it
        // stands. A poll's message may come meanwhile, so the close is told by the head that went.
        if (!XdoClickAt(pt.x, pt.y) || !WaitOnGui([&] { return NewsTipBox()->ItemAt(0) != pHead; }, 3000))
            ++nMissed;
        if (nMissed > 3)
            return Fail("the tip's close did nothing");
    }
    return Fail("the tip never emptied");
}

bool CSoakDriver::WaybillQuery()
{
    HWND hEdit = nullptr;
    OnGui([&] {
        auto* pButton = dynamic_cast<CSearchEditButton*>(Frame()->m_wndSearchBar.GetButton(0));
        hEdit = pButton && pButton->m_pSearchEdit ? pButton->m_pSearchEdit->GetSafeHwnd() : nullptr;
    });
    if (!hEdit)
        return Fail("no waybill box");
    if (!ClickUntilFocused(hEdit))
        return Fail("the waybill box never took the focus");
    char szNumber[16];
    snprintf(szNumber, sizeof(szNumber), "9%012d", m_nCycle);
    const int nBefore = TabCount();
    if (!Xdo(std::string("type --delay 5 ") + szNumber) || !Xdo("key Return"))
        return Fail("xdotool could not type the waybill number");
    CParvelView* pView = nullptr;
    if (!WaitOnGui([&] { return TabCount() == nBefore + 1; }, 60000) ||
        !WaitActivePage((std::string("gox.php?wen=") + szNumber).c_str(), pView))
        return Fail("no result page for the waybill " + std::string(szNumber));
    return CloseActiveTab();
}

bool CSoakDriver::LockAndUnlock()
{
    HWND hEdit = nullptr;
    OnGui([&] {
        auto* pButton = dynamic_cast<CSearchEditButton*>(Frame()->m_wndSearchBar.GetButton(0));
        hEdit = pButton && pButton->m_pSearchEdit ? pButton->m_pSearchEdit->GetSafeHwnd() : nullptr;
    });
    HWND hDlg = nullptr;
    // The operator's keys on the frame.
    for (int i = 0; i < 5 && !hDlg; ++i)
    {
        if (hEdit)
            ClickUntilFocused(hEdit);
        Xdo("key --clearmodifiers ctrl+l");
        hDlg = FindSignOnDialog(5000);
    }
    if (!hDlg)
        return Fail("Ctrl+L brought no unlock dialog");
    if (!TypeIntoDialog(hDlg, IDC_EDIT_PASSWORD, kPassword) || !Xdo("key Return"))
        return false;
    const HWND hFrame = FrameHwnd();
    return WaitOnGui([&] { return !::IsWindow(hDlg) && ::IsWindowVisible(hFrame); }, 60000)
               ? true
               : Fail("the unlock did not bring the frame back");
}

bool CSoakDriver::Cycle()
{
    CParvelView* pView = nullptr;
    auto step = [this](const char* pszName) {
        if (m_settings.bSteps)
        {
            static long s_nRecords = AfxWindowRecordCount();
            static DWORD s_nGdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
            const long nRecords = AfxWindowRecordCount();
            const DWORD nGdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
            fprintf(stderr, "cycle %d after %s: records %+ld gdi %+ld\n", m_nCycle, g_pszStep.load(),
                    nRecords - s_nRecords, (long)nGdi - (long)s_nGdi);
            s_nRecords = nRecords;
            s_nGdi = nGdi;
        }
        g_pszStep = pszName;
        return true;
    };
    return step("menu page") && MenuPage(pView) && step("label") && PrintLabel(pView) && step("wait dialog") &&
           WaitDialog(pView) && step("tab close") && CloseActiveTab() && step("tip") && TipMessage() &&
           step("waybill") && WaybillQuery() && step("lock") && LockAndUnlock() && step("between cycles");
}

SAMPLE CSoakDriver::Sample()
{
    // Records of windows just destroyed go after the event that destroyed them: the count is read
    // once two reads a moment apart agree.
    long nLast = -1;
    PollUntil([&] {
        const long n = AfxWindowRecordCount();
        const bool bSteady = n == nLast;
        nLast = n;
        return bSteady;
    }, 5000, 200);
    SAMPLE s{};
    s.nCycle = m_nCycle;
    const pid_t pid = getpid();
    s.dRssKb = (double)RssKb(pid);
    s.dThreads = (double)ProcStatusValue(pid, "Threads");
    s.dFds = (double)OpenFdCount(pid);
    s.dRecords = (double)AfxWindowRecordCount();
    s.dGdi = (double)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    s.dWebKitKb = (double)TreeRssKb(pid, "WebKit", false);
    m_probe.TakeStretch(s.dStallMs, s.pszStallStep, s.dRequestMs);
    return s;
}

void CSoakDriver::PrintSample(const SAMPLE& s)
{
    printf("cycle %6d  rss %8.0f kB  threads %3.0f  fds %4.0f  records %5.0f  gdi %5.0f  webkit %8.0f kB"
           "  stall %6.1f ms (%s)  in-request %8.1f ms\n",
           s.nCycle, s.dRssKb, s.dThreads, s.dFds, s.dRecords, s.dGdi, s.dWebKitKb, s.dStallMs, s.pszStallStep,
           s.dRequestMs);
    fflush(stdout);
}

// Least-squares growth per cycle of one figure over the samples after the warm-up.
double Slope(const std::vector<SAMPLE>& samples, double SAMPLE::*field)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const SAMPLE& s : samples)
    {
        n += 1;
        sx += s.nCycle;
        sy += s.*field;
        sxx += (double)s.nCycle * s.nCycle;
        sxy += s.nCycle * (s.*field);
    }
    const double d = n * sxx - sx * sx;
    return n < 2 || d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

int CSoakDriver::Verdict() const
{
    const int nWarmup = m_settings.nWarmup >= 0 ? m_settings.nWarmup : m_settings.nCycles / 5;
    std::vector<SAMPLE> after;
    for (const SAMPLE& s : m_samples)
        if (s.nCycle >= nWarmup)
            after.push_back(s);
    if (after.size() < 2)
    {
        fprintf(stderr, "soak: too few samples after the warm-up of %d cycles\n", nWarmup);
        return 3;
    }
    const double dSpan = after.back().nCycle - after.front().nCycle;
    struct FIGURE
    {
        const char* pszName;
        double SAMPLE::*field;
        const char* pszUnit;
        double dLimit;  // per cycle; below 0: none
    };
    // Counted figures are flat: less than one more over the whole measured span.
    const FIGURE figures[] = {
        { "rss", &SAMPLE::dRssKb, "kB", 2.0 },
        { "threads", &SAMPLE::dThreads, "", 1.0 / dSpan },
        { "fds", &SAMPLE::dFds, "", 1.0 / dSpan },
        { "records", &SAMPLE::dRecords, "", 1.0 / dSpan },
        { "gdi", &SAMPLE::dGdi, "", 1.0 / dSpan },
        { "webkit", &SAMPLE::dWebKitKb, "kB", -1 },
    };
    int nStatus = 0;
    printf("growth per cycle over cycles %d..%d (%zu samples):\n", after.front().nCycle, after.back().nCycle,
           after.size());
    for (const FIGURE& f : figures)
    {
        const double dSlope = Slope(after, f.field);
        const bool bOver = f.dLimit >= 0 && dSlope >= f.dLimit;
        printf("  %-8s %+10.4f %s/cycle  (%.0f -> %.0f)%s\n", f.pszName, dSlope, f.pszUnit, after.front().*f.field,
               after.back().*f.field, f.dLimit < 0 ? "" : bOver ? "  OVER THE LIMIT" : "  ok");
        if (bOver)
            nStatus = 1;
    }
    double dStall = 0, dRequest = 0;
    for (const SAMPLE& s : m_samples)
    {
        dStall = std::max(dStall, s.dStallMs);
        dRequest = std::max(dRequest, s.dRequestMs);
    }
    const bool bStall = dStall >= 100;
    printf("  longest GUI answer outside requests %.1f ms%s; longest request on the GUI thread %.1f ms\n", dStall,
           bStall ? "  OVER THE LIMIT" : "  ok", dRequest);
    printf("%d cycles in %.0f s (%.2f s a cycle)\n", m_nCycle, (NowMs() - m_dStartMs) / 1000,
           (NowMs() - m_dStartMs) / 1000 / std::max(1, m_nCycle));
    if (bStall)
        nStatus = 1;
    return nStatus;
}

int CSoakDriver::Run()
{
    if (!SignOn())
        return 3;
    m_probe.Start(FrameHwnd());
    m_dStartMs = NowMs();
    WorkersIdle();
    m_samples.push_back(Sample());
    PrintSample(m_samples.back());
    int nStatus = 0;
    for (m_nCycle = 1; m_nCycle <= m_settings.nCycles; ++m_nCycle)
    {
        if (!Cycle())
        {
            nStatus = 3;
            break;
        }
        if (m_nCycle % m_settings.nEvery == 0 || m_nCycle == m_settings.nCycles)
        {
            m_samples.push_back(Sample());
            PrintSample(m_samples.back());
        }
    }
    if (nStatus == 0)
        nStatus = Verdict();
    else
        --m_nCycle;
    m_probe.Stop();
    return nStatus;
}

bool ParseArguments(int argc, char** argv, SETTINGS& settings)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool bValue = i + 1 < argc;
        if (arg == "--cycles" && bValue)
            settings.nCycles = atoi(argv[++i]);
        else if (arg == "--every" && bValue)
            settings.nEvery = atoi(argv[++i]);
        else if (arg == "--warmup" && bValue)
            settings.nWarmup = atoi(argv[++i]);
        else if (arg == "--fault" && bValue)
            settings.faults.push_back(argv[++i]);
        else if (arg == "--steps")
            settings.bSteps = true;
        else if (arg == "--message-hung")
            settings.faults.push_back("message:hang");
        else
            return false;
    }
    return settings.nCycles > 0 && settings.nEvery > 0;
}
}  // namespace

int main(int argc, char** argv)
{
    SETTINGS settings;
    if (!ParseArguments(argc, argv, settings))
    {
        fprintf(stderr, "usage: soak_bench [--cycles N] [--every N] [--warmup N] [--fault SERVICE:MODE]... "
                        "[--message-hung] [--steps]\n");
        return 2;
    }
    const std::string folder = MakeTempFolder("parvel-soak");
    if (folder.empty() || chdir(folder.c_str()) != 0)
        return 2;
    setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);
    setenv("PARVEL_MSGBOX_LOG", (folder + "/msgbox.log").c_str(), 1);
    setenv("PARVEL_SHELL_LOG", (folder + "/shell.log").c_str(), 1);
    setenv("PARVEL_HKLM_HIVE", (folder + "/hklm.hive").c_str(), 1);
    setenv("PARVEL_HKCU_HIVE", (folder + "/hkcu.hive").c_str(), 1);
    setenv("PARVEL_MUTEX_DIR", (folder + "/mutex").c_str(), 1);
    setenv("PARVEL_AUTOSTART_SYSTEM", (folder + "/autostart-system").c_str(), 1);
    setenv("PARVEL_AUTOSTART_USER", (folder + "/autostart-user").c_str(), 1);
    int nStatus = 3;
    {
        std::vector<std::string> devnetArgs = { "--quiet" };
        for (const std::string& fault : settings.faults)
        {
            devnetArgs.push_back("--fault");
            devnetArgs.push_back(fault);
        }
        CDevnetProcess devnet(devnetArgs);
        if (!devnet.IsReady())
        {
            fprintf(stderr, "devnet did not start\n%s", devnet.Log().c_str());
            return 2;
        }
        COptionData& options = COptionCtrl::GetOptionData();
        (options.*CPrivate<LoginUrlTag>::s_member)(devnet.Url("cas_https").c_str());
        (options.*CPrivate<AuthorityUrlTag>::s_member)(devnet.Url("authority").c_str());
        options.*CPrivate<HomePageTag>::s_member = devnet.Url("home").c_str();
        options.*CPrivate<TransListTag>::s_member = devnet.Url("translist").c_str();
        options.*CPrivate<UpdateUrlTag>::s_member = devnet.Url("update").c_str();
        options.*CPrivate<MessageUrlTag>::s_member = devnet.Url("message").c_str();
        COptionCtrl().SetServerUrlInfo(devnet.Url("firstlink").c_str(), devnet.Url("query").c_str(), "", "", "", "");
        g_pszQueryTokenUrl = strdup(devnet.Url("querytoken").c_str());

        char* args[] = { argv[0], nullptr };
        if (!AfxWinInit(1, args))
            return 2;
        CSoakDriver driver(settings, devnet);
        std::thread work([&] {
            nStatus = driver.Run();
            // The day ends as the operator ends it; a sign-on that never went through is cancelled.
            HWND hFrame = nullptr;
            OnGui([&] { hFrame = theApp.m_pMainWnd ? theApp.m_pMainWnd->GetSafeHwnd() : nullptr; });
            if (hFrame)
                ::PostMessage(hFrame, WM_COMMAND, ID_QUIT, 0);
            else if (HWND hDlg = driver.SignOnDialog())
                ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        AfxWinMain(1, args);
        work.join();
    }
    RemoveFolder(folder);
    fflush(stdout);
    _exit(nStatus);
}
