// The detail view's rich edit and the splitter bar, each in a window of its own.
#include <gtest/gtest.h>

#include "NewsGuiTestUtil.h"

#include "RichEditCtrlZu.h"
#include "SplitterControl.h"

#include <cstring>
#include <gtk/gtk.h>
#include <string>
#include <sys/stat.h>

namespace {

// A top-level window that keeps the SPN_MOVED deltas of its splitter.
class CSplitHost : public CWnd
{
public:
    CSplitHost() { CreateEx(0, nullptr, "split host", WS_POPUP, CRect(100, 100, 500, 400), nullptr, 0); }
    ~CSplitHost() override
    {
        if (m_hWnd) DestroyWindow();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            const SPC_NMHDR* pNm = reinterpret_cast<const SPC_NMHDR*>(lParam);
            if (pNm->hdr.code == SPN_MOVED) {
                ids.push_back((int)pNm->hdr.idFrom);
                deltas.push_back(pNm->delta);
                return 0;
            }
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<int> ids;
    std::vector<int> deltas;
};

class CEditHost : public CWnd
{
public:
    CEditHost()
    {
        CreateEx(0, nullptr, "edit host", WS_POPUP, CRect(50, 50, 450, 350), nullptr, 0);
        edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, CRect(0, 0, 400, 300), this, 77);
        edit.SetEventMask(edit.GetEventMask() | ENM_LINK);
    }
    ~CEditHost() override
    {
        if (m_hWnd) DestroyWindow();
    }
    CRichEditCtrlZu edit;
};

std::string AllText(CRichEditCtrlZu& re) { return (LPCSTR)re.GetTextRange(0, -1); }

TEST(RichEditZuTest, LinkTargetIsBetweenTheFirstTwoHashesOfTheHiddenText)
{
    CEditHost host;
    CRichEditCtrlZu& re = host.edit;
    struct Case
    {
        const char* rtf;
        const char* target;
    };
    const Case cases[] = {
        {"{\\rtf1\\ansi\\ansicpg936 see\\v#http://a/b#http://a/b\\v0}", "http://a/b"},
        {"{\\rtf1\\ansi\\ansicpg936 see\\v#abc\\v0}", ""},  // no second "#"
        {"{\\rtf1\\ansi\\ansicpg936 a#b#c\\v#7#7\\v0}", "7"},  // "#" of the visible text
        {"{\\rtf1\\ansi\\ansicpg936 plain\\v no hash\\v0}", ""},
    };
    for (const Case& c : cases) {
        re.SetSel(0, -1);
        re.ReplaceSel("");
        std::string rtf = c.rtf;
        struct Src
        {
            const std::string* s;
            size_t pos;
        } src{&rtf, 0};
        EDITSTREAM es{};
        es.dwCookie = (DWORD_PTR)&src;
        es.pfnCallback = [](DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* pcb) -> DWORD {
            Src* s = (Src*)cookie;
            size_t n = std::min((size_t)cb, s->s->size() - s->pos);
            memcpy(buf, s->s->data() + s->pos, n);
            s->pos += n;
            *pcb = (LONG)n;
            return 0;
        };
        re.StreamIn(SF_RTF | SFF_SELECTION, es);
        CHARRANGE all{0, (LONG)re.GetTextLength()};
        EXPECT_EQ(std::string((LPCSTR)re.GetLinkTarget(all)), c.target) << c.rtf;
    }
}

TEST(RichEditZuTest, AClickedRowNumberIsNeverStartedAsAProgram)
{
    // A program named "7" in the working folder: a link whose target is the row number 7 must not
    // start it.
    CTempFolder folder;
    std::string marker = folder.Path() + "/ran";
    WriteFile(folder.Path() + "/7", "#!/bin/sh\ntouch '" + marker + "'\n", 0755);
    char oldDir[4096] = "";
    ASSERT_TRUE(getcwd(oldDir, sizeof oldDir));
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    {
        CEditHost host;
        host.ShowWindow(SW_SHOWNOACTIVATE);
        ASSERT_TRUE(WaitFor([&] { return host.IsWindowVisible() != FALSE; }));
        CRichEditCtrlZu& re = host.edit;
        re.AppendLink("row seven", "7");
        CPoint pt = re.PosFromChar(1);
        re.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x + 2, pt.y + 4));
        re.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x + 2, pt.y + 4));
        Pump(300);
    }
    EXPECT_EQ(chdir(oldDir), 0);
    EXPECT_FALSE(FileExists(marker));
}

TEST(RichEditZuTest, AppendLinkKeepsMarkupCharactersAndLongTextWhole)
{
    CEditHost host;
    CRichEditCtrlZu& re = host.edit;
    // A GBK character whose trail byte is "\" must not read as markup.
    const std::string tricky = "x\x81\x5c{y}\\z 中文";
    re.AppendLink(tricky.c_str(), "5");
    EXPECT_EQ(AllText(re), tricky + "#5#5");
    CHARRANGE r{0, (LONG)re.GetTextLength()};
    EXPECT_EQ(std::string((LPCSTR)re.GetLinkTarget(r)), "5");

    re.SetSel(0, -1);
    re.ReplaceSel("");
    std::string longText;
    for (int i = 0; i < 1500; ++i) longText += "消息";  // 6000 bytes
    re.AppendLink(longText.c_str(), "12");
    EXPECT_EQ(AllText(re), longText + "#12#12");
    EXPECT_EQ(re.GetTextLength(), 3000 + 6);
}

TEST(RichEditZuTest, RtfBuiltForALinkIsTheSmallSubset)
{
    EXPECT_EQ(CRichEditCtrlZu::LinkRtf("title", "3"), "{\\rtf1\\ansi\\ansicpg936 title\\v#3#3\\v0}");
    EXPECT_EQ(CRichEditCtrlZu::LinkRtf("a{b}\\", "#"), "{\\rtf1\\ansi\\ansicpg936 a\\{b\\}\\\\\\v####\\v0}");
    EXPECT_EQ(CRichEditCtrlZu::LinkRtf("\xd6\xd0", "1"), "{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\v#1#1\\v0}");
}

TEST(RichEditZuTest, BoldAndLinkToggleOverUniformAndMixedSelections)
{
    CEditHost host;
    CRichEditCtrlZu& re = host.edit;
    re.AppendText("plain ", 0, 0, FALSE, nullptr);
    re.AppendText("link", RGB(0, 0, 255), 2, TRUE, "Arial");
    re.SetSel(0, 5);
    EXPECT_EQ(re.IsBold(), 0);
    EXPECT_EQ(re.IsLink(), 0);
    re.ToggleBold();
    EXPECT_EQ(re.IsBold(), 1);
    re.SetSel(0, -1);
    EXPECT_EQ(re.IsBold(), -1);
    EXPECT_EQ(re.IsLink(), -1);
    re.ToggleBold();  // mixed: on
    EXPECT_EQ(re.IsBold(), 1);
    re.ToggleBold();  // uniform: inverted
    EXPECT_EQ(re.IsBold(), 0);
    re.ToggleLink();
    EXPECT_EQ(re.IsLink(), 1);
    re.SetSel(6, 10);
    CHARFORMAT2 cf{};
    re.GetSelectionCharFormat(cf);
    EXPECT_EQ(cf.yHeight, 220);
    EXPECT_STREQ(cf.szFaceName, "Arial");
    EXPECT_EQ(cf.crTextColor, RGB(0, 0, 255));
    re.SetSel(0, 6);
    re.GetSelectionCharFormat(cf);
    EXPECT_STREQ(cf.szFaceName, "宋体");
    EXPECT_EQ(cf.yHeight, 180);

    re.AlignCenter();
    PARAFORMAT2 pf{};
    re.GetParaFormat(pf);
    EXPECT_EQ(pf.wAlignment, PFA_CENTER);
    // Select all from the context menu's command.
    re.SetSel(2, 2);
    re.SendMessage(WM_COMMAND, ID_RICH_SELECTALL, 0);
    long a = -1, b = -1;
    re.GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, re.GetTextLength());
}

// What the font dialog showed, read while it is open; then the font chosen (none: cancelled).
struct FontDialogSeen
{
    bool bOpen = false;
    int nInitialSize = -1;    // the size it started from, in Pango units
    const char* pszChoose = nullptr;
} g_font;

void CALLBACK AnswerFontDialog(HWND hWnd, UINT, UINT_PTR nID, DWORD)
{
    GtkWidget* pChooser = nullptr;
    GList* pTops = gtk_window_list_toplevels();
    for (GList* p = pTops; p; p = p->next)
        if (GTK_IS_FONT_CHOOSER_DIALOG(p->data) && gtk_widget_get_visible(GTK_WIDGET(p->data)))
            pChooser = GTK_WIDGET(p->data);
    g_list_free(pTops);
    if (!pChooser) return;
    ::KillTimer(hWnd, nID);
    g_font.bOpen = true;
    g_font.nInitialSize = gtk_font_chooser_get_font_size(GTK_FONT_CHOOSER(pChooser));
    if (g_font.pszChoose)
        gtk_font_chooser_set_font(GTK_FONT_CHOOSER(pChooser), g_font.pszChoose);
    gtk_dialog_response(GTK_DIALOG(pChooser), g_font.pszChoose ? GTK_RESPONSE_OK : GTK_RESPONSE_CANCEL);
}

// The font command opens the font dialog for the selection, or for the word at the caret when
// nothing is selected; only that text takes the chosen font.
TEST(RichEditZuTest, SelectFontGivesTheChosenFontToTheSelectionOrTheWordAtTheCaret)
{
    struct CASE
    {
        const char* pszName;
        long selFrom, selTo;
        const char* pszChoose;
        long changedFrom, changedTo;  // [from, to) takes the font; empty: nothing changes
    } cases[] = {
        {"the word at the caret", 8, 8, "DejaVu Serif Bold 14", 6, 10},
        {"the caret at the word's end", 10, 10, "DejaVu Serif Bold 14", 6, 10},
        {"a selection", 1, 3, "DejaVu Serif Italic 12", 1, 3},
        {"cancelled", 8, 8, nullptr, 0, 0},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszName);
        CEditHost host;
        CRichEditCtrlZu& re = host.edit;
        re.AppendText("alpha beta gamma", 0, 0, FALSE, nullptr);  // 9 point 宋体
        re.SetSel(c.selFrom, c.selTo);
        g_font = FontDialogSeen{};
        g_font.pszChoose = c.pszChoose;
        ::SetTimer(host.GetSafeHwnd(), 7, 50, AnswerFontDialog);
        re.SendMessage(WM_COMMAND, ID_RICH_SETFONT, 0);
        ::KillTimer(host.GetSafeHwnd(), 7);
        ASSERT_TRUE(g_font.bOpen);
        EXPECT_EQ(g_font.nInitialSize, 9 * PANGO_SCALE);
        for (long i = 0; i < re.GetTextLength(); ++i) {
            CHARFORMAT2 cf{};
            re.SetSel(i, i + 1);
            re.GetSelectionCharFormat(cf);
            const bool bChanged = i >= c.changedFrom && i < c.changedTo;
            EXPECT_EQ(cf.yHeight, !bChanged ? 180 : (c.selFrom == c.selTo ? 280 : 240)) << "at " << i;
            EXPECT_STREQ(cf.szFaceName, bChanged ? "DejaVu Serif" : "宋体") << "at " << i;
            EXPECT_EQ((cf.dwEffects & CFE_BOLD) != 0, bChanged && c.selFrom == c.selTo) << "at " << i;
            EXPECT_EQ((cf.dwEffects & CFE_ITALIC) != 0, bChanged && c.selFrom != c.selTo) << "at " << i;
        }
    }
}

// What the context menu showed, read while it is open; then the command chosen.
struct MenuSeen
{
    bool bOpen = false;
    UINT copyState = 0;
    UINT selectAllState = 0;
    UINT cutState = 0;
    UINT nChoose = 0;
} g_menu;

void CALLBACK AnswerMenu(HWND hWnd, UINT, UINT_PTR nID, DWORD)
{
    HMENU hMenu = AfxGetTrackedMenu();
    if (!hMenu) return;
    ::KillTimer(hWnd, nID);
    g_menu.bOpen = true;
    g_menu.copyState = ::GetMenuState(hMenu, ID_RICH_COPY, MF_BYCOMMAND);
    g_menu.selectAllState = ::GetMenuState(hMenu, ID_RICH_SELECTALL, MF_BYCOMMAND);
    g_menu.cutState = ::GetMenuState(hMenu, ID_RICH_CUT, MF_BYCOMMAND);
    AfxEndTrackedMenu(g_menu.nChoose);
}

TEST(RichEditZuTest, ContextMenuOffersCopyOnlyForASelectionAndSelectsAll)
{
    CEditHost host;
    host.ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return host.IsWindowVisible() != FALSE; }));
    CRichEditCtrlZu& re = host.edit;
    re.AppendText("some text here", 0, 0, FALSE, nullptr);

    for (int round = 0; round < 2; ++round) {
        if (round == 0) re.SetSel(3, 3);  // nothing selected
        else re.SetSel(0, 4);
        g_menu = MenuSeen{};
        g_menu.nChoose = round == 0 ? ID_RICH_SELECTALL : 0;
        ::SetTimer(host.GetSafeHwnd(), 9, 20, &AnswerMenu);
        re.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        ASSERT_TRUE(WaitFor([&] { return g_menu.bOpen; }));
        EXPECT_TRUE(g_menu.cutState & MF_GRAYED);
        EXPECT_FALSE(g_menu.selectAllState & MF_GRAYED);
        if (round == 0) {
            EXPECT_TRUE(g_menu.copyState & MF_GRAYED);
            long a = -1, b = -1;
            EXPECT_TRUE(WaitFor([&] {
                re.GetSel(a, b);
                return a == 0 && b == re.GetTextLength();
            }));
        } else {
            EXPECT_FALSE(g_menu.copyState & MF_GRAYED);
        }
    }
}

TEST(SplitterTest, PlainClickSendsDeltaZeroAndADragStopsAtTheLimit)
{
    CSplitHost host;
    CSplitterControl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(200, 10, 201, 290), &host, 3004));
    bar.SetDragRange(50, 50, -1);
    host.ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return host.IsWindowVisible() != FALSE; }));
    Pump(100);
    CRect rc;
    bar.GetWindowRect(&rc);
    EXPECT_EQ(rc.Width(), 5);
    EXPECT_EQ(bar.Orientation(), SPS_VERTICAL);
    CPoint c = rc.CenterPoint();
    ASSERT_TRUE(MoveMouse(c.x, c.y));
    // While dragged, an inverting line stands at the drag position; drawn again it is gone.
    auto inverted = [](COLORREF c) {
        return RGB(~(GetRValue(c) ^ 200) & 0xFF, ~(GetGValue(c) ^ 200) & 0xFF, ~(GetBValue(c) ^ 200) & 0xFF);
    };
    const int y = c.y + 100;
    COLORREF atStart = ScreenPixel(c.x - 1, y), atLimit = ScreenPixel(c.x - 51, y);
    ASSERT_TRUE(Xdo("mousedown 1"));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x - 1, y) == inverted(atStart); }));
    for (int dx = -20; dx >= -100; dx -= 20) {
        ASSERT_TRUE(MoveMouse(c.x + dx, c.y));
        Pump(30);
    }
    // Held at the limit, 50 pixels away; the first line is gone.
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x - 51, y) == inverted(atLimit); }));
    EXPECT_EQ(ScreenPixel(c.x - 1, y), atStart);
    ASSERT_TRUE(Xdo("mouseup 1"));
    ASSERT_TRUE(WaitFor([&] { return host.deltas.size() == 1; }));
    EXPECT_EQ(host.deltas[0], -50);
    EXPECT_EQ(host.ids[0], 3004);
    bar.GetWindowRect(&rc);
    EXPECT_EQ(rc.CenterPoint().x, c.x - 50);

    // A click without a move: delta 0, the bar stays.
    CPoint c2 = rc.CenterPoint();
    ASSERT_TRUE(MoveMouse(c2.x, c2.y));
    ASSERT_TRUE(Xdo("click 1"));
    ASSERT_TRUE(WaitFor([&] { return host.deltas.size() == 2; }));
    EXPECT_EQ(host.deltas[1], 0);
    bar.GetWindowRect(&rc);
    EXPECT_EQ(rc.CenterPoint().x, c2.x);
}

TEST(SplitterTest, StretchAndShiftMoveTheNamedEdges)
{
    CSplitHost host;
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 20, 110, 220), &host, 5));
    auto rectOf = [&] {
        CRect r;
        child.GetWindowRect(&r);
        host.ScreenToClient(&r);
        return r;
    };
    CSplitterControl::StretchWidth(&child, 10, CW_LEFTALIGN);
    EXPECT_EQ(rectOf(), CRect(10, 20, 120, 220));
    CSplitterControl::StretchWidth(&child, 5, CW_RIGHTALIGN);
    EXPECT_EQ(rectOf(), CRect(5, 20, 120, 220));
    CSplitterControl::StretchHeight(&child, 7, CW_TOPALIGN);
    EXPECT_EQ(rectOf(), CRect(5, 20, 120, 227));
    CSplitterControl::StretchHeight(&child, -3, CW_BOTTOMALIGN);
    EXPECT_EQ(rectOf(), CRect(5, 23, 120, 227));
    CSplitterControl::ShiftWindow(&child, 4, 6);
    EXPECT_EQ(rectOf(), CRect(1, 29, 116, 233));
    // A window without a parent is left alone.
    CSplitterControl::StretchWidth(&host, 10, CW_LEFTALIGN);
}

} // namespace
