// CMainFrame: what the label-print and order-import workers report. Both come by SendMessage
// from the worker's thread and are answered here, on the GUI thread, while the worker waits.
#include <string>
#include "MainFrm.h"
#include "ImportOrderThread.h"
#include "MD5.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "PrintWaybillThread.h"
#include "URLEncode.h"
#if __has_include("ParvelView.h")
#include "ParvelView.h"
#endif

namespace
{
const char* const kPrintCompleteFunction = "print_complete";
const char* const kImportPageTitle = "运单导入";
const char* const kImportDoneText = "运单导入完毕！";
}  // namespace

LRESULT CMainFrame::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINT_RESULT)
    {
        const CString strOrderNo = wParam ? (LPCSTR)wParam : "";
        const CString strResult = lParam ? (LPCSTR)lParam : "";
        const char* pszSuccess = strResult == PRINT_RESULT_OK ? "TRUE" : "FALSE";
#if __has_include("ParvelView.h")
        // The page told is the one in front now, not necessarily the one that asked.
        CMDIChildWndEx* pChild = MDIGetActive();
        CView* pView = pChild ? pChild->GetActiveView() : nullptr;
        // A page that cannot run script now gets the result once it can.
        if (pView && pView->IsKindOf(RUNTIME_CLASS(CHtmlView)))
            ((CParvelView*)pView)->DeliverPageScript(kPrintCompleteFunction, strOrderNo, strResult, pszSuccess);
#else
        (void)pszSuccess;
#endif
    }
    else if (message == WM_IMPORT_DONE)
    {
        const CString& strData = theApp.m_strImportData;
        if (!strData.IsEmpty())
        {
            COptionData& options = COptionCtrl::GetOptionData();
            MD5Context context;
            MD5Init(context, strData.str());
            const std::string strValidation = CURLEncode().UrlEncode(MD5HexDigest(context).c_str());
            CString strUrl;
            strUrl.Format("%s?sid=%s&version=1.0&type=json&validation=%s", options.GetMailImportUrl().GetString(),
                          options.GetSessionId().GetString(), strValidation.c_str());
            // The payload is URL-encoded already: it goes into the body as it is.
            OpenUrlInNewPage(strUrl, kImportPageTitle, "data=" + strData);
        }
        // The worker stops the dots only once this returns: a tick in between would write its
        // dots over the done text.
        KillTimer(TIMER_IMPORT_PROGRESS);
        m_wndStatusBar.SetPaneText(2, kImportDoneText, TRUE);
    }
    return CMDIFrameWndEx::DefWindowProc(message, wParam, lParam);
}
