// GetLastInputInfo over XScreenSaverQueryInfo on GDK's display.
#include "IdleTime.h"

#include <atomic>
#include <gdk/gdkx.h>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include "KernelObject.h"

namespace
{
BOOL ServerIdleTime(DWORD* pdwIdleMs)
{
    GdkDisplay* d = gdk_display_get_default();
    if (!d || !GDK_IS_X11_DISPLAY(d))
        return FALSE;
    Display* dpy = GDK_DISPLAY_XDISPLAY(d);
    int nEvent = 0, nError = 0;
    if (!XScreenSaverQueryExtension(dpy, &nEvent, &nError))
        return FALSE;
    XScreenSaverInfo* pInfo = XScreenSaverAllocInfo();
    if (!pInfo)
        return FALSE;
    BOOL bOk = XScreenSaverQueryInfo(dpy, DefaultRootWindow(dpy), pInfo) != 0;
    if (bOk)
        *pdwIdleMs = (DWORD)pInfo->idle;
    XFree(pInfo);
    return bOk;
}

std::atomic<IDLETIMESOURCE> g_source{&ServerIdleTime};
}  // namespace

BOOL GetLastInputInfo(PLASTINPUTINFO plii)
{
    if (!plii || plii->cbSize != sizeof(LASTINPUTINFO))
        return FALSE;
    DWORD dwIdle = 0;
    if (!g_source.load()(&dwIdle))
        return FALSE;
    // Unsigned, as the tick count: a last input before the count wrapped stays in the past.
    plii->dwTime = GetTickCount() - dwIdle;
    return TRUE;
}

void SetIdleTimeSource(IDLETIMESOURCE pfnSource)
{
    g_source.store(pfnSource ? pfnSource : &ServerIdleTime);
}
