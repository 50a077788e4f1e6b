// Window classes: every kind of window (edit, button, dialog, frame, HTML view, a class a program
// registers with RegisterClassEx, ...) is one class object registered under its class name. The
// core (handles, queue and dispatch, timers, focus, placement) knows no kind of window by name: it
// asks the window's class.
//
// Adding a kind of window is one .h/.cpp pair:
//
//   MyCtrl.h    the framework object:   class CMyCtrl : public CWnd { ... BOOL Create(...); };
//               whose Create calls CWnd::CreateEx(dwExStyle, "MyCtrl", text, style, rect, parent, id).
//   MyCtrl.cpp  the window class, in an unnamed namespace, registered once:
//
//       struct CMyCtrlState : CWndState { int nValue = 0; };   // the window's own state
//
//       class CMyCtrlClass : public CWndClass
//       {
//       public:
//           CMyCtrlClass() : CWndClass("MyCtrl") {}            // name, matched without regard to case
//           std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override
//           { return std::make_unique<CMyCtrlState>(); }
//           wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
//           { return new wxSomething(pParent, wxID_ANY, WxPos(cs), WxSize(cs)); }
//           void BindEvents(WndRecord* p, wxWindow* pWx) const override
//           { HWND h = p->Handle(); pWx->Bind(wxEVT_X, [h](wxCommandEvent&) { NotifyParent(h, MYN_CHANGED); }); }
//           LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
//           {
//               if (msg == MYM_GETVALUE) return StateOf<CMyCtrlState>(p)->nValue;
//               return CWndClass::DefProc(p, msg, wParam, lParam);   // what every window does
//           }
//           CWnd* NewObject() const override { return new CMyCtrl; }
//       };
//       PARVEL_REGISTER_WNDCLASS(CMyCtrlClass);
//
// What a class supplies (all optional but the name):
//   - NewState: the window's own state, kept by the record (WndRecord::pState) and freed with it;
//     StateOf<T>(pRec) reads it back. WndRecord itself holds only what every window has.
//   - CreateWidget: the wx widget behind the window, made on the GUI thread with the parent's
//     widget (NULL for a top-level window). A window drawn on its parent's widget instead (a
//     "windowless" control: statics, progress bars) calls MakeWindowless(p, cs) and returns NULL;
//     its parent's paint then sends it WM_PAINT clipped to its rectangle.
//   - BindEvents / UnbindEvents: wx or GTK signals of the widget turned into messages, beyond the
//     ones the core binds for every window (paint unless IsNative, mouse, keys, focus, size, move).
//     Send with DispatchToWindow, or NotifyParent for WM_COMMAND notifications.
//   - DefProc: the class's default processing (what DefWindowProc does for this class). Messages it
//     does not know go to CWndClass::DefProc, the default every window shares (text, font, icon,
//     colours, cursor, close, timers, system commands, context menu to the parent).
//   - Paint: drawing for WM_PAINT's default on the paint context, origin at the client top-left.
//     PaintsOwnBackground: TRUE when Paint covers the background itself (no erase before it).
//   - IsNative: the widget draws itself and handles its own input (a GTK control); the core then
//     binds no paint and lets unhandled mouse input through to the widget.
//   - HasNativeCursor: the widget keeps its own pointer (a text field's I-beam).
//   - HitTest: WM_NCHITTEST's default; HTTRANSPARENT lets the mouse through to the parent.
//   - Character and dialog keys: HandlesCharItself (the class's DefProc inserts the character, so
//     the widget must not), WantsReturn (a focused window that keeps Enter from the dialog).
//   - ContextMenuOnPress: the widget opens its menu on the right-button press, not the release.
//   - StyleChanged: GWL_STYLE changed; the widget follows (password, read-only, ...).
//   - OnFocus: after WM_SETFOCUS/WM_KILLFOCUS (an edit tells its parent EN_SETFOCUS).
//   - ClassWndProc: the procedure of a class a program registered (RegisterClassEx); see
//     UserWndClass.cpp. Such classes are made by RegisterClassEx, not written as a pair.
//   - Kinds the core asks about: IsTopLevel (a frame-like window that takes WM_CLOSE/WM_ACTIVATE),
//     IsDialog (Escape/Enter are the dialog manager's), IsFrame (GetParentFrame stops there).
//   - NewObject: the object of the right C++ class (CEdit for "Edit") that FromHandle gives for a
//     window no object owns yet, such as a control made from a dialog template. DDX_Control and
//     SubclassWindow replace it with the program's own object.
//
// Threads: every call here runs on the GUI thread.
#pragma once

#include <memory>
#include <string>
#include "WndRecord.h"

// The state a class keeps per window.
struct CWndState
{
    virtual ~CWndState() = default;
};

template <class T>
T* StateOf(WndRecord* p)
{
    return p ? static_cast<T*>(p->pState.get()) : nullptr;
}

class PARVEL_UI_API CWndClass
{
public:
    explicit CWndClass(const char* lpszName) : m_strName(lpszName) {}
    virtual ~CWndClass() = default;
    CWndClass(const CWndClass&) = delete;
    CWndClass& operator=(const CWndClass&) = delete;

    const std::string& Name() const { return m_strName; }

    virtual std::unique_ptr<CWndState> NewState(const CREATESTRUCT& cs) const;
    virtual wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const;
    virtual void BindEvents(WndRecord* p, wxWindow* pWx) const {}
    virtual void UnbindEvents(WndRecord* p) const {}
    virtual LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const;
    virtual void Paint(WndRecord* p, wxDC& dc) const {}
    virtual bool PaintsOwnBackground(WndRecord* p) const { return false; }
    virtual bool IsNative(WndRecord* p) const { return false; }
    virtual bool HasNativeCursor(WndRecord* p) const { return false; }
    virtual LRESULT HitTest(WndRecord* p) const;
    virtual bool HandlesCharItself(WndRecord* p, UINT ch) const { return false; }
    virtual bool WantsReturn(WndRecord* p) const { return false; }
    virtual bool ContextMenuOnPress(WndRecord* p) const { return false; }
    // Whether a second quick press arrives as WM_LBUTTONDBLCLK (CS_DBLCLKS), else as a press.
    virtual bool WantsDoubleClicks() const { return true; }
    virtual void StyleChanged(WndRecord* p, DWORD dwOldStyle) const {}
    virtual void OnFocus(WndRecord* p, bool bGained) const {}
    virtual bool IsTopLevel() const { return false; }
    virtual bool IsDialog() const { return false; }
    virtual bool IsFrame() const { return false; }
    virtual CWnd* NewObject() const;
    // The window procedure of a class registered with RegisterClass(Ex): windows of it that no
    // framework object owns get their messages there. NULL for the framework's classes.
    virtual WNDPROC ClassWndProc() const { return nullptr; }

    // The class a window of this name is made with. A top-level window (no WS_CHILD) of a child-only
    // class becomes a frame, as a plain top-level window does; the default answers this class.
    virtual const CWndClass* ClassFor(const CREATESTRUCT& cs) const { return this; }

private:
    std::string m_strName;
};

// The registry of window classes by name (case-insensitive), like the resource registry.
class PARVEL_UI_API CWndClassRegistry
{
public:
    // Registers a class object that lives as long as the process (a static registrar's).
    static void Add(const CWndClass* pClass);
    // Registers a class the registry owns (RegisterClassEx); replaces none. FALSE when taken.
    static BOOL AddOwned(std::unique_ptr<CWndClass> pClass);
    static BOOL Remove(const char* lpszName);
    // The class of the name, or NULL.
    static const CWndClass* Find(const char* lpszName);
    // The class a window is made with: the named class, else the plain child window or, for a
    // top-level window, the frame.
    static const CWndClass* Resolve(const CREATESTRUCT& cs);
    // The fallbacks: registered by the plain window and the frame classes.
    static void SetDefaultChild(const CWndClass* pClass);
    static void SetDefaultTopLevel(const CWndClass* pClass);
};

template <class T>
struct CWndClassRegistrar
{
    CWndClassRegistrar() { CWndClassRegistry::Add(&Instance()); }
    static T& Instance()
    {
        static T s_class;
        return s_class;
    }
};

#define PARVEL_REGISTER_WNDCLASS(T) static CWndClassRegistrar<T> s_registrar_##T

// Helpers for classes.
// Position and size of a CREATESTRUCT for a widget (CW_USEDEFAULT: wx's default position, 800x600).
PARVEL_UI_API wxPoint WxPos(const CREATESTRUCT& cs);
PARVEL_UI_API wxSize WxSize(const CREATESTRUCT& cs);
// A drawn child or top-level-less window (the plain window's widget): WM_PAINT paints it.
PARVEL_UI_API wxWindow* CreatePlainWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent,
                                          bool bFocusable = false);
// WM_GETTEXT / WM_GETTEXTLENGTH answered from a GBK text.
PARVEL_UI_API LRESULT CopyWindowText(const std::string& s, UINT msg, WPARAM wParam, LPARAM lParam);
// Makes the window windowless: drawn on its parent's widget at cs's rectangle.
PARVEL_UI_API void MakeWindowless(WndRecord* p, const CREATESTRUCT& cs);
// WM_COMMAND (nCode, the window's id, its handle) to the window's parent; FALSE when it has none.
PARVEL_UI_API BOOL NotifyParent(HWND h, UINT nCode);
// Gives an image static a bitmap it loaded from its dialog template: the static owns it and deletes
// it when the static goes, unless STM_SETIMAGE has handed it back to a caller.
void AdoptStaticBitmap(HWND hStatic, HBITMAP hBitmap);
// The wx event that became the message being handled asked for its widget's own processing.
PARVEL_UI_API bool IsFromEvent(HWND h, UINT msg);
PARVEL_UI_API bool MarkEventDefault(HWND h, UINT msg);
// Sends a message as the translation of a wx event: TRUE when the default processing ran, so the
// widget's own handling should too (event.Skip()).
PARVEL_UI_API bool DispatchEvent(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult = nullptr);
