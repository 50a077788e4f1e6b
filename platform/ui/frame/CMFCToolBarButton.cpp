// Toolbar buttons as data; the bar shows them.
#include "CMFCToolBarButton.h"

IMPLEMENT_DYNCREATE(CMFCToolBarButton, CObject)

CMFCToolBarButton::CMFCToolBarButton()
    : m_nID(0), m_nStyle(TBBS_BUTTON), m_bUserButton(FALSE), m_bLocked(FALSE), m_bText(FALSE), m_bImage(TRUE), m_iImage(-1)
{
}

CMFCToolBarButton::CMFCToolBarButton(UINT uiID, int iImage, LPCSTR lpszText, BOOL bUserButton, BOOL bLocked)
    : m_nID(uiID), m_nStyle(uiID == 0 ? TBBS_SEPARATOR : TBBS_BUTTON), m_strText(lpszText ? lpszText : ""),
      m_bUserButton(bUserButton), m_bLocked(bLocked), m_bText(FALSE), m_bImage(TRUE), m_iImage(iImage)
{
}

CMFCToolBarButton::~CMFCToolBarButton() {}
