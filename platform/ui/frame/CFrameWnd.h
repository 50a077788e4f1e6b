// CFrameWnd: a top-level frame window. Commands go to the frame, then to the application. The MDI
// frame of the main window derives from it later.
#pragma once

#include "CWnd.h"
#include "CCreateContext.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

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
    // Keys of the frame's accelerator table become its commands (LoadFrame loads the table of its
    // resource id when the program has one).
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL LoadAccelTable(LPCSTR lpszResourceName);
    HACCEL m_hAccelTable;
    void PostNcDestroy() override;  // frames delete themselves
    void SetMessageText(LPCSTR lpszText) {}

    // Document/view. A frame made with a create context (LoadFrame's pContext) makes its view
    // (id AFX_IDW_PANE_FIRST) in OnCreateClient; RecalcLayout lets that view fill the client area.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    CView* GetActiveView() const;
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    // The document of the active view (an MDI frame: of its active child's view).
    virtual CDocument* GetActiveDocument();
    // The frame whose view is active: the frame itself; an MDI frame answers its active child.
    virtual CFrameWnd* GetActiveFrame();
    // Sends the views their first update, makes the pane the active view and shows the frame.
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    // With FWS_ADDTOTITLE the caption is the active document's title.
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);

    static const CRect rectDefault;
    BOOL m_bAutoMenuEnable;

protected:
    UINT m_nIDHelp;
    CView* m_pViewActive;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    // WM_SETMESSAGESTRING: wParam a string id, or lParam the text, for the status bar's message pane.
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

PARVEL_UI_END_EXPORTS
