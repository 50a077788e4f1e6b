// Window properties, the window walk and calls between two real processes on the X server.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include "AfxWin.h"
#include "../support/GuiWait.h"
#include "CodePage.h"
#include "X11Window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

class GuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static char name[] = "platform_x11_tests";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(AfxWinInit(1, argv));
    }
    void TearDown() override { AfxWinTerm(); }
};
::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Pumps our own GUI while waiting, so our windows stay served; false when the time ran out.

// One peer process with a window of its own.
class Peer
{
public:
    Peer(const char* titleGbk, const char* propGbk, bool bMinimised = false)
    {
        char tmpl[] = "/tmp/x11peer.XXXXXX";
        int fd = mkstemp(tmpl);
        if (fd >= 0) close(fd);
        m_report = tmpl;
        std::string title = CCodePage::AnsiToUtf8(titleGbk);
        std::string prop = propGbk ? CCodePage::AnsiToUtf8(propGbk) : std::string();
        m_pid = fork();
        if (m_pid == 0)
        {
            if (propGbk && bMinimised)
                execl(PARVEL_X11_PEER, PARVEL_X11_PEER, m_report.c_str(), title.c_str(), prop.c_str(), "minimised",
                      (char*)nullptr);
            else if (propGbk)
                execl(PARVEL_X11_PEER, PARVEL_X11_PEER, m_report.c_str(), title.c_str(), prop.c_str(), (char*)nullptr);
            else
                execl(PARVEL_X11_PEER, PARVEL_X11_PEER, m_report.c_str(), title.c_str(), (char*)nullptr);
            _exit(127);
        }
        m_ready = WaitFor([&] { return ReadAll(m_report).find("READY") != std::string::npos; });
        if (m_ready)
        {
            std::string report = ReadAll(m_report);
            std::sscanf(report.c_str() + report.find("READY"), "READY %lu", &m_xid);
        }
    }
    ~Peer()
    {
        if (m_pid > 0 && !m_ended)
        {
            kill(m_pid, SIGTERM);
            Reap(3000);
            if (!m_ended) { kill(m_pid, SIGKILL); waitpid(m_pid, nullptr, 0); }
        }
        unlink(m_report.c_str());
    }
    bool Reap(int ms)
    {
        if (!m_ended)
            m_ended = PollUntil([this] { return waitpid(m_pid, nullptr, WNOHANG) == m_pid; }, (unsigned)ms, 20);
        return m_ended;
    }
    bool Saw(const std::string& line) { return WaitFor([&] { return ReadAll(m_report).find(line) != std::string::npos; }); }

    bool m_ready = false;
    unsigned long m_xid = 0;
    HWND Handle() const { return AfxHandleFromX11Window(m_xid); }

private:
    std::string m_report;
    pid_t m_pid = -1;
    bool m_ended = false;
};

std::string UniqueMark()
{
    CString s;
    s.Format("速递网点测试标记%d", (int)getpid());
    return s.GetString();
}

struct Search
{
    const char* prop;
    HWND found;
};

// The single-instance lookup the program makes at start-up.
BOOL CALLBACK FindMarked(HWND hWnd, LPARAM lParam)
{
    Search* s = (Search*)lParam;
    if (::GetProp(hWnd, s->prop) == (HANDLE)(uintptr_t)0x1111)
    {
        s->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK Collect(HWND hWnd, LPARAM lParam)
{
    ((std::vector<HWND>*)lParam)->push_back(hWnd);
    return TRUE;
}

unsigned long FocusedWindow()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    XCloseDisplay(d);
    return focus;
}

}  // namespace

TEST(X11CrossProcess, SecondProcessFindsOnlyTheMarkedWindow)
{
    std::string mark = UniqueMark();
    Peer marked("Velkor速递网点客户端", mark.c_str());
    Peer plain("Velkor速递网点客户端", nullptr);
    ASSERT_TRUE(marked.m_ready);
    ASSERT_TRUE(plain.m_ready);

    Search s{mark.c_str(), nullptr};
    EXPECT_FALSE(EnumWindows(&FindMarked, (LPARAM)&s));  // stopped at the find
    ASSERT_NE(nullptr, s.found);
    EXPECT_EQ(marked.m_xid, AfxGetX11Window(s.found));
    EXPECT_TRUE(AfxIsForeignWindow(s.found));

    // The walk does see the unmarked window, it only lacks the property.
    std::vector<HWND> all;
    EXPECT_TRUE(EnumWindows(&Collect, (LPARAM)&all));
    HWND plainWnd = plain.Handle();
    EXPECT_NE(all.end(), std::find(all.begin(), all.end(), plainWnd));
    EXPECT_EQ(nullptr, ::GetProp(plainWnd, mark.c_str()));
    // A name no window carries at all.
    EXPECT_EQ(nullptr, ::GetProp(s.found, "从未用过的属性名"));
}

TEST(X11CrossProcess, TitleOfAnotherProcessWindowComesBackAsGbk)
{
    Peer peer("打印", nullptr);
    ASSERT_TRUE(peer.m_ready);
    char title[64] = {};
    EXPECT_EQ(4, ::GetWindowText(peer.Handle(), title, sizeof title));
    EXPECT_STREQ("打印", title);
    EXPECT_EQ(4, ::GetWindowTextLength(peer.Handle()));
    char shortBuf[3] = {};
    EXPECT_EQ(2, X11GetWindowText(peer.Handle(), shortBuf, sizeof shortBuf));  // cut to the buffer
}

TEST(X11CrossProcess, ForegroundAndRestoreReachTheFirstProcess)
{
    std::string mark = UniqueMark();
    Peer first("Velkor速递网点客户端", mark.c_str());
    ASSERT_TRUE(first.m_ready);
    Search s{mark.c_str(), nullptr};
    EnumWindows(&FindMarked, (LPARAM)&s);
    ASSERT_NE(nullptr, s.found);

    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ASSERT_TRUE(GetWindowPlacement(s.found, &wp));
    EXPECT_EQ((UINT)SW_SHOWNORMAL, wp.showCmd);

    // Brought to the foreground: the first process itself takes the input focus.
    ASSERT_TRUE(::SetForegroundWindow(s.found));
    EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == first.m_xid; }));

    // Minimised, it reads as show command 2, and the show message reaches its window.
    ASSERT_TRUE(CloseWindow(s.found));
    ASSERT_TRUE(GetWindowPlacement(s.found, &wp));
    EXPECT_EQ((UINT)SW_SHOWMINIMIZED, wp.showCmd);
    ::SendMessage(s.found, WM_SHOWWINDOW, TRUE, 4);
    EXPECT_TRUE(first.Saw("WM_SHOWWINDOW 1 4"));

    // Shown again from here: mapped and normal.
    ASSERT_TRUE(X11ShowWindow(s.found, SW_RESTORE));
    EXPECT_EQ((UINT)SW_SHOWNORMAL, (GetWindowPlacement(s.found, &wp), wp.showCmd));
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    XWindowAttributes attr{};
    EXPECT_TRUE(WaitFor([&] { return XGetWindowAttributes(d, first.m_xid, &attr) && attr.map_state == IsViewable; }));
    XCloseDisplay(d);
}

namespace {

// What a window manager does to a client's WM_STATE: state 1 normal, 3 iconic, or removed.
void SetManagerState(unsigned long xid, long state)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    Atom wmState = XInternAtom(d, "WM_STATE", False);
    if (state < 0)
        XDeleteProperty(d, xid, wmState);
    else
    {
        long data[2] = {state, 0};
        XChangeProperty(d, xid, wmState, wmState, 32, PropModeReplace, (unsigned char*)data, 2);
    }
    XSync(d, False);
    XCloseDisplay(d);
}

UINT ShowCmdOf(HWND h)
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    return GetWindowPlacement(h, &wp) ? wp.showCmd : 0;
}

}  // namespace

TEST(X11CrossProcess, MinimisedThenHiddenStillReadsAsMinimised)
{
    // The tray road under a window manager: iconic, then withdrawn (the manager drops WM_STATE).
    std::string mark = UniqueMark();
    Peer first("Velkor速递网点客户端", mark.c_str());
    ASSERT_TRUE(first.m_ready);
    HWND h = first.Handle();
    SetManagerState(first.m_xid, 3);
    EXPECT_EQ((UINT)SW_SHOWMINIMIZED, ShowCmdOf(h));
    // The first process notes it; once WM_STATE is gone the note still tells.
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    Atom iconic = XInternAtom(d, "_PARVEL_ICONIC", False);
    auto noted = [&](unsigned long want) {
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(d, first.m_xid, iconic, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data);
        bool ok = type == XA_CARDINAL && n == 1 && ((unsigned long*)data)[0] == want;
        if (data) XFree(data);
        return ok;
    };
    EXPECT_TRUE(WaitFor([&] { return noted(1); }));
    SetManagerState(first.m_xid, -1);
    EXPECT_EQ((UINT)SW_SHOWMINIMIZED, ShowCmdOf(h));
    // Restored: normal again, and a later hide (the lock road) is not taken for minimised.
    SetManagerState(first.m_xid, 1);
    EXPECT_TRUE(WaitFor([&] { return noted(0); }));
    SetManagerState(first.m_xid, -1);
    EXPECT_EQ((UINT)SW_SHOWNORMAL, ShowCmdOf(h));
    XCloseDisplay(d);
}

TEST(X11CrossProcess, OwnMinimiseReadsAsMinimisedAndTheShowMessageRestores)
{
    // No window manager runs here: the first process publishes its iconic state itself.
    std::string mark = UniqueMark();
    Peer first("Velkor速递网点客户端", mark.c_str(), true);
    ASSERT_TRUE(first.m_ready);
    Search s{mark.c_str(), nullptr};
    EnumWindows(&FindMarked, (LPARAM)&s);
    ASSERT_NE(nullptr, s.found);
    EXPECT_TRUE(WaitFor([&] { return ShowCmdOf(s.found) == SW_SHOWMINIMIZED; })) << ShowCmdOf(s.found);
    // What a second start sends a minimised first instance.
    ::SendMessage(s.found, WM_SHOWWINDOW, TRUE, 4);
    EXPECT_TRUE(first.Saw("WM_SHOWWINDOW 1 4"));
    EXPECT_TRUE(WaitFor([&] { return ShowCmdOf(s.found) == SW_SHOWNORMAL; })) << ShowCmdOf(s.found);
}

TEST(X11CrossProcess, ShowWindowOfAnotherProcessWindowMinimisesAndRestoresIt)
{
    std::string mark = UniqueMark();
    Peer first("Velkor速递网点客户端", mark.c_str());
    ASSERT_TRUE(first.m_ready);
    HWND h = first.Handle();
    ASSERT_TRUE(AfxIsForeignWindow(h));
    ASSERT_TRUE(::ShowWindow(h, SW_MINIMIZE));
    EXPECT_TRUE(WaitFor([&] { return ShowCmdOf(h) == SW_SHOWMINIMIZED; })) << ShowCmdOf(h);
    ASSERT_TRUE(::ShowWindow(h, SW_RESTORE));
    EXPECT_TRUE(WaitFor([&] { return ShowCmdOf(h) == SW_SHOWNORMAL; })) << ShowCmdOf(h);
}

TEST(X11CrossProcess, PostedMessagesCarryTheirParametersAndCloseEndsThePeer)
{
    Peer peer("窗口消息", nullptr);
    ASSERT_TRUE(peer.m_ready);
    HWND h = peer.Handle();
    ASSERT_TRUE(::PostMessage(h, WM_APP + 5, 7, -3));
    EXPECT_TRUE(peer.Saw("WM_APP+5 7 -3"));
    ASSERT_TRUE(::PostMessage(h, WM_CLOSE, 0, 0));
    EXPECT_TRUE(peer.Saw("WM_CLOSE"));
    EXPECT_TRUE(peer.Reap(5000));
}

TEST(X11CrossProcess, ZOrderWalkRunsFromFirstToLast)
{
    Peer a("甲", nullptr), b("乙", nullptr);
    ASSERT_TRUE(a.m_ready);
    ASSERT_TRUE(b.m_ready);
    HWND first = GetWindow(a.Handle(), GW_HWNDFIRST);
    HWND last = GetWindow(a.Handle(), GW_HWNDLAST);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, last);
    bool sawA = false, sawB = false, reachedLast = false;
    HWND h = first;
    for (int i = 0; h && i < 5000; ++i, h = GetWindow(h, GW_HWNDNEXT))
    {
        sawA = sawA || h == a.Handle();
        sawB = sawB || h == b.Handle();
        if (h == last) { reachedLast = true; break; }
    }
    EXPECT_TRUE(sawA);
    EXPECT_TRUE(sawB);
    EXPECT_TRUE(reachedLast);
    EXPECT_EQ(nullptr, GetWindow(last, GW_HWNDNEXT));

    // The window brought to the foreground comes before the other in the walk.
    auto above = [&](HWND upper, HWND lower) {
        for (HWND w = GetWindow(upper, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT))
        {
            if (w == upper) return true;
            if (w == lower) return false;
        }
        return false;
    };
    ASSERT_TRUE(::SetForegroundWindow(a.Handle()));
    EXPECT_TRUE(WaitFor([&] { return above(a.Handle(), b.Handle()); }));
    ASSERT_TRUE(::SetForegroundWindow(b.Handle()));
    EXPECT_TRUE(WaitFor([&] { return above(b.Handle(), a.Handle()); }));
}

TEST(X11Properties, OwnWindowPropertyIsAnX11Cardinal)
{
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "本进程窗口", WS_OVERLAPPEDWINDOW, CRect(0, 0, 120, 80)));
    std::string mark = UniqueMark() + "自身";
    ASSERT_TRUE(::SetProp(frame->m_hWnd, mark.c_str(), (HANDLE)(uintptr_t)0x1111));
    EXPECT_EQ((HANDLE)(uintptr_t)0x1111, ::GetProp(frame->m_hWnd, mark.c_str()));

    // Another connection reads it under the UTF-8 atom name.
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    Atom atom = XInternAtom(d, CCodePage::AnsiToUtf8(mark).c_str(), True);
    ASSERT_NE((Atom)None, atom);
    auto read = [&](unsigned long* value) {
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(d, (Window)frame->GetX11Window(), atom, 0, 1, False, XA_CARDINAL, &type, &format, &n,
                           &after, &data);
        bool ok = type == XA_CARDINAL && format == 32 && n == 1;
        if (ok) *value = ((unsigned long*)data)[0];
        if (data) XFree(data);
        return ok;
    };
    unsigned long value = 0;
    EXPECT_TRUE(read(&value));
    EXPECT_EQ(0x1111u, value);

    EXPECT_EQ((HANDLE)(uintptr_t)0x1111, ::RemoveProp(frame->m_hWnd, mark.c_str()));
    EXPECT_EQ(nullptr, ::GetProp(frame->m_hWnd, mark.c_str()));
    EXPECT_FALSE(read(&value));
    XCloseDisplay(d);
    frame->DestroyWindow();
}

namespace {
// Reads a 32-bit CARDINAL property of a window on a connection of its own.
bool ReadCardinal(unsigned long xid, const std::string& nameGbk, unsigned long* value)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    bool ok = false;
    Atom atom = XInternAtom(d, CCodePage::AnsiToUtf8(nameGbk).c_str(), True);
    if (atom != None && xid)
    {
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(d, (Window)xid, atom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data);
        ok = type == XA_CARDINAL && format == 32 && n == 1;
        if (ok) *value = ((unsigned long*)data)[0];
        if (data) XFree(data);
    }
    XCloseDisplay(d);
    return ok;
}
}  // namespace

// Each window made after the last was destroyed, marked before it is first shown, carries its
// mark on X, and keeps it once shown.
TEST(X11Properties, EachLaterTopLevelWindowGetsItsPropertyOnX)
{
    const std::string mark = UniqueMark() + "后来";
    for (int round = 0; round < 4; ++round)
    {
        SCOPED_TRACE(round);
        CFrameWnd* frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, "后来的窗口", WS_OVERLAPPEDWINDOW, CRect(0, 0, 120, 80)));
        EXPECT_TRUE(::SetProp(frame->m_hWnd, mark.c_str(), (HANDLE)(uintptr_t)(0x1111 + round)));
        unsigned long value = 0;
        EXPECT_TRUE(ReadCardinal(frame->GetX11Window(), mark, &value));
        EXPECT_EQ(0x1111u + round, value);
        frame->ShowWindow(SW_SHOWNORMAL);
        value = 0;
        EXPECT_TRUE(ReadCardinal(frame->GetX11Window(), mark, &value));
        EXPECT_EQ(0x1111u + round, value);
        frame->DestroyWindow();
    }
}

namespace {
// Where a window stands among the root's children, higher above; -1 when not there.
int StackPosition(unsigned long xid)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) return -1;
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    int pos = -1;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n))
        for (unsigned int i = 0; i < n; ++i)
            if (kids[i] == (Window)xid) pos = (int)i;
    if (kids) XFree(kids);
    XCloseDisplay(d);
    return pos;
}

bool IsStackedAbove(HWND hUpper, HWND hLower)
{
    int upper = StackPosition(AfxGetX11Window(hUpper)), lower = StackPosition(AfxGetX11Window(hLower));
    return upper >= 0 && lower >= 0 && upper > lower;
}
}  // namespace

// Nobody keeps a topmost window above here but we: a normal window shown, raised or activated
// over it leaves it on top.
TEST(X11Stacking, TopmostWindowStaysAboveTheProcessOtherWindowsWithoutAManager)
{
    if (X11WindowManagerRuns()) GTEST_SKIP() << "a window manager keeps the order";
    CWnd tip;
    ASSERT_TRUE(tip.CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, nullptr, "置顶", WS_POPUP, CRect(900, 700, 1100, 820),
                             nullptr, 0));
    tip.ShowWindow(SW_SHOWNOACTIVATE);
    tip.SetWindowPos(&CWnd::wndTopMost, 900, 700, 200, 120, SWP_NOACTIVATE);

    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "主窗口", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 1024)));
    HWND hFrame = frame->m_hWnd;
    struct Step
    {
        const char* what;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"shown maximised", [&] { ::ShowWindow(hFrame, SW_SHOWMAXIMIZED); }},
        {"raised", [&] { ::SetWindowPos(hFrame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }},
        {"activated", [&] { ::SetForegroundWindow(hFrame); }},
        {"hidden and shown again", [&] { ::ShowWindow(hFrame, SW_HIDE); ::ShowWindow(hFrame, SW_SHOWNORMAL); }},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.what);
        step.act();
        // The frame is mapped first, so the order read after it is the settled one.
        ASSERT_TRUE(WaitFor([&] { return StackPosition(AfxGetX11Window(hFrame)) >= 0 && ::IsWindowVisible(hFrame); }));
        EXPECT_TRUE(WaitFor([&] { return IsStackedAbove(tip.m_hWnd, hFrame); }, 3000));
    }
    frame->DestroyWindow();
    tip.DestroyWindow();
}
