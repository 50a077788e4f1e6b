// DrawIconEx: an icon's picture, scaled, alpha-blended into a DC's pixels.
#include <wx/wx.h>
#include <wx/image.h>
#include "GdiImpl.h"
#include "WndRecord.h"

using namespace gdi;

BOOL DrawIconEx(HDC hdc, int x, int y, HICON hIcon, int cx, int cy, UINT, HBRUSH, UINT)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !dc->bitmap || !hIcon) return FALSE;
    BOOL ok = FALSE;
    RunOnGui([&] {
        const wxBitmap* bmp = WxBitmapOfIcon(hIcon);
        if (!bmp || !bmp->IsOk()) return;
        wxImage img = bmp->ConvertToImage();
        if (cx <= 0) cx = img.GetWidth();
        if (cy <= 0) cy = img.GetHeight();
        if (img.GetWidth() != cx || img.GetHeight() != cy) img.Rescale(cx, cy, wxIMAGE_QUALITY_HIGH);
        Bitmap* b = dc->bitmap;
        std::lock_guard<std::mutex> g(b->lock);
        cairo_surface_flush(b->surface);
        const unsigned char* rgb = img.GetData();
        const unsigned char* alpha = img.HasAlpha() ? img.GetAlpha() : nullptr;
        for (int j = 0; j < cy; ++j)
        {
            int ty = y + j;
            if (ty < 0 || ty >= b->height) continue;
            uint32_t* row = b->Row(ty);
            for (int i = 0; i < cx; ++i)
            {
                int tx = x + i;
                if (tx < 0 || tx >= b->width) continue;
                size_t k = (size_t)j * cx + i;
                uint32_t a = alpha ? alpha[k] : 255;
                uint32_t r = rgb[k * 3] * a / 255, gr = rgb[k * 3 + 1] * a / 255, bl = rgb[k * 3 + 2] * a / 255;
                row[tx] = Over((a << 24) | (r << 16) | (gr << 8) | bl, row[tx]);
            }
        }
        cairo_surface_mark_dirty(b->surface);
        ok = TRUE;
    });
    return ok;
}
