// Drawing calls under their Windows names. Bitmaps and memory DCs live on our own 32-bit pixel
// buffers, so any thread may draw into them; only window DCs reach wx/GTK, on the GUI thread.
// Coordinates are device pixels, colours are COLORREF (0x00BBGGRR).
#pragma once

#include "WinTypes.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

// Raster operations (only the copy is supported).
#define SRCCOPY 0x00CC0020u

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

#define CLR_INVALID 0xFFFFFFFFu

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

// Pen styles.
#define PS_SOLID 0
#define PS_NULL 5

// System colours; a brush value of index + 1 stands for that colour's brush.
#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_HOTLIGHT 26
#define COLOR_GRADIENTACTIVECAPTION 27
#define COLOR_GRADIENTINACTIVECAPTION 28
#define COLOR_MENUHILIGHT 29
#define COLOR_MENUBAR 30
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT

// Device capabilities.
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90

// Font weights, character sets, pitch.
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define GB2312_CHARSET 134
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0
#define LF_FACESIZE 32

// DrawText formats.
#define DT_TOP 0x00000000u
#define DT_LEFT 0x00000000u
#define DT_CENTER 0x00000001u
#define DT_RIGHT 0x00000002u
#define DT_VCENTER 0x00000004u
#define DT_BOTTOM 0x00000008u
#define DT_WORDBREAK 0x00000010u
#define DT_SINGLELINE 0x00000020u
#define DT_EXPANDTABS 0x00000040u
#define DT_NOCLIP 0x00000100u
#define DT_CALCRECT 0x00000400u
#define DT_NOPREFIX 0x00000800u
#define DT_PATH_ELLIPSIS 0x00004000u
#define DT_END_ELLIPSIS 0x00008000u
#define DT_WORD_ELLIPSIS 0x00040000u

// Kinds that GetObjectType reports.
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10
#define OBJ_REGION 8

// Raster operations of lines (SetROP2). Lines on the screen DC honour them all; memory and
// window DCs draw with R2_COPYPEN.
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

// Region kinds (GetRgnBox).
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3

// DrawIconEx flags.
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003

typedef struct tagBITMAP
{
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
} BITMAP, *LPBITMAP;

#define BS_SOLID 0
#define BS_HOLLOW 1
#define BS_NULL BS_HOLLOW

typedef struct tagLOGBRUSH
{
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
} LOGBRUSH, *LPLOGBRUSH;

typedef struct tagLOGFONTA
{
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];  // GBK
} LOGFONTA, LOGFONT, *LPLOGFONT;

typedef struct tagTEXTMETRICA
{
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
} TEXTMETRICA, TEXTMETRIC, *LPTEXTMETRIC;

// Device contexts.
HDC CreateCompatibleDC(HDC hdc);  // hdc may be NULL (the screen)
BOOL DeleteDC(HDC hdc);
HDC GetDC(HWND hWnd);  // NULL: the screen; drawing reaches the window when released
int ReleaseDC(HWND hWnd, HDC hdc);
HWND WindowFromDC(HDC hdc);
int GetDeviceCaps(HDC hdc, int index);

// Objects.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
HBITMAP CreateBitmap(int cx, int cy, UINT planes, UINT bitsPerPixel, const void* bits);
HBRUSH CreateSolidBrush(COLORREF color);
HPEN CreatePen(int style, int width, COLORREF color);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
HFONT CreateFontIndirect(const LOGFONTA* lf);
// A bitmap of the program's resources (hInstance is ignored); name may be MAKEINTRESOURCE(id).
HBITMAP LoadBitmap(HINSTANCE hInstance, LPCSTR name);
HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL DeleteObject(HGDIOBJ obj);  // fails while the object is selected into a DC
int GetObject(HGDIOBJ obj, int size, void* out);  // BITMAP, LOGFONT, LOGBRUSH
DWORD GetObjectType(HGDIOBJ obj);
// How many drawing objects and DCs the process holds (stock objects included); only the current
// process (GetCurrentProcess) is known, and only GR_GDIOBJECTS: anything else gives 0.
#define GR_GDIOBJECTS 0
DWORD GetGuiResources(HANDLE hProcess, DWORD uiFlags);

// Colours of the system's fixed light scheme.
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

// Attributes.
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);

// Pixels.
int FillRect(HDC hdc, const RECT* rc, HBRUSH brush);  // brush may be a system colour index + 1
BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, int cxSrc, int cySrc,
                DWORD rop);
BOOL TransparentBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, int cxSrc, int cySrc,
                    UINT crTransparent);
COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
// On the screen DC (GetDC(NULL)) a line goes straight onto the screen, over every window.
BOOL LineTo(HDC hdc, int x, int y);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);

// Regions (rows of rectangles); DeleteObject frees them. SetWindowRgn (WinUser.h) takes one over.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int wEllipse, int hEllipse);
int GetRgnBox(HRGN hrgn, LPRECT lprc);
BOOL PtInRegion(HRGN hrgn, int x, int y);

// An icon's picture scaled to cx x cy (0: its own size), blended over the DC's pixels.
BOOL DrawIconEx(HDC hdc, int x, int y, HICON hIcon, int cx, int cy, UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw,
                UINT diFlags);

// Text (GBK). Plain names, not A-suffixed macros: wx has members of the same names.
int DrawText(HDC hdc, LPCSTR text, int len, RECT* rc, UINT format);
BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int len);
BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int len, SIZE* size);
BOOL GetTextMetrics(HDC hdc, TEXTMETRICA* tm);

// a * b / c, rounded half away from zero, on 64 bits; -1 when c is 0.
int MulDiv(int a, int b, int c);

// The A-suffixed names, as functions (not macros, which would rename wx members too).
inline int GetObjectA(HGDIOBJ obj, int size, void* out) { return GetObject(obj, size, out); }
inline HFONT CreateFontIndirectA(const LOGFONTA* lf) { return CreateFontIndirect(lf); }
inline int DrawTextA(HDC hdc, LPCSTR text, int len, RECT* rc, UINT format) { return DrawText(hdc, text, len, rc, format); }
inline BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int len) { return TextOut(hdc, x, y, text, len); }
inline BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int len, SIZE* size)
{
    return GetTextExtentPoint32(hdc, text, len, size);
}
inline BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) { return GetTextMetrics(hdc, tm); }

PARVEL_UI_END_EXPORTS
