// Inside the windowing layer: the record an HWND names, and the helpers the layer's sources
// share. Not for the program. A kind of window keeps its own state in its class's CWndState
// (WndClass.h); the record holds only what every window has.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <wx/font.h>
#include <wx/timer.h>
#include <wx/string.h>
#include <wx/gdicmn.h>
#include <wx/colour.h>
#include <wx/bitmap.h>
#include "UiExport.h"
#include "CWnd.h"

class CWndClass;
struct CWndState;

struct PARVEL_UI_API WndRecord
{
    WndRecord();
    ~WndRecord();
    WndRecord(const WndRecord&) = delete;
    WndRecord& operator=(const WndRecord&) = delete;

    HWND hSelf = nullptr;           // this record's handle
    bool bAlive = true;
    bool bDestroying = false;
    const CWndClass* pClass = nullptr;
    std::unique_ptr<CWndState> pState;  // the class's state of this window
    WNDPROC pfnWndProc = nullptr;   // the procedure of a RegisterClass window (no framework object)
    CWnd* pWnd = nullptr;           // the object whose WindowProc handles the messages
    bool bTempWnd = false;          // pWnd was made by FromHandle and is deleted with the window
    wxWindow* pWx = nullptr;        // NULL for windowless controls (bLight)
    // Windowless windows have no widget of their own: their parent's widget shows them, drawn in
    // its paint after the parent's own WM_PAINT, so native controls stay above them.
    bool bLight = false;
    RECT rcLight{};                 // in the parent's client coordinates
    bool bLightVisible = false;
    std::unique_ptr<wxFont> pFont;  // a template's font for a windowless control
    bool bForeign = false;          // a top-level window of another process
    unsigned long xidForeign = 0;
    HWND hParent = nullptr;
    HWND hOwner = nullptr;
    std::vector<HWND> children;     // in creation (= tab) order
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    int nID = 0;
    HFONT hFont = nullptr;
    HICON hIcon[2] = {nullptr, nullptr};
    wxDC* pPaintDC = nullptr;       // during WM_PAINT
    std::map<UINT_PTR, std::unique_ptr<wxTimer>> timers;
    LONG_PTR userData = 0;
    HCURSOR hCursor = nullptr;      // cursor set while the mouse is over the window
    std::string strText;            // GBK text of windows whose widget shows none

    // Top-level state kept by ShowWindow when no window manager does it.
    bool bIconicNoManager = false;
    bool bZoomedNoManager = false;
    RECT rcBeforeZoom{};            // screen rectangle to restore from a maximised window

    HWND Handle() const { return hSelf; }
};

// The live record of a handle, or NULL (stale and foreign-process handles are told apart).
PARVEL_UI_API WndRecord* LiveRec(HWND h);
// Whether the handle names a live window, and whether another process's (records made for
// those are never freed and never change kind): read under the table's lock, from any thread.
bool LiveHandle(HWND h, bool* pbForeign);
// Gives the record its handle and lists it.
HWND RegisterRecord(WndRecord* pRec);
// The window is gone: its handle names nothing from now on, and the record is freed after the
// event being handled.
void UnregisterRecordOf(WndRecord* pRec);
// Records that exist, live or waiting to be freed (the handle test watches it).
PARVEL_UI_API long AfxWindowRecordCount();
void ForEachTopLevel(const std::function<void(HWND)>& fn);

// Runs fn on the GUI thread; waits for it when bWait.
PARVEL_UI_API void RunOnGui(std::function<void()> fn, bool bWait = true);
template <class R>
R CallOnGui(const std::function<R()>& fn)
{
    R r{};
    RunOnGui([&] { r = fn(); });
    return r;
}
void ServeGuiCalls();
// A call made on another thread runs whole on the GUI thread, where windows change and records are
// freed: the records it looks up stay valid until it returns.
#define RUN_WHOLE_ON_GUI(call) \
    if (!AfxIsGuiThread()) \
        return CallOnGui<decltype(call)>([&] { return call; })
#define RUN_WHOLE_ON_GUI_VOID(call) \
    if (!AfxIsGuiThread()) \
        return RunOnGui([&] { call; })
// The GUI thread's queue ran empty: the application's and the user-interface threads' OnIdle, each
// round after round while it asks for more and pfnInputWaiting answers false.
void RunIdleStep(bool (*pfnInputWaiting)());

// Sends the message straight to the window's procedure (GUI thread).
PARVEL_UI_API LRESULT DispatchToWindow(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
// The default processing of the window's class (DefWindowProc on the GUI thread).
PARVEL_UI_API LRESULT DefaultWindowProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
// The default every window shares, below its class's (CWndClass::DefProc).
LRESULT CommonWindowProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam);
// The common events of a window's widget turned into messages, then the class's own.
void BindWidgetEvents(WndRecord* pRec, wxWindow* pWx);
void DestroyWindowTree(HWND h);
// The handle of the window a wx widget shows, NULL for none.
HWND HandleOfWx(wxWindow* pWx);

// Text conversions at the wx edge.
PARVEL_UI_API wxString WxFromGbk(const char* psz);
PARVEL_UI_API wxString WxFromGbk(const std::string& s);
PARVEL_UI_API std::string GbkFromWx(const wxString& s);

// Window rectangles in screen pixels and client origins.
void GetScreenRectOf(WndRecord* pRec, RECT* prc);
void GetClientOriginOf(WndRecord* pRec, POINT* ppt);

inline bool IsCtlColorMsg(UINT m)
{
    return m >= WM_CTLCOLORMSGBOX && m <= WM_CTLCOLORSTATIC;
}

// The parent's colours for a control (WM_CTLCOLOR*).
struct CtlColors
{
    bool bHollow = false;          // hollow brush: the parent shows through
    bool bTransparentText = false; // background mode TRANSPARENT
    unsigned long clrText = 0;
    unsigned long clrBack = 0;
    bool bHaveBrush = false;
    unsigned long clrBrush = 0;
};
PARVEL_UI_API CtlColors AskCtlColors(WndRecord* pRec, UINT msg);
// The wx window that shows a window and where its client area starts in it.
PARVEL_UI_API wxWindow* HostOf(WndRecord* pRec, int* pdx = nullptr, int* pdy = nullptr);
PARVEL_UI_API void RefreshWindow(WndRecord* pRec);
void SetCursorWindow(HWND hWnd);
void ApplyWindowIcon(WndRecord* p);
// A top-level widget's title in WM_NAME too (GTK writes only _NET_WM_NAME where the locale cannot
// convert the title): KeepWmName writes it whenever the widget is realised, PublishWmName now.
void KeepWmName(wxWindow* pTopLevel);
void PublishWmName(wxWindow* pTopLevel);

// Fonts: the window's font (its own, else its parent's), and a drawing-layer font for wx.
PARVEL_UI_API wxFont FontOfRecord(WndRecord* pRec);
PARVEL_UI_API wxFont WxFontFromHandle(HFONT hFont);
// The picture of an icon handle (LoadIcon), NULL for none.
PARVEL_UI_API const wxBitmap* WxBitmapOfIcon(HICON h);
PARVEL_UI_API wxColour WxColourOf(COLORREF c);

// Focus and capture state of the GUI thread.
HWND CaptureWindow();
void ForgetCapture(HWND h);
void SetLastActiveWindow(HWND h);
HWND LastActiveWindow();

// The modifiers held in the input event being turned into a message (GetKeyState answers them).
void SetInputModifiers(bool bShift, bool bControl, bool bAlt);
