// The application's download and label-print services.
#pragma once

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

// The Ghostscript parameters for one label: geometry in points, the page offset unless the
// height is 8 inches, output piped into the printer's queue.
CString FormatGhostscriptParameters(float fWidth, float fHeight, const CString& strPrinter, const CString& strPdfPath);
