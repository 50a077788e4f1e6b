// Framework wrappers of the drawing objects.
#include "GdiObject.h"

#include <map>
#include <memory>
#include <mutex>
#include "GdiDC.h"
#include "GdiImpl.h"

// Wrappers made by FromHandle, one per handle and class; dropped when the handle is deleted.
struct CGdiWrappers
{
    std::mutex lock;
    std::map<std::pair<const void*, int>, std::unique_ptr<CGdiObject>> map;

    template <class T> T* Get(HGDIOBJ h, int kind)
    {
        if (!h) return nullptr;
        std::lock_guard<std::mutex> g(lock);
        auto& slot = map[{(const void*)h, kind}];
        if (!slot)
        {
            T* w = new T;
            w->m_hObject = h;
            w->m_bTemporary = true;
            slot.reset(w);
        }
        return static_cast<T*>(slot.get());
    }

    void Drop(const void* h)
    {
        std::lock_guard<std::mutex> g(lock);
        for (int kind = 0; kind <= 8; ++kind) map.erase({h, kind});
    }

    static CGdiWrappers& Instance()
    {
        static CGdiWrappers* w = new CGdiWrappers;  // lives to the end of the process, as the stock objects do
        return *w;
    }
};

void DropDCWrapper(const void* hdc);  // GdiDC.cpp

namespace {
void OnDestroyed(const void* h)
{
    CGdiWrappers::Instance().Drop(h);
    DropDCWrapper(h);
}

[[maybe_unused]] const bool s_hooked = (gdi::g_onDestroyed = &OnDestroyed, true);
}  // namespace

CGdiObject::~CGdiObject()
{
    if (!m_bTemporary && m_hObject) ::DeleteObject(m_hObject);
}

BOOL CGdiObject::Attach(HGDIOBJ h)
{
    if (!h) return FALSE;
    m_hObject = h;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject) return FALSE;
    HGDIOBJ h = Detach();
    return ::DeleteObject(h);
}

BOOL CGdiObject::CreateStockObject(int index)
{
    // Deleting a stock object does nothing, so the wrapper may own it like any other.
    return Attach(::GetStockObject(index));
}

int CGdiObject::GetObject(int size, void* out) const { return ::GetObject(m_hObject, size, out); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) { return CGdiWrappers::Instance().Get<CGdiObject>(h, 0); }
CBitmap* CBitmap::FromHandle(HBITMAP h) { return CGdiWrappers::Instance().Get<CBitmap>((HGDIOBJ)h, OBJ_BITMAP); }
CBrush* CBrush::FromHandle(HBRUSH h) { return CGdiWrappers::Instance().Get<CBrush>((HGDIOBJ)h, OBJ_BRUSH); }
CPen* CPen::FromHandle(HPEN h) { return CGdiWrappers::Instance().Get<CPen>((HGDIOBJ)h, OBJ_PEN); }
CFont* CFont::FromHandle(HFONT h) { return CGdiWrappers::Instance().Get<CFont>((HGDIOBJ)h, OBJ_FONT); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int cx, int cy)
{
    return Attach((HGDIOBJ)::CreateCompatibleBitmap(pDC ? pDC->GetSafeHdc() : nullptr, cx, cy));
}

BOOL CBitmap::CreateBitmap(int cx, int cy, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return Attach((HGDIOBJ)::CreateBitmap(cx, cy, planes, bitsPerPixel, bits));
}

int CBitmap::GetBitmap(BITMAP* bm) const { return ::GetObject(m_hObject, (int)sizeof(BITMAP), bm); }

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach((HGDIOBJ)::CreateSolidBrush(color));
}

BOOL CBrush::CreateSysColorBrush(int index) { return Attach((HGDIOBJ)::GetSysColorBrush(index)); }

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    return Attach((HGDIOBJ)::CreatePen(style, width, color));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCSTR faceName)
{
    return Attach((HGDIOBJ)::CreateFont(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                        charSet, outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lf)
{
    return Attach((HGDIOBJ)::CreateFontIndirect(lf));
}

BOOL CFont::CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC* pDC)
{
    LOGFONTA lf{};
    int dpi = pDC ? pDC->GetDeviceCaps(LOGPIXELSY) : 96;
    lf.lfHeight = -MulDiv(pointSizeTenths, dpi, 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (faceName) snprintf(lf.lfFaceName, LF_FACESIZE, "%s", faceName);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONTA* lf) const { return ::GetObject(m_hObject, (int)sizeof(LOGFONTA), lf); }
