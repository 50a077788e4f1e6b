// CMainFrame: the fixed commands, closing, options, message display and the external browser.
#include "MainFrm.h"
#include "CStringArray.h"
#include "DlgDownloadProgress.h"
#include "EncodingUtil.h"
#include "ExternalBrowser.h"
#include "ImportOrderThread.h"
#include "OptionCtrl.h"
#include "OptionDialog.h"
#include "ParvelApp.h"
#include "Scrivo.h"
#include "Shell.h"
#include "SystemInfo.h"
#include "resource.h"

void CMainFrame::OnEmptyCommand() {}

void CMainFrame::OnAutoRun()
{
    COptionCtrl optionCtrl;
    optionCtrl.EnableAutoRun(!optionCtrl.IsAutoRun());
}

void CMainFrame::OnUpdateAutoRun(CCmdUI* pCmdUI)
{
    COptionCtrl optionCtrl;
    pCmdUI->SetCheck(optionCtrl.IsAutoRun() != 0);
}

void CMainFrame::OnClose()
{
    COptionCtrl optionCtrl;
    const COptionData& data = COptionCtrl::GetOptionData();
    if (data.IsFirstRun())
    {
        // Either answer clears the first-run mark, so the question comes once.
        if (MessageBox("是否在后续关闭时最小化到托盘？\n此配置可在【选项】中进行修改！", nullptr,
                       MB_YESNO | MB_ICONQUESTION) == IDYES)
        {
            optionCtrl.EnableMiniSizeAtExit(1);
            ShowWindow(SW_MINIMIZE);
            ShowWindow(SW_HIDE);
        }
        else
        {
            optionCtrl.EnableMiniSizeAtExit(0);
            DestroyWindow();
        }
        return;
    }
    if (data.IsMiniSizeAtExit())
    {
        ShowWindow(SW_MINIMIZE);
        ShowWindow(SW_HIDE);
        return;
    }
    DestroyWindow();
}

void CMainFrame::OnImportOrder()
{
    StartOrderImport();
}

void CMainFrame::OnClearPrintList()
{
    // Only a queue that has grown past 100 waiting prints is dropped.
    if (theApp.m_printQueue.GetSize() > 100)
        theApp.m_printQueue.RemoveAll();
}

void CMainFrame::OnOption()
{
    Scrivo::trace("进入应用选项设置");
    KillTimer(TIMER_IDLE_LOCK);
    COptionCtrl optionCtrl;
    COptionDialog dlg(this);
    dlg.m_bAutoRun = optionCtrl.IsAutoRun();
    dlg.m_bMiniSizeAtExit = COptionCtrl::GetOptionData().IsMiniSizeAtExit();
    dlg.m_nMinutes = COptionCtrl::GetOptionData().GetMinuteToOff();
    if (dlg.DoModal() == IDOK)
    {
        optionCtrl.EnableAutoRun(dlg.m_bAutoRun);
        optionCtrl.EnableMiniSizeAtExit(dlg.m_bMiniSizeAtExit);
        optionCtrl.SetOptionInfo(dlg.m_nMinutes);
        optionCtrl.SaveOptionToFile();
    }
    SetTimer(TIMER_IDLE_LOCK, 1000, nullptr);
}

void CMainFrame::OnInternetOption()
{
    Scrivo::trace("进入Internet选项设置");
    char szSystemDir[260] = "";
    GetSystemDirectoryA(szSystemDir, sizeof(szSystemDir));
    ShellExecuteA(m_hWnd, "open", "control.exe", "inetcpl.cpl", szSystemDir, SW_SHOW);
}

void CMainFrame::OnSwitchAccount()
{
    if (MessageBox("您确定要退出，重新登录吗？", nullptr, MB_YESNO) != IDNO)
        Relogin();
}

void CMainFrame::Relogin()
{
    Scrivo::trace("切换账号");
    // The program's own path, read before the frame goes.
    const CString strProgram = COptionCtrl::GetOptionData().GetAppFullPath();
    DestroyWindow();
    WinExec(strProgram, SW_SHOW);
}

LRESULT CMainFrame::OnShowNews(WPARAM, LPARAM lParam)
{
    const CNewsItem* pItem = reinterpret_cast<const CNewsItem*>(lParam);
    if (!pItem)
        return 0;
    CStringArray parts;
    SplitString(pItem->m_class.c_str(), '/', parts);
    // A path without any part has no caption.
    const CString strCaption = parts.GetSize() > 0 ? parts.GetAt(parts.GetSize() - 1) : CString();
    Scrivo::trace("显示消息：title=%s, type=%s,", pItem->title.c_str(), pItem->remindType.c_str());

    if (!pItem->url.empty() && pItem->remindType == "web" && IsWindowVisible())
    {
        OpenUrlInNewPage(pItem->url.c_str(), strCaption, "");
        return 0;
    }
    if (pItem->remindType == "dialog")
    {
        if (!::IsWindow(m_dlgNews.GetSafeHwnd()))
            m_dlgNews.Create(IDD_NEWS_DIALOG, this);
        m_dlgNews.SetDlgItemText(IDC_NEWS_TITLE, pItem->title.c_str());
        m_dlgNews.SetDlgItemText(IDC_NEWS_CONTENT, pItem->content.c_str());
        m_dlgNews.SetContent(pItem->content.c_str());
        m_dlgNews.SetWindowText(strCaption);
        m_dlgNews.ShowWindow(SW_SHOWNORMAL);
        m_dlgNews.ShowWindow(SW_SHOWNA);
    }
    return 0;
}

void CMainFrame::OnBranch360View()
{
    if (m_hInstallerThread)
    {
        if (WaitForSingleObject(m_hInstallerThread, 1) == WAIT_TIMEOUT)
        {
            ::MessageBoxA(nullptr, "Google-Chrome浏览器安装包正在下载安装中,请耐心等待", "提示", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        CloseHandle(m_hInstallerThread);
        m_hInstallerThread = nullptr;
    }

    const CString strUrl = GetBranchWebLoginUrl();
    char szPath[256] = "";
    if (QueryAppPath("chrome.exe", szPath) || QueryAppPath("UCBrowser.exe", szPath))
    {
        HINSTANCE h = ShellExecuteA(nullptr, "open", szPath, strUrl, nullptr, SW_SHOWNORMAL);
        if ((INT_PTR)h < 32)
            ::MessageBoxA(nullptr, "浏览器启动失败，请稍后再试!", "系统异常", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (GetIEMajorVersion() >= 9)
    {
        ShellExecuteA(nullptr, "open", "iexplore.exe", strUrl, nullptr, SW_SHOWNORMAL);
        return;
    }
    if (::MessageBoxA(nullptr, "您本机尚未安装Google-Chrome浏览器，下载安装需要一段时间,确定安装吗?", "提示",
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
    {
        ::MessageBoxA(nullptr, "请手动安装Google-Chrome浏览器再执行此项操作", "提示", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    auto* pDlg = new CDlgDownloadProgress;
    if (!pDlg->Create(IDD_DOWNLOAD_PROGRESS, nullptr))
    {
        delete pDlg;
        return;
    }
    pDlg->ShowWindow(SW_SHOW);
    pDlg->UpdateWindow();
    m_hInstallerThread = CreateThread(nullptr, 0, &ChromeInstallThreadProc, pDlg, 0, nullptr);
}
