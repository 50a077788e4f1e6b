// Window classes: a class added as one file pair (the test dial), template and by-handle objects,
// and classes a program registers with its own window procedure (RegisterClassEx).
#include <gtest/gtest.h>
#include <vector>
#include "ControlsDialog.h"
#include "TestDialWnd.h"
#include "WndClass.h"

namespace
{
class CDialParent : public CWnd
{
public:
    std::vector<std::pair<UINT, UINT>> m_notes;  // id, code
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_notes.push_back({LOWORD(wParam), HIWORD(wParam)});
        return CWnd::OnCommand(wParam, lParam);
    }
};

struct ProcLog
{
    std::vector<UINT> msgs;
    LPVOID pCreateParam = nullptr;
    int nPaints = 0;
};
ProcLog* g_pLog = nullptr;

LRESULT CALLBACK TipProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_pLog)
    {
        g_pLog->msgs.push_back(msg);
        if (msg == WM_CREATE)
            g_pLog->pCreateParam = ((LPCREATESTRUCT)lParam)->lpCreateParams;
        if (msg == WM_PAINT)
            ++g_pLog->nPaints;
    }
    if (msg == WM_USER + 7)
        return 1234;
    return DefWindowProc(hWnd, msg, wParam, lParam);
}

bool Saw(const ProcLog& log, UINT msg)
{
    for (UINT m : log.msgs)
        if (m == msg)
            return true;
    return false;
}
}  // namespace

TEST(WndClass, AClassOfItsOwnFilePairIsFoundByNameAndKeepsItsState)
{
    ASSERT_NE(nullptr, CWndClassRegistry::Find("parveltestdial"));  // names ignore case
    CDialParent top;
    ASSERT_TRUE(top.CreateEx(WS_EX_TOPMOST, nullptr, "", WS_POPUP, CRect(320, 320, 520, 420), nullptr, 0));
    CTestDial dial;
    ASSERT_TRUE(dial.Create(WS_VISIBLE, CRect(10, 10, 90, 50), &top, 77));
    EXPECT_EQ(0, dial.SetValue(150));
    EXPECT_EQ(100, dial.GetValue());
    ASSERT_EQ(1u, top.m_notes.size());
    EXPECT_EQ(77u, top.m_notes[0].first);
    EXPECT_EQ((UINT)DLN_CHANGED, top.m_notes[0].second);
    dial.SetValue(40);
    top.ShowWindow(SW_SHOW);
    CRect rc;
    dial.GetWindowRect(&rc);
    CPoint c = rc.CenterPoint();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == RGB(0, 40, 200); }, 3000))
        << std::hex << ScreenPixel(c.x, c.y);

    // A dial made by handle alone gets an object of its class from FromHandle.
    HWND h = ::CreateWindowEx(0, TESTDIAL_CLASS, "", WS_CHILD, 0, 0, 10, 10, top.m_hWnd, (HMENU)78, nullptr, nullptr);
    ASSERT_NE(nullptr, h);
    CWnd* pObj = CWnd::FromHandle(h);
    ASSERT_TRUE(pObj->IsKindOf(RUNTIME_CLASS(CTestDial)));
    EXPECT_EQ(0, static_cast<CTestDial*>(pObj)->GetValue());
    char name[64] = "";
    EXPECT_EQ((int)strlen(TESTDIAL_CLASS), ::GetClassName(h, name, sizeof name));
    EXPECT_STREQ(TESTDIAL_CLASS, name);
    top.DestroyWindow();
    EXPECT_FALSE(::IsWindow(h));
}

TEST(WndClass, RegisteredClassGetsItsMessagesInTheProgramsProcedure)
{
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TipProc;
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = "ParvelTestTip";
    ASSERT_NE(0, RegisterClassEx(&wc));
    EXPECT_EQ(0, RegisterClassEx(&wc));  // one class per name
    WNDCLASSEX back{};
    ASSERT_TRUE(GetClassInfoEx(nullptr, "ParvelTestTip", &back));
    EXPECT_EQ(&TipProc, back.lpfnWndProc);

    ProcLog log;
    g_pLog = &log;
    int tag = 5;
    // A top-level pop-up, as a message tip is.
    HWND h = ::CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "ParvelTestTip", "tip", WS_POPUP, 600, 600, 120, 60,
                              nullptr, nullptr, nullptr, &tag);
    ASSERT_NE(nullptr, h);
    EXPECT_TRUE(Saw(log, WM_CREATE));
    EXPECT_EQ(&tag, log.pCreateParam);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    EXPECT_EQ(1234, ::SendMessage(h, WM_USER + 7, 0, 0));
    // What the procedure leaves to DefWindowProc gets the default processing.
    EXPECT_TRUE(::SetWindowText(h, "新消息"));
    char text[32] = "";
    ::GetWindowText(h, text, sizeof text);
    EXPECT_STREQ("新消息", text);
    EXPECT_EQ((LONG_PTR)&TipProc, ::GetWindowLongPtr(h, GWLP_WNDPROC));
    ::ShowWindow(h, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(::IsWindowVisible(h));
    EXPECT_TRUE(WaitFor([&] { return log.nPaints > 0; }));
    ::SendMessage(h, WM_CLOSE, 0, 0);  // DefWindowProc destroys
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_TRUE(Saw(log, WM_DESTROY));
    EXPECT_TRUE(Saw(log, WM_NCDESTROY));
    g_pLog = nullptr;
    EXPECT_TRUE(UnregisterClass("ParvelTestTip", nullptr));
    EXPECT_EQ(nullptr, ::CreateWindowEx(0, "ParvelTestTip", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
}
