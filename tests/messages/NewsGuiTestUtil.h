// Helpers of the message component's window tests: the host window that hears WM_SHOWNEWS, real
// pointer input through xdotool, and screen pixels read back from the X server.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "AfxWin.h"
#include "GuiWait.h"
#include "MessagesTestUtil.h"
#include "NewsInterface.h"
#include "XPixels.h"

// A hidden top-level window standing in for the main frame. For every WM_SHOWNEWS it keeps the
// record's title and id, and the row's isRead in the database at that moment.
class CTestHost : public CWnd
{
public:
    struct Shown
    {
        std::string id;
        std::string title;
        std::string isReadThen;
    };

    explicit CTestHost(const std::string& dbFile) : m_dbFile(dbFile)
    {
        CreateEx(0, nullptr, "news host", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100), nullptr, 0);
    }
    ~CTestHost() override
    {
        if (m_hWnd) DestroyWindow();
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SHOWNEWS) {
            const CNewsItem* pItem = reinterpret_cast<const CNewsItem*>(lParam);
            Shown s;
            if (pItem) {
                s.id = pItem->GetId();
                s.title = pItem->GetTitle();
                s.isReadThen = QueryText(m_dbFile, "select isRead from dbMsgRecord where id='" + s.id + "'");
            }
            shown.push_back(s);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<Shown> shown;

private:
    std::string m_dbFile;
};

// Runs xdotool with a time bound; true when it succeeded.
inline bool Xdo(const std::string& args)
{
    std::string cmd = "timeout 10 xdotool " + args + " >/dev/null 2>&1";
    return system(cmd.c_str()) == 0;
}

inline bool MoveMouse(int x, int y) { return Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y)); }


// Saves the screen into a PNG file when PARVEL_SCREENSHOT_DIR names a folder (for a look by eye).
void SaveScreenshot(const char* name);
