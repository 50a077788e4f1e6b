// The picture object, streams and global memory.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <vector>
#include "Gdi.h"
#include "MemoryCanvas.h"
#include "GlobalMemory.h"
#include "Picture.h"

namespace {

std::vector<char> ReadFixture(const char* name)
{
    std::ifstream in(std::string(PARVEL_GDI_DATA) + "/" + name, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

HGLOBAL ToGlobal(const std::vector<char>& bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* p = GlobalLock(h);
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

IPicture* Load(const std::vector<char>& bytes)
{
    HGLOBAL h = ToGlobal(bytes);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(h, TRUE, &stream))) return nullptr;
    IPicture* pic = nullptr;
    HRESULT hr = OleLoadPicture(stream, (LONG)bytes.size(), FALSE, IID_IPicture, (void**)&pic);
    stream->Release();
    return SUCCEEDED(hr) ? pic : nullptr;
}


// Renders the whole picture the right way up, as the picture control does.
HRESULT RenderWhole(IPicture* pic, CDC& dc, int x, int y, int cx, int cy)
{
    LONG hmW = 0, hmH = 0;
    pic->get_Width(&hmW);
    pic->get_Height(&hmH);
    return pic->Render(dc, x, y, cx, cy, 0, hmH, hmW, -hmH, nullptr);
}

}  // namespace

TEST(Picture, PngDecodesWithItsHimetricExtent)
{
    IPicture* pic = Load(ReadFixture("rgb3x2.png"));
    ASSERT_NE(nullptr, pic);
    LONG hmW = 0, hmH = 0;
    ASSERT_EQ(S_OK, pic->get_Width(&hmW));
    ASSERT_EQ(S_OK, pic->get_Height(&hmH));
    EXPECT_EQ(79, hmW);  // 3 px at 96 dpi = 79.375 hundredths of a millimetre
    EXPECT_EQ(53, hmH);
    MemoryCanvas c(5, 4);
    EXPECT_EQ(3, MulDiv(hmW, c.dc.GetDeviceCaps(LOGPIXELSX), 2540));
    EXPECT_EQ(2, MulDiv(hmH, c.dc.GetDeviceCaps(LOGPIXELSY), 2540));
    ASSERT_EQ(S_OK, RenderWhole(pic, c.dc, 1, 1, 3, 2));
    EXPECT_EQ(RGB(255, 0, 0), c.dc.GetPixel(1, 1));
    EXPECT_EQ(RGB(0, 255, 0), c.dc.GetPixel(2, 1));
    EXPECT_EQ(RGB(0, 0, 255), c.dc.GetPixel(3, 1));
    EXPECT_EQ(RGB(255, 255, 0), c.dc.GetPixel(1, 2));
    EXPECT_EQ(RGB(255, 0, 255), c.dc.GetPixel(3, 2));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(4, 1));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(1, 3));
    EXPECT_EQ(0u, pic->Release());
}

TEST(Picture, SourceRectangleCountsUpFromTheBottom)
{
    IPicture* pic = Load(ReadFixture("rgb3x2.png"));
    ASSERT_NE(nullptr, pic);
    LONG hmW = 0, hmH = 0;
    pic->get_Width(&hmW);
    pic->get_Height(&hmH);
    MemoryCanvas c(3, 2);
    // y = 0 with a positive height turns the picture upside down.
    ASSERT_EQ(S_OK, pic->Render(c.dc, 0, 0, 3, 2, 0, 0, hmW, hmH, nullptr));
    EXPECT_EQ(RGB(255, 255, 0), c.dc.GetPixel(0, 0));
    EXPECT_EQ(RGB(255, 0, 0), c.dc.GetPixel(0, 1));
    // Stretched twice.
    MemoryCanvas big(6, 4);
    ASSERT_EQ(S_OK, RenderWhole(pic, big.dc, 0, 0, 6, 4));
    EXPECT_EQ(RGB(255, 0, 0), big.dc.GetPixel(1, 1));
    EXPECT_EQ(RGB(255, 0, 255), big.dc.GetPixel(5, 3));
    EXPECT_EQ(E_INVALIDARG, RenderWhole(pic, big.dc, 0, 0, 0, 4));
    pic->Release();
}

TEST(Picture, GifAndBmpDecode)
{
    for (const char* name : {"quad40x30.gif", "quad40x30.bmp"})
    {
        SCOPED_TRACE(name);
        IPicture* pic = Load(ReadFixture(name));
        ASSERT_NE(nullptr, pic);
        LONG hmW = 0, hmH = 0;
        pic->get_Width(&hmW);
        pic->get_Height(&hmH);
        EXPECT_EQ(1058, hmW);  // 40 px
        EXPECT_EQ(794, hmH);   // 30 px
        MemoryCanvas c(40, 30);
        ASSERT_EQ(S_OK, RenderWhole(pic, c.dc, 0, 0, 40, 30));
        EXPECT_EQ(RGB(255, 0, 0), c.dc.GetPixel(0, 0));
        EXPECT_EQ(RGB(255, 0, 0), c.dc.GetPixel(19, 14));
        EXPECT_EQ(RGB(0, 0, 255), c.dc.GetPixel(20, 14));
        EXPECT_EQ(RGB(0, 0, 255), c.dc.GetPixel(39, 29));
        pic->Release();
    }
}

TEST(Picture, OneFrameGifIsItsOwnImageNotTheLogicalScreen)
{
    // A 4x3 frame at (5, 2) of a 10x8 screen: the picture is the frame, drawn where the caller puts it.
    IPicture* pic = Load(ReadFixture("offset10x8.gif"));
    ASSERT_NE(nullptr, pic);
    LONG hmW = 0, hmH = 0;
    pic->get_Width(&hmW);
    pic->get_Height(&hmH);
    EXPECT_EQ(4, MulDiv(hmW, 96, 2540));
    EXPECT_EQ(3, MulDiv(hmH, 96, 2540));
    MemoryCanvas c(10, 8);
    ASSERT_EQ(S_OK, RenderWhole(pic, c.dc, 5, 2, 4, 3));
    EXPECT_EQ(RGB(0, 255, 0), c.dc.GetPixel(5, 2));
    EXPECT_EQ(RGB(0, 255, 0), c.dc.GetPixel(8, 4));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(4, 2));
    EXPECT_EQ(RGB(255, 255, 255), c.dc.GetPixel(9, 5));
    pic->Release();
}

TEST(Picture, UndecodableDataFails)
{
    std::vector<char> junk(64, 'x');
    EXPECT_EQ(nullptr, Load(junk));
    std::vector<char> png = ReadFixture("rgb3x2.png");
    png.resize(60);  // cut inside the header chunks
    EXPECT_EQ(nullptr, Load(png));
    IPicture* pic = nullptr;
    EXPECT_EQ(E_POINTER, OleLoadPicture(nullptr, 10, FALSE, IID_IPicture, (void**)&pic));
    IStream* s = nullptr;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &s));
    EXPECT_EQ(E_NOINTERFACE, OleLoadPicture(s, 0, FALSE, IID_IStream, (void**)&pic));
    s->Release();
}

TEST(Picture, StreamReadsFromItsPositionAndFreesItsBlockWhenAsked)
{
    std::vector<char> bytes = {'a', 'b', 'c', 'd', 'e'};
    HGLOBAL keep = ToGlobal(bytes), drop = ToGlobal(bytes);
    IStream* s1 = nullptr;
    IStream* s2 = nullptr;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(keep, FALSE, &s1));
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(drop, TRUE, &s2));
    char buf[8] = {};
    ULONG got = 0;
    LARGE_INTEGER two;
    two.QuadPart = 2;
    ASSERT_EQ(S_OK, s1->Seek(two, STREAM_SEEK_SET, nullptr));
    EXPECT_EQ(S_FALSE, s1->Read(buf, 8, &got));  // only three bytes are left
    EXPECT_EQ(3u, got);
    EXPECT_EQ(0, std::memcmp(buf, "cde", 3));
    EXPECT_EQ(0u, s1->Release());
    EXPECT_EQ(0u, s2->Release());
    EXPECT_EQ(5u, GlobalSize(keep));
    EXPECT_EQ(0u, GlobalSize(drop));  // freed with its stream
    EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_EQ(nullptr, GlobalFree(keep));
    // A dead block cannot get a stream.
    IStream* s3 = nullptr;
    EXPECT_EQ(E_INVALIDARG, CreateStreamOnHGlobal(keep, FALSE, &s3));
    EXPECT_EQ(nullptr, s3);
}

TEST(GlobalMemory, MovableAndFixedBlocks)
{
    HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
    ASSERT_NE(nullptr, m);
    unsigned char* p = (unsigned char*)GlobalLock(m);
    ASSERT_NE(nullptr, p);
    EXPECT_NE((void*)p, (void*)m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0, p[i]);
    EXPECT_EQ(p, GlobalLock(m));
    EXPECT_TRUE(GlobalUnlock(m));   // still locked once
    EXPECT_FALSE(GlobalUnlock(m));  // now unlocked
    EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
    EXPECT_EQ(16u, GlobalSize(m));
    EXPECT_EQ(nullptr, GlobalFree(m));
    EXPECT_EQ(m, GlobalFree(m));  // twice: refused
    EXPECT_EQ(nullptr, GlobalLock(m));

    HGLOBAL f = GlobalAlloc(GMEM_FIXED, 100);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ((void*)f, GlobalLock(f));  // a fixed block's handle is its address
    std::memset(f, 7, 100);
    EXPECT_EQ(100u, GlobalSize(f));
    EXPECT_EQ(nullptr, GlobalFree(f));
    EXPECT_EQ(nullptr, GlobalLock((HGLOBAL)(void*)&f));  // never a block
}

TEST(Picture, FrameCutFromAnAnimationDecodesWithItsTransparency)
{
    // As the animated picture control cuts a frame: header, screen and global colour table, the
    // frame's blocks, a trailer. Frame 2 of the fixture: a 4x4 image at (2, 2), blue at its top
    // left 2x2, transparent elsewhere.
    std::vector<char> gif = ReadFixture("anim8x8.gif");
    ASSERT_EQ(0x63u, gif.size());
    const size_t head = 13 + 6, frameStart = 0x42, frameEnd = 0x62;
    std::vector<char> frame(gif.begin(), gif.begin() + head);
    frame.insert(frame.end(), gif.begin() + frameStart, gif.begin() + frameEnd);
    frame.push_back(0x3B);
    // The same with a comment between the control extension and the image.
    std::vector<char> commented(gif.begin(), gif.begin() + head);
    commented.insert(commented.end(), gif.begin() + frameStart, gif.begin() + frameStart + 8);
    for (char ch : {'\x21', '\xFE', '\x03', 'a', 'b', 'c', '\x00'}) commented.push_back(ch);
    commented.insert(commented.end(), gif.begin() + frameStart + 8, gif.begin() + frameEnd);
    commented.push_back(0x3B);

    for (const std::vector<char>* bytes : {&frame, &commented})
    {
        IPicture* pic = Load(*bytes);
        ASSERT_NE(nullptr, pic);
        LONG hmW = 0, hmH = 0;
        pic->get_Width(&hmW);
        pic->get_Height(&hmH);
        EXPECT_EQ(4, MulDiv(hmW, 96, 2540));
        EXPECT_EQ(4, MulDiv(hmH, 96, 2540));
        MemoryCanvas c(8, 8);
        c.dc.FillSolidRect(0, 0, 8, 8, RGB(255, 0, 0));
        ASSERT_EQ(S_OK, RenderWhole(pic, c.dc, 2, 2, 4, 4));
        EXPECT_EQ(RGB(0, 0, 255), c.dc.GetPixel(2, 2));
        EXPECT_EQ(RGB(0, 0, 255), c.dc.GetPixel(3, 3));
        EXPECT_EQ(RGB(255, 0, 0), c.dc.GetPixel(4, 4));  // transparent: what was there stays
        EXPECT_EQ(RGB(255, 0, 0), c.dc.GetPixel(5, 2));
        EXPECT_EQ(RGB(255, 0, 0), c.dc.GetPixel(1, 1));
        pic->Release();
    }
}

namespace {

long PeakKilobytes()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

TEST(Picture, ImagesAboveThePixelBudgetAreRefusedBeforeDecoding)
{
    // 57 bytes whose GIF, after the first byte, claims a screen of 31236 x 16127 pixels: about
    // 2 GB once decoded. Both the file and the GIF in it are refused, without the memory.
    std::vector<char> file = ReadFixture("picture-4gb.gif");
    ASSERT_EQ(57u, file.size());
    std::vector<char> gif(file.begin() + 1, file.end());
    ASSERT_EQ(0, std::memcmp(gif.data(), "GIF89a", 6));
    long before = PeakKilobytes();
    for (const std::vector<char>* bytes : { &file, &gif })
    {
        EXPECT_EQ(nullptr, Load(*bytes));
        HGLOBAL h = ToGlobal(*bytes);
        IStream* stream = nullptr;
        ASSERT_EQ(S_OK, CreateStreamOnHGlobal(h, TRUE, &stream));
        IPicture* pic = nullptr;
        EXPECT_EQ(CTL_E_INVALIDPICTURE, OleLoadPicture(stream, (LONG)bytes->size(), FALSE, IID_IPicture, (void**)&pic));
        stream->Release();
    }
    EXPECT_LT(PeakKilobytes() - before, 256L * 1024);
    // Pictures within the budget still load.
    IPicture* pic = Load(ReadFixture("quad40x30.gif"));
    ASSERT_NE(nullptr, pic);
    pic->Release();
}

TEST(Picture, HeadersNamingBlocksBeyondTheFileAreRefusedBeforeTheDecoderAllocates)
{
    const std::vector<char> bmp = ReadFixture("quad40x30.bmp");
    ASSERT_GT(bmp.size(), 54u);
    ASSERT_EQ(0, std::memcmp(bmp.data(), "BM", 2));
    auto with32 = [](std::vector<char> bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = (char)(value >> (8 * i));
        return bytes;
    };
    // An icon directory of one entry whose image lies past the end of the file.
    std::vector<char> ico = { 0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0 };
    ico.resize(22 + 40, 0);
    ico = with32(ico, 14, 40);
    ico = with32(ico, 18, 0x7FFFFFF0u);
    struct Case
    {
        const char* name;
        std::vector<char> bytes;
    };
    const Case cases[] = {
        { "BMP info header of about 4 GB, as found", ReadFixture("bmp-header-4gb.bmp") },
        { "BMP info header of about 4 GB", with32(bmp, 14, 0xFFFF007Cu) },
        { "BMP info header of no known size", with32(bmp, 14, 41) },
        { "BMP pixels past the end", with32(bmp, 10, 0x7FFFFFFFu) },
        { "BMP palette of about 4 GB", with32(bmp, 46, 0xFFFFFFFFu) },
        { "icon image past the end", ico },
        { "no picture format", std::vector<char>({ '/', '*', ' ', 'X', 'P', 'M', ' ', '*', '/', '\n' }) },
    };
    // The decoders would first allocate what these headers name (the fuzz target's seed of the
    // first case catches that allocation); here each must come back refused.
    for (const Case& c : cases)
        EXPECT_EQ(nullptr, Load(c.bytes)) << c.name;
    // The untouched file still loads.
    IPicture* pic = Load(bmp);
    ASSERT_NE(nullptr, pic);
    pic->Release();
}
