// A second start of the program finds this process's marked main window and ends without
// creating anything.
#include "SignonTestSupport.h"

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include "ParvelApp.h"
#include "TestFiles.h"
#include "X11Window.h"

// True when the X window is mapped with its parents, so another process's window list shows it.
bool IsShownOnX(unsigned long xid);

namespace
{
class CShowFrame : public CFrameWnd
{
public:
    std::atomic<int> m_nShowStatus{-1};

protected:
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus)
    {
        if (bShow && nStatus != 0)
            m_nShowStatus = (int)nStatus;
        CFrameWnd::OnShowWindow(bShow, nStatus);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CShowFrame, CFrameWnd)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

// Runs the program in an empty folder of its own; true when it ended within the time. The GUI
// thread goes on serving its windows meanwhile.
bool RunSecondStart(std::string& folder)
{
    folder = MakeTempFolder("parvel-second");
    pid_t pid = fork();
    if (pid == 0)
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (chdir(folder.c_str()) == 0)
            execl(PARVEL_PROGRAM, PARVEL_PROGRAM, (char*)nullptr);
        _exit(127);
    }
    bool bEnded = WaitOnGui([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 20000);
    if (!bEnded)
    {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return bEnded;
}

TEST(InstanceActivationTest, SecondStartFindsTheMarkedMainWindowAndEnds)
{
    CShowFrame* pFrame = new CShowFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    HWND hFrame = pFrame->GetSafeHwnd();
    ::SetProp(hFrame, GetParvelTitle(), (HANDLE)(ULONG_PTR)PROP_INSTANCE_MARK);
    pFrame->ShowWindow(SW_SHOWNORMAL);
    ASSERT_TRUE(WaitOnGui([&] { return IsShownOnX(AfxGetX11Window(hFrame)); }, 5000));

    std::string folder;
    EXPECT_TRUE(RunSecondStart(folder));
    EXPECT_EQ(FolderEntries(folder), std::set<std::string>()) << folder;
    // A window that is not minimised gets no show message.
    WaitOnGui([&] { return pFrame->m_nShowStatus != -1; }, 1000);
    EXPECT_EQ(pFrame->m_nShowStatus, -1);

    ::DestroyWindow(hFrame);
    RemoveFolder(folder);
}
}  // namespace

#include <X11/Xlib.h>

bool IsShownOnX(unsigned long xid)
{
    if (!xid)
        return false;
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
        return false;
    XWindowAttributes attributes;
    const bool bViewable = XGetWindowAttributes(pDisplay, (Window)xid, &attributes) && attributes.map_state == IsViewable;
    XCloseDisplay(pDisplay);
    return bViewable;
}
