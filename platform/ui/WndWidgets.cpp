// The wx widgets behind windows, and wx/GTK input turned into window messages.
#include <wx/wx.h>
#include <wx/dcbuffer.h>
#include <gtk/gtk.h>
#include "WndRecord.h"
#include "CodePage.h"
#include "Gdi.h"

wxString WxFromGbk(const char* psz)
{
    if (!psz || !*psz)
        return wxString();
    return wxString::FromUTF8(CCodePage::AnsiToUtf8(psz).c_str());
}

wxString WxFromGbk(const std::string& s)
{
    return s.empty() ? wxString() : wxString::FromUTF8(CCodePage::AnsiToUtf8(s).c_str());
}

std::string GbkFromWx(const wxString& s)
{
    return CCodePage::Utf8ToAnsi(std::string(s.utf8_str()));
}

namespace
{
// The wx event being turned into a message on this thread: the default processing of that
// message lets the widget's own handling run (event.Skip()).
struct CurrentEvent
{
    HWND hWnd;
    UINT msg;
    bool bDefault;
};
thread_local std::vector<CurrentEvent> t_events;

bool DispatchEvent(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult = nullptr)
{
    t_events.push_back({h, msg, false});
    LRESULT r = DispatchToWindow(h, msg, wParam, lParam);
    bool bDefault = t_events.back().bDefault;
    t_events.pop_back();
    if (pResult)
        *pResult = r;
    return bDefault;
}

WPARAM MouseKeyState(const wxMouseState& ms)
{
    WPARAM w = 0;
    if (ms.LeftIsDown()) w |= MK_LBUTTON;
    if (ms.RightIsDown()) w |= MK_RBUTTON;
    if (ms.MiddleIsDown()) w |= MK_MBUTTON;
    if (ms.ShiftDown()) w |= MK_SHIFT;
    if (ms.ControlDown()) w |= MK_CONTROL;
    return w;
}

bool IsNative(WndKind k)
{
    return k == WK_EDIT || k == WK_BUTTON || k == WK_CHECK;
}

// Statics without SS_NOTIFY let the mouse through to their parent (as HTTRANSPARENT does).
bool IsMouseTransparent(WndRecord* p)
{
    return p->kind == WK_STATIC && !(p->dwStyle & SS_NOTIFY);
}
}  // namespace

// Called by the default window procedure: the message came from a wx event whose own
// processing should now run.
bool MarkEventDefault(HWND h, UINT msg)
{
    for (auto it = t_events.rbegin(); it != t_events.rend(); ++it)
        if (it->hWnd == h && it->msg == msg)
        {
            it->bDefault = true;
            return true;
        }
    return false;
}

bool IsFromEvent(HWND h, UINT msg)
{
    for (auto it = t_events.rbegin(); it != t_events.rend(); ++it)
        if (it->hWnd == h && it->msg == msg)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Widget classes

namespace
{
class CWxPlain : public wxWindow
{
public:
    CWxPlain(wxWindow* pParent, const wxPoint& pos, const wxSize& size, long style)
        : wxWindow(pParent, wxID_ANY, pos, size, style | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
    }
    bool AcceptsFocus() const override { return m_bFocusable; }
    bool m_bFocusable = false;
};

class CWxFrame : public wxFrame
{
public:
    CWxFrame(const wxString& title, const wxPoint& pos, const wxSize& size, long style)
        : wxFrame(nullptr, wxID_ANY, title, pos, size, style)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
    }
};

long TopLevelStyle(DWORD dwStyle, DWORD dwExStyle)
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
}  // namespace

wxWindow* CreateWidget(WndRecord* pRec, const CREATESTRUCT& cs, wxWindow* pParent)
{
    wxPoint pos = cs.x == CW_USEDEFAULT ? wxDefaultPosition : wxPoint(cs.x, cs.y);
    wxSize size = cs.cx == CW_USEDEFAULT ? wxSize(800, 600) : wxSize(cs.cx > 0 ? cs.cx : 1, cs.cy > 0 ? cs.cy : 1);
    wxString text = WxFromGbk(cs.lpszName);
    DWORD st = (DWORD)cs.style;
    switch (pRec->kind)
    {
    case WK_FRAME:
    {
        auto* p = new CWxFrame(text, pos, size, TopLevelStyle(st, cs.dwExStyle));
        return p;
    }
    case WK_DIALOG:
    {
        // A frame too: wxDialog under GTK gives a dialog without a sizer a 1x1 window when shown,
        // and the modal loop is ours anyway.
        auto* p = new CWxFrame(text, pos, size, TopLevelStyle(st, cs.dwExStyle) | wxFRAME_NO_TASKBAR | wxTAB_TRAVERSAL);
        // The dialog face colour, the colour its statics are drawn on.
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        p->SetBackgroundColour(wxColour(GetRValue(face), GetGValue(face), GetBValue(face)));
        if (WndRecord* pOwner = LiveRec(cs.hwndParent); pOwner && pOwner->pWx)
            if (GtkWidget* gw = (GtkWidget*)p->GetHandle(), *go = (GtkWidget*)pOwner->pWx->GetHandle();
                gw && go && GTK_IS_WINDOW(gw) && GTK_IS_WINDOW(go))
                gtk_window_set_transient_for(GTK_WINDOW(gw), GTK_WINDOW(go));
        return p;
    }
    case WK_EDIT:
    {
        long style = wxBORDER_DEFAULT;
        if (st & ES_MULTILINE) style |= wxTE_MULTILINE;
        if (st & ES_PASSWORD) style |= wxTE_PASSWORD;
        if (st & ES_READONLY) style |= wxTE_READONLY;
        if (st & ES_CENTER) style |= wxTE_CENTER;
        else if (st & ES_RIGHT) style |= wxTE_RIGHT;
        auto* p = new wxTextCtrl(pParent, wxID_ANY, wxString(), pos, size, style);
        p->ChangeValue(text);
        pRec->strText.clear();
        return p;
    }
    case WK_BUTTON:
    {
        auto* p = new wxButton(pParent, wxID_ANY, text, pos, size);
        if ((st & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            p->SetDefault();
        pRec->strText.clear();
        return p;
    }
    case WK_CHECK:
    {
        DWORD t = st & BS_TYPEMASK;
        wxWindow* p;
        if (t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON)
            p = new wxRadioButton(pParent, wxID_ANY, text, pos, size, (st & WS_GROUP) ? wxRB_GROUP : 0);
        else
            p = new wxCheckBox(pParent, wxID_ANY, text, pos, size,
                               (t == BS_3STATE || t == BS_AUTO3STATE) ? wxCHK_3STATE : wxCHK_2STATE);
        pRec->strText.clear();
        return p;
    }
    case WK_STATIC:
    case WK_PROGRESS:
        if (pParent)
        {
            pRec->bLight = true;
            pRec->rcLight = {cs.x, cs.y, cs.x + (cs.cx > 0 ? cs.cx : 0), cs.y + (cs.cy > 0 ? cs.cy : 0)};
            return nullptr;
        }
        [[fallthrough]];
    case WK_PLAIN:
    default:
    {
        auto* p = new CWxPlain(pParent, pos, size, (cs.dwExStyle & WS_EX_CLIENTEDGE) ? wxBORDER_SUNKEN : wxBORDER_NONE);
        p->m_bFocusable = pRec->kind == WK_PLAIN && (st & WS_TABSTOP);
        return p;
    }
    }
}

// ---------------------------------------------------------------------------------------------
// Events

static void OnPaintEvent(HWND h, wxWindow* pWx)
{
    WndRecord* pRec = LiveRec(h);
    wxPaintDC dc(pWx);
    if (!pRec)
        return;
    wxDC* pOld = pRec->pPaintDC;
    pRec->pPaintDC = &dc;
    // Background first, as Windows does before WM_PAINT.
    const AFX_MSGMAP_ENTRY* pErase =
        pRec->pWnd ? CCmdTarget::FindMessageEntry(static_cast<CCmdTarget*>(pRec->pWnd)->GetMessageMap(), WM_ERASEBKGND, 0, 0) : nullptr;
    if (pErase)
    {
        HDC hdc = GetDC(h);
        DispatchToWindow(h, WM_ERASEBKGND, (WPARAM)hdc, 0);
        ReleaseDC(h, hdc);
    }
    else if (pRec->kind == WK_STATIC || pRec->kind == WK_PROGRESS)
    {
        // Drawn by their own painting (which asks the parent for colours).
    }
    else
    {
        dc.SetBackground(wxBrush(pWx->GetBackgroundColour()));
        dc.Clear();
    }
    if (LiveRec(h))
        DispatchToWindow(h, WM_PAINT, 0, 0);
    if (!LiveRec(h))
        return;
    pRec->pPaintDC = pOld;
    // The windowless children, lowest (last made) first.
    std::vector<HWND> kids = pRec->children;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)
    {
        WndRecord* c = LiveRec(*it);
        if (!c || !c->bLight || !c->bLightVisible)
            continue;
        int w = c->rcLight.right - c->rcLight.left, hgt = c->rcLight.bottom - c->rcLight.top;
        if (w <= 0 || hgt <= 0)
            continue;
        dc.SetDeviceOrigin(c->rcLight.left, c->rcLight.top);
        dc.SetClippingRegion(0, 0, w, hgt);
        c->pPaintDC = &dc;
        DispatchToWindow(*it, WM_PAINT, 0, 0);
        if (LiveRec(*it))
            c->pPaintDC = nullptr;
        dc.DestroyClippingRegion();
        dc.SetDeviceOrigin(0, 0);
        if (!LiveRec(h))
            return;
    }
}

// A windowless child that takes the mouse (a static with SS_NOTIFY) under the point, topmost
// (first made) first; others let it through to the parent.
static HWND MouseTarget(HWND h, wxPoint& pt)
{
    WndRecord* pRec = LiveRec(h);
    if (!pRec)
        return h;
    for (HWND c : pRec->children)
    {
        WndRecord* r = LiveRec(c);
        if (!r || !r->bLight || !r->bLightVisible || IsMouseTransparent(r) || r->kind != WK_STATIC)
            continue;
        const RECT& rc = r->rcLight;
        if (pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom)
        {
            pt.x -= rc.left;
            pt.y -= rc.top;
            return c;
        }
    }
    return h;
}

static bool SendSetCursor(HWND hTarget, UINT mouseMsg)
{
    LRESULT r = 0;
    DispatchEvent(hTarget, WM_SETCURSOR, (WPARAM)hTarget, MAKELPARAM(HTCLIENT, mouseMsg), &r);
    return r != 0;
}

static void OnMouseEvent(HWND h, wxMouseEvent& ev, UINT msg)
{
    WndRecord* pRec = LiveRec(h);
    if (!pRec)
    {
        ev.Skip();
        return;
    }
    wxPoint pt = ev.GetPosition();
    HWND hTarget = (msg == WM_MOUSEWHEEL) ? h : MouseTarget(h, pt);
    // A captured window gets the mouse wherever it is.
    extern HWND g_hCapture;
    if (g_hCapture && g_hCapture != hTarget && LiveRec(g_hCapture) && pRec->pWx)
    {
        wxPoint sp = pRec->pWx->ClientToScreen(ev.GetPosition());
        POINT cp{sp.x, sp.y};
        ScreenToClient(g_hCapture, &cp);
        pt = wxPoint(cp.x, cp.y);
        hTarget = g_hCapture;
    }
    SetCursorWindow(h);
    WndRecord* pTarget = LiveRec(hTarget);
    bool bDefault;
    if (msg == WM_MOUSEMOVE && hTarget != g_hCapture)
        SendSetCursor(hTarget, msg);
    else if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
        SendSetCursor(hTarget, msg);
    if (!LiveRec(hTarget))
        return;
    if (msg == WM_MOUSEWHEEL)
    {
        wxPoint sp = pRec->pWx ? pRec->pWx->ClientToScreen(pt) : pt;
        int delta = ev.GetWheelRotation() * 120 / (ev.GetWheelDelta() ? ev.GetWheelDelta() : 120);
        bDefault = DispatchEvent(hTarget, msg, MAKEWPARAM(MouseKeyState(ev), (short)delta), MAKELPARAM(sp.x, sp.y));
    }
    else
        bDefault = DispatchEvent(hTarget, msg, MouseKeyState(ev), MAKELPARAM(pt.x, pt.y));
    if (msg == WM_RBUTTONUP && LiveRec(hTarget) && !(pTarget && pTarget->kind == WK_EDIT))
    {
        wxPoint sp = pRec->pWx ? pRec->pWx->ClientToScreen(ev.GetPosition()) : pt;
        DispatchEvent(hTarget, WM_CONTEXTMENU, (WPARAM)hTarget, MAKELPARAM(sp.x, sp.y));
    }
    if (msg == WM_RBUTTONDOWN && pTarget && pTarget->kind == WK_EDIT && LiveRec(hTarget))
    {
        // GTK's entry opens its menu on the press: the menu is the context-menu message's default.
        wxPoint sp = pRec->pWx ? pRec->pWx->ClientToScreen(ev.GetPosition()) : pt;
        bDefault = bDefault && DispatchEvent(hTarget, WM_CONTEXTMENU, (WPARAM)hTarget, MAKELPARAM(sp.x, sp.y));
    }
    if (IsNative(pRec->kind) && hTarget == h)
    {
        if (bDefault || msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP)
            ev.Skip();
    }
    else if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
        ev.Skip();  // lets wx move the focus as the click asks
}

// Windows virtual-key code of a wx key code (letters and digits are their upper-case ASCII).
static UINT VirtualKeyOf(int k)
{
    if (k >= 'a' && k <= 'z')
        return (UINT)(k - 'a' + 'A');
    if ((k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9') || k == ' ')
        return (UINT)k;
    switch (k)
    {
    case WXK_BACK: return VK_BACK;
    case WXK_TAB: return VK_TAB;
    case WXK_RETURN: case WXK_NUMPAD_ENTER: return VK_RETURN;
    case WXK_ESCAPE: return VK_ESCAPE;
    case WXK_SHIFT: return VK_SHIFT;
    case WXK_CONTROL: return VK_CONTROL;
    case WXK_ALT: return VK_MENU;
    case WXK_END: return VK_END;
    case WXK_HOME: return VK_HOME;
    case WXK_LEFT: return VK_LEFT;
    case WXK_UP: return VK_UP;
    case WXK_RIGHT: return VK_RIGHT;
    case WXK_DOWN: return VK_DOWN;
    case WXK_INSERT: return VK_INSERT;
    case WXK_DELETE: return VK_DELETE;
    default:
        if (k >= WXK_F1 && k <= WXK_F24)
            return (UINT)(VK_F1 + (k - WXK_F1));
        return (UINT)(k & 0xFF);
    }
}

static LPARAM KeyLParam(const wxKeyEvent& ev, bool bUp)
{
    DWORD scan = (ev.GetRawKeyFlags() >= 8 ? ev.GetRawKeyFlags() - 8 : 0) & 0xFF;
    DWORD l = 1 | (scan << 16);
    if (ev.AltDown()) l |= 1u << 29;
    if (bUp) l |= (1u << 30) | (1u << 31);
    return (LPARAM)l;
}

static bool DialogKey(HWND h, UINT vk);

static void OnKeyEvent(HWND h, wxKeyEvent& ev, UINT msg)
{
    WndRecord* pRec = LiveRec(h);
    if (!pRec)
    {
        ev.Skip();
        return;
    }
    bool bDefault = true;
    if (msg == WM_CHAR)
    {
        int uc = ev.GetUnicodeKey();
        if (uc == WXK_NONE)
            uc = ev.GetKeyCode();
        if (uc == WXK_NONE || uc > 0xFFFF)
        {
            ev.Skip();
            return;
        }
        // Control combinations come as their control codes (Ctrl+V as 22), as on Windows, whatever
        // character the layout puts on the key: the key's own letter decides.
        if (ev.ControlDown() && !ev.AltDown())
        {
            int k = ev.GetKeyCode();
            if (k >= 1 && k <= 26)
                uc = k;
            else if (k >= 'a' && k <= 'z')
                uc = k - 'a' + 1;
            else if (k >= 'A' && k <= 'Z')
                uc = k - 'A' + 1;
            else if (uc >= 'a' && uc <= 'z')
                uc = uc - 'a' + 1;
            else if (uc >= 'A' && uc <= 'Z')
                uc = uc - 'A' + 1;
        }
        std::string bytes;
        if (uc < 0x80)
            bytes.assign(1, (char)uc);
        else
        {
            std::wstring w(1, (wchar_t)uc);
            bytes = CCodePage::WideToAnsi(w);
        }
        LPARAM l = KeyLParam(ev, false);
        for (char c : bytes)
        {
            if (!LiveRec(h))
                return;
            bDefault = DispatchEvent(h, WM_CHAR, (WPARAM)(unsigned char)c, l) && bDefault;
        }
        // The edit's default for characters inserts them itself (DefaultWindowProc); GTK gets only
        // the keys it edits with.
        extern bool EditHandlesCharItself(UINT ch);
        if (pRec->kind == WK_EDIT && bytes.size() >= 1 && EditHandlesCharItself((unsigned char)bytes[0]))
            return;
    }
    else
    {
        UINT vk = VirtualKeyOf(ev.GetKeyCode());
        bDefault = DispatchEvent(h, msg, vk, KeyLParam(ev, msg == WM_KEYUP));
        if (bDefault && msg == WM_KEYDOWN && (vk == VK_ESCAPE || vk == VK_RETURN) && !ev.HasAnyModifiers() &&
            DialogKey(h, vk))
            return;
    }
    if (bDefault)
        ev.Skip();
}

// The dialog manager's keys: Escape cancels, Enter gives the default button's command (a focused
// button or a multi-line edit keeps its Enter). TRUE when the key was used.
static bool DialogKey(HWND h, UINT vk)
{
    WndRecord* pFocus = LiveRec(h);
    HWND top = h;
    for (WndRecord* r = pFocus; r && r->hParent; r = LiveRec(top))
        top = r->hParent;
    WndRecord* pTop = LiveRec(top);
    if (!pTop || pTop->kind != WK_DIALOG || !pFocus)
        return false;
    if (vk == VK_ESCAPE)
    {
        DispatchToWindow(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(top, IDCANCEL));
        return true;
    }
    if (pFocus->kind == WK_BUTTON || pFocus->kind == WK_CHECK ||
        (pFocus->kind == WK_EDIT && (pFocus->dwStyle & ES_WANTRETURN)))
        return false;
    UINT id = pTop->nDefID ? pTop->nDefID : IDOK;
    HWND hButton = GetDlgItem(top, (int)id);
    if (hButton && !IsWindowEnabled(hButton))
        return true;  // a disabled default button does nothing
    DispatchToWindow(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)hButton);
    return true;
}

static gboolean OnEntryPopupMenu(GtkWidget*, gpointer data)
{
    HWND h = (HWND)data;
    if (!LiveRec(h))
        return FALSE;
    bool bDefault = DispatchEvent(h, WM_CONTEXTMENU, (WPARAM)h, (LPARAM)-1);
    return bDefault ? FALSE : TRUE;
}

void BindWidgetEvents(WndRecord* pRec, wxWindow* pWx)
{
    HWND h = pRec->Handle();
    WndKind kind = pRec->kind;
    if (!IsNative(kind) && !pRec->bNativePaint)
        pWx->Bind(wxEVT_PAINT, [h, pWx](wxPaintEvent&) { OnPaintEvent(h, pWx); });
    pWx->Bind(wxEVT_LEFT_DOWN, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_LBUTTONDOWN); });
    pWx->Bind(wxEVT_LEFT_UP, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_LBUTTONUP); });
    pWx->Bind(wxEVT_LEFT_DCLICK, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_LBUTTONDBLCLK); });
    pWx->Bind(wxEVT_RIGHT_DOWN, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_RBUTTONDOWN); });
    pWx->Bind(wxEVT_RIGHT_UP, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_RBUTTONUP); });
    pWx->Bind(wxEVT_MIDDLE_DOWN, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_MBUTTONDOWN); });
    pWx->Bind(wxEVT_MIDDLE_UP, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_MBUTTONUP); });
    pWx->Bind(wxEVT_MOTION, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_MOUSEMOVE); });
    // A pointer that jumps into the window brings no motion event, only the entering: for the
    // window it is a move all the same.
    pWx->Bind(wxEVT_ENTER_WINDOW, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_MOUSEMOVE); });
    pWx->Bind(wxEVT_MOUSEWHEEL, [h](wxMouseEvent& e) { OnMouseEvent(h, e, WM_MOUSEWHEEL); });
    pWx->Bind(wxEVT_LEAVE_WINDOW, [h](wxMouseEvent& e) {
        if (LiveRec(h))
            DispatchEvent(h, WM_MOUSELEAVE, 0, 0);
        e.Skip();
    });
    pWx->Bind(wxEVT_MOUSE_CAPTURE_LOST, [h](wxMouseCaptureLostEvent&) {
        extern HWND g_hCapture;
        if (g_hCapture == h)
        {
            g_hCapture = nullptr;
            if (LiveRec(h))
                DispatchToWindow(h, WM_CAPTURECHANGED, 0, 0);
        }
    });
    pWx->Bind(wxEVT_KEY_DOWN, [h](wxKeyEvent& e) { OnKeyEvent(h, e, WM_KEYDOWN); });
    pWx->Bind(wxEVT_KEY_UP, [h](wxKeyEvent& e) { OnKeyEvent(h, e, WM_KEYUP); });
    pWx->Bind(wxEVT_CHAR, [h](wxKeyEvent& e) { OnKeyEvent(h, e, WM_CHAR); });
    pWx->Bind(wxEVT_SET_FOCUS, [h](wxFocusEvent& e) {
        e.Skip();
        WndRecord* p = LiveRec(h);
        if (!p)
            return;
        wxWindow* pOther = e.GetWindow();
        HWND hOther = nullptr;
        extern HWND HandleOfWx(wxWindow*);
        if (pOther)
            hOther = HandleOfWx(pOther);
        DispatchToWindow(h, WM_SETFOCUS, (WPARAM)hOther, 0);
        if ((p = LiveRec(h)) && p->kind == WK_EDIT && p->hParent)
            DispatchToWindow(p->hParent, WM_COMMAND, MAKEWPARAM(p->nID, EN_SETFOCUS), (LPARAM)h);
    });
    pWx->Bind(wxEVT_KILL_FOCUS, [h](wxFocusEvent& e) {
        e.Skip();
        WndRecord* p = LiveRec(h);
        if (!p)
            return;
        extern HWND HandleOfWx(wxWindow*);
        HWND hOther = e.GetWindow() ? HandleOfWx(e.GetWindow()) : nullptr;
        DispatchToWindow(h, WM_KILLFOCUS, (WPARAM)hOther, 0);
        if ((p = LiveRec(h)) && p->kind == WK_EDIT && p->hParent)
            DispatchToWindow(p->hParent, WM_COMMAND, MAKEWPARAM(p->nID, EN_KILLFOCUS), (LPARAM)h);
    });
    pWx->Bind(wxEVT_SIZE, [h, pWx](wxSizeEvent& e) {
        e.Skip();
        if (!LiveRec(h))
            return;
        wxSize cs = pWx->GetClientSize();
        UINT type = SIZE_RESTORED;
        if (dynamic_cast<wxTopLevelWindow*>(pWx))
            type = IsIconic(h) ? SIZE_MINIMIZED : IsZoomed(h) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        DispatchToWindow(h, WM_SIZE, type, MAKELPARAM(cs.x, cs.y));
        if (LiveRec(h))
            pWx->Refresh(false);
    });
    pWx->Bind(wxEVT_MOVE, [h, pWx](wxMoveEvent& e) {
        e.Skip();
        if (!LiveRec(h))
            return;
        POINT pt{0, 0};
        GetClientOriginOf(Rec(h), &pt);
        DispatchToWindow(h, WM_MOVE, 0, MAKELPARAM(pt.x, pt.y));
    });
    if (kind == WK_FRAME || kind == WK_DIALOG)
    {
        pWx->Bind(wxEVT_CLOSE_WINDOW, [h, pWx](wxCloseEvent& e) {
            if (!LiveRec(h))
            {
                e.Skip();
                return;
            }
            // Closing is the window's business: WM_CLOSE decides (its default destroys, or
            // cancels a dialog).
            if (e.CanVeto())
                e.Veto();
            DispatchToWindow(h, WM_CLOSE, 0, 0);
            if (!e.CanVeto() && LiveRec(h))
                DestroyWindow(h);
        });
        pWx->Bind(wxEVT_ACTIVATE, [h](wxActivateEvent& e) {
            e.Skip();
            extern HWND g_hLastActive;
            if (e.GetActive())
                g_hLastActive = h;
            if (LiveRec(h))
                DispatchToWindow(h, WM_ACTIVATE, e.GetActive() ? 1 : 0, 0);
        });
    }
    if (kind == WK_EDIT)
    {
        pWx->Bind(wxEVT_TEXT, [h](wxCommandEvent&) {
            extern bool IsEditTextBeingSet(HWND);
            WndRecord* p = LiveRec(h);
            if (!p || IsEditTextBeingSet(h) || !p->hParent)
                return;
            // The text changed through the widget (delete, cut, paste): tell the parent.
            DispatchToWindow(p->hParent, WM_COMMAND, MAKEWPARAM(p->nID, EN_UPDATE), (LPARAM)h);
            if ((p = LiveRec(h)) && p->hParent)
                DispatchToWindow(p->hParent, WM_COMMAND, MAKEWPARAM(p->nID, EN_CHANGE), (LPARAM)h);
        });
        pWx->Bind(wxEVT_CONTEXT_MENU, [h](wxContextMenuEvent& e) {
            if (!LiveRec(h))
                return;
            wxPoint sp = e.GetPosition();
            LPARAM l = sp == wxDefaultPosition ? (LPARAM)-1 : MAKELPARAM(sp.x, sp.y);
            if (DispatchEvent(h, WM_CONTEXTMENU, (WPARAM)h, l))
                e.Skip();
        });
        if (GtkWidget* w = (GtkWidget*)pWx->GetHandle(); w && GTK_IS_ENTRY(w))
            g_signal_connect(w, "popup-menu", G_CALLBACK(OnEntryPopupMenu), h);
    }
    if (kind == WK_BUTTON)
        pWx->Bind(wxEVT_BUTTON, [h](wxCommandEvent&) {
            WndRecord* p = LiveRec(h);
            if (p && p->hParent)
                DispatchToWindow(p->hParent, WM_COMMAND, MAKEWPARAM(p->nID, BN_CLICKED), (LPARAM)h);
        });
    if (kind == WK_CHECK)
    {
        auto onCheck = [h](wxCommandEvent&) {
            WndRecord* p = LiveRec(h);
            if (p && p->hParent)
                DispatchToWindow(p->hParent, WM_COMMAND, MAKEWPARAM(p->nID, BN_CLICKED), (LPARAM)h);
        };
        pWx->Bind(wxEVT_CHECKBOX, onCheck);
        pWx->Bind(wxEVT_RADIOBUTTON, onCheck);
    }
}

void UnbindWidget(WndRecord* pRec)
{
    if (!pRec->pWx)
        return;
    if (pRec->kind == WK_EDIT)
        if (GtkWidget* w = (GtkWidget*)pRec->pWx->GetHandle(); w && GTK_IS_ENTRY(w))
            g_signal_handlers_disconnect_by_func(w, (gpointer)OnEntryPopupMenu, pRec->Handle());
}
