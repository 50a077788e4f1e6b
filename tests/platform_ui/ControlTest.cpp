// Controls: edits (characters, notifications, a masking subclass), statics, buttons, progress bars,
// painting and colours.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include "AfxWin.h"
#include "UiTestUtil.h"

namespace
{
enum
{
    IDD_CONTROLS = 9101,
    IDC_EDIT = 1000,
    IDC_MASKED = 1001,
    IDC_LINK = 1060,
    IDC_LABEL = 1022,
    IDC_BAR = 1051,
    IDC_VPN = 10667,
    IDC_LOGO = 1046,
};

const DLGITEMTEMPLATE_DATA s_items[] = {
    {IDC_EDIT, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 10, 10, 120, 13},
    {IDC_MASKED, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 0, 10, 30, 120, 13},
    {IDC_LINK, "Static", "忘记密码", WS_VISIBLE | SS_NOTIFY, 0, 140, 30, 40, 10},
    {IDC_LABEL, "Static", "密码：", WS_VISIBLE | SS_RIGHT, 0, 140, 10, 40, 10},
    {IDC_BAR, "msctls_progress32", "", WS_VISIBLE, 0, 0, 60, 200, 12},
    {IDC_VPN, "Button", "VPN", WS_VISIBLE | WS_TABSTOP, 0, 10, 80, 50, 15},
    {IDC_LOGO, "Static", "#344", WS_VISIBLE | SS_BITMAP, 0, 150, 80, 30, 15},
};
const DLGTEMPLATE_DATA s_dialog = {WS_POPUP | DS_SETFONT | DS_FIXEDSYS, 0, 20, 20, 200, 100, "",
                                   8, "MS Shell Dlg", s_items, (int)(sizeof(s_items) / sizeof(s_items[0]))};
CResourceRegistrar s_reg([] { CResourceRegistry::AddDialog(IDD_CONTROLS, &s_dialog); });

// The masking edit of a password field: the window shows one '*' per byte, the object keeps the text.
class CMaskEdit : public CEdit
{
public:
    CString m_strReal;
    int m_nShown = 0;
    int m_nUpdates = 0;
    int m_nContextMenus = 0;

    void PreSubclassWindow() override
    {
        CEdit::PreSubclassWindow();
        ModifyStyle(ES_PASSWORD, 0);
    }
    afx_msg void OnUpdate()
    {
        ++m_nUpdates;
        CString text;
        GetWindowText(text);
        int n = text.GetLength();
        DWORD sel = (DWORD)SendMessage(EM_GETSEL);
        int p = 0;
        while (p < n && text[p] == '*')
            ++p;
        if (n == 0 || p == n)
            return;
        int w = (unsigned char)text[p] > 0xA0 ? 2 : 1;
        if (m_nShown == 0)
            m_strReal = text;
        else
            m_strReal = m_strReal.Left(p) + text.Mid(p, w) + m_strReal.Right(n - w - p);
        SetWindowText(CString('*', n));
        m_nShown = n;
        SendMessage(EM_SETSEL, LOWORD(sel), LOWORD(sel));
        SendMessage(EM_SCROLLCARET);
    }
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        if (nChar == 22 && nRepCnt == 1 && !(nFlags & 0x400))
            return;
        CEdit::OnChar(nChar, nRepCnt, nFlags);
    }
    afx_msg void OnContextMenu(CWnd*, CPoint) { ++m_nContextMenus; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMaskEdit, CEdit)
    ON_CONTROL_REFLECT(EN_UPDATE, &CMaskEdit::OnUpdate)
    ON_WM_CHAR()
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

class CControlsDlg : public CDialog
{
public:
    CControlsDlg() : CDialog(IDD_CONTROLS) {}
    CMaskEdit m_masked;
    CProgressCtrl m_bar;
    int m_nEditUpdate = 0, m_nEditChange = 0, m_nMaskedUpdate = 0, m_nMaskedChange = 0;
    int m_nLinkClicks = 0, m_nVpnClicks = 0;
    std::vector<std::pair<int, UINT>> m_ctlColors;  // control id, nCtlColor
    CWnd* m_pCursorWnd = nullptr;
    HCURSOR m_hHand = LoadCursor(nullptr, IDC_HAND);

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_MASKED, m_masked);
        DDX_Control(pDX, IDC_BAR, m_bar);
    }
    afx_msg void OnEditUpdate() { ++m_nEditUpdate; }
    afx_msg void OnEditChange() { ++m_nEditChange; }
    afx_msg void OnMaskedUpdate() { ++m_nMaskedUpdate; }
    afx_msg void OnMaskedChange() { ++m_nMaskedChange; }
    afx_msg void OnLink() { ++m_nLinkClicks; }
    afx_msg void OnVpn() { ++m_nVpnClicks; }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
        m_ctlColors.push_back({pWnd ? pWnd->GetDlgCtrlID() : 0, nCtlColor});
        if (nCtlColor == CTLCOLOR_STATIC)
        {
            pDC->SetBkMode(TRANSPARENT);
            if (pWnd->GetDlgCtrlID() == IDC_LINK)
                pDC->SetTextColor(RGB(0, 0, 255));
            return (HBRUSH)GetStockObject(NULL_BRUSH);
        }
        return hbr;
    }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
    {
        if (pWnd && pWnd->GetDlgCtrlID() == IDC_LINK)
        {
            m_pCursorWnd = pWnd;
            SetCursor(m_hHand);
            return TRUE;
        }
        return CDialog::OnSetCursor(pWnd, nHitTest, message);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CControlsDlg, CDialog)
    ON_EN_UPDATE(IDC_EDIT, &CControlsDlg::OnEditUpdate)
    ON_EN_CHANGE(IDC_EDIT, &CControlsDlg::OnEditChange)
    ON_EN_UPDATE(IDC_MASKED, &CControlsDlg::OnMaskedUpdate)
    ON_EN_CHANGE(IDC_MASKED, &CControlsDlg::OnMaskedChange)
    ON_STN_CLICKED(IDC_LINK, &CControlsDlg::OnLink)
    ON_BN_CLICKED(IDC_VPN, &CControlsDlg::OnVpn)
    ON_WM_CTLCOLOR()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

struct ControlsFixture : ::testing::Test
{
    CControlsDlg dlg;
    void SetUp() override { ASSERT_TRUE(dlg.Create(IDD_CONTROLS)); }
    void TearDown() override { dlg.DestroyWindow(); }
    HWND Item(int id) { return ::GetDlgItem(dlg.m_hWnd, id); }
    CString Text(int id)
    {
        CString s;
        dlg.GetDlgItemText(id, s);
        return s;
    }
    void Char(HWND h, unsigned char c, UINT flags = 0) { ::SendMessage(h, WM_CHAR, c, MAKELPARAM(1, flags)); }
    void Type(HWND h, const char* gbk)
    {
        for (const char* p = gbk; *p; ++p)
            Char(h, (unsigned char)*p);
    }
};
}  // namespace

TEST_F(ControlsFixture, EditInsertsCharactersAndTellsItsParent)
{
    HWND h = Item(IDC_EDIT);
    Char(h, 'a');
    EXPECT_STREQ("a", Text(IDC_EDIT));
    EXPECT_EQ(1, dlg.m_nEditUpdate);
    EXPECT_EQ(1, dlg.m_nEditChange);
    Type(h, "中");  // two WM_CHAR: lead and trail byte
    EXPECT_STREQ("a中", Text(IDC_EDIT));
    EXPECT_EQ(2, dlg.m_nEditUpdate);
    DWORD a = 0, b = 0;
    ::SendMessage(h, EM_GETSEL, (WPARAM)&a, (LPARAM)&b);
    EXPECT_EQ(3u, a);  // byte offsets of the GBK text
    EXPECT_EQ(3u, b);
    Char(h, VK_BACK);
    EXPECT_STREQ("a", Text(IDC_EDIT));
    ::SendMessage(h, EM_SETSEL, 0, -1);
    ::SendMessage(h, EM_REPLACESEL, 0, (LPARAM)"网点");
    EXPECT_STREQ("网点", Text(IDC_EDIT));
    ::SendMessage(h, EM_SETSEL, 2, 4);
    ::SendMessage(h, EM_GETSEL, (WPARAM)&a, (LPARAM)&b);
    EXPECT_EQ(2u, a);
    EXPECT_EQ(4u, b);
    ::SendMessage(h, EM_SETREADONLY, TRUE, 0);
    Char(h, 'z');
    EXPECT_STREQ("网点", Text(IDC_EDIT));
}

TEST_F(ControlsFixture, SubclassedEditHandlesReflectedUpdatesAndCharsFirst)
{
    CMaskEdit& e = dlg.m_masked;
    EXPECT_FALSE(e.GetStyle() & ES_PASSWORD);
    GtkWidget* w = (GtkWidget*)e.GetWxWindow()->GetHandle();
    ASSERT_TRUE(GTK_IS_ENTRY(w));
    EXPECT_TRUE(gtk_entry_get_visibility(GTK_ENTRY(w)));  // the "*" text shows as it is

    Char(e, 'a');
    Char(e, 'b');
    EXPECT_STREQ("ab", e.m_strReal);
    EXPECT_STREQ("**", Text(IDC_MASKED));
    EXPECT_EQ(0, dlg.m_nMaskedUpdate);  // the control took the reflected notification
    EXPECT_GT(dlg.m_nMaskedChange, 0);

    e.SetSel(0, -1);
    Char(e, 'c');
    EXPECT_STREQ("c", e.m_strReal);
    EXPECT_STREQ("*", Text(IDC_MASKED));
    EXPECT_EQ(1, LOWORD(e.GetSel()));

    Type(e, "码");
    EXPECT_STREQ("c码", e.m_strReal);
    EXPECT_STREQ("***", Text(IDC_MASKED));

    Char(e, 22);  // Ctrl+V: swallowed before the edit sees it
    EXPECT_STREQ("c码", e.m_strReal);
    EXPECT_STREQ("***", Text(IDC_MASKED));

    int before = e.m_nContextMenus;
    CPoint pt(5, 5);
    e.SendMessage(WM_CONTEXTMENU, (WPARAM)e.m_hWnd, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(before + 1, e.m_nContextMenus);
}

TEST_F(ControlsFixture, StaticsAskTheParentForColoursWhenPainted)
{
    dlg.ShowWindow(SW_SHOW);
    dlg.m_ctlColors.clear();
    dlg.Invalidate();
    dlg.UpdateWindow();
    ASSERT_TRUE(WaitFor([&] {
        bool bLink = false, bLabel = false;
        for (auto& c : dlg.m_ctlColors)
        {
            bLink |= c.first == IDC_LINK && c.second == CTLCOLOR_STATIC;
            bLabel |= c.first == IDC_LABEL && c.second == CTLCOLOR_STATIC;
        }
        return bLink && bLabel;
    }));
    dlg.SetDlgItemText(IDC_LABEL, "账号：");
    EXPECT_STREQ("账号：", Text(IDC_LABEL));
}

TEST_F(ControlsFixture, NotifyingStaticReportsClicksAndCursorQuestions)
{
    HWND hLink = Item(IDC_LINK);
    ::SendMessage(hLink, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(1, dlg.m_nLinkClicks);
    // The parent decides the cursor for its control first.
    EXPECT_TRUE(::SendMessage(hLink, WM_SETCURSOR, (WPARAM)hLink, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(CWnd::FromHandle(hLink), dlg.m_pCursorWnd);
    EXPECT_EQ(dlg.m_hHand, GetCursor());
    HWND hLabel = Item(IDC_LABEL);
    ::SendMessage(hLabel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(1, dlg.m_nLinkClicks);
}

TEST_F(ControlsFixture, ButtonClickByMessage)
{
    HWND h = Item(IDC_VPN);
    ::SendMessage(h, BM_CLICK, 0, 0);
    EXPECT_EQ(1, dlg.m_nVpnClicks);
    ::EnableWindow(h, FALSE);
    ::SendMessage(h, BM_CLICK, 0, 0);
    EXPECT_EQ(1, dlg.m_nVpnClicks);  // a disabled button does not click
}

TEST_F(ControlsFixture, ProgressRangeAndPosition)
{
    CProgressCtrl& bar = dlg.m_bar;
    bar.SetRange(0, 100);
    struct Case
    {
        int set, expect;
    } cases[] = {{0, 0}, {42, 42}, {100, 100}, {150, 100}, {-5, 0}};
    for (const Case& c : cases)
    {
        bar.SetPos(c.set);
        EXPECT_EQ(c.expect, bar.GetPos()) << c.set;
    }
    int lo = -1, hi = -1;
    bar.GetRange(lo, hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(100, hi);
    EXPECT_EQ((LRESULT)CLR_DEFAULT, bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(251, 210, 4)));
    EXPECT_EQ((LRESULT)RGB(251, 210, 4), bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(251, 210, 4)));
}

// The pixel at a screen point, read back from the X server.
static COLORREF ScreenPixel(int x, int y)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return CLR_INVALID;
    XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    COLORREF c = CLR_INVALID;
    if (img)
    {
        unsigned long px = XGetPixel(img, 0, 0);
        c = RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
        XDestroyImage(img);
    }
    XCloseDisplay(d);
    return c;
}

TEST_F(ControlsFixture, ProgressBarIsDrawnInItsBarColour)
{
    dlg.ShowWindow(SW_SHOW);
    dlg.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    dlg.m_bar.SetRange(0, 100);
    dlg.m_bar.SetPos(100);
    dlg.m_bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(251, 210, 4));
    CRect rc;
    dlg.m_bar.GetWindowRect(&rc);
    CPoint c = rc.CenterPoint();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == RGB(251, 210, 4); }, 3000))
        << std::hex << ScreenPixel(c.x, c.y);
    dlg.m_bar.SetPos(0);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) != RGB(251, 210, 4); }, 3000));
}

namespace
{
class CPaintWnd : public CWnd
{
public:
    int m_nPaints = 0;
    bool m_bHadContext = false;
    afx_msg void OnPaint()
    {
        ++m_nPaints;
        m_bHadContext = GetPaintContext() != nullptr;
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, RGB(10, 200, 30));
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()
}  // namespace

TEST(Paint, PaintHandlerDrawsThroughThePaintContext)
{
    CWnd top;
    ASSERT_TRUE(top.CreateEx(WS_EX_TOPMOST, nullptr, "", WS_POPUP, CRect(300, 300, 500, 400), nullptr, 0));
    CPaintWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, CRect(10, 10, 110, 60), &top, 5));
    EXPECT_EQ(nullptr, child.GetPaintContext());
    top.ShowWindow(SW_SHOW);
    ASSERT_TRUE(WaitFor([&] { return child.m_nPaints > 0; }));
    EXPECT_TRUE(child.m_bHadContext);
    CRect rc;
    child.GetWindowRect(&rc);
    CPoint c = rc.CenterPoint();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == RGB(10, 200, 30); }, 3000))
        << std::hex << ScreenPixel(c.x, c.y);
    top.DestroyWindow();
}

TEST_F(ControlsFixture, BitmapStaticShowsItsResourceAtItsOwnSize)
{
    CStatic* pLogo = static_cast<CStatic*>(dlg.GetDlgItem(IDC_LOGO));
    ASSERT_NE(nullptr, pLogo);
    EXPECT_NE(nullptr, pLogo->GetBitmap());
    CRect rc;
    pLogo->GetClientRect(&rc);
    EXPECT_EQ(CRect(0, 0, 6, 4), rc);  // sized to the bitmap, as SS_BITMAP does
    dlg.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    dlg.ShowWindow(SW_SHOW);
    pLogo->GetWindowRect(&rc);
    CPoint c = rc.CenterPoint();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == RGB(251, 210, 4); }, 3000))
        << std::hex << ScreenPixel(c.x, c.y);
}
