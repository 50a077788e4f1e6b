// SHGetFileInfo: the shell's icon of a file. The program's own executable has the program's icon
// (its first icon resource); other files have none here.
#pragma once

#include "WinUser.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define SHGFI_LARGEICON 0x000000000
#define SHGFI_SMALLICON 0x000000001
#define SHGFI_ICON 0x000000100

typedef struct _SHFILEINFOA
{
    HICON hIcon;
    int iIcon;
    DWORD dwAttributes;
    CHAR szDisplayName[260];
    CHAR szTypeName[80];
} SHFILEINFO, SHFILEINFOA;

// Non-zero on success; the icon (SHGFI_ICON) is the caller's to destroy.
PARVEL_UI_API DWORD_PTR SHGetFileInfo(LPCSTR pszPath, DWORD dwFileAttributes, SHFILEINFO* psfi, UINT cbFileInfo,
                                      UINT uFlags);

PARVEL_UI_END_EXPORTS
