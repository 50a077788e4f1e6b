// The plain window: a child window the framework draws through WM_PAINT (CWnd::Create with no
// class name or an unknown one). It takes the focus when made with WS_TABSTOP. Windows of a class
// a program registers are plain windows underneath (UserWndClass.cpp).
#pragma once

#include "WndClass.h"

class PARVEL_UI_API CPlainWndClass : public CWndClass
{
public:
    CPlainWndClass() : CWndClass("AfxWnd") {}
    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override;
};
