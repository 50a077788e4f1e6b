#include "PageRoadEnvironment.h"

#include <cstdlib>
#include <sys/stat.h>
#include "ChildFrm.h"
#include "WorkerEnvironment.h"
#include "CMultiDocTemplate.h"
#include "CodePage.h"
#include "DevnetProcess.h"
#include "GuiWait.h"
#include "OptionCtrl.h"
#include "OptionData.h"
#include "ParvelApp.h"
#include "ParvelDoc.h"
#include "ParvelView.h"
#include "PrintWaybillThread.h"
#include "PrivateMember.h"
#include "Scrivo.h"
#include "TestFiles.h"
#include "resource.h"

namespace
{
typedef void (COptionData::*SETTER)(const char*);
struct LoginUrlTag { typedef SETTER type; };
}  // namespace
template struct CPrivateBinder<LoginUrlTag, &COptionData::SetAccountLoginUrl>;

namespace
{
std::string g_strFolder;
CDevnetProcess* g_pDevnet = nullptr;
CRoadFrame* g_pFrame = nullptr;

class CPageRoadEnvironment : public CWorkerEnvironment
{
public:
    CPageRoadEnvironment() : CWorkerEnvironment("printimport_tests", "parvel-printimport", "Parvel_road", "ParvelRoad") {}
    void SetUp() override
    {
        CWorkerEnvironment::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        g_strFolder = Folder();

        g_pDevnet = new CDevnetProcess();
        ASSERT_TRUE(g_pDevnet->IsReady()) << g_pDevnet->Log();
        // The program's first page goes to devnet's own home page.
        (COptionCtrl::GetOptionData().*CPrivate<LoginUrlTag>::s_member)(g_pDevnet->Url("home").c_str());
        COptionCtrl().SetServerUrlInfo(g_pDevnet->Url("home").c_str(), "", "", "", "", "");
        UseServices(g_pDevnet->Url("labelpdf"), g_pDevnet->Url("import"));
        COptionCtrl().SetUserInfo("demo", "SID4711", "TGT-1");

        theApp.AddDocTemplate(new CMultiDocTemplate(IDR_ParvelTYPE, RUNTIME_CLASS(CParvelDoc),
                                                    RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CParvelView)));
        g_pFrame = new CRoadFrame;
        ASSERT_TRUE(g_pFrame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
        theApp.m_pMainWnd = g_pFrame;
        g_pFrame->ShowWindow(SW_SHOWMAXIMIZED);
        g_pFrame->UpdateWindow();
        // The first tab makes the program's first navigation; later tabs load only their address.
        ASSERT_TRUE(OpenPage(g_pDevnet->Url("home")));
        CloseAllPages();
    }
    void TearDown() override
    {
        if (g_pFrame)
        {
            CloseAllPages();
            theApp.m_pMainWnd = nullptr;
            if (::IsWindow(g_pFrame->GetSafeHwnd()))
                g_pFrame->DestroyWindow();
            Pump(200);
            g_pFrame = nullptr;
        }
        delete g_pDevnet;
        g_pDevnet = nullptr;
        CWorkerEnvironment::TearDown();
    }
};
const ::testing::Environment* const s_env = ::testing::AddGlobalTestEnvironment(new CPageRoadEnvironment);

std::string VariantToUtf8(const VARIANT& v)
{
    switch (v.vt)
    {
    case VT_BSTR:
        return v.bstrVal ? CCodePage::WideToUtf8(std::wstring(v.bstrVal, SysStringLen(v.bstrVal))) : std::string();
    case VT_BOOL:
        return v.boolVal ? "true" : "false";
    case VT_I4:
    case VT_R8:
        return AfxVariantToAnsi(v).GetString();
    default:
        return std::string();
    }
}

std::string JsQuote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
    {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "'";
}
}  // namespace

std::vector<CRoadFrame::PRINT_REPORT> CRoadFrame::PrintReports()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_printReports;
}

int CRoadFrame::ImportReports()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nImportReports;
}

void CRoadFrame::ClearReports()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_printReports.clear();
    m_nImportReports = 0;
}

LRESULT CRoadFrame::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINT_RESULT)
    {
        PRINT_REPORT report{ (const char*)wParam, (const char*)lParam, TurnIsHeld() };
        if (m_onPrintResult)
            m_onPrintResult(report);
        std::lock_guard<std::mutex> guard(m_lock);
        m_printReports.push_back(report);
    }
    else if (message == WM_IMPORT_DONE)
    {
        if (m_onImportDone)
            m_onImportDone();
        std::lock_guard<std::mutex> guard(m_lock);
        ++m_nImportReports;
    }
    return CMainFrame::DefWindowProc(message, wParam, lParam);
}

CRoadFrame* RoadFrame()
{
    return g_pFrame;
}

CDevnetProcess& Devnet()
{
    return *g_pDevnet;
}

const std::string& WorkFolder()
{
    return g_strFolder;
}

CParvelView* ActivePage()
{
    CMDIChildWndEx* pChild = g_pFrame ? g_pFrame->MDIGetActive() : nullptr;
    CView* pView = pChild ? pChild->GetActiveView() : nullptr;
    return pView && pView->IsKindOf(RUNTIME_CLASS(CParvelView)) ? (CParvelView*)pView : nullptr;
}

int PageCount()
{
    int n = 0;
    POSITION pos = theApp.GetFirstDocTemplatePosition();
    while (CDocTemplate* pTemplate = pos ? theApp.GetNextDocTemplate(pos) : nullptr)
    {
        POSITION docPos = pTemplate->GetFirstDocPosition();
        while (docPos)
        {
            pTemplate->GetNextDoc(docPos);
            ++n;
        }
    }
    return n;
}

CParvelView* OpenPage(const std::string& strUrl)
{
    const int nBefore = PageCount();
    g_pFrame->OpenUrlInNewPage(strUrl.c_str(), "", "");
    CParvelView* pView = ActivePage();
    if (PageCount() != nBefore + 1 || !pView)
        return nullptr;
    bool bLoaded = WaitFor(
        [&] {
            return pView->GetReadyState() == READYSTATE_COMPLETE && pView->m_pHtmlDoc &&
                   std::string(pView->GetLocationURL().GetString()) == strUrl;
        },
        20000);
    return bLoaded ? pView : nullptr;
}

CParvelView* OpenBusinessPage(const std::string& strName)
{
    return OpenPage(g_pDevnet->Url("web") + "/kesta/biz/" + strName + ".php");
}

void CloseAllPages()
{
    // While the main window is shown the last tab stays (it goes home instead).
    for (int nPages = PageCount(); nPages > 0; nPages = PageCount())
    {
        CMDIChildWndEx* pChild = g_pFrame->MDIGetActive();
        if (!pChild)
            break;
        pChild->SendMessage(WM_CLOSE);
        if (!WaitFor([&] { return PageCount() < nPages; }, 1000))
            break;
    }
}

std::string PageEval(CHtmlView* pView, const std::string& strExpression)
{
    std::string result;
    IDispatch* pDisp = pView ? pView->GetHtmlDocument() : nullptr;
    if (!pDisp)
        return result;
    IHTMLDocument2* pDoc = nullptr;
    pDisp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&pDoc));
    pDisp->Release();
    IDispatch* pScript = nullptr;
    if (pDoc)
    {
        pDoc->get_Script(&pScript);
        pDoc->Release();
    }
    if (!pScript)
        return result;
    std::wstring name = L"eval";
    LPOLESTR names[1] = { name.data() };
    DISPID id = DISPID_UNKNOWN;
    if (SUCCEEDED(pScript->GetIDsOfNames(IID_NULL, names, 1, 0x0800, &id)))
    {
        std::wstring code = CCodePage::Utf8ToWide(strExpression);
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_BSTR;
        arg.bstrVal = SysAllocStringLen(code.data(), (UINT)code.size());
        DISPPARAMS dp{ &arg, nullptr, 1, 0 };
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(pScript->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &dp, &value, nullptr, nullptr)))
            result = VariantToUtf8(value);
        VariantClear(&value);
        VariantClear(&arg);
    }
    pScript->Release();
    return result;
}

std::string PageResult(CHtmlView* pView)
{
    return PageEval(pView, "document.getElementById('result').textContent");
}

void RecordPrintCompletes(CHtmlView* pView)
{
    PageEval(pView,
             "window.printCompletes = []; window.pagePrintComplete = window.print_complete;"
             "window.print_complete = function (o, t, k) { window.printCompletes.push(o + ' ' + t + ' ' + k);"
             " return window.pagePrintComplete(o, t, k); }; ''");
}

std::vector<std::string> RecordedPrintCompletes(CHtmlView* pView)
{
    std::vector<std::string> calls;
    std::string all = PageEval(pView, "window.printCompletes ? window.printCompletes.join('\\n') : ''");
    for (size_t pos = 0; !all.empty() && pos <= all.size();)
    {
        size_t end = all.find('\n', pos);
        if (end == std::string::npos)
            end = all.size();
        calls.push_back(all.substr(pos, end - pos));
        pos = end + 1;
    }
    return calls;
}

bool ClickPageButton(CHtmlView* pView, const std::string& strId)
{
    std::string where = PageEval(pView, "(function () { var e = document.getElementById(" + JsQuote(strId) +
                                            "); if (!e) return ''; e.scrollIntoView(); var r = e.getBoundingClientRect();"
                                            " return Math.round(r.left + r.width / 2) + ' ' +"
                                            " Math.round(r.top + r.height / 2); })()");
    int x = 0, y = 0;
    CWnd* pBrowser = pView->GetBrowserWnd();
    if (!pBrowser || sscanf(where.c_str(), "%d %d", &x, &y) != 2)
        return false;
    POINT pt = { x, y };
    pBrowser->ClientToScreen(&pt);
    // No --sync: it waits for a motion that never comes when the pointer stands there already. The
    // server takes the click after the move either way.
    return Xdotool("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " click 1");
}

void RunInPage(CHtmlView* pView, const std::string& strScript)
{
    PageEval(pView, "setTimeout(function () { " + strScript + " }, 0); ''");
}

std::string ProgressPaneText()
{
    return g_pFrame->m_wndStatusBar.GetPaneText(2).GetString();
}

std::string MessageBoxLog()
{
    return ReadFile(g_strFolder + "/msgbox.log");
}

void UseServices(const std::string& strLabelUrl, const std::string& strImportUrl)
{
    COptionCtrl().SetServerUrlInfo("", "", "", strLabelUrl.c_str(), strImportUrl.c_str(), "");
}

void CPageRoadTest::SetUp()
{
    ASSERT_TRUE(g_pFrame && g_pDevnet);
    UseServices(g_pDevnet->Url("labelpdf"), g_pDevnet->Url("import"));
    theApp.m_printQueue.RemoveAll();
    setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);
    unlink((g_strFolder + "/msgbox.log").c_str());
    g_pFrame->m_onPrintResult = nullptr;
    g_pFrame->m_onImportDone = nullptr;
    g_pFrame->ClearReports();
}

void CPageRoadTest::TearDown()
{
    // The hooks hold the test's locals: a worker of a test that failed early must not reach them.
    g_pFrame->m_onPrintResult = nullptr;
    g_pFrame->m_onImportDone = nullptr;
    // No worker outlives its test.
    EXPECT_TRUE(WaitFor(
        [] { return !TurnIsHeld() && theApp.m_bImporting == 0 && theApp.m_waitDlg.GetSafeHwnd() == nullptr; }, 30000));
    CloseAllPages();
}
