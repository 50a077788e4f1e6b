// Real pointer and keyboard input (xdotool through the X server) arriving as window messages.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include <wx/clipbrd.h>
#include <cstdlib>
#include "AfxWin.h"
#include "UiTestUtil.h"
#include "../support/RealInput.h"

namespace
{
enum
{
    IDD_INPUT = 9201,
    IDC_PLAIN = 1000,
    IDC_GUARDED = 1001,
    IDC_LINK = 1060,
    IDC_LABEL = 1022,
    IDC_GO = 1,
};

const DLGITEMTEMPLATE_DATA s_items[] = {
    {IDC_PLAIN, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 10, 10, 120, 14},
    {IDC_GUARDED, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 10, 32, 120, 14},
    {IDC_LINK, "Static", "忘记密码", WS_VISIBLE | SS_NOTIFY, 0, 140, 34, 50, 12},
    {IDC_LABEL, "Static", "账号：", WS_VISIBLE, 0, 140, 10, 50, 12},
    {IDC_GO, "Button", "登录", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 10, 60, 60, 16},
    {IDCANCEL, "Button", "退出", WS_VISIBLE | WS_TABSTOP, 0, 80, 60, 60, 16},
};
const DLGTEMPLATE_DATA s_dialog = {WS_POPUP | DS_SETFONT | DS_FIXEDSYS, WS_EX_TOPMOST, 100, 100, 220, 90, "",
                                   9, "MS Shell Dlg", s_items, (int)(sizeof(s_items) / sizeof(s_items[0]))};
CResourceRegistrar s_reg([] { CResourceRegistry::AddDialog(IDD_INPUT, &s_dialog); });

// An edit that refuses Ctrl+V and has no context menu.
class CGuardedEdit : public CEdit
{
public:
    std::vector<UINT> m_chars;
    std::vector<UINT> m_flags;
    int m_nMenus = 0;
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        m_chars.push_back(nChar);
        m_flags.push_back(nFlags);
        if (nChar == 22 && nRepCnt == 1 && !(nFlags & 0x400))
            return;
        CEdit::OnChar(nChar, nRepCnt, nFlags);
    }
    afx_msg void OnContextMenu(CWnd*, CPoint) { ++m_nMenus; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGuardedEdit, CEdit)
    ON_WM_CHAR()
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

class CInputDlg : public CDialog
{
public:
    CInputDlg() : CDialog(IDD_INPUT) {}
    CGuardedEdit m_guarded;
    int m_nGo = 0, m_nLink = 0, m_nDown = 0, m_nCancel = 0;
    CPoint m_ptDown;
    std::vector<UINT> m_middle;  // WM_MBUTTONDOWN / WM_MBUTTONUP in order
    std::vector<UINT> m_middleFlags;
    CPoint m_ptMiddle;
    CWnd* m_pCursorOver = nullptr;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_GUARDED, m_guarded); }
    void OnOK() override { ++m_nGo; }
    void OnCancel() override { ++m_nCancel; }
    afx_msg void OnLink() { ++m_nLink; }
    afx_msg void OnLButtonDown(UINT nFlags, CPoint pt)
    {
        ++m_nDown;
        m_ptDown = pt;
        CDialog::OnLButtonDown(nFlags, pt);
    }
    afx_msg void OnMButtonDown(UINT nFlags, CPoint pt)
    {
        m_middle.push_back(WM_MBUTTONDOWN);
        m_middleFlags.push_back(nFlags);
        m_ptMiddle = pt;
    }
    afx_msg void OnMButtonUp(UINT nFlags, CPoint)
    {
        m_middle.push_back(WM_MBUTTONUP);
        m_middleFlags.push_back(nFlags);
    }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHit, UINT msg)
    {
        if (pWnd && pWnd->GetDlgCtrlID() == IDC_LINK)
        {
            m_pCursorOver = pWnd;
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        return CDialog::OnSetCursor(pWnd, nHit, msg);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CInputDlg, CDialog)
    ON_STN_CLICKED(IDC_LINK, &CInputDlg::OnLink)
    ON_WM_LBUTTONDOWN()
    ON_WM_MBUTTONDOWN()
    ON_WM_MBUTTONUP()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()


CPoint CenterOf(CWnd* p)
{
    CRect rc;
    p->GetWindowRect(&rc);
    return rc.CenterPoint();
}

void ClickAt(CPoint pt, int button = 1)
{
    EXPECT_TRUE(XdoClickAt(pt.x, pt.y, button));
}

int VisibleGtkToplevels()
{
    int n = 0;
    GList* list = gtk_window_list_toplevels();
    for (GList* l = list; l; l = l->next)
        if (gtk_widget_get_mapped(GTK_WIDGET(l->data)))
            ++n;
    g_list_free(list);
    return n;
}

struct InputFixture : ::testing::Test
{
    // Clicks into the control until it has the focus (a window of another process may have
    // taken it meanwhile); false when it never came.
    bool FocusByClick(CWnd* pCtl)
    {
        for (int i = 0; i < 5; ++i)
        {
            dlg.SetForegroundWindow();
            ClickAt(CenterOf(pCtl));
            if (WaitFor([&] { return CWnd::GetFocus() == pCtl; }, 1000))
                return true;
        }
        return false;
    }
    CInputDlg dlg;
    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(IDD_INPUT));
        dlg.ShowWindow(SW_SHOW);
        dlg.SetForegroundWindow();
        ASSERT_TRUE(WaitFor([&] { return dlg.GetX11Window() != 0; }));
        Pump(200);
    }
    void TearDown() override { dlg.DestroyWindow(); }
    // Clicks into the control and sends the keys until the effect shows (another program's
    // window may take the keyboard in between); false when it never did.
    bool KeysInto(CWnd* pCtl, const std::string& xdoArgs, const std::function<bool()>& done,
                  const std::function<void()>& reset = [] {})
    {
        for (int i = 0; i < 3; ++i)
        {
            reset();
            if (!FocusByClick(pCtl))
                continue;
            EXPECT_TRUE(Xdo(xdoArgs));
            if (WaitFor(done, 2000))
                return true;
        }
        return false;
    }
    CString Text(int id)
    {
        CString s;
        dlg.GetDlgItemText(id, s);
        return s;
    }
};
}  // namespace

TEST_F(InputFixture, ButtonClickedByTheMouse)
{
    ClickAt(CenterOf(dlg.GetDlgItem(IDC_GO)));
    EXPECT_TRUE(WaitFor([&] { return dlg.m_nGo == 1; }));
}

TEST_F(InputFixture, KeysWithoutACharacterMakeNoCharacterMessage)
{
    // End, the arrows, Home and F5 move or do nothing; the c typed last lands at the start.
    CGuardedEdit& e = dlg.m_guarded;
    ASSERT_TRUE(KeysInto(&e, "key a b End Left Right Up Down F5 Home c", [&] { return Text(IDC_GUARDED) == "cab"; },
                         [&] {
                             e.SetWindowText("");
                             e.m_chars.clear();
                         }));
    EXPECT_EQ(e.m_chars, (std::vector<UINT>{'a', 'b', 'c'}));
}

TEST_F(InputFixture, TypingReachesTheEditAsCharacters)
{
    // Another program's window may take the keyboard between the click and the keys: try again.
    auto typeInto = [&](CWnd* pEdit, int id, const char* keys) {
        for (int i = 0; i < 3; ++i)
        {
            pEdit->SetWindowText("");
            if (!FocusByClick(pEdit))
                continue;
            EXPECT_TRUE(Xdo(std::string("type --delay 20 '") + keys + "'"));
            if (WaitFor([&] { return Text(id) == keys; }, 2000))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(typeInto(dlg.GetDlgItem(IDC_PLAIN), IDC_PLAIN, "ab1")) << (const char*)Text(IDC_PLAIN);
    dlg.m_guarded.m_chars.clear();
    ASSERT_TRUE(typeInto(&dlg.m_guarded, IDC_GUARDED, "xy")) << (const char*)Text(IDC_GUARDED);
    ASSERT_GE(dlg.m_guarded.m_chars.size(), 2u);
    std::vector<UINT> last(dlg.m_guarded.m_chars.end() - 2, dlg.m_guarded.m_chars.end());
    EXPECT_EQ((std::vector<UINT>{'x', 'y'}), last);
}

TEST_F(InputFixture, CtrlVIsStoppedByTheControlsCharHandler)
{
    if (wxTheClipboard->Open())
    {
        wxTheClipboard->SetData(new wxTextDataObject("pasted"));
        wxTheClipboard->Close();
    }
    // The plain edit pastes.
    CWnd* pPlain = dlg.GetDlgItem(IDC_PLAIN);
    EXPECT_TRUE(KeysInto(pPlain, "key ctrl+v", [&] { return Text(IDC_PLAIN) == "pasted"; },
                         [&] { pPlain->SetWindowText(""); }))
        << (const char*)Text(IDC_PLAIN);
    // The guarded one sees character 22 and drops it.
    dlg.m_guarded.m_chars.clear();
    ASSERT_TRUE(KeysInto(&dlg.m_guarded, "key ctrl+v", [&] { return !dlg.m_guarded.m_chars.empty(); },
                         [&] { dlg.m_guarded.SetWindowText(""); }));
    Pump(300);
    EXPECT_EQ(22u, dlg.m_guarded.m_chars.back());
    EXPECT_STREQ("", Text(IDC_GUARDED));
}

TEST_F(InputFixture, CtrlLettersArriveAsControlCharacters)
{
    struct CASE
    {
        const char* pszKeys;
        UINT nChar;
    } cases[] = {
        {"key ctrl+a", 1},
        {"key ctrl+v", 22},
        {"key ctrl+z", 26},
        {"key ctrl+shift+c", 3},
        {"key Control_R+x", 24},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pszKeys);
        dlg.m_guarded.m_chars.clear();
        dlg.m_guarded.m_flags.clear();
        ASSERT_TRUE(KeysInto(&dlg.m_guarded, c.pszKeys, [&] { return !dlg.m_guarded.m_chars.empty(); },
                             [&] {
                                 dlg.m_guarded.m_chars.clear();
                                 dlg.m_guarded.m_flags.clear();
                             }));
        Pump(100);
        ASSERT_EQ(1u, dlg.m_guarded.m_chars.size());
        EXPECT_EQ(c.nChar, dlg.m_guarded.m_chars[0]);
        // The flags carry the key's scan code and no release bits.
        EXPECT_NE(0u, dlg.m_guarded.m_flags[0] & 0xFF);
        EXPECT_EQ(0u, dlg.m_guarded.m_flags[0] & 0xC000);
    }
}

TEST_F(InputFixture, SwallowedContextMenuShowsNoMenu)
{
    int before = VisibleGtkToplevels();
    ClickAt(CenterOf(&dlg.m_guarded), 3);
    ASSERT_TRUE(WaitFor([&] { return dlg.m_guarded.m_nMenus == 1; }));
    Pump(300);
    EXPECT_EQ(before, VisibleGtkToplevels());
    // The plain edit keeps its own menu.
    ClickAt(CenterOf(dlg.GetDlgItem(IDC_PLAIN)), 3);
    EXPECT_TRUE(WaitFor([&] { return VisibleGtkToplevels() > before; }, 3000));
    EXPECT_TRUE(Xdo("key Escape"));
    WaitFor([&] { return VisibleGtkToplevels() == before; }, 2000);
}

TEST_F(InputFixture, NotifyingStaticTakesTheMouseAndOthersLetItThrough)
{
    CPoint link = CenterOf(dlg.GetDlgItem(IDC_LINK));
    // Into the dialog first, then over the link, as a hand moves.
    EXPECT_TRUE(Xdo("mousemove " + std::to_string(link.x - 30) + " " + std::to_string(link.y)));
    Pump(100);
    EXPECT_TRUE(Xdo("mousemove " + std::to_string(link.x) + " " + std::to_string(link.y)));
    EXPECT_TRUE(WaitFor([&] { return dlg.m_pCursorOver == dlg.GetDlgItem(IDC_LINK); }));
    ClickAt(link);
    EXPECT_TRUE(WaitFor([&] { return dlg.m_nLink == 1; }));
    EXPECT_EQ(0, dlg.m_nDown);

    // A plain label is transparent to the mouse: the dialog gets the press, in its own coordinates.
    CWnd* pLabel = dlg.GetDlgItem(IDC_LABEL);
    CPoint pt = CenterOf(pLabel);
    ClickAt(pt);
    ASSERT_TRUE(WaitFor([&] { return dlg.m_nDown == 1; }));
    CPoint expect = pt;
    dlg.ScreenToClient(&expect);
    EXPECT_EQ(expect, dlg.m_ptDown);
}

TEST_F(InputFixture, MiddleButtonArrivesAsItsOwnMessages)
{
    CPoint pt = CenterOf(dlg.GetDlgItem(IDC_LABEL));
    ClickAt(pt, 2);
    ASSERT_TRUE(WaitFor([&] { return dlg.m_middle.size() >= 2; }));
    EXPECT_EQ((std::vector<UINT>{WM_MBUTTONDOWN, WM_MBUTTONUP}), dlg.m_middle);
    // The button is down in the press's key state; the left button stays out of it.
    EXPECT_EQ((UINT)MK_MBUTTON, dlg.m_middleFlags[0] & (MK_MBUTTON | MK_LBUTTON));
    CPoint expect = pt;
    dlg.ScreenToClient(&expect);
    EXPECT_EQ(expect, dlg.m_ptMiddle);
    EXPECT_EQ(0, dlg.m_nDown);
}

TEST_F(InputFixture, EnterGivesTheDefaultCommandAndEscapeCancels)
{
    EXPECT_TRUE(KeysInto(dlg.GetDlgItem(IDC_PLAIN), "key Return", [&] { return dlg.m_nGo >= 1; }));
    EXPECT_EQ(0, dlg.m_nCancel);
    int nGo = dlg.m_nGo;
    EXPECT_TRUE(KeysInto(dlg.GetDlgItem(IDC_PLAIN), "key Escape", [&] { return dlg.m_nCancel >= 1; }));
    EXPECT_EQ(nGo, dlg.m_nGo);  // Escape gives no OK
}

TEST_F(InputFixture, EscapeDoesNothingWhileTheCancelButtonIsDisabled)
{
    dlg.GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    // A character typed after Escape arrives after it was handled.
    EXPECT_TRUE(KeysInto(dlg.GetDlgItem(IDC_PLAIN), "key Escape z", [&] { return Text(IDC_PLAIN).Find('z') >= 0; }));
    EXPECT_EQ(0, dlg.m_nCancel);
    dlg.GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
    EXPECT_TRUE(KeysInto(dlg.GetDlgItem(IDC_PLAIN), "key Escape", [&] { return dlg.m_nCancel >= 1; }));
}

// ---------------------------------------------------------------------------------------------
// PreTranslateMessage and accelerators: real keys into an edit inside a panel inside a frame.

namespace
{
enum
{
    IDR_TRACE_FRAME = 9300,
    ID_TRACE_LOCK = 5101,
    IDC_TRACE_EDIT = 1200,
};
const ACCEL s_accel[] = {
    {FVIRTKEY | FCONTROL, 'L', ID_TRACE_LOCK},
};
CResourceRegistrar s_regAccel([] { CResourceRegistry::AddAccelerators(IDR_TRACE_FRAME, s_accel, 1); });

// Who saw a WM_KEYDOWN before its window, in order; 'Q' stops at the frame.
std::vector<std::string> g_trace;
void Trace(const MSG* p, const char* who)
{
    if (p->message == WM_KEYDOWN)
        g_trace.push_back(who + std::string(":") + std::to_string(p->wParam));
}

class CTraceEdit : public CEdit
{
public:
    std::vector<UINT> m_chars;
    BOOL PreTranslateMessage(MSG* p) override
    {
        Trace(p, "edit");
        return CEdit::PreTranslateMessage(p);
    }
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        m_chars.push_back(nChar);
        CEdit::OnChar(nChar, nRepCnt, nFlags);
    }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTraceEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

class CTracePanel : public CWnd
{
public:
    BOOL PreTranslateMessage(MSG* p) override
    {
        Trace(p, "panel");
        return CWnd::PreTranslateMessage(p);
    }
};

class CTraceFrame : public CFrameWnd
{
public:
    int m_nLocks = 0;
    BOOL PreTranslateMessage(MSG* p) override
    {
        Trace(p, "frame");
        if (p->message == WM_KEYDOWN && p->wParam == 'Q')
            return TRUE;
        return CFrameWnd::PreTranslateMessage(p);
    }
    afx_msg void OnLock() { ++m_nLocks; }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTraceFrame, CFrameWnd)
    ON_COMMAND(ID_TRACE_LOCK, &CTraceFrame::OnLock)
END_MESSAGE_MAP()

class CTraceApp : public CWinApp
{
public:
    BOOL PreTranslateMessage(MSG* p) override
    {
        Trace(p, "app");
        return CWinApp::PreTranslateMessage(p);
    }
};

struct PreTranslateFixture : ::testing::Test
{
    CTraceApp app;
    CTraceFrame* pFrame = nullptr;
    CTracePanel panel;
    CTraceEdit edit;
    void SetUp() override
    {
        g_trace.clear();
        pFrame = new CTraceFrame;
        ASSERT_TRUE(pFrame->LoadFrame(IDR_TRACE_FRAME, WS_OVERLAPPEDWINDOW));
        pFrame->SetWindowPos(&CWnd::wndTopMost, 150, 150, 320, 160, SWP_NOACTIVATE);
        ASSERT_TRUE(panel.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 120), pFrame, 1));
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), &panel,
                                IDC_TRACE_EDIT));
        pFrame->ShowWindow(SW_SHOW);
        ASSERT_TRUE(WaitFor([&] { return pFrame->GetX11Window() != 0 && pFrame->IsWindowVisible(); }));
    }
    void TearDown() override
    {
        if (pFrame && ::IsWindow(pFrame->m_hWnd))
            pFrame->DestroyWindow();  // deletes itself
    }
    // Clicks into the edit until it has the focus, then sends the keys until done holds.
    bool KeysIntoEdit(const std::string& xdoArgs, const std::function<bool()>& done)
    {
        for (int i = 0; i < 3; ++i)
        {
            g_trace.clear();
            edit.m_chars.clear();
            bool bFocused = false;
            for (int k = 0; k < 5 && !bFocused; ++k)
            {
                pFrame->SetForegroundWindow();
                ClickAt(CenterOf(&edit));
                bFocused = WaitFor([&] { return CWnd::GetFocus() == &edit; }, 1000);
            }
            if (!bFocused)
                continue;
            g_trace.clear();
            EXPECT_TRUE(Xdo(xdoArgs));
            if (WaitFor(done, 2000))
                return true;
        }
        return false;
    }
};
}  // namespace

TEST_F(PreTranslateFixture, KeysPassTheWindowsUpToTheFrameThenTheApplication)
{
    ASSERT_TRUE(KeysIntoEdit("key x", [&] { return !edit.m_chars.empty(); }));
    const std::vector<std::string> expected = {"edit:88", "panel:88", "frame:88", "app:88"};
    EXPECT_EQ(g_trace, expected);
    EXPECT_EQ(edit.m_chars, std::vector<UINT>{'x'});
}

TEST_F(PreTranslateFixture, TrueFromTheFrameStopsTheKey)
{
    // The Q goes no further than the frame; the x after it shows that the keys arrived.
    ASSERT_TRUE(KeysIntoEdit("key q x", [&] { return !edit.m_chars.empty(); }));
    const std::vector<std::string> expected = {"edit:81", "panel:81", "frame:81",
                                               "edit:88", "panel:88", "frame:88", "app:88"};
    EXPECT_EQ(g_trace, expected);
    EXPECT_EQ(edit.m_chars, std::vector<UINT>{'x'});
    CString s;
    edit.GetWindowText(s);
    EXPECT_STREQ(s, "x");
}

TEST_F(PreTranslateFixture, AcceleratorKeyBecomesTheFramesCommand)
{
    ASSERT_TRUE(pFrame->m_hAccelTable != nullptr);  // LoadFrame found the table of its id
    ASSERT_TRUE(KeysIntoEdit("key ctrl+l", [&] { return pFrame->m_nLocks > 0; }));
    EXPECT_EQ(pFrame->m_nLocks, 1);
    // Taken by the frame's table: the application never saw it, the edit got no character.
    for (const std::string& s : g_trace)
        EXPECT_NE(s, "app:76");
    EXPECT_TRUE(edit.m_chars.empty());
    // Without Ctrl the letter is typed.
    ASSERT_TRUE(KeysIntoEdit("key l", [&] { return !edit.m_chars.empty(); }));
    EXPECT_EQ(pFrame->m_nLocks, 1);
}

TEST(AcceleratorTest, TableMatchesKeyAndModifiersExactly)
{
    EXPECT_EQ(::LoadAccelerators(nullptr, MAKEINTRESOURCE(9399)), nullptr);
    HACCEL h = ::LoadAccelerators(nullptr, MAKEINTRESOURCE(IDR_TRACE_FRAME));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(::LoadAccelerators(nullptr, "#9300"), h);
    auto* pFrame = new CTraceFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "accelerators"));
    MSG m{pFrame->m_hWnd, WM_KEYDOWN, 'L', 1, 0, {0, 0}};
    EXPECT_FALSE(::TranslateAccelerator(pFrame->m_hWnd, h, &m));  // no Ctrl held
    EXPECT_EQ(pFrame->m_nLocks, 0);
    EXPECT_FALSE(::TranslateAccelerator(nullptr, h, &m));
    EXPECT_FALSE(::TranslateAccelerator(pFrame->m_hWnd, nullptr, &m));
    pFrame->DestroyWindow();
}
