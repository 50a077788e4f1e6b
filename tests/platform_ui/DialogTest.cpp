// Dialogs from templates: data exchange, the modal loop, closing, dialog units, other threads.
#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include "AfxWin.h"
#include "UiTestUtil.h"

namespace
{
enum
{
    IDD_TEST = 9001,
    IDC_NAME = 1000,
    IDC_TITLE = 1059,
    IDC_BAR = 1051,
    IDC_HIDDEN = 1048,
};

const DLGITEMTEMPLATE_DATA s_items[] = {
    {IDC_TITLE, "Static", "", WS_VISIBLE | SS_CENTER, 0, 0, 4, 200, 12},
    {IDC_NAME, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 20, 24, 120, 13},
    {IDC_HIDDEN, "Static", "状态", SS_LEFT, 0, 20, 40, 100, 10},
    {IDC_BAR, "msctls_progress32", "", WS_VISIBLE, 0, 20, 54, 160, 10},
    {IDOK, "Button", "登录", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 20, 70, 50, 15},
    {IDCANCEL, "Button", "退出", WS_VISIBLE | WS_TABSTOP, 0, 80, 70, 50, 15},
};
const DLGTEMPLATE_DATA s_dialog = {WS_POPUP | DS_SETFONT | DS_FIXEDSYS | DS_SETFOREGROUND, 0, 0, 0, 220, 100, "",
                                   8, "MS Shell Dlg", s_items, (int)(sizeof(s_items) / sizeof(s_items[0]))};
CResourceRegistrar s_reg([] { CResourceRegistry::AddDialog(IDD_TEST, &s_dialog); });

class CTestDlg : public CDialog
{
public:
    CTestDlg() : CDialog(IDD_TEST) {}
    CString m_strName = "张三";
    CString m_strTitle = "网点客户端";
    CProgressCtrl m_bar;
    std::function<void(CTestDlg*)> m_onInit;
    int m_nUserMsgs = 0;
    std::thread::id m_userThread;
    BOOL m_bEndInInit = FALSE;
    int m_nCancels = 0;

    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Text(pDX, IDC_TITLE, m_strTitle);
        DDX_Control(pDX, IDC_BAR, m_bar);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_bEndInInit)
            EndDialog(77);
        if (m_onInit)
            m_onInit(this);
        return TRUE;
    }
    void OnCancel() override
    {
        ++m_nCancels;
        CDialog::OnCancel();
    }
    afx_msg LRESULT OnUser(WPARAM w, LPARAM)
    {
        ++m_nUserMsgs;
        m_userThread = std::this_thread::get_id();
        return (LRESULT)w + 1;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_MESSAGE(WM_APP + 1, &CTestDlg::OnUser)
END_MESSAGE_MAP()

// Ends a dialog that a broken test would leave open.
struct Watchdog
{
    std::atomic<bool> bStop{false};
    std::thread t;
    Watchdog(CDialog* pDlg, int ms)
        : t([this, pDlg, ms] {
              PollUntil([this] { return bStop.load(); }, (unsigned)ms);
              if (!bStop && ::IsWindow(pDlg->m_hWnd))
                  ::PostMessage(pDlg->m_hWnd, WM_COMMAND, IDCANCEL, 0);
          })
    {
    }
    ~Watchdog()
    {
        bStop = true;
        t.join();
    }
};
}  // namespace

TEST(Dialog, DataExchangeFillsControlsAndOkReadsThemBack)
{
    CTestDlg dlg;
    CString shownName, shownTitle;
    bool bHiddenVisible = true, bBarBound = false;
    dlg.m_onInit = [&](CTestDlg* p) {
        p->GetDlgItemText(IDC_NAME, shownName);
        p->GetDlgItemText(IDC_TITLE, shownTitle);
        bHiddenVisible = p->GetDlgItem(IDC_HIDDEN)->IsWindowVisible();
        bBarBound = p->m_bar.m_hWnd == ::GetDlgItem(p->m_hWnd, IDC_BAR);
        p->SetDlgItemText(IDC_NAME, "李四");
        p->PostMessage(WM_COMMAND, IDOK, 0);
    };
    Watchdog wd(&dlg, 10000);
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ("张三", shownName);
    EXPECT_STREQ("网点客户端", shownTitle);
    EXPECT_FALSE(bHiddenVisible);  // no WS_VISIBLE in the template
    EXPECT_TRUE(bBarBound);
    EXPECT_STREQ("李四", dlg.m_strName);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(Dialog, CloseAndCancelEndAsCancelled)
{
    struct Case
    {
        const char* name;
        UINT msg;
        WPARAM w;
    } cases[] = {{"WM_CLOSE", WM_CLOSE, 0}, {"command 2", WM_COMMAND, IDCANCEL}};
    for (const Case& c : cases)
    {
        CTestDlg dlg;
        dlg.m_onInit = [&](CTestDlg* p) { p->PostMessage(c.msg, c.w, 0); };
        Watchdog wd(&dlg, 10000);
        EXPECT_EQ(IDCANCEL, dlg.DoModal()) << c.name;
    }
}

TEST(Dialog, CloseDoesNothingWhileTheCancelButtonIsDisabled)
{
    CTestDlg dlg;
    dlg.m_onInit = [&](CTestDlg* p) {
        p->GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
        p->PostMessage(WM_CLOSE, 0, 0);
        // Handled after the close: the dialog is still there to end with its own code.
        p->PostMessage(WM_COMMAND, IDOK, 0);
    };
    Watchdog wd(&dlg, 10000);
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(0, dlg.m_nCancels);
    // The command itself still reaches the dialog, as a program sends it.
    CTestDlg sent;
    sent.m_onInit = [&](CTestDlg* p) {
        p->GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
        p->PostMessage(WM_COMMAND, IDCANCEL, 0);
    };
    Watchdog wdSent(&sent, 10000);
    EXPECT_EQ(IDCANCEL, sent.DoModal());
    EXPECT_EQ(1, sent.m_nCancels);
}

TEST(Dialog, EndDialogDuringInitialisationEndsAtOnce)
{
    CTestDlg dlg;
    dlg.m_bEndInInit = TRUE;
    Watchdog wd(&dlg, 10000);
    EXPECT_EQ(77, dlg.DoModal());
}

TEST(Dialog, WorkerSendsWhileModalLoopRuns)
{
    CTestDlg dlg;
    std::vector<LRESULT> results;
    std::thread worker;
    dlg.m_onInit = [&](CTestDlg* p) {
        HWND h = p->m_hWnd;
        HWND hBar = p->m_bar.m_hWnd;
        worker = std::thread([&results, h, hBar] {
            for (int i = 0; i < 5; ++i)
                results.push_back(::SendMessage(h, WM_APP + 1, (WPARAM)i, 0));
            ::SendMessage(hBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
            ::SendMessage(hBar, PBM_SETPOS, 42, 0);
            results.push_back(::SendMessage(hBar, PBM_GETPOS, 0, 0));
            ::SendMessage(h, WM_COMMAND, IDCANCEL, 0);
        });
    };
    Watchdog wd(&dlg, 10000);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    worker.join();
    ASSERT_EQ(6u, results.size());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(i + 1, results[(size_t)i]);
    EXPECT_EQ(42, results[5]);
    EXPECT_EQ(std::this_thread::get_id(), dlg.m_userThread);
}

TEST(Dialog, ModalRunFromAnotherThreadLivesOnTheGuiThread)
{
    CTestDlg dlg;
    std::atomic<INT_PTR> result{-100};
    std::atomic<bool> bDone{false};
    std::thread ui([&] {
        result = dlg.DoModal();
        bDone = true;
    });
    ASSERT_TRUE(WaitFor([&] { return dlg.m_hWnd != nullptr && ::IsWindowVisible(dlg.m_hWnd); }));
    EXPECT_TRUE(dlg.SendMessage(WM_APP + 1, 1, 0) == 2);
    EXPECT_EQ(std::this_thread::get_id(), dlg.m_userThread);  // handled on the GUI thread
    HWND h = dlg.m_hWnd;
    std::thread closer([h] { ::PostMessage(h, WM_CLOSE, 0, 0); });
    closer.join();
    bool bEnded = WaitFor([&] { return bDone.load(); });
    if (!bEnded)
        ::SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    ui.join();
    EXPECT_TRUE(bEnded);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(::IsWindow(h));
}

TEST(Dialog, DialogUnitsFollowTheFont)
{
    struct Case
    {
        int units, base, div, px;
    } cases[] = {{242, 6, 4, 363}, {166, 13, 8, 270}, {0, 7, 4, 0}, {3, 7, 4, 5}, {-3, 7, 4, -5}};
    for (const Case& c : cases)
        EXPECT_EQ(c.px, MulDivDialogUnit(c.units, c.base, c.div)) << c.units << "*" << c.base << "/" << c.div;

    DIALOG_BASE_UNITS small = AfxGetDialogBaseUnits(nullptr, 8);
    DIALOG_BASE_UNITS large = AfxGetDialogBaseUnits(nullptr, 16);
    EXPECT_GT(small.cx, 0);
    EXPECT_GT(large.cx, small.cx);
    EXPECT_GT(large.cy, small.cy);

    CTestDlg dlg;
    CRect rcClient, rcEdit, rcMapped(20, 24, 140, 37), rcDlgMapped(0, 0, 220, 100);
    dlg.m_onInit = [&](CTestDlg* p) {
        p->GetClientRect(&rcClient);
        p->GetDlgItem(IDC_NAME)->GetWindowRect(&rcEdit);
        p->ScreenToClient(&rcEdit);
        p->MapDialogRect(&rcMapped);
        p->MapDialogRect(&rcDlgMapped);
        p->EndDialog(IDOK);
    };
    Watchdog wd(&dlg, 10000);
    dlg.DoModal();
    EXPECT_EQ(MulDivDialogUnit(220, small.cx, 4), rcDlgMapped.Width());
    EXPECT_EQ(MulDivDialogUnit(100, small.cy, 8), rcDlgMapped.Height());
    EXPECT_EQ(rcDlgMapped.Width(), rcClient.Width());
    EXPECT_EQ(rcDlgMapped.Height(), rcClient.Height());
    EXPECT_EQ(rcMapped, rcEdit);
}
