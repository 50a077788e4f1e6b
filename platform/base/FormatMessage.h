// FormatMessage for the system's own message table: the texts of the automation result codes
// the browser layer returns. Codes without a text give 0 (no text), as unknown codes do on Windows.
#pragma once

#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define LANG_NEUTRAL 0x00
#define SUBLANG_SYS_DEFAULT 0x02
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))

// With FORMAT_MESSAGE_ALLOCATE_BUFFER, lpBuffer receives a char* to free with LocalFree.
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                     DWORD nSize, void* Arguments);
#define FormatMessage FormatMessageA
HANDLE LocalFree(HANDLE hMem);

PARVEL_BASE_END_EXPORTS
