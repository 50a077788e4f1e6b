// The running program and its user.
#pragma once

#include "WinTypes.h"

typedef DWORD* LPDWORD;

// The program's full path (/proc/self/exe). Truncated to the buffer with
// ERROR_INSUFFICIENT_BUFFER, as on Windows.
DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

#define GetUserName GetUserNameA
BOOL GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer);
