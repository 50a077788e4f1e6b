// CChildFrame: the frame of one page tab, without a system menu of its own.
#pragma once

#include "CMDIChildWndEx.h"

class CChildFrame : public CMDIChildWndEx
{
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame();
    ~CChildFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()
};
