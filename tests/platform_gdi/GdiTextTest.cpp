// Fonts and text on memory DCs.
#include <gtest/gtest.h>

#include <cstring>
#include "Gdi.h"
#include "MemoryCanvas.h"

namespace {

int CountInk(CDC& dc, int cx, int cy, COLORREF background)
{
    int n = 0;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            if (dc.GetPixel(x, y) != background) ++n;
    return n;
}

}  // namespace

TEST(GdiText, LinkFontKeepsItsDescription)
{
    CFont font;
    ASSERT_TRUE(font.CreateFont(-12, 0, 0, 0, FW_NORMAL, FALSE, TRUE, 0, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "宋体"));
    LOGFONT lf{};
    ASSERT_EQ((int)sizeof lf, font.GetLogFont(&lf));
    EXPECT_EQ(-12, lf.lfHeight);
    EXPECT_EQ(FW_NORMAL, lf.lfWeight);
    EXPECT_EQ(1, lf.lfUnderline);
    EXPECT_EQ(GB2312_CHARSET, lf.lfCharSet);
    EXPECT_STREQ("宋体", lf.lfFaceName);
}

TEST(GdiText, DrawTextInksOnlyInsideItsRectangle)
{
    MemoryCanvas canvas(200, 40);
    CDC& dc = canvas.dc;
    CFont font;
    font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体");
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0xC9, 0xC9, 0xC9));
    RECT rc{0, 0, 100, 20};
    int h = dc.DrawText(CString("请输入运单号"), &rc, 0);
    EXPECT_GT(h, 8);
    EXPECT_GT(CountInk(dc, 100, 20, RGB(255, 255, 255)), 40);
    // Nothing outside the rectangle: the text is clipped to it.
    int outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 100; x < 200; ++x)
            if (dc.GetPixel(x, y) != RGB(255, 255, 255)) ++outside;
    for (int y = 20; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            if (dc.GetPixel(x, y) != RGB(255, 255, 255)) ++outside;
    EXPECT_EQ(0, outside);
    // Grey ink on white: every inked pixel lies between the text colour and white, the darkest near it.
    int darkest = 255;
    bool grey = true;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
        {
            COLORREF p = dc.GetPixel(x, y);
            grey = grey && GetRValue(p) == GetGValue(p) && GetGValue(p) == GetBValue(p) && GetRValue(p) >= 0xC9;
            darkest = std::min<int>(darkest, GetRValue(p));
        }
    EXPECT_TRUE(grey);
    EXPECT_LE(darkest, 0xD8);
    dc.SelectObject(oldFont);
}

TEST(GdiText, CalcRectMeasuresWithoutDrawing)
{
    MemoryCanvas canvas(50, 50);
    CDC& dc = canvas.dc;
    RECT one{5, 5, 5, 5}, two{5, 5, 5, 5};
    dc.DrawText("AB", 2, &one, DT_CALCRECT | DT_SINGLELINE);
    dc.DrawText("ABAB", 4, &two, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(one.right - one.left, 4);
    EXPECT_GT(two.right - two.left, one.right - one.left);
    EXPECT_EQ(one.bottom - one.top, two.bottom - two.top);
    EXPECT_EQ(0, CountInk(dc, 50, 50, RGB(255, 255, 255)));
    // "&&" is one ampersand, "&x" a mnemonic that takes no room of its own.
    RECT amp{0, 0, 0, 0}, plain{0, 0, 0, 0};
    dc.DrawText("&Save", 5, &amp, DT_CALCRECT | DT_SINGLELINE);
    dc.DrawText("Save", 4, &plain, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(plain.right, amp.right);
}

TEST(GdiText, OpaqueModeFillsTheBackground)
{
    MemoryCanvas canvas(80, 30);
    CDC& dc = canvas.dc;
    dc.SetBkColor(RGB(0, 0, 200));
    dc.SetBkMode(OPAQUE);
    dc.TextOut(0, 0, CString("  "));
    EXPECT_EQ(RGB(0, 0, 200), dc.GetPixel(1, 2));
}

TEST(GdiText, CentredSingleLineSitsInTheMiddle)
{
    MemoryCanvas canvas(200, 40);
    CDC& dc = canvas.dc;
    dc.SetBkMode(TRANSPARENT);
    RECT rc{0, 0, 200, 40};
    dc.DrawText("WWW", 3, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // The ink's bounding box is centred on the rectangle within a few pixels.
    int l = 200, r = -1, t = 40, b = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (dc.GetPixel(x, y) != RGB(255, 255, 255))
            {
                l = std::min(l, x); r = std::max(r, x);
                t = std::min(t, y); b = std::max(b, y);
            }
    ASSERT_GE(r, l);
    EXPECT_NEAR(100, (l + r) / 2, 3);
    EXPECT_NEAR(20, (t + b) / 2, 4);
    // An ellipsis keeps a long text inside a narrow box.
    dc.FillSolidRect(0, 0, 200, 40, RGB(255, 255, 255));
    RECT narrow{0, 0, 40, 20};
    dc.DrawText(CString("一段很长很长的消息标题文字"), &narrow, DT_SINGLELINE | DT_WORD_ELLIPSIS | DT_NOPREFIX | DT_NOCLIP);
    bool beyond = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 41; x < 200; ++x) beyond = beyond || dc.GetPixel(x, y) != RGB(255, 255, 255);
    EXPECT_FALSE(beyond);
}
