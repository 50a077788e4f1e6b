// The plain window class: a drawn child window painted through WM_PAINT.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/wx.h>
#include "ControlsDialog.h"

namespace
{
class CPaintWnd : public CWnd
{
public:
    int m_nPaints = 0;
    bool m_bHadContext = false;
    afx_msg void OnPaint()
    {
        ++m_nPaints;
        m_bHadContext = GetPaintContext() != nullptr;
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, RGB(10, 200, 30));
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()
}  // namespace

TEST(Paint, PaintHandlerDrawsThroughThePaintContext)
{
    CWnd top;
    ASSERT_TRUE(top.CreateEx(WS_EX_TOPMOST, nullptr, "", WS_POPUP, CRect(300, 300, 500, 400), nullptr, 0));
    CPaintWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, CRect(10, 10, 110, 60), &top, 5));
    EXPECT_EQ(nullptr, child.GetPaintContext());
    top.ShowWindow(SW_SHOW);
    ASSERT_TRUE(WaitFor([&] { return child.m_nPaints > 0; }));
    EXPECT_TRUE(child.m_bHadContext);
    CRect rc;
    child.GetWindowRect(&rc);
    CPoint c = rc.CenterPoint();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(c.x, c.y) == RGB(10, 200, 30); }, 3000))
        << std::hex << ScreenPixel(c.x, c.y);
    top.DestroyWindow();
}
