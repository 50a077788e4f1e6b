// Framework wrappers of the drawing objects: CGdiObject, CBitmap, CBrush, CPen, CFont.
#pragma once

#include "GdiApi.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CDC;

class CGdiObject
{
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    BOOL Attach(HGDIOBJ h);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    BOOL CreateStockObject(int index);
    int GetObject(int size, void* out) const;
    // A wrapper that does not own the handle; it lives until the handle is deleted.
    static CGdiObject* FromHandle(HGDIOBJ h);

protected:
    bool m_bTemporary = false;
    friend struct CGdiWrappers;
};

class CBitmap : public CGdiObject
{
public:
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
    static CBitmap* FromHandle(HBITMAP h);
    BOOL CreateCompatibleBitmap(CDC* pDC, int cx, int cy);
    BOOL CreateBitmap(int cx, int cy, UINT planes, UINT bitsPerPixel, const void* bits);
    // From the program's bitmap resources (embedded image files).
    BOOL LoadBitmap(UINT nIDResource);
    int GetBitmap(BITMAP* bm) const;
};

class CBrush : public CGdiObject
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
    static CBrush* FromHandle(HBRUSH h);
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateSysColorBrush(int index);
};

class CPen : public CGdiObject
{
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return (HPEN)m_hObject; }
    static CPen* FromHandle(HPEN h);
    BOOL CreatePen(int style, int width, COLORREF color);
};

class CFont : public CGdiObject
{
public:
    operator HFONT() const { return (HFONT)m_hObject; }
    static CFont* FromHandle(HFONT h);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCSTR faceName);
    BOOL CreateFontIndirect(const LOGFONTA* lf);
    BOOL CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC* pDC = nullptr);
    int GetLogFont(LOGFONTA* lf) const;
};

PARVEL_UI_END_EXPORTS
