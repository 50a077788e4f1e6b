// CStatic: text, bitmap (SS_BITMAP) or icon; with SS_NOTIFY a click sends STN_CLICKED. It paints
// itself, asking its parent for colours with WM_CTLCOLORSTATIC (a hollow brush draws nothing
// behind the text: the parent's painting shows through).
#pragma once

#include "CWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CStatic : public CWnd
{
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() = default;
    BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);
    HBITMAP SetBitmap(HBITMAP hBitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON hIcon);
    HICON GetIcon() const;
};

PARVEL_UI_END_EXPORTS
