// The tab benchmark, by hand (scripts/bench/tab_bench.sh runs it): signed on against devnet, the
// client's first page, then cycles of the first server toolbar button's command (a new tab on its
// business page) and the tab's close button (the tab control's close event). Every N cycles it
// prints the cycle, the resident memory of the process (kB), the heap in use (bytes) and the
// number of window records and of the closed tabs' web views not yet finalized:
//   TAB <cycle> RSS <kB> HEAP <bytes> WINDOWS <n> WEBVIEWS <n>
// and at the end the growth per tab after the first 50 cycles:
//   PER_TAB_RSS <bytes> PER_TAB_HEAP <bytes>
// Arguments: the number of cycles (400) and N (50).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <wx/aui/auibook.h>
#include <webkit2/webkit2.h>
#include "AfxWin.h"
#include "CasClient.h"
#include "ChildFrm.h"
#include "CMultiDocTemplate.h"
#include "CodePage.h"
#include "DevnetProcess.h"
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
#include "TestFiles.h"
#include "VelkorMenu.h"
#include "WndRecord.h"
#include "resource.h"

namespace
{
typedef void (COptionData::*SETTER)(const char*);
struct LoginUrlTag { typedef SETTER type; };
struct LogoutUrlTag { typedef SETTER type; };
struct FirstLinkTag { typedef SETTER type; };
struct AuthorityUrlTag { typedef SETTER type; };
struct HomePageTag { typedef CString COptionData::*type; };
struct TransListTag { typedef CString COptionData::*type; };
}  // namespace
template struct CPrivateBinder<LoginUrlTag, &COptionData::SetAccountLoginUrl>;
template struct CPrivateBinder<LogoutUrlTag, &COptionData::SetAccountLogoutUrl>;
template struct CPrivateBinder<FirstLinkTag, &COptionData::SetFirstLink>;
template struct CPrivateBinder<AuthorityUrlTag, &COptionData::SetUserAuthorityUrl>;
template struct CPrivateBinder<HomePageTag, &COptionData::m_HomePageUrl>;
template struct CPrivateBinder<TransListTag, &COptionData::m_TransUrlListUrl>;

namespace
{
long RssKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return atol(line.c_str() + 6);
    return 0;
}

size_t HeapBytes()
{
    struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

bool PageLoaded(CParvelView* pView, const std::string& part)
{
    if (!pView || !::IsWindow(pView->GetSafeHwnd()) || !pView->m_pHtmlDoc || pView->GetReadyState() != READYSTATE_COMPLETE)
        return false;
    BSTR url = nullptr;
    if (FAILED(pView->m_pHtmlDoc->get_URL(&url)) || !url)
        return false;
    std::string text = CCodePage::WideToAnsi(std::wstring(url, SysStringLen(url)));
    SysFreeString(url);
    return text.find(part) != std::string::npos;
}

CParvelView* ActiveView(CMainFrame* pFrame)
{
    CMDIChildWndEx* pChild = pFrame->MDIGetActive();
    return pChild ? dynamic_cast<CParvelView*>(pChild->GetActiveView()) : nullptr;
}

// The first button of the first server toolbar.
UINT FirstServerButton()
{
    CVelkorMenu& menus = CVelkorMenu::GetInstance();
    if (menus.m_listToolBars.empty())
        return 0;
    CMFCToolBar* pBar = menus.m_listToolBars.front();
    for (int i = 0; i < pBar->GetCount(); ++i)
        if (UINT nID = pBar->GetItemID(i))
            return nID;
    return 0;
}

// Closed tabs' web views not finalized yet.
int g_nLiveViews = 0;

void Watch(CParvelView* pView)
{
    if (WebKitWebView* p = pView->GetHost()->WebView())
    {
        ++g_nLiveViews;
        // Data of an object is dropped when it is finalized (a weak reference already at dispose).
        g_object_set_data_full(G_OBJECT(p), "tab-bench-watch", &g_nLiveViews, [](gpointer) { --g_nLiveViews; });
    }
}

// What the tab's close button sends: the tab control's close event for the active page.
void PressTabClose(CMainFrame* pFrame)
{
    wxAuiNotebook* pTabs = pFrame->GetTabs();
    wxAuiNotebookEvent e(wxEVT_AUINOTEBOOK_PAGE_CLOSE, pTabs->GetId());
    e.SetSelection(pTabs->GetSelection());
    e.SetEventObject(pTabs);
    pTabs->GetEventHandler()->ProcessEvent(e);
}
}  // namespace

int main(int argc, char** argv)
{
    const int nCycles = argc > 1 ? atoi(argv[1]) : 400;
    const int nEvery = argc > 2 ? atoi(argv[2]) : 50;
    std::string folder = MakeTempFolder("parvel-tabbench");
    if (folder.empty() || chdir(folder.c_str()) != 0 || nCycles <= 0 || nEvery <= 0)
        return 2;
    setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);
    setenv("PARVEL_HKLM_HIVE", (folder + "/hklm.hive").c_str(), 1);
    setenv("PARVEL_HKCU_HIVE", (folder + "/hkcu.hive").c_str(), 1);
    setenv("PARVEL_MUTEX_DIR", (folder + "/mutex").c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    if (!AfxWinInit(argc, argv))
        return 2;
    int status = 1;
    {
        CDevnetProcess devnet;
        if (!devnet.IsReady())
        {
            fprintf(stderr, "devnet did not start\n%s", devnet.Log().c_str());
            return 2;
        }
        COptionData& options = COptionCtrl::GetOptionData();
        (options.*CPrivate<LoginUrlTag>::s_member)(devnet.Url("cas_https").c_str());
        (options.*CPrivate<LogoutUrlTag>::s_member)(devnet.Url("cas_logout").c_str());
        (options.*CPrivate<FirstLinkTag>::s_member)(devnet.Url("firstlink").c_str());
        (options.*CPrivate<AuthorityUrlTag>::s_member)(devnet.Url("authority").c_str());
        options.*CPrivate<HomePageTag>::s_member = devnet.Url("home").c_str();
        options.*CPrivate<TransListTag>::s_member = devnet.Url("translist").c_str();
        std::string session, tgt;
        CasSignOn(devnet.Url("cas_https"), "demo", "velkor2026", session, tgt);
        if (tgt.empty())
            return 2;
        COptionCtrl().SetUserInfo("demo", session.c_str(), tgt.c_str());
        theApp.AddDocTemplate(new CMultiDocTemplate(IDR_ParvelTYPE, RUNTIME_CLASS(CParvelDoc), RUNTIME_CLASS(CChildFrame),
                                                    RUNTIME_CLASS(CParvelView)));
        auto* pFrame = new CMainFrame;
        if (!pFrame->LoadFrame(IDR_MAINFRAME, 0xCF8000))
            return 1;
        theApp.m_pMainWnd = pFrame;
        pFrame->ShowWindow(SW_SHOWMAXIMIZED);
        pFrame->UpdateWindow();
        theApp.OnFileNew();
        CParvelView* pFirst = ActiveView(pFrame);
        if (!WaitFor([&] { return PageLoaded(pFirst, "kesta_cas_login.php?ticket=") && pFrame->m_bMenuLoaded; }, 30000))
        {
            fprintf(stderr, "the first page never loaded\n");
            return 1;
        }
        const UINT nID = FirstServerButton();
        MENU_ITEM* pItem = CVelkorMenu::GetInstance().FindItem((int)nID);
        if (!pItem || !pItem->action)
        {
            fprintf(stderr, "no server toolbar button\n");
            return 1;
        }
        std::string action = pItem->action;
        const std::string landing = action.substr(action.find("/kesta/")) + "?ticket=ST-";
        const int nTabs = pFrame->GetMDIChildCount();
        long rss50 = 0;
        size_t heap50 = 0;
        bool bOk = true;
        for (int i = 1; i <= nCycles && bOk; ++i)
        {
            pFrame->SendMessage(WM_COMMAND, nID);
            CParvelView* pView = ActiveView(pFrame);
            HWND hView = pView ? pView->GetSafeHwnd() : nullptr;
            bOk = pView && WaitFor([&] { return PageLoaded(pView, landing); }, 30000);
            if (!bOk)
            {
                fprintf(stderr, "cycle %d: the tab never loaded its page\n", i);
                break;
            }
            Watch(pView);
            PressTabClose(pFrame);
            bOk = WaitFor([&] { return !::IsWindow(hView) && pFrame->GetMDIChildCount() == nTabs; }, 30000);
            if (!bOk)
            {
                fprintf(stderr, "cycle %d: the tab never closed\n", i);
                break;
            }
            Pump(20);
            if (i % nEvery == 0 || i == 50)
            {
                long rss = RssKb();
                size_t heap = HeapBytes();
                if (i == 50)
                {
                    rss50 = rss;
                    heap50 = heap;
                }
                if (i % nEvery == 0)
                    printf("TAB %d RSS %ld HEAP %zu WINDOWS %ld WEBVIEWS %d\n", i, rss, heap, AfxWindowRecordCount(),
                           g_nLiveViews);
                fflush(stdout);
            }
        }
        if (bOk && nCycles > 50)
        {
            printf("PER_TAB_RSS %ld PER_TAB_HEAP %ld\n", (RssKb() - rss50) * 1024 / (nCycles - 50),
                   ((long)HeapBytes() - (long)heap50) / (nCycles - 50));
            status = 0;
        }
        fflush(stdout);
        ::DestroyWindow(pFrame->GetSafeHwnd());
        theApp.m_pMainWnd = nullptr;
        Pump(100);
    }
    RemoveFolder(folder);
    _exit(status);
}
