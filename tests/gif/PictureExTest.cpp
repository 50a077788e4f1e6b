// The animated-GIF control on real windows: frame cutting, delays, disposal, truncated data.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>
#include <functional>
#include <memory>
#include "AfxWin.h"
#include "GuiEnvironment.h"
#include "GuiWait.h"
#include "GifBuilder.h"
#include "KernelObject.h"
#include "PictureEx.h"

namespace
{
const ::testing::Environment* const s_env = ::testing::AddGlobalTestEnvironment(new CGuiEnvironment("gif_tests"));

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// A global memory block holding exactly the bytes, so any read past them is caught.
HGLOBAL Block(const unsigned char* pData, size_t nSize)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, nSize);
    void* p = GlobalLock(h);
    if (nSize)
        memcpy(p, pData, nSize);
    GlobalUnlock(h);
    return h;
}

class PictureExTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "gif host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
        m_pPicture.reset(new CPictureEx);
        ASSERT_TRUE(m_pPicture->Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 20, 20), &m_host, 1055));
    }
    void TearDown() override
    {
        m_pPicture->DestroyWindow();
        m_pPicture.reset();
        m_host.DestroyWindow();
    }

    BOOL Load(const CGifBuilder::Bytes& data) { return Load(data.data(), data.size()); }
    BOOL Load(const unsigned char* pData, size_t nSize)
    {
        HGLOBAL h = Block(pData, nSize);
        BOOL bLoaded = m_pPicture->Load(h, (DWORD)nSize);
        GlobalFree(h);
        return bLoaded;
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_pPicture->GetSurfaceDC(), x, y); }

    CWnd m_host;
    std::unique_ptr<CPictureEx> m_pPicture;
};

TEST_F(PictureExTest, CutsFramesWithTheirDelaysDisposalAndPlace)
{
    CGifBuilder gif(16, 12);
    gif.Application()
        .Control(0, 1).Image(0, 0, 16, 12, CGifBuilder::RED)
        .Comment("between frames")
        .Control(5, 2).Image(2, 3, 4, 5, CGifBuilder::GREEN)
        .Control(10, 3).Image(6, 1, 8, 2, CGifBuilder::BLUE)
        .Trailer();
    ASSERT_TRUE(Load(gif.Data()));

    EXPECT_TRUE(m_pPicture->IsGIF());
    ASSERT_EQ(3, m_pPicture->GetFrameCount());
    const struct { UINT nDelay, nDisposal; LONG x, y, cx, cy; } expected[] = {
        { 0, 1, 0, 0, 16, 12 }, { 5, 2, 2, 3, 4, 5 }, { 10, 3, 6, 1, 8, 2 } };
    for (int i = 0; i < 3; ++i)
    {
        const CPictureEx::TFrame& frame = m_pPicture->GetFrame(i);
        EXPECT_NE(nullptr, frame.m_pPicture) << i;
        EXPECT_EQ(expected[i].nDelay, frame.m_nDelay) << i;
        EXPECT_EQ(expected[i].nDisposal, frame.m_nDisposal) << i;
        EXPECT_EQ(expected[i].x, frame.m_frameOffset.cx) << i;
        EXPECT_EQ(expected[i].y, frame.m_frameOffset.cy) << i;
        EXPECT_EQ(expected[i].cx, frame.m_frameSize.cx) << i;
        EXPECT_EQ(expected[i].cy, frame.m_frameSize.cy) << i;
    }
    // The control takes the logical screen's size.
    CRect rc;
    m_pPicture->GetClientRect(&rc);
    EXPECT_EQ(16, rc.Width());
    EXPECT_EQ(12, rc.Height());
    EXPECT_EQ(16, m_pPicture->GetSize().cx);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), m_pPicture->GetBkColor());
}

TEST_F(PictureExTest, FrameWithoutControlExtensionHasNoDelay)
{
    CGifBuilder gif(8, 8);
    gif.Image(0, 0, 8, 8, CGifBuilder::RED).Image(0, 0, 4, 4, CGifBuilder::BLUE).Trailer();
    ASSERT_TRUE(Load(gif.Data()));
    ASSERT_EQ(2, m_pPicture->GetFrameCount());
    EXPECT_EQ(0xFFFFFFFFu, m_pPicture->GetFrame(0).m_nDelay);
    EXPECT_EQ(0u, m_pPicture->GetFrame(0).m_nDisposal);
}

TEST_F(PictureExTest, UnrecognisedExtensionEndsTheFrameList)
{
    CGifBuilder gif(8, 8);
    gif.Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::RED)
        .Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::GREEN)
        .UnknownExtension()
        .Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::BLUE)
        .Trailer();
    ASSERT_TRUE(Load(gif.Data()));
    EXPECT_EQ(2, m_pPicture->GetFrameCount());

    // The frames before it still play.
    m_pPicture->Draw();
    EXPECT_TRUE(WaitFor([&] { return m_pPicture->GetCurrentFrame() == 1 && Pixel(3, 3) == kGreen; }));
    m_pPicture->Stop();
}

TEST_F(PictureExTest, CommentBetweenControlAndImageStaysInTheFrame)
{
    CGifBuilder gif(8, 8);
    gif.Control(7, 2).Comment("inside the frame").Application().Image(1, 2, 3, 4, CGifBuilder::RED)
        .Control(9, 1).Comment("x").Image(0, 0, 8, 8, CGifBuilder::BLUE)
        .Trailer();
    ASSERT_TRUE(Load(gif.Data()));
    ASSERT_EQ(2, m_pPicture->GetFrameCount());
    // The control extension before the comment still belongs to the image after it.
    EXPECT_EQ(7u, m_pPicture->GetFrame(0).m_nDelay);
    EXPECT_EQ(2u, m_pPicture->GetFrame(0).m_nDisposal);
    EXPECT_EQ(3, m_pPicture->GetFrame(0).m_frameSize.cx);
    EXPECT_EQ(9u, m_pPicture->GetFrame(1).m_nDelay);

    m_pPicture->Draw();
    EXPECT_TRUE(WaitFor([&] { return Pixel(2, 3) == kRed; }));
    m_pPicture->Stop();
}

TEST_F(PictureExTest, DelaysBelowFiveShowATenthOfASecond)
{
    const struct { int nDelay; DWORD dwExpected; } cases[] = { { 0, 100 }, { 4, 100 }, { 5, 50 }, { 10, 100 } };
    for (const auto& c : cases)
    {
        CGifBuilder gif(4, 4);
        gif.Control(c.nDelay, 1).Image(0, 0, 4, 4, CGifBuilder::RED)
            .Control(c.nDelay, 1).Image(0, 0, 4, 4, CGifBuilder::BLUE)
            .Trailer();
        ASSERT_TRUE(Load(gif.Data()));
        m_pPicture->Draw();
        // A change happened after the last look that still saw the old frame and by the look that
        // saw the new one, so each interval between changes lies between two bounds; a busy
        // machine only widens them. Every interval must be able to reach the delay, and none may
        // be sure to exceed it by much.
        struct Change { DWORD dwBefore, dwSeen; };
        std::vector<Change> changes;
        int nLast = m_pPicture->GetCurrentFrame();
        DWORD dwLook = GetTickCount();
        WaitFor([&] {
            DWORD dwNow = GetTickCount();
            int nNow = m_pPicture->GetCurrentFrame();
            if (nNow != nLast)
            {
                changes.push_back({dwLook, dwNow});
                nLast = nNow;
            }
            dwLook = dwNow;
            return changes.size() >= 6;
        }, 5000);
        m_pPicture->Stop();
        ASSERT_GE(changes.size(), 6u) << "delay " << c.nDelay;
        for (size_t i = 1; i < changes.size(); ++i)
        {
            DWORD dwLongest = changes[i].dwSeen - changes[i - 1].dwBefore;
            DWORD dwShortest = changes[i].dwBefore - changes[i - 1].dwSeen;
            EXPECT_GE(dwLongest + 5, c.dwExpected) << "delay " << c.nDelay << ", change " << i;
            EXPECT_LT(dwShortest, c.dwExpected + 40) << "delay " << c.nDelay << ", change " << i;
        }
    }
}

// The first frame covers the screen in green; the second, in red, is disposed of before the
// third (blue, elsewhere) shows.
TEST_F(PictureExTest, DisposalOfAFrameBeforeTheNext)
{
    const struct { int nDisposal; COLORREF expected; } cases[] = {
        { 1, kRed }, { 0, kRed }, { 2, GetSysColor(COLOR_BTNFACE) }, { 3, kGreen } };
    for (const auto& c : cases)
    {
        CGifBuilder gif(8, 8);
        gif.Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::GREEN)
            .Control(5, c.nDisposal).Image(0, 0, 4, 4, CGifBuilder::RED)
            .Control(500, 1).Image(4, 4, 4, 4, CGifBuilder::BLUE)
            .Trailer();
        ASSERT_TRUE(Load(gif.Data()));
        m_pPicture->Draw();
        EXPECT_TRUE(WaitFor([&] { return Pixel(5, 5) == kBlue; })) << "disposal " << c.nDisposal;
        EXPECT_EQ(c.expected, Pixel(1, 1)) << "disposal " << c.nDisposal;
        EXPECT_EQ(kGreen, Pixel(6, 1)) << "disposal " << c.nDisposal;
        m_pPicture->Stop();
    }
}

TEST_F(PictureExTest, WrapToTheFirstFrameClearsTheSurface)
{
    CGifBuilder gif(8, 8);
    gif.Control(300, 1).Image(0, 0, 4, 4, CGifBuilder::RED)
        .Control(5, 1).Image(4, 4, 4, 4, CGifBuilder::BLUE)
        .Trailer();
    ASSERT_TRUE(Load(gif.Data()));
    m_pPicture->Draw();
    ASSERT_TRUE(WaitFor([&] { return Pixel(5, 5) == kBlue && Pixel(1, 1) == kRed; }, 8000));
    ASSERT_TRUE(WaitFor([&] { return m_pPicture->GetCurrentFrame() == 0; }, 3000));
    // The blue of the last frame is gone; the first frame is drawn again.
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Pixel(5, 5));
    EXPECT_TRUE(WaitFor([&] { return Pixel(1, 1) == kRed; }));
    m_pPicture->Stop();
}

TEST_F(PictureExTest, StopEndsTheThreadAndDrawResumesWhereItStopped)
{
    CGifBuilder gif(8, 8);
    gif.Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::RED)
        .Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::GREEN)
        .Control(500, 1).Image(0, 0, 8, 8, CGifBuilder::BLUE)
        .Trailer();
    ASSERT_TRUE(Load(gif.Data()));
    EXPECT_FALSE(m_pPicture->Draw());  // an animation answers FALSE
    ASSERT_TRUE(WaitFor([&] { return m_pPicture->GetCurrentFrame() == 2 && m_pPicture->IsPlaying(); }));

    DWORD dwStart = GetTickCount();
    m_pPicture->Stop();
    EXPECT_LT(GetTickCount() - dwStart, 1000u);  // the stop event cuts the 5 s wait short
    EXPECT_FALSE(m_pPicture->IsPlaying());
    EXPECT_EQ(2, m_pPicture->GetCurrentFrame());
    m_pPicture->Stop();  // a second stop finds nothing to close

    m_pPicture->Draw();
    EXPECT_TRUE(WaitFor([&] { return m_pPicture->IsPlaying(); }));
    EXPECT_EQ(2, m_pPicture->GetCurrentFrame());
    m_pPicture->UnLoad();
    EXPECT_FALSE(m_pPicture->IsPlaying());
    EXPECT_EQ(0, m_pPicture->GetFrameCount());
    EXPECT_EQ(nullptr, m_pPicture->GetSurfaceDC());
    EXPECT_EQ(RGB(255, 255, 255), m_pPicture->GetBkColor());
    EXPECT_FALSE(m_pPicture->Draw());
}

TEST_F(PictureExTest, SingleImageIsShownStillAtTheLogicalScreenSize)
{
    CGifBuilder gif(20, 12);
    gif.Control(5, 0).Image(2, 2, 4, 4, CGifBuilder::RED).Trailer();
    ASSERT_TRUE(Load(gif.Data()));
    EXPECT_EQ(0, m_pPicture->GetFrameCount());
    EXPECT_TRUE(m_pPicture->Draw());
    EXPECT_FALSE(m_pPicture->IsPlaying());
    CRect rc;
    m_pPicture->GetClientRect(&rc);
    EXPECT_EQ(20, rc.Width());
    EXPECT_EQ(12, rc.Height());
    EXPECT_EQ(kRed, Pixel(3, 3));
    EXPECT_EQ(kRed, Pixel(5, 5));
}

// A 24-bit bitmap of 3 x 2 pixels: red, green, blue on top, white below.
std::vector<unsigned char> SmallBitmap()
{
    std::vector<unsigned char> b = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,               // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,  // info header
        24, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    };
    const unsigned char rows[] = {
        255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0,  // bottom row, padded to 12 bytes
        0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,              // top row (BGR)
    };
    b.insert(b.end(), rows, rows + sizeof rows);
    return b;
}

TEST_F(PictureExTest, OtherPictureIsShownStillAtItsPixelSize)
{
    std::vector<unsigned char> bmp = SmallBitmap();
    ASSERT_TRUE(Load(bmp.data(), bmp.size()));
    EXPECT_FALSE(m_pPicture->IsGIF());
    EXPECT_EQ(3, m_pPicture->GetSize().cx);
    EXPECT_EQ(2, m_pPicture->GetSize().cy);
    EXPECT_TRUE(m_pPicture->Draw());
    EXPECT_FALSE(m_pPicture->IsPlaying());
    EXPECT_EQ(kRed, Pixel(0, 0));
    EXPECT_EQ(kGreen, Pixel(1, 0));
    EXPECT_EQ(kBlue, Pixel(2, 0));
    EXPECT_EQ(RGB(255, 255, 255), Pixel(1, 1));
}

TEST_F(PictureExTest, TruncatedDataAtEveryLengthNeverReadsPastIt)
{
    CGifBuilder gif(8, 8);
    gif.Application()
        .Control(5, 2).Comment("c").Image(0, 0, 8, 8, CGifBuilder::RED)
        .Control(5, 3).Image(2, 2, 4, 4, CGifBuilder::GREEN)
        .Control(5, 1).Image(0, 0, 2, 2, CGifBuilder::BLUE)
        .Trailer();
    const CGifBuilder::Bytes& data = gif.Data();
    for (size_t n = 0; n <= data.size(); ++n)
    {
        BOOL bLoaded = Load(data.data(), n);
        EXPECT_LE(m_pPicture->GetFrameCount(), 3) << n;
        if (!bLoaded)
        {
            EXPECT_EQ(0, m_pPicture->GetFrameCount()) << n;
            EXPECT_FALSE(m_pPicture->Draw()) << n;
        }
    }
    EXPECT_EQ(3, m_pPicture->GetFrameCount());
}

TEST_F(PictureExTest, SizeBeyondTheBlockIsNotRead)
{
    CGifBuilder gif(8, 8);
    gif.Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::RED).Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::BLUE);
    const CGifBuilder::Bytes& data = gif.Data();
    HGLOBAL h = Block(data.data(), data.size());
    EXPECT_TRUE(m_pPicture->Load(h, (DWORD)data.size() + 4096));
    EXPECT_EQ(2, m_pPicture->GetFrameCount());
    GlobalFree(h);
}

TEST_F(PictureExTest, DataThatIsNoPictureLeavesTheControlEmpty)
{
    const unsigned char junk[] = "not a picture at all";
    EXPECT_FALSE(Load(junk, sizeof(junk)));
    EXPECT_FALSE(m_pPicture->Draw());
    // A GIF without any image.
    CGifBuilder gif(8, 8);
    gif.Application().Comment("no image").Trailer();
    EXPECT_FALSE(Load(gif.Data()));
    EXPECT_EQ(nullptr, m_pPicture->GetSurfaceDC());
}

TEST_F(PictureExTest, ResourceLoadsThroughTheRegistry)
{
    CGifBuilder gif(8, 8);
    gif.Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::RED).Control(5, 1).Image(0, 0, 8, 8, CGifBuilder::BLUE).Trailer();
    static CGifBuilder::Bytes s_data = gif.Data();
    CResourceRegistry::AddData(9355u, "GIF", s_data.data(), (DWORD)s_data.size());
    EXPECT_TRUE(m_pPicture->Load(MAKEINTRESOURCE(9355), "GIF"));
    EXPECT_EQ(2, m_pPicture->GetFrameCount());
    EXPECT_FALSE(m_pPicture->Load(MAKEINTRESOURCE(9356), "GIF"));
}
}  // namespace

namespace
{
std::vector<unsigned char> ReadData(const char* pszName)
{
    std::ifstream in(std::string(PARVEL_GIF_DATA) + "/" + pszName, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(PictureExTest, PictureTallerThanAnyScreenIsRefused)
{
    // A 4 x 4 image on a logical screen 50440 pixels tall: no surface, no resize, an empty control.
    std::vector<unsigned char> data = ReadData("spinner-tall.gif");
    ASSERT_EQ(52u, data.size());
    EXPECT_FALSE(Load(data.data(), data.size()));
    EXPECT_EQ(nullptr, m_pPicture->GetSurfaceDC());
    EXPECT_FALSE(m_pPicture->Draw());
    CRect rc;
    m_pPicture->GetClientRect(&rc);
    EXPECT_EQ(10, rc.Height());
    // The same image on a screen of its own size shows.
    CGifBuilder gif(4, 4);
    gif.Image(0, 0, 4, 4, CGifBuilder::RED).Trailer();
    EXPECT_TRUE(Load(gif.Data()));
}
}  // namespace
