// The download and label-print services that self-update and the label-print worker use.
#include "Services.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>
#include "AfxWin.h"
#include "KernelObject.h"
#include "OptionCtrl.h"
#include "Printer.h"
#include "Scrivo.h"
#include "X11Window.h"

namespace
{
std::string DefaultPrinterName(bool& bFound)
{
    bFound = false;
    DWORD cch = 0;
    GetDefaultPrinter(nullptr, &cch);
    if (cch == 0)
        return std::string();
    std::vector<char> buffer(cch + 1, '\0');
    DWORD cchBuffer = (DWORD)buffer.size();
    if (!GetDefaultPrinter(buffer.data(), &cchBuffer))
        return std::string();
    bFound = true;
    return std::string(buffer.data());
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    ((std::vector<HWND>*)lParam)->push_back(hWnd);
    return TRUE;
}

// After a page-offset print the print window of the driver may stand open: confirm it. The
// walk goes over the top-level windows in z-order, the last one left out, as one snapshot, so
// windows of other programs that come and go meanwhile do not cut it short.
void DismissPrintWindow(CWinApp* pApp)
{
    HWND hMain = pApp && pApp->m_pMainWnd ? pApp->m_pMainWnd->GetSafeHwnd() : nullptr;
    if (!hMain)
        return;
    std::vector<HWND> windows;
    ::EnumWindows(&CollectWindow, (LPARAM)&windows);
    if (!windows.empty())
        windows.pop_back();
    for (HWND hWnd : windows)
    {
        char szTitle[256] = "";
        ::GetWindowText(hWnd, szTitle, sizeof(szTitle));
        if (strcmp(szTitle, PRINT_WINDOW_CAPTION) == 0)
        {
            ::SendMessage(hWnd, WM_COMMAND, IDOK, 0);
            ::CloseWindow(hWnd);
            break;
        }
    }
}
}  // namespace

BOOL DownloadFile(const CString& strUrl, const CString& strLocalPath, NETVANE_PROGRESS pfnProgress, void* pContext)
{
    CNetvane* pNet = new CNetvane();
    std::string url = strUrl.str();
    std::string localPath = strLocalPath.str();
    BOOL bResult = pNet->DownloadFile_Get(url.c_str(), localPath.c_str(), (void*)pfnProgress, pContext) ? TRUE : FALSE;
    if (!bResult)
        Scrivo::trace("%s下载失败:%s", localPath.c_str(), url.c_str());
    delete pNet;
    return bResult;
}

BOOL IsPlainLabelHeight(float fHeight)
{
    return fabs((double)fHeight - 8.0) < 0.00001;
}

std::vector<std::string> GhostscriptArguments(float fWidth, float fHeight, const CString& strPdfPath)
{
    char szWidth[64], szHeight[64];
    snprintf(szWidth, sizeof(szWidth), "-dDEVICEWIDTHPOINTS=%.0f", fWidth * 72.0f);
    snprintf(szHeight, sizeof(szHeight), "-dDEVICEHEIGHTPOINTS=%.0f", fHeight * 72.0f);
    // The label goes to standard output, which feeds lp; Ghostscript's own messages go to
    // standard error so that nothing but the PDF reaches the queue.
    std::vector<std::string> args = { "-dFIXEDMEDIA", szWidth, szHeight, "-dNoCancel", "-dNOPAUSE", "-dBATCH", "-q",
                                      "-sstdout=%stderr", "-sDEVICE=pdfwrite", "-sOutputFile=-" };
    // The device must know its output before the page-offset code opens it.
    if (!IsPlainLabelHeight(fHeight))
        args.insert(args.end(), { "-c", "<</PageOffset [0 6]>> setpagedevice", "-f" });
    // Ghostscript reads a leading "-", "@" or "%" as a switch, an argument file or a device.
    std::string path = strPdfPath.str();
    if (!path.empty() && path[0] != '/')
        path = "./" + path;
    args.push_back(path);
    return args;
}

BOOL PrintPdfFile(CWinApp* pApp, const CString& strPdfPath, float fWidth, float fHeight)
{
    COptionData& options = COptionCtrl::GetOptionData();
    CString strProgram = options.GetAppPath() + options.GetGhostScriptPath();

    bool bFound = false;
    std::string printer = DefaultPrinterName(bFound);
    if (!bFound)
    {
        AfxMessageBox("无法获取默认打印机信息！");
        return FALSE;
    }

    // No shell parses the printer's name, which CUPS may have learnt from the network.
    std::vector<std::string> gs = GhostscriptArguments(fWidth, fHeight, strPdfPath);
    gs.insert(gs.begin(), strProgram.str());
    StartPrintingOutput(gs, printer.c_str(), fWidth * 72.0f, fHeight * 72.0f);
    if (!IsPlainLabelHeight(fHeight))
    {
        Sleep(500);
        DismissPrintWindow(pApp);
    }
    return TRUE;
}
