// The history dialog on a real database: its tree of categories, the numbered list, the detail
// view with its links, "清除", the splitters and the minimum size.
#include <gtest/gtest.h>

#include "NewsGuiTestUtil.h"

#include "NewsBox.h"
#include "NewsComponent.h"
#include "NewsStore.h"

namespace {

class NewsRecordDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_db = m_folder.Path() + "/aaa";
        m_pHost = new CTestHost(m_db);
        ASSERT_EQ(CNewsInterface::GetInstance()->InitNewsInterface(m_db.c_str(), "bbb", m_pHost->GetSafeHwnd()), 1);
    }
    void TearDown() override
    {
        delete CNewsInterface::GetInstance();
        delete m_pHost;
        MoveMouse(0, 0);
    }

    // type 11 is stored as read, type 1 as unread.
    void Add(const char* title, const char* cls, int type = 11, const char* remind = "dialog",
             const char* url = "")
    {
        ASSERT_EQ(CNewsInterface::GetInstance()->AddNews(type, title, (std::string(title) + " content").c_str(), remind,
                                                         url, cls, "2026-12-10 09:00:00"),
                  1);
    }
    CNewsRecordDlg& Dlg() { return NewsStore()->m_recordBox.Dialog(); }
    HTREEITEM Child(HTREEITEM hParent, const char* text)
    {
        return CNewsBox::FindChild(Dlg().m_tree, hParent, text);
    }
    std::vector<std::string> ListColumn(int col)
    {
        std::vector<std::string> v;
        for (int i = 0; i < Dlg().m_list.GetItemCount(); ++i) v.push_back((LPCSTR)Dlg().m_list.GetItemText(i, col));
        return v;
    }
    std::string Rows(const std::string& where)
    {
        return QueryText(m_db, "select count(*) from dbMsgRecord where " + where);
    }
    CPoint ScreenCentre(CWnd* p)
    {
        CRect rc;
        p->GetWindowRect(&rc);
        return rc.CenterPoint();
    }
    CRect RectIn(CWnd* p)
    {
        CRect rc;
        p->GetWindowRect(&rc);
        Dlg().ScreenToClient(&rc);
        return rc;
    }

    CTempFolder m_folder;
    std::string m_db;
    CTestHost* m_pHost = nullptr;
};

TEST_F(NewsRecordDlgTest, TreeFollowsTheCategoryPathsAndSelectionFiltersTheList)
{
    Add("ab", "a/b/");
    Add("ac", "a/c/", 1);
    Add("x", "x/");
    ASSERT_EQ(CNewsInterface::GetInstance()->ShowRecord(), 1);
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsWindowVisible() != FALSE; }));
    char caption[64] = "";
    ::GetWindowText(Dlg().GetSafeHwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, "消息记录");

    CTreeCtrl& tree = Dlg().m_tree;
    HTREEITEM hRoot = tree.GetRootItem();
    ASSERT_TRUE(hRoot);
    EXPECT_EQ(std::string(tree.GetItemText(hRoot)), "所有消息");
    EXPECT_EQ(tree.GetNextSiblingItem(hRoot), nullptr);
    HTREEITEM hA = Child(hRoot, "a");
    ASSERT_TRUE(hA);
    ASSERT_TRUE(Child(hRoot, "x"));
    HTREEITEM hB = Child(hA, "b");
    ASSERT_TRUE(hB);
    ASSERT_TRUE(Child(hA, "c"));
    EXPECT_EQ(tree.GetNextSiblingItem(tree.GetChildItem(hA)), Child(hA, "c"));  // b, then c: one a for both
    EXPECT_EQ(tree.GetCount(), 5u);  // 所有消息, a, b, c, x

    // The root is selected: every message of the user, read and unread, numbered from 1.
    EXPECT_EQ(tree.GetSelectedItem(), hRoot);
    EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(ListColumn(2), (std::vector<std::string>{"ab", "ac", "x"}));
    EXPECT_EQ(ListColumn(4), (std::vector<std::string>{"已读", "未读", "已读"}));
    EXPECT_EQ(ListColumn(1)[0], "2026-12-10 09:00:00");
    EXPECT_EQ(ListColumn(3)[0], "ab content");
    // Row 0 is selected and shown.
    EXPECT_EQ(Dlg().m_list.GetItemState(0, LVIS_SELECTED), (UINT)LVIS_SELECTED);

    tree.SelectItem(hA);
    EXPECT_EQ(ListColumn(2), (std::vector<std::string>{"ab", "ac"}));
    EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"1", "2"}));
    tree.SelectItem(hB);
    EXPECT_EQ(ListColumn(2), (std::vector<std::string>{"ab"}));
    EXPECT_EQ(std::string((LPCSTR)Dlg().SelectedPath()), "a/b/");
    Pump(300);
    SaveScreenshot("history");
}

TEST_F(NewsRecordDlgTest, ClearDeletesReadMessagesOfTheCategoryAndKeepsUnreadOnes)
{
    Add("read ab", "a/b/");
    Add("unread ac", "a/c/", 1);
    Add("read x", "x/");
    ASSERT_EQ(CNewsInterface::GetInstance()->ShowRecord(), 1);
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsWindowVisible() != FALSE; }));
    HTREEITEM hA = Child(Dlg().m_tree.GetRootItem(), "a");
    ASSERT_TRUE(hA);
    Dlg().m_tree.SelectItem(hA);
    CPoint pt = ScreenCentre(Dlg().GetDlgItem(IDC_NEWS_CLEAR));
    ASSERT_TRUE(MoveMouse(pt.x, pt.y));
    ASSERT_TRUE(Xdo("click 1"));
    ASSERT_TRUE(WaitFor([&] { return Rows("1") == "2"; }));
    EXPECT_EQ(Rows("title='read ab'"), "0");
    EXPECT_EQ(Rows("title='unread ac'"), "1");
    EXPECT_EQ(Rows("title='read x'"), "1");
    // The tree is rebuilt and the root selected: the rest of the user's messages.
    HTREEITEM hRoot = Dlg().m_tree.GetRootItem();
    EXPECT_TRUE(WaitFor([&] { return Dlg().m_tree.GetSelectedItem() == hRoot; }));
    EXPECT_EQ(ListColumn(2), (std::vector<std::string>{"unread ac", "read x"}));
    HTREEITEM hA2 = Child(hRoot, "a");
    ASSERT_TRUE(hA2);
    EXPECT_FALSE(Child(hA2, "b"));
    EXPECT_TRUE(Child(hA2, "c"));
}

TEST_F(NewsRecordDlgTest, DialogMessageShowsABoldCentredTitleOverIndentedContent)
{
    Add("Title", "a/");
    ASSERT_EQ(CNewsInterface::GetInstance()->ShowRecord(), 1);
    CRichEditCtrlZu& re = Dlg().m_richEdit;
    ASSERT_TRUE(WaitFor([&] { return re.GetTextLength() > 0; }));
    EXPECT_EQ(std::string((LPCSTR)re.GetTextRange(0, -1)), "Title\r    Title content");
    CHARFORMAT2 cf{};
    re.SetSel(0, 5);
    DWORD mask = re.GetSelectionCharFormat(cf);
    EXPECT_TRUE((mask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD));
    EXPECT_EQ(cf.yHeight, 220);
    PARAFORMAT2 pf{};
    re.GetParaFormat(pf);
    EXPECT_EQ(pf.wAlignment, PFA_CENTER);
    re.SetSel(7, 12);
    mask = re.GetSelectionCharFormat(cf);
    EXPECT_TRUE((mask & CFM_BOLD) && !(cf.dwEffects & CFE_BOLD));
    EXPECT_EQ(cf.yHeight, 240);
    EXPECT_FALSE(cf.dwEffects & CFE_LINK);
    re.GetParaFormat(pf);
    EXPECT_EQ(pf.wAlignment, PFA_LEFT);
}

TEST_F(NewsRecordDlgTest, WebMessageShowsTwoLinksAndAClickSendsItsRowToTheHost)
{
    Add("plain", "a/");
    Add("web #9 title", "a/", 11, "web", "http://127.0.0.1:1/page");
    ASSERT_EQ(CNewsInterface::GetInstance()->ShowRecord(), 1);
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsWindowVisible() != FALSE; }));
    Dlg().m_list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    CRichEditCtrlZu& re = Dlg().m_richEdit;
    // The title and the content, each followed by its hidden target "#1#1"; a "#" of the title
    // does not count.
    ASSERT_EQ(std::string((LPCSTR)re.GetTextRange(0, -1)), "web #9 title#1#1\rweb #9 title content#1#1\r");
    CHARRANGE first{0, 16};
    EXPECT_EQ(std::string((LPCSTR)re.GetLinkTarget(first)), "1");
    CHARFORMAT2 cf{};
    re.SetSel(0, 16);
    DWORD mask = re.GetSelectionCharFormat(cf);
    EXPECT_TRUE((mask & CFM_LINK) && (cf.dwEffects & CFE_LINK));
    EXPECT_EQ(cf.yHeight, 220);
    re.SetSel(12, 16);
    re.GetSelectionCharFormat(cf);
    EXPECT_TRUE(cf.dwEffects & CFE_HIDDEN);
    re.SetSel(17, 36);
    mask = re.GetSelectionCharFormat(cf);
    EXPECT_TRUE((mask & CFM_LINK) && (cf.dwEffects & CFE_LINK));
    re.SetSel(0, 0);

    // A real click on the second link (the content).
    Pump(100);
    CPoint pos = re.PosFromChar(19);
    ASSERT_GE(pos.x, 0);
    CPoint screen(pos.x + 3, pos.y + 6);
    re.ClientToScreen(&screen);
    ASSERT_TRUE(MoveMouse(screen.x, screen.y));
    ASSERT_TRUE(Xdo("click 1"));
    ASSERT_TRUE(WaitFor([&] { return !m_pHost->shown.empty(); }));
    EXPECT_EQ(m_pHost->shown[0].title, "web #9 title");
    Pump(300);
    SaveScreenshot("history-web");
}

// The row of a clicked link is its target read as a decimal number: an empty or unreadable target
// is row 0.
TEST_F(NewsRecordDlgTest, ALinkClickSendsTheRowItsTargetReadsAsANumber)
{
    Add("first", "a/", 11, "web", "http://127.0.0.1:1/first");
    Add("second", "a/", 11, "web", "http://127.0.0.1:1/second");
    ASSERT_EQ(CNewsInterface::GetInstance()->ShowRecord(), 1);
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsWindowVisible() != FALSE; }));
    struct CASE
    {
        const char* pszHidden;
        const char* pszTitle;
    } cases[] = {{"1", "second"}, {"", "first"}, {"x", "first"}, {"0", "first"}};
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(std::string("target '") + c.pszHidden + "'");
        CRichEditCtrlZu& re = Dlg().m_richEdit;
        re.SetSel(0, -1);
        re.ReplaceSel("", FALSE);
        re.AppendLink("link", c.pszHidden);
        ENLINK link{};
        link.nmhdr.hwndFrom = re.GetSafeHwnd();
        link.nmhdr.idFrom = IDC_NEWS_DETAIL;
        link.nmhdr.code = EN_LINK;
        link.msg = WM_LBUTTONDOWN;
        link.chrg.cpMin = 0;
        link.chrg.cpMax = re.GetTextLength();
        m_pHost->shown.clear();
        Dlg().SendMessage(WM_NOTIFY, IDC_NEWS_DETAIL, (LPARAM)&link);
        ASSERT_EQ(m_pHost->shown.size(), 1u);
        EXPECT_EQ(m_pHost->shown[0].title, c.pszTitle);
    }
}

TEST_F(NewsRecordDlgTest, VerticalSplitterStopsAtFiftyPixelsAndThePanesFollow)
{
    Add("m", "a/");
    ASSERT_EQ(CNewsInterface::GetInstance()->ShowRecord(), 1);
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsWindowVisible() != FALSE; }));
    Pump(100);
    CRect tree0 = RectIn(&Dlg().m_tree), list0 = RectIn(&Dlg().m_list), edit0 = RectIn(&Dlg().m_richEdit);
    CRect clear0 = RectIn(Dlg().GetDlgItem(IDC_NEWS_CLEAR));
    CPoint bar = ScreenCentre(&Dlg().m_splitV);
    ASSERT_TRUE(MoveMouse(bar.x, bar.y));
    ASSERT_TRUE(Xdo("mousedown 1"));
    Pump(100);
    for (int dx = 30; dx <= 120; dx += 30) {
        ASSERT_TRUE(MoveMouse(bar.x + dx, bar.y));
        Pump(30);
    }
    ASSERT_TRUE(Xdo("mouseup 1"));
    ASSERT_TRUE(WaitFor([&] { return RectIn(&Dlg().m_tree).Width() != tree0.Width(); }));
    EXPECT_EQ(RectIn(&Dlg().m_tree).Width(), tree0.Width() + 50);
    EXPECT_EQ(RectIn(&Dlg().m_list).left, list0.left + 50);
    EXPECT_EQ(RectIn(&Dlg().m_list).right, list0.right);
    EXPECT_EQ(RectIn(&Dlg().m_richEdit).left, edit0.left + 50);
    EXPECT_EQ(RectIn(Dlg().GetDlgItem(IDC_NEWS_CLEAR)).left, clear0.left + 50);
    EXPECT_EQ(ScreenCentre(&Dlg().m_splitV).x, bar.x + 50);
}

TEST_F(NewsRecordDlgTest, MinimumSizeIsTheFirstSizeLessFiftyAndCancelHides)
{
    ASSERT_EQ(CNewsInterface::GetInstance()->ShowRecord(), 1);
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsWindowVisible() != FALSE; }));
    CRect rc;
    Dlg().GetWindowRect(&rc);
    MINMAXINFO mmi{};
    Dlg().SendMessage(WM_GETMINMAXINFO, 0, (LPARAM)&mmi);
    EXPECT_EQ(mmi.ptMinTrackSize.x, rc.Width() - 50);
    EXPECT_EQ(mmi.ptMinTrackSize.y, rc.Height() - 50);
    // Growing the dialog grows the list and the detail view with it.
    CRect list0 = RectIn(&Dlg().m_list), edit0 = RectIn(&Dlg().m_richEdit);
    Dlg().SetWindowPos(nullptr, 0, 0, rc.Width() + 40, rc.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(WaitFor([&] { return RectIn(&Dlg().m_list).Width() == list0.Width() + 40; }));
    EXPECT_EQ(RectIn(&Dlg().m_richEdit).Height(), edit0.Height() + 30);

    Dlg().SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return Dlg().IsWindowVisible() == FALSE; }));
    EXPECT_TRUE(::IsWindow(Dlg().GetSafeHwnd()));
}

} // namespace
