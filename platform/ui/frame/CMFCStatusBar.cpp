// CMFCStatusBar on the frame's wx status bar.
#include <wx/wx.h>
#include <wx/statusbr.h>
#include <wx/statbmp.h>
#include "WndRecord.h"
#include "WndClass.h"
#include "CMFCStatusBar.h"
#include "CFrameWnd.h"
#include "WxMenu.h"

IMPLEMENT_DYNAMIC(CMFCStatusBar, CBasePane)

CMFCStatusBar::CMFCStatusBar() : m_nTipPane(-1) {}

CMFCStatusBar::~CMFCStatusBar() {}

BOOL CMFCStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CMFCStatusBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd)
        return FALSE;
    m_dwPaneStyle = dwStyle & 0xFFFF;
    return CWnd::CreateEx(0, "MFCStatusBar", "", (dwStyle | WS_CHILD) & 0xFFFF0000u, CRect(0, 0, 1, 1), pParentWnd, nID);
}

namespace
{
// The status bar's window class: the frame's wx status bar, which draws its panes itself.
class CMFCStatusBarClass : public CWndClass
{
public:
    CMFCStatusBarClass() : CWndClass("MFCStatusBar") {}
    bool IsNative(WndRecord*) const override { return true; }
    wxWindow* CreateWidget(WndRecord*, const CREATESTRUCT& cs, wxWindow*) const override
    {
        auto* pFrame = dynamic_cast<wxFrame*>(AfxGetWxWindow(cs.hwndParent));
        if (!pFrame)
            return nullptr;
        auto* pBar = new wxStatusBar(pFrame, wxID_ANY, wxSTB_SHOW_TIPS | wxSTB_ELLIPSIZE_END | wxFULL_REPAINT_ON_RESIZE);
        pFrame->SetStatusBar(pBar);
        return pBar;
    }
    void BindEvents(WndRecord* p, wxWindow* pWx) const override
    {
        HWND h = p->Handle();
        pWx->Bind(wxEVT_SIZE, [h](wxSizeEvent& e) {
            e.Skip();
            if (auto* pBar = dynamic_cast<CMFCStatusBar*>(CWnd::FromHandlePermanent(h)))
                pBar->CallAfterPlace();
        });
        pWx->Bind(wxEVT_MOTION, [h](wxMouseEvent& e) {
            e.Skip();
            if (auto* pBar = dynamic_cast<CMFCStatusBar*>(CWnd::FromHandlePermanent(h)))
                pBar->OnMotion(e.GetX(), e.GetY());
        });
    }
};
PARVEL_REGISTER_WNDCLASS(CMFCStatusBarClass);
}  // namespace

void CMFCStatusBar::CallAfterPlace()
{
    if (wxStatusBar* pBar = GetWxStatusBar())
    {
        HWND h = m_hWnd;
        pBar->CallAfter([this, h] {
            if (::IsWindow(h))
                PlaceIcons();
        });
    }
}

wxStatusBar* CMFCStatusBar::GetWxStatusBar() const
{
    return dynamic_cast<wxStatusBar*>(GetWxWindow());
}

BOOL CMFCStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    wxStatusBar* pBar = GetWxStatusBar();
    if (!pBar || nIDCount <= 0)
        return FALSE;
    for (Pane& p : m_panes)
        if (p.pIcon)
            p.pIcon->Destroy();
    m_panes.assign((size_t)nIDCount, Pane());
    pBar->SetFieldsCount(nIDCount);
    for (int i = 0; i < nIDCount; ++i)
    {
        Pane& p = m_panes[(size_t)i];
        p.nID = lpIDArray ? lpIDArray[i] : 0;
        if (p.nID != ID_SEPARATOR)
            p.strText.LoadString(p.nID);
        // As the framework sizes an indicator: by its text.
        p.cxWidth = p.strText.IsEmpty() ? 0 : pBar->GetTextExtent(WxFromGbk(p.strText.GetString())).x + 4;
        pBar->SetStatusText(WxFromGbk(p.strText.GetString()), i);
    }
    ApplyWidths();
    return TRUE;
}

UINT CMFCStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[(size_t)nIndex].nID : 0;
}

int CMFCStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[(size_t)i].nID == nIDFind)
            return i;
    return -1;
}

void CMFCStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    Pane& p = m_panes[(size_t)nIndex];
    p.nID = nID;
    p.nStyle = nStyle;
    p.cxWidth = cxWidth;
    ApplyWidths();
}

void CMFCStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    nID = GetItemID(nIndex);
    nStyle = GetPaneStyle(nIndex);
    cxWidth = GetPaneWidth(nIndex);
}

UINT CMFCStatusBar::GetPaneStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[(size_t)nIndex].nStyle : 0;
}

void CMFCStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_panes[(size_t)nIndex].nStyle = nStyle;
    ApplyWidths();
}

BOOL CMFCStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL)
{
    wxStatusBar* pBar = GetWxStatusBar();
    if (!pBar || nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    m_panes[(size_t)nIndex].strText = lpszNewText ? lpszNewText : "";
    pBar->SetStatusText(WxFromGbk(m_panes[(size_t)nIndex].strText.GetString()), nIndex);
    return TRUE;
}

CString CMFCStatusBar::GetPaneText(int nIndex) const
{
    wxStatusBar* pBar = GetWxStatusBar();
    if (!pBar || nIndex < 0 || nIndex >= GetCount())
        return CString();
    // What the bar shows.
    return CString(GbkFromWx(pBar->GetStatusText(nIndex)).c_str());
}

void CMFCStatusBar::SetPaneWidth(int nIndex, int cx)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_panes[(size_t)nIndex].cxWidth = cx;
    ApplyWidths();
}

int CMFCStatusBar::GetPaneWidth(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[(size_t)nIndex].cxWidth : 0;
}

void CMFCStatusBar::ApplyWidths()
{
    wxStatusBar* pBar = GetWxStatusBar();
    if (!pBar || m_panes.empty())
        return;
    std::vector<int> widths;
    for (const Pane& p : m_panes)
        widths.push_back((p.nStyle & SBPS_STRETCH) ? -1 : p.cxWidth);
    pBar->SetStatusWidths((int)widths.size(), widths.data());
    PlaceIcons();
}

void CMFCStatusBar::SetPaneIcon(int nIndex, HBITMAP hBmp, COLORREF clrTransparent, BOOL)
{
    wxStatusBar* pBar = GetWxStatusBar();
    if (!pBar || nIndex < 0 || nIndex >= GetCount())
        return;
    Pane& p = m_panes[(size_t)nIndex];
    wxBitmap bmp = AfxWxBitmapFromHandle(hBmp, clrTransparent);
    if (!bmp.IsOk())
    {
        if (p.pIcon)
            p.pIcon->Destroy();
        p.pIcon = nullptr;
        return;
    }
    if (!p.pIcon)
    {
        p.pIcon = new wxStaticBitmap(pBar, wxID_ANY, bmp);
        HWND h = m_hWnd;
        p.pIcon->Bind(wxEVT_MOTION, [this, h, nIndex](wxMouseEvent& e) {
            e.Skip();
            if (::IsWindow(h) && nIndex < GetCount())
                m_nTipPane = nIndex;
        });
        if (!p.strTip.IsEmpty())
            p.pIcon->SetToolTip(WxFromGbk(p.strTip.GetString()));
    }
    else
        p.pIcon->SetBitmap(bmp);
    PlaceIcons();
}

void CMFCStatusBar::SetTipText(int nIndex, LPCSTR pszTipText)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    Pane& p = m_panes[(size_t)nIndex];
    p.strTip = pszTipText ? pszTipText : "";
    if (p.pIcon)
        p.pIcon->SetToolTip(WxFromGbk(p.strTip.GetString()));
}

CString CMFCStatusBar::GetTipText(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[(size_t)nIndex].strTip : CString();
}

void CMFCStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    *lpRect = RECT{0, 0, 0, 0};
    wxStatusBar* pBar = GetWxStatusBar();
    wxRect rc;
    if (pBar && nIndex >= 0 && nIndex < GetCount() && pBar->GetFieldRect(nIndex, rc))
        *lpRect = RECT{rc.x, rc.y, rc.x + rc.width, rc.y + rc.height};
}

void CMFCStatusBar::PlaceIcons()
{
    wxStatusBar* pBar = GetWxStatusBar();
    if (!pBar)
        return;
    for (int i = 0; i < GetCount(); ++i)
    {
        Pane& p = m_panes[(size_t)i];
        wxRect rc;
        if (!p.pIcon || !pBar->GetFieldRect(i, rc))
            continue;
        wxSize sz = p.pIcon->GetBitmap().GetSize();
        p.pIcon->SetSize(rc.x + (rc.width - sz.x) / 2, rc.y + (rc.height - sz.y) / 2, sz.x, sz.y);
    }
}

void CMFCStatusBar::OnMotion(int x, int y)
{
    wxStatusBar* pBar = GetWxStatusBar();
    if (!pBar)
        return;
    int hit = -1;
    for (int i = 0; i < GetCount() && hit < 0; ++i)
    {
        wxRect rc;
        if (pBar->GetFieldRect(i, rc) && rc.Contains(x, y))
            hit = i;
    }
    if (hit == m_nTipPane)
        return;
    m_nTipPane = hit;
    if (hit >= 0 && !m_panes[(size_t)hit].strTip.IsEmpty())
        pBar->SetToolTip(WxFromGbk(m_panes[(size_t)hit].strTip.GetString()));
    else
        pBar->UnsetToolTip();
}

LRESULT CMFCStatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        if (auto* pFrame = dynamic_cast<wxFrame*>(AfxGetWxWindow(::GetParent(m_hWnd))))
            if (pFrame->GetStatusBar() == GetWxWindow())
                pFrame->SetStatusBar(nullptr);
    return CBasePane::WindowProc(message, wParam, lParam);
}
