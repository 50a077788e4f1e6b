#include "NewsGuiTestUtil.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>

COLORREF ScreenPixel(int x, int y)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) return CLR_INVALID;
    COLORREF c = CLR_INVALID;
    XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (img) {
        unsigned long px = XGetPixel(img, 0, 0);
        c = RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
        XDestroyImage(img);
    }
    XCloseDisplay(d);
    return c;
}

void SaveScreenshot(const char* name)
{
    const char* dir = getenv("PARVEL_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    std::string cmd = std::string("timeout 10 import -window root '") + dir + "/" + name + ".png' >/dev/null 2>&1";
    if (system(cmd.c_str()) != 0) fprintf(stderr, "screenshot %s failed\n", name);
}
