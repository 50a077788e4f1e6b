// A window class written only for the tests, to show what a new kind of window takes: this file
// pair and one registration. A dial keeps a value 0..100, paints itself in its colour and tells its
// parent DLN_CHANGED when the value moves.
#pragma once

#include "CWnd.h"

#define TESTDIAL_CLASS "ParvelTestDial"
#define DLM_SETVALUE (WM_USER + 1)  // wParam: the new value; returns the old one
#define DLM_GETVALUE (WM_USER + 2)
#define DLN_CHANGED 0x0301

class CTestDial : public CWnd
{
    DECLARE_DYNAMIC(CTestDial)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int SetValue(int nValue) { return (int)SendMessage(DLM_SETVALUE, (WPARAM)nValue); }
    int GetValue() { return (int)SendMessage(DLM_GETVALUE); }
};
