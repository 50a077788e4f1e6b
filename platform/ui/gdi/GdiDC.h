// Framework device contexts: CDC, and the window-bound CPaintDC, CClientDC and CWindowDC.
#pragma once

#include "CString.h"
#include "GdiApi.h"
#include "GdiObject.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CWnd;

class CDC
{
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC hdc);
    HDC Detach();
    // A wrapper that does not own the DC; it lives until the DC is deleted or released.
    static CDC* FromHandle(HDC hdc);

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    CWnd* GetWindow() const;

    CGdiObject* SelectObject(CGdiObject* obj);
    CBitmap* SelectObject(CBitmap* bitmap);
    CBrush* SelectObject(CBrush* brush);
    CPen* SelectObject(CPen* pen);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectStockObject(int index);
    CFont* GetCurrentFont() const;

    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    void FillRect(const RECT* rc, CBrush* brush) { ::FillRect(m_hDC, rc, brush ? (HBRUSH)*brush : nullptr); }
    // As in the framework, this leaves the background colour set to the fill colour.
    void FillSolidRect(const RECT* rc, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    BOOL BitBlt(int x, int y, int cx, int cy, CDC* src, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int cx, int cy, CDC* src, int xSrc, int ySrc, int cxSrc, int cySrc, DWORD rop);
    BOOL TransparentBlt(int x, int y, int cx, int cy, CDC* src, int xSrc, int ySrc, int cxSrc, int cySrc,
                        UINT crTransparent);
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    POINT MoveTo(int x, int y);
    int SetROP2(int rop2) { return ::SetROP2(m_hDC, rop2); }
    int GetROP2() const { return ::GetROP2(m_hDC); }
    // A one-pixel frame: top and left in one colour, bottom and right in the other.
    void Draw3dRect(const RECT* rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(const RECT* rc) { return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }

    int DrawText(LPCSTR text, int len, RECT* rc, UINT format) { return ::DrawText(m_hDC, text, len, rc, format); }
    int DrawText(const CString& text, RECT* rc, UINT format)
    {
        return ::DrawText(m_hDC, text, text.GetLength(), rc, format);
    }
    BOOL TextOut(int x, int y, LPCSTR text, int len) { return ::TextOut(m_hDC, x, y, text, len); }
    BOOL TextOut(int x, int y, const CString& text) { return ::TextOut(m_hDC, x, y, text, text.GetLength()); }
    SIZE GetTextExtent(LPCSTR text, int len) const;
    SIZE GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
    BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetrics(m_hDC, tm); }

protected:
    bool m_bTemporary = false;
    friend struct CDCWrappers;
};

typedef struct tagPAINTSTRUCT
{
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
} PAINTSTRUCT, *LPPAINTSTRUCT;

// Valid inside a window's WM_PAINT: its drawing reaches the window when EndPaint runs.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* ps);

class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd = nullptr;
};

// The window's client area; what is drawn appears when the DC is released.
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};

// The whole window; with NULL the whole screen, whose lines go over every window.
class CWindowDC : public CDC
{
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd = nullptr;
};

PARVEL_UI_END_EXPORTS
