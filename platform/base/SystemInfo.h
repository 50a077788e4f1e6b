// The running program and its user.
#pragma once

#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

typedef DWORD* LPDWORD;

// The program's full path (/proc/self/exe). Truncated to the buffer with
// ERROR_INSUFFICIENT_BUFFER, as on Windows.
DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
// NULL: the program itself; otherwise a shared library already loaded, by file name. NULL when
// there is no such module.
HMODULE GetModuleHandle(LPCSTR lpModuleName);
#define ERROR_MOD_NOT_FOUND 126L

#define GetUserName GetUserNameA
BOOL GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer);

// The system version as a Windows program asks it: this layer behaves as Windows 7 (6.1), the
// oldest system the program's tray, shell and browser behaviour stands for.
typedef struct _OSVERSIONINFOA
{
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;
#define VER_PLATFORM_WIN32_NT 2
BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);
#define GetVersionEx GetVersionExA

// The folder of the system's own programs ("/usr/bin"); the length of the text, or the size
// needed (terminator included) when the buffer is too small.
UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize);
#define GetSystemDirectory GetSystemDirectoryA

PARVEL_BASE_END_EXPORTS
