// The process's count of drawing objects and DCs: each one made counts until it is deleted, so a
// long run can tell a leak from a steady state.
#include <gtest/gtest.h>

#include <functional>
#include "Gdi.h"
#include "Process.h"

namespace
{
DWORD Count()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

struct MADE
{
    const char* pszKind;
    std::function<void*()> make;
    std::function<BOOL(void*)> remove;
};

BOOL DeleteGdi(void* h)
{
    return DeleteObject((HGDIOBJ)h);
}
}  // namespace

TEST(GdiCount, EveryObjectAndDcCountsUntilItIsDeleted)
{
    LOGFONTA lf{};
    lf.lfHeight = -12;
    const MADE kinds[] = {
        { "bitmap", [] { return (void*)CreateCompatibleBitmap(nullptr, 8, 8); }, DeleteGdi },
        { "brush", [] { return (void*)CreateSolidBrush(RGB(1, 2, 3)); }, DeleteGdi },
        { "pen", [] { return (void*)CreatePen(PS_SOLID, 1, RGB(1, 2, 3)); }, DeleteGdi },
        { "font", [&] { return (void*)CreateFontIndirect(&lf); }, DeleteGdi },
        { "region", [] { return (void*)CreateRectRgn(0, 0, 4, 4); }, DeleteGdi },
        { "memory DC", [] { return (void*)CreateCompatibleDC(nullptr); }, [](void* h) { return DeleteDC((HDC)h); } },
    };
    // The stock objects and the default font are made on first use.
    GetStockObject(WHITE_BRUSH);
    DeleteDC(CreateCompatibleDC(nullptr));
    for (const MADE& kind : kinds)
    {
        SCOPED_TRACE(kind.pszKind);
        const DWORD nBefore = Count();
        void* h = kind.make();
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(Count(), nBefore + 1);
        EXPECT_TRUE(kind.remove(h));
        EXPECT_EQ(Count(), nBefore);
    }
}

TEST(GdiCount, StockObjectsStayAndOnlyThisProcessIsKnown)
{
    GetStockObject(BLACK_PEN);
    const DWORD n = Count();
    EXPECT_GT(n, 0u);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(Count(), n);
    EXPECT_EQ(GetGuiResources((HANDLE)(intptr_t)1234, GR_GDIOBJECTS), 0u);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), 1), 0u);
}
