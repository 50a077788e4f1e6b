// CPoint, CSize and CRect: the geometry records with the framework's helpers.
#pragma once

#include "WinTypes.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

class CSize : public tagSIZE
{
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int x, int y) { cx = x; cy = y; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    bool operator==(const SIZE& s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(const SIZE& s) const { return !(*this == s); }
};

class CPoint : public tagPOINT
{
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int ix, int iy) { x = ix; y = iy; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    // Packed coordinates of a mouse message's lParam (signed 16-bit each).
    explicit CPoint(LPARAM lParam) { x = (short)LOWORD(lParam); y = (short)HIWORD(lParam); }
    void Offset(int dx, int dy) { x += dx; y += dy; }
    bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
    bool operator!=(const POINT& p) const { return !(*this == p); }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
    CPoint& operator+=(SIZE s) { x += s.cx; y += s.cy; return *this; }
    CPoint& operator-=(SIZE s) { x -= s.cx; y -= s.cy; return *this; }
};

class CRect : public tagRECT
{
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rc) { left = rc.left; top = rc.top; right = rc.right; bottom = rc.bottom; }
    CRect(const RECT* prc) { if (prc) *this = *prc; else left = top = right = bottom = 0; }
    CRect(POINT pt, SIZE sz) { left = pt.x; top = pt.y; right = pt.x + sz.cx; bottom = pt.y + sz.cy; }
    CRect& operator=(const RECT& rc) { left = rc.left; top = rc.top; right = rc.right; bottom = rc.bottom; return *this; }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE sz) { OffsetRect(sz.cx, sz.cy); }
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    void MoveToX(int x) { OffsetRect(x - left, 0); }
    void MoveToY(int y) { OffsetRect(0, y - top); }
    void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void NormalizeRect()
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }
    BOOL IntersectRect(LPCRECT a, LPCRECT b);
    BOOL UnionRect(LPCRECT a, LPCRECT b);

    bool operator==(const RECT& rc) const
    {
        return left == rc.left && top == rc.top && right == rc.right && bottom == rc.bottom;
    }
    bool operator!=(const RECT& rc) const { return !(*this == rc); }
};

inline BOOL CRect::IntersectRect(LPCRECT a, LPCRECT b)
{
    left = a->left > b->left ? a->left : b->left;
    top = a->top > b->top ? a->top : b->top;
    right = a->right < b->right ? a->right : b->right;
    bottom = a->bottom < b->bottom ? a->bottom : b->bottom;
    if (IsRectEmpty()) { SetRectEmpty(); return FALSE; }
    return TRUE;
}

inline BOOL CRect::UnionRect(LPCRECT a, LPCRECT b)
{
    CRect ra(a), rb(b);
    if (ra.IsRectEmpty()) { *this = rb; return !IsRectEmpty(); }
    if (rb.IsRectEmpty()) { *this = ra; return TRUE; }
    left = ra.left < rb.left ? ra.left : rb.left;
    top = ra.top < rb.top ? ra.top : rb.top;
    right = ra.right > rb.right ? ra.right : rb.right;
    bottom = ra.bottom > rb.bottom ? ra.bottom : rb.bottom;
    return TRUE;
}

inline BOOL SetRect(LPRECT rc, int l, int t, int r, int b) { rc->left = l; rc->top = t; rc->right = r; rc->bottom = b; return TRUE; }
inline BOOL OffsetRect(LPRECT rc, int dx, int dy) { rc->left += dx; rc->right += dx; rc->top += dy; rc->bottom += dy; return TRUE; }
inline BOOL PtInRect(const RECT* rc, POINT pt) { return pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom; }

PARVEL_UI_END_EXPORTS
