// The registry of window classes and the defaults every class starts from.
#include <wx/wx.h>
#include <strings.h>
#include <mutex>
#include "WndClass.h"

namespace
{
struct ClassTable
{
    std::mutex lock;
    std::vector<const CWndClass*> classes;
    std::vector<std::unique_ptr<CWndClass>> owned;
    const CWndClass* pDefaultChild = nullptr;
    const CWndClass* pDefaultTopLevel = nullptr;
};

ClassTable& Table()
{
    static auto* t = new ClassTable;
    return *t;
}

const CWndClass* FindLocked(ClassTable& t, const char* lpszName)
{
    if (!lpszName)
        return nullptr;
    for (const CWndClass* c : t.classes)
        if (strcasecmp(c->Name().c_str(), lpszName) == 0)
            return c;
    return nullptr;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Registry

void CWndClassRegistry::Add(const CWndClass* pClass)
{
    ClassTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (!FindLocked(t, pClass->Name().c_str()))
        t.classes.push_back(pClass);
}

BOOL CWndClassRegistry::AddOwned(std::unique_ptr<CWndClass> pClass)
{
    ClassTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (!pClass || pClass->Name().empty() || FindLocked(t, pClass->Name().c_str()))
        return FALSE;
    t.classes.push_back(pClass.get());
    t.owned.push_back(std::move(pClass));
    return TRUE;
}

BOOL CWndClassRegistry::Remove(const char* lpszName)
{
    ClassTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    // Only classes a program registered go; their objects stay, as windows of them may live on.
    for (auto& p : t.owned)
        if (p && strcasecmp(p->Name().c_str(), lpszName ? lpszName : "") == 0)
        {
            for (auto it = t.classes.begin(); it != t.classes.end(); ++it)
                if (*it == p.get())
                {
                    t.classes.erase(it);
                    return TRUE;
                }
        }
    return FALSE;
}

const CWndClass* CWndClassRegistry::Find(const char* lpszName)
{
    ClassTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    return FindLocked(t, lpszName);
}

const CWndClass* CWndClassRegistry::Resolve(const CREATESTRUCT& cs)
{
    const CWndClass* c = Find(cs.lpszClass);
    if (c)
        return c->ClassFor(cs);
    ClassTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    return (cs.style & WS_CHILD) ? t.pDefaultChild : t.pDefaultTopLevel;
}

void CWndClassRegistry::SetDefaultChild(const CWndClass* pClass)
{
    ClassTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.pDefaultChild = pClass;
}

void CWndClassRegistry::SetDefaultTopLevel(const CWndClass* pClass)
{
    ClassTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.pDefaultTopLevel = pClass;
}

// ---------------------------------------------------------------------------------------------
// Defaults

std::unique_ptr<CWndState> CWndClass::NewState(const CREATESTRUCT&) const
{
    return nullptr;
}

wxWindow* CWndClass::CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const
{
    return CreatePlainWidget(p, cs, pParent);
}

LRESULT CWndClass::DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return CommonWindowProc(p, msg, wParam, lParam);
}

LRESULT CWndClass::HitTest(WndRecord*) const
{
    return HTCLIENT;
}

CWnd* CWndClass::NewObject() const
{
    return new CWnd;
}

// ---------------------------------------------------------------------------------------------
// Helpers for classes

namespace
{
// A drawn window: the framework paints it through WM_PAINT.
class CWxPlain : public wxWindow
{
public:
    CWxPlain(wxWindow* pParent, const wxPoint& pos, const wxSize& size, long style)
        : wxWindow(pParent, wxID_ANY, pos, size, style | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
    }
    bool AcceptsFocus() const override { return m_bFocusable; }
    bool m_bFocusable = false;
};
}  // namespace

wxWindow* CreatePlainWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent, bool bFocusable)
{
    auto* w = new CWxPlain(pParent, WxPos(cs), WxSize(cs), (cs.dwExStyle & WS_EX_CLIENTEDGE) ? wxBORDER_SUNKEN : wxBORDER_NONE);
    w->m_bFocusable = bFocusable;
    return w;
}

wxPoint WxPos(const CREATESTRUCT& cs)
{
    return cs.x == CW_USEDEFAULT ? wxDefaultPosition : wxPoint(cs.x, cs.y);
}

wxSize WxSize(const CREATESTRUCT& cs)
{
    return cs.cx == CW_USEDEFAULT ? wxSize(800, 600) : wxSize(cs.cx > 0 ? cs.cx : 1, cs.cy > 0 ? cs.cy : 1);
}

void MakeWindowless(WndRecord* p, const CREATESTRUCT& cs)
{
    p->bLight = true;
    p->rcLight = {cs.x, cs.y, cs.x + (cs.cx > 0 ? cs.cx : 0), cs.y + (cs.cy > 0 ? cs.cy : 0)};
}

BOOL NotifyParent(HWND h, UINT nCode)
{
    WndRecord* p = LiveRec(h);
    if (!p || !p->hParent)
        return FALSE;
    DispatchToWindow(p->hParent, WM_COMMAND, MAKEWPARAM(p->nID, nCode), (LPARAM)h);
    return TRUE;
}

LRESULT CopyWindowText(const std::string& s, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETTEXTLENGTH)
        return (LRESULT)s.size();
    char* buf = (char*)lParam;
    int n = (int)wParam;
    if (!buf || n <= 0)
        return 0;
    int len = (int)s.size() < n - 1 ? (int)s.size() : n - 1;
    memcpy(buf, s.data(), (size_t)len);
    buf[len] = 0;
    return len;
}
