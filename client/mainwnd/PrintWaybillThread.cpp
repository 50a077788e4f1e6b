// The label-print worker and the request that starts it.
#include "PrintWaybillThread.h"

#include <charconv>
#include <cstring>
#include <string>
#include "EncodingUtil.h"
#include "FileFind.h"
#include "KernelObject.h"
#include "MD5.h"
#include "OptionCtrl.h"
#include "Scrivo.h"
#include "Services.h"

namespace
{
// How long a worker waits before it looks again whether the turn is free.
const DWORD kTurnRetryMs = 100;

// A decimal number from the start of the text (blanks skipped, as far as it goes); 0 without digits.
float ReadDecimal(const char* psz)
{
    while (*psz == ' ' || *psz == '\t')
        ++psz;
    std::string number;
    if (*psz == '-')
        number += *psz++;
    else if (*psz == '+')
        ++psz;
    bool bDigits = false;
    while (*psz >= '0' && *psz <= '9')
    {
        number += *psz++;
        bDigits = true;
    }
    if (*psz == '.')
    {
        number += *psz++;
        while (*psz >= '0' && *psz <= '9')
        {
            number += *psz++;
            bDigits = true;
        }
    }
    if (!bDigits)
        return 0.0f;
    if ((*psz == 'e' || *psz == 'E'))
    {
        const char* pExp = psz + 1;
        std::string exponent = "e";
        if (*pExp == '+' || *pExp == '-')
            exponent += *pExp++;
        if (*pExp >= '0' && *pExp <= '9')
        {
            while (*pExp >= '0' && *pExp <= '9')
                exponent += *pExp++;
            number += exponent;
        }
    }
    // from_chars reads "." whatever the locale: GTK takes the desktop's, where it may be ",".
    float fValue = 0.0f;
    std::from_chars(number.data(), number.data() + number.size(), fValue);
    return fValue;
}
}  // namespace

void ParseLabelSize(const char* pszSize, float& fWidth, float& fHeight)
{
    char szSize[9] = "";
    if (pszSize)
        strncpy(szSize, pszSize, 8);
    fWidth = 0.0f;
    fHeight = 0.0f;
    char* p = szSize;
    while (*p == '*')
        ++p;
    if (!*p)
        return;  // no width at all: a 0 x 0 label
    char* pStar = strchr(p, '*');
    if (pStar)
        *pStar = '\0';
    fWidth = ReadDecimal(p);
    if (pStar)
        fHeight = ReadDecimal(pStar + 1);
}

INT_PTR StartLabelPrint(const char* pszOrderNo, const char* pszSize)
{
    CArray<ORDER_PRINT_INFO>& queue = theApp.m_printQueue;
    if (queue.GetSize() > PRINT_QUEUE_LIMIT)
        queue.RemoveAll();

    ORDER_PRINT_INFO info;
    info.strOrderNo = pszOrderNo ? pszOrderNo : "";
    ParseLabelSize(pszSize, info.fWidth, info.fHeight);
    INT_PTR nIndex = queue.Add(info);

    // The worker gets its own copy: the queue may be emptied before the worker's turn comes.
    ORDER_PRINT_INFO* pCopy = new ORDER_PRINT_INFO(info);
    if (!AfxBeginThread(PrintWaybillThreadProc, pCopy, THREAD_PRIORITY_NORMAL))
        delete pCopy;
    return nIndex;
}

CString FormatLabelFileName(const GUID& guid)
{
    CString strName;
    strName.Format("%8X%4X%4X%2X%2X%2X%2X%2X%2X%2X%2X.TMP", (unsigned)guid.Data1, (unsigned)guid.Data2,
                   (unsigned)guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                   guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return strName;
}

CString BuildLabelUrl(const CString& strServiceUrl, const CString& strOrderNo)
{
    std::string strSigned = CStringToStdString(strOrderNo) + LABEL_SIGN_SUFFIX;
    MD5Context context;
    MD5Update(context, strSigned.data(), (unsigned int)strSigned.size());
    return strServiceUrl + strOrderNo + "&jmm=" + MD5HexDigest(context).c_str();
}

BOOL LabelFolderIsPrivate(const CString& strFolder)
{
    // Whoever owns the folder around it could swap the label folder between check and download.
    char szTemp[260] = "";
    if (GetTempPath(sizeof(szTemp), szTemp) >= sizeof(szTemp))
        szTemp[0] = '\0';
    if (szTemp[0] && strFolder.Find(szTemp) == 0 && !CreatePrivateDirectory(szTemp))
        return FALSE;
    return CreatePrivateDirectory(strFolder);
}

UINT PrintWaybillThreadProc(LPVOID pParam)
{
    // The turn: the name exists while one worker holds its handle open.
    HANDLE hTurn = CreateMutex(nullptr, FALSE, PRINT_PDF_MUTEX);
    while (GetLastError() == ERROR_ALREADY_EXISTS)
    {
        CloseHandle(hTurn);
        Sleep(kTurnRetryMs);
        hTurn = CreateMutex(nullptr, FALSE, PRINT_PDF_MUTEX);
    }

    ORDER_PRINT_INFO info;
    if (ORDER_PRINT_INFO* pInfo = (ORDER_PRINT_INFO*)pParam)
    {
        info = *pInfo;
        delete pInfo;
    }
    const CString strOrderNo = info.strOrderNo;

    theApp.ShowWaitDialog("开始下载");
    CString strResult;
    BOOL bSuccess = FALSE;
    HWND hMainWnd = theApp.m_pMainWnd ? theApp.m_pMainWnd->GetSafeHwnd() : nullptr;

    COptionData& options = COptionCtrl::GetOptionData();
    GUID guid = {};
    CoCreateGuid(&guid);
    const CString strPdfPath = options.GetTempPathA() + FormatLabelFileName(guid);

    const DWORD dwStart = GetTickCount();
    Scrivo::trace("开始下载运单：%s", strOrderNo.GetString());
    const CString strUrl = BuildLabelUrl(options.GetMailLabelPdfUrl(), strOrderNo);
    Scrivo::trace("开始下载运单%s, url=%s", strPdfPath.GetString(), strUrl.GetString());
    // A label folder that another user could read or swap gets no label: the print fails.
    if (LabelFolderIsPrivate(options.GetTempPathA()))
        DownloadFile(strUrl, strPdfPath, nullptr, nullptr);
    else
        Scrivo::trace(1, "运单下载目录不是本用户私有的：%s", options.GetTempPathA().GetString());
    Scrivo::trace("下载时间为：%d ms", (int)(GetTickCount() - dwStart));

    CFileFind finder;
    if (!finder.FindFile(strPdfPath))
    {
        Scrivo::trace("下载失败！");
        strResult = PRINT_RESULT_DOWNLOAD_FAILED;
    }
    else
    {
        finder.Close();
        Scrivo::trace("下载成功！");
        Scrivo::trace("开始打印运单：%s", strPdfPath.GetString());
        if (PrintPdfFile(&theApp, strPdfPath, info.fWidth, info.fHeight))
        {
            Scrivo::trace("printPDF 返回成功！");
            Scrivo::trace("打印成功！");
            strResult = PRINT_RESULT_OK;
            bSuccess = TRUE;
        }
        else
        {
            Scrivo::trace(1, "printPDF 返回失败！");
            Scrivo::trace("打印失败！");
            strResult = PRINT_RESULT_PRINT_FAILED;
        }
    }

    ::SendMessage(hMainWnd, WM_PRINT_RESULT, (WPARAM)strOrderNo.GetString(), (LPARAM)strResult.GetString());
    Scrivo::trace("总时间为：%d ms", (int)(GetTickCount() - dwStart));

    if (HWND hWait = theApp.m_waitDlg.GetSafeHwnd())
        ::PostMessage(hWait, WM_CLOSE, 0, 0);
    // Shown while the turn is still held: the next label waits until the operator has read this.
    if (!bSuccess)
        AfxMessageBox(strResult, MB_OK);

    CloseHandle(hTurn);
    return 0;
}
