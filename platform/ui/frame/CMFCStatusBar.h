// CMFCStatusBar: the frame's status bar: panes with text, a width (one may stretch), an optional
// icon drawn with a transparent colour, and a tip shown when the pointer rests on the pane.
// Indicator ids name the panes; an indicator's string resource is its first text.
#pragma once

#include <vector>
#include "CBasePane.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS 0x0100
#define SBPS_POPOUT 0x0200
#define SBPS_OWNERDRAW 0x1000
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000
#define ID_SEPARATOR 0
#define ID_INDICATOR_EXT 0xE700
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define SBARS_SIZEGRIP 0x0100
#define SBT_TOOLTIPS 0x0800

class wxStatusBar;

class CMFCStatusBar : public CBasePane
{
    DECLARE_DYNAMIC(CMFCStatusBar)
public:
    CMFCStatusBar();
    ~CMFCStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = AFX_IDW_STATUS_BAR);
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return (int)m_panes.size(); }
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    void SetPaneWidth(int nIndex, int cx);
    int GetPaneWidth(int nIndex) const;
    // The icon of the pane (a copy of the bitmap; the colour clrTransparent is left out).
    void SetPaneIcon(int nIndex, HBITMAP hBmp, COLORREF clrTransparent = RGB(255, 0, 255), BOOL bUpdate = TRUE);
    void SetTipText(int nIndex, LPCSTR pszTipText);
    CString GetTipText(int nIndex) const;
    // The pane's rectangle in the bar's client coordinates, as shown.
    void GetItemRect(int nIndex, LPRECT lpRect) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    wxStatusBar* GetWxStatusBar() const;
    // Inside the framework: the icons follow the panes; the tip follows the pointer.
    void CallAfterPlace();
    void OnMotion(int x, int y);

protected:
    void ApplyWidths();
    void PlaceIcons();


    struct Pane
    {
        UINT nID = 0;
        UINT nStyle = 0;
        int cxWidth = 0;
        CString strText;
        CString strTip;
        class wxStaticBitmap* pIcon = nullptr;
    };
    std::vector<Pane> m_panes;
    int m_nTipPane;
};

PARVEL_UI_END_EXPORTS
