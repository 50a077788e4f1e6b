// Buttons of a CMFCToolBar: a command with an image index (in the bar's user images when
// m_bUserButton) and a text; separators have the command id 0 and TBBS_SEPARATOR. A menu
// button stands for a menu item when the frame is asked to draw its picture.
#pragma once

#include "CObject.h"
#include "CString.h"
#include "CRect.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define TBBS_BUTTON 0x0000
#define TBBS_SEPARATOR 0x0001
#define TBBS_CHECKBOX 0x0002
#define TBBS_CHECKED 0x0100
#define TBBS_INDETERMINATE 0x0200
#define TBBS_DISABLED 0x0400
#define TBBS_PRESSED 0x0800

class CMFCToolBar;
class CMFCToolBarImages;
class CDC;
class wxWindow;

class CMFCToolBarButton : public CObject
{
    DECLARE_DYNCREATE(CMFCToolBarButton)
public:
    CMFCToolBarButton();
    CMFCToolBarButton(UINT uiID, int iImage, LPCSTR lpszText = nullptr, BOOL bUserButton = FALSE, BOOL bLocked = FALSE);
    ~CMFCToolBarButton() override;

    UINT m_nID;
    UINT m_nStyle;
    CString m_strText;
    BOOL m_bUserButton;
    BOOL m_bLocked;
    BOOL m_bText;   // the text shows beside the image
    BOOL m_bImage;

    int GetImage() const { return m_iImage; }
    void SetImage(int iImage) { m_iImage = iImage; }
    BOOL IsSeparator() const { return (m_nStyle & TBBS_SEPARATOR) != 0; }
    // A copy of this button for a bar (buttons are inserted by copy, as the framework does).
    virtual CMFCToolBarButton* Clone() const { return new CMFCToolBarButton(*this); }
    // Buttons that hold a control make it here, as a child of the bar's wx window; NULL for
    // plain buttons.
    virtual wxWindow* CreateControl(CMFCToolBar* pBar, wxWindow* pParent) { return nullptr; }
    // Drawing of the button on the bar. A button holding a control is called right after its
    // control has drawn itself, while a window DC of the control (GetDC) draws over that paint.
    virtual void OnDraw(CDC* pDC, const CRect& rect, CMFCToolBarImages* pImages, BOOL bHorz = TRUE,
                        BOOL bCustomizeMode = FALSE, BOOL bHighlight = FALSE, BOOL bDrawBorder = TRUE,
                        BOOL bGrayDisabledButtons = TRUE)
    {
    }
    // A notification of the button's control (EN_SETFOCUS, EN_KILLFOCUS, ...); TRUE when handled.
    virtual BOOL NotifyCommand(int iNotifyCode) { return FALSE; }
    CMFCToolBarButton(const CMFCToolBarButton&) = default;

protected:
    int m_iImage;
};

class CMFCToolBarMenuButton : public CMFCToolBarButton
{
public:
    CMFCToolBarMenuButton() = default;
    CMFCToolBarMenuButton(UINT uiID, int iImage, LPCSTR lpszText) : CMFCToolBarButton(uiID, iImage, lpszText) {}
    CMFCToolBarButton* Clone() const override { return new CMFCToolBarMenuButton(*this); }
};

PARVEL_UI_END_EXPORTS
