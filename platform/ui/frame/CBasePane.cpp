// CBasePane: the common part of docking bars.
#include "CBasePane.h"
#include "CFrameWnd.h"
#include "CMDIFrameWndEx.h"

IMPLEMENT_DYNAMIC(CBasePane, CWnd)

CBasePane::CBasePane() : m_dwEnabledAlignment(0), m_dwPaneStyle(0), m_bDocked(FALSE) {}

void CBasePane::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

LRESULT CBasePane::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_IDLEUPDATECMDUI)
    {
        // The commands go to the frame that owns the bar (the main frame routes them on to the
        // active page and the application).
        CWnd* pOwner = GetOwner();
        CFrameWnd* pTarget = dynamic_cast<CFrameWnd*>(pOwner ? pOwner : GetParentFrame());
        if (!pTarget)
            pTarget = dynamic_cast<CFrameWnd*>(GetParent());
        if (pTarget)
            OnUpdateCmdUI(pTarget, (BOOL)wParam);
        return 0;
    }
    if (message == WM_RBUTTONUP)
        if (auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(GetParent()))
        {
            POINT pt{(short)LOWORD(lParam), (short)HIWORD(lParam)};
            ClientToScreen(&pt);
            pFrame->OnPaneContextMenu(CPoint(pt.x, pt.y));
            return 0;
        }
    return CWnd::WindowProc(message, wParam, lParam);
}
