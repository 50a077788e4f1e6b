// Top-level windows across processes, over X11: window properties, the window walk, placement,
// and the calls that reach another process's window.
//
// Properties are X11 properties of the top-level window (the atom is the name in UTF-8, the value
// a 32-bit CARDINAL), so other processes see them. EnumWindows and GetWindow walk the X server's
// top-level windows, ours and other processes', top of the stacking order first: the window
// manager's client list when there is one, plus every root child (the client inside a manager's
// frame), so hidden and withdrawn windows are found too.
//
// Calls to a window of another process (AfxIsForeignWindow) travel as X11 client messages; the
// owning process turns them into calls on its own window on its GUI thread (X11InstallMessageFilter).
// Only integer parameters cross; SendMessage to such a window is delivered like a posted message.
#pragma once

#include "WinUser.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

// GetWindow commands.
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

BOOL SetProp(HWND hWnd, LPCSTR lpString, HANDLE hData);  // top-level windows
HANDLE GetProp(HWND hWnd, LPCSTR lpString);
HANDLE RemoveProp(HWND hWnd, LPCSTR lpString);

BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam);
HWND GetWindow(HWND hWnd, UINT uCmd);  // z-order among the top-level windows
HWND FindWindow(LPCSTR lpClassName, LPCSTR lpWindowName);  // by WM_CLASS and title; either may be NULL

// showCmd: SW_SHOWMINIMIZED when iconic, SW_SHOWMAXIMIZED when maximised, else SW_SHOWNORMAL.
BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl);
// Minimises the window (ours or another process's).
BOOL CloseWindow(HWND hWnd);

// The windowing layer's calls send a foreign handle here.
// WM_GETTEXT and WM_GETTEXTLENGTH are answered from the window's title; others are posted (result 0).
LRESULT X11SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL X11PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL X11ShowWindow(HWND hWnd, int nCmdShow);
BOOL X11SetForegroundWindow(HWND hWnd);
int X11GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount);  // _NET_WM_NAME or WM_NAME, as GBK
BOOL X11IsWindow(HWND hWnd);  // the X11 window still exists

// The receiving side, on the GUI thread once GTK runs: a posted message becomes PostMessage to our
// window, a show request ShowWindow, an activation SetForegroundWindow. SetProp on one of our
// windows installs it too, so a window that others can find can also be reached.
void X11InstallMessageFilter();

// Without a window manager nobody records that a window is iconic: the windowing layer calls this
// when it minimises or restores one of our top-level windows, so other processes read the state.
void X11SetIconicState(HWND hWnd, BOOL bIconic);
// TRUE when a window manager runs on the display (it then keeps iconic and maximised states).
BOOL X11WindowManagerRuns();

PARVEL_UI_END_EXPORTS
