// Top-level windows across processes over X11. The calls run on a connection of their own (any
// thread may use it, one at a time); only the receiving filter lives on GDK's connection.
#include "X11Window.h"

#include <wx/window.h>
#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include "CWnd.h"
#include "CodePage.h"

namespace {

// Calls to a window of ours from another process: l[0] the kind, l[1..3] its arguments.
const char* const kCallAtom = (const char*)u8"_PARVEL_WINDOW_CALL";
// Marks a top-level window whose process understands those calls.
const char* const kMarkerAtom = (const char*)u8"_PARVEL_CALLS";
enum CallKind { kPostMessage = 1, kShowWindow = 2, kActivate = 3 };
// 1 while our window is minimised, kept when it is then hidden (to the tray): a window manager
// drops WM_STATE from a hidden window, but its placement still reads as minimised.
const char* const kIconicAtom = (const char*)u8"_PARVEL_ICONIC";

std::mutex& XLock()
{
    static std::mutex m;
    return m;
}

Display* g_display = nullptr;
int g_lastError = 0;
XErrorHandler g_previousHandler = nullptr;

// Errors on our connection (a window that went away meanwhile) are noted, not fatal; others go
// to the handler that was there before (GDK's).
int OnXError(Display* d, XErrorEvent* e)
{
    if (d == g_display)
    {
        g_lastError = e->error_code;
        return 0;
    }
    return g_previousHandler ? g_previousHandler(d, e) : 0;
}

// Our connection; call with XLock held.
Display* Dpy()
{
    if (!g_display)
    {
        g_display = XOpenDisplay(nullptr);
        if (g_display) g_previousHandler = XSetErrorHandler(&OnXError);
    }
    return g_display;
}

Atom Intern(Display* d, const char* name, bool onlyIfExists = false)
{
    return XInternAtom(d, name, onlyIfExists ? True : False);
}

// One property of a window as 32-bit items (of any type when type is AnyPropertyType).
bool ReadLongs(Display* d, Window w, Atom prop, Atom type, std::vector<unsigned long>& out, Atom* gotType = nullptr)
{
    out.clear();
    if (prop == None) return false;
    Atom actual = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    g_lastError = 0;
    if (XGetWindowProperty(d, w, prop, 0, 4096, False, type, &actual, &format, &n, &after, &data) != Success ||
        g_lastError)
        return false;
    bool ok = actual != None && format == 32;
    if (ok) out.assign((unsigned long*)data, (unsigned long*)data + n);
    if (gotType) *gotType = actual;
    if (data) XFree(data);
    return ok;
}

bool HasProperty(Display* d, Window w, Atom prop)
{
    if (prop == None) return false;
    Atom actual = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    g_lastError = 0;
    int rc = XGetWindowProperty(d, w, prop, 0, 0, False, AnyPropertyType, &actual, &format, &n, &after, &data);
    if (data) XFree(data);
    return rc == Success && !g_lastError && actual != None;
}

std::vector<Window> Children(Display* d, Window w)
{
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    std::vector<Window> out;
    g_lastError = 0;
    if (XQueryTree(d, w, &root, &parent, &kids, &n) && !g_lastError) out.assign(kids, kids + n);
    if (kids) XFree(kids);
    return out;  // bottom of the stacking order first
}

// The client window inside a manager's frame: the nearest descendant with WM_STATE.
Window FindClient(Display* d, Window w, Atom wmState, int depth)
{
    if (HasProperty(d, w, wmState)) return w;
    if (depth == 0) return 0;
    for (Window c : Children(d, w))
        if (Window found = FindClient(d, c, wmState, depth - 1)) return found;
    return 0;
}

// Every top-level window, top of the stacking order first; XLock held.
std::vector<Window> TopLevels(Display* d)
{
    Window root = DefaultRootWindow(d);
    Atom wmState = Intern(d, "WM_STATE", true);
    std::vector<Window> out;
    std::vector<unsigned long> managed;
    if (ReadLongs(d, root, Intern(d, "_NET_CLIENT_LIST_STACKING", true), XA_WINDOW, managed))
        std::reverse(managed.begin(), managed.end());
    else
        ReadLongs(d, root, Intern(d, "_NET_CLIENT_LIST", true), XA_WINDOW, managed);
    for (unsigned long w : managed) out.push_back((Window)w);
    // Root children too: windows without a manager, and hidden ones a manager has let go.
    std::vector<Window> kids = Children(d, root);
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)
    {
        Window w = *it;
        Window client = wmState != None ? FindClient(d, w, wmState, 2) : 0;
        Window pick = client ? client : w;
        if (std::find(out.begin(), out.end(), pick) == out.end()) out.push_back(pick);
    }
    return out;
}

bool WindowManagerRuns(Display* d)
{
    std::vector<unsigned long> check;
    return ReadLongs(d, DefaultRootWindow(d), Intern(d, "_NET_SUPPORTING_WM_CHECK", true), XA_WINDOW, check) &&
           !check.empty();
}

std::string AtomName(const char* gbk) { return CCodePage::AnsiToUtf8(gbk ? gbk : ""); }

bool IsOurs(HWND h) { return h && ::IsWindow(h) && !AfxIsForeignWindow(h); }

struct RealizeCall
{
    HWND h;
};

// GDK makes a window on its own connection and may still hold the request: the window is
// realised when it has no X window yet, and GDK's connection is synced so ours can use it.
void RealizeOnGui(void* p)
{
    HWND h = ((RealizeCall*)p)->h;
    if (!AfxGetX11Window(h))
        if (wxWindow* w = AfxGetWxWindow(h))
            if (GtkWidget* widget = (GtkWidget*)w->GetHandle()) gtk_widget_realize(widget);
    if (GdkDisplay* gd = gdk_display_get_default()) gdk_display_sync(gd);
}

// The X11 window of a handle; our own top-level windows are realised, and known to the server.
Window XidOf(HWND h)
{
    if (!h) return 0;
    if (IsOurs(h) && !::GetParent(h))
    {
        RealizeCall call{h};
        AfxRunOnGuiThread(&RealizeOnGui, &call);
    }
    return (Window)AfxGetX11Window(h);
}

bool SendCall(Window w, long kind, long a, long b, long c)
{
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (!d || !w) return false;
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = Intern(d, kCallAtom);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = kind;
    ev.xclient.data.l[1] = a;
    ev.xclient.data.l[2] = b;
    ev.xclient.data.l[3] = c;
    ev.xclient.data.l[4] = (long)getpid();
    g_lastError = 0;
    // An empty event mask delivers the event to the client that made the window.
    Status st = XSendEvent(d, w, False, NoEventMask, &ev);
    XSync(d, False);
    return st != 0 && !g_lastError;
}

bool Understands(Display* d, Window w) { return HasProperty(d, w, Intern(d, kMarkerAtom, true)); }

void SetWmState(Display* d, Window w, long state)
{
    Atom wmState = Intern(d, "WM_STATE");
    long data[2] = {state, (long)None};
    XChangeProperty(d, w, wmState, wmState, 32, PropModeReplace, (unsigned char*)data, 2);
}

// The properties set on our own windows, kept here too so GetProp answers without a round trip.
std::mutex& OwnPropsLock()
{
    static std::mutex m;
    return m;
}

std::map<std::pair<HWND, std::string>, HANDLE>& OwnProps()
{
    static std::map<std::pair<HWND, std::string>, HANDLE> m;
    return m;
}

// --- receiving side (GUI thread, GDK's connection) ---

Atom g_callAtomGdk = None;
Atom g_wmStateGdk = None;

// WM_STATE of one of our windows changed: iconic sets the mark, normal clears it, withdrawn keeps it.
void NoteWmState(Window w)
{
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (!d) return;
    std::vector<unsigned long> v;
    Atom wmState = Intern(d, "WM_STATE", true);
    if (wmState == None || !ReadLongs(d, w, wmState, wmState, v) || v.empty()) return;
    if (v[0] != IconicState && v[0] != NormalState) return;
    long iconic = v[0] == IconicState ? 1 : 0;
    g_lastError = 0;
    XChangeProperty(d, w, Intern(d, kIconicAtom), XA_CARDINAL, 32, PropModeReplace, (unsigned char*)&iconic, 1);
    XSync(d, False);
}

GdkFilterReturn OnXEvent(GdkXEvent* xevent, GdkEvent*, gpointer)
{
    XEvent* ev = (XEvent*)xevent;
    if (ev->type == PropertyNotify && g_wmStateGdk != None && ev->xproperty.atom == g_wmStateGdk &&
        ev->xproperty.state == PropertyNewValue)
    {
        // Only client windows carry WM_STATE, so the lookup makes no record for the root.
        if (IsOurs(AfxHandleFromX11Window(ev->xproperty.window))) NoteWmState(ev->xproperty.window);
        return GDK_FILTER_CONTINUE;  // GDK follows WM_STATE too
    }
    if (ev->type != ClientMessage || g_callAtomGdk == None || ev->xclient.message_type != g_callAtomGdk)
        return GDK_FILTER_CONTINUE;
    HWND h = AfxHandleFromX11Window(ev->xclient.window);
    if (!IsOurs(h)) return GDK_FILTER_REMOVE;
    const long* l = ev->xclient.data.l;
    if (l[0] == kPostMessage)
        ::PostMessage(h, (UINT)l[1], (WPARAM)(unsigned long)l[2], (LPARAM)l[3]);
    else if (l[0] == kShowWindow || l[0] == kActivate)
    {
        // Window calls wait until GDK has finished with this event.
        struct Deferred { HWND h; long kind; int cmd; };
        g_idle_add(
            [](gpointer p) -> gboolean {
                Deferred* d = (Deferred*)p;
                if (::IsWindow(d->h))
                {
                    if (d->kind == kShowWindow) ::ShowWindow(d->h, d->cmd);
                    else ::SetForegroundWindow(d->h);
                }
                delete d;
                return G_SOURCE_REMOVE;
            },
            new Deferred{h, l[0], (int)l[1]});
    }
    return GDK_FILTER_REMOVE;
}

void InstallOnGui(void*)
{
    if (g_callAtomGdk != None) return;
    GdkDisplay* gd = gdk_display_get_default();
    if (!gd || !GDK_IS_X11_DISPLAY(gd)) return;
    g_callAtomGdk = XInternAtom(GDK_DISPLAY_XDISPLAY(gd), kCallAtom, False);
    g_wmStateGdk = XInternAtom(GDK_DISPLAY_XDISPLAY(gd), "WM_STATE", False);
    gdk_window_add_filter(nullptr, &OnXEvent, nullptr);
}

}  // namespace

void X11InstallMessageFilter() { AfxRunOnGuiThread(&InstallOnGui, nullptr); }

BOOL SetProp(HWND hWnd, LPCSTR lpString, HANDLE hData)
{
    if (!hWnd || !lpString || !::IsWindow(hWnd)) { SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
    bool ours = IsOurs(hWnd);
    if (ours)
    {
        X11InstallMessageFilter();
        std::lock_guard<std::mutex> g(OwnPropsLock());
        OwnProps()[{hWnd, lpString}] = hData;
    }
    Window w = XidOf(hWnd);
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (!d || !w) return ours ? TRUE : FALSE;
    long value = (long)(uint32_t)(uintptr_t)hData;
    g_lastError = 0;
    XChangeProperty(d, w, Intern(d, AtomName(lpString).c_str()), XA_CARDINAL, 32, PropModeReplace,
                    (unsigned char*)&value, 1);
    if (ours)
    {
        long pid = (long)getpid();
        XChangeProperty(d, w, Intern(d, kMarkerAtom), XA_CARDINAL, 32, PropModeReplace, (unsigned char*)&pid, 1);
    }
    XSync(d, False);
    return g_lastError ? FALSE : TRUE;
}

HANDLE GetProp(HWND hWnd, LPCSTR lpString)
{
    if (!hWnd || !lpString) return nullptr;
    if (IsOurs(hWnd))
    {
        std::lock_guard<std::mutex> g(OwnPropsLock());
        auto it = OwnProps().find({hWnd, lpString});
        if (it != OwnProps().end()) return it->second;
    }
    Window w = (Window)AfxGetX11Window(hWnd);
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (!d || !w) return nullptr;
    // An atom nobody made names no property of any window.
    Atom a = Intern(d, AtomName(lpString).c_str(), true);
    std::vector<unsigned long> v;
    if (a == None || !ReadLongs(d, w, a, XA_CARDINAL, v) || v.empty()) return nullptr;
    return (HANDLE)(uintptr_t)(uint32_t)v[0];
}

HANDLE RemoveProp(HWND hWnd, LPCSTR lpString)
{
    HANDLE old = GetProp(hWnd, lpString);
    if (!old) return nullptr;
    if (IsOurs(hWnd))
    {
        std::lock_guard<std::mutex> g(OwnPropsLock());
        OwnProps().erase({hWnd, lpString});
    }
    Window w = XidOf(hWnd);
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (d && w)
    {
        Atom a = Intern(d, AtomName(lpString).c_str(), true);
        if (a != None) XDeleteProperty(d, w, a);
        XSync(d, False);
    }
    return old;
}

namespace {

std::vector<HWND> TopLevelHandles()
{
    std::vector<Window> ids;
    {
        std::lock_guard<std::mutex> g(XLock());
        Display* d = Dpy();
        if (!d) return {};
        ids = TopLevels(d);
    }
    std::vector<HWND> out;
    for (Window w : ids)
        if (HWND h = AfxHandleFromX11Window(w)) out.push_back(h);
    return out;
}

}  // namespace

BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam)
{
    if (!lpEnumFunc) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
    // The list is taken first: the callback may call back into this layer.
    for (HWND h : TopLevelHandles())
        if (!lpEnumFunc(h, lParam)) return FALSE;
    return TRUE;
}

HWND GetWindow(HWND hWnd, UINT uCmd)
{
    if (!hWnd || !::IsWindow(hWnd)) { SetLastError(ERROR_INVALID_HANDLE); return nullptr; }
    if (uCmd != GW_HWNDFIRST && uCmd != GW_HWNDLAST && uCmd != GW_HWNDNEXT && uCmd != GW_HWNDPREV) return nullptr;
    std::vector<HWND> all = TopLevelHandles();
    if (all.empty()) return nullptr;
    if (uCmd == GW_HWNDFIRST) return all.front();
    if (uCmd == GW_HWNDLAST) return all.back();
    auto it = std::find(all.begin(), all.end(), hWnd);
    if (it == all.end()) return nullptr;
    if (uCmd == GW_HWNDNEXT) return ++it == all.end() ? nullptr : *it;
    return it == all.begin() ? nullptr : *(it - 1);
}

HWND FindWindow(LPCSTR lpClassName, LPCSTR lpWindowName)
{
    for (HWND h : TopLevelHandles())
    {
        if (lpWindowName)
        {
            char title[512] = {};
            ::GetWindowText(h, title, sizeof title);
            if (std::strcmp(title, lpWindowName) != 0) continue;
        }
        if (lpClassName)
        {
            // Asked before the lock: the windowing layer may go to the GUI thread for it.
            Window w = (Window)AfxGetX11Window(h);
            std::lock_guard<std::mutex> g(XLock());
            Display* d = Dpy();
            XClassHint hint{nullptr, nullptr};
            bool match = false;
            if (d && w && XGetClassHint(d, w, &hint))
            {
                std::string want = CCodePage::AnsiToUtf8(lpClassName);
                match = (hint.res_class && want == hint.res_class) || (hint.res_name && want == hint.res_name);
            }
            if (hint.res_class) XFree(hint.res_class);
            if (hint.res_name) XFree(hint.res_name);
            if (!match) continue;
        }
        return h;
    }
    return nullptr;
}

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl)
{
    if (!lpwndpl || !hWnd || !::IsWindow(hWnd)) { SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.showCmd = SW_SHOWNORMAL;
    if (IsOurs(hWnd))
    {
        if (::IsIconic(hWnd)) wp.showCmd = SW_SHOWMINIMIZED;
        else if (::IsZoomed(hWnd)) wp.showCmd = SW_SHOWMAXIMIZED;
        ::GetWindowRect(hWnd, &wp.rcNormalPosition);
    }
    Window w = (Window)AfxGetX11Window(hWnd);
    bool foreign = AfxIsForeignWindow(hWnd) != FALSE;
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (d && w)
    {
        // What the X server says counts too: another process (or we) may have iconified the window.
        std::vector<unsigned long> v;
        Atom wmState = Intern(d, "WM_STATE", true);
        long state = -1;
        if (wmState != None && ReadLongs(d, w, wmState, wmState, v) && !v.empty()) state = (long)v[0];
        if (state == IconicState) wp.showCmd = SW_SHOWMINIMIZED;
        // Minimised and then hidden: no longer iconic to the manager, still minimised to us.
        if (state != NormalState && state != IconicState && ReadLongs(d, w, Intern(d, kIconicAtom, true), XA_CARDINAL, v) &&
            !v.empty() && v[0] == 1)
            wp.showCmd = SW_SHOWMINIMIZED;
        if (ReadLongs(d, w, Intern(d, "_NET_WM_STATE", true), XA_ATOM, v))
        {
            Atom hidden = Intern(d, "_NET_WM_STATE_HIDDEN", true);
            Atom maxV = Intern(d, "_NET_WM_STATE_MAXIMIZED_VERT", true);
            Atom maxH = Intern(d, "_NET_WM_STATE_MAXIMIZED_HORZ", true);
            bool isHidden = false, vert = false, horz = false;
            for (unsigned long a : v)
            {
                isHidden = isHidden || (hidden != None && a == hidden);
                vert = vert || (maxV != None && a == maxV);
                horz = horz || (maxH != None && a == maxH);
            }
            if (isHidden) wp.showCmd = SW_SHOWMINIMIZED;
            else if (vert && horz && wp.showCmd == SW_SHOWNORMAL) wp.showCmd = SW_SHOWMAXIMIZED;
        }
        if (foreign)
        {
            XWindowAttributes attr;
            Window child = 0;
            int x = 0, y = 0;
            g_lastError = 0;
            if (XGetWindowAttributes(d, w, &attr) && !g_lastError &&
                XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child))
                wp.rcNormalPosition = RECT{x, y, x + attr.width, y + attr.height};
        }
    }
    *lpwndpl = wp;
    return TRUE;
}

BOOL CloseWindow(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd)) { SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
    if (IsOurs(hWnd))
    {
        ::ShowWindow(hWnd, SW_MINIMIZE);  // publishes the iconic state itself
        return TRUE;
    }
    Window w = (Window)AfxGetX11Window(hWnd);
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (!d || !w) return FALSE;
    g_lastError = 0;
    if (WindowManagerRuns(d))
        XIconifyWindow(d, w, DefaultScreen(d));
    else
    {
        // Nobody manages windows: iconify as a manager would, unmapped and marked iconic.
        XUnmapWindow(d, w);
        SetWmState(d, w, IconicState);
    }
    XSync(d, False);
    return g_lastError ? FALSE : TRUE;
}

LRESULT X11SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The title is the X server's to tell, and the buffer is ours: answered here.
    if (msg == WM_GETTEXT) return X11GetWindowText(hWnd, (LPSTR)lParam, (int)wParam);
    if (msg == WM_GETTEXTLENGTH)
    {
        char title[1024];
        return X11GetWindowText(hWnd, title, (int)sizeof title);
    }
    X11PostMessage(hWnd, msg, wParam, lParam);
    return 0;
}

BOOL X11PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendCall((Window)AfxGetX11Window(hWnd), kPostMessage, (long)msg, (long)wParam, (long)lParam) ? TRUE
                                                                                                         : FALSE;
}

// The X side of a window call runs under the X lock (act gets the display, the window and
// whether its program takes our calls); a program that does is then asked to do the rest.
template <class Act>
static BOOL CallWindow(HWND hWnd, long call, long arg, Act act)
{
    Window w = (Window)AfxGetX11Window(hWnd);
    if (!w) return FALSE;
    bool ours;
    {
        std::lock_guard<std::mutex> g(XLock());
        Display* d = Dpy();
        if (!d) return FALSE;
        ours = Understands(d, w);
        act(d, w, ours);
    }
    if (ours) return SendCall(w, call, arg, 0, 0) ? TRUE : FALSE;
    return TRUE;
}

BOOL X11ShowWindow(HWND hWnd, int nCmdShow)
{
    return CallWindow(hWnd, kShowWindow, nCmdShow, [&](Display* d, Window w, bool ours) {
        if (ours && WindowManagerRuns(d))
            return;
        // A window of a program that does not take our calls, or one we iconified ourselves.
        if (nCmdShow == SW_HIDE)
            XUnmapWindow(d, w);
        else if (nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_SHOWMINNOACTIVE)
        {
            if (!ours) XIconifyWindow(d, w, DefaultScreen(d));
        }
        else
        {
            XMapWindow(d, w);
            std::vector<unsigned long> v;
            Atom wmState = Intern(d, "WM_STATE", true);
            if (!WindowManagerRuns(d) && wmState != None && ReadLongs(d, w, wmState, wmState, v) && !v.empty())
                SetWmState(d, w, NormalState);
        }
        XSync(d, False);
    });
}

BOOL X11SetForegroundWindow(HWND hWnd)
{
    return CallWindow(hWnd, kActivate, 0, [](Display* d, Window w, bool) {
        if (WindowManagerRuns(d))
        {
            // Asked as a pager would (source 2): managers honour that over focus-stealing rules.
            XEvent ev;
            std::memset(&ev, 0, sizeof ev);
            ev.xclient.type = ClientMessage;
            ev.xclient.window = w;
            ev.xclient.message_type = Intern(d, "_NET_ACTIVE_WINDOW");
            ev.xclient.format = 32;
            ev.xclient.data.l[0] = 2;
            ev.xclient.data.l[1] = CurrentTime;
            XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
        }
        else
            XRaiseWindow(d, w);
        XSync(d, False);
    });
}

int X11GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0) return 0;
    lpString[0] = '\0';
    Window w = (Window)AfxGetX11Window(hWnd);
    std::string utf8;
    {
        std::lock_guard<std::mutex> g(XLock());
        Display* d = Dpy();
        if (!d || !w) return 0;
        Atom actual = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        Atom netName = Intern(d, "_NET_WM_NAME", true);
        g_lastError = 0;
        if (netName != None &&
            XGetWindowProperty(d, w, netName, 0, 4096, False, Intern(d, "UTF8_STRING"), &actual, &format, &n,
                               &after, &data) == Success &&
            !g_lastError && data && format == 8)
            utf8.assign((const char*)data, n);
        if (data) XFree(data);
        if (utf8.empty())
        {
            XTextProperty tp{};
            g_lastError = 0;
            if (XGetWMName(d, w, &tp) && !g_lastError && tp.value)
            {
                char** list = nullptr;
                int count = 0;
                if (Xutf8TextPropertyToTextList(d, &tp, &list, &count) >= Success && list && count > 0)
                    utf8 = list[0];
                if (list) XFreeStringList(list);
                XFree(tp.value);
            }
        }
    }
    std::string gbk = CCodePage::Utf8ToAnsi(utf8);
    size_t len = std::min(gbk.size(), (size_t)nMaxCount - 1);
    std::memcpy(lpString, gbk.data(), len);
    lpString[len] = '\0';
    return (int)len;
}

BOOL X11IsWindow(HWND hWnd)
{
    Window w = (Window)AfxGetX11Window(hWnd);
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (!d || !w) return FALSE;
    XWindowAttributes attr;
    g_lastError = 0;
    Status st = XGetWindowAttributes(d, w, &attr);
    return st && !g_lastError ? TRUE : FALSE;
}

void X11SetIconicState(HWND hWnd, BOOL bIconic)
{
    if (!IsOurs(hWnd) || ::GetParent(hWnd)) return;
    Window w = XidOf(hWnd);
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    if (!d || !w || WindowManagerRuns(d)) return;  // a manager keeps WM_STATE itself
    g_lastError = 0;
    SetWmState(d, w, bIconic ? IconicState : NormalState);
    XSync(d, False);
}

BOOL X11WindowManagerRuns()
{
    std::lock_guard<std::mutex> g(XLock());
    Display* d = Dpy();
    return d && WindowManagerRuns(d) ? TRUE : FALSE;
}
