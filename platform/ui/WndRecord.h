// Inside the windowing layer: the record an HWND points to, and the helpers the layer's sources
// share. Not for the program.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <wx/font.h>
#include <wx/timer.h>
#include <wx/bitmap.h>
#include <wx/string.h>
#include "CWnd.h"

// What widget stands behind a window; it decides the default processing of messages.
enum WndKind
{
    WK_PLAIN,     // a drawn child window
    WK_FRAME,     // top-level frame
    WK_DIALOG,    // top-level dialog
    WK_EDIT,
    WK_BUTTON,    // push button
    WK_CHECK,     // check box / radio button
    WK_STATIC,
    WK_PROGRESS,
    WK_FOREIGN,   // a top-level window of another process
};

struct WndRecord
{
    // A record is never freed, so a stale handle is only ever a dead record (IsWindow false).
    bool bAlive = true;
    bool bDestroying = false;
    WndKind kind = WK_PLAIN;
    CWnd* pWnd = nullptr;           // the object whose WindowProc handles the messages
    bool bTempWnd = false;          // pWnd was made by FromHandle and is deleted with the window
    wxWindow* pWx = nullptr;        // NULL for windowless controls (bLight)
    // Statics and progress bars are windowless: their parent's widget shows them, drawn in its
    // paint after the parent's own WM_PAINT, so native controls stay above them.
    bool bLight = false;
    // The widget paints itself (a wx control drawn by wx): no WM_PAINT is made of its paint.
    bool bNativePaint = false;
    RECT rcLight{};                 // in the parent's client coordinates
    bool bLightVisible = false;
    std::unique_ptr<wxFont> pFont;
    unsigned long xidForeign = 0;
    HWND hParent = nullptr;
    HWND hOwner = nullptr;
    std::vector<HWND> children;     // in creation (= tab) order
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    int nID = 0;
    std::string strClass;
    HFONT hFont = nullptr;
    HICON hIcon[2] = {nullptr, nullptr};
    wxDC* pPaintDC = nullptr;       // during WM_PAINT
    std::map<UINT_PTR, std::unique_ptr<wxTimer>> timers;
    LONG_PTR userData = 0;
    HCURSOR hCursor = nullptr;      // cursor set while the mouse is over the window
    bool bMouseInside = false;

    // Control state.
    std::string strText;            // GBK text of drawn windows (statics, plain windows, progress)
    unsigned char chLeadByte = 0;   // edit: first byte of a two-byte character sent by WM_CHAR
    UINT nLimitText = 0;
    int nCheck = 0;
    int nProgLower = 0, nProgUpper = 100, nProgPos = 0, nProgStep = 10;
    COLORREF clrBar = 0xFF000000u, clrProgBk = 0xFF000000u;
    HBITMAP hBitmap = nullptr;      // SS_BITMAP static
    std::unique_ptr<wxBitmap> pBitmapCache;
    HBITMAP hBitmapCached = nullptr;
    UINT nDefID = 0;                // dialog's default button

    // Top-level state kept by ShowWindow when no window manager does it.
    bool bIconicNoManager = false;
    bool bZoomedNoManager = false;
    RECT rcBeforeZoom{};            // screen rectangle to restore from a maximised window

    HWND Handle() { return reinterpret_cast<HWND>(this); }
};

inline WndRecord* Rec(HWND h) { return reinterpret_cast<WndRecord*>(h); }
// The live record of a handle, or NULL (handles are checked against the registry).
WndRecord* LiveRec(HWND h);
HWND RegisterRecord(WndRecord* pRec);
void ForEachTopLevel(const std::function<void(HWND)>& fn);

// Runs fn on the GUI thread; waits for it when bWait.
void RunOnGui(std::function<void()> fn, bool bWait = true);
template <class R>
R CallOnGui(const std::function<R()>& fn)
{
    R r{};
    RunOnGui([&] { r = fn(); });
    return r;
}
void ServeGuiCalls();

// Sends the message straight to the window's procedure (GUI thread).
LRESULT DispatchToWindow(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);

// Makes the wx widget of a window and ties its events to messages.
wxWindow* CreateWidget(WndRecord* pRec, const CREATESTRUCT& cs, wxWindow* pParent);
void BindWidgetEvents(WndRecord* pRec, wxWindow* pWx);
void UnbindWidget(WndRecord* pRec);
LRESULT DefaultWindowProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
void DestroyWindowTree(HWND h);

// Text conversions at the wx edge.
wxString WxFromGbk(const char* psz);
wxString WxFromGbk(const std::string& s);
std::string GbkFromWx(const wxString& s);

// Window rectangles in screen pixels and client origins.
void GetScreenRectOf(WndRecord* pRec, RECT* prc);
void GetClientOriginOf(WndRecord* pRec, POINT* ppt);

// Static and progress painting, and the parent's colours for a control.
void PaintStatic(WndRecord* pRec, wxDC& dc);
void PaintProgress(WndRecord* pRec, wxDC& dc);
struct CtlColors
{
    bool bHollow = false;          // hollow brush: the parent shows through
    bool bTransparentText = false; // background mode TRANSPARENT
    unsigned long clrText = 0;
    unsigned long clrBack = 0;
    bool bHaveBrush = false;
    unsigned long clrBrush = 0;
};
CtlColors AskCtlColors(WndRecord* pRec, UINT msg);
// The wx window that shows a window and where its client area starts in it.
wxWindow* HostOf(WndRecord* pRec, int* pdx = nullptr, int* pdy = nullptr);
void RefreshWindow(WndRecord* pRec);
void SetCursorWindow(HWND hWnd);

// Message boxes and dialog units need the dialog font.
wxFont FontOfRecord(WndRecord* pRec);
wxFont WxFontFromHandle(HFONT hFont);
