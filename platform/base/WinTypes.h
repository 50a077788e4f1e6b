// Basic types and constants of the platform layer, under the names the client's code uses.
#pragma once

#include <cstdint>
#include <cstddef>
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

// Calling conventions of the declarations: one convention here.
#ifndef WINAPI
#define WINAPI
#endif
#ifndef CALLBACK
#define CALLBACK
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef int INT;
typedef char CHAR;
typedef char TCHAR;
typedef wchar_t WCHAR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef BYTE* LPBYTE;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* HANDLE;
typedef DWORD COLORREF;
typedef long HRESULT;

// Opaque handles. The windowing layer gives HWND and the GDI handles their meaning;
// the base layer only passes them through.
#define PARVEL_DECLARE_HANDLE(name) struct name##__; typedef struct name##__* name
PARVEL_DECLARE_HANDLE(HWND);
PARVEL_DECLARE_HANDLE(HINSTANCE);
PARVEL_DECLARE_HANDLE(HICON);
PARVEL_DECLARE_HANDLE(HBITMAP);
PARVEL_DECLARE_HANDLE(HFONT);
PARVEL_DECLARE_HANDLE(HDC);
PARVEL_DECLARE_HANDLE(HBRUSH);
PARVEL_DECLARE_HANDLE(HRGN);
PARVEL_DECLARE_HANDLE(HPEN);
PARVEL_DECLARE_HANDLE(HGDIOBJ);
PARVEL_DECLARE_HANDLE(HMENU);
PARVEL_DECLARE_HANDLE(HCURSOR);
PARVEL_DECLARE_HANDLE(HKEY);
typedef HINSTANCE HMODULE;
typedef HANDLE HGLOBAL;

// Plain geometry records shared by the windowing and drawing layers (CRect/CPoint/CSize build on them).
typedef struct tagRECT { LONG left; LONG top; LONG right; LONG bottom; } RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;
typedef struct tagPOINT { LONG x; LONG y; } POINT, *PPOINT, *LPPOINT;
typedef struct tagSIZE { LONG cx; LONG cy; } SIZE, *PSIZE, *LPSIZE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define MAX_PATH 260
#define INFINITE 0xFFFFFFFFu
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

#define MAKEWORD(a, b) ((WORD)(((BYTE)((a)&0xff)) | ((WORD)((BYTE)((b)&0xff))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)((a)&0xffff)) | ((DWORD)((WORD)((b)&0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD)(l)&0xffff))
#define HIWORD(l) ((WORD)(((DWORD)(l) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)((w)&0xff))
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))

// Show commands, for windows and for started programs.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

// Last-error codes the client tests.
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_BAD_FORMAT 11L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_BAD_EXE_FORMAT 193L
#define ERROR_MORE_DATA 234L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L

DWORD GetLastError();
void SetLastError(DWORD code);

PARVEL_BASE_END_EXPORTS
