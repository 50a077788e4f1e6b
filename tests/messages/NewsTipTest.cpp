// The component through its exported interface: messages handed over, stored in a real SQLite
// file, queued and shown one by one in the tip, which is worked with the real pointer.
#include <gtest/gtest.h>

#include "NewsGuiTestUtil.h"

#include "NewsBox.h"
#include "NewsComponent.h"
#include "NewsStore.h"
#include "CStringArray.h"

#include <cstring>
#include <set>

namespace {

const int kTipW = 250;
const int kTipH = 180;

class NewsTipTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_db = m_folder.Path() + "/aaa";
        m_pHost = new CTestHost(m_db);
        ASSERT_TRUE(m_pHost->GetSafeHwnd());
    }
    void TearDown() override
    {
        delete CNewsInterface::GetInstance();
        delete m_pHost;
        MoveMouse(0, 0);
    }

    CNewsInterface* Start()
    {
        CNewsInterface* p = CNewsInterface::GetInstance();
        EXPECT_EQ(p->InitNewsInterface(m_db.c_str(), "bbb", m_pHost->GetSafeHwnd()), 1);
        return p;
    }
    int Add(const char* title, int type = 1, const char* cls = "aaa/bbb/ccc/ddd/")
    {
        return CNewsInterface::GetInstance()->AddNews(type, title, "content of the message", "dialog", "", cls,
                                                      "2026-12-10 09:00:00");
    }
    CNewsTipWnd& Tip() { return NewsTipBox()->Tip(); }
    std::string ShownTitle() { return Tip().Item(CNewsTipWnd::ItemTitle).text; }
    std::string Rows(const std::string& where = "1")
    {
        return QueryText(m_db, "select count(*) from dbMsgRecord where " + where);
    }
    // The tip's top-left on the screen.
    CPoint TipOrigin()
    {
        RECT rc{};
        ::GetWindowRect(Tip().GetSafeHwnd(), &rc);
        return CPoint(rc.left, rc.top);
    }
    CPoint ItemCentre(int index)
    {
        const RECT& r = Tip().Item(index).rect;
        CPoint o = TipOrigin();
        return CPoint(o.x + (r.left + r.right) / 2, o.y + (r.top + r.bottom) / 2);
    }
    bool ClickItem(int index)
    {
        CPoint pt = ItemCentre(index);
        return MoveMouse(pt.x, pt.y) && Xdo("click 1");
    }
    // Waits until the tip shows the given title, visible.
    bool WaitShown(const std::string& title)
    {
        return WaitFor([&] { return Tip().IsVisible() && ShownTitle() == title; });
    }

    CTempFolder m_folder;
    std::string m_db;
    CTestHost* m_pHost = nullptr;
};

TEST_F(NewsTipTest, OperationsDoNothingBeforeStart)
{
    CNewsInterface* p = CNewsInterface::GetInstance();
    EXPECT_EQ(p, CNewsInterface::GetInstance());
    EXPECT_EQ(Add("early"), 0);
    EXPECT_EQ(p->HideNewsTip(), 0);
    EXPECT_EQ(p->ShowRecord(), 0);
    p->ShowNewsTip();
    p->SetUser("x");
    EXPECT_EQ(NewsTipBox(), nullptr);
}

// The name the rows are stored under follows SetUser, an empty name (or none) included.
TEST_F(NewsTipTest, SetUserReplacesTheStoredNameEvenWithAnEmptyOne)
{
    CNewsInterface* p = Start();
    struct CASE
    {
        const char* pszUser;
        const char* pszTitle;
        const char* pszStoredUser;
    } cases[] = {{"x", "for x", "x"}, {"", "for nobody", ""}, {"y", "for y", "y"}, {nullptr, "for none", ""}};
    for (const CASE& c : cases)
    {
        p->SetUser(c.pszUser);
        ASSERT_EQ(Add(c.pszTitle), 1);
        EXPECT_EQ(Rows(std::string("title='") + c.pszTitle + "' and user='" + c.pszStoredUser + "'"), "1") << c.pszTitle;
    }
}

TEST_F(NewsTipTest, AddNewsRefusesMissingFieldsInOrderAndStoresNothing)
{
    CNewsInterface* p = Start();
    struct Case
    {
        const char *title, *content, *remind, *url, *cls, *time;
        int expected;
    };
    const Case cases[] = {
        {"", "c", "dialog", "u", "a/", "2026-01-01", 0},
        {nullptr, "c", "dialog", "u", "a/", "2026-01-01", 0},
        {"t", "", "dialog", "u", "a/", "2026-01-01", 0},
        {"t", "c", nullptr, "u", "a/", "2026-01-01", 0},
        {"t", "c", "dialog", "u", "", "2026-01-01", 0},
        {"t", "c", "dialog", "u", "a/", "", 0},
        {"t", "c", "dialog", "u", "a/", nullptr, 0},
        {"t", "c", "web", "", "a/", "2026-01-01", 0},
        {"t", "c", "web", nullptr, "a/", "2026-01-01", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(p->AddNews(1, c.title, c.content, c.remind, c.url, c.cls, c.time), c.expected)
            << (c.title ? c.title : "(null)") << " " << (c.remind ? c.remind : "(null)");
    EXPECT_EQ(Rows(), "0");
    EXPECT_EQ(NewsTipBox()->Count(), 0);

    // "Web" is not "web"; a null url of a dialog message is stored as "".
    EXPECT_EQ(p->AddNews(1, "upper", "c", "Web", "", "a/", "2026-01-01"), 1);
    EXPECT_EQ(p->AddNews(1, "nullurl", "c", "dialog", nullptr, "a/", "2026-01-01"), 1);
    EXPECT_EQ(Rows(), "2");
    EXPECT_EQ(QueryText(m_db, "select url from dbMsgRecord where title='nullurl'"), "");
    EXPECT_EQ(QueryText(m_db, "select user from dbMsgRecord where title='nullurl'"), "bbb");
}

TEST_F(NewsTipTest, IdsAreThirtyTwoCharactersAndFresh)
{
    CNewsInterface* p = Start();
    for (int i = 0; i < 200; ++i) ASSERT_EQ(p->AddNews(11, "t", "c", "dialog", "", "a/", "2026-01-01"), 1);
    std::set<std::string> ids;
    for (int i = 0; i < NewsTipBox()->Count(); ++i) {
        const std::string& id = NewsTipBox()->ItemAt(i)->id;
        EXPECT_EQ(id.size(), 32u) << id;
        EXPECT_EQ(id.find_first_not_of(" 0123456789ABCDEF"), std::string::npos) << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 200u);
    EXPECT_EQ(Rows("length(id)=32"), "200");
}

TEST_F(NewsTipTest, ThreeInARowShowTheFirstAndClosingMarksItReadAndShowsTheNext)
{
    Start();
    ASSERT_EQ(Add("first"), 1);
    ASSERT_EQ(Add("second"), 1);
    ASSERT_EQ(Add("third"), 1);
    ASSERT_TRUE(WaitShown("first"));
    EXPECT_EQ(Tip().Item(CNewsTipWnd::ItemContent).text, "content of the message");
    // The caption is the category's last component.
    char caption[64] = "";
    ::GetWindowText(Tip().GetSafeHwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, "ddd");
    // At the work area's bottom-right corner (no panels here: the screen's).
    RECT work{};
    ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(WaitFor([&] { return TipOrigin() == CPoint(work.right - kTipW, work.bottom - kTipH); }));
    // The tip never takes the focus from the host.
    EXPECT_NE(::GetFocus(), Tip().GetSafeHwnd());

    ASSERT_TRUE(ClickItem(CNewsTipWnd::ItemClose));
    ASSERT_TRUE(WaitShown("second"));
    EXPECT_EQ(QueryText(m_db, "select isRead from dbMsgRecord where title='first'"), "1");
    EXPECT_EQ(QueryText(m_db, "select isRead from dbMsgRecord where title='second'"), "0");
    EXPECT_EQ(NewsTipBox()->Count(), 2);
    EXPECT_TRUE(m_pHost->shown.empty());  // closing tells the host nothing

    ASSERT_TRUE(ClickItem(CNewsTipWnd::ItemClose));
    ASSERT_TRUE(WaitShown("third"));
    ASSERT_TRUE(ClickItem(CNewsTipWnd::ItemClose));
    // The last one closed leaves the tip hidden and the queue empty.
    ASSERT_TRUE(WaitFor([&] { return NewsTipBox()->Count() == 0 && !Tip().IsVisible(); }));
    EXPECT_EQ(Rows("isRead=0"), "0");
}

TEST_F(NewsTipTest, ClickOnContentSendsTheMessageToTheHostBeforeMarkingIt)
{
    Start();
    ASSERT_EQ(Add("head"), 1);
    ASSERT_EQ(Add("next"), 1);
    ASSERT_TRUE(WaitShown("head"));
    ASSERT_TRUE(ClickItem(CNewsTipWnd::ItemContent));
    ASSERT_TRUE(WaitShown("next"));
    ASSERT_EQ(m_pHost->shown.size(), 1u);
    EXPECT_EQ(m_pHost->shown[0].title, "head");
    EXPECT_EQ(m_pHost->shown[0].isReadThen, "0");  // the host ran before the mark
    EXPECT_EQ(QueryText(m_db, "select isRead from dbMsgRecord where title='head'"), "1");
}

// The host's window maximised over the whole screen after the tip came up, as the main frame
// is: the tip stays above it and takes the operator's click.
TEST_F(NewsTipTest, TipStaysAboveAMaximisedWindowShownAfterItAndTakesTheClick)
{
    Start();
    ASSERT_EQ(Add("over"), 1);
    ASSERT_EQ(Add("after"), 1);
    ASSERT_TRUE(WaitShown("over"));
    m_pHost->ShowWindow(SW_SHOWMAXIMIZED);
    ASSERT_TRUE(WaitFor([&] { return m_pHost->IsWindowVisible() != FALSE; }));
    ASSERT_TRUE(ClickItem(CNewsTipWnd::ItemContent));
    ASSERT_TRUE(WaitShown("after"));
    ASSERT_EQ(m_pHost->shown.size(), 1u);
    EXPECT_EQ(m_pHost->shown[0].title, "over");
}

TEST_F(NewsTipTest, ClickOnTitleAndViewButtonNotifyTooAndShowTheHandCursor)
{
    Start();
    ASSERT_EQ(Add("one"), 1);
    ASSERT_EQ(Add("two"), 1);
    ASSERT_EQ(Add("three"), 1);
    ASSERT_TRUE(WaitShown("one"));
    CPoint pt = ItemCentre(CNewsTipWnd::ItemTitle);
    ASSERT_TRUE(MoveMouse(pt.x, pt.y));
    ASSERT_TRUE(WaitFor([&] { return Tip().HoverIndex() == CNewsTipWnd::ItemTitle; }));
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));
    ASSERT_TRUE(Xdo("click 1"));
    ASSERT_TRUE(WaitShown("two"));
    ASSERT_TRUE(ClickItem(CNewsTipWnd::ItemView));
    ASSERT_TRUE(WaitShown("three"));
    ASSERT_EQ(m_pHost->shown.size(), 2u);
    EXPECT_EQ(m_pHost->shown[0].title, "one");
    EXPECT_EQ(m_pHost->shown[1].title, "two");
    // Off the items the cursor is the arrow again; leaving clears the hover.
    CPoint o = TipOrigin();
    ASSERT_TRUE(MoveMouse(o.x + 4, o.y + kTipH - 6));
    ASSERT_TRUE(WaitFor([&] { return Tip().HoverIndex() == -1; }));
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(NewsTipTest, PressOnCloseMoveOffAndReleaseIsNoClick)
{
    Start();
    ASSERT_EQ(Add("stays"), 1);
    ASSERT_EQ(Add("waits"), 1);
    ASSERT_TRUE(WaitShown("stays"));
    CPoint close = ItemCentre(CNewsTipWnd::ItemClose);
    CPoint content = ItemCentre(CNewsTipWnd::ItemContent);
    ASSERT_TRUE(MoveMouse(close.x, close.y));
    ASSERT_TRUE(Xdo("mousedown 1"));
    ASSERT_TRUE(WaitFor([&] { return Tip().PressedIndex() == CNewsTipWnd::ItemClose; }));
    ASSERT_TRUE(MoveMouse(content.x, content.y));
    ASSERT_TRUE(Xdo("mouseup 1"));
    ASSERT_TRUE(WaitFor([&] { return Tip().PressedIndex() == -1; }));
    Pump(200);  // a click would have been posted by now
    EXPECT_TRUE(Tip().IsVisible());
    EXPECT_EQ(ShownTitle(), "stays");
    EXPECT_EQ(NewsTipBox()->Count(), 2);
    EXPECT_TRUE(m_pHost->shown.empty());
    EXPECT_EQ(Rows("isRead=0"), "2");
}

TEST_F(NewsTipTest, DraggingOutsideTheItemsMovesTheTipUntilTheNextMessage)
{
    Start();
    ASSERT_EQ(Add("dragged"), 1);
    ASSERT_EQ(Add("after"), 1);
    ASSERT_TRUE(WaitShown("dragged"));
    CPoint o = TipOrigin();
    CPoint grip(o.x + 100, o.y + 160);  // below the content, left of the view button
    ASSERT_TRUE(MoveMouse(grip.x, grip.y));
    ASSERT_TRUE(Xdo("mousedown 1"));
    Pump(100);
    for (int step = 1; step <= 4; ++step) {
        ASSERT_TRUE(MoveMouse(grip.x - 30 * step, grip.y - 25 * step));
        Pump(50);
    }
    ASSERT_TRUE(Xdo("mouseup 1"));
    EXPECT_TRUE(WaitFor([&] { return TipOrigin() == CPoint(o.x - 120, o.y - 100); }))
        << TipOrigin().x << "," << TipOrigin().y;
    EXPECT_TRUE(m_pHost->shown.empty());
    EXPECT_EQ(ShownTitle(), "dragged");
    // The next message puts it back into the corner.
    ASSERT_TRUE(ClickItem(CNewsTipWnd::ItemClose));
    ASSERT_TRUE(WaitShown("after"));
    EXPECT_TRUE(WaitFor([&] { return TipOrigin() == o; }));
}

TEST_F(NewsTipTest, SkinCornersAreTransparentAndButtonsShowTheirStates)
{
    // The screen behind the tip's corner, before the tip is there.
    RECT work{};
    ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    CPoint corner(work.right - kTipW, work.bottom - kTipH);
    COLORREF behind = ScreenPixel(corner.x, corner.y);

    Start();
    ASSERT_EQ(Add("skin"), 1);
    ASSERT_TRUE(WaitShown("skin"));
    ASSERT_TRUE(WaitFor([&] { return TipOrigin() == corner; }));
    // The skin's colours (NewsSkin.bmp): the frame's border, the close button's three faces.
    const COLORREF kBorder = RGB(31, 86, 140);
    const COLORREF kCloseHover = RGB(232, 17, 35);
    const COLORREF kClosePressed = RGB(160, 10, 20);
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(corner.x + 40, corner.y) == kBorder; }));
    SaveScreenshot("tip");
    // Outside the rounded corner the screen shows through; never the skin's magenta.
    EXPECT_EQ(ScreenPixel(corner.x, corner.y), behind);
    EXPECT_NE(ScreenPixel(corner.x + 1, corner.y), RGB(255, 0, 255));
    EXPECT_NE(ScreenPixel(corner.x + kTipW - 1, corner.y + kTipH - 1), RGB(255, 0, 255));

    // The close button's background pixel (3, 3 inside it) in its three states.
    CPoint probe(corner.x + kTipW - 40 + 3, corner.y + 1 + 3);
    COLORREF normal = ScreenPixel(probe.x, probe.y);
    EXPECT_NE(normal, kCloseHover);
    CPoint close = ItemCentre(CNewsTipWnd::ItemClose);
    ASSERT_TRUE(MoveMouse(close.x, close.y));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(probe.x, probe.y) == kCloseHover; }));
    ASSERT_TRUE(Xdo("mousedown 1"));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(probe.x, probe.y) == kClosePressed; }));
    SaveScreenshot("tip-close-pressed");
    CPoint away = ItemCentre(CNewsTipWnd::ItemContent);
    ASSERT_TRUE(MoveMouse(away.x, away.y));
    ASSERT_TRUE(Xdo("mouseup 1"));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(probe.x, probe.y) == normal; }));
}

TEST_F(NewsTipTest, LongTextsWrapAndEndInAnEllipsisInsideTheirItems)
{
    CNewsInterface* p = Start();
    std::string title = "一个很长很长的标题，长得放不进提示窗口的标题栏里面，一定要被截断";
    std::string content;
    for (int i = 0; i < 30; ++i) content += "消息内容第" + std::to_string(i) + "段，";
    ASSERT_EQ(p->AddNews(1, title.c_str(), content.c_str(), "dialog", "", "a/长分类/", "2026-12-10 09:00:00"), 1);
    ASSERT_TRUE(WaitShown(title));
    Pump(200);
    SaveScreenshot("tip-long");
    // The content stays inside its item: the row below the content area is the skin's body.
    CPoint o = TipOrigin();
    const RECT& rc = Tip().Item(CNewsTipWnd::ItemContent).rect;
    const COLORREF kBody = RGB(236, 245, 252);
    for (int x = rc.left; x < rc.right; x += 3) EXPECT_EQ(ScreenPixel(o.x + x, o.y + rc.bottom + 2), kBody) << x;
    // Text reaches the content's lower part (it is filled, not cut after one line).
    int inked = 0;
    for (int x = rc.left; x < rc.right; x += 2)
        for (int y = rc.bottom - 30; y < rc.bottom; y += 3) inked += ScreenPixel(o.x + x, o.y + y) != kBody;
    EXPECT_GT(inked, 0);
}

TEST(NewsTipWndTest, EmptyTextsDrawNothingAndWithoutSkinTheClassBackgroundShows)
{
    const COLORREF kBody = RGB(236, 245, 252);
    RECT work{};
    ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    {
        CNewsTipWnd tip;
        ASSERT_EQ(tip.LoadSkin(3000, 0), 1);
        ASSERT_EQ(tip.Create("caption", nullptr, 250, 180), 1);
        EXPECT_EQ(tip.Create("again", nullptr, 250, 180), 0);  // one window per object
        ASSERT_EQ(tip.SetTexts("caption", "", "", "http://x/"), 1);
        EXPECT_EQ(tip.Url(), "http://x/");
        tip.Show(1);
        CPoint o(work.right - 250, work.bottom - 180);
        ASSERT_TRUE(WaitFor([&] { return ScreenPixel(o.x + 40, o.y) == RGB(31, 86, 140); }));
        for (int index : {CNewsTipWnd::ItemTitle, CNewsTipWnd::ItemContent}) {
            const RECT& rc = tip.Item(index).rect;
            for (int y = rc.top; y < rc.bottom; y += 4)
                for (int x = rc.left; x < rc.right; x += 4) ASSERT_EQ(ScreenPixel(o.x + x, o.y + y), kBody) << x << "," << y;
        }
        tip.Show(0);
        EXPECT_FALSE(tip.IsVisible());
    }
    {
        CNewsTipWnd tip;
        EXPECT_EQ(tip.LoadSkin(2999, 0), 0);  // no such bitmap
        ASSERT_EQ(tip.Create("plain", nullptr, 250, 180), 1);
        EXPECT_EQ(tip.Redraw(), 0);
        tip.Show(1);
        CPoint c(work.right - 125, work.bottom - 90);
        COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == face; })) << std::hex << ScreenPixel(c.x, c.y);
    }
}

TEST_F(NewsTipTest, UnreadRowsAreQueuedAgainAtTheNextStart)
{
    Start();
    ASSERT_EQ(Add("unread one", 9), 1);
    ASSERT_EQ(Add("information", 11), 1);  // stored as read
    ASSERT_EQ(Add("unread two", 1), 1);
    ASSERT_TRUE(WaitShown("unread one"));
    delete CNewsInterface::GetInstance();
    EXPECT_EQ(NewsTipBox(), nullptr);

    Start();
    ASSERT_EQ(NewsTipBox()->Count(), 2);
    EXPECT_EQ(NewsTipBox()->ItemAt(0)->title, "unread one");
    EXPECT_EQ(NewsTipBox()->ItemAt(1)->title, "unread two");
    EXPECT_TRUE(WaitShown("unread one"));
}

TEST_F(NewsTipTest, HideAndShowTheTipThroughTheInterface)
{
    CNewsInterface* p = Start();
    ASSERT_EQ(Add("shown"), 1);
    ASSERT_TRUE(WaitShown("shown"));
    EXPECT_EQ(p->HideNewsTip(), 1);
    EXPECT_EQ(p->HideNewsTip(), 0);
    EXPECT_FALSE(Tip().IsVisible());
    p->ShowNewsTip();
    EXPECT_TRUE(WaitShown("shown"));
    // A second start is refused and keeps the first.
    CNewsBox* pBox = NewsTipBox();
    EXPECT_EQ(p->InitNewsInterface(m_db.c_str(), "other", m_pHost->GetSafeHwnd()), 0);
    EXPECT_EQ(NewsTipBox(), pBox);
}

TEST_F(NewsTipTest, CaptionIsTheLastPathComponent)
{
    struct Case
    {
        const char* path;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"aaa/bbb/ccc/ddd/", {"aaa", "bbb", "ccc", "ddd"}},
        {"  /a//b/  ", {"a", "b"}},
        {"///", {}},
        {"   ", {}},
        {"one/two", {"one"}},  // text after the last separator is no component
        {"", {}},
    };
    for (const Case& c : cases) {
        CStringArray parts;
        CNewsBox::SplitPath(c.path, '/', parts);
        ASSERT_EQ(parts.GetSize(), (INT_PTR)c.parts.size()) << c.path;
        for (size_t i = 0; i < c.parts.size(); ++i) EXPECT_EQ(std::string(parts[(INT_PTR)i]), c.parts[i]);
    }
}

} // namespace
