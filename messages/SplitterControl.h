// A thin draggable bar between two panes: while dragged it shows an inverting line on the screen;
// on release it moves itself and tells its owner by how many pixels (SPN_MOVED).
#pragma once

#include "AfxWin.h"
#include "CStatic.h"

#define SPN_MOVED (WM_USER + 1)

// The notification record of SPN_MOVED: the header, then the delta along the moving axis
// (positive right or down).
struct SPC_NMHDR
{
    NMHDR hdr;
    int delta;
};

// Sides of StretchWidth and StretchHeight: which edge stays.
#define CW_LEFTALIGN 1    // the right edge moves by d
#define CW_RIGHTALIGN 2   // the left edge moves by -d
#define CW_TOPALIGN 3     // the bottom edge moves by d
#define CW_BOTTOMALIGN 4  // the top edge moves by -d

#define SPS_VERTICAL 1    // moves left and right
#define SPS_HORIZONTAL 2  // moves up and down

class CSplitterControl : public CStatic
{
public:
    CSplitterControl() = default;

    BOOL Create(DWORD dwStyle, const CRect& rect, CWnd* pParent, UINT nID);
    // Limits along the moving axis, in the parent's client coordinates; centre -1: the bar's own.
    void SetDragRange(int nBelow, int nAbove, int nCentre = -1);
    // Moves the bar along its axis so that its centre lies on the point (parent client coordinates).
    void MoveBar(CPoint pt);
    // The parent grew or shrank: the upper limit follows.
    void ChangeUpperLimit(int d) { m_nMax += d; }
    int Orientation() const { return m_nType; }
    int LowerLimit() const { return m_nMin; }
    int UpperLimit() const { return m_nMax; }

    static void StretchWidth(CWnd* pWnd, int d, int side);
    static void StretchHeight(CWnd* pWnd, int d, int side);
    static void ShiftWindow(CWnd* pWnd, int dx, int dy);

protected:
    virtual void DrawDragLine(CDC* pDC, int x, int y);
    int CentreOnAxis();

    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);

    int m_bPressed = 0;
    int m_nType = SPS_VERTICAL;
    int m_nX = 0;
    int m_nY = 0;
    int m_nMin = -1;
    int m_nMax = -1;
    int m_nStart = 0;

    DECLARE_MESSAGE_MAP()
};
