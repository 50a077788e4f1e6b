// The order-import worker and its starter.
#include "ImportOrderThread.h"

#include <cstdlib>
#include "Base64.h"
#include "CFileDialog.h"
#include "EncodingUtil.h"
#include "Mapform.h"
#include "Scrivo.h"
#include "URLEncode.h"

namespace
{
HWND MainWindowHandle()
{
    return theApp.m_pMainWnd ? theApp.m_pMainWnd->GetSafeHwnd() : nullptr;
}

// Every way out of an import: the progress timer stops and, last, the flag is cleared.
UINT EndImport(HWND hMainWnd, UINT nExitCode)
{
    ::KillTimer(hMainWnd, TIMER_IMPORT_PROGRESS);
    theApp.m_bImporting = 0;
    return nExitCode;
}

void CloseWaitDialog()
{
    if (HWND hWait = theApp.m_waitDlg.GetSafeHwnd())
        ::PostMessage(hWait, WM_CLOSE, 0, 0);
}
}  // namespace

BOOL StartOrderImport()
{
    if (theApp.m_bImporting)
    {
        AfxMessageBox(IMPORT_RUNNING_TEXT, MB_OK);
        return FALSE;
    }
    theApp.m_bImporting = 1;
    if (!AfxBeginThread(ImportOrderThreadProc, nullptr, THREAD_PRIORITY_NORMAL))
    {
        theApp.m_bImporting = 0;
        return FALSE;
    }
    return TRUE;
}

CString PackImportData(const char* pszOrderText)
{
    CString strData = pszOrderText ? pszOrderText : "";
    Utf8ToAnsi(strData);
    strData = CBase64().Base64Encode(strData);
    return CString(CURLEncode().UrlEncode(strData.GetString()).c_str());
}

UINT ImportOrderThreadProc(LPVOID)
{
    HWND hMainWnd = MainWindowHandle();
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, IMPORT_FILE_FILTER, nullptr, 0,
                    TRUE);
    // A dialog that could not be shown chose no file either.
    if (dlg.DoModal() != IDOK)
        return EndImport(hMainWnd, 1);

    ::SetTimer(hMainWnd, TIMER_IMPORT_PROGRESS, 200, nullptr);
    theApp.ShowWaitDialog("数据解析中");
    const CString strPath = dlg.GetPathName();
    Scrivo::trace("导入订单：%s", strPath.GetString());

    char* pszText = nullptr;
    if (!MF_ParseOrderInExcel(strPath.GetString(), &pszText))
    {
        // Nothing follows that would close the wait dialog: close it here, or it would stand
        // over the main window, which it keeps disabled, until some later print closes it.
        CloseWaitDialog();
        return EndImport(hMainWnd, 1);
    }
    CString strText = pszText ? pszText : "";
    free(pszText);

    CString strData = PackImportData(strText.GetString());
    theApp.ShowWaitDialog("数据上传中");
    theApp.m_strImportData = strData;
    ::SendMessage(hMainWnd, WM_IMPORT_DONE, 0, 0);

    // The payload goes before the flag: once the flag is clear a new import may fill it.
    theApp.m_strImportData.Empty();
    EndImport(hMainWnd, 0);
    CloseWaitDialog();
    return 0;
}
