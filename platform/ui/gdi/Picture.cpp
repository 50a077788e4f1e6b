// The picture object over a decoded image, and a stream over global memory.
#include "Picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#include "CRefCounted.h"
#include "GdiImpl.h"
#include "GlobalMemory.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IStream = {0x5056A001, 0x7E11, 0x4C2A, {0x9A, 0x01, 0x50, 0x61, 0x72, 0x76, 0x65, 0x6C}};
const IID IID_IPicture = {0x5056A002, 0x7E11, 0x4C2A, {0x9A, 0x02, 0x50, 0x61, 0x72, 0x76, 0x65, 0x6C}};

namespace {

// The interface lookup of a reference-counted object that offers one interface.
template <class I>
class CUnknownImpl : public CRefCounted<I>
{
public:
    explicit CUnknownImpl(const IID& iid) : m_iid(iid) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == m_iid)
        {
            this->AddRef();
            *ppv = static_cast<I*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

private:
    const IID& m_iid;
};

class CHGlobalStream : public CUnknownImpl<IStream>
{
public:
    CHGlobalStream(HGLOBAL h, bool deleteOnRelease)
        : CUnknownImpl<IStream>(IID_IStream), m_hGlobal(h), m_bDelete(deleteOnRelease)
    {
    }


    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override
    {
        if (pcbRead) *pcbRead = 0;
        if (!pv && cb) return E_POINTER;
        size_t size = GlobalSize(m_hGlobal);
        const char* data = (const char*)GlobalLock(m_hGlobal);
        if (!data) return E_FAIL;
        size_t n = m_pos < size ? std::min<size_t>(cb, size - m_pos) : 0;
        if (n) std::memcpy(pv, data + m_pos, n);
        GlobalUnlock(m_hGlobal);
        m_pos += n;
        if (pcbRead) *pcbRead = (ULONG)n;
        return n < cb ? S_FALSE : S_OK;
    }

    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override
    {
        if (pcbWritten) *pcbWritten = 0;
        if (!pv && cb) return E_POINTER;
        size_t size = GlobalSize(m_hGlobal);
        if (m_pos + cb > size && !GlobalReAlloc(m_hGlobal, m_pos + cb, GMEM_ZEROINIT)) return E_OUTOFMEMORY;
        char* data = (char*)GlobalLock(m_hGlobal);
        if (!data) return E_FAIL;
        std::memcpy(data + m_pos, pv, cb);
        GlobalUnlock(m_hGlobal);
        m_pos += cb;
        if (pcbWritten) *pcbWritten = cb;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override
    {
        int64_t base = origin == STREAM_SEEK_SET ? 0
                       : origin == STREAM_SEEK_CUR ? (int64_t)m_pos
                       : origin == STREAM_SEEK_END ? (int64_t)GlobalSize(m_hGlobal)
                                                   : -1;
        if (base < 0) return STG_E_INVALIDFUNCTION;
        int64_t pos = base + move.QuadPart;
        if (pos < 0) return STG_E_INVALIDFUNCTION;
        m_pos = (size_t)pos;
        if (newPosition) newPosition->QuadPart = (ULONGLONG)pos;
        return S_OK;
    }

private:
    ~CHGlobalStream() override
    {
        if (m_bDelete) GlobalFree(m_hGlobal);
    }

    HGLOBAL m_hGlobal;
    bool m_bDelete;
    size_t m_pos = 0;
};

class CPictureObject : public CUnknownImpl<IPicture>
{
public:
    explicit CPictureObject(gdi::Image&& image) : CUnknownImpl<IPicture>(IID_IPicture), m_image(std::move(image))
    {
        // The same 96 dots per inch the DCs report, so the extent converts back to the pixel size.
        m_hmWidth = MulDiv(m_image.width, 2540, 96);
        m_hmHeight = MulDiv(m_image.height, 2540, 96);
    }


    HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) override
    {
        if (!width) return E_POINTER;
        *width = m_hmWidth;
        return S_OK;
    }
    HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) override
    {
        if (!height) return E_POINTER;
        *height = m_hmHeight;
        return S_OK;
    }

    HRESULT Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                   OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, const RECT* bounds) override
    {
        gdi::DC* dc = gdi::LookUpDC(hdc);
        if (!dc || !dc->bitmap) return E_INVALIDARG;
        if (cx == 0 || cy == 0 || cxSrc == 0 || cySrc == 0) return E_INVALIDARG;
        gdi::Bitmap* b = dc->bitmap;
        const int W = m_image.width, H = m_image.height;
        int l = std::min(x, x + cx), r = std::max(x, x + cx);
        int t = std::min(y, y + cy), btm = std::max(y, y + cy);
        std::lock_guard<std::mutex> g(b->lock);
        l = std::max(l, 0);
        t = std::max(t, 0);
        r = std::min(r, b->width);
        btm = std::min(btm, b->height);
        if (l >= r || t >= btm) return S_OK;
        cairo_surface_flush(b->surface);
        if (cx == W && cy == H && xSrc == 0 && cxSrc == m_hmWidth && ySrc == m_hmHeight && cySrc == -m_hmHeight)
        {
            // The whole picture at its own size, as an animation draws each frame: pixel for pixel.
            for (int dy = t; dy < btm; ++dy)
            {
                const uint32_t* srow = &m_image.pixels[(size_t)(dy - y) * W];
                uint32_t* drow = b->Row(dy);
                for (int dx = l; dx < r; ++dx)
                    drow[dx] = gdi::Over(srow[dx - x], drow[dx]);
            }
            cairo_surface_mark_dirty(b->surface);
            return S_OK;
        }
        for (int dy = t; dy < btm; ++dy)
        {
            // Centre of the destination pixel, mapped into the source in HIMETRIC, then to a row.
            double v = (dy - y + 0.5) / cy;
            double yh = ySrc + v * cySrc;
            int sy = (int)std::floor((m_hmHeight - yh) * H / m_hmHeight);
            if (sy < 0 || sy >= H) continue;
            const uint32_t* srow = &m_image.pixels[(size_t)sy * W];
            uint32_t* drow = b->Row(dy);
            for (int dx = l; dx < r; ++dx)
            {
                double u = (dx - x + 0.5) / cx;
                int sx = (int)std::floor((xSrc + u * cxSrc) * W / m_hmWidth);
                if (sx < 0 || sx >= W) continue;
                // Transparent pixels of the picture leave what is below.
                drow[dx] = gdi::Over(srow[sx], drow[dx]);
            }
        }
        cairo_surface_mark_dirty(b->surface);
        return S_OK;
    }

private:
    ~CPictureObject() override = default;

    gdi::Image m_image;
    LONG m_hmWidth = 0;
    LONG m_hmHeight = 0;
};

}  // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL h, BOOL deleteOnRelease, LPSTREAM* stream)
{
    if (!stream) return E_INVALIDARG;
    *stream = nullptr;
    if (!h)
    {
        h = GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!h) return E_OUTOFMEMORY;
    }
    else if (!GlobalLock(h))
        return E_INVALIDARG;  // not a live block
    else
        GlobalUnlock(h);
    *stream = new CHGlobalStream(h, deleteOnRelease != FALSE);
    return S_OK;
}

HRESULT OleLoadPicture(LPSTREAM stream, LONG size, BOOL runMode, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!stream) return E_POINTER;
    if (!(riid == IID_IPicture || riid == IID_IUnknown)) return E_NOINTERFACE;
    std::vector<unsigned char> bytes;
    if (size > 0)
    {
        bytes.resize((size_t)size);
        ULONG got = 0;
        stream->Read(bytes.data(), (ULONG)size, &got);
        bytes.resize(got);
    }
    else
    {
        unsigned char chunk[65536];
        ULONG got = 0;
        do
        {
            got = 0;
            stream->Read(chunk, sizeof chunk, &got);
            bytes.insert(bytes.end(), chunk, chunk + got);
        } while (got == sizeof chunk);
    }
    gdi::Image image;
    if (!gdi::DecodeImage(bytes.data(), bytes.size(), image) || image.width <= 0 || image.height <= 0)
        return CTL_E_INVALIDPICTURE;
    *ppv = static_cast<IPicture*>(new CPictureObject(std::move(image)));
    return S_OK;
}
