// The plain window class, the default of child windows.
#include <wx/wx.h>
#include "PlainWnd.h"

wxWindow* CPlainWndClass::CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const
{
    return CreatePlainWidget(p, cs, pParent, (cs.style & WS_TABSTOP) != 0);
}

namespace
{
struct CPlainRegistrar
{
    CPlainRegistrar()
    {
        static CPlainWndClass s_class;
        CWndClassRegistry::Add(&s_class);
        CWndClassRegistry::SetDefaultChild(&s_class);
    }
} s_registrar;
}  // namespace
