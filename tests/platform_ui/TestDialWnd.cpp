// The test dial's window class.
#include <wx/wx.h>
#include "WndClass.h"
#include "TestDialWnd.h"

IMPLEMENT_DYNAMIC(CTestDial, CWnd)

BOOL CTestDial::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, TESTDIAL_CLASS, "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

namespace
{
struct CDialState : CWndState
{
    int nValue = 0;
};

class CTestDialClass : public CWndClass
{
public:
    CTestDialClass() : CWndClass(TESTDIAL_CLASS) {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override { return std::make_unique<CDialState>(); }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
    {
        CDialState* s = StateOf<CDialState>(p);
        switch (msg)
        {
        case DLM_SETVALUE:
        {
            int old = s->nValue;
            s->nValue = (int)wParam < 0 ? 0 : (int)wParam > 100 ? 100 : (int)wParam;
            RefreshWindow(p);
            if (old != s->nValue)
                NotifyParent(p->Handle(), DLN_CHANGED);
            return old;
        }
        case DLM_GETVALUE:
            return s->nValue;
        }
        return CWndClass::DefProc(p, msg, wParam, lParam);
    }

    // Blue, its green channel the value, so a test can read the value off the screen.
    void Paint(WndRecord* p, wxDC& dc) const override
    {
        wxSize sz = p->pWx->GetClientSize();
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(wxColour(0, (unsigned char)StateOf<CDialState>(p)->nValue, 200)));
        dc.DrawRectangle(0, 0, sz.x, sz.y);
    }
    bool PaintsOwnBackground(WndRecord*) const override { return true; }

    CWnd* NewObject() const override { return new CTestDial; }
};
PARVEL_REGISTER_WNDCLASS(CTestDialClass);
}  // namespace
