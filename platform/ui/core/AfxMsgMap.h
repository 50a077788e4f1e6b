// Message maps: each class lists the messages, commands and notifications it handles; a window
// procedure looks them up from the most derived class to its bases.
#pragma once

#include "WinUser.h"
#include "CRect.h"
#include <cstring>
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

#define afx_msg

class CCmdTarget;
class CWnd;
class CDC;
class CCmdUI;

typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CWnd::*AFX_PMSGW)();

// How the handler of an entry is called (the message "cracker").
enum AfxSig
{
    AfxSig_end = 0,
    AfxSig_v_v,          // void ()                                   commands, WM_PAINT, WM_DESTROY, WM_CLOSE
    AfxSig_b_v,          // BOOL ()                                   ON_CONTROL_REFLECT_EX
    AfxSig_v_u,          // void (UINT id)                            ON_COMMAND_RANGE
    AfxSig_cmdui,        // void (CCmdUI*)                            ON_UPDATE_COMMAND_UI
    AfxSig_v_up,         // void (UINT_PTR)                           WM_TIMER
    AfxSig_v_u_pt,       // void (UINT nFlags, CPoint)                mouse buttons and moves
    AfxSig_b_W_u_u,      // BOOL (CWnd*, UINT nHitTest, UINT msg)     WM_SETCURSOR
    AfxSig_h_D_W_u,      // HBRUSH (CDC*, CWnd*, UINT nCtlColor)      WM_CTLCOLOR*
    AfxSig_h_D_u,        // HBRUSH (CDC*, UINT nCtlColor)             reflected WM_CTLCOLOR
    AfxSig_v_u_u_u,      // void (UINT nChar, UINT nRepCnt, UINT nFlags)  WM_CHAR, WM_KEYDOWN, WM_KEYUP
    AfxSig_v_W_pt,       // void (CWnd*, CPoint)                      WM_CONTEXTMENU
    AfxSig_v_W,          // void (CWnd*)                              WM_SETFOCUS, WM_KILLFOCUS
    AfxSig_v_u_i_i,      // void (UINT nType, int cx, int cy)         WM_SIZE
    AfxSig_v_i_i,        // void (int x, int y)                       WM_MOVE
    AfxSig_i_pcs,        // int (LPCREATESTRUCT)                      WM_CREATE
    AfxSig_v_b_u,        // void (BOOL bShow, UINT nStatus)           WM_SHOWWINDOW
    AfxSig_b_D,          // BOOL (CDC*)                               WM_ERASEBKGND
    AfxSig_l_w_l,        // LRESULT (WPARAM, LPARAM)                  ON_MESSAGE, ON_REGISTERED_MESSAGE
    AfxSig_v_u_u,        // void (UINT nID, LPARAM)                   WM_SYSCOMMAND
    AfxSig_v_NMHDR_pl,   // void (NMHDR*, LRESULT*)                   ON_NOTIFY, ON_NOTIFY_REFLECT
    AfxSig_b_u_s_pt,     // BOOL (UINT nFlags, short zDelta, CPoint)  WM_MOUSEWHEEL
    AfxSig_l_pt,         // LRESULT (CPoint)                          WM_NCHITTEST
    AfxSig_v_mmi,        // void (MINMAXINFO*)                        WM_GETMINMAXINFO
    AfxSig_v_u_W_b,      // void (UINT nState, CWnd*, BOOL bMinimized) WM_ACTIVATE
};

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;   // WM_*, or WM_COMMAND / WM_NOTIFY (+ WM_REFLECT_BASE when reflected)
    UINT nCode;      // notification code of commands and notifications
    UINT nID;        // first control or command id (0 for window messages)
    UINT nLastID;    // last id of a range
    UINT_PTR nSig;   // AfxSig_*; for ON_REGISTERED_MESSAGE the address of the message number
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass*); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
        { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0 } }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

// Handlers are stored in one pointer type and called back through the type of their signature
// (AfxSig_*); the static_cast in each macro checks the signature at compile time.
template <class TClass, class TPmf>
inline void (TClass::*AfxPmfCast(TPmf pmf))()
{
    static_assert(sizeof(TPmf) == sizeof(void (TClass::*)()), "member pointer size");
    void (TClass::*r)();
    std::memcpy(&r, &pmf, sizeof r);
    return r;
}
template <class TPmf, class TClass>
inline TPmf AfxPmfUncast(void (TClass::*pmf)())
{
    TPmf r;
    std::memcpy(&r, &pmf, sizeof r);
    return r;
}
#define PARVEL_PMSGW(type, fn) ((AFX_PMSG)AfxPmfCast<CWnd>(static_cast<type>(fn)))
#define PARVEL_PMSG(type, fn) ((AFX_PMSG)AfxPmfCast<CCmdTarget>(static_cast<type>(fn)))

// Commands and control notifications (handlers may live in any command target). Handlers are
// named with their class: ON_BN_CLICKED(IDOK, &CMyDlg::OnBnClickedOk).
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_v_v, PARVEL_PMSG(void (CCmdTarget::*)(), memberFxn) },
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSig_v_u, \
      PARVEL_PMSG(void (CCmdTarget::*)(UINT), memberFxn) },
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    { WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), AfxSig_cmdui, \
      PARVEL_PMSG(void (CCmdTarget::*)(CCmdUI*), memberFxn) },
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast), AfxSig_cmdui, \
      PARVEL_PMSG(void (CCmdTarget::*)(CCmdUI*), memberFxn) },
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    { WM_COMMAND, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_v_v, \
      PARVEL_PMSG(void (CCmdTarget::*)(), memberFxn) },
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    { WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_v_NMHDR_pl, \
      PARVEL_PMSG(void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn) },

// Notifications the parent reflects back to the control that sent them.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    { WM_COMMAND + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_v_v, \
      PARVEL_PMSG(void (CCmdTarget::*)(), memberFxn) },
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    { WM_COMMAND + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_b_v, \
      PARVEL_PMSG(BOOL (CCmdTarget::*)(), memberFxn) },
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    { WM_NOTIFY + WM_REFLECT_BASE, (UINT)(wNotifyCode), 0, 0, AfxSig_v_NMHDR_pl, \
      PARVEL_PMSG(void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn) },
#define ON_WM_CTLCOLOR_REFLECT() \
    { WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0, 0, AfxSig_h_D_u, \
      PARVEL_PMSGW(HBRUSH (CWnd::*)(CDC*, UINT), &ThisClass::CtlColor) },

// User and registered messages.
#define ON_MESSAGE(message, memberFxn) \
    { (UINT)(message), 0, 0, 0, AfxSig_l_w_l, PARVEL_PMSGW(LRESULT (CWnd::*)(WPARAM, LPARAM), memberFxn) },
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    { 0xC000, 0, 0, 0, (UINT_PTR)(UINT*)(&nMessageVariable), \
      PARVEL_PMSGW(LRESULT (CWnd::*)(WPARAM, LPARAM), memberFxn) },

// Window messages with their crackers; the handler names are fixed, as in the framework.
#define ON_WM_CREATE() { WM_CREATE, 0, 0, 0, AfxSig_i_pcs, PARVEL_PMSGW(int (CWnd::*)(LPCREATESTRUCT), &ThisClass::OnCreate) },
#define ON_WM_DESTROY() { WM_DESTROY, 0, 0, 0, AfxSig_v_v, PARVEL_PMSGW(void (CWnd::*)(), &ThisClass::OnDestroy) },
#define ON_WM_NCDESTROY() { WM_NCDESTROY, 0, 0, 0, AfxSig_v_v, PARVEL_PMSGW(void (CWnd::*)(), &ThisClass::OnNcDestroy) },
#define ON_WM_CLOSE() { WM_CLOSE, 0, 0, 0, AfxSig_v_v, PARVEL_PMSGW(void (CWnd::*)(), &ThisClass::OnClose) },
#define ON_WM_PAINT() { WM_PAINT, 0, 0, 0, AfxSig_v_v, PARVEL_PMSGW(void (CWnd::*)(), &ThisClass::OnPaint) },
#define ON_WM_ERASEBKGND() { WM_ERASEBKGND, 0, 0, 0, AfxSig_b_D, PARVEL_PMSGW(BOOL (CWnd::*)(CDC*), &ThisClass::OnEraseBkgnd) },
#define ON_WM_TIMER() { WM_TIMER, 0, 0, 0, AfxSig_v_up, PARVEL_PMSGW(void (CWnd::*)(UINT_PTR), &ThisClass::OnTimer) },
#define ON_WM_SIZE() { WM_SIZE, 0, 0, 0, AfxSig_v_u_i_i, PARVEL_PMSGW(void (CWnd::*)(UINT, int, int), &ThisClass::OnSize) },
#define ON_WM_MOVE() { WM_MOVE, 0, 0, 0, AfxSig_v_i_i, PARVEL_PMSGW(void (CWnd::*)(int, int), &ThisClass::OnMove) },
#define ON_WM_SHOWWINDOW() { WM_SHOWWINDOW, 0, 0, 0, AfxSig_v_b_u, PARVEL_PMSGW(void (CWnd::*)(BOOL, UINT), &ThisClass::OnShowWindow) },
#define ON_WM_SETFOCUS() { WM_SETFOCUS, 0, 0, 0, AfxSig_v_W, PARVEL_PMSGW(void (CWnd::*)(CWnd*), &ThisClass::OnSetFocus) },
#define ON_WM_KILLFOCUS() { WM_KILLFOCUS, 0, 0, 0, AfxSig_v_W, PARVEL_PMSGW(void (CWnd::*)(CWnd*), &ThisClass::OnKillFocus) },
#define ON_WM_SETCURSOR() { WM_SETCURSOR, 0, 0, 0, AfxSig_b_W_u_u, PARVEL_PMSGW(BOOL (CWnd::*)(CWnd*, UINT, UINT), &ThisClass::OnSetCursor) },
#define ON_WM_CTLCOLOR() { WM_CTLCOLOR, 0, 0, 0, AfxSig_h_D_W_u, PARVEL_PMSGW(HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), &ThisClass::OnCtlColor) },
#define ON_WM_CHAR() { WM_CHAR, 0, 0, 0, AfxSig_v_u_u_u, PARVEL_PMSGW(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnChar) },
#define ON_WM_KEYDOWN() { WM_KEYDOWN, 0, 0, 0, AfxSig_v_u_u_u, PARVEL_PMSGW(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyDown) },
#define ON_WM_KEYUP() { WM_KEYUP, 0, 0, 0, AfxSig_v_u_u_u, PARVEL_PMSGW(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyUp) },
#define ON_WM_CONTEXTMENU() { WM_CONTEXTMENU, 0, 0, 0, AfxSig_v_W_pt, PARVEL_PMSGW(void (CWnd::*)(CWnd*, CPoint), &ThisClass::OnContextMenu) },
#define ON_WM_MOUSEMOVE() { WM_MOUSEMOVE, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMouseMove) },
#define ON_WM_LBUTTONDOWN() { WM_LBUTTONDOWN, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDown) },
#define ON_WM_LBUTTONUP() { WM_LBUTTONUP, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonUp) },
#define ON_WM_LBUTTONDBLCLK() { WM_LBUTTONDBLCLK, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDblClk) },
#define ON_WM_RBUTTONDOWN() { WM_RBUTTONDOWN, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDown) },
#define ON_WM_RBUTTONUP() { WM_RBUTTONUP, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonUp) },
#define ON_WM_MBUTTONDOWN() { WM_MBUTTONDOWN, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMButtonDown) },
#define ON_WM_MBUTTONUP() { WM_MBUTTONUP, 0, 0, 0, AfxSig_v_u_pt, PARVEL_PMSGW(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMButtonUp) },
#define ON_WM_MOUSEWHEEL() { WM_MOUSEWHEEL, 0, 0, 0, AfxSig_b_u_s_pt, PARVEL_PMSGW(BOOL (CWnd::*)(UINT, short, CPoint), &ThisClass::OnMouseWheel) },
#define ON_WM_NCHITTEST() { WM_NCHITTEST, 0, 0, 0, AfxSig_l_pt, PARVEL_PMSGW(LRESULT (CWnd::*)(CPoint), &ThisClass::OnNcHitTest) },
#define ON_WM_SYSCOMMAND() { WM_SYSCOMMAND, 0, 0, 0, AfxSig_v_u_u, PARVEL_PMSGW(void (CWnd::*)(UINT, LPARAM), &ThisClass::OnSysCommand) },
#define ON_WM_GETMINMAXINFO() { WM_GETMINMAXINFO, 0, 0, 0, AfxSig_v_mmi, PARVEL_PMSGW(void (CWnd::*)(MINMAXINFO*), &ThisClass::OnGetMinMaxInfo) },
#define ON_WM_PARENTNOTIFY() { WM_PARENTNOTIFY, 0, 0, 0, AfxSig_v_u_u, PARVEL_PMSGW(void (CWnd::*)(UINT, LPARAM), &ThisClass::OnParentNotify) },
#define ON_WM_ACTIVATE() { WM_ACTIVATE, 0, 0, 0, AfxSig_v_u_W_b, PARVEL_PMSGW(void (CWnd::*)(UINT, CWnd*, BOOL), &ThisClass::OnActivate) },

PARVEL_UI_END_EXPORTS
