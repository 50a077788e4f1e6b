// The default printer, as CUPS names it.
#pragma once

#include "WinTypes.h"

// On success the name (ANSI text) is in pszBuffer and *pcchBuffer holds its size with the NUL.
// A buffer too small (or none) gives FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed;
// no default printer, or no CUPS scheduler to ask, gives FALSE and ERROR_FILE_NOT_FOUND.
BOOL GetDefaultPrinterA(LPSTR pszBuffer, DWORD* pcchBuffer);
#define GetDefaultPrinter GetDefaultPrinterA
