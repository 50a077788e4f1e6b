// Handles: an HWND names a slot of the window table and the slot's generation, so a handle of a
// destroyed window never names the window that takes its slot later (IsWindow is false for it).
// A destroyed window's record is freed once the event that destroyed it is handled: code still
// inside that event may look at the record, never at a later window's.
#include <memory>
#include <wx/wx.h>
#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include "WndClass.h"

namespace
{
struct Slot
{
    WndRecord* p = nullptr;
    uint32_t nGeneration = 0;
};

struct WindowTable
{
    std::mutex lock;
    std::vector<Slot> slots;
    std::vector<uint32_t> freeSlots;
    std::vector<HWND> topLevels;
    std::unordered_map<unsigned long, HWND> foreign;  // X11 id: the handle of another process's window
};

WindowTable& Table()
{
    static auto* t = new WindowTable;
    return *t;
}

std::atomic<long> g_nRecords{0};

// Slot number + 1 above, generation below: never NULL, never one of the small or negative markers.
HWND MakeHandle(uint32_t nSlot, uint32_t nGeneration)
{
    return reinterpret_cast<HWND>(((uintptr_t)(nSlot + 1) << 32) | nGeneration);
}

Slot* SlotOf(WindowTable& t, HWND h)
{
    uintptr_t v = reinterpret_cast<uintptr_t>(h);
    uintptr_t nSlot = v >> 32;
    if (nSlot == 0 || nSlot > t.slots.size())
        return nullptr;
    Slot& s = t.slots[nSlot - 1];
    return s.p && s.nGeneration == (uint32_t)v ? &s : nullptr;
}
}  // namespace

WndRecord::WndRecord()
{
    ++g_nRecords;
}

WndRecord::~WndRecord()
{
    --g_nRecords;
}

long AfxWindowRecordCount()
{
    return g_nRecords;
}

WndRecord* LiveRec(HWND h)
{
    if (!h)
        return nullptr;
    WindowTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    Slot* s = SlotOf(t, h);
    return s && s->p->bAlive ? s->p : nullptr;
}

bool LiveHandle(HWND h, bool* pbForeign)
{
    if (!h)
        return false;
    WindowTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    Slot* s = SlotOf(t, h);
    if (!s || !s->p->bAlive)
        return false;
    if (pbForeign)
        *pbForeign = s->p->bForeign;
    return true;
}

HWND RegisterRecord(WndRecord* pRec)
{
    WindowTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    uint32_t nSlot;
    if (!t.freeSlots.empty())
    {
        nSlot = t.freeSlots.back();
        t.freeSlots.pop_back();
    }
    else
    {
        nSlot = (uint32_t)t.slots.size();
        t.slots.emplace_back();
    }
    Slot& s = t.slots[nSlot];
    if (++s.nGeneration == 0)
        s.nGeneration = 1;
    s.p = pRec;
    pRec->hSelf = MakeHandle(nSlot, s.nGeneration);
    if (!pRec->hParent && !pRec->bForeign)
        t.topLevels.push_back(pRec->Handle());
    return pRec->Handle();
}

void UnregisterRecordOf(WndRecord* pRec)
{
    WindowTable& t = Table();
    {
        std::lock_guard<std::mutex> guard(t.lock);
        pRec->bAlive = false;
        auto& tl = t.topLevels;
        for (auto it = tl.begin(); it != tl.end(); ++it)
            if (*it == pRec->Handle())
            {
                tl.erase(it);
                break;
            }
        if (Slot* s = SlotOf(t, pRec->Handle()); s && s->p == pRec)
        {
            s->p = nullptr;
            t.freeSlots.push_back((uint32_t)((reinterpret_cast<uintptr_t>(pRec->Handle()) >> 32) - 1));
        }
    }
    // Callers up the stack may still hold the record: it goes after the event being handled, or
    // with the pending call itself when the program ends before that call runs.
    if (wxTheApp && AfxIsGuiThread())
        wxTheApp->CallAfter([pHeld = std::shared_ptr<WndRecord>(pRec)] {});
    else
        delete pRec;
}

void ForEachTopLevel(const std::function<void(HWND)>& fn)
{
    std::vector<HWND> copy;
    {
        WindowTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        copy = t.topLevels;
    }
    for (HWND h : copy)
        if (LiveRec(h))
            fn(h);
}

HWND AfxHandleFromX11Window(unsigned long xid)
{
    if (!xid)
        return nullptr;
    HWND own = nullptr;
    ForEachTopLevel([&](HWND h) {
        if (!own && AfxGetX11Window(h) == xid)
            own = h;
    });
    if (own)
        return own;
    WindowTable& t = Table();
    {
        std::lock_guard<std::mutex> guard(t.lock);
        auto it = t.foreign.find(xid);
        if (it != t.foreign.end())
            return it->second;
    }
    // Another process's window keeps its handle for the life of the process.
    auto* pRec = new WndRecord;
    pRec->bForeign = true;
    pRec->xidForeign = xid;
    HWND h = RegisterRecord(pRec);
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.foreign.emplace(xid, h).first;
    return it->second;
}

BOOL AfxIsForeignWindow(HWND hWnd)
{
    bool bForeign = false;
    return LiveHandle(hWnd, &bForeign) && bForeign;
}

wxWindow* AfxGetWxWindow(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(AfxGetWxWindow(hWnd));
    WndRecord* p = LiveRec(hWnd);
    return p ? HostOf(p) : nullptr;
}

BOOL AfxGetWxWindowOffset(HWND hWnd, int* pdx, int* pdy)
{
    RUN_WHOLE_ON_GUI(AfxGetWxWindowOffset(hWnd, pdx, pdy));
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return FALSE;
    return HostOf(p, pdx, pdy) != nullptr;
}

wxDC* AfxGetPaintContext(HWND hWnd)
{
    WndRecord* p = LiveRec(hWnd);
    return p ? p->pPaintDC : nullptr;
}

HWND HandleOfWx(wxWindow* pWx)
{
    HWND found = nullptr;
    std::function<void(HWND)> walk = [&](HWND h) {
        WndRecord* p = LiveRec(h);
        if (!p || found)
            return;
        if (p->pWx == pWx)
        {
            found = h;
            return;
        }
        for (HWND c : p->children)
            walk(c);
    };
    ForEachTopLevel(walk);
    return found;
}

unsigned long AfxGetX11Window(HWND hWnd)
{
    RUN_WHOLE_ON_GUI(AfxGetX11Window(hWnd));
    WndRecord* p = LiveRec(hWnd);
    if (!p)
        return 0;
    if (p->bForeign)
        return p->xidForeign;
    if (p->hParent || !p->pWx)
        return 0;
    GtkWidget* w = (GtkWidget*)p->pWx->GetHandle();
    if (!w)
        return 0;
    GdkWindow* gw = gtk_widget_get_window(w);
    if (!gw || !GDK_IS_X11_WINDOW(gw))
        return 0;
    return (unsigned long)gdk_x11_window_get_xid(gw);
}
