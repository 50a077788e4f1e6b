// The screen, the pointer and the bell.
#include <wx/wx.h>
#include <wx/display.h>
#include "WndClass.h"

int GetSystemMetrics(int nIndex)
{
    return CallOnGui<int>([&]() -> int {
        switch (nIndex)
        {
        case SM_CXSCREEN: case SM_CXFULLSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_X);
        case SM_CYSCREEN: case SM_CYFULLSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_Y);
        case SM_CXVIRTUALSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_X);
        case SM_CYVIRTUALSCREEN: return wxSystemSettings::GetMetric(wxSYS_SCREEN_Y);
        case SM_CXVSCROLL: return 16;
        case SM_CYHSCROLL: return 16;
        case SM_CYCAPTION: return 23;
        case SM_CXBORDER: case SM_CYBORDER: return 1;
        case SM_CXICON: case SM_CYICON: return 32;
        case SM_CXSMICON: case SM_CYSMICON: return 16;
        case SM_CXCURSOR: case SM_CYCURSOR: return 32;
        case SM_CYMENU: return 20;
        }
        return 0;
    });
}

BOOL SystemParametersInfo(UINT uiAction, UINT, LPVOID pvParam, UINT)
{
    if (uiAction != SPI_GETWORKAREA || !pvParam)
        return FALSE;
    RECT* prc = (RECT*)pvParam;
    RunOnGui([&] {
        wxRect r = wxDisplay((unsigned)0).GetClientArea();
        prc->left = r.x;
        prc->top = r.y;
        prc->right = r.x + r.width;
        prc->bottom = r.y + r.height;
    });
    return TRUE;
}

BOOL GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint)
        return FALSE;
    RunOnGui([&] {
        wxPoint pt = wxGetMousePosition();
        lpPoint->x = pt.x;
        lpPoint->y = pt.y;
    });
    return TRUE;
}

HWND WindowFromPoint(POINT pt)
{
    return CallOnGui<HWND>([&]() -> HWND {
        wxWindow* w = wxFindWindowAtPoint(wxPoint(pt.x, pt.y));
        return w ? HandleOfWx(w) : nullptr;
    });
}

BOOL MessageBeep(UINT)
{
    RunOnGui([] { wxBell(); }, false);
    return TRUE;
}
