// The time of the user's last input, from the X server's idle counter (XScreenSaver).
#pragma once

#include "WinTypes.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

typedef struct tagLASTINPUTINFO
{
    UINT cbSize;
    DWORD dwTime;  // GetTickCount() at the last input
} LASTINPUTINFO, *PLASTINPUTINFO;

// dwTime = GetTickCount() minus the milliseconds since the last keyboard or pointer input on the
// display. FALSE when cbSize is wrong or the server has no idle counter.
BOOL GetLastInputInfo(PLASTINPUTINFO plii);

// Where the idle milliseconds come from: the X server by default; a program may put another
// source in (NULL restores the server's). The source gives FALSE when it has no answer.
typedef BOOL (*IDLETIMESOURCE)(DWORD* pdwIdleMs);
void SetIdleTimeSource(IDLETIMESOURCE pfnSource);

PARVEL_UI_END_EXPORTS
