#include "XPixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
// A TrueColor pixel of the server (0xRRGGBB) as a COLORREF.
COLORREF ColorOf(unsigned long px)
{
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

// Reads the rectangle of the window, or of the root window when xid is 0.
std::vector<COLORREF> Read(unsigned long xid, int x, int y, int cx, int cy)
{
    std::vector<COLORREF> pixels;
    if (cx <= 0 || cy <= 0)
        return pixels;
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
        return pixels;
    Window w = xid ? (Window)xid : DefaultRootWindow(pDisplay);
    if (XImage* pImage = XGetImage(pDisplay, w, x, y, (unsigned)cx, (unsigned)cy, AllPlanes, ZPixmap))
    {
        pixels.reserve((size_t)cx * (size_t)cy);
        for (int j = 0; j < cy; ++j)
            for (int i = 0; i < cx; ++i)
                pixels.push_back(ColorOf(XGetPixel(pImage, i, j)));
        XDestroyImage(pImage);
    }
    XCloseDisplay(pDisplay);
    return pixels;
}

COLORREF ReadOne(unsigned long xid, int x, int y)
{
    std::vector<COLORREF> pixels = Read(xid, x, y, 1, 1);
    return pixels.empty() ? CLR_INVALID : pixels[0];
}
}  // namespace

COLORREF ScreenPixel(int x, int y)
{
    return ReadOne(0, x, y);
}

COLORREF WindowPixel(unsigned long xid, int x, int y)
{
    return xid ? ReadOne(xid, x, y) : CLR_INVALID;
}

std::vector<COLORREF> ScreenPixels(int x, int y, int cx, int cy)
{
    return Read(0, x, y, cx, cy);
}

std::vector<COLORREF> WindowPixels(unsigned long xid, int x, int y, int cx, int cy)
{
    return xid ? Read(xid, x, y, cx, cy) : std::vector<COLORREF>();
}
