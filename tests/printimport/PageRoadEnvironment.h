// The page-level road of label prints and order imports: the real main frame with its page tabs,
// devnet's business pages in real WebKit views, the real workers, the CUPS PDF queue and the GTK
// file chooser. One frame and one devnet serve the whole run.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include "AfxWin.h"
#include "MainFrm.h"
#include "WorkerTestUtil.h"

class CDevnetProcess;
class CHtmlView;
class CParvelView;

// The real main frame; it notes what the workers report before handling it as it always does.
class CRoadFrame : public CMainFrame
{
public:
    struct PRINT_REPORT
    {
        std::string strOrderNo;
        std::string strResult;  // ANSI
        bool bTurnHeld = false;
    };

    std::vector<PRINT_REPORT> PrintReports();
    int ImportReports();
    void ClearReports();

    // Run first inside the handlers, while the worker waits in its SendMessage.
    std::function<void(const PRINT_REPORT&)> m_onPrintResult;
    std::function<void()> m_onImportDone;

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::mutex m_lock;
    std::vector<PRINT_REPORT> m_printReports;
    int m_nImportReports = 0;
};

CRoadFrame* RoadFrame();
CDevnetProcess& Devnet();
const std::string& WorkFolder();

// Opens the address in a new tab as the frame does and waits until the page has loaded there.
CParvelView* OpenPage(const std::string& strUrl);
// A business page of devnet in a new tab.
CParvelView* OpenBusinessPage(const std::string& strName = "label_print");
// Closes every tab but the last, which stays while the main window is shown.
void CloseAllPages();
int PageCount();
CParvelView* ActivePage();

// The value of a script expression in the page, as UTF-8 ("" when it has none).
std::string PageEval(CHtmlView* pView, const std::string& strExpression);
// The text the page's print_complete wrote (UTF-8).
std::string PageResult(CHtmlView* pView);
// From now on the page keeps every print_complete call, in order, as "order text ok".
void RecordPrintCompletes(CHtmlView* pView);
std::vector<std::string> RecordedPrintCompletes(CHtmlView* pView);
// Presses the page's button with the real pointer.
bool ClickPageButton(CHtmlView* pView, const std::string& strId);
// The page's script runs this once its current call returns (a timer of the page).
void RunInPage(CHtmlView* pView, const std::string& strScript);

// Status bar pane 2 (ANSI).
std::string ProgressPaneText();
// Message boxes logged so far (UTF-8 lines "caption\ttext").
std::string MessageBoxLog();

// The label and import service addresses and the session, as a test left them.
void UseServices(const std::string& strLabelUrl, const std::string& strImportUrl);

class CPageRoadTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};
