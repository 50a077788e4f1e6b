// CMainFrame: the timers: import progress, idle lock, sign-on revalidation and the message poll;
// and the lock command.
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

void PollMessages()
{
    const COptionData& data = COptionCtrl::GetOptionData();
    CNetvane netvane;
    netvane.AddParam("type", "xml");
    netvane.AddParam("userno", data.GetUserNameA());
    char* pszReply = nullptr;
    netvane.DoPost(data.GetMessageUrl(), &pszReply, nullptr, false, false);
    if (!pszReply)
        return;
    std::string strReply(pszReply);
    Utf8ToAnsi(strReply);
    CNewsItem item;
    if (ParseMessageList(strReply.c_str(), item))
    {
        CNewsInterface::GetInstance()->AddNews(item.type, item.title.c_str(), item.content.c_str(),
                                               item.remindType.c_str(), item.url.c_str(), item.m_class.c_str(),
                                               item.occurTime.c_str());
        netvane.ReleaseResponse(&pszReply);
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
        PollMessages();
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
