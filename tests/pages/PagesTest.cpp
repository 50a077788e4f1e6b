// The client's page tabs end to end: the real main frame, document template, page views and host
// site on real WebKit, signed on against devnet (CAS, authority, business pages), under X with a
// tray host. Each test starts with the program's first tab, as the application opens it.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>
#include <webkit2/webkit2.h>
#include <wx/wx.h>
#include "ClientEnvironment.h"
#include "ChildFrm.h"
#include "CMultiDocTemplate.h"
#include "CodePage.h"
#include "DevnetProcess.h"
#include "DocHostSite.h"
#include "GuiWait.h"
#include "HtmlViewHost.h"
#include "MainFrm.h"
#include "NetTestUtil.h"
#include "OptionCtrl.h"
#include "OptionData.h"
#include "ParvelApp.h"
#include "ParvelDoc.h"
#include "ParvelView.h"
#include "PrivateMember.h"
#include "RealInput.h"
#include "TestFiles.h"
#include "TrackedMenuReader.h"
#include "VelkorMenu.h"
#include "resource.h"
#include "TrayHost.h"
#include "WndRecord.h"
#include <wx/aui/auibook.h>

namespace
{
typedef void (COptionData::*SETTER)(const char*);
struct LoginUrlTag { typedef SETTER type; };
struct LogoutUrlTag { typedef SETTER type; };
struct FirstLinkTag { typedef SETTER type; };
struct AuthorityUrlTag { typedef SETTER type; };
struct LabelUrlTag { typedef SETTER type; };
struct HomePageTag { typedef CString COptionData::*type; };
}  // namespace
template struct CPrivateBinder<LoginUrlTag, &COptionData::SetAccountLoginUrl>;
template struct CPrivateBinder<LogoutUrlTag, &COptionData::SetAccountLogoutUrl>;
template struct CPrivateBinder<FirstLinkTag, &COptionData::SetFirstLink>;
template struct CPrivateBinder<AuthorityUrlTag, &COptionData::SetUserAuthorityUrl>;
template struct CPrivateBinder<LabelUrlTag, &COptionData::SetMailLabelPdfUrl>;
template struct CPrivateBinder<HomePageTag, &COptionData::m_HomePageUrl>;

namespace
{
const ::testing::Environment* const s_env =
    ::testing::AddGlobalTestEnvironment(new CClientEnvironment("pages_tests", "parvel-pages"));

COptionData& Options()
{
    return COptionCtrl::GetOptionData();
}

template <class Tag>
void SetOption(const std::string& value)
{
    (Options().*CPrivate<Tag>::s_member)(value.c_str());
}

std::string Gbk(const char8_t* utf8)
{
    return CCodePage::Utf8ToAnsi(reinterpret_cast<const char*>(utf8));
}

// Lines of devnet's log from a mark on that hold every one of the texts.
std::vector<std::string> LogLines(const std::string& log, size_t from, std::initializer_list<std::string> texts)
{
    std::vector<std::string> lines;
    size_t at = from;
    while (at < log.size())
    {
        size_t end = log.find('\n', at);
        std::string line = log.substr(at, end == std::string::npos ? std::string::npos : end - at);
        bool all = true;
        for (const std::string& t : texts)
            all = all && line.find(t) != std::string::npos;
        if (all)
            lines.push_back(line);
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return lines;
}

// Runs fn once, on the GUI thread, at the first turn of its main context at which cond holds,
// nested waits included (a wait of the client's own serves the context each turn). cond is looked
// at whenever the context turns; the source never wakes the context itself.
class CWhenInLoop
{
public:
    CWhenInLoop(std::function<bool()> cond, std::function<void()> fn) : m_cond(std::move(cond)), m_fn(std::move(fn))
    {
        static GSourceFuncs funcs = {&CWhenInLoop::Prepare, &CWhenInLoop::Check, &CWhenInLoop::Dispatch, nullptr,
                                     nullptr, nullptr};
        m_pSource = reinterpret_cast<CSource*>(g_source_new(&funcs, sizeof(CSource)));
        m_pSource->pSelf = this;
        g_source_attach(&m_pSource->base, nullptr);
    }
    ~CWhenInLoop()
    {
        if (!g_source_is_destroyed(&m_pSource->base))
            g_source_destroy(&m_pSource->base);
        g_source_unref(&m_pSource->base);
    }
    CWhenInLoop(const CWhenInLoop&) = delete;
    CWhenInLoop& operator=(const CWhenInLoop&) = delete;
    bool Fired() const { return m_bFired; }

private:
    struct CSource
    {
        GSource base;
        CWhenInLoop* pSelf;
    };
    static gboolean Prepare(GSource* p, gint* pTimeout)
    {
        *pTimeout = -1;
        return Check(p);
    }
    static gboolean Check(GSource* p)
    {
        CWhenInLoop* pSelf = reinterpret_cast<CSource*>(p)->pSelf;
        return !pSelf->m_bFired && pSelf->m_cond();
    }
    static gboolean Dispatch(GSource* p, GSourceFunc, gpointer)
    {
        CWhenInLoop* pSelf = reinterpret_cast<CSource*>(p)->pSelf;
        pSelf->m_bFired = true;
        pSelf->m_fn();
        return G_SOURCE_REMOVE;
    }

    std::function<bool()> m_cond;
    std::function<void()> m_fn;
    bool m_bFired = false;
    CSource* m_pSource = nullptr;
};

class PagesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_tray.Start(); }
    static void TearDownTestSuite() { s_tray.Stop(); }

    void SetUp() override
    {
        ASSERT_TRUE(WaitFor([] { return TrayOwner() != 0; }, 10000)) << "no tray host";
        m_devnet = std::make_unique<CDevnetProcess>(DevnetFaults());
        ASSERT_TRUE(m_devnet->IsReady()) << m_devnet->Log();
        SetOption<LoginUrlTag>(m_devnet->Url("cas_https"));
        SetOption<LogoutUrlTag>(m_devnet->Url("cas_logout"));
        SetOption<FirstLinkTag>(m_devnet->Url("firstlink"));
        SetOption<AuthorityUrlTag>(m_devnet->Url("authority"));
        SetOption<LabelUrlTag>("http://127.0.0.1:1/kesta/print/mail_label_pdf.php?orderno=");
        Options().*CPrivate<HomePageTag>::s_member = m_devnet->Url("home").c_str();
        std::string session, tgt;
        CasSignOn(m_devnet->Url("cas_https"), "demo", "velkor2026", session, tgt);
        ASSERT_FALSE(tgt.empty()) << m_devnet->Log();
        COptionCtrl().SetUserInfo("demo", session.c_str(), tgt.c_str());
        m_strSession = session;
        m_strTgt = tgt;

        if (!theApp.GetFirstDocTemplatePosition())
            theApp.AddDocTemplate(new CMultiDocTemplate(IDR_ParvelTYPE, RUNTIME_CLASS(CParvelDoc),
                                                        RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CParvelView)));
        g_bFirstNavigation = true;
        g_nOpenPages = 0;
        m_pFrame = new CMainFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
        m_hFrame = m_pFrame->GetSafeHwnd();
        theApp.m_pMainWnd = m_pFrame;
        m_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
        m_pFrame->UpdateWindow();
    }
    void TearDown() override
    {
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        theApp.m_pMainWnd = nullptr;
        Pump(100);
    }

    // --fault arguments of devnet for the test.
    virtual std::vector<std::string> DevnetFaults() const { return {}; }

    // The program's first tab, up to its signed-on business page and the menus it asked for.
    CParvelView* OpenFirstPage()
    {
        m_nLogMark = m_devnet->Log().size();
        theApp.OnFileNew();
        CParvelView* pView = ActiveView();
        EXPECT_NE(pView, nullptr);
        if (!pView)
            return nullptr;
        EXPECT_TRUE(WaitForPage(pView, "/kesta/kesta_cas_login.php?ticket=ST-")) << pView->GetLocationURL();
        EXPECT_TRUE(WaitFor([&] { return m_pFrame->m_bMenuLoaded; }, 10000));
        return pView;
    }

    CParvelView* ActiveView() const
    {
        CMDIChildWndEx* pChild = m_pFrame->MDIGetActive();
        return pChild ? dynamic_cast<CParvelView*>(pChild->GetActiveView()) : nullptr;
    }

    // Waits until the view shows a loaded page whose address holds the text.
    static bool WaitForPage(CParvelView* pView, const std::string& urlPart, DWORD dwTimeout = 15000)
    {
        HWND h = pView->GetSafeHwnd();
        // The document of the last page loaded completely, not the address being loaded.
        return WaitFor([&] {
            if (!::IsWindow(h) || pView->GetReadyState() != READYSTATE_COMPLETE || !pView->m_pHtmlDoc)
                return false;
            BSTR url = nullptr;
            if (FAILED(pView->m_pHtmlDoc->get_URL(&url)) || !url)
                return false;
            std::string text = CCodePage::WideToAnsi(std::wstring(url, SysStringLen(url)));
            SysFreeString(url);
            return text.find(urlPart) != std::string::npos;
        }, dwTimeout);
    }

    // A new tab on a devnet page (the web base + path), loaded.
    CParvelView* OpenPage(const std::string& path, const char* pszPost = "")
    {
        m_pFrame->OpenUrlInNewPage((m_devnet->Url("http") + path).c_str(), "ignored", pszPost);
        CParvelView* pView = ActiveView();
        EXPECT_NE(pView, nullptr);
        if (pView)
        {
            EXPECT_TRUE(WaitForPage(pView, path.substr(0, path.find('?')))) << path << ": " << pView->GetLocationURL();
        }
        return pView;
    }

    // Script in the page; its value as text (UTF-8), or "!" and the exception.
    static std::string Eval(CParvelView* pView, const std::string& script)
    {
        JSCValue* value = nullptr;
        std::string exception;
        if (!pView->GetHost()->Evaluate(script, &value, &exception))
            return "!" + exception;
        char* s = jsc_value_to_string(value);
        std::string text = s ? s : "";
        g_free(s);
        g_object_unref(value);
        return text;
    }

    // A page function called through the view: its string result (GBK).
    static std::string Call(CParvelView* pView, const char* pszFunction, const char* a = "", const char* b = "",
                            const char* c = "")
    {
        COleVariant result;
        if (!CParvelView::InvokePageScript(pView, pszFunction, a, b, c, &result))
            return "(failed)";
        return std::string(AfxVariantToAnsi(result));
    }

    std::string Caption(CParvelView* pView) const
    {
        CString s;
        pView->GetParentFrame()->GetWindowText(s);
        return std::string(s);
    }

    std::vector<std::string> MessageBoxes() const
    {
        std::vector<std::string> boxes;
        std::string log = CCodePage::Utf8ToAnsi(ReadFile(static_cast<const CClientEnvironment*>(s_env)->Folder() + "/msgbox.log"));
        size_t at = 0;
        while (at < log.size())
        {
            size_t end = log.find('\n', at);
            boxes.push_back(log.substr(at, end == std::string::npos ? std::string::npos : end - at));
            if (end == std::string::npos)
                break;
            at = end + 1;
        }
        return boxes;
    }

    // Starts script in the page without waiting for it.
    static void Start(CParvelView* pView, const std::string& script)
    {
        if (WebKitWebView* pWebView = pView->GetHost()->WebView())
            webkit_web_view_evaluate_javascript(pWebView, script.c_str(), (gssize)script.size(), nullptr, nullptr,
                                                nullptr, nullptr, nullptr);
    }

    // Closes the shared wait dialog if a page left it open.
    static void CloseWaitDialog()
    {
        if (HWND hWait = theApp.m_waitDlg.GetSafeHwnd())
            ::PostMessage(hWait, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 5000));
    }

    static bool Enabled(CCmdTarget* pTarget, UINT nID)
    {
        CCmdUI ui;
        ui.m_nID = nID;
        pTarget->OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.m_bEnabled;
    }

    static inline CTrayHost s_tray;
    std::unique_ptr<CDevnetProcess> m_devnet;
    std::string m_strSession, m_strTgt;
    size_t m_nLogMark = 0;
    CMainFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};
}  // namespace

TEST_F(PagesTest, TheFirstTabSignsOnWithBothCookiesAndItsStartWorkBuildsTheMenusOnce)
{
    EXPECT_FALSE(m_pFrame->m_bMenuLoaded);
    CParvelView* pView = OpenFirstPage();
    ASSERT_TRUE(pView);
    const std::string log = m_devnet->Log();
    // The very first request: the login address with the first link, both cookies with it.
    std::vector<std::string> first = LogLines(log, m_nLogMark, {"GET /cas3.4/login?service="});
    ASSERT_FALSE(first.empty()) << log.substr(m_nLogMark);
    EXPECT_NE(first[0].find("service=" + m_devnet->Url("firstlink")), std::string::npos) << first[0];
    EXPECT_NE(first[0].find("JSESSIONID=" + m_strSession), std::string::npos) << first[0];
    EXPECT_NE(first[0].find("CASTGC=" + m_strTgt), std::string::npos) << first[0];
    EXPECT_NE(log.find("web: demo entered the branch system", m_nLogMark), std::string::npos);

    // The caption is the page's title; the frame keeps the application title.
    EXPECT_TRUE(WaitFor([&] { return Caption(pView) == Gbk(u8"网点业务系统"); }, 5000)) << Caption(pView);
    CString strFrame;
    m_pFrame->GetWindowText(strFrame);
    EXPECT_STREQ(strFrame, "Velkor速递网点客户端");

    // startWork built the menus: the placeholder gone from the window list, the demo tree's popups
    // in the menu bar, the standard and server bars docked.
    EXPECT_EQ(LogLines(log, m_nLogMark, {"authority: userId=demo"}).size(), 1u);
    HMENU hWindow = ::GetSubMenu(m_pFrame->GetDefaultMenu(), ::GetMenuItemCount(m_pFrame->GetDefaultMenu()) - 2);
    for (int i = 0; i < ::GetMenuItemCount(hWindow); ++i)
    {
        char sz[64] = "";
        ::GetMenuString(hWindow, (UINT)i, sz, sizeof(sz), MF_BYPOSITION);
        EXPECT_EQ(std::string(sz).find("页面加载中...."), std::string::npos) << sz;
    }
    EXPECT_GT(m_pFrame->GetMenu()->GetMenuItemCount(), 3u);
    ASSERT_NE(dynamic_cast<wxFrame*>(m_pFrame->GetWxWindow())->GetMenuBar(), nullptr);
    EXPECT_TRUE(::IsWindow(m_pFrame->m_wndToolBar.GetSafeHwnd()));
    const size_t nBars = CVelkorMenu::GetInstance().m_listToolBars.size();
    EXPECT_GT(nBars, 0u);
    const size_t nMenus = m_pFrame->GetMenu()->GetMenuItemCount();

    // A second startWork, from another page: nothing is built again, nothing asked again.
    CParvelView* pExternal = OpenPage("/kesta/pages/external.php");
    ASSERT_TRUE(pExternal);
    EXPECT_EQ(Call(pExternal, "callStartWork"), "undefined");
    EXPECT_EQ(m_pFrame->GetMenu()->GetMenuItemCount(), nMenus);
    EXPECT_EQ(CVelkorMenu::GetInstance().m_listToolBars.size(), nBars);
    EXPECT_EQ(LogLines(m_devnet->Log(), m_nLogMark, {"authority: userId=demo"}).size(), 1u);

    // The status bar and the tray icon, read back from X: the welcome pane and the tip.
    EXPECT_STREQ(m_pFrame->m_wndStatusBar.GetPaneText(1), "demo，您好！欢迎使用Velkor速递网点客户端。");
    wxStatusBar* pBar = m_pFrame->m_wndStatusBar.GetWxStatusBar();
    ASSERT_TRUE(pBar);
    EXPECT_EQ(std::string(pBar->GetStatusText(1).utf8_str()), std::string((const char*)u8"demo，您好！欢迎使用Velkor速递网点客户端。"));
    unsigned long xid = 0;
    ASSERT_TRUE(WaitFor([&] { return (xid = AfxGetTrayIconX11Window(m_hFrame, 128)) != 0; }, 5000));
    EXPECT_EQ(WindowNameUtf8(xid), std::string((const char*)u8"Velkor速递网点客户端 \r\n当前用户：demo"));
}

TEST_F(PagesTest, AServerCommandOpensItsAddressSignedOnInANewTab)
{
    ASSERT_TRUE(OpenFirstPage());
    CVelkorMenu& menus = CVelkorMenu::GetInstance();
    ASSERT_FALSE(menus.m_mapIdToItem.empty());
    const int nID = menus.m_mapIdToItem.begin()->first;
    const std::string action = menus.m_mapIdToItem.begin()->second->action;
    const int nTabs = m_pFrame->GetMDIChildCount();
    const size_t nMark = m_devnet->Log().size();
    m_pFrame->SendMessage(WM_COMMAND, (WPARAM)nID);
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), nTabs + 1);
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    // Through the CAS login with the action form-encoded; the ticket it gives lands on the action.
    const std::string path = action.substr(action.find("/kesta/"));
    ASSERT_TRUE(WaitForPage(pView, path + "?ticket=ST-")) << pView->GetLocationURL();
    std::vector<std::string> login = LogLines(m_devnet->Log(), nMark, {"GET /cas3.4/login?service="});
    ASSERT_FALSE(login.empty());
    EXPECT_NE(login[0].find("service=http%3A%2F%2F"), std::string::npos) << login[0];
    EXPECT_NE(login[0].find("CASTGC=" + m_strTgt), std::string::npos) << login[0];
    // The server command shows as the chosen item.
    CCmdUI ui;
    ui.m_nID = (UINT)nID;
    m_pFrame->OnCmdMsg((UINT)nID, CN_UPDATE_COMMAND_UI, &ui, nullptr);
    EXPECT_EQ(ui.m_nCheck, 1);
}

TEST_F(PagesTest, TheCaptionTakesOnlyInteractiveTitlesWithoutHttp)
{
    ASSERT_TRUE(OpenFirstPage());
    // A tab opened by the frame only shows the placeholder until its page names itself.
    AfxGetApp()->OnFileNew();
    CParvelView* pBlank = ActiveView();
    ASSERT_TRUE(pBlank);
    EXPECT_EQ(Caption(pBlank), "页面加载中....");
    // A second tab did not repeat the first navigation.
    EXPECT_EQ(LogLines(m_devnet->Log(), m_nLogMark, {"GET /cas3.4/login?service="}).size(), 1u);

    CParvelView* pView = OpenPage("/kesta/pages/titled.php?title=%E4%B8%9A%E5%8A%A1%E9%A1%B5");
    ASSERT_TRUE(pView);
    EXPECT_TRUE(WaitFor([&] { return Caption(pView) == Gbk(u8"业务页"); }, 5000)) << Caption(pView);
    CParvelView* pHttp = OpenPage("/kesta/pages/titled.php?title=http%3A%2F%2Fexample");
    ASSERT_TRUE(pHttp);
    Pump(300);
    EXPECT_EQ(Caption(pHttp), "页面加载中....");
    // A title set from script after the page has loaded is no interactive title.
    Eval(pView, "document.title = 'later'");
    Pump(300);
    EXPECT_EQ(Caption(pView), Gbk(u8"业务页"));
    // Nor is it when the page had none of its own.
    CParvelView* pUntitled = OpenPage("/kesta/pages/untitled.php");
    ASSERT_TRUE(pUntitled);
    EXPECT_TRUE(WaitFor([&] { return Eval(pUntitled, "document.title") == (const char*)u8"后来的标题"; }, 5000));
    Pump(300);
    EXPECT_EQ(Caption(pUntitled), "页面加载中....");
    CString strFrame;
    m_pFrame->GetWindowText(strFrame);
    EXPECT_STREQ(strFrame, "Velkor速递网点客户端");
}

TEST_F(PagesTest, TheLastTabStaysBeforeTheMenusAndGoesHomeAfterThem)
{
    // No first navigation: the tab stays empty and no menus are built.
    g_bFirstNavigation = false;
    theApp.OnFileNew();
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    EXPECT_EQ(g_nOpenPages, 1);
    EXPECT_FALSE(Enabled(pView, ID_CLOSE_ALL_PAGES));
    EXPECT_FALSE(Enabled(pView, ID_CLOSE_OTHER_PAGES));
    pView->GetParentFrame()->SendMessage(WM_CLOSE);
    Pump(200);
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 1);
    EXPECT_EQ(ActiveView(), pView);
    EXPECT_EQ(std::string(pView->GetLocationURL()), "");

    m_pFrame->LoadXmlMenu();
    ASSERT_TRUE(m_pFrame->m_bMenuLoaded);
    pView->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 1);
    EXPECT_TRUE(WaitForPage(pView, "/kesta/index_cas.php"));

    // Three tabs, close all: one stays, at the home page.
    OpenPage("/kesta/pages/titled.php?title=a");
    CParvelView* pThird = OpenPage("/kesta/pages/titled.php?title=b");
    ASSERT_TRUE(pThird);
    EXPECT_EQ(g_nOpenPages, 3);
    EXPECT_TRUE(Enabled(pThird, ID_CLOSE_ALL_PAGES));
    EXPECT_TRUE(Enabled(pThird, ID_CLOSE_OTHER_PAGES));
    m_pFrame->SendMessage(WM_COMMAND, ID_CLOSE_ALL_PAGES);
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 1);
    EXPECT_EQ(g_nOpenPages, 1);
    CParvelView* pLast = ActiveView();
    ASSERT_TRUE(pLast);
    EXPECT_TRUE(WaitForPage(pLast, "/kesta/index_cas.php")) << pLast->GetLocationURL();

    // The tab menu's close: the active page's document closes (the last-page rule with it).
    OpenPage("/kesta/pages/titled.php?title=e");
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 2);
    EXPECT_TRUE(Enabled(m_pFrame, ID_FILE_CLOSE));
    m_pFrame->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 1);
    EXPECT_EQ(ActiveView(), pLast);
    m_pFrame->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 1);

    // Close other pages keeps the tab it was given on.
    OpenPage("/kesta/pages/titled.php?title=c");
    CParvelView* pKeep = OpenPage("/kesta/pages/titled.php?title=d");
    ASSERT_TRUE(pKeep);
    m_pFrame->SendMessage(WM_COMMAND, ID_CLOSE_OTHER_PAGES);
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 1);
    EXPECT_EQ(ActiveView(), pKeep);
    EXPECT_EQ(g_nOpenPages, 1);

    // With the main window hidden the last page closes too, once its logout has been answered.
    m_pFrame->ShowWindow(SW_HIDE);
    pKeep->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(WaitFor([&] { return m_pFrame->GetMDIChildCount() == 0; }, 15000));
    EXPECT_EQ(g_nOpenPages, 0);
    EXPECT_FALSE(g_bFirstNavigation);
}

TEST_F(PagesTest, APageWindowOpensAsATabAndAPageClosingItselfClosesItsTab)
{
    ASSERT_TRUE(OpenFirstPage());
    ASSERT_TRUE(OpenPage("/kesta/pages/opener.php"));
    // The page's window came as a tab of its own, showing the page's window.
    ASSERT_TRUE(WaitFor([&] { return m_pFrame->GetMDIChildCount() == 3; }, 10000));
    CParvelView* pNew = ActiveView();
    ASSERT_TRUE(pNew);
    EXPECT_TRUE(WaitForPage(pNew, "/kesta/pages/titled.php"));
    EXPECT_TRUE(WaitFor([&] { return Caption(pNew) == Gbk(u8"新窗口"); }, 5000)) << Caption(pNew);
    EXPECT_EQ(g_nOpenPages, 3);

    // The closing page goes as soon as it has loaded, view and all: nothing looks at its view
    // after the open.
    m_pFrame->OpenUrlInNewPage((m_devnet->Url("http") + "/kesta/pages/closer.php").c_str(), "ignored", "");
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), 4);
    EXPECT_TRUE(WaitFor([&] { return m_pFrame->GetMDIChildCount() == 3; }, 10000));
    EXPECT_EQ(g_nOpenPages, 3);
}

TEST_F(PagesTest, AFailedFirstLinkGoesHomeAndBuildsTheMenusButLaterFailuresShowTheBrowsersPage)
{
    g_bFirstNavigation = false;
    theApp.OnFileNew();
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    // The first link is a system that is down.
    const std::string down = m_devnet->Url("http") + "/kesta/down/first.php";
    SetOption<FirstLinkTag>(down);
    pView->Navigate2(down.c_str());
    EXPECT_TRUE(WaitFor([&] { return m_pFrame->m_bMenuLoaded; }, 15000));
    EXPECT_TRUE(WaitForPage(pView, "/kesta/index_cas.php")) << pView->GetLocationURL();
    EXPECT_NE(m_devnet->Log().find("down: /kesta/down/first.php"), std::string::npos);

    // With the menus built the browser shows its own page for the failure.
    pView->Navigate2(down.c_str());
    EXPECT_TRUE(WaitFor([&] { return std::string(pView->GetLocationURL()).find("/kesta/down/first.php") != std::string::npos; },
                        10000)) << pView->GetLocationURL();
    Pump(500);
    EXPECT_NE(std::string(pView->GetLocationURL()).find("/kesta/down/first.php"), std::string::npos);
}

TEST_F(PagesTest, AFailedTransUrlShowsTheNoticeWhoseButtonLeadsToTheNextAndTheLastGoesHome)
{
    g_bFirstNavigation = false;
    theApp.OnFileNew();
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    const std::string base = m_devnet->Url("http");
    theApp.m_transUrls = {base + "/kesta/down/first.php", base + "/kesta/down/second.php", base + "/kesta/down/third.php"};
    theApp.m_nTransUrlCount = 3;
    // The entry's address in another letter case is the same entry.
    std::string upper = base + "/KESTA/down/first.php";
    pView->Navigate2((base + "/kesta/down/first.php").c_str());
    ASSERT_TRUE(WaitFor([&] { return Eval(pView, "document.body ? document.body.innerHTML : ''").find(
                                         (const char*)u8"进入内部事务") != std::string::npos; }, 15000));
    std::string html = Eval(pView, "document.body.innerHTML");
    EXPECT_NE(html.find((const char*)u8"当前业务系统正在更新或者升级暂停使用"), std::string::npos) << html;
    EXPECT_EQ(Eval(pView, "document.title"), (const char*)u8"提示");
    std::string onclick = Eval(pView, "document.querySelector('button').getAttribute('onclick')");
    EXPECT_EQ(onclick, "javascript:location.href='" + base + "/kesta/down/second.php'");
    EXPECT_FALSE(m_pFrame->m_bMenuLoaded);

    // The button leads to the next entry, which fails in turn.
    Eval(pView, "document.querySelector('button').click()");
    ASSERT_TRUE(WaitFor([&] { return Eval(pView, "document.querySelector('button') ? "
                                                 "document.querySelector('button').getAttribute('onclick') : ''")
                                         .find("third.php") != std::string::npos; }, 15000));
    EXPECT_NE(m_devnet->Log().find("down: /kesta/down/second.php"), std::string::npos);
    // The last entry has no next one: home, and the menus.
    Eval(pView, "document.querySelector('button').click()");
    EXPECT_TRUE(WaitFor([&] { return m_pFrame->m_bMenuLoaded; }, 15000));
    EXPECT_TRUE(WaitForPage(pView, "/kesta/index_cas.php")) << pView->GetLocationURL();
    EXPECT_NE(m_devnet->Log().find("down: /kesta/down/third.php"), std::string::npos);
}

TEST_F(PagesTest, ScriptErrorsAndRefusedControlsGoToTheStatusBarAndPageMessagesAreTheClients)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pError = OpenPage("/kesta/pages/script_error.php");
    ASSERT_TRUE(pError);
    EXPECT_TRUE(WaitFor([&] { return std::string(m_pFrame->m_wndStatusBar.GetPaneText(1)) == "Script Error!"; }, 5000))
        << m_pFrame->m_wndStatusBar.GetPaneText(1);
    // The page went on running.
    EXPECT_EQ(Eval(pError, "document.getElementById('after') ? 'yes' : 'no'"), "yes");
    const size_t nBoxes = MessageBoxes().size();

    // The browser's standard caption becomes "qwe".
    ASSERT_TRUE(OpenPage("/kesta/pages/alert.php"));
    ASSERT_TRUE(WaitFor([&] { return MessageBoxes().size() > nBoxes; }, 5000));
    EXPECT_EQ(MessageBoxes().back(), "qwe\t欢迎使用");

    // A message about a refused ActiveX control shows nothing and says so in the status bar.
    CParvelView* pControl = OpenPage("/kesta/pages/activex.php");
    ASSERT_TRUE(pControl);
    EXPECT_TRUE(WaitFor([&] { return std::string(m_pFrame->m_wndStatusBar.GetPaneText(1)) == "ActiveX Denied!"; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return Eval(pControl, "document.title") == (const char*)u8"控件之后"; }, 5000));
    EXPECT_EQ(MessageBoxes().size(), nBoxes + 1);
}

TEST_F(PagesTest, EveryExternalMethodAnswersThePageThatCalls)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/external.php");
    ASSERT_TRUE(pView);
    EXPECT_EQ(Call(pView, "callPrintReady"), "true");
    EXPECT_EQ(Call(pView, "callUnknown"), "threw");

    // getImportResult: nothing without the file, its text with it.
    char szTemp[260] = "";
    GetTempPath(sizeof(szTemp), szTemp);
    const std::string file = std::string(szTemp) + "ImportReslt.tmp";
    unlink(file.c_str());
    EXPECT_EQ(Call(pView, "callGetImportResult"), "");
    WriteFile(file, "导入3条");
    EXPECT_EQ(Call(pView, "callGetImportResult"), "导入3条");
    unlink(file.c_str());

    // importOrder while an import runs: refused with the message, the running one undisturbed.
    const size_t nBoxes = MessageBoxes().size();
    theApp.m_bImporting = 1;
    EXPECT_EQ(Call(pView, "callImportOrder"), "false");
    EXPECT_EQ(theApp.m_bImporting, 1);
    ASSERT_EQ(MessageBoxes().size(), nBoxes + 1);
    EXPECT_NE(MessageBoxes().back().find("\t当前正在进行导入操作，请稍候再试！"), std::string::npos) << MessageBoxes().back();
    theApp.m_bImporting = 0;

    // showWaitDialog returns with the dialog up; hideWaitDialog closes it; hiding again does nothing.
    EXPECT_EQ(Call(pView, "callShowWaitDialog"), "undefined");
    EXPECT_TRUE(theApp.m_waitDlg.GetSafeHwnd() != nullptr);
    EXPECT_EQ(Call(pView, "callHideWaitDialog"), "undefined");
    EXPECT_TRUE(WaitFor([] { return theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 5000));
    EXPECT_EQ(Call(pView, "callHideWaitDialog"), "undefined");

    // printMailLable queues the label, its size cut to 8 bytes, and returns at once.
    theApp.m_printQueue.RemoveAll();
    EXPECT_EQ(Eval(pView, "String(window.external.printMailLable('VK1', '100.5*150.5'))"), "true");
    ASSERT_EQ(theApp.m_printQueue.GetSize(), 1);
    EXPECT_STREQ(theApp.m_printQueue[0].strOrderNo, "VK1");
    EXPECT_FLOAT_EQ(theApp.m_printQueue[0].fWidth, 100.5f);
    EXPECT_FLOAT_EQ(theApp.m_printQueue[0].fHeight, 15.0f);
    // Above 100 entries the queue is emptied first: the new entry is the only one.
    for (int i = 0; i < 100; ++i)
        theApp.m_printQueue.Add(ORDER_PRINT_INFO{CString("old"), 1.0f, 1.0f});
    EXPECT_EQ(Call(pView, "callPrintMailLable"), "true");
    ASSERT_EQ(theApp.m_printQueue.GetSize(), 1);
    EXPECT_STREQ(theApp.m_printQueue[0].strOrderNo, "VK2026121000001");
    EXPECT_FLOAT_EQ(theApp.m_printQueue[0].fWidth, 4.0f);
    EXPECT_FLOAT_EQ(theApp.m_printQueue[0].fHeight, 6.0f);

    // openTabView navigates the calling page to the text after the first "|".
    EXPECT_EQ(Eval(pView, "String(window.external.openTabView(''))"), "false");
    EXPECT_EQ(Eval(pView, "String(window.external.openTabView('no bar here'))"), "false");
    const int nTabs = m_pFrame->GetMDIChildCount();
    const std::string target = "打开|" + m_devnet->Url("http") + "/kesta/pages/titled.php?title=x|y";
    EXPECT_EQ(Call(pView, "callOpenTabView", target.c_str()), "true");
    EXPECT_TRUE(WaitForPage(pView, "/kesta/pages/titled.php?title=x")) << pView->GetLocationURL();
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), nTabs);

    // One worker per label: both report their failed download (the label service is down here).
    EXPECT_TRUE(WaitFor([&] {
        int n = 0;
        for (const std::string& box : MessageBoxes())
            n += box.find("文件下载失败！") != std::string::npos;
        return n == 2;
    }, 20000));
}

TEST_F(PagesTest, PageFunctionsGetTheirArgumentsInOrderAndMissingOnesFailQuietly)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/external.php");
    ASSERT_TRUE(pView);
    const size_t nBoxes = MessageBoxes().size();
    EXPECT_EQ(Call(pView, "pageFunction", "一", "b", "c"), "一|b|c");
    EXPECT_EQ(Eval(pView, "document.getElementById('log').textContent"), (const char*)u8"一|b|c");
    CStringArray args;
    args.Add("x");
    args.Add("y");
    COleVariant result;
    EXPECT_TRUE(CParvelView::CallScriptFunction(pView, "pageFunction", args, &result));
    EXPECT_STREQ(AfxVariantToAnsi(result), "x|y|");
    EXPECT_TRUE(CParvelView::InvokePageScript(pView, "print_complete", "VK1", "成功！", "TRUE", nullptr));
    EXPECT_EQ(Call(pView, "printCompleteCalls"), "VK1|成功！|TRUE");

    // No such function: FALSE and nothing shown.
    EXPECT_FALSE(CParvelView::InvokePageScript(pView, "print_complete_missing", "a", "b", "c", nullptr));
    EXPECT_EQ(MessageBoxes().size(), nBoxes);
    // A function that throws: FALSE with the error's text.
    EXPECT_FALSE(CParvelView::InvokePageScript(pView, "failingFunction", "", "", "", nullptr));
    ASSERT_EQ(MessageBoxes().size(), nBoxes + 1);
    EXPECT_NE(MessageBoxes().back().find("Velkor速递网点客户端\t"), std::string::npos);
    // A view without a document.
    AfxGetApp()->OnFileNew();
    CParvelView* pBlank = ActiveView();
    ASSERT_TRUE(pBlank && !pBlank->m_pHtmlDoc);
    EXPECT_FALSE(CParvelView::InvokePageScript(pBlank, "pageFunction", "a", "b", "c", nullptr));
    ASSERT_EQ(MessageBoxes().size(), nBoxes + 2);
    EXPECT_EQ(MessageBoxes().back(), "Velkor速递网点客户端\t函数GetJScrip调用失败！");
}

TEST_F(PagesTest, OpeningAnAddressSetsItsCookiesPostsTheExactBodyAndBringsTheFrameBack)
{
    ASSERT_TRUE(OpenFirstPage());
    // From the tray: the frame comes back maximised first.
    m_pFrame->ShowWindow(SW_MINIMIZE);
    m_pFrame->ShowWindow(SW_HIDE);
    EXPECT_FALSE(m_pFrame->IsWindowVisible());
    const std::string body = "data=a%2Bb+c%3D%E4%B8%AD&x=1";
    CParvelView* pPost = OpenPage("/devnet/echo?kind=post", body.c_str());
    ASSERT_TRUE(pPost);
    EXPECT_TRUE(m_pFrame->IsWindowVisible());
    EXPECT_FALSE(m_pFrame->IsIconic());
    // The form that carries the body stands at the address until it has submitted itself.
    std::string echo;
    EXPECT_TRUE(WaitFor([&] { return (echo = Eval(pPost, "document.body ? document.body.innerText : ''")).find("method=") !=
                                     std::string::npos; }, 10000));
    EXPECT_NE(echo.find("method=POST"), std::string::npos) << echo;
    EXPECT_NE(echo.find("body=" + body), std::string::npos) << echo;
    EXPECT_NE(echo.find("JSESSIONID=" + m_strSession), std::string::npos) << echo;
    EXPECT_NE(echo.find("CASTGC=" + m_strTgt), std::string::npos) << echo;
    // The title argument shows nowhere.
    EXPECT_NE(Caption(pPost), "ignored");

    CParvelView* pGet = OpenPage("/devnet/echo?kind=get");
    ASSERT_TRUE(pGet);
    echo = Eval(pGet, "document.body.innerText");
    EXPECT_NE(echo.find("method=GET"), std::string::npos) << echo;
    EXPECT_NE(echo.find("CASTGC=" + m_strTgt), std::string::npos) << echo;
}

TEST_F(PagesTest, APageReportingAFailedCasSignOnShowsTheNotice)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/cas_failed.php");
    ASSERT_TRUE(pView);
    EXPECT_TRUE(WaitFor([&] { return Eval(pView, "document.body ? document.body.innerText : ''").find(
                                         (const char*)u8"当前业务系统正在更新或者升级暂停使用，请及时联系系统管理员获取帮助") !=
                                     std::string::npos; }, 10000))
        << Eval(pView, "document.documentElement.outerHTML");
}

TEST_F(PagesTest, BackAndForwardFollowTheBrowsersHistory)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/titled.php?title=one");
    ASSERT_TRUE(pView);
    EXPECT_FALSE(pView->m_bCanGoBack);
    EXPECT_FALSE(Enabled(pView, ID_GO_BACK));
    pView->Navigate2((m_devnet->Url("http") + "/kesta/pages/titled.php?title=two").c_str());
    ASSERT_TRUE(WaitForPage(pView, "title=two"));
    // The engine's history follows the load.
    EXPECT_TRUE(WaitFor([&] { return pView->m_bCanGoBack == TRUE; }, 5000));
    EXPECT_TRUE(Enabled(m_pFrame, ID_GO_BACK));
    EXPECT_FALSE(Enabled(m_pFrame, ID_GO_FORWARD));
    m_pFrame->SendMessage(WM_COMMAND, ID_GO_BACK);
    ASSERT_TRUE(WaitForPage(pView, "title=one"));
    EXPECT_TRUE(WaitFor([&] { return pView->m_bCanGoForward == TRUE; }, 5000));
    m_pFrame->SendMessage(WM_COMMAND, ID_GO_FORWARD);
    EXPECT_TRUE(WaitForPage(pView, "title=two"));
    const size_t nMark = m_devnet->Log().size();
    m_pFrame->SendMessage(WM_COMMAND, ID_REFRESH_PAGE);
    EXPECT_TRUE(WaitFor([&] { return !LogLines(m_devnet->Log(), nMark, {"GET /kesta/pages/titled.php?title=two"}).empty(); },
                        10000)) << m_devnet->Log().substr(nMark) << pView->GetLocationURL();
}

TEST_F(PagesTest, ARightClickOnAPageShowsOnlyTheEditMenu)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/titled.php?title=menu");
    ASSERT_TRUE(pView);
    CTrackedMenuReader menu;
    wxPoint at = pView->GetWxWindow()->GetScreenPosition() + wxPoint(200, 150);
    std::string cmd = "xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 3";
    for (int i = 0; i < 10 && !menu.Seen(); ++i)
    {
        ASSERT_EQ(system(cmd.c_str()), 0);
        menu.WaitSeen(1000);
    }
    menu.Join();
    ASSERT_TRUE(menu.Seen());
    EXPECT_EQ(menu.Ids(), (std::vector<UINT>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}));
}

TEST_F(PagesTest, TheHostSiteAnswersThePolicyTableAndHandsTheRestToTheBrowser)
{
    g_bFirstNavigation = false;
    theApp.OnFileNew();
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    auto* pSite = new CDocHostSite(pView, pView);
    IInternetSecurityManager* pManager = nullptr;
    IServiceProvider* pProvider = nullptr;
    ASSERT_EQ(pSite->QueryInterface(IID_IServiceProvider, (void**)&pProvider), S_OK);
    ASSERT_EQ(pProvider->QueryService(IID_IInternetSecurityManager, IID_IInternetSecurityManager, (void**)&pManager), S_OK);
    ASSERT_TRUE(pManager);
    struct CASE
    {
        DWORD dwAction;
        DWORD cbPolicy;
        HRESULT hr;
        bool bWritten;
    } cases[] = {
        {0x1200, 4, S_OK, true},                    // running an ActiveX control
        {0x13FF, 4, S_OK, true},
        {0x1400, 4, S_OK, true},                    // running a script
        {0x15FF, 4, S_OK, true},
        {0x1406, 4, INET_E_DEFAULT_ACTION, false},  // cross-domain data: the browser's own setting
        {0x1C00, 4, INET_E_DEFAULT_ACTION, false},  // Java permissions
        {0x1605, 4, INET_E_DEFAULT_ACTION, false},  // running Java
        {0x1601, 4, INET_E_DEFAULT_ACTION, false},  // submitting forms
        {0x1200, 2, S_FALSE, false},                // a buffer too small for the policy
    };
    for (const CASE& c : cases)
    {
        BYTE policy[4] = {0xAB, 0xAB, 0xAB, 0xAB};
        EXPECT_EQ(pManager->ProcessUrlAction(L"http://x/", c.dwAction, policy, c.cbPolicy, nullptr, 0, 0, 0), c.hr)
            << std::hex << c.dwAction;
        EXPECT_EQ(policy[0] == 0 && policy[1] == 0 && policy[2] == 0 && policy[3] == 0, c.bWritten) << std::hex << c.dwAction;
    }
    EXPECT_EQ(pManager->MapUrlToZone(L"http://x/", nullptr, 0), INET_E_DEFAULT_ACTION);
    void* pOther = (void*)1;
    EXPECT_EQ(pProvider->QueryService(IID_IOleCommandTarget, IID_IOleCommandTarget, &pOther), E_NOINTERFACE);
    EXPECT_EQ(pOther, nullptr);

    IDocHostUIHandler* pUi = nullptr;
    IDocHostUIHandler2* pUi2 = nullptr;
    ASSERT_EQ(pSite->QueryInterface(IID_IDocHostUIHandler, (void**)&pUi), S_OK);
    ASSERT_EQ(pSite->QueryInterface(IID_IDocHostUIHandler2, (void**)&pUi2), S_OK);
    EXPECT_EQ(pUi->TranslateAccelerator(nullptr, nullptr, 0), E_NOTIMPL);
    DOCHOSTUIINFO info{sizeof(DOCHOSTUIINFO), DOCHOSTUIFLAG_NOTHEME, 0, nullptr, nullptr};
    EXPECT_EQ(pUi->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, (DWORD)DOCHOSTUIFLAG_THEME);
    EXPECT_EQ(pUi->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(pUi->TranslateUrl(0, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(pUi2->GetHostInfo(&info), S_FALSE);
    EXPECT_EQ(pUi2->TranslateAccelerator(nullptr, nullptr, 0), S_FALSE);
    EXPECT_EQ(pUi2->GetOverrideKeyPath(nullptr, 0), S_FALSE);
    IDispatch* pExternal = nullptr;
    EXPECT_EQ(pUi->GetExternal(&pExternal), S_OK);
    ASSERT_TRUE(pExternal);
    std::wstring names[] = {L"printReady", L"printMailLable", L"openTabView", L"getImportResult", L"importOrder",
                            L"showWaitDialog", L"hideWaitDialog", L"startWork", L"printMailLabel"};
    for (int i = 0; i < 9; ++i)
    {
        LPOLESTR name = names[i].data();
        DISPID id = 0;
        HRESULT hr = pExternal->GetIDsOfNames(IID_NULL, &name, 1, 0x0800, &id);
        // The ids are the places in the table, from 1; the names only as spelled.
        EXPECT_EQ(hr, i < 8 ? S_OK : DISP_E_UNKNOWNNAME);
        EXPECT_EQ(id, i < 8 ? i + 1 : DISPID_UNKNOWN);
    }
    pExternal->Release();

    // Commands other than script errors and messages, or of another group, are not the site's.
    IOleCommandTarget* pTarget = nullptr;
    ASSERT_EQ(pSite->QueryInterface(IID_IOleCommandTarget, (void**)&pTarget), S_OK);
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(pTarget->Exec(&CGID_DocHostCommandHandler, 39, 0, nullptr, &out), OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(pTarget->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(pTarget->QueryStatus(nullptr, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);
    // A message without " ActiveX " is left to the browser, with the answer false.
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_BSTR;
    in.bstrVal = SysAllocString(L"an ActiveXControl");
    EXPECT_EQ(pTarget->Exec(&CGID_DocHostCommandHandler, OLECMDID_SHOWMESSAGE, 0, &in, &out), OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, VARIANT_FALSE);
    VariantClear(&in);

    // A page message box keeps a caption that is not the browser's standard one.
    const size_t nBoxes = MessageBoxes().size();
    LRESULT lResult = 0;
    std::wstring text = L"text", caption = L"own caption";
    EXPECT_EQ(pView->OnShowMessage(nullptr, text.data(), caption.data(), MB_OK, nullptr, 0, &lResult), S_OK);
    EXPECT_EQ(lResult, IDOK);
    ASSERT_EQ(MessageBoxes().size(), nBoxes + 1);
    EXPECT_EQ(MessageBoxes().back(), "own caption\ttext");

    pTarget->Release();
    pUi->Release();
    pUi2->Release();
    pManager->Release();
    pProvider->Release();
    pSite->Release();
}

namespace
{
// Business pages that hang, come cut or reset: the tab opens, the window answers all the time,
// and the tab closes as any other.
class PagesFaultTest : public PagesTest, public ::testing::WithParamInterface<const char*>
{
protected:
    std::vector<std::string> DevnetFaults() const override { return {"--fault", std::string("web:") + GetParam()}; }
};

TEST_P(PagesFaultTest, ABrokenBusinessPageLeavesTheWindowAnsweringAndItsTabCloses)
{
    const std::string strFault = std::string("fault ") + GetParam() + ": GET /kesta/biz/order_entry.php";
    CGuiAnswerProbe probe;
    const int nTabs = m_pFrame->GetMDIChildCount();
    // Two tabs: the last one stays while the main window is shown.
    for (int i = 0; i < 2; ++i)
        m_pFrame->OpenUrlInNewPage((m_devnet->Url("http") + "/kesta/biz/order_entry.php").c_str(), "ignored", "");
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), nTabs + 2);
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(WaitFor([&] {
        std::string log = m_devnet->Log();
        size_t first = log.find(strFault);
        return first != std::string::npos && log.find(strFault, first + 1) != std::string::npos;
    }, 15000)) << m_devnet->Log();
    probe.Restart();
    ASSERT_TRUE(WaitFor([&] { return probe.Answers() >= 25; }, 10000));
    EXPECT_LT(probe.Longest(), 100) << "the window did not answer for this long (ms)";
    HWND hChild = pView->GetParentFrame()->GetSafeHwnd();
    pView->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hChild); }, 5000));
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), nTabs + 1);
    EXPECT_LT(probe.Longest(), 100);
}

INSTANTIATE_TEST_SUITE_P(Modes, PagesFaultTest, ::testing::Values("hang", "cut", "reset"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
}  // namespace

TEST_F(PagesTest, TheLastPageClosedWhileTheWindowIsHiddenSignsOffAtTheServerBeforeItGoes)
{
    CParvelView* pView = OpenFirstPage();
    ASSERT_TRUE(pView);
    ASSERT_EQ(g_nOpenPages, 1);
    m_pFrame->ShowWindow(SW_MINIMIZE);
    m_pFrame->ShowWindow(SW_HIDE);
    const size_t nMark = m_devnet->Log().size();
    pView->GetParentFrame()->SendMessage(WM_CLOSE);
    // The tab goes once the server has had the logout, with the sign-on cookie.
    EXPECT_TRUE(WaitFor([&] { return m_pFrame->GetMDIChildCount() == 0; }, 15000));
    EXPECT_EQ(g_nOpenPages, 0);
    EXPECT_FALSE(g_bFirstNavigation);
    const std::vector<std::string> logout = LogLines(m_devnet->Log(), nMark, {"GET /cas3.4/logout"});
    ASSERT_EQ(logout.size(), 1u) << m_devnet->Log().substr(nMark);
    EXPECT_NE(logout[0].find("CASTGC=" + m_strTgt), std::string::npos) << logout[0];
}

TEST_F(PagesTest, TheNoticeButtonKeepsATransUrlWithQuotesOrMarkupAsText)
{
    g_bFirstNavigation = false;
    theApp.OnFileNew();
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    const std::string base = m_devnet->Url("http");
    const std::string failed = base + "/kesta/down/first.php";
    // What the server's list may hold (UTF-8 here; the list holds GBK).
    const std::string entries[] = {
        base + "/a.php?x=');window.injected=1;('",
        base + "/b.php?x=\" onmouseover=\"window.injected=2",
        base + "/c.php?x=</button><img src=x onerror=\"window.injected=3\">",
        base + "/d.php?x=\\');window.injected=4;//",
        base + "/e.php?x=&quot;&#39;&amp;",
        base + (const char*)u8"/f.php?n=中文\\",
        // A GBK character whose second byte is a backslash stays one character.
        base + (const char*)u8"/g.php?n=乗'",
    };
    for (const std::string& entry : entries)
    {
        theApp.m_transUrls = {failed, CCodePage::Utf8ToAnsi(entry)};
        theApp.m_nTransUrlCount = 2;
        Eval(pView, "window.before = 1");
        pView->Navigate2(failed.c_str());
        // A new notice (the mark gone with the old page).
        ASSERT_TRUE(WaitFor([&] { return Eval(pView, "window.before === undefined && document.querySelector('button') ? "
                                                     "'y' : 'n'") == "y"; }, 15000)) << entry;
        // The button's script string is the entry itself, and nothing else ran or came in.
        EXPECT_EQ(Eval(pView, "(function () { var a = document.querySelector('button').getAttribute('onclick');"
                              "var p = 'javascript:location.href='; return a.indexOf(p) === 0 ? eval(a.slice(p.length)) :"
                              "'!' + a; })()"),
                  entry);
        EXPECT_EQ(Eval(pView, "String(window.injected)"), "undefined") << entry;
        EXPECT_EQ(Eval(pView, "document.querySelector('button').attributes.length + ',' + "
                              "document.querySelectorAll('button, img').length"),
                  "2,1") << entry;
        EXPECT_EQ(Eval(pView, "document.querySelector('button').textContent"), (const char*)u8"进入内部事务");
    }
}

TEST_F(PagesTest, ATabClosedWhileItsLoadedPageIsReadGoesWithoutTouchingItsView)
{
    ASSERT_TRUE(OpenFirstPage());
    const int nTabs = m_pFrame->GetMDIChildCount();
    const size_t nBoxes = MessageBoxes().size();
    m_pFrame->OpenUrlInNewPage((m_devnet->Url("http") + "/kesta/pages/cas_failed.php").c_str(), "", "");
    CParvelView* pView = ActiveView();
    ASSERT_TRUE(pView);
    const HWND hView = pView->GetSafeHwnd();
    const HWND hFrame = pView->GetParentFrame()->GetSafeHwnd();
    // The loaded page's document is taken just before its source is read: the close runs inside
    // that read's wait.
    CWhenInLoop close([=] { return ::IsWindow(hView) && pView->m_pHtmlDoc != nullptr; },
                      [=] { ::PostMessage(hFrame, WM_CLOSE, 0, 0); });
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hView); }, 15000));
    EXPECT_TRUE(close.Fired());
    EXPECT_EQ(m_pFrame->GetMDIChildCount(), nTabs);
    Pump(300);
    EXPECT_EQ(MessageBoxes().size(), nBoxes);
}

TEST_F(PagesTest, ATabClosedWhileItsScriptIsCalledFailsTheCallQuietly)
{
    ASSERT_TRUE(OpenFirstPage());
    const size_t nBoxes = MessageBoxes().size();
    // Both roads into page script, a plain call and a result to deliver, closed in the wait for
    // the function's name; then a call closed while the function itself runs.
    for (int i = 0; i < 3; ++i)
    {
        CParvelView* pView = OpenPage("/kesta/pages/external.php");
        ASSERT_TRUE(pView);
        const HWND hView = pView->GetSafeHwnd();
        const HWND hFrame = pView->GetParentFrame()->GetSafeHwnd();
        const int nTabs = m_pFrame->GetMDIChildCount();
        if (i == 2)
        {
            // The function calls showWaitDialog, whose wait runs inside the client's own.
            CHtmlView::CHost* pHost = pView->GetHost();
            std::shared_ptr<CHostToken> token = pHost->m_token;
            CWhenInLoop close([=] { return token->bAlive && pHost->m_nExternalDepth > 0; },
                              [=] { ::PostMessage(hFrame, WM_CLOSE, 0, 0); });
            EXPECT_FALSE(CParvelView::InvokePageScript(pView, "callShowWaitDialog", "", "", "", nullptr));
            EXPECT_TRUE(close.Fired());
            CloseWaitDialog();
        }
        else
        {
            // The call's first wait runs the posted close.
            ::PostMessage(hFrame, WM_CLOSE, 0, 0);
            if (i == 0)
                EXPECT_FALSE(CParvelView::InvokePageScript(pView, "pageFunction", "a", "b", "c", nullptr));
            else
                pView->DeliverPageScript("print_complete", "VK1", "成功！", "TRUE");
        }
        EXPECT_FALSE(::IsWindow(hView)) << i;
        EXPECT_EQ(m_pFrame->GetMDIChildCount(), nTabs - 1) << i;
        EXPECT_EQ(MessageBoxes().size(), nBoxes) << i;
    }
}

TEST_F(PagesTest, ATabClosedWhileItsPageWaitsInAnExternalCallGoesWithoutTouchingItsView)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/external.php");
    ASSERT_TRUE(pView);
    const HWND hView = pView->GetSafeHwnd();
    const HWND hFrame = pView->GetParentFrame()->GetSafeHwnd();
    CHtmlView::CHost* pHost = pView->GetHost();
    std::shared_ptr<CHostToken> token = pHost->m_token;
    // showWaitDialog waits for the dialog: the close runs inside the page's own call.
    CWhenInLoop close([=] { return token->bAlive && pHost->m_nExternalDepth > 0; },
                      [=] { ::PostMessage(hFrame, WM_CLOSE, 0, 0); });
    Start(pView, "setTimeout(callShowWaitDialog, 0)");
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hView); }, 15000));
    EXPECT_TRUE(close.Fired());
    CloseWaitDialog();
    // Another page's calls still work.
    CParvelView* pOther = OpenPage("/kesta/pages/external.php");
    ASSERT_TRUE(pOther);
    EXPECT_EQ(Call(pOther, "callPrintReady"), "true");
}

TEST_F(PagesTest, APrintResultThatComesWhileThePageWaitsInItsOwnCallReachesItOnceItCan)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/external.php");
    ASSERT_TRUE(pView);
    const size_t nBoxes = MessageBoxes().size();
    CHtmlView::CHost* pHost = pView->GetHost();
    std::shared_ptr<CHostToken> token = pHost->m_token;
    CMainFrame* pFrame = m_pFrame;
    // The worker's report lands inside the page's showWaitDialog, which cannot take script then.
    CWhenInLoop report([=] { return token->bAlive && pHost->m_nExternalDepth > 0; }, [=] {
        pFrame->SendMessage(WM_PRINT_RESULT, (WPARAM) "VK7", (LPARAM) "成功！");
        pFrame->SendMessage(WM_PRINT_RESULT, (WPARAM) "VK8", (LPARAM) "打印失败！");
    });
    Start(pView, "setTimeout(callShowWaitDialog, 0)");
    ASSERT_TRUE(WaitFor([&] { return report.Fired(); }, 10000));
    // Both arrive, in their order, once the page's call has returned.
    EXPECT_TRUE(WaitFor([&] { return Call(pView, "printCompleteCalls") == "VK7|成功！|TRUE\nVK8|打印失败！|FALSE"; }, 10000))
        << Call(pView, "printCompleteCalls");
    EXPECT_EQ(MessageBoxes().size(), nBoxes);
    CloseWaitDialog();
    // A page without the function is still told nothing.
    CParvelView* pPlain = OpenPage("/kesta/pages/titled.php?title=plain");
    ASSERT_TRUE(pPlain);
    m_pFrame->SendMessage(WM_PRINT_RESULT, (WPARAM) "VK9", (LPARAM) "成功！");
    Pump(500);
    EXPECT_EQ(MessageBoxes().size(), nBoxes);
}

TEST_F(PagesTest, TheMenuKeyAndShiftF10OpenTheEditMenuAtThePagesFocus)
{
    ASSERT_TRUE(OpenFirstPage());
    CParvelView* pView = OpenPage("/kesta/pages/titled.php?title=keys");
    ASSERT_TRUE(pView);
    Eval(pView, "document.body.insertAdjacentHTML('beforeend', '<input id=\"field\" style=\"position:absolute;"
                "left:300px;top:200px;width:120px;height:24px\">')");
    CWnd* pBrowser = pView->GetBrowserWnd();
    ASSERT_TRUE(pBrowser);
    POINT origin{0, 0};
    pBrowser->ClientToScreen(&origin);
    // A real click into the field gives the page the keyboard and the field the focus.
    ASSERT_TRUE(XdoUntil("mousemove " + std::to_string(origin.x + 340) + " " + std::to_string(origin.y + 212) + " click 1",
                         [&] { return Eval(pView, "document.activeElement ? document.activeElement.id : ''") == "field"; },
                         2000, 5));
    for (const char* pszKey : {"shift+F10", "Menu"})
    {
        CTrackedMenuReader menu;
        EXPECT_TRUE(XdoUntil(std::string("key ") + pszKey, [&] { return menu.Seen(); }, 2000, 5)) << pszKey;
        menu.Join();
        ASSERT_TRUE(menu.Seen()) << pszKey;
        EXPECT_EQ(menu.Ids(), (std::vector<UINT>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}));
        // Below the field's left edge, where the caret is, not at the screen's corner.
        const POINT pt = menu.Point();
        EXPECT_GE(pt.x, origin.x + 295) << pszKey;
        EXPECT_LE(pt.x, origin.x + 425) << pszKey;
        EXPECT_GE(pt.y, origin.y + 200) << pszKey;
        EXPECT_LE(pt.y, origin.y + 235) << pszKey;
        Pump(200);
    }
}

TEST_F(PagesTest, AClosedTabLeavesNoWindowsAndItsWebViewIsFinalized)
{
    ASSERT_TRUE(OpenFirstPage());
    CVelkorMenu& menus = CVelkorMenu::GetInstance();
    ASSERT_FALSE(menus.m_listToolBars.empty());
    CMFCToolBar* pBar = menus.m_listToolBars.front();
    UINT nID = 0;
    for (int i = 0; i < pBar->GetCount() && !nID; ++i)
        nID = pBar->GetItemID(i);
    ASSERT_NE(nID, 0u);
    const int nTabs = m_pFrame->GetMDIChildCount();
    // The first tab of a kind may build what later ones share: the count is taken after it.
    long nRecords = 0;
    for (int round = 0; round < 3; ++round)
    {
        m_pFrame->SendMessage(WM_COMMAND, (WPARAM)nID);
        CParvelView* pView = ActiveView();
        ASSERT_TRUE(pView);
        HWND hView = pView->GetSafeHwnd();
        ASSERT_TRUE(WaitForPage(pView, "?ticket=ST-")) << pView->GetLocationURL();
        WebKitWebView* pWebView = pView->GetHost()->WebView();
        ASSERT_TRUE(pWebView);
        // Data of an object goes when the object is finalized, not when it is only disposed.
        bool bFinalized = false;
        g_object_set_data_full(G_OBJECT(pWebView), "test-finalized", &bFinalized,
                               [](gpointer p) { *static_cast<bool*>(p) = true; });
        // The tab's close button: the tab control's close event.
        wxAuiNotebook* pTabs = m_pFrame->GetTabs();
        wxAuiNotebookEvent e(wxEVT_AUINOTEBOOK_PAGE_CLOSE, pTabs->GetId());
        e.SetSelection(pTabs->GetSelection());
        e.SetEventObject(pTabs);
        pTabs->GetEventHandler()->ProcessEvent(e);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hView) && m_pFrame->GetMDIChildCount() == nTabs; }, 10000));
        EXPECT_TRUE(WaitFor([&] { return bFinalized; }, 10000)) << "round " << round;
        if (!bFinalized)
            g_object_set_data(G_OBJECT(pWebView), "test-finalized", nullptr);
        ASSERT_TRUE(WaitFor([&] { return round == 0 || AfxWindowRecordCount() == nRecords; }, 10000))
            << "round " << round << ": " << AfxWindowRecordCount() - nRecords << " more window records";
        nRecords = AfxWindowRecordCount();
    }
}
