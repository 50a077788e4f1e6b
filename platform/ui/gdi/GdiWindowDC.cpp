// Window DCs: drawing goes to a transparent back buffer of the client area, and only when the DC
// is released does it reach the window, composited over what wx/GTK drew, on the GUI thread.
#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/bitmap.h>
#include <wx/window.h>

#include "GdiImpl.h"
#include "GdiDC.h"
#include "CWnd.h"
#include "ResourceRegistry.h"
#include "WinUser.h"

#include <algorithm>
#include <cstring>

namespace gdi {

namespace {

// Puts the drawn pixels of the buffer on the wx DC (the buffer's lock is held by the caller).
void Composite(Bitmap* b, wxDC& dc)
{
    cairo_surface_flush(b->surface);
    if (wxGraphicsContext* gc = dc.GetGraphicsContext())
    {
        if (cairo_t* cr = (cairo_t*)gc->GetNativeContext())
        {
            cairo_save(cr);
            cairo_set_source_surface(cr, b->surface, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
            return;
        }
    }
    // A DC without cairo: through an image with alpha.
    wxImage img(b->width, b->height);
    img.InitAlpha();
    unsigned char* rgb = img.GetData();
    unsigned char* alpha = img.GetAlpha();
    for (int y = 0; y < b->height; ++y)
    {
        const uint32_t* row = b->Row(y);
        for (int x = 0; x < b->width; ++x)
        {
            COLORREF c = FromPixel(row[x]);
            size_t i = (size_t)y * b->width + x;
            rgb[i * 3] = GetRValue(c);
            rgb[i * 3 + 1] = GetGValue(c);
            rgb[i * 3 + 2] = GetBValue(c);
            alpha[i] = (unsigned char)(row[x] >> 24);
        }
    }
    dc.DrawBitmap(wxBitmap(img), 0, 0, true);
}

bool AnythingDrawn(Bitmap* b)
{
    cairo_surface_flush(b->surface);
    for (int y = 0; y < b->height; ++y)
    {
        const uint32_t* row = b->Row(y);
        for (int x = 0; x < b->width; ++x)
            if (row[x] >> 24) return true;
    }
    return false;
}

struct FlushCall
{
    DC* dc;
};

void FlushOnGui(void* p)
{
    DC* dc = ((FlushCall*)p)->dc;
    HWND hwnd = dc->hwnd;
    if (!hwnd || !::IsWindow(hwnd)) return;
    std::lock_guard<std::mutex> g(dc->ownBuffer->lock);
    if (!AnythingDrawn(dc->ownBuffer)) return;
    if (wxDC* paint = AfxGetPaintContext(hwnd))
    {
        Composite(dc->ownBuffer, *paint);
        return;
    }
    // Outside a paint: straight onto the window, as a client DC draws on Windows (gone at the next
    // paint). A windowless control is shown by its parent's widget, at its place in it.
    int dx = 0, dy = 0;
    if (wxWindow* w = AfxGetWxWindow(hwnd); w && AfxGetWxWindowOffset(hwnd, &dx, &dy))
    {
        wxClientDC client(w);
        client.SetDeviceOrigin(dx, dy);
        client.SetClippingRegion(0, 0, dc->ownBuffer->width, dc->ownBuffer->height);
        Composite(dc->ownBuffer, client);
    }
}

SIZE ClientSize(HWND hwnd)
{
    RECT rc{0, 0, 0, 0};
    if (hwnd) ::GetClientRect(hwnd, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace

void FlushWindowDC(DC* dc)
{
    if (!dc || dc->kind != kWindowDC || !dc->ownBuffer || !dc->hwnd) return;
    FlushCall call{dc};
    AfxRunOnGuiThread(&FlushOnGui, &call);
}

}  // namespace gdi

using namespace gdi;

HDC GetDC(HWND hWnd)
{
    if (hWnd && !::IsWindow(hWnd)) { SetLastError(ERROR_INVALID_HANDLE); return nullptr; }
    // NULL: the screen, good for measuring and as the model of memory DCs.
    SIZE size = hWnd ? ClientSize(hWnd) : SIZE{1, 1};
    HDC hdc = MakeWindowDC(hWnd, size.cx, size.cy, false);
    if (!hWnd)
        if (DC* dc = LookUpDC(hdc)) dc->device = SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return hdc;
}

int ReleaseDC(HWND hWnd, HDC hdc)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || dc->kind != kWindowDC || dc->hwnd != hWnd) return 0;
    FlushWindowDC(dc);
    ReleaseDCObject(dc);
    return 1;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* ps)
{
    if (!hWnd || !::IsWindow(hWnd)) { SetLastError(ERROR_INVALID_HANDLE); return nullptr; }
    SIZE size = ClientSize(hWnd);
    HDC hdc = MakeWindowDC(hWnd, size.cx, size.cy, true);
    if (ps)
    {
        std::memset(ps, 0, sizeof *ps);
        ps->hdc = hdc;
        ps->rcPaint = RECT{0, 0, size.cx, size.cy};
        if (wxWindow* w = AfxGetPaintContext(hWnd) ? AfxGetWxWindow(hWnd) : nullptr)
        {
            wxRect box = w->GetUpdateRegion().GetBox();
            if (!box.IsEmpty()) ps->rcPaint = RECT{box.x, box.y, box.x + box.width, box.y + box.height};
        }
    }
    return hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* ps)
{
    if (!ps) return FALSE;
    DC* dc = LookUpDC(ps->hdc);
    if (!dc || dc->kind != kWindowDC || dc->hwnd != hWnd) return FALSE;
    FlushWindowDC(dc);
    ReleaseDCObject(dc);
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    Attach(BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    if (m_hDC) EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}

CWindowDC::CWindowDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    Attach(::GetDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }

int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()) : 0; }

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

HBITMAP LoadBitmap(HINSTANCE, LPCSTR name)
{
    const void* data = nullptr;
    DWORD size = 0;
    if (!name || !CResourceRegistry::FindData(name, RT_BITMAP, &data, &size))
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return gdi::BitmapFromImage(data, size);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach((HGDIOBJ)::LoadBitmap(nullptr, MAKEINTRESOURCE(nIDResource)));
}
