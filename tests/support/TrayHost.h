// A notification area for the tests' tray icons: under a bare X server `trayer` plays the host.
// Include after gtest (Xlib's macros).
#pragma once

#include <csignal>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>

// The tests' own connection to the display.
inline Display* TestXDisplay()
{
    static Display* s_dpy = XOpenDisplay(nullptr);
    return s_dpy;
}

// The window that owns the screen's system-tray selection, 0 when no tray runs.
inline Window TrayOwner()
{
    Display* dpy = TestXDisplay();
    std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(dpy));
    return XGetSelectionOwner(dpy, XInternAtom(dpy, name.c_str(), False));
}

// A window's _NET_WM_NAME (UTF-8), "" when it has none.
inline std::string WindowNameUtf8(Window w)
{
    Display* dpy = TestXDisplay();
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    std::string s;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(dpy, "UTF8_STRING", False), &type, &format, &n, &after, &data) == Success && data)
        s.assign((const char*)data, n);
    if (data)
        XFree(data);
    return s;
}

// Starts trayer when no tray runs; Stop ends the one it started.
class CTrayHost
{
public:
    void Start()
    {
        if (TrayOwner())
            return;
        m_pid = fork();
        if (m_pid == 0)
        {
            execlp("trayer", "trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width",
                   "100", "--height", "24", (char*)nullptr);
            _exit(127);
        }
    }
    void Stop()
    {
        if (m_pid > 0)
            kill(m_pid, SIGTERM);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};
