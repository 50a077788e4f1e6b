// Top-level windows: the frame widget, closing, activation and the caption.
#include <wx/wx.h>
#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/Xutil.h>
#include <map>
#include "TopLevelWnd.h"
#include "X11Window.h"

namespace
{
class CWxFrame : public wxFrame
{
public:
    CWxFrame(const wxString& title, const wxPoint& pos, const wxSize& size, long style)
        : wxFrame(nullptr, wxID_ANY, title, pos, size, style)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& ev) {
            m_bHaveAttributes = false;
            ev.Skip();
        });
    }

    // Every paint DC asks for the frame's colours; without a window manager GTK answers that with
    // a round trip to the X server each time, so an animation repainting twenty times a second
    // would pay for it in every frame. The theme's answer is kept until the system colours change.
    wxVisualAttributes GetDefaultAttributes() const override
    {
        if (!m_bHaveAttributes)
        {
            m_attributes = wxFrame::GetDefaultAttributes();
            m_bHaveAttributes = true;
        }
        return m_attributes;
    }

private:
    mutable wxVisualAttributes m_attributes;
    mutable bool m_bHaveAttributes = false;
};
// WM_NAME as well as _NET_WM_NAME carries the title. GTK writes WM_NAME only in what the process's
// locale can convert, so a Chinese title under the C locale would leave it unset: it is written
// here from UTF-8 (compound text where Latin-1 does not do).
void PublishWmName(GtkWidget* w, const char* pszUtf8)
{
    GdkWindow* gw = w ? gtk_widget_get_window(w) : nullptr;
    if (!gw || !GDK_IS_X11_WINDOW(gw))
        return;
    char* list[1] = {const_cast<char*>(pszUtf8 ? pszUtf8 : "")};
    XTextProperty prop{};
    Display* d = GDK_WINDOW_XDISPLAY(gw);
    if (Xutf8TextListToTextProperty(d, list, 1, XStdICCTextStyle, &prop) != Success &&
        Xutf8TextListToTextProperty(d, list, 1, XUTF8StringStyle, &prop) != Success)
        return;
    XSetWMName(d, GDK_WINDOW_XID(gw), &prop);
    XFree(prop.value);
}

}  // namespace

void PublishWmName(wxWindow* pTopLevel)
{
    if (auto* tl = dynamic_cast<wxTopLevelWindow*>(pTopLevel))
        PublishWmName((GtkWidget*)tl->GetHandle(), tl->GetTitle().utf8_str());
}

void KeepWmName(wxWindow* pTopLevel)
{
    auto* w = (GtkWidget*)(pTopLevel ? pTopLevel->GetHandle() : nullptr);
    if (!w || !GTK_IS_WINDOW(w))
        return;
    g_signal_connect_after(w, "realize", G_CALLBACK(+[](GtkWidget* widget, gpointer) {
        PublishWmName(widget, gtk_window_get_title(GTK_WINDOW(widget)));
    }), nullptr);
    if (gtk_widget_get_realized(w))
        PublishWmName(pTopLevel);
}

long CTopLevelWndClass::FrameStyleOf(DWORD dwStyle, DWORD dwExStyle)
{
    long style = 0;
    if ((dwStyle & WS_CAPTION) == WS_CAPTION)
        style |= wxCAPTION;
    if (dwStyle & WS_SYSMENU)
        style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (dwStyle & WS_THICKFRAME)
        style |= wxRESIZE_BORDER;
    if ((dwStyle & WS_MINIMIZEBOX) && (dwStyle & WS_CAPTION))
        style |= wxMINIMIZE_BOX;
    if ((dwStyle & WS_MAXIMIZEBOX) && (dwStyle & WS_CAPTION))
        style |= wxMAXIMIZE_BOX;
    if (!(dwStyle & WS_CAPTION) && !(dwStyle & WS_THICKFRAME))
        style |= wxBORDER_NONE;
    if (dwExStyle & WS_EX_TOPMOST)
        style |= wxSTAY_ON_TOP;
    if (dwExStyle & WS_EX_TOOLWINDOW)
        style |= wxFRAME_TOOL_WINDOW;
    return style;
}

wxFrame* CTopLevelWndClass::NewFrameWidget(const CREATESTRUCT& cs, long lExtraStyle)
{
    return new CWxFrame(WxFromGbk(cs.lpszName), WxPos(cs), WxSize(cs),
                        FrameStyleOf((DWORD)cs.style, cs.dwExStyle) | lExtraStyle);
}

wxWindow* CTopLevelWndClass::CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow*) const
{
    p->strText.clear();  // the caption holds the text
    return NewFrameWidget(cs);
}

const CWndClass* CTopLevelWndClass::ClassFor(const CREATESTRUCT& cs) const
{
    if (cs.style & WS_CHILD)
    {
        CREATESTRUCT plain = cs;
        plain.lpszClass = nullptr;
        return CWndClassRegistry::Resolve(plain);
    }
    return this;
}

void CTopLevelWndClass::BindEvents(WndRecord* p, wxWindow* pWx) const
{
    HWND h = p->Handle();
    KeepWmName(pWx);
    pWx->Bind(wxEVT_CLOSE_WINDOW, [h](wxCloseEvent& e) {
        if (!LiveRec(h))
        {
            e.Skip();
            return;
        }
        // Closing is the window's business: WM_CLOSE decides (its default destroys, or cancels a
        // dialog).
        if (e.CanVeto())
            e.Veto();
        DispatchToWindow(h, WM_CLOSE, 0, 0);
        if (!e.CanVeto() && LiveRec(h))
            DestroyWindow(h);
    });
    pWx->Bind(wxEVT_SHOW, [h](wxShowEvent& e) {
        e.Skip();
        WndRecord* r = LiveRec(h);
        if (r && e.IsShown())
        {
            wxSize size = r->pWx->GetSize();
            wxSize limited = size;
            ConstrainSize(r, limited);
            if (LiveRec(h) && limited != size)
                r->pWx->SetSize(limited);
        }
    });
    pWx->Bind(wxEVT_ACTIVATE, [h](wxActivateEvent& e) {
        e.Skip();
        if (e.GetActive())
            SetLastActiveWindow(h);
        if (LiveRec(h))
            DispatchToWindow(h, WM_ACTIVATE, e.GetActive() ? 1 : 0, 0);
    });
}

namespace
{
// Moving a window by its caption where no window manager does it: the window follows the pointer
// until the left button is released, and meanwhile hears nothing of the mouse (as in the move
// loop of the caption).
struct CaptionMove
{
    bool bActive = false;
    wxPoint offset;  // pointer minus window position
};

std::map<HWND, CaptionMove>& CaptionMoves()
{
    static std::map<HWND, CaptionMove> s_moves;
    return s_moves;
}

void FollowPointer(WndRecord* p)
{
    HWND h = p->Handle();
    wxWindow* w = p->pWx;
    bool bFirst = CaptionMoves().find(h) == CaptionMoves().end();
    CaptionMove& m = CaptionMoves()[h];
    m.bActive = true;
    m.offset = wxGetMousePosition() - w->GetPosition();
    if (bFirst)
    {
        // Bound after the core's own handlers, so these run first and keep the events.
        w->Bind(wxEVT_MOTION, [h, w](wxMouseEvent& e) {
            auto it = CaptionMoves().find(h);
            if (it == CaptionMoves().end() || !it->second.bActive)
            {
                e.Skip();
                return;
            }
            w->Move(wxGetMousePosition() - it->second.offset);
        });
        w->Bind(wxEVT_LEFT_UP, [h, w](wxMouseEvent& e) {
            auto it = CaptionMoves().find(h);
            if (it == CaptionMoves().end() || !it->second.bActive)
            {
                e.Skip();
                return;
            }
            it->second.bActive = false;
            if (w->HasCapture())
                w->ReleaseMouse();
        });
        w->Bind(wxEVT_MOUSE_CAPTURE_LOST, [h](wxMouseCaptureLostEvent& e) {
            auto it = CaptionMoves().find(h);
            if (it != CaptionMoves().end() && it->second.bActive)
                it->second.bActive = false;
            else
                e.Skip();
        });
        w->Bind(wxEVT_DESTROY, [h](wxWindowDestroyEvent& e) {
            e.Skip();
            CaptionMoves().erase(h);
        });
    }
    if (!w->HasCapture())
        w->CaptureMouse();
}
}  // namespace

void CTopLevelWndClass::ConstrainSize(WndRecord* p, wxSize& size)
{
    if (!p->pWx || !(p->dwStyle & WS_THICKFRAME))
        return;
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    mmi.ptMaxTrackSize = POINT{::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    DispatchToWindow(p->Handle(), WM_GETMINMAXINFO, 0, (LPARAM)&mmi);
    if (!LiveRec(p->Handle()) || !p->pWx)
        return;
    wxSize minSize(std::max<int>(0, mmi.ptMinTrackSize.x), std::max<int>(0, mmi.ptMinTrackSize.y));
    if (minSize.x > 0 || minSize.y > 0)
        p->pWx->SetMinSize(minSize);
    if (size.x >= 0)
        size.x = std::max(size.x, minSize.x);
    if (size.y >= 0)
        size.y = std::max(size.y, minSize.y);
}

LRESULT CTopLevelWndClass::DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    switch (msg)
    {
    case WM_NCLBUTTONDOWN:
        // Pressed on the caption: the window follows the pointer until the button is released (the
        // window manager moves it, or GDK in its place).
        if (wParam == HTCAPTION && p->pWx)
        {
            GtkWidget* w = (GtkWidget*)p->pWx->GetHandle();
            if (!X11WindowManagerRuns())
                FollowPointer(p);
            else if (w && GTK_IS_WINDOW(w))
            {
                wxPoint pt = wxGetMousePosition();
                gtk_window_begin_move_drag(GTK_WINDOW(w), 1, pt.x, pt.y, gtk_get_current_event_time());
            }
            return 0;
        }
        break;
    case WM_SETTEXT:
        if (p->pWx)
        {
            p->pWx->SetLabel(WxFromGbk(lParam ? (const char*)lParam : ""));
            PublishWmName(p->pWx);
            return TRUE;
        }
        break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (p->pWx)
            return CopyWindowText(GbkFromWx(p->pWx->GetLabel()), msg, wParam, lParam);
        break;
    }
    return CWndClass::DefProc(p, msg, wParam, lParam);
}
