// Drawing on memory DCs, checked by reading the pixels back.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include "Gdi.h"
#include "MemoryCanvas.h"

TEST(GdiPixels, FillRectCoversExactlyTheRectangle)
{
    MemoryCanvas c(20, 10);
    CBrush red(RGB(200, 10, 30));
    RECT rc{2, 3, 7, 5};
    c.dc.FillRect(&rc, &red);
    EXPECT_EQ(RGB(200, 10, 30), c.dc.GetPixel(2, 3));
    EXPECT_EQ(RGB(200, 10, 30), c.dc.GetPixel(6, 4));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(7, 4));  // right edge excluded
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(6, 5));  // bottom edge excluded
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(1, 3));
    EXPECT_EQ(CLR_INVALID, c.dc.GetPixel(20, 0));
    EXPECT_EQ(CLR_INVALID, c.dc.GetPixel(-1, 0));
}

TEST(GdiPixels, FillRectClipsAtTheBitmapEdges)
{
    MemoryCanvas c(8, 8);
    CBrush blue(RGB(0, 0, 255));
    RECT rc{-5, -5, 3, 100};
    c.dc.FillRect(&rc, &blue);
    EXPECT_EQ(RGB(0, 0, 255), c.dc.GetPixel(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), c.dc.GetPixel(2, 7));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(3, 0));
}

TEST(GdiPixels, HollowBrushAndSystemColourBrushValues)
{
    MemoryCanvas c(4, 4);
    RECT rc{0, 0, 4, 4};
    ::FillRect(c.dc, &rc, (HBRUSH)::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(1, 1));
    // A brush value of colour index + 1 fills with that system colour.
    ::FillRect(c.dc, &rc, (HBRUSH)(UINT_PTR)(COLOR_MENU + 1));
    EXPECT_EQ(::GetSysColor(COLOR_MENU), c.dc.GetPixel(3, 3));
    ::FillRect(c.dc, &rc, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), c.dc.GetPixel(0, 0));
}

TEST(GdiPixels, FillSolidRectLeavesTheBackgroundColourSet)
{
    MemoryCanvas c(4, 4);
    c.dc.FillSolidRect(1, 1, 2, 2, RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), c.dc.GetPixel(2, 2));
    EXPECT_EQ(RGB(1, 2, 3), c.dc.GetBkColor());
}

TEST(GdiPixels, NewCompatibleBitmapIsBlackAndReportsItsSize)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&dc, 33, 17));
    CBitmap* old = dc.SelectObject(&bmp);
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(32, 16));
    BITMAP bm{};
    ASSERT_EQ((int)sizeof(BITMAP), bmp.GetBitmap(&bm));
    EXPECT_EQ(33, bm.bmWidth);
    EXPECT_EQ(17, bm.bmHeight);
    dc.SelectObject(old);
    EXPECT_FALSE(CBitmap().CreateCompatibleBitmap(&dc, 0, 5));
}

TEST(GdiPixels, BitBltCopiesAndClips)
{
    MemoryCanvas src(6, 6), dst(6, 6);
    src.dc.FillSolidRect(0, 0, 6, 6, RGB(10, 20, 30));
    src.dc.SetPixel(1, 1, RGB(250, 0, 0));
    ASSERT_TRUE(dst.dc.BitBlt(3, 3, 6, 6, &src.dc, 1, 1, SRCCOPY));
    EXPECT_EQ(RGB(250, 0, 0), dst.dc.GetPixel(3, 3));
    EXPECT_EQ(RGB(10, 20, 30), dst.dc.GetPixel(5, 5));
    EXPECT_EQ(RGB(255, 255, 255), dst.dc.GetPixel(2, 2));
    // Source pixels beyond the source bitmap copy nothing.
    MemoryCanvas wide(10, 2);
    ASSERT_TRUE(wide.dc.BitBlt(0, 0, 10, 2, &src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(RGB(10, 20, 30), wide.dc.GetPixel(5, 0));
    EXPECT_EQ(RGB(255, 255, 255), wide.dc.GetPixel(6, 0));
}

TEST(GdiPixels, BitBltOntoItselfReadsBeforeWriting)
{
    MemoryCanvas c(4, 1);
    for (int x = 0; x < 4; ++x) c.dc.SetPixel(x, 0, RGB(x * 50, 0, 0));
    ASSERT_TRUE(c.dc.BitBlt(1, 0, 3, 1, &c.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(RGB(0, 0, 0), c.dc.GetPixel(1, 0));
    EXPECT_EQ(RGB(50, 0, 0), c.dc.GetPixel(2, 0));
    EXPECT_EQ(RGB(100, 0, 0), c.dc.GetPixel(3, 0));
}

TEST(GdiPixels, StretchBltScalesToTheDestinationSize)
{
    // A 2x2 chequer of four colours.
    MemoryCanvas src(2, 2);
    const COLORREF tl = RGB(255, 0, 0), tr = RGB(0, 255, 0), bl = RGB(0, 0, 255), br = RGB(9, 9, 9);
    src.dc.SetPixel(0, 0, tl);
    src.dc.SetPixel(1, 0, tr);
    src.dc.SetPixel(0, 1, bl);
    src.dc.SetPixel(1, 1, br);
    struct Case { int cx, cy; };
    for (Case k : {Case{16, 16}, Case{16, 6}, Case{3, 9}, Case{2, 2}})
    {
        SCOPED_TRACE(testing::Message() << k.cx << "x" << k.cy);
        MemoryCanvas dst(20, 20);
        ASSERT_TRUE(dst.dc.StretchBlt(1, 1, k.cx, k.cy, &src.dc, 0, 0, 2, 2, SRCCOPY));
        EXPECT_EQ(tl, dst.dc.GetPixel(1, 1));
        EXPECT_EQ(tr, dst.dc.GetPixel(k.cx, 1));
        EXPECT_EQ(bl, dst.dc.GetPixel(1, k.cy));
        EXPECT_EQ(br, dst.dc.GetPixel(k.cx, k.cy));
        EXPECT_EQ(RGB(255, 255, 255), dst.dc.GetPixel(k.cx + 1, 1));  // nothing beyond the size
        EXPECT_EQ(RGB(255, 255, 255), dst.dc.GetPixel(1, k.cy + 1));
    }
    // Shrinking 16x16 to 4x4 keeps the quadrants.
    MemoryCanvas big(16, 16), small(4, 4);
    big.dc.StretchBlt(0, 0, 16, 16, &src.dc, 0, 0, 2, 2, SRCCOPY);
    ASSERT_TRUE(small.dc.StretchBlt(0, 0, 4, 4, &big.dc, 0, 0, 16, 16, SRCCOPY));
    EXPECT_EQ(tl, small.dc.GetPixel(1, 1));
    EXPECT_EQ(br, small.dc.GetPixel(2, 2));
    // A negative width mirrors.
    MemoryCanvas mirror(2, 2);
    ASSERT_TRUE(mirror.dc.StretchBlt(1, 0, -2, 2, &src.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(tr, mirror.dc.GetPixel(0, 0));
    EXPECT_EQ(tl, mirror.dc.GetPixel(1, 0));
}

TEST(GdiPixels, TransparentBltSkipsTheKeyColour)
{
    const COLORREF key = RGB(255, 0, 255), ink = RGB(0, 128, 0);
    MemoryCanvas logo(4, 4), dst(8, 8);
    logo.dc.FillSolidRect(0, 0, 4, 4, key);
    logo.dc.FillSolidRect(1, 1, 2, 2, ink);
    dst.dc.FillSolidRect(0, 0, 8, 8, RGB(253, 197, 40));
    // The key is what sits at a pixel of the picture, as the sign-on dialog takes it.
    COLORREF picked = logo.dc.GetPixel(0, 0);
    ASSERT_TRUE(dst.dc.TransparentBlt(0, 0, 8, 8, &logo.dc, 0, 0, 4, 4, picked));
    EXPECT_EQ(RGB(253, 197, 40), dst.dc.GetPixel(0, 0));
    EXPECT_EQ(RGB(253, 197, 40), dst.dc.GetPixel(7, 7));
    EXPECT_EQ(RGB(253, 197, 40), dst.dc.GetPixel(1, 1));
    EXPECT_EQ(ink, dst.dc.GetPixel(2, 2));  // stretched twice: source (1,1)
    EXPECT_EQ(ink, dst.dc.GetPixel(5, 5));
    EXPECT_EQ(RGB(253, 197, 40), dst.dc.GetPixel(6, 5));
    EXPECT_FALSE(dst.dc.TransparentBlt(0, 0, -8, 8, &logo.dc, 0, 0, 4, 4, picked));
}

TEST(GdiObjects, SelectReturnsThePreviousObjectAndGuardsDeletion)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap a, b;
    a.CreateCompatibleBitmap(&dc, 2, 2);
    b.CreateCompatibleBitmap(&dc, 3, 3);
    CBitmap* first = dc.SelectObject(&a);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ((HGDIOBJ)a, dc.SelectObject(&b)->m_hObject);
    // A bitmap sits in one DC at a time, and a selected object is not deleted.
    CDC other;
    other.CreateCompatibleDC(&dc);
    EXPECT_EQ(nullptr, other.SelectObject(&b));
    EXPECT_FALSE(::DeleteObject((HGDIOBJ)b));
    EXPECT_TRUE(::DeleteObject((HGDIOBJ)a));
    a.Detach();
    dc.SelectObject(first);
    EXPECT_TRUE(b.DeleteObject());
    // Dead and foreign handles are refused, not followed.
    EXPECT_FALSE(::DeleteObject((HGDIOBJ)(void*)&dc));
    EXPECT_EQ(nullptr, ::SelectObject(dc, (HGDIOBJ)(void*)0x1234));
    EXPECT_EQ(CLR_INVALID, ::GetPixel((HDC)(void*)&other, 0, 0));
    // Stock objects survive DeleteObject.
    HGDIOBJ hollow = ::GetStockObject(NULL_BRUSH);
    EXPECT_TRUE(::DeleteObject(hollow));
    LOGBRUSH lb{};
    ASSERT_EQ((int)sizeof lb, ::GetObject(hollow, sizeof lb, &lb));
    EXPECT_EQ((UINT)BS_HOLLOW, lb.lbStyle);
}

TEST(GdiObjects, AttributesReturnTheirFormerValues)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    EXPECT_EQ(OPAQUE, dc.SetBkMode(TRANSPARENT));
    EXPECT_EQ(TRANSPARENT, dc.GetBkMode());
    EXPECT_EQ(0, dc.SetBkMode(7));
    EXPECT_EQ(RGB(0, 0, 0), dc.SetTextColor(RGB(0, 0, 255)));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetTextColor());
    EXPECT_EQ(96, dc.GetDeviceCaps(LOGPIXELSX));
    EXPECT_EQ(96, dc.GetDeviceCaps(LOGPIXELSY));
}

TEST(GdiObjects, MulDivRoundsHalfAwayFromZero)
{
    struct Case { int a, b, c, want; };
    for (Case k : {Case{3387, 96, 2540, 128}, Case{128, 2540, 96, 3387}, Case{5, 1, 2, 3}, Case{-5, 1, 2, -3},
                   Case{7, 1, -2, -4}, Case{1, 1, 0, -1}, Case{0x7FFFFFFF, 2, 1, -1}, Case{0x40000000, 4, 4, 0x40000000}})
    {
        EXPECT_EQ(k.want, MulDiv(k.a, k.b, k.c)) << k.a << "*" << k.b << "/" << k.c;
    }
}

TEST(GdiThreads, WorkerDrawsWhileAnotherThreadCopies)
{
    // One thread repaints a surface in one colour after another, the other copies it: every
    // copy must show one colour, never a half-drawn mix.
    MemoryCanvas surface(64, 64);
    std::atomic<bool> stop{false};
    std::thread painter([&] {
        CBrush a(RGB(255, 0, 0)), b(RGB(0, 0, 255));
        RECT all{0, 0, 64, 64};
        for (int i = 0; !stop; ++i) surface.dc.FillRect(&all, (i & 1) ? &a : &b);
    });
    MemoryCanvas copy(64, 64);
    int mixed = 0;
    for (int i = 0; i < 300; ++i)
    {
        copy.dc.BitBlt(0, 0, 64, 64, &surface.dc, 0, 0, SRCCOPY);
        if (copy.dc.GetPixel(0, 0) != copy.dc.GetPixel(63, 63)) ++mixed;
    }
    stop = true;
    painter.join();
    EXPECT_EQ(0, mixed);
}

TEST(GdiPixels, LinesLeaveOutTheirEndPointAndRectanglesUsePenAndBrush)
{
    MemoryCanvas c(12, 12);
    CPen pen(PS_SOLID, 1, RGB(10, 10, 10));
    CPen* oldPen = c.dc.SelectObject(&pen);
    c.dc.MoveTo(1, 1);
    c.dc.LineTo(6, 1);
    EXPECT_EQ(RGB(10, 10, 10), c.dc.GetPixel(1, 1));
    EXPECT_EQ(RGB(10, 10, 10), c.dc.GetPixel(5, 1));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(6, 1));
    c.dc.LineTo(6, 4);  // on from where the last line ended
    EXPECT_EQ(RGB(10, 10, 10), c.dc.GetPixel(6, 3));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(6, 4));

    CBrush fill(RGB(0, 200, 0));
    CBrush* oldBrush = c.dc.SelectObject(&fill);
    ASSERT_TRUE(c.dc.Rectangle(2, 6, 8, 11));
    EXPECT_EQ(RGB(10, 10, 10), c.dc.GetPixel(2, 6));  // border
    EXPECT_EQ(RGB(10, 10, 10), c.dc.GetPixel(7, 10));
    EXPECT_EQ(RGB(0, 200, 0), c.dc.GetPixel(4, 8));   // inside
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(8, 8));
    c.dc.SelectStockObject(NULL_PEN);
    c.dc.SelectStockObject(NULL_BRUSH);
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(11, 0);
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(3, 0));  // the null pen draws nothing
    c.dc.SelectObject(oldBrush);
    c.dc.SelectObject(oldPen);
}
