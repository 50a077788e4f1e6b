// CMFCToolBar: a bar of command buttons docked on the frame's top edge. Buttons come from a
// toolbar resource (LoadToolBar) or are inserted one by one; user buttons take their pictures
// from the image list given to SetUserImages. Buttons holding a control (the edit box) make their
// control as a child of the bar. A click sends WM_COMMAND to the owner frame; the buttons'
// enabling and checks follow the frame's update handlers at idle time (WM_IDLEUPDATECMDUI).
#pragma once

#include <memory>
#include <vector>
#include "CBasePane.h"
#include "CMFCToolBarButton.h"
#include "CMFCToolBarImages.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_SEP 0x0001
#define TBSTYLE_CHECK 0x0002
#define TBSTYLE_TOOLTIPS 0x0100
#define TBSTYLE_WRAPABLE 0x0200
#define TBSTYLE_FLAT 0x0800
#define TBSTYLE_LIST 0x1000

#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCE(241)
#endif

// A toolbar resource: image size and the commands in order (0 for a separator). Its pictures are
// the bitmap resource of the same id, one image per command, left to right. Register with
// CResourceRegistry::AddData(id, RT_TOOLBAR, &tpl, sizeof tpl).
struct TOOLBAR_TEMPLATE_DATA
{
    int cxImage;
    int cyImage;
    const UINT* pIDs;
    int nIDs;
};

class wxToolBar;

// The picture of each command as the loaded toolbars give it.
class CCommandManager
{
public:
    int GetCmdImage(UINT uiCmd, BOOL bUserImage = FALSE) const;
    void SetCmdImage(UINT uiCmd, int iImage, BOOL bUserImage);
};
CCommandManager* GetCmdMgr();

class CMFCToolBar : public CBasePane
{
    DECLARE_DYNAMIC(CMFCToolBar)
public:
    CMFCToolBar();
    ~CMFCToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect rcBorders = CRect(1, 1, 1, 1), UINT nID = AFX_IDW_TOOLBAR);
    BOOL LoadToolBar(UINT uiResID, UINT uiColdResID = 0, UINT uiMenuResID = 0, BOOL bLocked = FALSE,
                     UINT uiDisabledResID = 0, UINT uiMenuDisabledResID = 0, UINT uiHotResID = 0);

    // Inserts a copy of the button (at the end for -1); the index, or -1.
    int InsertButton(const CMFCToolBarButton& button, INT_PTR iInsertAt = -1);
    int InsertSeparator(INT_PTR iInsertAt = -1);
    BOOL RemoveButton(int iIndex);
    void RemoveAllButtons();
    int GetCount() const { return (int)m_buttons.size(); }
    CMFCToolBarButton* GetButton(int iIndex) const;
    int CommandToIndex(UINT nIDFind, int iIndexFirst = 0) const;
    UINT GetItemID(int nIndex) const;
    BOOL SetButtonText(int nIndex, LPCSTR lpszText);
    CString GetButtonText(int nIndex) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    // The button's rectangle in the bar's client coordinates.
    void GetItemRect(int nIndex, LPRECT lpRect) const;

    // Sizes and pictures of the bars made from now on (user images for user buttons).
    static void SetSizes(SIZE sizeButton, SIZE sizeImage);
    static CSize GetButtonSize() { return s_sizeButton; }
    static CSize GetImageSize() { return s_sizeImage; }
    static BOOL SetUserImages(CMFCToolBarImages* pUserImages);
    static CMFCToolBarImages* GetUserImages() { return s_pUserImages; }

    void EnableCustomizeButton(BOOL bEnable, int iCustomizeCmd, const CString& strCustomizeText,
                               BOOL bQuickCustomize = TRUE);

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void AdjustLayout() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Inside the framework: the wx bar.
    wxToolBar* GetWxToolBar() const;

protected:
    void Rebuild();

    std::vector<std::unique_ptr<CMFCToolBarButton>> m_buttons;
    CMFCToolBarImages m_images;  // pictures of the loaded resource
    DWORD m_dwCtrlStyle;
    CSize m_sizeBuilt;  // the picture size the bar was last laid out with
    BOOL m_bCustomizeButton;
    int m_iCustomizeCmd;
    CString m_strCustomizeText;

    static CSize s_sizeButton;
    static CSize s_sizeImage;
    static CMFCToolBarImages* s_pUserImages;
};

// A toolbar button holding an edit box; CreateEdit makes the edit window (a derived class may
// make its own edit class), as a child of the bar.
class CEdit;
class CMFCToolBarEditBoxButton : public CMFCToolBarButton
{
public:
    CMFCToolBarEditBoxButton();
    CMFCToolBarEditBoxButton(UINT uiID, int iImage, DWORD dwStyle = ES_AUTOHSCROLL, int iWidth = 0);
    ~CMFCToolBarEditBoxButton() override;
    CMFCToolBarButton* Clone() const override;

    virtual CEdit* CreateEdit(CWnd* pWndParent, const CRect& rect);
    CEdit* GetEditBox() const { return m_pWndEdit; }
    wxWindow* CreateControl(CMFCToolBar* pBar, wxWindow* pParent) override;
    void SetContents(const CString& strContents);
    CString GetContents() const;

    DWORD m_dwStyle;
    int m_iWidth;

protected:
    CEdit* m_pWndEdit;
    // A copy takes the original's settings, not its edit window.
    CMFCToolBarEditBoxButton(const CMFCToolBarEditBoxButton& src);
    CMFCToolBarEditBoxButton& operator=(const CMFCToolBarEditBoxButton&) = delete;
    friend class CMFCToolBar;
};

PARVEL_UI_END_EXPORTS
