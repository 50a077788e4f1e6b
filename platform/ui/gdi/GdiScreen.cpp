// Lines on the screen DC (GetDC(NULL)) go straight onto the X root window, over every window
// (child windows included), in the DC's raster operation: an inverting line drawn twice leaves the
// screen as it was.
#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <X11/Xlib.h>
#include <cstdlib>
#include <vector>
#include "GdiImpl.h"
#include "WndRecord.h"

namespace gdi
{
namespace
{
int XFunctionOf(int rop2)
{
    static const int s_table[17] = {GXcopy, GXclear, GXnor, GXandInverted, GXcopyInverted, GXandReverse, GXinvert,
                                    GXxor, GXnand, GXand, GXequiv, GXnoop, GXorInverted, GXcopy, GXorReverse,
                                    GXor, GXset};
    return rop2 >= 1 && rop2 <= 16 ? s_table[rop2] : GXcopy;
}
}  // namespace

bool IsScreenDC(const DC* dc)
{
    return dc && dc->kind == kWindowDC && !dc->hwnd;
}

void ScreenLine(DC* dc, int x0, int y0, int x1, int y1)
{
    if (!dc->pen || dc->pen->style == PS_NULL) return;
    // Bresenham, the end point excluded, as every line here.
    std::vector<XPoint> pts;
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int half = (dc->pen->width - 1) / 2;
    while (x0 != x1 || y0 != y1)
    {
        for (int oy = -half; oy < dc->pen->width - half; ++oy)
            for (int ox = -half; ox < dc->pen->width - half; ++ox)
                pts.push_back(XPoint{(short)(x0 + ox), (short)(y0 + oy)});
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
    COLORREF c = dc->pen->color;
    int function = XFunctionOf(dc->rop2);
    RunOnGui([&] {
        GdkDisplay* gd = gdk_display_get_default();
        if (!gd || !GDK_IS_X11_DISPLAY(gd) || pts.empty()) return;
        Display* d = GDK_DISPLAY_XDISPLAY(gd);
        Window root = DefaultRootWindow(d);
        XGCValues v{};
        v.function = function;
        v.foreground = ((unsigned long)GetRValue(c) << 16) | ((unsigned long)GetGValue(c) << 8) | GetBValue(c);
        v.subwindow_mode = IncludeInferiors;
        GC gc = XCreateGC(d, root, GCFunction | GCForeground | GCSubwindowMode, &v);
        XDrawPoints(d, root, gc, pts.data(), (int)pts.size(), CoordModeOrigin);
        XFreeGC(d, gc);
        XSync(d, False);
    });
}
}  // namespace gdi
