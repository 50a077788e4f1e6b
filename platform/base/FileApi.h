// File calls under their Windows names, on POSIX paths (GBK text, UTF-8 on disk). The hidden
// attribute is the folder's ".hidden" list, which Linux file managers honour.
#pragma once

#include "WinTypes.h"
#include "KernelObject.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define _MAX_DRIVE 3
#define _MAX_DIR 260
#define _MAX_FNAME 256
#define _MAX_EXT 256

#ifndef ERROR_NO_MORE_FILES
#define ERROR_NO_MORE_FILES 18L
#endif

typedef struct _FILETIME
{
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef struct _WIN32_FIND_DATA
{
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATA, *PWIN32_FIND_DATA, *LPWIN32_FIND_DATA;

DWORD GetFileAttributes(LPCSTR lpFileName);
BOOL SetFileAttributes(LPCSTR lpFileName, DWORD dwFileAttributes);
BOOL CreateDirectory(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
// A folder that only this user can reach: made (0700) when missing, group and other rights taken
// from one of the user's own. FALSE, with ERROR_ACCESS_DENIED, for a symbolic link, something
// that is not a folder, or a folder of another user.
BOOL CreatePrivateDirectory(LPCSTR lpPathName);
BOOL DeleteFile(LPCSTR lpFileName);
BOOL PathFileExists(LPCSTR pszPath);

// "*" and "?" patterns ("*.*" is every name); a path ending in "/" finds that folder itself.
HANDLE FindFirstFile(LPCSTR lpFileName, LPWIN32_FIND_DATA lpFindFileData);
BOOL FindNextFile(HANDLE hFindFile, LPWIN32_FIND_DATA lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// The user's own temporary folder with a trailing "/": $XDG_RUNTIME_DIR, else "parvel-<uid>" in
// $TMPDIR or /tmp (shared by every user: make it with CreatePrivateDirectory before use).
#define GetTempPath GetTempPathA
DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);

// The drive is always ""; the folder keeps its trailing "/"; the extension keeps its ".".
// A buffer too small for its part empties every part and gives ERANGE.
int _splitpath_s(const char* path, char* drive, size_t driveNumberOfElements, char* dir, size_t dirNumberOfElements,
                 char* fname, size_t nameNumberOfElements, char* ext, size_t extNumberOfElements);
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);

PARVEL_BASE_END_EXPORTS
