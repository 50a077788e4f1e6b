#include "ParvelDoc.h"

#include "MainFrm.h"
#include "OptionCtrl.h"
#include "ParvelView.h"

int g_nOpenPages = 0;
bool g_bFirstNavigation = true;

IMPLEMENT_DYNCREATE(CParvelDoc, CDocument)

CParvelDoc::CParvelDoc() {}

CParvelDoc::~CParvelDoc() {}

BOOL CParvelDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    ++g_nOpenPages;
    return TRUE;
}

void CParvelDoc::OnCloseDocument()
{
    if (g_nOpenPages == 1)
    {
        CWnd* pMainWnd = AfxGetMainWnd();
        POSITION pos = GetFirstViewPosition();
        auto* pView = dynamic_cast<CParvelView*>(GetNextView(pos));
        if (pMainWnd && pMainWnd->GetSafeHwnd() && pMainWnd->IsWindowVisible())
        {
            auto* pFrame = dynamic_cast<CMainFrame*>(pMainWnd);
            if (!pFrame || !pFrame->m_bMenuLoaded || !pView)
                return;
            pView->Navigate2(COptionCtrl::GetOptionData().GetHomePageUrl());
            g_bFirstNavigation = false;
            return;
        }
        if (pView)
        {
            g_bFirstNavigation = false;
            // The tab closes itself again once the logout has reached the server.
            if (pView->SignOff())
                return;
        }
    }
    --g_nOpenPages;
    CDocument::OnCloseDocument();
}
