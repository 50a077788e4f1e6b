// CWnd: a window of the framework on top of a wx widget.
//
// Handles. An HWND names a window record (WndRecord.h) by its slot and the slot's generation: it is
// valid from creation until WM_NCDESTROY, the record is freed after that, and a handle of a gone
// window never names a later one (IsWindow() is false for it, calls on it fail). A record either
// belongs to one of our windows (a CWnd and its wx widget) or stands for a top-level X11 window of
// another process (a "foreign" handle, made by AfxHandleFromX11Window for the X11 layer's
// EnumWindows, FindWindow and the like). CWnd::GetX11Window / AfxGetX11Window give the X11 window
// id of either kind (0 for child windows and windows not yet realised). SendMessage/PostMessage,
// SetForegroundWindow and IsWindow on a foreign handle call the X11 layer (X11Window.h).
//
// Threads. Windows live on the GUI thread. Window calls made on another thread (SendMessage,
// SetWindowText, ShowWindow, SetTimer, ...) are marshalled to the GUI thread and waited for;
// PostMessage, Invalidate and the like only queue. Marshalled calls are served while the GUI thread
// runs any message loop, modal ones included.
//
// Painting. WM_PAINT is sent from the wx paint event; during it GetPaintContext() gives the wx
// device context of that paint (NULL otherwise), which the drawing layer's CPaintDC draws on.
// Static controls and dialogs ask their parent for colours with WM_CTLCOLOR*: wParam is an HDC of
// the drawing layer (a scratch memory DC whose text colour and background mode are read back),
// lParam the control's HWND; the handler gets CDC::FromHandle(wParam).
#pragma once

#include "CCmdTarget.h"
#include "CString.h"
#include "CWndHandle.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

class wxWindow;
class wxDC;

class CWnd;
class CFont;
class CDC;

// X11 window id of a handle (ours or foreign), 0 when there is none.
unsigned long AfxGetX11Window(HWND hWnd);
// The handle of an X11 top-level window: our own window's handle when it is one of ours, else a
// foreign handle that stays the same for the same id for the life of the process.
HWND AfxHandleFromX11Window(unsigned long xid);
BOOL AfxIsForeignWindow(HWND hWnd);
// The wx widget that shows one of our windows (NULL for foreign or dead handles). Statics and
// progress bars have no widget of their own: they are drawn on their parent's, at the offset
// AfxGetWxWindowOffset gives (0, 0 for the others).
wxWindow* AfxGetWxWindow(HWND hWnd);
BOOL AfxGetWxWindowOffset(HWND hWnd, int* pdx, int* pdy);
// The wx context of the paint being handled for the window, NULL outside WM_PAINT. Its origin is
// the window's client top-left and it is clipped to the window.
wxDC* AfxGetPaintContext(HWND hWnd);
// TRUE on the GUI thread (the thread that runs AfxWinMain).
BOOL AfxIsGuiThread();
// Runs the call on the GUI thread and waits for it (a direct call on the GUI thread itself).
void AfxRunOnGuiThread(void (*pfn)(void*), void* pParam);
// Waits until pfnDone(pParam) answers TRUE or the time is up, serving marshalled calls and
// window events meanwhile when called on the GUI thread. TRUE when done. The wait blocks: the
// condition is looked at again after each turn of the GUI thread's events, when a window is made
// or destroyed, when a framework thread ends, and when AfxWakeWaiters is called; a condition that
// another thread changes outside of those is announced with AfxWakeWaiters.
BOOL AfxWaitUntil(BOOL (*pfnDone)(void*), void* pParam, DWORD dwTimeout);
void AfxWakeWaiters();

class CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    CWndHandle m_hWnd;  // set on the GUI thread, read on any

    // Insert-after markers of SetWindowPos (their m_hWnd is HWND_TOP, HWND_TOPMOST, ...).
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // Creation. lpszClassName names a registered window class ("Edit", "Button", "Static",
    // "msctls_progress32", "#32770", a class of RegisterClassEx, ...; see WndClass.h); NULL or an
    // unknown name makes a plain child window, or a frame for a top-level window (no WS_CHILD).
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL DestroyWindow();

    // Binds this object to an existing window (a dialog's control). The window's messages then go
    // through this object's message map first.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    BOOL Attach(HWND hWnd);
    HWND Detach();
    virtual void PreSubclassWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // The permanent object of one of our windows, or a temporary CWnd for a window no object
    // owns (kept until the window is destroyed); NULL for NULL.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    unsigned long GetX11Window() const;
    wxWindow* GetWxWindow() const;
    wxDC* GetPaintContext() const;

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Default();  // the default processing of the message being handled
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification the parent reflects back: TRUE when this control handled it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Called after WM_NCDESTROY; windows that own their object delete it here.
    virtual void PostNcDestroy();
    // The message being handled on this thread (for Default and GetCurrentMessage).
    static const MSG* GetCurrentMessage();

    // Text (GBK).
    void SetWindowText(LPCSTR lpszString);
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;

    // Children.
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);
    void SetDlgItemText(int nID, LPCSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    int GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const;
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd);
    CWnd* GetTopLevelParent() const;
    CWnd* GetParentFrame() const;
    BOOL IsChild(const CWnd* pWnd) const;

    // State and placement.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    BOOL SetForegroundWindow();
    void BringWindowToTop();
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    static CWnd* GetForegroundWindow();
    static CWnd* GetActiveWindow();

    // Styles (GetStyle / GetExStyle bits as given at creation and changed since).
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    // Focus and capture.
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();

    // Font and icon.
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;

    // Painting. GetDC's drawing reaches the window when the DC is released (ReleaseDC).
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    // Timers: WM_TIMER with the id, on the GUI thread; callable from any thread.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Data exchange (CDialog and form windows).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(class CDataExchange* pDX);

    // Default handlers that derived classes call as the base behaviour.
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    // The last message of a window: the application's main window going ends its message loop.
    // A class that handles WM_NCDESTROY itself calls this one.
    afx_msg void OnNcDestroy();
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnParentNotify(UINT message, LPARAM lParam);
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
    explicit CWnd(HWND hWndMarker);

    // The widget of this object's window; the default asks the window's class (WndClass.h). A
    // kind of window belongs in a window class: this hook serves objects that still build their
    // widget themselves.
    virtual wxWindow* CreateWxWindow(const CREATESTRUCT& cs, wxWindow* pParent);

    friend struct WndRecord;
    friend HWND CreateWindowRecord(CWnd* pWnd, CREATESTRUCT& cs);
    friend class CWndDispatch;
};

// A window's object for a handle, a shortcut used by the client's callbacks.
inline CWnd* AfxWndFromHandle(HWND hWnd) { return CWnd::FromHandle(hWnd); }

PARVEL_UI_END_EXPORTS
