// CFrameWnd: a top-level frame window. Commands go to the frame, then to the application. The MDI
// frame of the main window derives from it later.
#pragma once

#include "CWnd.h"

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, LPVOID pContext = nullptr);
    // Title from string resource nIDResource (text up to the first '\n'), icon of the same id.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, LPVOID pContext = nullptr);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PostNcDestroy() override;  // frames delete themselves
    void SetMessageText(LPCSTR lpszText) {}

    static const CRect rectDefault;
    BOOL m_bAutoMenuEnable;

protected:
    UINT m_nIDHelp;
    wxWindow* CreateWxWindow(const CREATESTRUCT& cs, wxWindow* pParent) override;
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
