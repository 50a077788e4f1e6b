// Framework device contexts (the window-bound ones sit with the window code in GdiWindowDC.cpp).
#include "GdiDC.h"

#include <map>
#include <memory>
#include <mutex>

// Wrappers made by CDC::FromHandle, dropped when their DC goes.
struct CDCWrappers
{
    std::mutex lock;
    std::map<const void*, std::unique_ptr<CDC>> map;

    static CDCWrappers& Instance()
    {
        static CDCWrappers* w = new CDCWrappers;  // lives to the end of the process
        return *w;
    }

    CDC* Get(HDC h)
    {
        if (!h) return nullptr;
        std::lock_guard<std::mutex> g(lock);
        auto& slot = map[(const void*)h];
        if (!slot)
        {
            slot.reset(new CDC);
            slot->m_hDC = h;
            slot->m_bTemporary = true;
        }
        return slot.get();
    }

    void Drop(const void* h)
    {
        std::unique_ptr<CDC> gone;
        {
            std::lock_guard<std::mutex> g(lock);
            auto it = map.find(h);
            if (it == map.end()) return;
            gone = std::move(it->second);
            map.erase(it);
        }
        gone->m_hDC = nullptr;
    }
};

void DropDCWrapper(const void* hdc) { CDCWrappers::Instance().Drop(hdc); }

CDC::~CDC()
{
    if (!m_bTemporary && m_hDC) ::DeleteDC(m_hDC);
}

BOOL CDC::Attach(HDC hdc)
{
    if (!hdc) return FALSE;
    m_hDC = hdc;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    m_hDC = nullptr;
    return h;
}

CDC* CDC::FromHandle(HDC hdc)
{
    return CDCWrappers::Instance().Get(hdc);
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC ? pDC->GetSafeHdc() : nullptr));
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectObject(CGdiObject* obj)
{
    if (!obj) return nullptr;
    return CGdiObject::FromHandle(::SelectObject(m_hDC, obj->m_hObject));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    if (!bitmap) return nullptr;
    return CBitmap::FromHandle((HBITMAP)::SelectObject(m_hDC, bitmap->m_hObject));
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (!brush) return nullptr;
    return CBrush::FromHandle((HBRUSH)::SelectObject(m_hDC, brush->m_hObject));
}

CPen* CDC::SelectObject(CPen* pen)
{
    if (!pen) return nullptr;
    return CPen::FromHandle((HPEN)::SelectObject(m_hDC, pen->m_hObject));
}

CFont* CDC::SelectObject(CFont* font)
{
    if (!font) return nullptr;
    return CFont::FromHandle((HFONT)::SelectObject(m_hDC, font->m_hObject));
}

CGdiObject* CDC::SelectStockObject(int index)
{
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index)));
}

CFont* CDC::GetCurrentFont() const { return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT)); }

void CDC::FillSolidRect(const RECT* rc, COLORREF color)
{
    if (!rc) return;
    FillSolidRect(rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, color);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    ::SetBkColor(m_hDC, color);
    HBRUSH brush = ::CreateSolidBrush(color);
    RECT rc{x, y, x + cx, y + cy};
    ::FillRect(m_hDC, &rc, brush);
    ::DeleteObject((HGDIOBJ)brush);
}

BOOL CDC::BitBlt(int x, int y, int cx, int cy, CDC* src, int xSrc, int ySrc, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : nullptr, xSrc, ySrc, rop);
}

BOOL CDC::StretchBlt(int x, int y, int cx, int cy, CDC* src, int xSrc, int ySrc, int cxSrc, int cySrc, DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : nullptr, xSrc, ySrc, cxSrc, cySrc, rop);
}

BOOL CDC::TransparentBlt(int x, int y, int cx, int cy, CDC* src, int xSrc, int ySrc, int cxSrc, int cySrc,
                         UINT crTransparent)
{
    return ::TransparentBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : nullptr, xSrc, ySrc, cxSrc, cySrc,
                            crTransparent);
}

POINT CDC::MoveTo(int x, int y)
{
    POINT old{0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}

SIZE CDC::GetTextExtent(LPCSTR text, int len) const
{
    SIZE s{0, 0};
    ::GetTextExtentPoint32(m_hDC, text, len, &s);
    return s;
}

void CDC::Draw3dRect(const RECT* rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (!rc) return;
    int w = rc->right - rc->left, h = rc->bottom - rc->top;
    FillSolidRect(rc->left, rc->top, w - 1, 1, clrTopLeft);
    FillSolidRect(rc->left, rc->top, 1, h - 1, clrTopLeft);
    FillSolidRect(rc->right - 1, rc->top, 1, h, clrBottomRight);
    FillSolidRect(rc->left, rc->bottom - 1, w, 1, clrBottomRight);
}
