// The shell's program starts: ShellExecute and WinExec.
#pragma once

#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

// Results of ShellExecute at or below 32.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Opens a program (the verb "open", or none) with its parameters, detached from the client.
// More than 32 on success; otherwise the Windows error (2 for a program that is not there).
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT nShowCmd);
#define ShellExecute ShellExecuteA

// Runs a command line, detached from the client. More than 31 on success; otherwise the
// Windows error (2 for a program that is not there, 11 for a file that is no program).
UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow);

PARVEL_BASE_END_EXPORTS
