// The base of top-level window classes (frames, dialogs, later the MDI frame): a wx frame widget
// with the window's caption and border styles, WM_CLOSE from the window manager's close button,
// WM_ACTIVATE, and the title as the window text. A child window of such a class (WS_CHILD) is made
// as a plain child window instead.
#pragma once

#include "WndClass.h"

class wxFrame;

class PARVEL_UI_API CTopLevelWndClass : public CWndClass
{
public:
    using CWndClass::CWndClass;
    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override;
    void BindEvents(WndRecord* p, wxWindow* pWx) const override;
    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override;
    bool IsTopLevel() const override { return true; }
    const CWndClass* ClassFor(const CREATESTRUCT& cs) const override;

    // The wx frame for a top-level window of these styles (extra wx styles added).
    static wxFrame* NewFrameWidget(const CREATESTRUCT& cs, long lExtraStyle = 0);
    // wx frame styles of WS_* / WS_EX_* styles.
    static long FrameStyleOf(DWORD dwStyle, DWORD dwExStyle);
    // A sizable window's tracking limits (WM_GETMINMAXINFO) applied to a size it is given, and
    // handed to the widget for the window manager's sizing.
    static void ConstrainSize(WndRecord* p, wxSize& size);
};
