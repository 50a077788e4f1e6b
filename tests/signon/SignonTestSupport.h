// What the sign-on tests share: the windowing layer started on the test's main thread, the
// dialog run modally while a driver thread works it, the option record pointed at devnet, and
// the message boxes and program starts the client made.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>
#include "AfxWin.h"
#include "LoginDlg.h"
#include "GuiWait.h"
#include "resource.h"

// The option record's addresses have no public setter: reach the private ones for the tests.
void SetLoginUrlForTest(const char* pszUrl);
void SetUpdateUrlForTest(const char* pszUrl);
void SetFindPwdUrlForTest(const char* pszUrl);

// A sign-on dialog that records its state right after its own initialisation, before any
// call of the update worker can reach it.
class CTestLoginDlg : public CLoginDlg
{
public:
    using CLoginDlg::CLoginDlg;

    struct STATE
    {
        BOOL bOkEnabled = FALSE;
        BOOL bCancelEnabled = FALSE;
        BOOL bProgressVisible = FALSE;
        BOOL bStatusVisible = FALSE;
        CString strStatus;
        RECT rcWindow = {};
        RECT rcInitial = {};
        RECT rcProgress = {};  // client coordinates
        int nFocusId = 0;
    };
    STATE m_afterInit;
    std::atomic<HWND> m_hReady{nullptr};

    CSecureEdit& PasswordEdit() { return m_passwordEdit; }
    const RECT& InitialRect() const { return m_rcInitial; }

protected:
    BOOL OnInitDialog() override;
};

// Runs the dialog modally on the calling (GUI) thread; drive runs on a thread of its own once
// the dialog is up. A dialog still open when drive returns is cancelled. The dialog's result.
INT_PTR RunDialogDriven(CTestLoginDlg& dlg, const std::function<void(HWND)>& drive);

// Message boxes shown so far ("caption<TAB>text" lines, converted to GBK) and program starts.
std::vector<std::string> MessageBoxTexts();
std::vector<std::string> ShellStarts();
void ClearRecords();
// Folder of stand-in programs put in front of PATH (each logs its arguments and ends).
std::string StubFolder();
void SetStubPrograms(const std::vector<std::string>& names);

// Text of a window (GBK), through the windowing layer.
CString WindowText(HWND hWnd);

