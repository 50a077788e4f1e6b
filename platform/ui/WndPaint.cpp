// Drawing of the windowless controls (statics, progress bars), colours from the parent, fonts,
// icons and cursors.
#include <wx/wx.h>
#include <wx/mstream.h>
#include <mutex>
#include "WndRecord.h"
#include "CodePage.h"
#include "Gdi.h"
#include "GdiImpl.h"
#include "ResourceRegistry.h"

extern HWND g_hCapture;

// ---------------------------------------------------------------------------------------------
// Fonts

wxFont WxFontFromHandle(HFONT hFont)
{
    LOGFONTA lf{};
    if (!hFont || GetObjectA((HGDIOBJ)hFont, sizeof(lf), &lf) == 0)
        return *wxNORMAL_FONT;
    int px = lf.lfHeight < 0 ? -lf.lfHeight : (lf.lfHeight > 0 ? lf.lfHeight * 7 / 8 : 12);
    wxFontInfo info(wxSize(0, px));
    // The same family the drawing layer draws the face with ("宋体" is no font here).
    std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    info.FaceName(wxString::FromUTF8(gdi::FamilyForFace(face.c_str())));
    if (lf.lfWeight >= FW_BOLD)
        info.Bold();
    if (lf.lfItalic)
        info.Italic();
    if (lf.lfUnderline)
        info.Underlined();
    if (lf.lfStrikeOut)
        info.Strikethrough();
    wxFont f(info);
    if (!f.IsOk())
        return *wxNORMAL_FONT;
    return f;
}

wxFont FontOfRecord(WndRecord* p)
{
    for (WndRecord* r = p; r; r = LiveRec(r->hParent))
    {
        if (r->hFont)
            return WxFontFromHandle(r->hFont);
        if (r->pFont)
            return *r->pFont;
        if (r->pWx)
            return r->pWx->GetFont();
    }
    return *wxNORMAL_FONT;
}

// ---------------------------------------------------------------------------------------------
// Colours the parent gives a control (WM_CTLCOLOR*)

static COLORREF ColorOfBrush(HDC hdc, HBRUSH hbr)
{
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP bm = CreateCompatibleBitmap(hdc, 1, 1);
    HGDIOBJ old = SelectObject(mem, (HGDIOBJ)bm);
    RECT rc{0, 0, 1, 1};
    FillRect(mem, &rc, hbr);
    COLORREF c = GetPixel(mem, 0, 0);
    SelectObject(mem, old);
    DeleteObject((HGDIOBJ)bm);
    DeleteDC(mem);
    return c;
}

CtlColors AskCtlColors(WndRecord* p, UINT msg)
{
    CtlColors cc;
    cc.clrText = GetSysColor(COLOR_WINDOWTEXT);
    cc.clrBack = GetSysColor(msg == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE);
    HDC hdc = CreateCompatibleDC(nullptr);
    if (!hdc)
        return cc;
    SetTextColor(hdc, cc.clrText);
    SetBkColor(hdc, cc.clrBack);
    SetBkMode(hdc, OPAQUE);
    HBRUSH hbr = nullptr;
    if (p->hParent && LiveRec(p->hParent))
        hbr = (HBRUSH)DispatchToWindow(p->hParent, msg, (WPARAM)hdc, (LPARAM)p->Handle());
    else
        hbr = (HBRUSH)DefaultWindowProc(p->Handle(), msg, (WPARAM)hdc, (LPARAM)p->Handle());
    cc.clrText = GetTextColor(hdc);
    cc.clrBack = GetBkColor(hdc);
    cc.bTransparentText = GetBkMode(hdc) == TRANSPARENT;
    if (hbr == (HBRUSH)GetStockObject(NULL_BRUSH))
        cc.bHollow = true;
    else if (hbr)
    {
        cc.bHaveBrush = true;
        cc.clrBrush = ColorOfBrush(hdc, hbr);
    }
    else
    {
        cc.bHaveBrush = true;
        cc.clrBrush = GetSysColor(COLOR_BTNFACE);
    }
    DeleteDC(hdc);
    return cc;
}

static wxColour Wx(COLORREF c)
{
    return wxColour(GetRValue(c), GetGValue(c), GetBValue(c));
}

// ---------------------------------------------------------------------------------------------
// Bitmaps and icons

// A wx copy of a drawing-layer bitmap, kept while the control shows the same handle.
static const wxBitmap* WxBitmapOf(WndRecord* p, HBITMAP hbm)
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

struct IconRecord
{
    wxIcon icon;
    wxBitmap bitmap;
};

static bool ImageFromBytes(const void* pData, DWORD dwSize, wxImage& img)
{
    static bool s_handlers = false;
    if (!s_handlers)
    {
        wxInitAllImageHandlers();
        s_handlers = true;
    }
    wxMemoryInputStream in(pData, dwSize);
    return img.LoadFile(in, wxBITMAP_TYPE_ANY) && img.IsOk();
}

HICON LoadIcon(HINSTANCE, LPCSTR lpIconName)
{
    const void* pData = nullptr;
    DWORD dwSize = 0;
    if (!CResourceRegistry::FindData(lpIconName, RT_ICON, &pData, &dwSize) &&
        !CResourceRegistry::FindData(lpIconName, RT_GROUP_ICON, &pData, &dwSize))
        return nullptr;
    return CallOnGui<HICON>([&]() -> HICON {
        wxImage img;
        if (!ImageFromBytes(pData, dwSize, img))
            return nullptr;
        auto* r = new IconRecord;
        r->bitmap = wxBitmap(img);
        r->icon.CopyFromBitmap(r->bitmap);
        return (HICON)r;
    });
}

BOOL DestroyIcon(HICON hIcon)
{
    if (!hIcon)
        return FALSE;
    // Windows may still show it: icons live as long as the process.
    return TRUE;
}

void ApplyWindowIcon(WndRecord* p)
{
    auto* tl = p->pWx ? dynamic_cast<wxTopLevelWindow*>(p->pWx) : nullptr;
    if (!tl)
    {
        if (p->pWx)
            p->pWx->Refresh();
        return;
    }
    wxIconBundle bundle;
    for (HICON h : p->hIcon)
        if (h)
            bundle.AddIcon(reinterpret_cast<IconRecord*>(h)->icon);
    if (!bundle.IsEmpty())
        tl->SetIcons(bundle);
}

const wxBitmap* WxBitmapOfIcon(HICON h)
{
    return h ? &reinterpret_cast<IconRecord*>(h)->bitmap : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Cursors

namespace
{
struct CursorRecord
{
    wxStockCursor id;
    wxCursor cursor;
};
thread_local HWND t_hCursorWnd = nullptr;
HCURSOR g_hCurrentCursor = nullptr;
}  // namespace

HCURSOR LoadCursor(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    if (hInstance || !IS_INTRESOURCE(lpCursorName))
        return nullptr;
    static std::mutex s_lock;
    static std::map<UINT_PTR, CursorRecord*> s_cursors;
    UINT_PTR id = (UINT_PTR)lpCursorName;
    std::lock_guard<std::mutex> guard(s_lock);
    auto it = s_cursors.find(id);
    if (it != s_cursors.end())
        return (HCURSOR)it->second;
    wxStockCursor stock;
    switch (id)
    {
    case 32512: stock = wxCURSOR_ARROW; break;
    case 32513: stock = wxCURSOR_IBEAM; break;
    case 32514: stock = wxCURSOR_WAIT; break;
    case 32515: stock = wxCURSOR_CROSS; break;
    case 32646: stock = wxCURSOR_SIZING; break;
    case 32648: stock = wxCURSOR_NO_ENTRY; break;
    case 32649: stock = wxCURSOR_HAND; break;
    case 32650: stock = wxCURSOR_ARROWWAIT; break;
    default: return nullptr;
    }
    auto* r = new CursorRecord{stock, wxCursor()};
    s_cursors[id] = r;
    return (HCURSOR)r;
}

// The window the mouse is over while its messages are handled (SetCursor shows there).
void SetCursorWindow(HWND hWnd)
{
    t_hCursorWnd = hWnd;
}

HCURSOR SetCursor(HCURSOR hCursor)
{
    HCURSOR old = g_hCurrentCursor;
    g_hCurrentCursor = hCursor;
    RunOnGui([hCursor] {
        WndRecord* p = LiveRec(t_hCursorWnd);
        wxWindow* w = p ? HostOf(p) : nullptr;
        if (!w)
            return;
        auto* r = reinterpret_cast<CursorRecord*>(hCursor);
        if (!r)
        {
            w->SetCursor(wxCursor(wxCURSOR_BLANK));
            return;
        }
        if (!r->cursor.IsOk())
            r->cursor = wxCursor(r->id);
        w->SetCursor(r->cursor);
    });
    return old;
}

HCURSOR GetCursor()
{
    return g_hCurrentCursor;
}

// ---------------------------------------------------------------------------------------------
// Statics

void PaintStatic(WndRecord* p, wxDC& dc)
{
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
        dc.SetBrush(wxBrush(Wx(cc.clrBrush)));
        dc.DrawRectangle(0, 0, w, h);
    }
    if (type == SS_BITMAP)
    {
        if (const wxBitmap* bmp = WxBitmapOf(p, p->hBitmap))
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
        if (const wxBitmap* bmp = WxBitmapOfIcon(p->hIcon[0]))
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
    dc.SetTextForeground(bDisabled ? Wx(GetSysColor(COLOR_GRAYTEXT)) : Wx(cc.clrText));
    if (!cc.bTransparentText && !cc.bHollow)
    {
        dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
        dc.SetTextBackground(Wx(cc.clrBack));
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

// ---------------------------------------------------------------------------------------------
// Progress bars

void PaintProgress(WndRecord* p, wxDC& dc)
{
    int w = p->rcLight.right - p->rcLight.left, h = p->rcLight.bottom - p->rcLight.top;
    if (w <= 0 || h <= 0)
        return;
    COLORREF bk = p->clrProgBk == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : p->clrProgBk;
    COLORREF bar = p->clrBar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : p->clrBar;
    dc.SetPen(wxPen(Wx(GetSysColor(COLOR_BTNSHADOW))));
    dc.SetBrush(wxBrush(Wx(bk)));
    dc.DrawRectangle(0, 0, w, h);
    int range = p->nProgUpper - p->nProgLower;
    if (range <= 0)
        return;
    long long filled = (long long)(p->nProgPos - p->nProgLower) * (w - 2) / range;
    if (filled <= 0)
        return;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(Wx(bar)));
    dc.DrawRectangle(1, 1, (int)filled, h - 2);
}

void RefreshWindow(WndRecord* p);

LRESULT ProgressDefault(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto clamp = [p](int v) { return v < p->nProgLower ? p->nProgLower : v > p->nProgUpper ? p->nProgUpper : v; };
    int old = p->nProgPos;
    switch (msg)
    {
    case PBM_SETRANGE:
    {
        LRESULT r = MAKELONG(p->nProgLower, p->nProgUpper);
        p->nProgLower = (short)LOWORD(lParam);
        p->nProgUpper = (short)HIWORD(lParam);
        p->nProgPos = clamp(p->nProgPos);
        RefreshWindow(p);
        return r;
    }
    case PBM_SETRANGE32:
    {
        LRESULT r = MAKELONG(p->nProgLower, p->nProgUpper);
        p->nProgLower = (int)wParam;
        p->nProgUpper = (int)lParam;
        p->nProgPos = clamp(p->nProgPos);
        RefreshWindow(p);
        return r;
    }
    case PBM_GETRANGE:
        if (lParam)
        {
            ((int*)lParam)[0] = p->nProgLower;
            ((int*)lParam)[1] = p->nProgUpper;
        }
        return wParam ? p->nProgLower : p->nProgUpper;
    case PBM_SETPOS:
        p->nProgPos = clamp((int)wParam);
        RefreshWindow(p);
        return old;
    case PBM_DELTAPOS:
        p->nProgPos = clamp(p->nProgPos + (int)wParam);
        RefreshWindow(p);
        return old;
    case PBM_SETSTEP:
    {
        int o = p->nProgStep;
        p->nProgStep = (int)wParam;
        return o;
    }
    case PBM_STEPIT:
        p->nProgPos += p->nProgStep;
        if (p->nProgPos > p->nProgUpper)
            p->nProgPos = p->nProgLower + (p->nProgPos - p->nProgUpper);
        p->nProgPos = clamp(p->nProgPos);
        RefreshWindow(p);
        return old;
    case PBM_GETPOS:
        return p->nProgPos;
    case PBM_SETBARCOLOR:
    {
        COLORREF o = p->clrBar;
        p->clrBar = (COLORREF)lParam;
        RefreshWindow(p);
        return (LRESULT)o;
    }
    case PBM_SETBKCOLOR:
    {
        COLORREF o = p->clrProgBk;
        p->clrProgBk = (COLORREF)lParam;
        RefreshWindow(p);
        return (LRESULT)o;
    }
    }
    return 0;
}
