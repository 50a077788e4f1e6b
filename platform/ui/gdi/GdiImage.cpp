// Image files into pixels, with gdk-pixbuf (safe on any thread for separate loaders).
#include "GdiImpl.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <algorithm>
#include <cstring>

namespace gdi {

namespace {

// Offset of the first image descriptor of a GIF, or 0; every read stays inside the data.
size_t FirstGifImage(const unsigned char* p, size_t n)
{
    if (n < 13) return 0;
    size_t off = 13;
    if (p[10] & 0x80) off += 3u * (1u << ((p[10] & 7) + 1));
    auto skipSubBlocks = [&](size_t at) -> size_t {
        while (at < n)
        {
            size_t len = p[at];
            if (len == 0) return at + 1;
            at += len + 1;
        }
        return 0;
    };
    while (off < n)
    {
        if (p[off] == 0x2C) return off + 10 <= n ? off : 0;
        if (p[off] != 0x21 || off + 2 > n) return 0;
        size_t next = skipSubBlocks(off + 2);
        if (!next) return 0;
        off = next;
    }
    return 0;
}

// Called with the image's size once its header is read, before any pixel is decoded: a size
// of 0 x 0 tells the decoder to stop without allocating.
void RefuseOverBudget(GdkPixbufLoader* loader, int width, int height, gpointer refused)
{
    if (width <= 0 || height <= 0 || (long long)width * height > kMaxImagePixels)
    {
        *(bool*)refused = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);
    }
}

uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }

// The gdk-pixbuf loader for the data, or null. Only the formats pictures come in are decoded, and
// BMP and ICO headers are checked first: their loaders allocate whatever sizes the header names.
const char* LoaderFor(const unsigned char* p, size_t n)
{
    if (n >= 6 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0)) return "gif";
    if (n >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0) return "png";
    if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return "jpeg";
    if (n >= 18 && p[0] == 'B' && p[1] == 'M')
    {
        const uint32_t info = Le32(p + 14);
        const bool known = info == 12 || info == 16 || info == 40 || info == 52 || info == 56 || info == 64 ||
                           info == 108 || info == 124;
        const uint64_t pixelsAt = Le32(p + 10);
        if (!known || 14 + (size_t)info > n || pixelsAt > n) return nullptr;
        // The palette the header announces must lie inside the file too.
        const uint64_t colours = info >= 40 ? Le32(p + 46) : 0;
        return 14 + info + colours * 4 <= n ? "bmp" : nullptr;
    }
    if (n >= 6 && p[0] == 0 && p[1] == 0 && (p[2] == 1 || p[2] == 2) && p[3] == 0)
    {
        const size_t count = p[4] | (p[5] << 8);
        if (count == 0 || 6 + count * 16 > n) return nullptr;
        for (size_t i = 0; i < count; ++i)
        {
            const unsigned char* e = p + 6 + i * 16;
            const uint64_t bytes = Le32(e + 8), offset = Le32(e + 12);
            if (offset + bytes > n || bytes < 40) return nullptr;
        }
        return "ico";
    }
    return nullptr;
}

}  // namespace

bool DecodeImage(const void* data, size_t size, Image& out)
{
    if (!data || size == 0) return false;
    const char* type = LoaderFor((const unsigned char*)data, size);
    GdkPixbufLoader* loader = type ? gdk_pixbuf_loader_new_with_type(type, nullptr) : nullptr;
    if (!loader) return false;
    bool refused = false;
    g_signal_connect(loader, "size-prepared", G_CALLBACK(RefuseOverBudget), &refused);
    GError* err = nullptr;
    bool ok = gdk_pixbuf_loader_write(loader, (const guchar*)data, size, &err);
    if (err) { g_error_free(err); err = nullptr; }
    bool closed = gdk_pixbuf_loader_close(loader, &err);
    if (err) { g_error_free(err); err = nullptr; }
    GdkPixbuf* pb = ok && closed && !refused ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    // A decoder that did not announce its size is held to the budget all the same.
    if (pb && (long long)gdk_pixbuf_get_width(pb) * gdk_pixbuf_get_height(pb) > kMaxImagePixels) pb = nullptr;
    if (!pb)
    {
        g_object_unref(loader);
        return false;
    }
    int w = gdk_pixbuf_get_width(pb), h = gdk_pixbuf_get_height(pb);
    int x0 = 0, y0 = 0, cw = w, ch = h;
    const unsigned char* bytes = (const unsigned char*)data;
    if (size >= 3 && std::memcmp(bytes, "GIF", 3) == 0)
    {
        // The picture of a GIF is its image, not the whole logical screen it sits on.
        if (size_t img = FirstGifImage(bytes, size))
        {
            int l = bytes[img + 1] | (bytes[img + 2] << 8), t = bytes[img + 3] | (bytes[img + 4] << 8);
            int iw = bytes[img + 5] | (bytes[img + 6] << 8), ih = bytes[img + 7] | (bytes[img + 8] << 8);
            int r = std::min(w, l + iw), b = std::min(h, t + ih);
            if (l < r && t < b) { x0 = l; y0 = t; cw = r - l; ch = b - t; }
        }
    }
    int n = gdk_pixbuf_get_n_channels(pb);
    bool alpha = gdk_pixbuf_get_has_alpha(pb);
    int stride = gdk_pixbuf_get_rowstride(pb);
    const guchar* px = gdk_pixbuf_read_pixels(pb);
    out.width = cw;
    out.height = ch;
    out.pixels.assign((size_t)cw * ch, 0);
    for (int y = 0; y < ch; ++y)
    {
        const guchar* row = px + (size_t)(y + y0) * stride + (size_t)x0 * n;
        for (int x = 0; x < cw; ++x, row += n)
        {
            uint32_t a = alpha ? row[3] : 255;
            uint32_t r = (row[0] * a + 127) / 255, g = (row[1] * a + 127) / 255, b = (row[2] * a + 127) / 255;
            out.pixels[(size_t)y * cw + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    g_object_unref(loader);
    return true;
}

HBITMAP BitmapFromImage(const void* data, size_t size)
{
    Image img;
    if (!DecodeImage(data, size, img)) return nullptr;
    HBITMAP h = CreateCompatibleBitmap(nullptr, img.width, img.height);
    Bitmap* b = (Bitmap*)LookUp((HGDIOBJ)h, kBitmap);
    if (!b) return nullptr;
    std::lock_guard<std::mutex> g(b->lock);
    cairo_surface_flush(b->surface);
    for (int y = 0; y < img.height; ++y)
        std::memcpy(b->Row(y), &img.pixels[(size_t)y * img.width], (size_t)img.width * 4);
    cairo_surface_mark_dirty(b->surface);
    return h;
}

}  // namespace gdi
