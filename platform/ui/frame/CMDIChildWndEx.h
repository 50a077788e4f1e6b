// CMDIChildWndEx: one document tab of a CMDIFrameWndEx. The window is a page of the frame's tab
// control; its text is the tab's caption. Closing it (WM_CLOSE, the tab's close button) destroys
// it by default, which removes the tab.
#pragma once

#include "CFrameWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CMDIFrameWndEx;

#ifndef WM_MDIACTIVATE
// wParam: the child losing activation, lParam: the child gaining it (HWND).
#define WM_MDIACTIVATE 0x0222
#endif

class CMDIChildWndEx : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIChildWndEx)
public:
    CMDIChildWndEx();
    ~CMDIChildWndEx() override;

    // pParentWnd is the MDI frame (the application's main window when NULL).
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CMDIFrameWndEx* pParentWnd = nullptr, LPVOID pContext = nullptr);
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, LPVOID pContext = nullptr) override;
    // Shows the tab and makes it the active one.
    void ActivateFrame(int nCmdShow = -1) override;
    void MDIActivate();
    void MDIDestroy();
    CMDIFrameWndEx* GetMDIFrame() const;

    // Called when the tab becomes active or stops being active (after WM_MDIACTIVATE).
    virtual void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    CMDIFrameWndEx* m_pMDIFrame;
};

PARVEL_UI_END_EXPORTS
