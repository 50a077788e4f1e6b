#include "WorkerTestUtil.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include "GuiWait.h"
#include "PollWait.h"
#include "KernelObject.h"
#include "PrintWaybillThread.h"
#include "TestFiles.h"
#include "X11Window.h"

bool Xdotool(const std::string& args)
{
    std::string cmd = "timeout 20 xdotool " + args + " >/dev/null 2>&1";
    int rc = system(cmd.c_str());
    if (rc != 0)
        fprintf(stderr, "xdotool %s: %d\n", args.c_str(), rc);
    return rc == 0;
}

unsigned long WaitForTopLevel(const char* pszTitle, DWORD dwTimeout)
{
    unsigned long xid = 0;
    PollUntil([&] {
        HWND hWnd = ::FindWindow(nullptr, pszTitle);
        return (xid = hWnd ? AfxGetX11Window(hWnd) : 0) != 0;
    }, dwTimeout, 20);
    return xid;
}

// The window may have its X11 id before it is mapped, when it cannot take the focus yet: ask again
// until the server says it has it.
static bool FocusTopLevel(unsigned long xid)
{
    const std::string strId = std::to_string(xid);
    return PollUntil([&] {
        if (system(("xdotool windowfocus " + strId + " >/dev/null 2>&1").c_str()) != 0)
            return false;
        std::string strFocus = RunText("xdotool getwindowfocus 2>/dev/null");
        return strFocus.substr(0, strFocus.find_last_not_of("\n") + 1) == strId;
    }, 10000, 50);
}

bool AnswerFileChooser(const std::string& strPath)
{
    unsigned long xid = WaitForTopLevel("打开");
    if (!xid || !FocusTopLevel(xid))
    {
        fprintf(stderr, "file chooser %lx not found or not focused\n", xid);
        return false;
    }
    if (strPath.empty())
        return Xdotool("key Escape");
    if (!Xdotool("key ctrl+l") || !Xdotool("type --delay 15 '" + strPath + "'"))
        return false;
    // The first Enter may only close the entry's completion list.
    for (int i = 0; i < 4; ++i)
    {
        if (!Xdotool("key Return"))
            return false;
        if (PollUntil([] { return !::FindWindow(nullptr, "打开"); }, 1500, 20))
            return true;
    }
    return false;
}

CChooserAnswer::CChooserAnswer(const std::string& strPath)
{
    m_thread = std::thread([this, strPath] {
        m_bOk = AnswerFileChooser(strPath);
        m_bDone = true;
    });
}

CChooserAnswer::~CChooserAnswer()
{
    WaitFor([this] { return m_bDone.load(); }, 60000);
    m_thread.join();
}

bool CChooserAnswer::Ok()
{
    WaitFor([this] { return m_bDone.load(); }, 60000);
    return m_bOk;
}

std::string QueueFolder()
{
    return std::string(getenv("HOME") ? getenv("HOME") : "/root") + "/PDF";
}

std::string FindPrintedLabel(const std::set<std::string>& before, const std::string& orderNo)
{
    for (const std::string& name : FolderEntries(QueueFolder()))
    {
        if (before.count(name))
            continue;
        std::string path = QueueFolder() + "/" + name;
        if (RunText("pdftotext '" + path + "' - 2>/dev/null").find(orderNo) != std::string::npos)
            return path;
    }
    return std::string();
}

std::string PdfPageSize(const std::string& path)
{
    std::string info = RunText("pdfinfo '" + path + "' 2>/dev/null");
    size_t pos = info.find("Page size:");
    if (pos == std::string::npos)
        return std::string();
    pos = info.find_first_not_of(' ', pos + 10);
    return info.substr(pos, info.find('\n', pos) - pos);
}

bool TurnIsHeld()
{
    HANDLE h = OpenMutex(SYNCHRONIZE, FALSE, PRINT_PDF_MUTEX);
    if (!h)
        return false;
    CloseHandle(h);
    return true;
}

std::string LogText(const std::string& folder)
{
    std::string text;
    for (const std::string& name : FolderEntries(folder + "/log"))
        text += ReadFile(folder + "/log/" + name);
    return text;
}
