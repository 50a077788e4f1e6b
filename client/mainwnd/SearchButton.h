// CSearchButton: the "查询" button of the search toolbar (command 105).
#pragma once

#include "CMFCToolBarButton.h"
#include "CMFCToolBar.h"
#include "resource.h"

class CSearchButton : public CMFCToolBarButton
{
    DECLARE_DYNCREATE(CSearchButton)
public:
    CSearchButton()
        : CMFCToolBarButton(ID_WAYBILL_QUERY, GetCmdMgr()->GetCmdImage(ID_WAYBILL_QUERY, FALSE), "查询", FALSE, FALSE)
    {
    }
    CMFCToolBarButton* Clone() const override { return new CSearchButton(*this); }
};
