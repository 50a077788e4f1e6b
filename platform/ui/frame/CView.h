// CView: a child window of a frame that shows a document. The frame creates it from the create
// context (the view joins the context's document); WM_INITIALUPDATE calls OnInitialUpdate; the
// frame tells it when it becomes or stops being the active view. It deletes itself with its window.
#pragma once

#include "CWnd.h"
#include "CCreateContext.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CDocument;

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnInitialUpdate();
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnDraw(CDC* pDC) {}
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;
    // Commands the view does not handle go on to its document.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CDocument* m_pDocument;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
    friend class CDocument;
};

PARVEL_UI_END_EXPORTS
