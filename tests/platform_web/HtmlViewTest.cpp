// CHtmlView on real WebKit pages served by a local HTTP server: navigation with cookies and POST,
// events, new windows, a page closing itself, page message boxes, script errors, window.external
// and calls of page functions.
#include <gtest/gtest.h>

#include <httplib.h>
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include "AfxWin.h"
#include "CDocument.h"
#include "CMultiDocTemplate.h"
#include "GuiEnvironment.h"
#include "GuiWait.h"
#include "HtmlView.h"
#include "InternetCookie.h"
#include "CodePage.h"
#include "ProcessTree.h"
#include "WebContext.h"

namespace
{
// One request as the server saw it.
struct SeenRequest
{
    std::string method, path, body, cookie;
};

class CPageServer
{
public:
    CPageServer()
    {
        auto page = [](const std::string& title, const std::string& body) {
            return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" +
                   body + "</body></html>";
        };
        m_server.set_logger([this](const httplib::Request& req, const httplib::Response&) {
            std::lock_guard<std::mutex> g(m_lock);
            m_seen.push_back({req.method, req.path, req.body, req.get_header_value("Cookie")});
        });
        m_server.Get("/page", [page](const httplib::Request& req, httplib::Response& res) {
            res.set_content(page(req.get_param_value("title"), "<p>page</p>"), "text/html; charset=utf-8");
        });
        // No title of its own: its script names it after the load.
        m_server.Get("/untitled", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><p>untitled</p><script>"
                            "window.addEventListener('load', function () { setTimeout(function () {"
                            " document.title = 'later'; }, 50); });</script></body></html>",
                            "text/html; charset=utf-8");
        });
        m_server.Post("/echo", [page](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("posted", "<p>posted</p>"), "text/html; charset=utf-8");
        });
        m_server.Get("/missing", [page](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content(page("missing", "<p>no such page</p>"), "text/html; charset=utf-8");
        });
        m_server.Get("/opener", [page](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("opener", "<script>window.open('/page?title=popup');</script>"), "text/html; charset=utf-8");
        });
        m_server.Get("/closer", [page](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("closer", "<script>setTimeout(function(){window.close();},50);</script>"),
                            "text/html; charset=utf-8");
        });
        m_server.Get("/alert", [page](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("alert", "<script>var r = confirm('sure?'); alert('hello ' + r);"
                                          "document.title = 'answered ' + r;</script>"),
                            "text/html; charset=utf-8");
        });
        m_server.Get("/error", [page](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("error", "<script>undefinedFunction();</script>"
                                          "<script>document.title = 'still running';</script>"),
                            "text/html; charset=utf-8");
        });
        m_server.Get("/script", [page](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("script", "<script>function join3(a, b, c) { return a + '|' + b + '|' + c; }"
                                           "function fail() { throw new Error('broken'); }"
                                           "function callExt() { return window.external.echo('one', undefined, 'zwei');}"
                                           "function unknownExt() { try { window.external.nosuch(); return 'no'; }"
                                           " catch (e) { return 'threw'; } }"
                                           "</script>"),
                            "text/html; charset=utf-8");
        });
        m_nPort = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        PollUntil([this] { return m_server.is_running(); }, 10000, 5);
    }
    ~CPageServer()
    {
        m_server.stop();
        m_thread.join();
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_nPort) + path; }
    std::vector<SeenRequest> Seen()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_seen;
    }
    std::vector<SeenRequest> SeenPath(const std::string& path)
    {
        std::vector<SeenRequest> out;
        for (auto& r : Seen())
            if (r.path == path)
                out.push_back(r);
        return out;
    }

private:
    httplib::Server m_server;
    int m_nPort = 0;
    std::thread m_thread;
    std::mutex m_lock;
    std::vector<SeenRequest> m_seen;
};

// window.external of the test views: echo joins its arguments ("-" for a missing one), flag is
// true, nothing returns nothing.
class CTestExternal : public IDispatch
{
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = (riid == IID_IUnknown || riid == IID_IDispatch) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override
    {
        std::wstring n = names[0];
        ids[0] = n == L"echo" ? 1 : n == L"flag" ? 2 : n == L"nothing" ? 3 : DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* dp, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        ++m_nCalls;
        if (id == 1)
        {
            std::string joined;
            for (UINT i = 0; i < dp->cArgs; ++i)
            {
                const VARIANT& v = dp->rgvarg[dp->cArgs - 1 - i];
                joined += (i ? "," : "") + (v.vt == VT_EMPTY ? std::string("-") : std::string(AfxVariantToAnsi(v)));
            }
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(CCodePage::AnsiToWide(joined).c_str());
        }
        else if (id == 2)
        {
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
        }
        return S_OK;
    }
    int m_nCalls = 0;
};

// The site of the test views: page message boxes are answered OK and recorded; script errors are
// counted.
class CTestSite : public COleControlSite, public IDocHostShowUI, public IOleCommandTarget
{
public:
    explicit CTestSite(CWnd* pContainer) : COleControlSite(pContainer) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override { return COleControlSite::QueryInterface(riid, ppv); }
    ULONG AddRef() override { return COleControlSite::AddRef(); }
    ULONG Release() override { return COleControlSite::Release(); }

    HRESULT ShowMessage(HWND, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR, DWORD, LRESULT* pl) override
    {
        s_messages.push_back(CCodePage::WideToAnsi(text) + "|" + CCodePage::WideToAnsi(caption) + "|" +
                             std::to_string(type));
        *pl = IDOK;
        return S_OK;
    }
    HRESULT ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override { return E_NOTIMPL; }
    HRESULT QueryStatus(const GUID*, ULONG, OLECMD[], void*) override { return OLECMDERR_E_NOTSUPPORTED; }
    HRESULT Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT*) override
    {
        if (!group || *group != CGID_DocHostCommandHandler)
            return OLECMDERR_E_NOTSUPPORTED;
        if (id == OLECMDID_SHOWSCRIPTERROR)
        {
            ++s_nScriptErrors;
            return S_OK;
        }
        // The page's message is offered first; a site that takes it shows it no box.
        if (id == OLECMDID_SHOWMESSAGE && in && in->vt == VT_BSTR)
        {
            s_offered.push_back(CCodePage::WideToUtf8(in->bstrVal));
            if (s_bTakeMessages)
                return S_OK;
        }
        return OLECMDERR_E_NOTSUPPORTED;
    }
    static inline std::vector<std::string> s_offered;
    static inline bool s_bTakeMessages = false;
    static inline std::vector<std::string> s_messages;
    static inline int s_nScriptErrors = 0;

protected:
    void* GetSiteInterface(REFIID riid) override
    {
        if (riid == IID_IDocHostShowUI)
            return static_cast<IDocHostShowUI*>(this);
        if (riid == IID_IOleCommandTarget)
            return static_cast<IOleCommandTarget*>(this);
        return nullptr;
    }
};

class CTestView : public CHtmlView
{
    DECLARE_DYNCREATE(CTestView)
public:
    std::vector<std::string> m_titles;
    std::vector<std::string> m_completed;
    std::vector<std::pair<long, BOOL>> m_commands;
    std::vector<std::pair<std::string, DWORD>> m_errors;
    std::vector<READYSTATE> m_titleStates;
    std::function<void(CTestView*, BOOL*)> m_onError;
    std::function<void(LPDISPATCH*)> m_onNewWindow;
    int m_nBrowserGone = 0;
    CTestExternal m_external;

    void OnDocumentComplete(LPCSTR url) override { m_completed.push_back(url); }
    void OnTitleChange(LPCSTR text) override
    {
        m_titles.push_back(text);
        m_titleStates.push_back(GetReadyState());
    }
    void OnCommandStateChange(long n, BOOL b) override { m_commands.push_back({n, b}); }
    void OnNavigateError(LPCSTR url, LPCSTR, DWORD code, BOOL* pbCancel) override
    {
        m_errors.push_back({url, code});
        if (m_onError)
            m_onError(this, pbCancel);
    }
    void OnNewWindow2(LPDISPATCH* ppDisp, BOOL*) override
    {
        if (m_onNewWindow)
            m_onNewWindow(ppDisp);
    }
    HRESULT OnGetExternal(LPDISPATCH* pp) override
    {
        *pp = &m_external;
        return S_OK;
    }
    BOOL CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT, REFCLSID) override
    {
        *ppSite = new CTestSite(pContainer);
        return TRUE;
    }

protected:
    afx_msg void OnParentNotify(UINT message, LPARAM)
    {
        if (LOWORD(message) == WM_DESTROY)
            ++m_nBrowserGone;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestView, CHtmlView)
BEGIN_MESSAGE_MAP(CTestView, CHtmlView)
    ON_WM_PARENTNOTIFY()
END_MESSAGE_MAP()

class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

CWinApp g_app("HtmlViewTest");

class HtmlViewTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_server = new CPageServer;
        if (!s_pTemplate)
        {
            s_pTemplate = new CMultiDocTemplate(0, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CTestView));
            g_app.AddDocTemplate(s_pTemplate);
        }
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    void TearDown() override
    {
        g_app.CloseAllDocuments(FALSE);
        CTestSite::s_messages.clear();
        CTestSite::s_nScriptErrors = 0;
    }

    // A new page: document, top-level frame and view.
    CTestView* NewView()
    {
        CDocument* pDoc = s_pTemplate->OpenDocumentFile(nullptr);
        if (!pDoc)
            return nullptr;
        POSITION pos = pDoc->GetFirstViewPosition();
        return static_cast<CTestView*>(pDoc->GetNextView(pos));
    }
    bool Load(CTestView* pView, const std::string& url, DWORD timeout = 15000)
    {
        size_t n = pView->m_completed.size();
        pView->Navigate2(url.c_str());
        return WaitFor([&] { return pView->m_completed.size() > n; }, timeout);
    }
    static inline CPageServer* s_server = nullptr;
    static inline CMultiDocTemplate* s_pTemplate = nullptr;
};

TEST_F(HtmlViewTest, CookiesSetBeforeNavigationReachTheFirstRequest)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    std::string url = s_server->Url("/page?title=cookies");
    ASSERT_TRUE(InternetSetCookieA(url.c_str(), "JSESSIONID", "S1"));
    ASSERT_TRUE(InternetSetCookieA(url.c_str(), "CASTGC", "TGT-1"));
    ASSERT_TRUE(Load(pView, url));
    auto seen = s_server->SeenPath("/page");
    ASSERT_FALSE(seen.empty());
    EXPECT_NE(seen.back().cookie.find("JSESSIONID=S1"), std::string::npos) << seen.back().cookie;
    EXPECT_NE(seen.back().cookie.find("CASTGC=TGT-1"), std::string::npos) << seen.back().cookie;
    EXPECT_FALSE(InternetSetCookieA("ftp://host/x", "A", "1"));
}

TEST_F(HtmlViewTest, PostBodyArrivesByteForByte)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    // A form-encoded body with GBK bytes, a blank and reserved characters.
    std::string body = "data=%7B%22k%22%3A%22%D6%D0+x%22%7D&sid=ab*c-1.2_3&empty=";
    size_t n = pView->m_completed.size();
    pView->Navigate2(s_server->Url("/echo").c_str(), 0, nullptr, nullptr, body.data(), (DWORD)body.size());
    ASSERT_TRUE(WaitFor([&] { return !s_server->SeenPath("/echo").empty() && pView->m_completed.size() > n + 0; }, 15000));
    auto seen = s_server->SeenPath("/echo");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].body, body);
}

TEST_F(HtmlViewTest, TitleCommandStateAndReadyState)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(Load(pView, s_server->Url("/page?title=first")));
    EXPECT_EQ(pView->GetReadyState(), READYSTATE_COMPLETE);
    ASSERT_TRUE(WaitFor([&] { return !pView->m_titles.empty(); }));
    EXPECT_EQ(pView->m_titles.back(), "first");
    EXPECT_EQ(pView->m_titleStates.back(), READYSTATE_INTERACTIVE);
    ASSERT_TRUE(Load(pView, s_server->Url("/page?title=second")));
    ASSERT_TRUE(WaitFor([&] {
        return !pView->m_commands.empty() && pView->m_commands.back() == std::make_pair(long(CSC_NAVIGATEBACK), TRUE);
    }));
    size_t n = pView->m_completed.size();
    pView->GoBack();
    ASSERT_TRUE(WaitFor([&] { return pView->m_completed.size() > n; }));
    EXPECT_NE(pView->GetLocationURL().Find("first"), -1);
    bool bForward = false;
    for (auto& c : pView->m_commands)
        if (c == std::make_pair(long(CSC_NAVIGATEFORWARD), TRUE))
            bForward = true;
    EXPECT_TRUE(bForward);
}

TEST_F(HtmlViewTest, ATitleThatAPageWithoutOneGetsAfterItsLoadIsNoInteractiveTitle)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(Load(pView, s_server->Url("/untitled")));
    ASSERT_TRUE(WaitFor([&] { return pView->GetLocationName() == "later"; }));
    Pump(200);
    for (size_t i = 0; i < pView->m_titles.size(); ++i)
        EXPECT_NE(pView->m_titleStates[i], READYSTATE_INTERACTIVE) << pView->m_titles[i];
    // The next page with a title of its own tells it while interactive again.
    ASSERT_TRUE(Load(pView, s_server->Url("/page?title=own")));
    ASSERT_TRUE(WaitFor([&] { return !pView->m_titles.empty() && pView->m_titles.back() == "own"; }));
    EXPECT_EQ(pView->m_titleStates.back(), READYSTATE_INTERACTIVE);
}

// An address where nothing listens (a port just bound and let go).
std::string ClosedPortUrl()
{
    static std::string s_url;
    if (s_url.empty())
    {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        close(fd);
        s_url = "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/refused";
    }
    return s_url;
}

TEST_F(HtmlViewTest, NavigateErrorsCarryTheStatusAndWrittenTextShows)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    // An HTTP error: its status; a refused connection: a network error code.
    ASSERT_TRUE(Load(pView, s_server->Url("/missing")));
    ASSERT_EQ(pView->m_errors.size(), 1u);
    EXPECT_EQ(pView->m_errors[0].second, 404u);
    pView->m_onError = [](CTestView* v, BOOL* pbCancel) {
        IDispatch* pDisp = v->GetHtmlDocument();
        IHTMLDocument2* pDoc = nullptr;
        ASSERT_TRUE(pDisp);
        ASSERT_EQ(pDisp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&pDoc)), S_OK);
        SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 1);
        psa->pvData[0].vt = VT_BSTR;
        psa->pvData[0].bstrVal = SysAllocString(L"<html><head><title>notice</title></head><body>n</body></html>");
        pDoc->write(psa);
        SafeArrayDestroy(psa);
        pDoc->Release();
        pDisp->Release();
        *pbCancel = FALSE;
    };
    size_t n = pView->m_completed.size();
    pView->Navigate2(ClosedPortUrl().c_str());
    ASSERT_TRUE(WaitFor([&] { return pView->m_errors.size() == 2 && pView->m_completed.size() > n; }, 15000))
        << pView->m_errors.size() << " " << pView->m_completed.size() - n;
    EXPECT_EQ(pView->m_errors[1].first, ClosedPortUrl());
    EXPECT_EQ(pView->m_errors[1].second & 0xFFFF0000u, 0x800C0000u);
    CString source;
    ASSERT_TRUE(pView->GetSource(source));
    EXPECT_NE(source.Find("notice"), -1);
}

TEST_F(HtmlViewTest, NewWindowShowsInTheViewGiven)
{
    CTestView* pView = NewView();
    CTestView* pTarget = NewView();
    ASSERT_TRUE(pView && pTarget);
    pView->m_onNewWindow = [&](LPDISPATCH* pp) { *pp = pTarget->GetApplication(); };
    ASSERT_TRUE(Load(pView, s_server->Url("/opener")));
    ASSERT_TRUE(WaitFor([&] { return !pTarget->m_completed.empty(); }, 15000));
    EXPECT_NE(pTarget->m_completed.back().find("title=popup"), std::string::npos);
    // Without a view given, nothing opens.
    pView->m_onNewWindow = nullptr;
    ASSERT_TRUE(Load(pView, s_server->Url("/opener")));
    EXPECT_EQ(pTarget->m_completed.size(), 1u);
}

TEST_F(HtmlViewTest, PageClosingItsWindowDestroysTheBrowserControl)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(Load(pView, s_server->Url("/closer")));
    ASSERT_TRUE(WaitFor([&] { return pView->m_nBrowserGone == 1; }, 10000));
    EXPECT_EQ(pView->GetBrowserWnd(), nullptr);
}

TEST_F(HtmlViewTest, MessageBoxesGoToTheSiteWithTheStandardCaption)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(Load(pView, s_server->Url("/alert")));
    ASSERT_TRUE(WaitFor([&] { return CTestSite::s_messages.size() == 2; }));
    char caption[64];
    LoadString(LoadLibraryA("shdoclc.dll"), 128, caption, sizeof caption);
    EXPECT_EQ(CTestSite::s_messages[0], std::string("sure?|") + caption + "|" + std::to_string(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(CTestSite::s_messages[1], std::string("hello true|") + caption + "|" + std::to_string(MB_OK | MB_ICONWARNING));
    ASSERT_TRUE(WaitFor([&] { return !pView->m_titles.empty() && pView->m_titles.back() == "answered true"; }));
}

TEST_F(HtmlViewTest, AMessageTheSiteTakesShowsNoBoxAndAConfirmAnswersNo)
{
    CTestSite::s_messages.clear();
    CTestSite::s_offered.clear();
    CTestSite::s_bTakeMessages = true;
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(Load(pView, s_server->Url("/alert")));
    EXPECT_TRUE(WaitFor([&] { return !pView->m_titles.empty() && pView->m_titles.back() == "answered false"; }));
    CTestSite::s_bTakeMessages = false;
    EXPECT_EQ(CTestSite::s_offered, (std::vector<std::string>{"sure?", "hello false"}));
    EXPECT_TRUE(CTestSite::s_messages.empty());
}

TEST_F(HtmlViewTest, ScriptErrorsReachTheSiteAndThePageKeepsRunning)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(Load(pView, s_server->Url("/error")));
    ASSERT_TRUE(WaitFor([&] { return CTestSite::s_nScriptErrors >= 1; }));
    ASSERT_TRUE(WaitFor([&] { return pView->GetLocationName() == "still running"; }));
}

// Calls a page function through the document's script object.
HRESULT CallPage(CHtmlView* pView, const wchar_t* name, std::vector<std::wstring> args, VARIANT* pResult)
{
    IDispatch* pDisp = pView->GetHtmlDocument();
    IHTMLDocument2* pDoc = nullptr;
    pDisp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&pDoc));
    pDisp->Release();
    IDispatch* pScript = nullptr;
    pDoc->get_Script(&pScript);
    pDoc->Release();
    std::wstring n = name;
    LPOLESTR names[1] = {n.data()};
    DISPID id;
    HRESULT hr = pScript->GetIDsOfNames(IID_NULL, names, 1, 0x0800, &id);
    if (SUCCEEDED(hr))
    {
        std::vector<VARIANT> v(args.size());
        for (size_t i = 0; i < args.size(); ++i)
        {
            VARIANT& a = v[args.size() - 1 - i];
            a.vt = VT_BSTR;
            a.bstrVal = SysAllocString(args[i].c_str());
        }
        DISPPARAMS dp{v.data(), nullptr, (UINT)v.size(), 0};
        hr = pScript->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &dp, pResult, nullptr, nullptr);
        for (auto& a : v)
            VariantClear(&a);
    }
    pScript->Release();
    return hr;
}

TEST_F(HtmlViewTest, PageFunctionsAndWindowExternal)
{
    CTestView* pView = NewView();
    ASSERT_TRUE(pView);
    ASSERT_TRUE(Load(pView, s_server->Url("/script")));
    COleVariant result;
    ASSERT_EQ(CallPage(pView, L"join3", {L"a", L"\u4e2d", L"c"}, &result), S_OK);
    EXPECT_EQ(std::string(AfxVariantToAnsi(result)), "a|" + CCodePage::WideToAnsi(L"\u4e2d") + "|c");
    EXPECT_EQ(CallPage(pView, L"absent", {}, &result), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(CallPage(pView, L"fail", {}, &result), DISP_E_EXCEPTION);
    result.Clear();
    ASSERT_EQ(CallPage(pView, L"callExt", {}, &result), S_OK);
    EXPECT_EQ(std::string(AfxVariantToAnsi(result)), "one,-,zwei");
    result.Clear();
    ASSERT_EQ(CallPage(pView, L"unknownExt", {}, &result), S_OK);
    EXPECT_EQ(std::string(AfxVariantToAnsi(result)), "threw");
}
std::set<pid_t> WebProcesses()
{
    std::vector<pid_t> pids = DescendantProcesses(getpid(), "WebKitWebProces");
    return std::set<pid_t>(pids.begin(), pids.end());
}

TEST_F(HtmlViewTest, ThePrewarmedViewIsTakenByTheNextView)
{
    const std::set<pid_t> before = WebProcesses();
    AfxPrewarmHtmlView();
    // Nothing starts before a window is shown.
    Pump(300);
    EXPECT_EQ(WebProcesses(), before);
    // Once one is, the web and network processes start with no view shown.
    CWnd shown;
    ASSERT_TRUE(shown.CreateEx(0, nullptr, "shown", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
    std::set<pid_t> warmed;
    ASSERT_TRUE(WaitFor([&] {
        warmed = WebProcesses();
        return warmed.size() > before.size() && !DescendantProcesses(getpid(), "WebKitNetwork").empty();
    }, 20000)) << "no web process started";
    AfxPrewarmHtmlView();  // asked once only

    // The first view shows its page in the prewarmed view's process.
    CTestView* pFirst = NewView();
    ASSERT_TRUE(pFirst);
    ASSERT_TRUE(Load(pFirst, s_server->Url("/page?title=first")));
    EXPECT_NE(pFirst->m_completed.back().find("title=first"), std::string::npos) << pFirst->m_completed.back();
    EXPECT_EQ(WebProcesses(), warmed);

    // None is left for the next view: it starts a process of its own.
    CTestView* pSecond = NewView();
    ASSERT_TRUE(pSecond);
    ASSERT_TRUE(Load(pSecond, s_server->Url("/page?title=second")));
    EXPECT_GT(WebProcesses().size(), warmed.size());
}
}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    ::testing::AddGlobalTestEnvironment(new CGuiEnvironment("platform_web_tests"));
    return RUN_ALL_TESTS();
}
