#include "StartupX11.h"

#include <unistd.h>
#include <vector>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace
{
// The mark's property is named with the application title, in UTF-8 as every process sees it.
const char* const kMarkName = (const char*)u8"Velkor速递网点客户端";
const unsigned long kMarkValue = 0x1111;

// Windows of the program come and go while the tests look at them: a vanished one is no error.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

Display* TheDisplay()
{
    static Display* s_pDisplay = [] {
        XSetErrorHandler(&IgnoreXError);
        return XOpenDisplay(nullptr);
    }();
    return s_pDisplay;
}

bool CardinalProperty(Display* d, Window w, const char* pszName, unsigned long& value)
{
    Atom atom = XInternAtom(d, pszName, True);
    if (atom == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long nItems = 0, nAfter = 0;
    unsigned char* pData = nullptr;
    if (XGetWindowProperty(d, w, atom, 0, 1, False, AnyPropertyType, &type, &format, &nItems, &nAfter, &pData) !=
            Success ||
        !pData)
        return false;
    bool bOk = nItems == 1 && format == 32;
    if (bOk)
        value = *(unsigned long*)pData;
    XFree(pData);
    return bOk;
}

void TopLevels(Display* d, std::vector<Window>& out)
{
    Window root = 0, parent = 0;
    Window* pChildren = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &pChildren, &n))
    {
        out.assign(pChildren, pChildren + n);
        XFree(pChildren);
    }
}

bool IsDescendant(Display* d, Window w, Window ancestor)
{
    while (w && w != DefaultRootWindow(d))
    {
        if (w == ancestor)
            return true;
        Window root = 0, parent = 0;
        Window* pChildren = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d, w, &root, &parent, &pChildren, &n))
            return false;
        if (pChildren)
            XFree(pChildren);
        w = parent;
    }
    return false;
}
}  // namespace

unsigned long FindMarkedWindow(pid_t pid, unsigned long exclude)
{
    Display* d = TheDisplay();
    if (!d)
        return 0;
    std::vector<Window> windows;
    TopLevels(d, windows);
    for (Window w : windows)
    {
        unsigned long mark = 0, owner = 0;
        if (w != exclude && CardinalProperty(d, w, kMarkName, mark) && mark == kMarkValue &&
            CardinalProperty(d, w, "_NET_WM_PID", owner) && (pid_t)owner == pid && IsWindowViewable(w))
            return w;
    }
    return 0;
}

unsigned long WaitForMarkedWindow(pid_t pid, int nSeconds)
{
    unsigned long found = 0;
    PollUntil([&] { return (found = FindMarkedWindow(pid)) != 0; }, (unsigned)nSeconds * 1000, 50);
    return found;
}

bool IsWindowViewable(unsigned long window)
{
    XWindowAttributes attributes;
    return TheDisplay() && XGetWindowAttributes(TheDisplay(), window, &attributes) &&
           attributes.map_state == IsViewable;
}

std::string WindowTitleUtf8(unsigned long window)
{
    Display* d = TheDisplay();
    Atom name = XInternAtom(d, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long nItems = 0, nAfter = 0;
    unsigned char* pData = nullptr;
    std::string title;
    if (XGetWindowProperty(d, window, name, 0, 1024, False, utf8, &type, &format, &nItems, &nAfter, &pData) ==
            Success &&
        pData)
    {
        title.assign((const char*)pData, nItems);
        XFree(pData);
    }
    return title;
}

bool HasFocusWithin(unsigned long window)
{
    Display* d = TheDisplay();
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    return focus != None && focus != PointerRoot && IsDescendant(d, focus, window);
}

void FocusWindow(unsigned long window)
{
    Display* d = TheDisplay();
    XRaiseWindow(d, window);
    XSetInputFocus(d, window, RevertToParent, CurrentTime);
    XSync(d, False);
    // The program takes the focus to one of its controls: wait until it is inside the window.
    PollUntil([&] { return HasFocusWithin(window); }, 2000, 50);
}

unsigned long CreateFocusedWindow()
{
    Display* d = TheDisplay();
    if (!d)
        return 0;
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 50, 50, 0, 0, 0);
    XMapRaised(d, w);
    XSync(d, False);
    PollUntil([&] { return IsWindowViewable(w); }, 5000, 50);
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    XSync(d, False);
    return w;
}

void DestroyTestWindow(unsigned long window)
{
    XDestroyWindow(TheDisplay(), window);
    XSync(TheDisplay(), False);
}
