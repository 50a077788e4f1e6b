// The download and label-print services that self-update and the label-print worker use.
#include "Services.h"

#include <cmath>
#include <string>
#include <vector>
#include "AfxWin.h"
#include "KernelObject.h"
#include "OptionCtrl.h"
#include "Printer.h"
#include "Scrivo.h"
#include "Shell.h"
#include "X11Window.h"

namespace
{
// Ghostscript's geometry and page offset as the label printers need them; the output goes
// through CUPS, sized to the label so the queue does not fit it onto its default paper.
const char kPlainTemplate[] =
    "-dFIXEDMEDIA -dDEVICEWIDTHPOINTS=%.0f -dDEVICEHEIGHTPOINTS=%.0f  -dNoCancel -dNOPAUSE -dBATCH -q  "
    "-sDEVICE=pdfwrite  -sOutputFile=\"%s\" \"%s\"";
// The device must know its output file before the page-offset code opens it.
const char kOffsetTemplate[] =
    "-dFIXEDMEDIA -dDEVICEWIDTHPOINTS=%.0f -dDEVICEHEIGHTPOINTS=%.0f  -dNoCancel -dNOPAUSE -dBATCH -q  "
    "-sDEVICE=pdfwrite  -sOutputFile=\"%s\" -c \"<</PageOffset [0 6]>> setpagedevice\" -f \"%s\"";

bool IsLeadByte(unsigned char ch)
{
    return ch >= 0x81 && ch != 0xFF;
}

// Text to stand between double quotes of a Windows command line, so that the program gets it
// back byte for byte: quotes escaped, backslashes before a quote (or the closing one) doubled.
std::string EscapeInsideQuotes(const std::string& s)
{
    std::string out;
    size_t nBackslashes = 0;
    for (size_t i = 0; i < s.size(); ++i)
    {
        unsigned char ch = (unsigned char)s[i];
        if (IsLeadByte(ch) && i + 1 < s.size())
        {
            out.append(nBackslashes, '\\');
            nBackslashes = 0;
            out += s[i];
            out += s[++i];
        }
        else if (ch == '\\')
            ++nBackslashes;
        else if (ch == '"')
        {
            out.append(nBackslashes * 2, '\\');
            nBackslashes = 0;
            out += "\\\"";
        }
        else
        {
            out.append(nBackslashes, '\\');
            nBackslashes = 0;
            out += s[i];
        }
    }
    out.append(nBackslashes * 2, '\\');
    return out;
}

// The printer name inside double quotes of the shell that runs the pipe: nothing in it may
// expand or end the quotes. Ghostscript reads "%" in the output name as a format, so "%%".
std::string ShellDoubleQuoted(const std::string& s)
{
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i)
    {
        unsigned char ch = (unsigned char)s[i];
        if (IsLeadByte(ch) && i + 1 < s.size())
        {
            out += s[i];
            out += s[++i];
        }
        else if (ch == '"' || ch == '\\' || ch == '$' || ch == '`')
        {
            out += '\\';
            out += s[i];
        }
        else if (ch == '%')
            out += "%%";
        else
            out += s[i];
    }
    return out + "\"";
}

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

CString FormatGhostscriptParameters(float fWidth, float fHeight, const CString& strPrinter, const CString& strPdfPath)
{
    double dWidth = fWidth * 72.0f;
    double dHeight = fHeight * 72.0f;
    CString strPipe;
    strPipe.Format("%%pipe%%lp -d %s -o media=Custom.%.0fx%.0f", ShellDoubleQuoted(strPrinter.str()).c_str(), dWidth,
                   dHeight);
    CString strParameters;
    strParameters.Format(IsPlainLabelHeight(fHeight) ? kPlainTemplate : kOffsetTemplate, dWidth, dHeight,
                         EscapeInsideQuotes(strPipe.str()).c_str(), EscapeInsideQuotes(strPdfPath.str()).c_str());
    return strParameters;
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

    CString strParameters = FormatGhostscriptParameters(fWidth, fHeight, printer, strPdfPath);
    ShellExecute(nullptr, nullptr, strProgram, strParameters, nullptr, SW_HIDE);
    if (!IsPlainLabelHeight(fHeight))
    {
        Sleep(500);
        DismissPrintWindow(pApp);
    }
    return TRUE;
}
