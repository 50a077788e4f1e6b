// Icons in the desktop's notification area (Shell_NotifyIcon): each icon is a small XEmbed window
// docked into the system tray (the owner of _NET_SYSTEM_TRAY_S<screen>). Mouse input on it is
// posted to the icon's window as its callback message (wParam the icon id, lParam WM_LBUTTONUP,
// WM_RBUTTONDOWN, ...). The tip shows as the icon's tooltip and is also the icon window's name.
#pragma once

#include "WinUser.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004
#define NIF_STATE 0x00000008
#define NIF_INFO 0x00000010

struct NOTIFYICONDATAA
{
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    UINT uTimeout;
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    unsigned char guidItem[16];
    HICON hBalloonIcon;
};
typedef NOTIFYICONDATAA* PNOTIFYICONDATAA;

// TRUE when the icon was added, changed or removed; adding fails when no tray takes icons.
BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData);
#define Shell_NotifyIcon Shell_NotifyIconA

// The X11 window of a shown icon (0 when it is not shown), for the tray's own checks and tests.
unsigned long AfxGetTrayIconX11Window(HWND hWnd, UINT uID);

PARVEL_UI_END_EXPORTS
