// CSearchEditButton: the waybill number box of the search toolbar (command 104): a grey hint
// while it is empty, at most 13 characters.
#pragma once

#include "CMFCToolBar.h"
#include "CEdit.h"
#include "resource.h"

class CSearchEdit;

class CSearchEditButton : public CMFCToolBarEditBoxButton
{
    DECLARE_DYNCREATE(CSearchEditButton)
public:
    CSearchEditButton();
    CMFCToolBarButton* Clone() const override { return new CSearchEditButton(*this); }

    CEdit* CreateEdit(CWnd* pWndParent, const CRect& rect) override;
    void OnDraw(CDC* pDC, const CRect& rect, CMFCToolBarImages* pImages, BOOL bHorz = TRUE,
                BOOL bCustomizeMode = FALSE, BOOL bHighlight = FALSE, BOOL bDrawBorder = TRUE,
                BOOL bGrayDisabledButtons = TRUE) override;
    BOOL NotifyCommand(int iNotifyCode) override;
    // Whether a waybill box had the input focus last (shared by all of them).
    BOOL HasFocus() const;

    CSearchEdit* m_pSearchEdit;

protected:
    CSearchEditButton(const CSearchEditButton& src);
    void RepaintEdit();
};
