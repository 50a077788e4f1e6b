// Inside of the drawing layer: what the GDI handles point at. Not for the system's code.
#pragma once

#include <cairo.h>
#include <mutex>
#include <string>
#include <vector>
#include "GdiApi.h"

namespace gdi {

enum ObjectKind { kBitmap = OBJ_BITMAP, kBrush = OBJ_BRUSH, kPen = OBJ_PEN, kFont = OBJ_FONT, kRegion = OBJ_REGION };

struct Object
{
    explicit Object(ObjectKind k) : kind(k) {}
    virtual ~Object() = default;
    ObjectKind kind;
    bool stock = false;
    int selections = 0;  // DCs it is selected into; guarded by the registry lock
};

// A 32-bit premultiplied ARGB buffer (cairo image surface). Its lock is taken by every
// operation that reads or writes the pixels, so two threads may use the same bitmap safely.
struct Bitmap : Object
{
    Bitmap(int w, int h, bool opaque);
    ~Bitmap() override;
    int width = 0;
    int height = 0;
    cairo_surface_t* surface = nullptr;
    std::mutex lock;
    uint32_t* Row(int y) const;
};

struct Brush : Object
{
    Brush() : Object(kBrush) {}
    COLORREF color = 0;
    bool hollow = false;
};

struct Pen : Object
{
    Pen() : Object(kPen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct Font : Object
{
    Font() : Object(kFont) {}
    LOGFONTA lf{};
    std::string familyUtf8;  // the Linux family the face maps to
};

// A region as rows of rectangles.
struct Region : Object
{
    Region() : Object(kRegion) {}
    std::vector<RECT> rects;
};
bool RegionRects(HRGN hrgn, std::vector<RECT>& rects);

enum DcKind { kMemoryDC, kWindowDC };

struct DC
{
    DcKind kind = kMemoryDC;
    HWND hwnd = nullptr;          // window DCs
    Bitmap* bitmap = nullptr;     // selected bitmap, or the window DC's own back buffer
    Bitmap* ownBuffer = nullptr;  // window DCs: buffer of the client area, transparent until drawn
    bool paint = false;           // made by BeginPaint (flushed by EndPaint)
    Brush* brush = nullptr;
    Pen* pen = nullptr;
    Font* font = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    POINT current{0, 0};
    SIZE device{0, 0};  // the screen DC: the screen's size (it has no buffer of that size)
};

// Told when an object or DC goes, so the class wrappers made for its handle go too.
extern void (*g_onDestroyed)(const void*);

// Handle checks: a handle that is not a live object gives null, never a crash.
Object* LookUp(HGDIOBJ h, int kind = 0);
DC* LookUpDC(HDC h);
void Register(Object* o);
HDC RegisterDC(DC* dc);
void ReleaseDCObject(DC* dc);  // deselects, frees, unregisters

uint32_t ToPixel(COLORREF c);
COLORREF FromPixel(uint32_t p);
COLORREF SysColor(int index);
Font* DefaultFont();

// Windows DCs: the windowing side moves the back buffer to the screen.
HDC MakeWindowDC(HWND hwnd, int cx, int cy, bool paint);
void FlushWindowDC(DC* dc);  // defined with the wx code

// The screen DC, whose lines go onto the X root window in the DC's raster operation.
bool IsScreenDC(const DC* dc);
void ScreenLine(DC* dc, int x0, int y0, int x1, int y1);

// Text drawing on a bitmap with pango; rc in/out for DT_CALCRECT.
int DrawTextOn(DC* dc, const std::string& gbk, RECT* rc, UINT format);
SIZE TextExtent(DC* dc, const std::string& gbk);
void FontMetrics(DC* dc, TEXTMETRICA* tm);
// A label's text as shown: "&x" marks a mnemonic (dropped), "&&" is one "&".
std::string StripPrefix(const std::string& gbk);
// The Linux family for a face name (GBK), e.g. the Song face to a CJK font present here.
std::string FamilyForFace(const char* faceGbk);

// Alpha-composites a premultiplied ARGB pixel over another.
inline uint32_t Over(uint32_t src, uint32_t dst)
{
    uint32_t a = src >> 24;
    if (a == 255) return src;
    if (a == 0) return dst;
    uint32_t inv = 255 - a;
    uint32_t out = 0;
    for (int sh = 0; sh < 32; sh += 8)
    {
        uint32_t s = (src >> sh) & 0xFF, d = (dst >> sh) & 0xFF;
        uint32_t v = s + (d * inv + 127) / 255;
        out |= (v > 255 ? 255 : v) << sh;
    }
    return out;
}

}  // namespace gdi

namespace gdi {

// The most pixels a picture may have: far above any icon or picture the system shows, far below
// what a few crafted header bytes can make a decoder allocate.
const long long kMaxImagePixels = 16LL * 1024 * 1024;

// A decoded image: premultiplied ARGB, rows top-down.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// PNG, BMP, JPEG, GIF (its first image, cut to that image's own rectangle), ICO; false for an
// image of more than kMaxImagePixels, refused from its header before it is decoded.
bool DecodeImage(const void* data, size_t size, Image& out);
// A new bitmap with the image's pixels; null when it does not decode.
HBITMAP BitmapFromImage(const void* data, size_t size);

}  // namespace gdi
