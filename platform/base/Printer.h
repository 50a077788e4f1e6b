// The default printer, as CUPS names it, and printing a program's output on a printer.
#pragma once

#include <string>
#include <vector>
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

// On success the name (ANSI text) is in pszBuffer and *pcchBuffer holds its size with the NUL.
// A buffer too small (or none) gives FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed;
// no default printer, or no CUPS scheduler to ask, gives FALSE and ERROR_FILE_NOT_FOUND.
BOOL GetDefaultPrinterA(LPSTR pszBuffer, DWORD* pcchBuffer);
#define GetDefaultPrinter GetDefaultPrinterA

// Starts a program (its name and arguments in ANSI text, found as ShellExecute finds it)
// detached, with its standard output queued on the named printer through CUPS at a page of
// dWidthPoints x dHeightPoints. No shell stands between: the printer's name and every argument
// reach their program as given. ERROR_SUCCESS or the Windows error of the start.
DWORD StartPrintingOutput(const std::vector<std::string>& program, LPCSTR pszPrinter, double dWidthPoints,
                          double dHeightPoints);

PARVEL_BASE_END_EXPORTS
