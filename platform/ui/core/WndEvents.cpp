// wx/GTK input of every window's widget turned into window messages; a window's class binds its
// own events on top (WndClass.h).
#include <wx/wx.h>
#include <gtk/gtk.h>
#include "WndClass.h"
#include "CodePage.h"
#include "Gdi.h"
#include "KernelObject.h"

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
}  // namespace

bool DispatchEvent(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    t_events.push_back({h, msg, false});
    LRESULT r = DispatchToWindow(h, msg, wParam, lParam);
    bool bDefault = t_events.back().bDefault;
    t_events.pop_back();
    if (pResult)
        *pResult = r;
    return bDefault;
}

namespace
{
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

bool IsNative(WndRecord* p)
{
    return p->pClass->IsNative(p);
}

// Input passes the windows' and the application's PreTranslateMessage before its window gets it;
// TRUE when one of them took it.
bool PreTranslate(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    wxPoint pt = wxGetMousePosition();
    MSG m{h, msg, wParam, lParam, GetTickCount(), {pt.x, pt.y}};
    return AfxPreTranslateMessage(&m) != FALSE;
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
    // A window procedure of the program's own (RegisterClass) may erase too.
    bool bErase = pRec->pfnWndProc ||
                  (pRec->pWnd && CCmdTarget::FindMessageEntry(static_cast<CCmdTarget*>(pRec->pWnd)->GetMessageMap(),
                                                              WM_ERASEBKGND, 0, 0));
    if (bErase)
    {
        HDC hdc = GetDC(h);
        DispatchToWindow(h, WM_ERASEBKGND, (WPARAM)hdc, 0);
        ReleaseDC(h, hdc);
    }
    else if (pRec->pClass->PaintsOwnBackground(pRec))
    {
        // Drawn by its own painting (which asks the parent for colours).
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

// A windowless child that takes the mouse (not HTTRANSPARENT) under the point, topmost
// (first made) first; others let it through to the parent.
static HWND MouseTarget(HWND h, wxPoint& pt)
{
    WndRecord* pRec = LiveRec(h);
    if (!pRec)
        return h;
    for (HWND c : pRec->children)
    {
        WndRecord* r = LiveRec(c);
        if (!r || !r->bLight || !r->bLightVisible || r->pClass->HitTest(r) == HTTRANSPARENT)
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
    HWND hCapture = CaptureWindow();
    if (hCapture && hCapture != hTarget && pRec->pWx)
    {
        wxPoint sp = pRec->pWx->ClientToScreen(ev.GetPosition());
        POINT cp{sp.x, sp.y};
        ScreenToClient(hCapture, &cp);
        pt = wxPoint(cp.x, cp.y);
        hTarget = hCapture;
    }
    SetCursorWindow(h);
    SetInputModifiers(ev.ShiftDown(), ev.ControlDown(), ev.AltDown());
    WndRecord* pTarget = LiveRec(hTarget);
    // A class without double clicks hears a second press as a press.
    if (msg == WM_LBUTTONDBLCLK && pTarget && pTarget->pClass && !pTarget->pClass->WantsDoubleClicks())
        msg = WM_LBUTTONDOWN;
    bool bDefault;
    if (msg == WM_MOUSEMOVE && hTarget != hCapture)
        SendSetCursor(hTarget, msg);
    else if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
        SendSetCursor(hTarget, msg);
    if (!LiveRec(hTarget))
        return;
    WPARAM wParam;
    LPARAM lParam;
    if (msg == WM_MOUSEWHEEL)
    {
        wxPoint sp = pRec->pWx ? pRec->pWx->ClientToScreen(pt) : pt;
        int delta = ev.GetWheelRotation() * 120 / (ev.GetWheelDelta() ? ev.GetWheelDelta() : 120);
        wParam = MAKEWPARAM(MouseKeyState(ev), (short)delta);
        lParam = MAKELPARAM(sp.x, sp.y);
    }
    else
    {
        wParam = MouseKeyState(ev);
        lParam = MAKELPARAM(pt.x, pt.y);
    }
    if (PreTranslate(hTarget, msg, wParam, lParam) || !LiveRec(hTarget) || !(pRec = LiveRec(h)))
        return;
    bDefault = DispatchEvent(hTarget, msg, wParam, lParam);
    bool bMenuOnPress = pTarget && pTarget->pClass->ContextMenuOnPress(pTarget);
    if (msg == WM_RBUTTONUP && LiveRec(hTarget) && !bMenuOnPress)
    {
        wxPoint sp = pRec->pWx ? pRec->pWx->ClientToScreen(ev.GetPosition()) : pt;
        DispatchEvent(hTarget, WM_CONTEXTMENU, (WPARAM)hTarget, MAKELPARAM(sp.x, sp.y));
    }
    if (msg == WM_RBUTTONDOWN && bMenuOnPress && LiveRec(hTarget))
    {
        // The widget opens its menu on the press: the menu is the context-menu message's default.
        wxPoint sp = pRec->pWx ? pRec->pWx->ClientToScreen(ev.GetPosition()) : pt;
        bDefault = bDefault && DispatchEvent(hTarget, WM_CONTEXTMENU, (WPARAM)hTarget, MAKELPARAM(sp.x, sp.y));
    }
    if (IsNative(pRec) && hTarget == h)
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
    SetInputModifiers(ev.ShiftDown(), ev.ControlDown(), ev.AltDown());
    bool bDefault = true;
    if (msg == WM_CHAR)
    {
        int uc = ev.GetUnicodeKey();
        if (uc == WXK_NONE)
            uc = ev.GetKeyCode();
        // Keys without a character (End, arrows, F-keys: wx codes from WXK_START) make no WM_CHAR.
        if (uc == WXK_NONE || uc > 0xFFFF || (ev.GetUnicodeKey() == WXK_NONE && uc >= WXK_START))
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
            if (PreTranslate(h, WM_CHAR, (WPARAM)(unsigned char)c, l))
            {
                bDefault = false;
                continue;
            }
            if (!LiveRec(h))
                return;
            bDefault = DispatchEvent(h, WM_CHAR, (WPARAM)(unsigned char)c, l) && bDefault;
        }
        // A class whose default inserts characters itself (the edit) leaves GTK only the keys it
        // edits with.
        if (bytes.size() >= 1 && (pRec = LiveRec(h)) && pRec->pClass->HandlesCharItself(pRec, (unsigned char)bytes[0]))
            return;
    }
    else
    {
        UINT vk = VirtualKeyOf(ev.GetKeyCode());
        LPARAM l = KeyLParam(ev, msg == WM_KEYUP);
        if (PreTranslate(h, msg, vk, l) || !LiveRec(h))
            return;
        bDefault = DispatchEvent(h, msg, vk, l);
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
    if (!pTop || !pTop->pClass->IsDialog() || !pFocus)
        return false;
    if (vk == VK_ESCAPE)
    {
        // As the window's close: a disabled cancel button makes Escape do nothing.
        HWND hCancel = GetDlgItem(top, IDCANCEL);
        if (!hCancel || IsWindowEnabled(hCancel))
            DispatchToWindow(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)hCancel);
        return true;
    }
    if (pFocus->pClass->WantsReturn(pFocus))
        return false;
    LRESULT def = DefaultWindowProc(top, DM_GETDEFID, 0, 0);
    UINT id = HIWORD(def) == 0x534B && LOWORD(def) ? LOWORD(def) : IDOK;
    HWND hButton = GetDlgItem(top, (int)id);
    if (hButton && !IsWindowEnabled(hButton))
        return true;  // a disabled default button does nothing
    DispatchToWindow(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)hButton);
    return true;
}

void BindWidgetEvents(WndRecord* pRec, wxWindow* pWx)
{
    HWND h = pRec->Handle();
    if (!IsNative(pRec))
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
    pWx->Bind(wxEVT_MOUSE_CAPTURE_LOST, [h](wxMouseCaptureLostEvent&) { ForgetCapture(h); });
    pWx->Bind(wxEVT_KEY_DOWN, [h](wxKeyEvent& e) { OnKeyEvent(h, e, WM_KEYDOWN); });
    pWx->Bind(wxEVT_KEY_UP, [h](wxKeyEvent& e) { OnKeyEvent(h, e, WM_KEYUP); });
    pWx->Bind(wxEVT_CHAR, [h](wxKeyEvent& e) { OnKeyEvent(h, e, WM_CHAR); });
    pWx->Bind(wxEVT_SET_FOCUS, [h](wxFocusEvent& e) {
        e.Skip();
        WndRecord* p = LiveRec(h);
        if (!p)
            return;
        wxWindow* pOther = e.GetWindow();
        HWND hOther = pOther ? HandleOfWx(pOther) : nullptr;
        DispatchToWindow(h, WM_SETFOCUS, (WPARAM)hOther, 0);
        if ((p = LiveRec(h)))
            p->pClass->OnFocus(p, true);
    });
    pWx->Bind(wxEVT_KILL_FOCUS, [h](wxFocusEvent& e) {
        e.Skip();
        WndRecord* p = LiveRec(h);
        if (!p)
            return;
        HWND hOther = e.GetWindow() ? HandleOfWx(e.GetWindow()) : nullptr;
        DispatchToWindow(h, WM_KILLFOCUS, (WPARAM)hOther, 0);
        if ((p = LiveRec(h)))
            p->pClass->OnFocus(p, false);
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
        GetClientOriginOf(LiveRec(h), &pt);
        DispatchToWindow(h, WM_MOVE, 0, MAKELPARAM(pt.x, pt.y));
    });
    pRec->pClass->BindEvents(pRec, pWx);
}
