// GDI objects, memory DCs and pixel operations on our own buffers.
#include "GdiImpl.h"
#include "Process.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace gdi {

void (*g_onDestroyed)(const void*) = nullptr;

namespace {

std::mutex& RegistryLock()
{
    static std::mutex m;
    return m;
}

std::unordered_set<const void*>& Live()
{
    static std::unordered_set<const void*> s;
    return s;
}

// DCs are kept apart from objects so an HDC is never taken for an HGDIOBJ.
std::unordered_set<const void*>& LiveDCs()
{
    static std::unordered_set<const void*> s;
    return s;
}

Brush* MakeStockBrush(COLORREF c, bool hollow)
{
    Brush* b = new Brush;
    b->color = c;
    b->hollow = hollow;
    b->stock = true;
    Register(b);
    return b;
}

Pen* MakeStockPen(COLORREF c, int style)
{
    Pen* p = new Pen;
    p->color = c;
    p->style = style;
    p->stock = true;
    Register(p);
    return p;
}

// The 1x1 bitmap every new memory DC starts with.
Bitmap* StockBitmap()
{
    static Bitmap* b = [] {
        Bitmap* s = new Bitmap(1, 1, true);
        s->stock = true;
        Register(s);
        return s;
    }();
    return b;
}

struct Stock
{
    Object* objects[18] = {};
    Brush* sysBrushes[31] = {};
    Stock()
    {
        objects[WHITE_BRUSH] = MakeStockBrush(RGB(255, 255, 255), false);
        objects[LTGRAY_BRUSH] = MakeStockBrush(RGB(192, 192, 192), false);
        objects[GRAY_BRUSH] = MakeStockBrush(RGB(128, 128, 128), false);
        objects[DKGRAY_BRUSH] = MakeStockBrush(RGB(64, 64, 64), false);
        objects[BLACK_BRUSH] = MakeStockBrush(RGB(0, 0, 0), false);
        objects[NULL_BRUSH] = MakeStockBrush(0, true);
        objects[WHITE_PEN] = MakeStockPen(RGB(255, 255, 255), PS_SOLID);
        objects[BLACK_PEN] = MakeStockPen(RGB(0, 0, 0), PS_SOLID);
        objects[NULL_PEN] = MakeStockPen(0, PS_NULL);
        objects[SYSTEM_FONT] = DefaultFont();
        objects[DEFAULT_GUI_FONT] = DefaultFont();
        for (int i = 0; i < 31; ++i) sysBrushes[i] = MakeStockBrush(SysColor(i), false);
    }
};

Stock& Stocks()
{
    static Stock s;
    return s;
}

void Deselect(Object* o)
{
    if (o) --o->selections;
}

// A brush handle, or a system colour index + 1 as Windows accepts in FillRect.
Brush* BrushFrom(HBRUSH h)
{
    uintptr_t v = (uintptr_t)h;
    if (v >= 1 && v <= 31) return Stocks().sysBrushes[v - 1];
    return (Brush*)LookUp((HGDIOBJ)h, kBrush);
}

// The rectangle clipped to the bitmap; false when nothing is left.
bool Clip(const Bitmap* b, int& l, int& t, int& r, int& btm)
{
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, b->width);
    btm = std::min(btm, b->height);
    return l < r && t < btm;
}

void FillPixels(Bitmap* b, int l, int t, int r, int btm, uint32_t px)
{
    std::lock_guard<std::mutex> g(b->lock);
    if (!Clip(b, l, t, r, btm)) return;
    cairo_surface_flush(b->surface);
    for (int y = t; y < btm; ++y) std::fill(b->Row(y) + l, b->Row(y) + r, px);
    cairo_surface_mark_dirty(b->surface);
}

// Locks two bitmaps (maybe the same) in a fixed order.
struct PairLock
{
    PairLock(Bitmap* a, Bitmap* b)
    {
        if (a == b) { m_a = &a->lock; m_a->lock(); return; }
        if (a < b) { m_a = &a->lock; m_b = &b->lock; } else { m_a = &b->lock; m_b = &a->lock; }
        m_a->lock();
        m_b->lock();
    }
    ~PairLock()
    {
        if (m_b) m_b->unlock();
        m_a->unlock();
    }
    std::mutex* m_a = nullptr;
    std::mutex* m_b = nullptr;
};

// Copies with scaling (nearest pixel); key: skip source pixels of that colour.
bool Blit(HDC hdst, int x, int y, int cx, int cy, HDC hsrc, int xs, int ys, int cxs, int cys, bool useKey,
          COLORREF key)
{
    DC* d = LookUpDC(hdst);
    DC* s = LookUpDC(hsrc);
    if (!d || !s || !d->bitmap || !s->bitmap) { SetLastError(ERROR_INVALID_HANDLE); return false; }
    if (cx == 0 || cy == 0 || cxs == 0 || cys == 0) return true;
    Bitmap* db = d->bitmap;
    Bitmap* sb = s->bitmap;
    // A negative extent mirrors, as in StretchBlt.
    bool flipX = (cx < 0) != (cxs < 0);
    bool flipY = (cy < 0) != (cys < 0);
    if (cx < 0) { x += cx + 1; cx = -cx; }
    if (cy < 0) { y += cy + 1; cy = -cy; }
    if (cxs < 0) { xs += cxs + 1; cxs = -cxs; }
    if (cys < 0) { ys += cys + 1; cys = -cys; }
    PairLock g(db, sb);
    cairo_surface_flush(db->surface);
    cairo_surface_flush(sb->surface);
    // Copying a region onto itself must read the source before it is overwritten.
    std::vector<uint32_t> copy;
    const uint32_t* srcBase = nullptr;
    int srcStride = cairo_image_surface_get_stride(sb->surface) / 4;
    if (db == sb)
    {
        copy.assign((uint32_t*)cairo_image_surface_get_data(sb->surface),
                    (uint32_t*)cairo_image_surface_get_data(sb->surface) + (size_t)srcStride * sb->height);
        srcBase = copy.data();
    }
    else
        srcBase = (const uint32_t*)cairo_image_surface_get_data(sb->surface);
    int l = x, t = y, r = x + cx, btm = y + cy;
    if (Clip(db, l, t, r, btm) && cx == cxs && cy == cys && !flipX && !flipY && !useKey)
    {
        // A plain copy (each frame of an animation onto the window): row by row, within the source.
        int sl = std::max(l, x - xs), sr = std::min(r, x - xs + sb->width);
        for (int dy = t; dy < btm && sl < sr; ++dy)
        {
            int sy = ys + (dy - y);
            if (sy < 0 || sy >= sb->height) continue;
            std::memmove(db->Row(dy) + sl, srcBase + (size_t)sy * srcStride + (xs + (sl - x)),
                         (size_t)(sr - sl) * sizeof(uint32_t));
        }
        cairo_surface_mark_dirty(db->surface);
    }
    else if (Clip(db, l, t, r, btm))
    {
        for (int dy = t; dy < btm; ++dy)
        {
            int oy = dy - y;
            if (flipY) oy = cy - 1 - oy;
            int sy = ys + (int)(((int64_t)oy * cys) / cy);
            if (sy < 0 || sy >= sb->height) continue;
            const uint32_t* srow = srcBase + (size_t)sy * srcStride;
            uint32_t* drow = db->Row(dy);
            for (int dx = l; dx < r; ++dx)
            {
                int ox = dx - x;
                if (flipX) ox = cx - 1 - ox;
                int sx = xs + (int)(((int64_t)ox * cxs) / cx);
                if (sx < 0 || sx >= sb->width) continue;
                uint32_t p = srow[sx];
                if (useKey && FromPixel(p) == key) continue;
                drow[dx] = p;
            }
        }
        cairo_surface_mark_dirty(db->surface);
    }
    return true;
}

void PlotPixel(Bitmap* b, int x, int y, uint32_t px)
{
    if (x >= 0 && y >= 0 && x < b->width && y < b->height) b->Row(y)[x] = px;
}

}  // namespace

Bitmap::Bitmap(int w, int h, bool opaque) : Object(kBitmap), width(w), height(h)
{
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    // New compatible bitmaps are black, as on Windows; window back buffers start transparent.
    if (opaque && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_flush(surface);
        for (int y = 0; y < h; ++y) std::fill(Row(y), Row(y) + w, 0xFF000000u);
        cairo_surface_mark_dirty(surface);
    }
}

Bitmap::~Bitmap() { cairo_surface_destroy(surface); }

uint32_t* Bitmap::Row(int y) const
{
    return (uint32_t*)(cairo_image_surface_get_data(surface) + (size_t)y * cairo_image_surface_get_stride(surface));
}

uint32_t ToPixel(COLORREF c)
{
    return 0xFF000000u | ((uint32_t)GetRValue(c) << 16) | ((uint32_t)GetGValue(c) << 8) | GetBValue(c);
}

COLORREF FromPixel(uint32_t p)
{
    uint32_t a = p >> 24;
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a != 0 && a != 255)
    {
        r = std::min(255u, (r * 255 + a / 2) / a);
        g = std::min(255u, (g * 255 + a / 2) / a);
        b = std::min(255u, (b * 255 + a / 2) / a);
    }
    return RGB(r, g, b);
}

// A light scheme close to the classic Windows 7 defaults.
COLORREF SysColor(int index)
{
    switch (index)
    {
    case COLOR_SCROLLBAR: return RGB(200, 200, 200);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    case COLOR_ACTIVECAPTION: return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION: return RGB(191, 205, 219);
    case COLOR_MENU: return RGB(240, 240, 240);
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME: return RGB(100, 100, 100);
    case COLOR_MENUTEXT: return RGB(0, 0, 0);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_CAPTIONTEXT: return RGB(0, 0, 0);
    case COLOR_ACTIVEBORDER: return RGB(180, 180, 180);
    case COLOR_INACTIVEBORDER: return RGB(244, 247, 252);
    case COLOR_APPWORKSPACE: return RGB(171, 171, 171);
    case COLOR_HIGHLIGHT: return RGB(51, 153, 255);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW: return RGB(160, 160, 160);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_INACTIVECAPTIONTEXT: return RGB(67, 78, 84);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW: return RGB(105, 105, 105);
    case COLOR_3DLIGHT: return RGB(227, 227, 227);
    case COLOR_INFOTEXT: return RGB(0, 0, 0);
    case COLOR_INFOBK: return RGB(255, 255, 225);
    case COLOR_HOTLIGHT: return RGB(0, 102, 204);
    case COLOR_GRADIENTACTIVECAPTION: return RGB(185, 209, 234);
    case COLOR_GRADIENTINACTIVECAPTION: return RGB(215, 228, 242);
    case COLOR_MENUHILIGHT: return RGB(51, 153, 255);
    case COLOR_MENUBAR: return RGB(240, 240, 240);
    default: return 0;
    }
}

void Register(Object* o)
{
    std::lock_guard<std::mutex> g(RegistryLock());
    Live().insert(o);
}

Object* LookUp(HGDIOBJ h, int kind)
{
    if (!h) return nullptr;
    std::lock_guard<std::mutex> g(RegistryLock());
    if (!Live().count((const void*)h)) return nullptr;
    Object* o = (Object*)(void*)h;
    if (kind && o->kind != kind) return nullptr;
    return o;
}

DC* LookUpDC(HDC h)
{
    if (!h) return nullptr;
    std::lock_guard<std::mutex> g(RegistryLock());
    return LiveDCs().count((const void*)h) ? (DC*)(void*)h : nullptr;
}

HDC RegisterDC(DC* dc)
{
    // Made before the lock is taken: their first use registers them.
    Stock& stock = Stocks();
    Font* font = DefaultFont();
    std::lock_guard<std::mutex> g(RegistryLock());
    dc->brush = (Brush*)stock.objects[WHITE_BRUSH];
    dc->pen = (Pen*)stock.objects[BLACK_PEN];
    dc->font = font;
    ++dc->brush->selections;
    ++dc->pen->selections;
    ++dc->font->selections;
    if (dc->bitmap) ++dc->bitmap->selections;
    LiveDCs().insert(dc);
    return (HDC)(void*)dc;
}

void ReleaseDCObject(DC* dc)
{
    {
        std::lock_guard<std::mutex> g(RegistryLock());
        LiveDCs().erase(dc);
        if (g_onDestroyed) g_onDestroyed(dc);
        Deselect(dc->brush);
        Deselect(dc->pen);
        Deselect(dc->font);
        Deselect(dc->bitmap);
    }
    delete dc->ownBuffer;
    delete dc;
}

HDC MakeWindowDC(HWND hwnd, int cx, int cy, bool paint)
{
    DC* dc = new DC;
    dc->kind = kWindowDC;
    dc->hwnd = hwnd;
    dc->paint = paint;
    dc->ownBuffer = new Bitmap(std::max(cx, 1), std::max(cy, 1), false);
    // A window too large for a drawing surface (or no memory for it) gets no DC, as GetDC
    // fails on Windows: callers see NULL, never a surface without pixels.
    if (cairo_surface_status(dc->ownBuffer->surface) != CAIRO_STATUS_SUCCESS)
    {
        delete dc->ownBuffer;
        delete dc;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    dc->bitmap = dc->ownBuffer;
    return RegisterDC(dc);
}

}  // namespace gdi

using namespace gdi;

HDC CreateCompatibleDC(HDC hdc)
{
    if (hdc && !LookUpDC(hdc)) { SetLastError(ERROR_INVALID_HANDLE); return nullptr; }
    DC* dc = new DC;
    dc->bitmap = StockBitmap();
    return RegisterDC(dc);
}

BOOL DeleteDC(HDC hdc)
{
    DC* dc = LookUpDC(hdc);
    if (!dc) { SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
    // A window's DC goes back with ReleaseDC or EndPaint, which also bring its drawing to the window.
    if (dc->kind == kWindowDC) { SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
    ReleaseDCObject(dc);
    return TRUE;
}

HWND WindowFromDC(HDC hdc)
{
    DC* dc = LookUpDC(hdc);
    return dc ? dc->hwnd : nullptr;
}

int GetDeviceCaps(HDC hdc, int index)
{
    DC* dc = LookUpDC(hdc);
    switch (index)
    {
    // Pictures and dialog units are laid out for the common 96 dots per inch.
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case HORZRES: return dc && dc->device.cx ? dc->device.cx : (dc && dc->bitmap ? dc->bitmap->width : 0);
    case VERTRES: return dc && dc->device.cy ? dc->device.cy : (dc && dc->bitmap ? dc->bitmap->height : 0);
    default: return 0;
    }
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    if (cx <= 0 || cy <= 0 || cx > 32767 || cy > 32767) { SetLastError(ERROR_INVALID_PARAMETER); return nullptr; }
    Bitmap* b = new Bitmap(cx, cy, true);
    if (cairo_surface_status(b->surface) != CAIRO_STATUS_SUCCESS)
    {
        delete b;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Register(b);
    return (HBITMAP)(void*)b;
}

HBITMAP CreateBitmap(int cx, int cy, UINT planes, UINT bitsPerPixel, const void* bits)
{
    HBITMAP h = CreateCompatibleBitmap(nullptr, cx, cy);
    Bitmap* b = (Bitmap*)LookUp((HGDIOBJ)h, kBitmap);
    if (b && bits && bitsPerPixel == 32)
    {
        // Rows of 32-bit BGRX pixels, top-down.
        const uint8_t* p = (const uint8_t*)bits;
        cairo_surface_flush(b->surface);
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x, p += 4)
                b->Row(y)[x] = 0xFF000000u | ((uint32_t)p[2] << 16) | ((uint32_t)p[1] << 8) | p[0];
        cairo_surface_mark_dirty(b->surface);
    }
    return h;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    Brush* b = new Brush;
    b->color = color & 0x00FFFFFF;
    Register(b);
    return (HBRUSH)(void*)b;
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    Pen* p = new Pen;
    p->style = style;
    p->width = width < 1 ? 1 : width;
    p->color = color & 0x00FFFFFF;
    Register(p);
    return (HPEN)(void*)p;
}

HGDIOBJ GetStockObject(int index)
{
    if (index < 0 || index >= 18) return nullptr;
    return (HGDIOBJ)(void*)Stocks().objects[index];
}

HBRUSH GetSysColorBrush(int index)
{
    if (index < 0 || index >= 31) return nullptr;
    return (HBRUSH)(void*)Stocks().sysBrushes[index];
}

DWORD GetSysColor(int index) { return SysColor(index); }

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj)
{
    DC* dc = LookUpDC(hdc);
    Object* o = LookUp(obj);
    if (!dc || !o) { SetLastError(ERROR_INVALID_HANDLE); return nullptr; }
    std::lock_guard<std::mutex> g(RegistryLock());
    Object* old = nullptr;
    switch (o->kind)
    {
    case kBitmap:
        // Only memory DCs take bitmaps, and a bitmap sits in one DC at a time.
        if (dc->kind != kMemoryDC || (o->selections > 0 && o != dc->bitmap && !o->stock)) return nullptr;
        old = dc->bitmap;
        dc->bitmap = (Bitmap*)o;
        break;
    case kBrush: old = dc->brush; dc->brush = (Brush*)o; break;
    case kPen: old = dc->pen; dc->pen = (Pen*)o; break;
    case kFont: old = dc->font; dc->font = (Font*)o; break;
    case kRegion: return nullptr;  // clipping regions are not kept
    }
    ++o->selections;
    Deselect(old);
    return (HGDIOBJ)(void*)old;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    DC* dc = LookUpDC(hdc);
    if (!dc) return nullptr;
    switch (type)
    {
    case OBJ_BITMAP: return dc->kind == kMemoryDC ? (HGDIOBJ)(void*)dc->bitmap : nullptr;
    case OBJ_BRUSH: return (HGDIOBJ)(void*)dc->brush;
    case OBJ_PEN: return (HGDIOBJ)(void*)dc->pen;
    case OBJ_FONT: return (HGDIOBJ)(void*)dc->font;
    default: return nullptr;
    }
}

DWORD GetGuiResources(HANDLE hProcess, DWORD uiFlags)
{
    if (hProcess != GetCurrentProcess() || uiFlags != GR_GDIOBJECTS)
        return 0;
    std::lock_guard<std::mutex> g(RegistryLock());
    return (DWORD)(Live().size() + LiveDCs().size());
}

BOOL DeleteObject(HGDIOBJ obj)
{
    Object* o = LookUp(obj);
    if (!o) { SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
    {
        std::lock_guard<std::mutex> g(RegistryLock());
        if (o->stock) return TRUE;  // stock objects stay
        if (o->selections > 0) return FALSE;
        Live().erase(o);
    }
    if (g_onDestroyed) g_onDestroyed(o);
    delete o;
    return TRUE;
}

int GetObject(HGDIOBJ obj, int size, void* out)
{
    Object* o = LookUp(obj);
    if (!o) return 0;
    if (o->kind == kBitmap)
    {
        if (!out) return (int)sizeof(BITMAP);
        if (size < (int)sizeof(BITMAP)) return 0;
        Bitmap* b = (Bitmap*)o;
        BITMAP bm{};
        bm.bmWidth = b->width;
        bm.bmHeight = b->height;
        bm.bmWidthBytes = b->width * 4;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = 32;
        std::memcpy(out, &bm, sizeof bm);
        return (int)sizeof(BITMAP);
    }
    if (o->kind == kBrush)
    {
        if (!out) return (int)sizeof(LOGBRUSH);
        if (size < (int)sizeof(LOGBRUSH)) return 0;
        LOGBRUSH lb{};
        lb.lbStyle = ((Brush*)o)->hollow ? BS_HOLLOW : BS_SOLID;
        lb.lbColor = ((Brush*)o)->color;
        std::memcpy(out, &lb, sizeof lb);
        return (int)sizeof(LOGBRUSH);
    }
    if (o->kind == kFont)
    {
        if (!out) return (int)sizeof(LOGFONTA);
        if (size < (int)sizeof(LOGFONTA)) return 0;
        std::memcpy(out, &((Font*)o)->lf, sizeof(LOGFONTA));
        return (int)sizeof(LOGFONTA);
    }
    return 0;
}

DWORD GetObjectType(HGDIOBJ obj)
{
    if (DC* dc = LookUpDC((HDC)(void*)obj)) return dc->kind == kMemoryDC ? OBJ_MEMDC : OBJ_DC;
    Object* o = LookUp(obj);
    return o ? (DWORD)o->kind : 0;
}

int SetBkMode(HDC hdc, int mode)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}

int GetBkMode(HDC hdc)
{
    DC* dc = LookUpDC(hdc);
    return dc ? dc->bkMode : 0;
}

namespace {
// The background and text colours are set and read alike; which one is the member given.
COLORREF SetDCColor(HDC hdc, COLORREF DC::*which, COLORREF color)
{
    DC* dc = LookUpDC(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->*which;
    dc->*which = color & 0x00FFFFFF;
    return old;
}

COLORREF GetDCColor(HDC hdc, COLORREF DC::*which)
{
    DC* dc = LookUpDC(hdc);
    return dc ? dc->*which : CLR_INVALID;
}
}  // namespace

COLORREF SetBkColor(HDC hdc, COLORREF color) { return SetDCColor(hdc, &DC::bkColor, color); }
COLORREF GetBkColor(HDC hdc) { return GetDCColor(hdc, &DC::bkColor); }
COLORREF SetTextColor(HDC hdc, COLORREF color) { return SetDCColor(hdc, &DC::textColor, color); }
COLORREF GetTextColor(HDC hdc) { return GetDCColor(hdc, &DC::textColor); }

int FillRect(HDC hdc, const RECT* rc, HBRUSH brush)
{
    DC* dc = LookUpDC(hdc);
    Brush* b = BrushFrom(brush);
    if (!dc || !rc || !b || !dc->bitmap) return 0;
    if (!b->hollow) FillPixels(dc->bitmap, rc->left, rc->top, rc->right, rc->bottom, ToPixel(b->color));
    return 1;
}

BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, DWORD rop)
{
    if (rop != SRCCOPY) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
    return Blit(dst, x, y, cx, cy, src, xSrc, ySrc, cx, cy, false, 0) ? TRUE : FALSE;
}

BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, int cxSrc, int cySrc,
                DWORD rop)
{
    if (rop != SRCCOPY) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
    return Blit(dst, x, y, cx, cy, src, xSrc, ySrc, cxSrc, cySrc, false, 0) ? TRUE : FALSE;
}

BOOL TransparentBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, int cxSrc, int cySrc,
                    UINT crTransparent)
{
    // Unlike StretchBlt, negative extents are an error here.
    if (cx < 0 || cy < 0 || cxSrc < 0 || cySrc < 0) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
    return Blit(dst, x, y, cx, cy, src, xSrc, ySrc, cxSrc, cySrc, true, crTransparent & 0x00FFFFFF) ? TRUE
                                                                                                     : FALSE;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !dc->bitmap) return CLR_INVALID;
    Bitmap* b = dc->bitmap;
    std::lock_guard<std::mutex> g(b->lock);
    if (x < 0 || y < 0 || x >= b->width || y >= b->height) return CLR_INVALID;
    cairo_surface_flush(b->surface);
    return FromPixel(b->Row(y)[x]);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !dc->bitmap) return CLR_INVALID;
    Bitmap* b = dc->bitmap;
    std::lock_guard<std::mutex> g(b->lock);
    if (x < 0 || y < 0 || x >= b->width || y >= b->height) return CLR_INVALID;
    cairo_surface_flush(b->surface);
    b->Row(y)[x] = ToPixel(color);
    cairo_surface_mark_dirty(b->surface);
    return color & 0x00FFFFFF;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old)
{
    DC* dc = LookUpDC(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->current;
    dc->current = POINT{x, y};
    return TRUE;
}

int SetROP2(HDC hdc, int rop2)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
    int old = dc->rop2;
    dc->rop2 = rop2;
    return old;
}

int GetROP2(HDC hdc)
{
    DC* dc = LookUpDC(hdc);
    return dc ? dc->rop2 : 0;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    DC* dc = LookUpDC(hdc);
    if (dc && IsScreenDC(dc))
    {
        ScreenLine(dc, dc->current.x, dc->current.y, x, y);
        dc->current = POINT{x, y};
        return TRUE;
    }
    if (!dc || !dc->bitmap) return FALSE;
    Pen* pen = dc->pen;
    if (pen && pen->style != PS_NULL)
    {
        // Bresenham, the end point excluded, as Windows draws it.
        Bitmap* b = dc->bitmap;
        uint32_t px = ToPixel(pen->color);
        std::lock_guard<std::mutex> g(b->lock);
        cairo_surface_flush(b->surface);
        int x0 = dc->current.x, y0 = dc->current.y;
        int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
        int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
        int err = dx + dy;
        int half = (pen->width - 1) / 2;
        while (x0 != x || y0 != y)
        {
            for (int oy = -half; oy < pen->width - half; ++oy)
                for (int ox = -half; ox < pen->width - half; ++ox) PlotPixel(b, x0 + ox, y0 + oy, px);
            int e2 = 2 * err;
            if (e2 >= dy) { err += dy; x0 += sx; }
            if (e2 <= dx) { err += dx; y0 += sy; }
        }
        cairo_surface_mark_dirty(b->surface);
    }
    dc->current = POINT{x, y};
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !dc->bitmap) return FALSE;
    if (dc->brush && !dc->brush->hollow)
        FillPixels(dc->bitmap, left, top, right, bottom, ToPixel(dc->brush->color));
    if (dc->pen && dc->pen->style != PS_NULL)
    {
        uint32_t px = ToPixel(dc->pen->color);
        FillPixels(dc->bitmap, left, top, right, top + 1, px);
        FillPixels(dc->bitmap, left, bottom - 1, right, bottom, px);
        FillPixels(dc->bitmap, left, top, left + 1, bottom, px);
        FillPixels(dc->bitmap, right - 1, top, right, bottom, px);
    }
    return TRUE;
}

int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    int64_t p = (int64_t)a * b;
    bool negative = (p < 0) != (c < 0);
    int64_t ap = p < 0 ? -p : p;
    int64_t ac = c < 0 ? -(int64_t)c : c;
    int64_t q = (ap + ac / 2) / ac;
    if (q > INT32_MAX) return -1;
    return (int)(negative ? -q : q);
}
