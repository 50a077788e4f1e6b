// CBasePane: a bar that docks on the frame's top edge (toolbars, menu bar) or sits at its bottom
// (status bar). Bars answer WM_IDLEUPDATECMDUI by asking the frame's command targets for the state
// of their commands (OnUpdateCmdUI).
#pragma once

#include "CWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CFrameWnd;

// Pane styles and docking sides.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_SIZE_DYNAMIC 0x0040L
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// Control ids of the frame's standard bars.
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_MENUBAR 0xE806
#define AFX_IDW_PANE_FIRST 0xE900

class CBasePane : public CWnd
{
    DECLARE_DYNAMIC(CBasePane)
public:
    CBasePane();

    // The sides the pane may dock at (CBRS_ALIGN_*).
    virtual void EnableDocking(DWORD dwAlignment) { m_dwEnabledAlignment = dwAlignment; }
    DWORD GetEnabledAlignment() const { return m_dwEnabledAlignment; }
    virtual void SetPaneStyle(DWORD dwNewStyle) { m_dwPaneStyle = dwNewStyle; }
    virtual DWORD GetPaneStyle() const { return m_dwPaneStyle; }
    BOOL IsDocked() const { return m_bDocked; }

    // Brings the state of the bar's commands up to date (enable, check) from the target's handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
    // Lays the bar out again when the sizes it was made with changed.
    virtual void AdjustLayout() {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    DWORD m_dwEnabledAlignment;
    DWORD m_dwPaneStyle;
    BOOL m_bDocked;
    friend class CMDIFrameWndEx;
};

PARVEL_UI_END_EXPORTS
