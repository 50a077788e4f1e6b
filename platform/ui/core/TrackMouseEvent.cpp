// TrackMouseEvent: WM_MOUSELEAVE when the pointer leaves a window, WM_MOUSEHOVER when it rests
// in one for the hover time. Each request is answered once, as on Windows; the window asks again.
#include <wx/wx.h>
#include <map>
#include <memory>
#include <set>
#include "WndRecord.h"

namespace
{
struct Tracking
{
    DWORD dwFlags = 0;  // TME_LEAVE | TME_HOVER still wanted
    DWORD dwHoverTime = 400;
    wxPoint anchor;     // where the pointer rests, screen
    std::unique_ptr<wxTimer> pTimer;
};

// GUI thread only.
std::map<HWND, Tracking>& Requests()
{
    static std::map<HWND, Tracking> s_requests;
    return s_requests;
}

bool PointerInside(HWND h)
{
    RECT rc{};
    if (!::GetWindowRect(h, &rc)) return false;
    wxPoint pt = wxGetMousePosition();
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

void Leave(HWND h)
{
    auto it = Requests().find(h);
    if (it == Requests().end() || !(it->second.dwFlags & TME_LEAVE)) return;
    it->second.dwFlags = 0;
    if (it->second.pTimer) it->second.pTimer->Stop();
    ::PostMessage(h, WM_MOUSELEAVE, 0, 0);
}

void StartHover(HWND h, Tracking& t)
{
    t.anchor = wxGetMousePosition();
    if (!t.pTimer)
    {
        t.pTimer = std::make_unique<wxTimer>();
        t.pTimer->Bind(wxEVT_TIMER, [h](wxTimerEvent&) {
            auto it = Requests().find(h);
            if (it == Requests().end() || !(it->second.dwFlags & TME_HOVER) || !LiveRec(h)) return;
            if (!PointerInside(h)) return;
            it->second.dwFlags &= ~(DWORD)TME_HOVER;
            POINT pt{wxGetMousePosition().x, wxGetMousePosition().y};
            ::ScreenToClient(h, &pt);
            ::PostMessage(h, WM_MOUSEHOVER, 0, MAKELPARAM(pt.x, pt.y));
        });
    }
    t.pTimer->StartOnce((int)std::max<DWORD>(1, t.dwHoverTime));
}

// The widget's leave and motion events, bound once per window.
void BindOnce(HWND h, wxWindow* pWx)
{
    static std::set<HWND> s_bound;
    if (!s_bound.insert(h).second) return;
    pWx->Bind(wxEVT_LEAVE_WINDOW, [h](wxMouseEvent& e) {
        e.Skip();
        // A grab or a move into a child also ends in a leave event: only a pointer really outside
        // leaves.
        if (!PointerInside(h)) Leave(h);
    });
    pWx->Bind(wxEVT_MOTION, [h](wxMouseEvent& e) {
        e.Skip();
        auto it = Requests().find(h);
        if (it == Requests().end() || !(it->second.dwFlags & TME_HOVER)) return;
        wxPoint pt = wxGetMousePosition();
        if (std::abs(pt.x - it->second.anchor.x) > 2 || std::abs(pt.y - it->second.anchor.y) > 2)
            StartHover(h, it->second);
    });
    pWx->Bind(wxEVT_DESTROY, [h](wxWindowDestroyEvent& e) {
        e.Skip();
        Requests().erase(h);
        s_bound.erase(h);
    });
}
}  // namespace

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack)
{
    if (!lpEventTrack || lpEventTrack->cbSize < sizeof(TRACKMOUSEEVENT)) return FALSE;
    TRACKMOUSEEVENT tme = *lpEventTrack;
    BOOL ok = FALSE;
    RunOnGui([&] {
        HWND h = tme.hwndTrack;
        WndRecord* p = LiveRec(h);
        if (!p || !p->pWx) return;
        if (tme.dwFlags & TME_QUERY)
        {
            auto it = Requests().find(h);
            lpEventTrack->dwFlags = it == Requests().end() ? 0 : it->second.dwFlags;
            lpEventTrack->dwHoverTime = it == Requests().end() ? 0 : it->second.dwHoverTime;
            ok = TRUE;
            return;
        }
        BindOnce(h, p->pWx);
        Tracking& t = Requests()[h];
        DWORD want = tme.dwFlags & (TME_LEAVE | TME_HOVER);
        if (tme.dwFlags & TME_CANCEL)
        {
            t.dwFlags &= ~want;
            if (!(t.dwFlags & TME_HOVER) && t.pTimer) t.pTimer->Stop();
            ok = TRUE;
            return;
        }
        t.dwFlags |= want;
        if (want & TME_HOVER)
        {
            t.dwHoverTime = tme.dwHoverTime == HOVER_DEFAULT ? 400 : tme.dwHoverTime;
            StartHover(h, t);
        }
        // Asked while the pointer is already outside: the leave comes at once.
        if ((want & TME_LEAVE) && !PointerInside(h)) Leave(h);
        ok = TRUE;
    });
    return ok;
}
