// CMainFrame: the waybill query from the search toolbar.
#include <ctime>
#include <memory>
#include <string>
#include "MainFrm.h"
#include "MD5.h"
#include "Netvane.h"
#include "OptionCtrl.h"
#include "Scrivo.h"
#include "resource.h"

#ifndef PARVEL_HOST_QUERY
#define PARVEL_HOST_QUERY "127.0.10.4"
#endif

// The query-token service: built in, not an option.
const char* g_pszQueryTokenUrl = "http://" PARVEL_HOST_QUERY "/kesta/gohh.php";

namespace
{
const char kTooShort[] = "货单长度必须大于等于13个字符!";
}

CMFCToolBarEditBoxButton* CMainFrame::GetFocusedSearchEdit()
{
    HWND hFocus = ::GetFocus();
    if (!hFocus)
        return nullptr;
    for (const auto& row : GetDockRows())
        for (CBasePane* pPane : row)
        {
            auto* pBar = dynamic_cast<CMFCToolBar*>(pPane);
            for (int i = 0; pBar && i < pBar->GetCount(); ++i)
            {
                CMFCToolBarButton* pButton = pBar->GetButton(i);
                if (!pButton || pButton->m_nID != ID_WAYBILL_EDIT)
                    continue;
                auto* pEditButton = dynamic_cast<CMFCToolBarEditBoxButton*>(pButton);
                if (pEditButton && pEditButton->GetEditBox() && pEditButton->GetEditBox()->GetSafeHwnd() == hFocus)
                    return pEditButton;
            }
        }
    return nullptr;
}

void CMainFrame::OnWaybillQueryButton()
{
    CMFCToolBarEditBoxButton* pButton = GetFocusedSearchEdit();
    if (!pButton)
        return;
    char szWaybill[32] = "";
    pButton->GetEditBox()->GetWindowText(szWaybill, (int)sizeof(szWaybill));
    if (strlen(szWaybill) < 13)
    {
        MessageBox(kTooShort, nullptr, MB_OK);
        return;
    }
    QueryWaybill(szWaybill);
}

LRESULT CMainFrame::OnQueryWaybill(WPARAM, LPARAM lParam)
{
    const char* pszWaybill = reinterpret_cast<const char*>(lParam);
    if (!pszWaybill || strlen(pszWaybill) < 13)
    {
        MessageBox(kTooShort, nullptr, MB_OK);
        return 0;
    }
    QueryWaybill(pszWaybill);
    return 1;
}

void CMainFrame::QueryWaybill(LPCSTR lpszWaybill)
{
    // One Netvane for this query, gone on every path.
    auto pNetvane = std::make_unique<CNetvane>();
    const CString strQueryLink = COptionCtrl::GetOptionData().GetQueryLink();
    if (strQueryLink.IsEmpty())
    {
        Scrivo::trace("运单查询链接为空！");
        return;
    }
    char szStamp[16] = "";
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(szStamp, sizeof(szStamp), "%Y%m%d%H%M%S", &local);

    pNetvane->AddParam("act", "geth");
    pNetvane->AddParam("wen", lpszWaybill);
    char* pszReply = nullptr;
    pNetvane->DoGet(g_pszQueryTokenUrl, &pszReply, nullptr, false, false);
    if (!pszReply)
    {
        MessageBox("运单查询系统连接失败，请稍后再试!", nullptr, MB_OK);
        return;
    }
    const std::string strHH = pszReply;
    pNetvane->ReleaseResponse(&pszReply);

    MD5Context md5;
    MD5Init(md5, lpszWaybill);
    const std::string strJmm = MD5HexDigest(md5) + szStamp;

    CString strUrl;
    strUrl.Format("%s?wen=%s&jmm=%s&hh=%s", strQueryLink.GetString(), lpszWaybill, strJmm.c_str(), strHH.c_str());
    // The number may live in the edit's own buffer: it is copied before the edit is emptied.
    const std::string strWaybill = lpszWaybill;
    if (CMFCToolBarEditBoxButton* pButton = GetFocusedSearchEdit())
        pButton->GetEditBox()->SetWindowText("");
    OpenUrlInNewPage(strUrl, "运单查询", "");
    Scrivo::trace("运单查询：%s", strWaybill.c_str());
}
