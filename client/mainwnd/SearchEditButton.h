// CSearchEditButton: the waybill number box of the search toolbar (command 104).
#pragma once

#include "CMFCToolBar.h"
#include "CEdit.h"
#include "resource.h"

class CSearchEditButton : public CMFCToolBarEditBoxButton
{
public:
    CSearchEditButton() : CMFCToolBarEditBoxButton(ID_WAYBILL_EDIT, GetCmdMgr()->GetCmdImage(ID_WAYBILL_EDIT, FALSE), 2) {}
    CMFCToolBarButton* Clone() const override { return new CSearchEditButton(*this); }

    // The box takes at most 13 characters.
    CEdit* CreateEdit(CWnd* pWndParent, const CRect& rect) override
    {
        auto* pEdit = new CEdit;
        if (!pEdit->Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, rect, pWndParent, ID_WAYBILL_EDIT))
        {
            delete pEdit;
            return nullptr;
        }
        pEdit->SendMessage(EM_LIMITTEXT, 13);
        return pEdit;
    }
};
