// The application's download and label-print services.
#pragma once

#include <string>
#include <vector>
#include "CString.h"
#include "Netvane.h"
#include "WinTypes.h"

class CWinApp;

// Caption of the print window that a page-offset print dismisses.
#define PRINT_WINDOW_CAPTION "打印"

// Fetches one file over HTTP into strLocalPath; pfnProgress may be null.
BOOL DownloadFile(const CString& strUrl, const CString& strLocalPath, NETVANE_PROGRESS pfnProgress, void* pContext);

// Prints a label PDF of fWidth x fHeight inches on the default printer through Ghostscript.
// TRUE once Ghostscript was asked to start; FALSE without a default printer.
BOOL PrintPdfFile(CWinApp* pApp, const CString& strPdfPath, float fWidth, float fHeight);

// 8-inch labels print as they are; every other height gets the page offset.
BOOL IsPlainLabelHeight(float fHeight);

// Ghostscript's arguments for one label: geometry in points, the page offset unless the
// height is 8 inches, the PDF written to standard output.
std::vector<std::string> GhostscriptArguments(float fWidth, float fHeight, const CString& strPdfPath);

