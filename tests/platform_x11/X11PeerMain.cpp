// A second process for the cross-process tests: opens one top-level window, marks it with a
// property when asked, and writes what reaches the window to a file, a line per event.
//   x11_peer <report file> <title, UTF-8> [<property name, UTF-8> [minimised]]
// Like the program's main frame, a show message with a status shows the window that way.
// Ends on WM_CLOSE, or by itself after 30 seconds so it never outlives a failed test.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include "AfxWin.h"
#include "CodePage.h"
#include "X11Window.h"

namespace {

FILE* g_report = nullptr;

void Report(const char* fmt, long a, long b, long c = 0)
{
    std::fprintf(g_report, fmt, a, b, c);
    std::fputc('\n', g_report);
    std::fflush(g_report);
}

class CPeerWnd : public CFrameWnd
{
public:
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus)
    {
        Report("WM_SHOWWINDOW %ld %ld", (long)bShow, (long)nStatus);
        CFrameWnd::OnShowWindow(bShow, nStatus);
        if (bShow && nStatus)
        {
            ShowWindow((int)nStatus);
            SetForegroundWindow();
        }
    }
    afx_msg LRESULT OnPeerPing(WPARAM wParam, LPARAM lParam)
    {
        Report("WM_APP+5 %ld %ld", (long)wParam, (long)lParam);
        return 0;
    }
    afx_msg void OnClose()
    {
        Report("WM_CLOSE %ld %ld", 0, 0);
        PostQuitMessage(0);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPeerWnd, CFrameWnd)
    ON_WM_SHOWWINDOW()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_APP + 5, &CPeerWnd::OnPeerPing)
END_MESSAGE_MAP()

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return 64;
    alarm(30);
    g_report = std::fopen(argv[1], "w");
    if (!g_report) return 65;
    if (!AfxWinInit(argc, argv)) return 66;
    std::string title = CCodePage::Utf8ToAnsi(argv[2]);
    CPeerWnd* wnd = new CPeerWnd;
    if (!wnd->Create(nullptr, title.c_str(), WS_OVERLAPPEDWINDOW, CRect(40, 40, 240, 160)))
        return 67;
    wnd->ShowWindow(SW_SHOW);
    wnd->UpdateWindow();
    if (argc > 3)
        ::SetProp(wnd->m_hWnd, CCodePage::Utf8ToAnsi(argv[3]).c_str(), (HANDLE)(uintptr_t)0x1111);
    if (argc > 4 && std::string(argv[4]) == "minimised")
        wnd->ShowWindow(SW_MINIMIZE);
    if (argc <= 3)
        X11InstallMessageFilter();
    Report("READY %ld %ld", (long)wnd->GetX11Window(), (long)::getpid());
    int code = AfxRunMessageLoop();
    if (::IsWindow(wnd->m_hWnd)) wnd->DestroyWindow();
    AfxWinTerm();
    std::fclose(g_report);
    return code;
}
