#include "SplitterControl.h"

namespace {
// Loaded once for the process by the first bar.
HCURSOR g_hcurLeftRight = nullptr;
HCURSOR g_hcurUpDown = nullptr;

// The window's rectangle in its parent's client coordinates; false when it has no live parent.
bool RectInParent(CWnd* pWnd, CRect& rc)
{
    CWnd* pParent = pWnd ? pWnd->GetParent() : nullptr;
    if (!pParent || !::IsWindow(pParent->GetSafeHwnd()))
        return false;
    pWnd->GetWindowRect(&rc);
    pParent->ScreenToClient(&rc);
    return true;
}
}

BEGIN_MESSAGE_MAP(CSplitterControl, CStatic)
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL CSplitterControl::Create(DWORD dwStyle, const CRect& rect, CWnd* pParent, UINT nID)
{
    CRect rc = rect;
    m_nType = rc.Width() < rc.Height() ? SPS_VERTICAL : SPS_HORIZONTAL;
    if (m_nType == SPS_VERTICAL)
        rc.right = rc.left + 5;
    else
        rc.bottom = rc.top + 5;
    if (!CStatic::Create("", dwStyle | SS_NOTIFY, rc, pParent, nID))
        return FALSE;
    if (!g_hcurLeftRight) {
        g_hcurLeftRight = ::LoadCursor(nullptr, IDC_SIZEWE);
        g_hcurUpDown = ::LoadCursor(nullptr, IDC_SIZENS);
    }
    m_nMin = m_nMax = m_nType == SPS_VERTICAL ? (rc.left + rc.right) / 2 : (rc.top + rc.bottom) / 2;
    return TRUE;
}

int CSplitterControl::CentreOnAxis()
{
    CRect rc;
    GetWindowRect(&rc);
    if (CWnd* pParent = GetParent())
        pParent->ScreenToClient(&rc);
    return m_nType == SPS_VERTICAL ? (rc.left + rc.right) / 2 : (rc.top + rc.bottom) / 2;
}

void CSplitterControl::SetDragRange(int nBelow, int nAbove, int nCentre)
{
    if (nCentre == -1)
        nCentre = CentreOnAxis();
    m_nMin = nCentre - nBelow;
    m_nMax = nCentre + nAbove;
}

void CSplitterControl::MoveBar(CPoint pt)
{
    CWnd* pParent = GetParent();
    if (!pParent)
        return;
    CRect rc;
    GetWindowRect(&rc);
    pParent->ScreenToClient(&rc);
    if (m_nType == SPS_VERTICAL)
        rc.OffsetRect(pt.x - (rc.left + rc.right) / 2, 0);
    else
        rc.OffsetRect(0, pt.y - (rc.top + rc.bottom) / 2);
    MoveWindow(&rc);
}

void CSplitterControl::StretchWidth(CWnd* pWnd, int d, int side)
{
    CRect rc;
    if (!RectInParent(pWnd, rc))
        return;
    if (side == CW_LEFTALIGN)
        rc.right += d;
    else if (side == CW_RIGHTALIGN)
        rc.left -= d;
    pWnd->MoveWindow(&rc);
}

void CSplitterControl::StretchHeight(CWnd* pWnd, int d, int side)
{
    CRect rc;
    if (!RectInParent(pWnd, rc))
        return;
    if (side == CW_TOPALIGN)
        rc.bottom += d;
    else if (side == CW_BOTTOMALIGN)
        rc.top -= d;
    pWnd->MoveWindow(&rc);
}

void CSplitterControl::ShiftWindow(CWnd* pWnd, int dx, int dy)
{
    CRect rc;
    if (!RectInParent(pWnd, rc))
        return;
    rc.OffsetRect(-dx, dy);
    pWnd->MoveWindow(&rc);
}

void CSplitterControl::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.Draw3dRect(&rc, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    rc.DeflateRect(1, 1);
    CPen pen(PS_SOLID, 1, RGB(200, 200, 200));
    CBrush brush(RGB(200, 220, 220));
    CPen* pOldPen = dc.SelectObject(&pen);
    CBrush* pOldBrush = dc.SelectObject(&brush);
    dc.Rectangle(&rc);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldPen);
}

BOOL CSplitterControl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT) {
        ::SetCursor(m_nType == SPS_VERTICAL ? g_hcurLeftRight : g_hcurUpDown);
        return TRUE;
    }
    return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterControl::DrawDragLine(CDC* pDC, int x, int y)
{
    CRect rc;
    GetWindowRect(&rc);
    int nOldRop = pDC->SetROP2(R2_NOTXORPEN);
    CPen pen(PS_SOLID, 1, RGB(200, 200, 200));
    CPen* pOldPen = pDC->SelectObject(&pen);
    if (m_nType == SPS_VERTICAL) {
        pDC->MoveTo(x - 1, rc.top);
        pDC->LineTo(x - 1, rc.bottom);
        pDC->MoveTo(x + 1, rc.top);
        pDC->LineTo(x + 1, rc.bottom);
    } else {
        pDC->MoveTo(rc.left, y - 1);
        pDC->LineTo(rc.right, y - 1);
        pDC->MoveTo(rc.left, y + 1);
        pDC->LineTo(rc.right, y + 1);
    }
    pDC->SetROP2(nOldRop);
    pDC->SelectObject(pOldPen);
}

void CSplitterControl::OnLButtonDown(UINT nFlags, CPoint point)
{
    CStatic::OnLButtonDown(nFlags, point);
    m_bPressed = 1;
    SetCapture();
    CRect rc;
    GetWindowRect(&rc);
    m_nX = (rc.left + rc.right) / 2;
    m_nY = (rc.top + rc.bottom) / 2;
    m_nStart = m_nType == SPS_VERTICAL ? m_nX : m_nY;
    CWindowDC dc(nullptr);
    DrawDragLine(&dc, m_nX, m_nY);
}

void CSplitterControl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bPressed) {
        CWindowDC dc(nullptr);
        DrawDragLine(&dc, m_nX, m_nY);
        CPoint pt = point;
        ClientToScreen(&pt);
        CWnd* pParent = GetParent();
        if (pParent)
            pParent->ScreenToClient(&pt);
        if (m_nType == SPS_VERTICAL)
            pt.x = pt.x < m_nMin ? m_nMin : (pt.x > m_nMax ? m_nMax : pt.x);
        else
            pt.y = pt.y < m_nMin ? m_nMin : (pt.y > m_nMax ? m_nMax : pt.y);
        if (pParent)
            pParent->ClientToScreen(&pt);
        m_nX = pt.x;
        m_nY = pt.y;
        DrawDragLine(&dc, m_nX, m_nY);
    }
    CStatic::OnMouseMove(nFlags, point);
}

void CSplitterControl::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bPressed) {
        {
            CWindowDC dc(nullptr);
            DrawDragLine(&dc, m_nX, m_nY);
        }
        m_bPressed = 0;
        CWnd* pTarget = GetOwner();
        if (!pTarget)
            pTarget = GetParent();
        if (pTarget && ::IsWindow(pTarget->GetSafeHwnd())) {
            CPoint pt(m_nX, m_nY);
            if (CWnd* pParent = GetParent())
                pParent->ScreenToClient(&pt);
            MoveBar(pt);
            SPC_NMHDR nm{};
            nm.hdr.hwndFrom = m_hWnd;
            nm.hdr.idFrom = GetDlgCtrlID();
            nm.hdr.code = SPN_MOVED;
            nm.delta = (m_nType == SPS_VERTICAL ? m_nX : m_nY) - m_nStart;
            pTarget->SendMessage(WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
        }
    }
    CStatic::OnLButtonUp(nFlags, point);
    ::ReleaseCapture();
}
