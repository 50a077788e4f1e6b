// Top-level windows: the frame widget, closing, activation and the caption.
#include <wx/wx.h>
#include "TopLevelWnd.h"

namespace
{
class CWxFrame : public wxFrame
{
public:
    CWxFrame(const wxString& title, const wxPoint& pos, const wxSize& size, long style)
        : wxFrame(nullptr, wxID_ANY, title, pos, size, style)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
    }
};
}  // namespace

long CTopLevelWndClass::FrameStyleOf(DWORD dwStyle, DWORD dwExStyle)
{
    long style = 0;
    if ((dwStyle & WS_CAPTION) == WS_CAPTION)
        style |= wxCAPTION;
    if (dwStyle & WS_SYSMENU)
        style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (dwStyle & WS_THICKFRAME)
        style |= wxRESIZE_BORDER;
    if ((dwStyle & WS_MINIMIZEBOX) && (dwStyle & WS_CAPTION))
        style |= wxMINIMIZE_BOX;
    if ((dwStyle & WS_MAXIMIZEBOX) && (dwStyle & WS_CAPTION))
        style |= wxMAXIMIZE_BOX;
    if (!(dwStyle & WS_CAPTION) && !(dwStyle & WS_THICKFRAME))
        style |= wxBORDER_NONE;
    if (dwExStyle & WS_EX_TOPMOST)
        style |= wxSTAY_ON_TOP;
    if (dwExStyle & WS_EX_TOOLWINDOW)
        style |= wxFRAME_TOOL_WINDOW;
    return style;
}

wxFrame* CTopLevelWndClass::NewFrameWidget(const CREATESTRUCT& cs, long lExtraStyle)
{
    return new CWxFrame(WxFromGbk(cs.lpszName), WxPos(cs), WxSize(cs),
                        FrameStyleOf((DWORD)cs.style, cs.dwExStyle) | lExtraStyle);
}

wxWindow* CTopLevelWndClass::CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow*) const
{
    p->strText.clear();  // the caption holds the text
    return NewFrameWidget(cs);
}

const CWndClass* CTopLevelWndClass::ClassFor(const CREATESTRUCT& cs) const
{
    if (cs.style & WS_CHILD)
    {
        CREATESTRUCT plain = cs;
        plain.lpszClass = nullptr;
        return CWndClassRegistry::Resolve(plain);
    }
    return this;
}

void CTopLevelWndClass::BindEvents(WndRecord* p, wxWindow* pWx) const
{
    HWND h = p->Handle();
    pWx->Bind(wxEVT_CLOSE_WINDOW, [h](wxCloseEvent& e) {
        if (!LiveRec(h))
        {
            e.Skip();
            return;
        }
        // Closing is the window's business: WM_CLOSE decides (its default destroys, or cancels a
        // dialog).
        if (e.CanVeto())
            e.Veto();
        DispatchToWindow(h, WM_CLOSE, 0, 0);
        if (!e.CanVeto() && LiveRec(h))
            DestroyWindow(h);
    });
    pWx->Bind(wxEVT_ACTIVATE, [h](wxActivateEvent& e) {
        e.Skip();
        if (e.GetActive())
            SetLastActiveWindow(h);
        if (LiveRec(h))
            DispatchToWindow(h, WM_ACTIVATE, e.GetActive() ? 1 : 0, 0);
    });
}

LRESULT CTopLevelWndClass::DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    switch (msg)
    {
    case WM_SETTEXT:
        if (p->pWx)
        {
            p->pWx->SetLabel(WxFromGbk(lParam ? (const char*)lParam : ""));
            return TRUE;
        }
        break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (p->pWx)
            return CopyWindowText(GbkFromWx(p->pWx->GetLabel()), msg, wParam, lParam);
        break;
    }
    return CWndClass::DefProc(p, msg, wParam, lParam);
}
