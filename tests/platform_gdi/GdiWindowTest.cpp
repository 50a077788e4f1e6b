// Window DCs under X: what OnPaint draws reaches the screen, read back from the X server.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>
#include "AfxWin.h"
#include "../support/GuiWait.h"
#include "../support/PollWait.h"
#include "../support/XPixels.h"

namespace {

class GuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static char name[] = "platform_gdi_window_tests";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(AfxWinInit(1, argv));
    }
    void TearDown() override { AfxWinTerm(); }
};
::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);


// A pixel of the window's client area as the X server holds it.
COLORREF ClientPixel(CWnd* wnd, int x, int y)
{
    POINT pt{x, y};
    wnd->ClientToScreen(&pt);
    return ScreenPixel(pt.x, pt.y);
}

// The same once it shows the colour expected, or what it shows when the wait is up: what was drawn
// reaches the X server a moment after the drawing call.
COLORREF SettledPixel(CWnd* wnd, int x, int y, COLORREF expected)
{
    COLORREF c = CLR_INVALID;
    WaitFor([&] { return (c = ClientPixel(wnd, x, y)) == expected; }, 3000);
    return c;
}

// Paints a background, then copies the off-screen surface over it, colour key applied.
class CCanvasWnd : public CFrameWnd
{
public:
    CDC* m_pSurface = nullptr;
    COLORREF m_background = RGB(253, 197, 40);
    COLORREF m_key = CLR_INVALID;
    std::atomic<int> m_nPaints{0};

    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, m_background);
        if (m_pSurface)
        {
            if (m_key != CLR_INVALID)
                dc.TransparentBlt(10, 10, 40, 40, m_pSurface, 0, 0, 20, 20, m_key);
            else
                dc.BitBlt(10, 10, 40, 40, m_pSurface, 0, 0, SRCCOPY);
        }
        ++m_nPaints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCanvasWnd, CFrameWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

struct Surface
{
    Surface(int cx, int cy)
    {
        dc.CreateCompatibleDC(nullptr);
        bmp.CreateCompatibleBitmap(&dc, cx, cy);
        old = dc.SelectObject(&bmp);
    }
    ~Surface() { dc.SelectObject(old); }
    CDC dc;
    CBitmap bmp;
    CBitmap* old;
};

CCanvasWnd* OpenCanvas(int x, int y)
{
    CCanvasWnd* wnd = new CCanvasWnd;
    if (!wnd->Create(nullptr, "画布", WS_OVERLAPPEDWINDOW, CRect(x, y, x + 160, y + 120))) return nullptr;
    wnd->ShowWindow(SW_SHOW);
    wnd->UpdateWindow();
    return wnd;
}

}  // namespace

TEST(GdiWindow, PaintDcReachesTheScreenWithTheColourKey)
{
    Surface logo(20, 20);
    logo.dc.FillSolidRect(0, 0, 20, 20, RGB(255, 0, 255));
    logo.dc.FillSolidRect(5, 5, 10, 10, RGB(0, 0, 160));
    CCanvasWnd* wnd = OpenCanvas(700, 600);
    ASSERT_NE(nullptr, wnd);
    wnd->m_pSurface = &logo.dc;
    wnd->m_key = logo.dc.GetPixel(0, 0);
    wnd->Invalidate(FALSE);
    int before = wnd->m_nPaints;
    ASSERT_TRUE(WaitFor([&] { return wnd->m_nPaints > before; }));
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 3, 3, RGB(253, 197, 40)));
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 12, 12, RGB(253, 197, 40)));  // key colour: background shows
    EXPECT_EQ(RGB(0, 0, 160), SettledPixel(wnd, 30, 30, RGB(0, 0, 160)));     // ink, stretched twice
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 55, 55, RGB(253, 197, 40)));
    wnd->m_pSurface = nullptr;
    wnd->DestroyWindow();
}

TEST(GdiWindow, WorkerDrawsIntoMemoryDcWhileTheGuiThreadPaints)
{
    Surface surface(20, 20);
    surface.dc.FillSolidRect(0, 0, 20, 20, RGB(0, 0, 0));
    CCanvasWnd* wnd = OpenCanvas(720, 620);
    ASSERT_NE(nullptr, wnd);
    wnd->m_pSurface = &surface.dc;
    std::atomic<bool> done{false};
    HWND hwnd = wnd->m_hWnd;
    std::thread worker([&] {
        CBrush red(RGB(220, 0, 0)), blue(RGB(0, 0, 220));
        RECT all{0, 0, 20, 20};
        // Paced by the paints one frame behind, so a frame is drawn while the last may be painting.
        int nTwoAgo = -1, nOneAgo = -1;  // paints counted as the frames before were handed over
        for (int i = 0; i < 60; ++i)
        {
            if (nTwoAgo >= 0)
                PollUntil([&] { return wnd->m_nPaints > nTwoAgo; }, 1000, 1);
            surface.dc.FillRect(&all, (i & 1) ? &red : &blue);
            nTwoAgo = nOneAgo;
            nOneAgo = wnd->m_nPaints;
            ::InvalidateRect(hwnd, nullptr, FALSE);
        }
        surface.dc.FillSolidRect(0, 0, 20, 20, RGB(0, 170, 0));
        ::InvalidateRect(hwnd, nullptr, FALSE);
        done = true;
    });
    bool finished = WaitFor([&] { return done.load(); }, 15000);
    worker.join();
    ASSERT_TRUE(finished);
    int after = wnd->m_nPaints;
    wnd->Invalidate(FALSE);
    ASSERT_TRUE(WaitFor([&] { return wnd->m_nPaints > after; }));
    EXPECT_GT(wnd->m_nPaints.load(), 1);
    EXPECT_EQ(RGB(0, 170, 0), SettledPixel(wnd, 20, 20, RGB(0, 170, 0)));
    wnd->m_pSurface = nullptr;
    wnd->DestroyWindow();
}

TEST(GdiWindow, ClientDcDrawsOutsideThePaint)
{
    CCanvasWnd* wnd = OpenCanvas(740, 640);
    ASSERT_NE(nullptr, wnd);
    ASSERT_TRUE(WaitFor([&] { return wnd->m_nPaints > 0; }));
    ASSERT_TRUE(WaitFor([&] { return ClientPixel(wnd, 5, 5) == wnd->m_background; }, 3000));
    {
        CClientDC dc(wnd);
        EXPECT_EQ(96, dc.GetDeviceCaps(LOGPIXELSY));
        dc.FillSolidRect(60, 40, 20, 20, RGB(0, 120, 240));
    }
    EXPECT_EQ(RGB(0, 120, 240), SettledPixel(wnd, 70, 50, RGB(0, 120, 240)));
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 50, 50, RGB(253, 197, 40)));
    wnd->DestroyWindow();
}

TEST(GdiWindow, BitmapResourceLoadsWithItsSize)
{
    std::ifstream in(std::string(PARVEL_GDI_DATA) + "/quad40x30.bmp", std::ios::binary);
    static std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    CResourceRegistry::AddData(9344, RT_BITMAP, bytes.data(), (DWORD)bytes.size());
    CBitmap bmp;
    ASSERT_TRUE(bmp.LoadBitmap(9344));
    BITMAP bm{};
    bmp.GetBitmap(&bm);
    EXPECT_EQ(40, bm.bmWidth);
    EXPECT_EQ(30, bm.bmHeight);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bmp);
    EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(39, 29));
    dc.SelectObject(old);
    EXPECT_FALSE(CBitmap().LoadBitmap(9345));
    HBITMAP h = ::LoadBitmap(nullptr, MAKEINTRESOURCE(9344));
    ASSERT_NE(nullptr, h);
    EXPECT_EQ((int)sizeof bm, ::GetObject((HGDIOBJ)h, sizeof bm, &bm));
    EXPECT_EQ(40, bm.bmWidth);
    EXPECT_TRUE(::DeleteObject((HGDIOBJ)h));
}

TEST(GdiWindow, ScreenDcReportsTheScreen)
{
    HDC screen = ::GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), ::GetDeviceCaps(screen, HORZRES));
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), ::GetDeviceCaps(screen, VERTRES));
    EXPECT_GT(::GetDeviceCaps(screen, HORZRES), 100);
    EXPECT_EQ(96, ::GetDeviceCaps(screen, LOGPIXELSX));
    // A memory DC made from it draws like any other.
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ old = ::SelectObject(mem, (HGDIOBJ)bmp);
    ::SetPixel(mem, 3, 3, RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), ::GetPixel(mem, 3, 3));
    ::SelectObject(mem, old);
    EXPECT_TRUE(::DeleteObject((HGDIOBJ)bmp));
    EXPECT_TRUE(::DeleteDC(mem));
    EXPECT_FALSE(::DeleteDC(screen));  // a window's DC goes back with ReleaseDC
    EXPECT_EQ(1, ::ReleaseDC(nullptr, screen));
    EXPECT_EQ(0, ::ReleaseDC(nullptr, screen));
}

namespace {

// A static control that shows an off-screen surface, as the animated picture control does.
class CSurfaceStatic : public CStatic
{
public:
    CDC* m_pSurface = nullptr;
    std::atomic<int> m_nPaints{0};
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        if (m_pSurface) dc.BitBlt(0, 0, 30, 20, m_pSurface, 0, 0, SRCCOPY);
        ++m_nPaints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSurfaceStatic, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

TEST(GdiWindow, ChildControlPaintsItsSurfaceAtItsOwnPlace)
{
    CCanvasWnd* wnd = OpenCanvas(760, 660);
    ASSERT_NE(nullptr, wnd);
    Surface surface(30, 20);
    surface.dc.FillSolidRect(0, 0, 30, 20, RGB(90, 0, 120));
    CSurfaceStatic picture;
    picture.m_pSurface = &surface.dc;
    ASSERT_TRUE(picture.Create("", WS_CHILD | WS_VISIBLE, CRect(50, 30, 80, 50), wnd, 1055));
    picture.Invalidate(FALSE);
    ASSERT_TRUE(WaitFor([&] { return picture.m_nPaints > 0 && wnd->m_nPaints > 0; }));
    EXPECT_EQ(RGB(90, 0, 120), SettledPixel(wnd, 51, 31, RGB(90, 0, 120)));
    EXPECT_EQ(RGB(90, 0, 120), SettledPixel(wnd, 79, 49, RGB(90, 0, 120)));
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 49, 31, RGB(253, 197, 40)));  // the parent's own painting around it
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 81, 49, RGB(253, 197, 40)));
    picture.m_pSurface = nullptr;
    picture.DestroyWindow();
    wnd->DestroyWindow();
}

TEST(GdiWindow, WindowDcOfAWindowlessControlDrawsAtItsPlace)
{
    CCanvasWnd* wnd = OpenCanvas(780, 600);
    ASSERT_NE(nullptr, wnd);
    CStatic label;
    ASSERT_TRUE(label.Create("", WS_CHILD | WS_VISIBLE, CRect(60, 40, 90, 60), wnd, 1056));
    ASSERT_TRUE(WaitFor([&] { return wnd->m_nPaints > 0; }));
    ASSERT_TRUE(WaitFor([&] { return ClientPixel(wnd, 5, 5) == wnd->m_background; }, 3000));
    CDC* pDC = label.GetDC();
    ASSERT_NE(nullptr, pDC);
    pDC->FillSolidRect(0, 0, 40, 40, RGB(0, 120, 240));  // larger than the control: clipped to it
    EXPECT_EQ(1, label.ReleaseDC(pDC));
    EXPECT_EQ(RGB(0, 120, 240), SettledPixel(wnd, 61, 41, RGB(0, 120, 240)));
    EXPECT_EQ(RGB(0, 120, 240), SettledPixel(wnd, 89, 59, RGB(0, 120, 240)));
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 5, 5, RGB(253, 197, 40)));    // not at the parent's origin
    EXPECT_EQ(RGB(253, 197, 40), SettledPixel(wnd, 95, 65, RGB(253, 197, 40)));  // nor past the control
    label.DestroyWindow();
    wnd->DestroyWindow();
}

namespace {

TEST(GdiWindow, AWindowTooLargeForASurfaceGetsNoDc)
{
    // The size a GIF's logical screen gave the picture control: no drawing surface is that tall.
    CCanvasWnd* wnd = OpenCanvas(800, 600);
    ASSERT_NE(nullptr, wnd);
    CStatic tall;
    ASSERT_TRUE(tall.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 20, 20), wnd, 1057));
    tall.SetWindowPos(nullptr, 0, 0, 8, 50440, SWP_NOMOVE | SWP_NOZORDER);
    CRect rc;
    tall.GetClientRect(&rc);
    ASSERT_EQ(50440, rc.Height());
    SetLastError(0);
    HDC hdc = ::GetDC(tall.GetSafeHwnd());
    EXPECT_EQ(nullptr, hdc);
    EXPECT_EQ((DWORD)ERROR_NOT_ENOUGH_MEMORY, GetLastError());
    EXPECT_EQ(0, ::ReleaseDC(tall.GetSafeHwnd(), hdc));
    // Back to a sane size, it draws again.
    tall.SetWindowPos(nullptr, 0, 0, 8, 8, SWP_NOMOVE | SWP_NOZORDER);
    hdc = ::GetDC(tall.GetSafeHwnd());
    EXPECT_NE(nullptr, hdc);
    EXPECT_EQ(1, ::ReleaseDC(tall.GetSafeHwnd(), hdc));
    tall.DestroyWindow();
    wnd->DestroyWindow();
}

}  // namespace
