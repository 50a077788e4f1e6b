// The animated-GIF control, whatever bytes it is handed: every block walk stays inside the data,
// what loads has sane frames, and playing and unloading it leaves nothing behind.
#include "AfxWin.h"
#include "FuzzSupport.h"
#include "GlobalMemory.h"
#include "PictureEx.h"
#include "PictureWarmUp.h"

namespace
{
CWnd* g_host = nullptr;
CPictureEx* g_picture = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("GDK_BACKEND", "x11", 1);
    WarmUpPictureFormats();
    FUZZ_CHECK(AfxWinInit(1, *argv));
    g_host = new CWnd;
    FUZZ_CHECK(g_host->CreateEx(0, nullptr, "gif host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    g_picture = new CPictureEx;
    FUZZ_CHECK(g_picture->Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 20, 20), g_host, 1055));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The block is exactly the data, so a read past it is caught.
    HGLOBAL h = GlobalAlloc(GMEM_FIXED, size);
    if (size)
        std::memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
    if (g_picture->Load(h, (DWORD)size))
    {
        const SIZE s = g_picture->GetSize();
        FUZZ_CHECK(s.cx >= 0 && s.cy >= 0);
        for (int i = 0; i < g_picture->GetFrameCount(); ++i)
            FUZZ_CHECK(g_picture->GetFrame(i).m_pPicture != nullptr);
        g_picture->Draw();
    }
    g_picture->UnLoad();
    FUZZ_CHECK(!g_picture->IsPlaying() && g_picture->GetFrameCount() == 0);
    GlobalFree(h);
    return 0;
}
