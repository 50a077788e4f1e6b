// SetWindowRgn: the window's shape (the X11 shape extension through GTK) for a top-level window.
#include <wx/wx.h>
#include <wx/nonownedwnd.h>
#include <wx/region.h>
#include "WndRecord.h"
#include "GdiImpl.h"

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw)
{
    std::vector<RECT> rects;
    bool bHaveRegion = hRgn && gdi::RegionRects(hRgn, rects);
    // The system owns the region from here on.
    if (hRgn) ::DeleteObject((HGDIOBJ)hRgn);
    int result = 0;
    RunOnGui([&] {
        WndRecord* p = LiveRec(hWnd);
        auto* top = p ? dynamic_cast<wxNonOwnedWindow*>(p->pWx) : nullptr;
        if (!top) return;
        wxRegion shape;
        if (bHaveRegion)
            for (const RECT& rc : rects) shape.Union(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        // wx asks for the shaped style; GTK needs nothing of it at creation.
        top->SetWindowStyleFlag(top->GetWindowStyleFlag() | wxFRAME_SHAPED);
        top->SetShape(bHaveRegion ? shape : wxRegion());
        if (bRedraw) top->Refresh();
        result = 1;
    });
    return result;
}
