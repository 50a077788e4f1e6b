// The options dialog, the message dialog and the installer's download dialog in real windows.
#include "CommandsTestSupport.h"

#include "CComboBox.h"
#include "DlgDownloadProgress.h"
#include "GuiWait.h"
#include "IdleTime.h"
#include "NewsItem.h"
#include "OptionCtrl.h"
#include "TestFiles.h"
#include "resource.h"

namespace
{
std::atomic<int> s_nTicks{0};

BOOL CountingIdleTime(DWORD* pdwIdleMs)
{
    *pdwIdleMs = 0;
    ++s_nTicks;
    return TRUE;
}

// The rich edit's text through a buffer of its own (its length message counts characters).
CString ContentText(CNewsDlg& dlg)
{
    char sz[512] = "";
    ::GetWindowText(::GetDlgItem(dlg.GetSafeHwnd(), IDC_NEWS_CONTENT), sz, sizeof(sz));
    return sz;
}

std::string ShotPath(const char* pszName)
{
    const char* pszDir = getenv("PARVEL_SCREENSHOT_DIR");
    return std::string(pszDir && *pszDir ? pszDir : "/tmp") + "/" + pszName;
}

class DialogsTest : public CFrameTest
{
};

struct OPTION_CASE
{
    WORD wStored;
    int nSelected;        // the combo's selection when the dialog opens (CB_ERR: none)
    int nChoose;          // the item the operator picks before OK (-1: none), or -2 for Cancel
    WORD wSaved;
};

TEST_F(DialogsTest, TheOptionsDialogSelectsTheStoredMinutesAndSavesWhatItReturns)
{
    const OPTION_CASE cases[] = {
        {10, 1, -1, 10},
        {20, CB_ERR, -1, 20},  // no item: nothing selected, and OK keeps the minutes
        {5, 0, -1, 5},         // found although the search starts after the first item
        {15, 2, 3, 30},
        {30, 3, 0, 30},        // Cancel: nothing changes
    };
    bool bShot = false;
    for (const OPTION_CASE& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.wStored));
        const bool bCancel = &c == &cases[4];
        SetMinuteToOff(c.wStored);
        s_nTicks = 0;
        SetIdleTimeSource(&CountingIdleTime);
        int nSelected = -5;
        CString strText;
        int nTicksWhileOpen = -1;
        std::atomic<bool> bDone{false};
        std::thread driver([&] {
            HWND hDlg = FindTopLevel("选项");
            if (!hDlg)
            {
                bDone = true;
                return;
            }
            HWND hCombo = ::GetDlgItem(hDlg, IDC_COMBO_MINUTES);
            OnGui([&] { nSelected = (int)::SendMessage(hCombo, CB_GETCURSEL, 0, 0); });
            if (!bShot)
            {
                // Shown with its pictures drawn before the picture is taken: its pixels have settled.
                WaitOnGui([&] { return ::IsWindowVisible(hDlg) != FALSE; });
                CRect rcDlg;
                OnGui([&] { ::GetWindowRect(hDlg, &rcDlg); });
                std::vector<COLORREF> last;
                PollUntil([&] {
                    std::vector<COLORREF> now = ScreenPixels(rcDlg.left, rcDlg.top, rcDlg.Width(), rcDlg.Height());
                    const bool bSettled = !now.empty() && now == last;
                    last = std::move(now);
                    return bSettled;
                }, 3000, 100);
                bShot = Screenshot(hDlg, ShotPath("options-dialog.png"));
            }
            // While the dialog is up the idle lock does not tick.
            s_nTicks = 0;
            usleep(1500000);
            nTicksWhileOpen = s_nTicks;
            if (c.nChoose >= 0)
                OnGui([&] { ::SendMessage(hCombo, CB_SETCURSEL, (WPARAM)c.nChoose, 0); });
            OnGui([&] {
                char sz[16] = "";
                ::GetWindowText(hCombo, sz, sizeof(sz));
                strText = sz;
            });
            const int nButton = bCancel ? IDCANCEL : IDOK;
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, nButton));
            bDone = true;
        });
        ::PostMessage(m_hFrame, WM_COMMAND, ID_OPTION, 0);
        EXPECT_TRUE(WaitFor([&] { return bDone.load(); }, 30000));
        driver.join();
        EXPECT_EQ(nSelected, c.nSelected);
        EXPECT_EQ(nTicksWhileOpen, 0);
        // The dialog is gone and the idle lock ticks again.
        s_nTicks = 0;
        EXPECT_TRUE(WaitFor([] { return s_nTicks > 0; }, 4000));
        EXPECT_EQ(COptionCtrl::GetOptionData().GetMinuteToOff(), c.wSaved);
        SetIdleTimeSource(nullptr);
    }
    EXPECT_TRUE(bShot);
    EXPECT_TRUE(MessageBoxLines().empty());
}

TEST_F(DialogsTest, ADialogMessageShowsTitleContentAndCaptionAndTheLayoutFollowsTheSize)
{
    CNewsItem item;
    item.title = "停电通知";
    item.content = "本周六网点停电，请提前安排收件。";
    item.remindType = "dialog";
    item.m_class = "a/b/c/";
    EXPECT_EQ(::SendMessage(m_hFrame, WM_SHOWNEWS, 0, (LPARAM)&item), 0);
    CNewsDlg& dlg = m_pFrame->m_dlgNews;
    ASSERT_TRUE(::IsWindow(dlg.GetSafeHwnd()));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(dlg.GetSafeHwnd()) != FALSE; }, 3000));
    CString s;
    dlg.GetWindowText(s);
    EXPECT_STREQ(s, "c");
    dlg.GetDlgItemText(IDC_NEWS_TITLE, s);
    EXPECT_STREQ(s, "停电通知");
    EXPECT_STREQ(ContentText(dlg), "本周六网点停电，请提前安排收件。");
    EXPECT_TRUE(dlg.GetDlgItem(IDC_NEWS_TITLE)->GetStyle() & BS_LEFT);
    // The title's text stands at the left of its line.
    CRect rcTitle;
    dlg.GetDlgItem(IDC_NEWS_TITLE)->GetWindowRect(&rcTitle);
    int nFirstDark = -1;
    EXPECT_TRUE(WaitFor([&] {
        std::vector<COLORREF> px = ScreenPixels(rcTitle.left, rcTitle.top, rcTitle.Width(), rcTitle.Height());
        nFirstDark = -1;
        for (size_t i = 0; i < px.size(); ++i)
            if (GetBValue(px[i]) < 0x80 && GetGValue(px[i]) < 0x80)
            {
                int x = (int)(i % (size_t)rcTitle.Width());
                if (nFirstDark < 0 || x < nFirstDark)
                    nFirstDark = x;
            }
        return nFirstDark > 0 && nFirstDark < rcTitle.Width() / 6;
    }, 3000)) << nFirstDark << " of " << rcTitle.Width();
    Pump(300);
    EXPECT_TRUE(Screenshot(dlg.GetSafeHwnd(), ShotPath("message-dialog.png")));

    // Resized: the close button keeps its distance to the bottom-right corner, the content grows.
    auto place = [&](int nID) {
        CRect rc;
        dlg.GetDlgItem(nID)->GetWindowRect(&rc);
        dlg.ScreenToClient(&rc);
        return rc;
    };
    CRect rcClient;
    dlg.GetClientRect(&rcClient);
    const CRect rcClose = place(IDCANCEL), rcContent = place(IDC_NEWS_CONTENT);
    CRect rcWindow;
    dlg.GetWindowRect(&rcWindow);
    dlg.MoveWindow(rcWindow.left, rcWindow.top, rcWindow.Width() + 120, rcWindow.Height() + 80);
    CRect rcClient2;
    ASSERT_TRUE(WaitFor([&] {
        dlg.GetClientRect(&rcClient2);
        return rcClient2.Width() > rcClient.Width();
    }, 3000));
    const CRect rcClose2 = place(IDCANCEL), rcContent2 = place(IDC_NEWS_CONTENT);
    EXPECT_EQ(rcClient2.right - rcClose2.right, rcClient.right - rcClose.right);
    EXPECT_EQ(rcClient2.bottom - rcClose2.bottom, rcClient.bottom - rcClose.bottom);
    EXPECT_EQ(rcClose2.Size(), rcClose.Size());
    EXPECT_EQ(rcContent2.Width() - rcContent.Width(), rcClient2.Width() - rcClient.Width());
    EXPECT_EQ(rcContent2.Height() - rcContent.Height(), rcClient2.Height() - rcClient.Height());

    // A second message replaces what the dialog shows.
    item.title = "第二条";
    item.content = "新的内容";
    item.m_class = "/x/yy/";
    ::SendMessage(m_hFrame, WM_SHOWNEWS, 0, (LPARAM)&item);
    dlg.GetWindowText(s);
    EXPECT_STREQ(s, "yy");
    dlg.GetDlgItemText(IDC_NEWS_TITLE, s);
    EXPECT_STREQ(s, "第二条");
    EXPECT_STREQ(ContentText(dlg), "新的内容");

    // Closing hides it; the same window, at the size the operator gave it, shows the next message.
    const HWND hDlg = dlg.GetSafeHwnd();
    CRect rcSized;
    dlg.GetWindowRect(&rcSized);
    struct CLOSE
    {
        const char* pszName;
        UINT msg;
        WPARAM wParam;
    } closes[] = {{"close button", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
                  {"system close", WM_SYSCOMMAND, SC_CLOSE},
                  {"window close", WM_CLOSE, 0}};
    for (const CLOSE& c : closes)
    {
        SCOPED_TRACE(c.pszName);
        ::SendMessage(hDlg, c.msg, c.wParam, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(hDlg); }, 3000));
        ASSERT_TRUE(::IsWindow(hDlg));
        ASSERT_EQ(dlg.GetSafeHwnd(), hDlg);
        ::SendMessage(m_hFrame, WM_SHOWNEWS, 0, (LPARAM)&item);
        EXPECT_EQ(dlg.GetSafeHwnd(), hDlg);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(hDlg) != FALSE; }, 3000));
        CRect rcNow;
        dlg.GetWindowRect(&rcNow);
        EXPECT_EQ(rcNow.Size(), rcSized.Size());
    }
}

TEST_F(DialogsTest, TheDownloadDialogShowsThePercentAndClosesItselfAtAHundred)
{
    auto* pDlg = new CDlgDownloadProgress;
    ASSERT_TRUE(pDlg->Create(IDD_DOWNLOAD_PROGRESS, nullptr));
    pDlg->ShowWindow(SW_SHOW);
    pDlg->UpdateWindow();
    HWND hDlg = pDlg->GetSafeHwnd();
    CString s;
    ::SendMessage(hDlg, WM_DOWNLOAD_PROGRESS, 0, 42);
    pDlg->GetDlgItemText(IDC_DOWNLOAD_PERCENT, s);
    EXPECT_STREQ(s, "42%");
    EXPECT_EQ(::SendMessage(::GetDlgItem(hDlg, IDC_DOWNLOAD_PROGRESS), PBM_GETPOS, 0, 0), 42);
    pDlg->GetWindowText(s);
    EXPECT_STREQ(s, "下载任务");
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(hDlg) != FALSE; }, 3000));
    Pump(300);
    EXPECT_TRUE(Screenshot(hDlg, ShotPath("download-dialog.png")));
    ::SendMessage(hDlg, WM_DOWNLOAD_PROGRESS, 0, 100);
    EXPECT_FALSE(::IsWindow(hDlg));
}
}  // namespace
