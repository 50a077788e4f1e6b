// What window painting shares: fonts, colours from the parent, icons and cursors.
#include <wx/wx.h>
#include <wx/mstream.h>
#include <mutex>
#include "WndClass.h"
#include "CodePage.h"
#include "Gdi.h"
#include "GdiImpl.h"
#include "ResourceRegistry.h"


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

wxColour WxColourOf(COLORREF c)
{
    return wxColour(GetRValue(c), GetGValue(c), GetBValue(c));
}

// ---------------------------------------------------------------------------------------------
// Bitmaps and icons

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
    // Shared cursors live as long as the process: the table is never destroyed, so no exit-time
    // destructor leaves its records unreachable.
    static auto* s_cursors = new std::map<UINT_PTR, CursorRecord*>;
    UINT_PTR id = (UINT_PTR)lpCursorName;
    std::lock_guard<std::mutex> guard(s_lock);
    auto it = s_cursors->find(id);
    if (it != s_cursors->end())
        return (HCURSOR)it->second;
    wxStockCursor stock;
    switch (id)
    {
    case 32512: stock = wxCURSOR_ARROW; break;
    case 32513: stock = wxCURSOR_IBEAM; break;
    case 32514: stock = wxCURSOR_WAIT; break;
    case 32515: stock = wxCURSOR_CROSS; break;
    case 32642: stock = wxCURSOR_SIZENWSE; break;
    case 32643: stock = wxCURSOR_SIZENESW; break;
    case 32644: stock = wxCURSOR_SIZEWE; break;
    case 32645: stock = wxCURSOR_SIZENS; break;
    case 32646: stock = wxCURSOR_SIZING; break;
    case 32648: stock = wxCURSOR_NO_ENTRY; break;
    case 32649: stock = wxCURSOR_HAND; break;
    case 32650: stock = wxCURSOR_ARROWWAIT; break;
    default: return nullptr;
    }
    auto* r = new CursorRecord{stock, wxCursor()};
    (*s_cursors)[id] = r;
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

