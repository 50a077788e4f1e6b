// The main frame in a real window: its bars, status bar panes, tray icon and the deferred build
// of the server menus and toolbars from a crafted menu tree served by devnet.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <vector>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/wx.h>
#include <wx/statusbr.h>
#include <wx/aui/auibook.h>
#include "ClientEnvironment.h"
#include "CMDIChildWndEx.h"
#include "CodePage.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "MainFrm.h"
#include "OptionCtrl.h"
#include "OptionData.h"
#include "ParvelApp.h"
#include "PrivateMember.h"
#include "TestFiles.h"
#include "VelkorMenu.h"
#include "XPixels.h"
#include "resource.h"
#include "TrackedMenuReader.h"
#include "TrayHost.h"

namespace
{
typedef void (COptionData::*SETTER)(const char*);
struct AuthorityUrlTag { typedef SETTER type; };
}  // namespace
template struct CPrivateBinder<AuthorityUrlTag, &COptionData::SetUserAuthorityUrl>;
namespace
{
struct MessageUrlTag { typedef CString COptionData::*type; };
}  // namespace
template struct CPrivateBinder<MessageUrlTag, &COptionData::m_MessageUrl>;
namespace
{
struct TransUrlListUrlTag { typedef CString COptionData::*type; };
}  // namespace
template struct CPrivateBinder<TransUrlListUrlTag, &COptionData::m_TransUrlListUrl>;

namespace
{
const ::testing::Environment* const s_env =
    ::testing::AddGlobalTestEnvironment(new CClientEnvironment("mainwnd_tests", "parvel-mainwnd"));

// Depth first: 录入 60000 (its action ends in blanks), 子一 60001, 子二 60002, 查询 60003, 打印面单
// 60004; the unpermitted, empty-action and top-level entries take no id.
const char* const kTree =
    "<menus>"
    "<menu name=\"顶层命令\" action=\"http://127.0.0.1:1/top\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>"
    "<menu name=\"订单\" icon=\"order\" type=\"popup\" permitted=\"1\">"
    "<menu name=\"录入\" action=\"http://127.0.0.1:1/in  \" icon=\"in\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>"
    "<menu name=\"无权\" action=\"http://127.0.0.1:1/x\" icon=\"x\" toolbar=\"1\" permitted=\"0\" type=\"command\"/>"
    "<menu name=\"空\" action=\"\" icon=\"e\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>"
    "<menu type=\"separator\"/>"
    "<menu name=\"子菜单\" icon=\"sub\" type=\"popup\" permitted=\"1\">"
    "<menu name=\"子一\" action=\"http://127.0.0.1:1/s1\" icon=\"s1\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>"
    "<menu name=\"子二\" action=\"http://127.0.0.1:1/s2\" icon=\"s2\" toolbar=\"0\" permitted=\"1\" type=\"command\"/>"
    "</menu>"
    "<menu name=\"查询\" action=\"http://127.0.0.1:1/q\" icon=\"q\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>"
    "</menu>"
    "<menu type=\"separator\"/>"
    "<menu name=\"空组\" icon=\"none\" type=\"popup\" permitted=\"1\">"
    "<menu name=\"不许\" action=\"http://127.0.0.1:1/n\" toolbar=\"1\" permitted=\"0\" type=\"command\"/>"
    "</menu>"
    "<menu name=\"打印\" icon=\"print\" type=\"popup\" permitted=\"1\">"
    "<menu name=\"打印面单\" action=\"http://127.0.0.1:1/p\" icon=\"p\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>"
    "</menu>"
    "</menus>";

std::string Utf8(const char* gbk)
{
    return CCodePage::AnsiToUtf8(gbk);
}

Display* XDisplay()
{
    return TestXDisplay();
}

Window ParentOf(Window w)
{
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    if (XQueryTree(XDisplay(), w, &root, &parent, &kids, &n) && kids)
        XFree(kids);
    return parent;
}

void WriteIcon(const std::string& path, const char* color)
{
    std::string cmd = "convert -size 16x16 xc:'" + std::string(color) + "' '" + path + "'";
    ASSERT_EQ(system(cmd.c_str()), 0);
}

class MainFrameTest : public ::testing::Test
{
protected:
    // A tray to dock into.
    static void SetUpTestSuite() { s_tray.Start(); }
    static void TearDownTestSuite() { s_tray.Stop(); }

    void SetUp() override
    {
        ASSERT_TRUE(WaitFor([] { return TrayOwner() != 0; }, 10000)) << "no tray host";
        std::string menuFile = std::string(getcwd(m_cwd, sizeof(m_cwd))) + "/menus.xml";
        std::ofstream(menuFile) << Utf8(kTree);
        std::vector<std::string> args{"--menu", menuFile};
        for (const std::string& arg : DevnetFaults())
            args.push_back(arg);
        m_devnet = std::make_unique<CDevnetProcess>(args);
        ASSERT_TRUE(m_devnet->IsReady()) << m_devnet->Log();
        (COptionCtrl::GetOptionData().*CPrivate<AuthorityUrlTag>::s_member)(m_devnet->Url("authority").c_str());
        COptionCtrl::GetOptionData().*CPrivate<MessageUrlTag>::s_member = m_devnet->Url("message").c_str();
        COptionCtrl().SetUserInfo("demo", "SID", "TGT");
        // Pictures for some entries only.
        mkdir("ico", 0755);
        mkdir("ico/16x16", 0755);
        mkdir("ico/24x24", 0755);
        WriteIcon("ico/16x16/in.ico", "#0000ff");
        WriteIcon("ico/24x24/in.ico", "#0000ff");
        WriteIcon("ico/16x16/q.ico", "#00ff00");
        WriteIcon("ico/24x24/p.ico", "#ff0000");

        m_pFrame = new CMainFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
        m_hFrame = m_pFrame->GetSafeHwnd();
        theApp.m_pMainWnd = m_pFrame;
        m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
        m_pFrame->UpdateWindow();
        Pump(200);
    }
    void TearDown() override
    {
        theApp.m_pMainWnd = nullptr;
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        Pump(100);
    }

    // --fault arguments of devnet for the test.
    virtual std::vector<std::string> DevnetFaults() const { return {}; }

    int Count(const std::string& line) const
    {
        std::string log = m_devnet->Log();
        int n = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++n;
        return n;
    }

    // Ticks of the message poll until its next request reaches devnet (it comes every 180th).
    bool TickUntilThePollAsks()
    {
        const int nBefore = Count("message: type=xml userno=demo");
        for (int i = 0; i < 400; ++i)
        {
            ::SendMessage(m_hFrame, WM_TIMER, TIMER_NEWS_POLL, 0);
            if (WaitFor([&] { return Count("message: type=xml userno=demo") > nBefore; }, i % 20 == 19 ? 200 : 0))
                return true;
        }
        return WaitFor([&] { return Count("message: type=xml userno=demo") > nBefore; }, 5000);
    }

    int AuthorityRequests() const
    {
        std::string log = m_devnet->Log();
        int n = 0;
        for (size_t at = log.find("authority: userId=demo"); at != std::string::npos;
             at = log.find("authority: userId=demo", at + 1))
            ++n;
        return n;
    }

    static inline CTrayHost s_tray;
    char m_cwd[512] = "";
    std::unique_ptr<CDevnetProcess> m_devnet;
    CMainFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};
}  // namespace

TEST_F(MainFrameTest, CreationBuildsTheSearchBarStatusBarAndTrayButNoMenus)
{
    CString strCaption;
    m_pFrame->GetWindowText(strCaption);
    EXPECT_STREQ(strCaption, "Velkor速递网点客户端");
    EXPECT_FALSE(m_pFrame->m_bMenuLoaded);
    EXPECT_EQ(dynamic_cast<wxFrame*>(m_pFrame->GetWxWindow())->GetMenuBar(), nullptr);
    EXPECT_FALSE(::IsWindow(m_pFrame->m_wndToolBar.GetSafeHwnd()));

    // The search bar: the waybill box and the query button.
    ASSERT_EQ(m_pFrame->m_wndSearchBar.GetCount(), 2);
    EXPECT_EQ(m_pFrame->m_wndSearchBar.GetItemID(0), (UINT)ID_WAYBILL_EDIT);
    EXPECT_EQ(m_pFrame->m_wndSearchBar.GetItemID(1), (UINT)ID_WAYBILL_QUERY);
    EXPECT_STREQ(m_pFrame->m_wndSearchBar.GetButtonText(1), "查询");
    auto* pBox = dynamic_cast<CMFCToolBarEditBoxButton*>(m_pFrame->m_wndSearchBar.GetButton(0));
    ASSERT_TRUE(pBox && pBox->GetEditBox());
    EXPECT_EQ(::GetParent(pBox->GetEditBox()->GetSafeHwnd()), m_pFrame->m_wndSearchBar.GetSafeHwnd());

    // Status bar: icon pane 21 wide with its tip, the welcome text stretching, pane 2 150 wide.
    CMFCStatusBar& bar = m_pFrame->m_wndStatusBar;
    ASSERT_EQ(bar.GetCount(), 3);
    EXPECT_EQ(bar.GetPaneWidth(0), 21);
    EXPECT_STREQ(bar.GetTipText(0), "This is a tooltip");
    EXPECT_STREQ(bar.GetPaneText(1), "demo，您好！欢迎使用Velkor速递网点客户端。");
    EXPECT_TRUE(bar.GetPaneStyle(1) & SBPS_STRETCH);
    EXPECT_EQ(bar.GetPaneWidth(2), 150);
    EXPECT_STREQ(bar.GetPaneText(2), "  ");

    // Read back from the screen: the icon is drawn in pane 0 without its key colour.
    RECT rc;
    bar.GetItemRect(0, &rc);
    ASSERT_GT(rc.right - rc.left, 10);
    wxPoint org = bar.GetWxWindow()->GetScreenPosition();
    Display* dpy = XDisplay();
    int nBlue = 0, nMagenta = 0;
    EXPECT_TRUE(WaitFor([&] {
        nBlue = nMagenta = 0;
        std::vector<COLORREF> pixels =
            ScreenPixels(org.x + rc.left, org.y + rc.top, rc.right - rc.left, rc.bottom - rc.top);
        if (pixels.empty())
            return false;
        for (COLORREF px : pixels)
        {
            int r = GetRValue(px), g = GetGValue(px), b = GetBValue(px);
            nMagenta += r > 240 && g < 16 && b > 240;
            nBlue += b > 150 && r < 100 && g < 160;
        }
        return nBlue > 10 && nMagenta == 0;
    }, 5000)) << nBlue << " blue, " << nMagenta << " magenta pixels";

    // The tray icon is docked in the tray with the product name and the account as its tip.
    unsigned long xid = 0;
    ASSERT_TRUE(WaitFor([&] { return (xid = AfxGetTrayIconX11Window(m_hFrame, 128)) != 0; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return ParentOf(xid) != DefaultRootWindow(dpy) && ParentOf(xid) != 0; }, 5000));
    EXPECT_EQ(WindowNameUtf8(xid), Utf8("Velkor速递网点客户端 \r\n当前用户：demo"));
    EXPECT_TRUE(m_pFrame->m_TrayIcon.m_bIconShown);
    EXPECT_EQ(m_pFrame->m_TrayIcon.m_nid.uCallbackMessage, (UINT)WM_TRAY_NOTIFY);

    // A click on the icon reaches the frame as its callback message.
    m_pFrame->m_TrayIcon.RemoveIcon();
    EXPECT_TRUE(WaitFor([&] { return AfxGetTrayIconX11Window(m_hFrame, 128) == 0; }, 2000));
    m_pFrame->m_TrayIcon.AddIcon();
    m_pFrame->m_TrayIcon.AddIcon();  // shown once only
    EXPECT_NE(AfxGetTrayIconX11Window(m_hFrame, 128), 0ul);
}

TEST_F(MainFrameTest, ServerMenusAreBuiltOnceWithDepthFirstIdsAndFlattenedToolbars)
{
    // The first page, still loading, stands in the window list.
    auto* pPage = new CMDIChildWndEx;
    ASSERT_TRUE(pPage->Create(nullptr, "页面加载中....", WS_CHILD | WS_VISIBLE, CFrameWnd::rectDefault, m_pFrame));
    HMENU hWindow = ::GetSubMenu(m_pFrame->GetDefaultMenu(), 1);
    ASSERT_EQ(::GetMenuItemCount(hWindow), 4);

    m_pFrame->LoadXmlMenu();
    ASSERT_TRUE(m_pFrame->m_bMenuLoaded);
    // The placeholder and the separator before it are gone.
    EXPECT_EQ(::GetMenuItemCount(hWindow), 2);

    // Popups by position: the counter counts every top-level entry (1 command, 2 订单, 3 separator,
    // 4 空组, 5 打印).
    CMenu* pMenu = m_pFrame->GetMenu();
    std::vector<std::string> tops;
    for (UINT i = 0; i < pMenu->GetMenuItemCount(); ++i)
    {
        CString s;
        pMenu->GetMenuString(i, s, MF_BYPOSITION);
        tops.push_back(s.GetString());
    }
    EXPECT_EQ(tops, (std::vector<std::string>{"系统(&S)", "窗口(&W)", "订单", "帮助(&H)", "空组", "打印"}));
    CMenu* pOrders = pMenu->GetSubMenu(2);
    ASSERT_TRUE(pOrders);
    ASSERT_EQ(pOrders->GetMenuItemCount(), 4u);
    EXPECT_EQ(pOrders->GetMenuItemID(0), 60000u);
    EXPECT_EQ(pOrders->GetMenuItemID(1), 0u);  // separator
    CMenu* pSub = pOrders->GetSubMenu(2);
    ASSERT_TRUE(pSub);
    EXPECT_EQ(pSub->GetMenuItemID(0), 60001u);
    EXPECT_EQ(pSub->GetMenuItemID(1), 60002u);
    EXPECT_EQ(pOrders->GetMenuItemID(3), 60003u);
    EXPECT_EQ(pMenu->GetSubMenu(4)->GetMenuItemCount(), 0u);
    EXPECT_EQ(pMenu->GetSubMenu(5)->GetMenuItemID(0), 60004u);
    CVelkorMenu& menus = CVelkorMenu::GetInstance();
    EXPECT_EQ(menus.m_mapIdToItem.size(), 5u);
    EXPECT_STREQ(menus.FindItem(60002)->name, "子二");
    EXPECT_EQ(menus.FindItem(60005), nullptr);
    // 16x16 pictures on the items that have one.
    MENU_ITEM_INFO info{};
    ASSERT_TRUE(AfxGetMenuItemInfo(pOrders->m_hMenu, 0, &info));
    EXPECT_NE(info.hbmUnchecked, nullptr);
    ASSERT_TRUE(AfxGetMenuItemInfo(pSub->m_hMenu, 0, &info));
    EXPECT_EQ(info.hbmUnchecked, nullptr);

    // One row: the server bars left of the standard bar, then the search bar.
    auto rows = m_pFrame->GetDockRows();
    ASSERT_FALSE(rows.empty());
    auto& row = rows.back();
    ASSERT_EQ(row.size(), 4u);
    auto* pPrintBar = dynamic_cast<CMFCToolBar*>(row[0]);
    auto* pOrderBar = dynamic_cast<CMFCToolBar*>(row[1]);
    EXPECT_EQ(row[2], &m_pFrame->m_wndToolBar);
    EXPECT_EQ(row[3], &m_pFrame->m_wndSearchBar);
    ASSERT_TRUE(pPrintBar && pOrderBar);
    CString strName;
    pOrderBar->GetWindowText(strName);
    EXPECT_STREQ(strName, "订单");
    EXPECT_EQ(pOrderBar->GetDlgCtrlID(), 50000);
    EXPECT_EQ(pPrintBar->GetDlgCtrlID(), 50002);  // 空组 took 50001 and was destroyed
    EXPECT_EQ(menus.m_listToolBars.size(), 2u);
    // 录入, separator, 子一 (flattened from the nested popup), 查询; 子二 is no toolbar entry.
    ASSERT_EQ(pOrderBar->GetCount(), 4);
    EXPECT_EQ(pOrderBar->GetItemID(0), 60000u);
    EXPECT_TRUE(pOrderBar->GetButton(1)->IsSeparator());
    EXPECT_EQ(pOrderBar->GetItemID(2), 60001u);
    EXPECT_EQ(pOrderBar->GetItemID(3), 60003u);
    EXPECT_STREQ(pOrderBar->GetButtonText(3), "查询");
    EXPECT_EQ(pOrderBar->GetButton(0)->GetImage(), 0);
    EXPECT_EQ(pOrderBar->GetButton(3)->GetImage(), 2);
    EXPECT_EQ(pPrintBar->GetButton(0)->GetImage(), 3);
    // Only 录入 and 打印面单 had a 24x24 picture.
    EXPECT_EQ(menus.m_pUserImages->GetCount(), 2);
    EXPECT_EQ(CMFCToolBar::GetImageSize(), CSize(24, 24));

    // The standard bar: back, forward, refresh, separator, switch account, home page.
    CMFCToolBar& std = m_pFrame->m_wndToolBar;
    CString strStd;
    std.GetWindowText(strStd);
    EXPECT_STREQ(strStd, "基础操作");
    ASSERT_EQ(std.GetCount(), 6);
    EXPECT_EQ(std.GetItemID(0), (UINT)ID_GO_BACK);
    EXPECT_EQ(std.GetItemID(5), (UINT)ID_HOME_PAGE);

    // The menu bar shows the frame menu.
    auto* pMenuBar = dynamic_cast<wxFrame*>(m_pFrame->GetWxWindow())->GetMenuBar();
    ASSERT_NE(pMenuBar, nullptr);
    EXPECT_EQ(pMenuBar->GetMenuCount(), 6u);

    // Server commands show checked (radio) after the idle update; commands nobody handles are off.
    pOrderBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(pOrderBar->GetButtonStyle(0) & TBBS_CHECKED);
    EXPECT_FALSE(pOrderBar->GetButtonStyle(0) & TBBS_DISABLED);
    std.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(std.GetButtonStyle(0) & TBBS_DISABLED);     // back: no page handles it here
    EXPECT_FALSE(std.GetButtonStyle(5) & TBBS_DISABLED);    // home page: the frame's

    // A second call changes nothing and asks the server no more.
    m_pFrame->LoadXmlMenu();
    EXPECT_EQ(pMenu->GetMenuItemCount(), 6u);
    EXPECT_EQ(m_pFrame->GetDockRows().back().size(), 4u);
    EXPECT_EQ(menus.m_mapIdToItem.size(), 5u);
    EXPECT_EQ(AuthorityRequests(), 1);

    // The picture of a server item is drawn centred in the image rectangle.
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap canvas;
    canvas.CreateBitmap(20, 20, 1, 32, nullptr);
    CBitmap* pOld = dc.SelectObject(&canvas);
    dc.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));
    CMFCToolBarMenuButton button(60000, -1, nullptr);
    EXPECT_TRUE(m_pFrame->OnDrawMenuImage(&dc, &button, CRect(0, 0, 20, 20)));
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 255, 255));
    CMFCToolBarMenuButton noPicture(60001, -1, nullptr);
    dc.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));
    EXPECT_TRUE(m_pFrame->OnDrawMenuImage(&dc, &noPicture, CRect(0, 0, 20, 20)));
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(255, 255, 255));
    dc.SelectObject(pOld);
}

TEST_F(MainFrameTest, WithoutThePlaceholderTheFrameMenuStaysAndAFailedTreeStillBuildsTheBars)
{
    auto* pPage = new CMDIChildWndEx;
    ASSERT_TRUE(pPage->Create(nullptr, "业务首页", WS_CHILD | WS_VISIBLE, CFrameWnd::rectDefault, m_pFrame));
    // The authority service is not reachable.
    (COptionCtrl::GetOptionData().*CPrivate<AuthorityUrlTag>::s_member)("http://127.0.0.1:1/menu.action");
    HMENU hWindow = ::GetSubMenu(m_pFrame->GetDefaultMenu(), 1);
    ASSERT_EQ(::GetMenuItemCount(hWindow), 4);
    size_t nBars = CVelkorMenu::GetInstance().m_listToolBars.size();
    m_pFrame->LoadXmlMenu();
    EXPECT_TRUE(m_pFrame->m_bMenuLoaded);
    EXPECT_EQ(::GetMenuItemCount(hWindow), 4);
    EXPECT_EQ(m_pFrame->GetMenu()->GetMenuItemCount(), 3u);
    EXPECT_TRUE(::IsWindow(m_pFrame->m_wndToolBar.GetSafeHwnd()));
    EXPECT_EQ(CVelkorMenu::GetInstance().m_listToolBars.size(), nBars);
}

// An authority service that hangs, cuts or resets: the frame keeps its fixed menus and bars,
// after no more than the request's time-out.
TEST_F(MainFrameTest, ABrokenAuthorityServiceLeavesTheFixedMenusAndBars)
{
    setenv("NETVANE_TIMEOUT", "2", 1);
    for (const char* mode : {"hang", "cut", "reset"})
    {
        SCOPED_TRACE(mode);
        CDevnetProcess faulty({"--menu", std::string(m_cwd) + "/menus.xml", "--fault", std::string("authority:") + mode});
        ASSERT_TRUE(faulty.IsReady()) << faulty.Log();
        (COptionCtrl::GetOptionData().*CPrivate<AuthorityUrlTag>::s_member)(faulty.Url("authority").c_str());
        const size_t nBars = CVelkorMenu::GetInstance().m_listToolBars.size();
        m_pFrame->m_bMenuLoaded = false;
        const DWORD dwStart = GetTickCount();
        m_pFrame->LoadXmlMenu();
        EXPECT_LT(GetTickCount() - dwStart, 2000u + 1500u);
        EXPECT_NE(faulty.Log().find(std::string("fault ") + mode + ": POST /velkorauth/"), std::string::npos)
            << faulty.Log();
        EXPECT_EQ(m_pFrame->GetMenu()->GetMenuItemCount(), 3u);
        EXPECT_TRUE(::IsWindow(m_pFrame->m_wndToolBar.GetSafeHwnd()));
        EXPECT_EQ(CVelkorMenu::GetInstance().m_listToolBars.size(), nBars);
    }
    setenv("NETVANE_CA_FILE", m_devnet->CaPath().c_str(), 1);
    unsetenv("NETVANE_TIMEOUT");
}

TEST_F(MainFrameTest, TheTabMenuShowsOnARightClickButNotDuringADrag)
{
    auto* pPage = new CMDIChildWndEx;
    ASSERT_TRUE(pPage->Create(nullptr, "业务首页", WS_CHILD | WS_VISIBLE, CFrameWnd::rectDefault, m_pFrame));
    EXPECT_FALSE(m_pFrame->OnShowMDITabContextMenu(CPoint(100, 100), 0, TRUE));
    EXPECT_EQ(AfxGetTrackedMenu(), nullptr);

    // A real right click on the tab: the menu comes up at the pointer; read it, then dismiss it.
    CTrackedMenuReader menu(nullptr, 5000);
    wxPoint tab = m_pFrame->GetTabs()->GetScreenPosition();
    // Until the tab is on the screen a click may land on nothing: click again while no menu came.
    std::string cmd = "xdotool mousemove " + std::to_string(tab.x + 30) + " " + std::to_string(tab.y + 10) + " click 3";
    for (int i = 0; i < 10 && !menu.Seen(); ++i)
    {
        ASSERT_EQ(system(cmd.c_str()), 0);
        menu.WaitSeen(1000);
    }
    EXPECT_TRUE(menu.Seen());
    menu.Join();
    EXPECT_EQ(menu.Ids(), (std::vector<UINT>{ID_FILE_CLOSE, ID_CLOSE_OTHER_PAGES, ID_CLOSE_ALL_PAGES, 0, ID_REFRESH_PAGE}));
}

TEST_F(MainFrameTest, ARightClickOnTheBarsListsThemAndHidesTheOneChosen)
{
    (COptionCtrl::GetOptionData().*CPrivate<AuthorityUrlTag>::s_member)("http://127.0.0.1:1/menu.action");
    m_pFrame->LoadXmlMenu();
    ASSERT_TRUE(m_pFrame->m_bMenuLoaded);
    // The standard bar is named; the search bar and the menu bar are not, so they are not listed.
    // The standard bar's entry is chosen.
    CTrackedMenuReader menu([](const std::vector<TRACKED_MENU_ITEM>& items) { return items.empty() ? 0u : items[0].nID; });
    wxWindow* pDock = m_pFrame->GetDockParent();
    wxPoint at = pDock->GetScreenPosition() + wxPoint(pDock->GetSize().x - 20, pDock->GetSize().y / 2);
    std::string cmd = "xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 3";
    for (int i = 0; i < 10 && !menu.Seen(); ++i)
    {
        ASSERT_EQ(system(cmd.c_str()), 0);
        menu.WaitSeen(1000);
    }
    menu.Join();
    ASSERT_TRUE(menu.Seen());
    std::vector<std::string> texts;
    std::vector<UINT> states;
    for (const TRACKED_MENU_ITEM& item : menu.Items())
    {
        texts.push_back(item.strText);
        states.push_back(item.nState);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"基础操作", "", "自定义..."}));
    ASSERT_EQ(states.size(), 3u);
    EXPECT_TRUE(states[0] & MF_CHECKED);
    EXPECT_TRUE(states[2] & MF_GRAYED);  // nobody handles the customise command
    // Choosing the bar's entry hid it.
    EXPECT_TRUE(WaitFor([&] { return !m_pFrame->IsPaneVisible(&m_pFrame->m_wndToolBar); }, 2000));
    EXPECT_FALSE(m_pFrame->m_wndToolBar.GetWxWindow()->IsShown());
}

TEST_F(MainFrameTest, TrayAnimationStepsStopsAndLockUnlockKeepOneIcon)
{
    CSystemTray& tray = m_pFrame->m_TrayIcon;
    HICON hMain = tray.m_nid.hIcon;
    // No icons: nothing changes.
    EXPECT_FALSE(tray.StepAnimation());
    EXPECT_EQ(tray.m_nid.hIcon, hMain);

    HICON a = AfxGetApp()->LoadIcon(IDI_TRAY), b = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    tray.m_animIcons = {a, b};
    tray.m_nAnimIndex = 0;
    tray.m_hSavedIcon = hMain;
    tray.m_animStart = 0.0;  // long ago
    // A duration of 0: the tick steps however long it has run.
    tray.m_nAnimSeconds = 0;
    tray.SendMessage(WM_TIMER, 1);
    EXPECT_EQ(tray.m_nAnimIndex, 1);
    EXPECT_EQ(tray.m_nid.hIcon, b);
    tray.SendMessage(WM_TIMER, 1);
    EXPECT_EQ(tray.m_nAnimIndex, 0);
    EXPECT_EQ(tray.m_nid.hIcon, a);
    // Past its duration the tick stops it and the saved icon comes back.
    tray.m_nAnimSeconds = 5;
    tray.m_nAnimTimerId = tray.SetTimer(77, 100000, nullptr);
    tray.SendMessage(WM_TIMER, 77);
    EXPECT_EQ(tray.m_nAnimTimerId, 0u);
    EXPECT_EQ(tray.m_nid.hIcon, hMain);
    EXPECT_EQ(tray.m_hSavedIcon, nullptr);

    // Lock and unlock any number of times: one icon at most.
    for (int i = 0; i < 3; ++i)
    {
        tray.RemoveIcon();
        tray.RemoveIcon();
        EXPECT_EQ(AfxGetTrayIconX11Window(m_hFrame, 128), 0ul);
        tray.AddIcon();
        tray.AddIcon();
        EXPECT_NE(AfxGetTrayIconX11Window(m_hFrame, 128), 0ul);
    }
    tray.m_animIcons.clear();
}

TEST_F(MainFrameTest, ALongTipIsCutInsideItsFieldAndNotInsideACharacter)
{
    CSystemTray tray;
    std::string tip(126, 'a');
    tip += "用户";  // the first character would need bytes 127 and 128
    ASSERT_TRUE(tray.Create(nullptr, tip.c_str(), m_pFrame->m_hTrayIcon));
    EXPECT_EQ(strlen(tray.m_nid.szTip), 126u);
    EXPECT_EQ(tray.m_nid.hWnd, tray.GetSafeHwnd());
    EXPECT_EQ(tray.m_nid.uID, 128u);
    EXPECT_EQ(tray.m_nid.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP));
}

namespace
{
// The message service's one message, as the message component keeps it.
bool MessageStored()
{
    const std::string db = ReadFile("aaa");
    return db.find("系统通知") != std::string::npos || db.find(Utf8("系统通知")) != std::string::npos;
}

// The poll's request runs off the GUI thread: the window answers at once while the service
// holds it, and the poll keeps no second request waiting behind it.
class MessagePollHangTest : public MainFrameTest
{
protected:
    std::vector<std::string> DevnetFaults() const override { return {"--fault", "message:hang"}; }
};

TEST_F(MessagePollHangTest, TheWindowAnswersWhileTheMessageServiceHangs)
{
    setenv("NETVANE_TIMEOUT", "4", 1);
    const std::string before = ReadFile("aaa");
    {
        CGuiAnswerProbe probe;
        ASSERT_TRUE(TickUntilThePollAsks()) << m_devnet->Log();
        ASSERT_TRUE(WaitFor([&] { return Count("fault hang: POST /api/order/reverse.php") == 1; }, 5000));
        probe.Restart();
        // The request is held: the window keeps answering, and more ticks start no second one.
        for (int i = 0; i < 200; ++i)
            ::SendMessage(m_hFrame, WM_TIMER, TIMER_NEWS_POLL, 0);
        ASSERT_TRUE(WaitFor([&] { return probe.Answers() >= 40; }, 10000));
        EXPECT_EQ(Count("fault hang: POST"), 1);
        EXPECT_LT(probe.Longest(), 100) << "the window did not answer for this long (ms)";
        RecordProperty("longest_answer_ms_while_held", (int)probe.Longest());
        // The client gives up after its time-out; the next poll asks again.
        ASSERT_TRUE(WaitFor([&] { return Count("fault hang released") == 1; }, 10000)) << m_devnet->Log();
        EXPECT_LT(probe.Longest(), 100);
    }
    ASSERT_TRUE(TickUntilThePollAsks());
    EXPECT_TRUE(ReadFile("aaa") == before) << "a message was stored";
    unsetenv("NETVANE_TIMEOUT");
}

TEST_F(MainFrameTest, ThePolledMessageReachesTheMessageComponent)
{
    const std::string before = ReadFile("aaa");
    CGuiAnswerProbe probe;
    ASSERT_TRUE(TickUntilThePollAsks()) << m_devnet->Log();
    EXPECT_TRUE(WaitFor([&] { return ReadFile("aaa") != before && MessageStored(); }, 10000));
    EXPECT_LT(probe.Longest(), 100);
}

// A reply cut half way shows no message and leaves the poll working.
class MessagePollCutTest : public MainFrameTest
{
protected:
    std::vector<std::string> DevnetFaults() const override { return {"--fault", "message:" + Mode()}; }
    virtual std::string Mode() const { return "cut"; }
};

class MessagePollResetTest : public MessagePollCutTest
{
protected:
    std::string Mode() const override { return "reset"; }
};

TEST_F(MessagePollCutTest, ACutReplyShowsNoMessage)
{
    const std::string before = ReadFile("aaa");
    CGuiAnswerProbe probe;
    ASSERT_TRUE(TickUntilThePollAsks()) << m_devnet->Log();
    ASSERT_TRUE(WaitFor([&] { return Count("fault cut: POST /api/order/reverse.php") == 1; }, 5000));
    ASSERT_TRUE(TickUntilThePollAsks());
    EXPECT_TRUE(ReadFile("aaa") == before) << "a message was stored";
    EXPECT_LT(probe.Longest(), 100);
}

TEST_F(MessagePollResetTest, AResetShowsNoMessage)
{
    const std::string before = ReadFile("aaa");
    CGuiAnswerProbe probe;
    ASSERT_TRUE(TickUntilThePollAsks()) << m_devnet->Log();
    ASSERT_TRUE(WaitFor([&] { return Count("fault reset: POST /api/order/reverse.php") == 1; }, 5000));
    ASSERT_TRUE(TickUntilThePollAsks());
    EXPECT_TRUE(ReadFile("aaa") == before) << "a message was stored";
    EXPECT_LT(probe.Longest(), 100);
}
}  // namespace

namespace
{
// The trans-URL list as the client loads it from devnet started with these arguments.
std::vector<std::string> LoadTransUrls(const std::vector<std::string>& args, int& nCount)
{
    CDevnetProcess devnet(args);
    EXPECT_TRUE(devnet.IsReady()) << devnet.Log();
    COptionCtrl::GetOptionData().*CPrivate<TransUrlListUrlTag>::s_member = devnet.Url("translist").c_str();
    theApp.m_transUrls.clear();
    theApp.m_nTransUrlCount = 0;
    theApp.LoadTransUrlList();
    nCount = theApp.m_nTransUrlCount;
    return theApp.m_transUrls;
}

// A broken trans-URL service leaves the list empty, so a failed page tries no address of it.
TEST(TransUrlListFaultTest, AHungCutOrResetServiceGivesNoList)
{
    setenv("NETVANE_TIMEOUT", "2", 1);
    int nFull = 0;
    const std::vector<std::string> full = LoadTransUrls({}, nFull);
    ASSERT_EQ(nFull, 3);
    for (const char* mode : {"hang", "reset", "cut"})
    {
        SCOPED_TRACE(mode);
        int nCount = -1;
        const std::vector<std::string> list = LoadTransUrls({"--fault", std::string("translist:") + mode}, nCount);
        EXPECT_EQ((size_t)nCount, list.size());
        ASSERT_LE(list.size(), full.size());
        EXPECT_EQ(list, std::vector<std::string>(full.begin(), full.begin() + (long)list.size()));
        EXPECT_EQ(theApp.GetTransUrl(nCount), nullptr);
        // A reply shorter than it says is a failed request, like no reply: no list.
        EXPECT_EQ(nCount, 0);
    }
    unsetenv("NETVANE_TIMEOUT");
}
}  // namespace
