// What the worker tests and the page-level print and import tests share: the operator's real keys
// for the file chooser, the CUPS PDF queue's output, the print turn and the client's log.
#pragma once

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include "AfxWin.h"
#include "TestFiles.h"

// xdotool with its arguments, bounded in time; true when it succeeded.
bool Xdotool(const std::string& args);

// The X11 id of the top-level window with this (ANSI) title once the X server shows it, 0 when
// none came within the time. For threads other than the GUI thread (which may be in a modal loop).
unsigned long WaitForTopLevel(const char* pszTitle, DWORD dwTimeout = 20000);

// Focuses the file chooser and answers it: the path typed into its location entry and Enter,
// or Escape for an empty path. For a thread other than the GUI thread.
bool AnswerFileChooser(const std::string& strPath);

// The operator's answer to the file chooser, given with real keys from a thread of its own
// while the GUI thread serves the windows.
class CChooserAnswer
{
public:
    // An empty path presses Escape.
    explicit CChooserAnswer(const std::string& strPath);
    ~CChooserAnswer();
    // Whether the keys reached the chooser, once they have all been given.
    bool Ok();

private:
    std::thread m_thread;
    std::atomic<bool> m_bDone{ false };
    std::atomic<bool> m_bOk{ false };
};

// Where cups-pdf puts root's jobs.
std::string QueueFolder();

// The queue's output file that shows this order number and was not there before ("" if none).
std::string FindPrintedLabel(const std::set<std::string>& before, const std::string& orderNo);

// The page size line of pdfinfo for a file, such as "288 x 432 pts".
std::string PdfPageSize(const std::string& path);

// Whether some worker holds the label-print turn.
bool TurnIsHeld();

// The client's log files under folder/log, one after the other.
std::string LogText(const std::string& folder);
