// Messages by handle: sent, registered, and the default procedure's entry points.
#include <wx/wx.h>
#include <mutex>
#include "WndClass.h"
#include "X11Window.h"

LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    RUN_WHOLE_ON_GUI(SendMessage(hWnd, msg, wParam, lParam));
    WndRecord* pRec = LiveRec(hWnd);
    if (!pRec)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (pRec->bForeign)
        return X11SendMessage(hWnd, msg, wParam, lParam);
    return DispatchToWindow(hWnd, msg, wParam, lParam);
}

UINT RegisterWindowMessage(LPCSTR lpString)
{
    static std::mutex s_lock;
    static std::map<std::string, UINT> s_msgs;
    if (!lpString || !*lpString)
        return 0;
    std::lock_guard<std::mutex> guard(s_lock);
    auto it = s_msgs.find(lpString);
    if (it != s_msgs.end())
        return it->second;
    UINT id = 0xC000 + (UINT)s_msgs.size();
    s_msgs[lpString] = id;
    return id;
}

LRESULT DefWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = 0;
    RunOnGui([&] { r = DefaultWindowProc(hWnd, msg, wParam, lParam); });
    return r;
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, msg, wParam, lParam) : DefWindowProc(hWnd, msg, wParam, lParam);
}
