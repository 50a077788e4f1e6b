// Dialog data exchange: DoDataExchange moves values between members and controls.
#pragma once

#include "CString.h"
#include "WinTypes.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

class CWnd;

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CWnd* m_pDlgWnd;
    // The control's handle; a missing control is a programming error, reported and skipped.
    HWND PrepareCtrl(int nIDC);
    void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// Subclasses the control with the object the first time (the object then handles its messages).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

PARVEL_UI_END_EXPORTS
