// CMainFrame: the timers: import progress, idle lock, sign-on revalidation and the message poll
// (its request on a worker, its reply back on the GUI thread); and the lock command.
#include <atomic>
#include <memory>
#include <string>
#include "MainFrm.h"
#include "CasClient.h"
#include "EncodingUtil.h"
#include "IdleTime.h"
#include "Netvane.h"
#include "NewsInterface.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "Scrivo.h"
#include "XmlReaders.h"

namespace
{
// The service named in the revalidation: the local machine.
const char kValidateService[] = "http://127.0.0.1";

// Kept for the whole process: locks and imports do not reset them.
CString s_strImportProgress = "运单导入中";
int s_nImportStep = 0;
int s_nPollTicks = 0;
bool s_bFirstPoll = true;

// What one poll asks with; the worker gets its own copy.
struct NEWS_POLL_REQUEST
{
    HWND hFrame;
    CString strUrl;
    CString strUser;
};

// One poll at a time: a poll that is due while the last one still waits for its reply is skipped.
std::atomic<bool> s_bPollRunning{false};

// The request runs here, off the GUI thread, so a message service that does not answer holds
// only this worker; the reply goes to the frame, which hands it to the message component.
UINT NewsPollThreadProc(LPVOID pParam)
{
    std::unique_ptr<NEWS_POLL_REQUEST> pRequest(static_cast<NEWS_POLL_REQUEST*>(pParam));
    std::string* pReply = nullptr;
    {
        CNetvane netvane;
        netvane.AddParam("type", "xml");
        netvane.AddParam("userno", pRequest->strUser);
        char* pszReply = nullptr;
        netvane.DoPost(pRequest->strUrl, &pszReply, nullptr, false, false);
        if (pszReply)
        {
            pReply = new std::string(pszReply);
            netvane.ReleaseResponse(&pszReply);
        }
    }
    s_bPollRunning = false;
    // A frame that is gone takes no reply.
    if (pReply && !::PostMessage(pRequest->hFrame, WM_NEWS_POLL_REPLY, 0, (LPARAM)pReply))
        delete pReply;
    return 0;
}

void PollMessages(HWND hFrame)
{
    if (s_bPollRunning.exchange(true))
        return;
    const COptionData& data = COptionCtrl::GetOptionData();
    NEWS_POLL_REQUEST* pRequest = new NEWS_POLL_REQUEST{hFrame, data.GetMessageUrl(), data.GetUserNameA()};
    if (!AfxBeginThread(NewsPollThreadProc, pRequest, THREAD_PRIORITY_NORMAL))
    {
        delete pRequest;
        s_bPollRunning = false;
    }
}
}  // namespace

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent)
    {
    case TIMER_IMPORT_PROGRESS:
        ShowImportProgress();
        break;
    case TIMER_IDLE_LOCK:
    {
        LASTINPUTINFO lii{};
        lii.cbSize = sizeof(lii);
        GetLastInputInfo(&lii);
        const DWORD dwIdle = GetTickCount() - lii.dwTime;
        // Read at every tick: a changed option counts from the next one.
        const DWORD dwLimit = (DWORD)COptionCtrl::GetOptionData().GetMinuteToOff() * 60000u;
        if (dwLimit != 0 && dwIdle > dwLimit)
        {
            Scrivo::trace("应用锁定ontimer");
            theApp.RunLoginDialog(FALSE);
        }
        break;
    }
    case TIMER_SESSION_CHECK:
    {
        const COptionData& data = COptionCtrl::GetOptionData();
        std::string strSession = data.GetSessionId().GetString();
        std::string strTgt = data.GetTGT().GetString();
        if (CAS_serviceValidate(data.GetAccountLoginUrl(), kValidateService, strSession.data(), strTgt.data()) == 1)
            break;
        // Both security timers stop first, so no second lock starts while the box is up.
        KillTimer(TIMER_IDLE_LOCK);
        KillTimer(TIMER_SESSION_CHECK);
        MessageBox("会话已过期，系统将被锁定！", nullptr, MB_OK);
        OnLockApp();
        break;
    }
    case TIMER_NEWS_POLL:
    {
        const CString strUser = COptionCtrl::GetOptionData().GetUserNameA();
        const int nFirst = strUser.IsEmpty() ? -1 : (strUser[strUser.GetLength() - 1] - '0') * 6;
        const int n = s_nPollTicks++;
        if (!((n == nFirst && s_bFirstPoll) || s_nPollTicks == 180))
            break;
        PollMessages(m_hWnd);
        s_bFirstPoll = false;
        s_nPollTicks = 0;
        break;
    }
    default:
        // 2130 and 2131 are in the range but have no tick; other ids are not the frame's.
        break;
    }
}

void CMainFrame::ShowImportProgress()
{
    const int n = s_nImportStep++;
    if (n > 8)
    {
        s_nImportStep = 0;
        s_strImportProgress = "运单导入中";
    }
    s_strImportProgress += ".";
    m_wndStatusBar.SetPaneText(2, s_strImportProgress, TRUE);
}

void CMainFrame::OnLockApp()
{
    Scrivo::trace("应用锁定menu");
    theApp.RunLoginDialog(FALSE);
}

LRESULT CMainFrame::OnNewsPollReply(WPARAM, LPARAM lParam)
{
    std::unique_ptr<std::string> pReply(reinterpret_cast<std::string*>(lParam));
    if (!pReply)
        return 0;
    std::string strReply(*pReply);
    Utf8ToAnsi(strReply);
    CNewsItem item;
    if (ParseMessageList(strReply.c_str(), item))
        CNewsInterface::GetInstance()->AddNews(item.type, item.title.c_str(), item.content.c_str(),
                                               item.remindType.c_str(), item.url.c_str(), item.m_class.c_str(),
                                               item.occurTime.c_str());
    return 0;
}
