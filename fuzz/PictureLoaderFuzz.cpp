// The picture loader, whatever bytes it is handed: it gives a picture with a positive extent or
// an error, and a picture renders into a small bitmap without touching anything outside it.
#include "AfxWin.h"
#include "FuzzSupport.h"
#include "GlobalMemory.h"
#include "Picture.h"
#include "PictureWarmUp.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    WarmUpPictureFormats();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    FUZZ_CHECK(h);
    if (size)
        std::memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
    IStream* stream = nullptr;
    FUZZ_CHECK(SUCCEEDED(CreateStreamOnHGlobal(h, TRUE, &stream)) && stream);

    IPicture* picture = nullptr;
    const LONG claimed = size % 3 == 0 ? 0 : (LONG)size; // the whole stream, or the size told
    if (SUCCEEDED(OleLoadPicture(stream, claimed, FALSE, IID_IPicture, (void**)&picture)))
    {
        FUZZ_CHECK(picture);
        OLE_XSIZE_HIMETRIC w = 0;
        OLE_YSIZE_HIMETRIC hgt = 0;
        FUZZ_CHECK(SUCCEEDED(picture->get_Width(&w)) && SUCCEEDED(picture->get_Height(&hgt)));
        FUZZ_CHECK(w > 0 && hgt > 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, 16, 12);
        HGDIOBJ old = SelectObject(dc, (HGDIOBJ)bitmap);
        // Whole, stretched past the bitmap, and mirrored.
        picture->Render(dc, 0, 0, 16, 12, 0, hgt, w, -hgt, nullptr);
        picture->Render(dc, -5, -7, 40, 30, 0, hgt, w, -hgt, nullptr);
        picture->Render(dc, 15, 11, -16, -12, w / 2, hgt / 2, w, hgt, nullptr);
        SelectObject(dc, old);
        DeleteObject((HGDIOBJ)bitmap);
        DeleteDC(dc);
        picture->Release();
    }
    else
        FUZZ_CHECK(!picture);
    stream->Release();
    return 0;
}
