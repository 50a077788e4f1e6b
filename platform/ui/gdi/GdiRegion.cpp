// Regions: rectangles and rounded rectangles as lists of row bands, for window shapes.
#include <algorithm>
#include <cmath>
#include "GdiImpl.h"

using namespace gdi;

namespace
{
HRGN Make(std::vector<RECT> rects)
{
    Region* r = new Region;
    r->rects = std::move(rects);
    Register(r);
    return (HRGN)(Object*)r;
}
}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    std::vector<RECT> rects;
    if (right > left && bottom > top) rects.push_back(RECT{left, top, right, bottom});
    return Make(std::move(rects));
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int wEllipse, int hEllipse)
{
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    double rx = std::min(wEllipse, right - left) / 2.0, ry = std::min(hEllipse, bottom - top) / 2.0;
    std::vector<RECT> rects;
    for (int y = top; y < bottom; ++y)
    {
        // The row's inset from the corner ellipses, measured at the row's middle.
        double cy = y + 0.5;
        double dy = 0;
        if (cy < top + ry) dy = top + ry - cy;
        else if (cy > bottom - ry) dy = cy - (bottom - ry);
        int inset = 0;
        if (dy > 0 && ry > 0)
        {
            double f = 1.0 - (dy / ry) * (dy / ry);
            inset = (int)std::lround(rx - rx * std::sqrt(std::max(0.0, f)));
        }
        if (right - inset > left + inset) rects.push_back(RECT{left + inset, y, right - inset, y + 1});
    }
    return Make(std::move(rects));
}

int GetRgnBox(HRGN hrgn, LPRECT lprc)
{
    Region* r = (Region*)LookUp((HGDIOBJ)hrgn, kRegion);
    if (!r || !lprc) return 0;
    if (r->rects.empty())
    {
        *lprc = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    RECT box = r->rects[0];
    for (const RECT& rc : r->rects)
    {
        box.left = std::min(box.left, rc.left);
        box.top = std::min(box.top, rc.top);
        box.right = std::max(box.right, rc.right);
        box.bottom = std::max(box.bottom, rc.bottom);
    }
    *lprc = box;
    return r->rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL PtInRegion(HRGN hrgn, int x, int y)
{
    Region* r = (Region*)LookUp((HGDIOBJ)hrgn, kRegion);
    if (!r) return FALSE;
    for (const RECT& rc : r->rects)
        if (x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom) return TRUE;
    return FALSE;
}

namespace gdi
{
bool RegionRects(HRGN hrgn, std::vector<RECT>& rects)
{
    Region* r = (Region*)LookUp((HGDIOBJ)hrgn, kRegion);
    if (!r) return false;
    rects = r->rects;
    return true;
}
}  // namespace gdi
