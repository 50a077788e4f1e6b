// The static window class ("Static"): text, bitmap (SS_BITMAP), icon (SS_ICON) or a filled
// rectangle, drawn on its parent's widget (windowless) with the colours WM_CTLCOLORSTATIC gives.
// The mouse goes through to the parent unless SS_NOTIFY, which reports clicks. CStatic over its
// messages.
#include <wx/wx.h>
#include "WndClass.h"
#include "CStatic.h"
#include "Gdi.h"
#include "GdiImpl.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)

namespace
{
struct CStaticState : CWndState
{
    ~CStaticState() override
    {
        if (hOwnBitmap)
            ::DeleteObject((HGDIOBJ)hOwnBitmap);
    }
    HBITMAP hBitmap = nullptr;  // SS_BITMAP
    HBITMAP hOwnBitmap = nullptr;  // loaded from the template: the static's own
    HICON hIcon = nullptr;      // SS_ICON
    std::unique_ptr<wxBitmap> pBitmapCache;
    HBITMAP hBitmapCached = nullptr;
};

class CStaticClass : public CWndClass
{
public:
    CStaticClass() : CWndClass("Static") {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override { return std::make_unique<CStaticState>(); }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        if (!pParent)
            return CWndClass::CreateWidget(p, cs, pParent);
        MakeWindowless(p, cs);
        return nullptr;
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
    {
        CStaticState* s = StateOf<CStaticState>(p);
        switch (msg)
        {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A notifying static reports clicks to its parent.
            if (p->dwStyle & SS_NOTIFY)
                NotifyParent(p->Handle(), msg == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK);
            return 0;
        case STM_SETIMAGE:
        {
            HBITMAP old = s->hBitmap;
            s->hBitmap = (HBITMAP)lParam;
            // The image handed back is the caller's now.
            if (old == s->hOwnBitmap && old != s->hBitmap)
                s->hOwnBitmap = nullptr;
            RefreshWindow(p);
            return (LRESULT)old;
        }
        case STM_GETIMAGE:
            return (LRESULT)s->hBitmap;
        case STM_SETICON:
        {
            HICON old = s->hIcon;
            s->hIcon = (HICON)wParam;
            RefreshWindow(p);
            return (LRESULT)old;
        }
        case STM_GETICON:
            return (LRESULT)s->hIcon;
        }
        return CWndClass::DefProc(p, msg, wParam, lParam);
    }

    void Paint(WndRecord* p, wxDC& dc) const override;
    bool PaintsOwnBackground(WndRecord*) const override { return true; }
    LRESULT HitTest(WndRecord* p) const override { return (p->dwStyle & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT; }
    CWnd* NewObject() const override { return new CStatic; }
};
PARVEL_REGISTER_WNDCLASS(CStaticClass);

// A wx copy of a drawing-layer bitmap, kept while the control shows the same handle.
const wxBitmap* WxBitmapOf(CStaticState* p, HBITMAP hbm)
{
    if (p->hBitmapCached == hbm && p->pBitmapCache)
        return p->pBitmapCache.get();
    BITMAP bm{};
    if (!hbm || GetObjectA((HGDIOBJ)hbm, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, (HGDIOBJ)hbm);
    wxImage img(bm.bmWidth, bm.bmHeight);
    unsigned char* data = img.GetData();
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x)
        {
            COLORREF c = GetPixel(mem, x, y);
            unsigned char* px = data + ((size_t)y * bm.bmWidth + x) * 3;
            px[0] = GetRValue(c);
            px[1] = GetGValue(c);
            px[2] = GetBValue(c);
        }
    SelectObject(mem, old);
    DeleteDC(mem);
    p->pBitmapCache = std::make_unique<wxBitmap>(img);
    p->hBitmapCached = hbm;
    return p->pBitmapCache.get();
}

void CStaticClass::Paint(WndRecord* p, wxDC& dc) const
{
    CStaticState* s = StateOf<CStaticState>(p);
    int w = p->rcLight.right - p->rcLight.left, h = p->rcLight.bottom - p->rcLight.top;
    if (w <= 0 || h <= 0)
        return;
    CtlColors cc = AskCtlColors(p, WM_CTLCOLORSTATIC);
    if (!LiveRec(p->Handle()))
        return;
    DWORD type = p->dwStyle & SS_TYPEMASK;
    if (!cc.bHollow && cc.bHaveBrush)
    {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(WxColourOf(cc.clrBrush)));
        dc.DrawRectangle(0, 0, w, h);
    }
    if (type == SS_BITMAP)
    {
        if (const wxBitmap* bmp = WxBitmapOf(s, s->hBitmap))
        {
            int x = 0, y = 0;
            if (p->dwStyle & SS_CENTERIMAGE)
            {
                x = (w - bmp->GetWidth()) / 2;
                y = (h - bmp->GetHeight()) / 2;
            }
            dc.DrawBitmap(*bmp, x, y, false);
        }
        return;
    }
    if (type == SS_ICON)
    {
        if (const wxBitmap* bmp = WxBitmapOfIcon(s->hIcon))
            dc.DrawBitmap(*bmp, 0, 0, true);
        return;
    }
    if (type == SS_BLACKRECT || type == SS_WHITERECT)
    {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(type == SS_BLACKRECT ? *wxBLACK_BRUSH : *wxWHITE_BRUSH);
        dc.DrawRectangle(0, 0, w, h);
        return;
    }
    std::string text = (p->dwStyle & SS_NOPREFIX) ? p->strText : gdi::StripPrefix(p->strText);
    if (text.empty())
        return;
    dc.SetFont(FontOfRecord(p));
    bool bDisabled = (p->dwStyle & WS_DISABLED) != 0;
    dc.SetTextForeground(bDisabled ? WxColourOf(GetSysColor(COLOR_GRAYTEXT)) : WxColourOf(cc.clrText));
    if (!cc.bTransparentText && !cc.bHollow)
    {
        dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
        dc.SetTextBackground(WxColourOf(cc.clrBack));
    }
    else
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    wxString wtext = WxFromGbk(text);
    // Word wrap for the plain left/centre/right kinds, as the static control does.
    bool bWrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    std::vector<wxString> lines;
    wxString cur;
    for (size_t i = 0; i < wtext.length(); ++i)
    {
        wxUniChar c = wtext[i];
        if (c == '\r')
            continue;
        if (c == '\n')
        {
            lines.push_back(cur);
            cur.clear();
            continue;
        }
        wxString next = cur + c;
        if (bWrap && !cur.empty() && dc.GetTextExtent(next).x > w)
        {
            // Break at the last blank when there is one.
            int sp = cur.Find(' ', true);
            if (sp > 0 && c != ' ')
            {
                lines.push_back(cur.Left((size_t)sp));
                cur = cur.Mid((size_t)sp + 1) + c;
            }
            else
            {
                lines.push_back(cur);
                cur = (c == ' ') ? wxString() : wxString(c);
            }
            continue;
        }
        cur = next;
    }
    lines.push_back(cur);
    int lineH = dc.GetCharHeight();
    int y = 0;
    if ((p->dwStyle & SS_CENTERIMAGE) && lines.size() == 1)
        y = (h - lineH) / 2;
    for (const wxString& line : lines)
    {
        int tw = dc.GetTextExtent(line).x;
        int x = 0;
        if (type == SS_CENTER)
            x = (w - tw) / 2;
        else if (type == SS_RIGHT)
            x = w - tw;
        dc.DrawText(line, x, y);
        y += lineH;
        if (y >= h)
            break;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CStatic

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, "Static", lpszText, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void AdoptStaticBitmap(HWND hStatic, HBITMAP hBitmap)
{
    WndRecord* p = LiveRec(hStatic);
    CStaticState* s = p ? dynamic_cast<CStaticState*>(p->pState.get()) : nullptr;
    if (!s)
        return;
    ::SendMessage(hStatic, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
    s->hOwnBitmap = hBitmap;
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessage(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
HBITMAP CStatic::GetBitmap() const { return (HBITMAP)::SendMessage(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0); }
HICON CStatic::SetIcon(HICON hIcon) { return (HICON)::SendMessage(m_hWnd, STM_SETICON, (WPARAM)hIcon, 0); }
HICON CStatic::GetIcon() const { return (HICON)::SendMessage(m_hWnd, STM_GETICON, 0, 0); }

