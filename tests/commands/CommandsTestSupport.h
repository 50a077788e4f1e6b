// What the main-window command tests share: the real main frame in this process with a tray host,
// devnet on free ports for the sign-on, messages, waybill token and the browser installer, the
// option record pointed at it, and drivers that work windows from a thread of their own while the
// GUI thread sits in a modal loop.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include "AfxWin.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "MainFrm.h"
#include "RealInput.h"
#include "XPixels.h"

// The option record's fields the tests set directly (no public setter takes them).
void SetOptionUrl(const char* pszField, const char* pszValue);  // "login", "message", "update", "query"
void SetMinuteToOff(WORD wMinutes);  // 0 too
void SetFirstRun(int nFirstRun);
void SetMiniSizeAtExit(int nValue);

// The query-token service the waybill query asks (built into the client).
extern const char* g_pszQueryTokenUrl;

// The visible sign-on dialog (it carries the instance mark), from a driver thread; NULL when none
// came within the time.
HWND FindSignOnDialog(HWND hFrame, int nTimeoutMs = 10000);
// A visible top-level window of ours with this (ANSI) caption, from a driver thread.
HWND FindTopLevel(const char* pszCaption, int nTimeoutMs = 10000);

// Message boxes logged so far, "caption<TAB>text" in GBK; Clear empties the log.
std::vector<std::string> MessageBoxLines();
void ClearMessageBoxes();
// How the next message boxes are answered: "IDOK", "IDYES", "IDNO", ...
void AnswerMessageBoxes(const char* pszAnswer);

// A picture of the window as the screen shows it, written to path (PNG).
bool Screenshot(HWND hWnd, const std::string& path);

// The frame's fixture: devnet with the account demo/velkor2026 signed on through CAS, the frame
// made, shown maximised and made the application's main window.
class CFrameTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Makes and shows the frame (SetUp does it once).
    void MakeFrame();
    bool FrameAlive() const { return ::IsWindow(m_hFrame) != FALSE; }

    static inline std::unique_ptr<CDevnetProcess> s_devnet;
    CMainFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};
