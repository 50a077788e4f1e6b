// CSearchEditButton: the waybill box and its hint.
#include "SearchEditButton.h"
#include "GdiDC.h"
#include "SearchEdit.h"

IMPLEMENT_DYNCREATE(CSearchEditButton, CMFCToolBarButton)

namespace
{
BOOL s_bSearchFocus = TRUE;
const char kHint[] = "请输入运单号";
const COLORREF kHintColor = RGB(201, 201, 201);
}  // namespace

CSearchEditButton::CSearchEditButton()
    : CMFCToolBarEditBoxButton(ID_WAYBILL_EDIT, GetCmdMgr()->GetCmdImage(ID_WAYBILL_EDIT, FALSE), 2), m_pSearchEdit(nullptr)
{
}

// A copy is made for the bar before any edit exists; it makes its own.
CSearchEditButton::CSearchEditButton(const CSearchEditButton& src) : CMFCToolBarEditBoxButton(src), m_pSearchEdit(nullptr) {}

CEdit* CSearchEditButton::CreateEdit(CWnd* pWndParent, const CRect& rect)
{
    auto* pEdit = new CSearchEdit;
    if (!pEdit->Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, rect, pWndParent, ID_WAYBILL_EDIT))
    {
        delete pEdit;
        return nullptr;
    }
    pEdit->SendMessage(EM_LIMITTEXT, 13);
    m_pSearchEdit = pEdit;
    return pEdit;
}

void CSearchEditButton::RepaintEdit()
{
    if (m_pSearchEdit && ::IsWindow(m_pSearchEdit->GetSafeHwnd()))
        m_pSearchEdit->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CSearchEditButton::OnDraw(CDC* pDC, const CRect& rect, CMFCToolBarImages* pImages, BOOL bHorz,
                               BOOL bCustomizeMode, BOOL bHighlight, BOOL bDrawBorder, BOOL bGrayDisabledButtons)
{
    CMFCToolBarEditBoxButton::OnDraw(pDC, rect, pImages, bHorz, bCustomizeMode, bHighlight, bDrawBorder,
                                     bGrayDisabledButtons);
    // The bar calls this right after the edit has painted itself, so the edit is not repainted
    // here: a repaint from inside its own paint would paint again without end.
    if (!m_pSearchEdit || !::IsWindow(m_pSearchEdit->GetSafeHwnd()))
        return;
    CString strText;
    m_pSearchEdit->GetWindowText(strText);
    if (!strText.IsEmpty())
        return;
    CDC* pEditDC = m_pSearchEdit->GetDC();
    if (!pEditDC)
        return;
    HFONT hFont = (HFONT)m_pSearchEdit->SendMessage(WM_GETFONT, 0, 0);
    HGDIOBJ hOldFont = hFont ? ::SelectObject(pEditDC->GetSafeHdc(), (HGDIOBJ)hFont) : nullptr;
    pEditDC->SetTextColor(kHintColor);
    pEditDC->SetBkMode(TRANSPARENT);
    CRect rcClient;
    m_pSearchEdit->GetClientRect(&rcClient);
    pEditDC->DrawText(kHint, -1, &rcClient, 0);
    if (hOldFont)
        ::SelectObject(pEditDC->GetSafeHdc(), hOldFont);
    m_pSearchEdit->ReleaseDC(pEditDC);
}

BOOL CSearchEditButton::NotifyCommand(int iNotifyCode)
{
    BOOL bResult = CMFCToolBarEditBoxButton::NotifyCommand(iNotifyCode);
    if (iNotifyCode == EN_SETFOCUS || iNotifyCode == EN_KILLFOCUS)
    {
        s_bSearchFocus = iNotifyCode == EN_SETFOCUS;
        RepaintEdit();
        return TRUE;
    }
    return bResult;
}

BOOL CSearchEditButton::HasFocus() const
{
    return s_bSearchFocus;
}
