#include "WindowManagerClose.h"

#include <X11/Xlib.h>

void AskToClose(unsigned long window)
{
    // A connection of its own: the caller's thread may not be the one that owns the toolkit's.
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &event);
    XCloseDisplay(d);
}
