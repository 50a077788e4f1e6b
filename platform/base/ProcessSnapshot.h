// Process snapshots over /proc.
#pragma once

#include "KernelObject.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

#define TH32CS_SNAPPROCESS 0x00000002u

#ifndef ERROR_NO_MORE_FILES
#define ERROR_NO_MORE_FILES 18L
#endif

typedef struct tagPROCESSENTRY32
{
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ProcessID;
    ULONG_PTR th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    CHAR szExeFile[MAX_PATH]; // file name of the program, ANSI text
} PROCESSENTRY32, *LPPROCESSENTRY32;

// A handle (CloseHandle) to the processes running when it was taken; INVALID_HANDLE_VALUE
// on failure, as on Windows.
HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);

PARVEL_BASE_END_EXPORTS
