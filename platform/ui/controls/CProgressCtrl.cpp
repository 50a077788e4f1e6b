// The progress bar window class ("msctls_progress32"), drawn by the framework on its parent's
// widget so PBM_SETBARCOLOR is honoured. CProgressCtrl over its messages.
#include <wx/wx.h>
#include "WndClass.h"
#include "Gdi.h"
#include "CProgressCtrl.h"

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

namespace
{
struct CProgressState : CWndState
{
    int nLower = 0, nUpper = 100, nPos = 0, nStep = 10;
    COLORREF clrBar = CLR_DEFAULT, clrBk = CLR_DEFAULT;
};

class CProgressClass : public CWndClass
{
public:
    CProgressClass() : CWndClass(PROGRESS_CLASS) {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override { return std::make_unique<CProgressState>(); }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        if (!pParent)
            return CWndClass::CreateWidget(p, cs, pParent);
        MakeWindowless(p, cs);
        return nullptr;
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override;
    void Paint(WndRecord* p, wxDC& dc) const override;
    bool PaintsOwnBackground(WndRecord*) const override { return true; }
    CWnd* NewObject() const override { return new CProgressCtrl; }
};
PARVEL_REGISTER_WNDCLASS(CProgressClass);

void CProgressClass::Paint(WndRecord* pRec, wxDC& dc) const
{
    CProgressState* p = StateOf<CProgressState>(pRec);
    int w = pRec->rcLight.right - pRec->rcLight.left, h = pRec->rcLight.bottom - pRec->rcLight.top;
    if (w <= 0 || h <= 0)
        return;
    COLORREF bk = p->clrBk == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : p->clrBk;
    COLORREF bar = p->clrBar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : p->clrBar;
    dc.SetPen(wxPen(WxColourOf(GetSysColor(COLOR_BTNSHADOW))));
    dc.SetBrush(wxBrush(WxColourOf(bk)));
    dc.DrawRectangle(0, 0, w, h);
    int range = p->nUpper - p->nLower;
    if (range <= 0)
        return;
    long long filled = (long long)(p->nPos - p->nLower) * (w - 2) / range;
    if (filled <= 0)
        return;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(WxColourOf(bar)));
    dc.DrawRectangle(1, 1, (int)filled, h - 2);
}

LRESULT CProgressClass::DefProc(WndRecord* pRec, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    CProgressState* p = StateOf<CProgressState>(pRec);
    auto clamp = [p](int v) { return v < p->nLower ? p->nLower : v > p->nUpper ? p->nUpper : v; };
    int old = p->nPos;
    switch (msg)
    {
    case PBM_SETRANGE:
    {
        LRESULT r = MAKELONG(p->nLower, p->nUpper);
        p->nLower = (short)LOWORD(lParam);
        p->nUpper = (short)HIWORD(lParam);
        p->nPos = clamp(p->nPos);
        RefreshWindow(pRec);
        return r;
    }
    case PBM_SETRANGE32:
    {
        LRESULT r = MAKELONG(p->nLower, p->nUpper);
        p->nLower = (int)wParam;
        p->nUpper = (int)lParam;
        p->nPos = clamp(p->nPos);
        RefreshWindow(pRec);
        return r;
    }
    case PBM_GETRANGE:
        if (lParam)
        {
            ((int*)lParam)[0] = p->nLower;
            ((int*)lParam)[1] = p->nUpper;
        }
        return wParam ? p->nLower : p->nUpper;
    case PBM_SETPOS:
        p->nPos = clamp((int)wParam);
        RefreshWindow(pRec);
        return old;
    case PBM_DELTAPOS:
        p->nPos = clamp(p->nPos + (int)wParam);
        RefreshWindow(pRec);
        return old;
    case PBM_SETSTEP:
    {
        int o = p->nStep;
        p->nStep = (int)wParam;
        return o;
    }
    case PBM_STEPIT:
        p->nPos += p->nStep;
        if (p->nPos > p->nUpper)
            p->nPos = p->nLower + (p->nPos - p->nUpper);
        p->nPos = clamp(p->nPos);
        RefreshWindow(pRec);
        return old;
    case PBM_GETPOS:
        return p->nPos;
    case PBM_SETBARCOLOR:
    {
        COLORREF o = p->clrBar;
        p->clrBar = (COLORREF)lParam;
        RefreshWindow(pRec);
        return (LRESULT)o;
    }
    case PBM_SETBKCOLOR:
    {
        COLORREF o = p->clrBk;
        p->clrBk = (COLORREF)lParam;
        RefreshWindow(pRec);
        return (LRESULT)o;
    }
    }
    return CWndClass::DefProc(pRec, msg, wParam, lParam);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// CProgressCtrl

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, PROGRESS_CLASS, "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CProgressCtrl::SetRange(short nLower, short nUpper) { ::SendMessage(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
void CProgressCtrl::SetRange32(int nLower, int nUpper) { ::SendMessage(m_hWnd, PBM_SETRANGE32, (WPARAM)nLower, (LPARAM)nUpper); }
void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    int r[2] = {0, 0};
    ::SendMessage(m_hWnd, PBM_GETRANGE, 0, (LPARAM)r);
    nLower = r[0];
    nUpper = r[1];
}
int CProgressCtrl::SetPos(int nPos) { return (int)::SendMessage(m_hWnd, PBM_SETPOS, (WPARAM)nPos, 0); }
int CProgressCtrl::GetPos() const { return (int)::SendMessage(m_hWnd, PBM_GETPOS, 0, 0); }
int CProgressCtrl::OffsetPos(int nPos) { return (int)::SendMessage(m_hWnd, PBM_DELTAPOS, (WPARAM)nPos, 0); }
int CProgressCtrl::SetStep(int nStep) { return (int)::SendMessage(m_hWnd, PBM_SETSTEP, (WPARAM)nStep, 0); }
int CProgressCtrl::StepIt() { return (int)::SendMessage(m_hWnd, PBM_STEPIT, 0, 0); }
COLORREF CProgressCtrl::SetBarColor(COLORREF clrBar) { return (COLORREF)::SendMessage(m_hWnd, PBM_SETBARCOLOR, 0, (LPARAM)clrBar); }
COLORREF CProgressCtrl::SetBkColor(COLORREF clrNew) { return (COLORREF)::SendMessage(m_hWnd, PBM_SETBKCOLOR, 0, (LPARAM)clrNew); }
