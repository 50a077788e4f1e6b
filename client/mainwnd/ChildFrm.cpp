#include "ChildFrm.h"

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWndEx)

BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWndEx)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CChildFrame::CChildFrame() {}

CChildFrame::~CChildFrame() {}

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CMDIChildWndEx::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~(LONG)WS_SYSMENU;
    return TRUE;
}

void CChildFrame::OnClose()
{
    // The frame's close: the last frame of a page closes its document (the last-page rule).
    CMDIChildWndEx::OnClose();
}
