// Window classes a program registers (RegisterClass / RegisterClassEx) and CreateWindowEx. Such a
// class is a window class of the registry like the framework's: its windows get their messages
// in the program's procedure, and their default processing (DefWindowProc) is the plain window's
// or, for a top-level window, the frame's.
#include <wx/wx.h>
#include <atomic>
#include "WndClass.h"
#include "WndCreate.h"
#include "Gdi.h"

namespace
{
// The class's windows behave as the framework's base class underneath, with the program's
// procedure, cursor, icon and background on top.
class CUserWndClass : public CWndClass
{
public:
    CUserWndClass(const WNDCLASSEX& wc, const CWndClass* pBase)
        : CWndClass(wc.lpszClassName), m_wc(wc), m_pBase(pBase)
    {
    }

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT& cs) const override { return m_pBase->NewState(cs); }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        p->hCursor = m_wc.hCursor;
        p->hIcon[1] = m_wc.hIcon;
        p->hIcon[0] = m_wc.hIconSm ? m_wc.hIconSm : m_wc.hIcon;
        wxWindow* w = m_pBase->CreateWidget(p, cs, pParent);
        if (w && (p->hIcon[0] || p->hIcon[1]))
        {
            p->pWx = w;
            ApplyWindowIcon(p);
        }
        return w;
    }
    void BindEvents(WndRecord* p, wxWindow* pWx) const override { m_pBase->BindEvents(p, pWx); }
    void UnbindEvents(WndRecord* p) const override { m_pBase->UnbindEvents(p); }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
    {
        if (msg == WM_ERASEBKGND && m_wc.hbrBackground)
        {
            RECT rc;
            GetClientRect(p->Handle(), &rc);
            FillRect((HDC)wParam, &rc, m_wc.hbrBackground);
            return 1;
        }
        return m_pBase->DefProc(p, msg, wParam, lParam);
    }
    void Paint(WndRecord* p, wxDC& dc) const override { m_pBase->Paint(p, dc); }
    bool PaintsOwnBackground(WndRecord* p) const override { return m_pBase->PaintsOwnBackground(p); }
    bool IsNative(WndRecord* p) const override { return m_pBase->IsNative(p); }
    bool HasNativeCursor(WndRecord* p) const override { return m_pBase->HasNativeCursor(p); }
    LRESULT HitTest(WndRecord* p) const override { return m_pBase->HitTest(p); }
    bool IsTopLevel() const override { return m_pBase->IsTopLevel(); }
    WNDPROC ClassWndProc() const override { return m_wc.lpfnWndProc; }
    bool WantsDoubleClicks() const override { return (m_wc.style & CS_DBLCLKS) != 0; }

    const WNDCLASSEX& Info() const { return m_wc; }

private:
    WNDCLASSEX m_wc;
    const CWndClass* m_pBase;
};

// The registered entry: a child window is made with the plain window underneath, a top-level one
// with the frame.
class CUserWndClassEntry : public CWndClass
{
public:
    CUserWndClassEntry(const WNDCLASSEX& wc, const CWndClass* pChildBase, const CWndClass* pTopBase)
        : CWndClass(wc.lpszClassName), m_child(Named(wc), pChildBase), m_top(Named(wc), pTopBase)
    {
    }
    const CWndClass* ClassFor(const CREATESTRUCT& cs) const override
    {
        return (cs.style & WS_CHILD) ? static_cast<const CWndClass*>(&m_child) : &m_top;
    }
    WNDPROC ClassWndProc() const override { return m_child.ClassWndProc(); }
    const WNDCLASSEX& Info() const { return m_child.Info(); }

private:
    // The copy keeps no pointer to the caller's strings but the name, which the class object owns.
    WNDCLASSEX Named(const WNDCLASSEX& wc)
    {
        WNDCLASSEX c = wc;
        c.lpszMenuName = nullptr;
        c.lpszClassName = Name().c_str();
        return c;
    }
    CUserWndClass m_child;
    CUserWndClass m_top;
};

std::atomic<ATOM> g_nextAtom{0xC000};
}  // namespace

ATOM RegisterClassEx(const WNDCLASSEX* lpWndClass)
{
    if (!lpWndClass || !lpWndClass->lpszClassName || !*lpWndClass->lpszClassName || !lpWndClass->lpfnWndProc)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CREATESTRUCT child{}, top{};
    child.style = WS_CHILD;
    const CWndClass* pChild = CWndClassRegistry::Resolve(child);
    const CWndClass* pTop = CWndClassRegistry::Resolve(top);
    if (!pChild || !pTop ||
        !CWndClassRegistry::AddOwned(std::make_unique<CUserWndClassEntry>(*lpWndClass, pChild, pTop)))
    {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return g_nextAtom++;
}

ATOM RegisterClass(const WNDCLASS* lpWndClass)
{
    if (!lpWndClass)
        return 0;
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.style = lpWndClass->style;
    wc.lpfnWndProc = lpWndClass->lpfnWndProc;
    wc.cbClsExtra = lpWndClass->cbClsExtra;
    wc.cbWndExtra = lpWndClass->cbWndExtra;
    wc.hInstance = lpWndClass->hInstance;
    wc.hIcon = lpWndClass->hIcon;
    wc.hCursor = lpWndClass->hCursor;
    wc.hbrBackground = lpWndClass->hbrBackground;
    wc.lpszMenuName = lpWndClass->lpszMenuName;
    wc.lpszClassName = lpWndClass->lpszClassName;
    return RegisterClassEx(&wc);
}

BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE)
{
    return CWndClassRegistry::Remove(lpClassName);
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR lpszClass, WNDCLASSEX* lpwcx)
{
    auto* pEntry = dynamic_cast<const CUserWndClassEntry*>(CWndClassRegistry::Find(lpszClass));
    if (!pEntry || !lpwcx)
        return FALSE;
    *lpwcx = pEntry->Info();
    return TRUE;
}

int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount)
{
    RUN_WHOLE_ON_GUI(GetClassName(hWnd, lpClassName, nMaxCount));
    WndRecord* p = LiveRec(hWnd);
    if (!p || !p->pClass || !lpClassName || nMaxCount <= 0)
        return 0;
    return (int)CopyWindowText(p->pClass->Name(), WM_GETTEXT, (WPARAM)nMaxCount, (LPARAM)lpClassName);
}

HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    // Only a registered class makes a window here (CWnd::Create falls back to a plain window).
    if (!lpClassName || !CWndClassRegistry::Find(lpClassName))
    {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    HWND h = nullptr;
    RunOnGui([&] {
        CREATESTRUCT cs{};
        cs.dwExStyle = dwExStyle;
        cs.lpszClass = lpClassName;
        cs.lpszName = lpWindowName;
        cs.style = (LONG)dwStyle;
        cs.x = x;
        cs.y = y;
        cs.cx = x == CW_USEDEFAULT ? CW_USEDEFAULT : nWidth;
        cs.cy = x == CW_USEDEFAULT ? CW_USEDEFAULT : nHeight;
        cs.hwndParent = hWndParent;
        cs.hMenu = hMenu;
        cs.hInstance = hInstance;
        cs.lpCreateParams = lpParam;
        h = CreateWindowRecord(nullptr, cs);
    });
    return h;
}
