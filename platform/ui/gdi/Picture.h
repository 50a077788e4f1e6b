// The picture object and memory streams: IPicture from OleLoadPicture, IStream on global memory.
#pragma once

#include "GdiApi.h"
#include "Guid.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef union { struct { DWORD LowPart; LONG HighPart; } u; LONGLONG QuadPart; } LARGE_INTEGER;
typedef union { struct { DWORD LowPart; DWORD HighPart; } u; ULONGLONG QuadPart; } ULARGE_INTEGER;

// Result codes (32-bit, negative on failure).
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOINTERFACE ((HRESULT)(int32_t)0x80004002u)
#define E_POINTER ((HRESULT)(int32_t)0x80004003u)
#define E_FAIL ((HRESULT)(int32_t)0x80004005u)
#define E_OUTOFMEMORY ((HRESULT)(int32_t)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)(int32_t)0x80070057u)
#define CTL_E_INVALIDPICTURE ((HRESULT)(int32_t)0x800A01E1u)
#define STG_E_INVALIDFUNCTION ((HRESULT)(int32_t)0x80030001u)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

typedef GUID IID;
typedef const IID& REFIID;

extern const IID IID_IUnknown;
extern const IID IID_IStream;
extern const IID IID_IPicture;

struct IUnknown
{
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2

struct IStream : IUnknown
{
    virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
    virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;
    virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;
};
typedef IStream* LPSTREAM;

typedef LONG OLE_XPOS_HIMETRIC;
typedef LONG OLE_YPOS_HIMETRIC;
typedef LONG OLE_XSIZE_HIMETRIC;
typedef LONG OLE_YSIZE_HIMETRIC;

// Extents are in HIMETRIC (0.01 mm). The source rectangle of Render counts y upwards from the
// picture's bottom: (0, height, width, -height) is the whole picture the right way up.
struct IPicture : IUnknown
{
    virtual HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) = 0;
    virtual HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) = 0;
    virtual HRESULT Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                           OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, const RECT* bounds) = 0;
};
typedef IPicture* LPPICTURE;

// A stream over a global memory block (a new movable one when h is NULL); with deleteOnRelease
// the block is freed when the stream goes.
HRESULT CreateStreamOnHGlobal(HGLOBAL h, BOOL deleteOnRelease, LPSTREAM* stream);
// Decodes size bytes from the stream's position (size <= 0: up to its end): PNG, BMP, JPEG, GIF, ICO.
HRESULT OleLoadPicture(LPSTREAM stream, LONG size, BOOL runMode, REFIID riid, void** ppv);

PARVEL_UI_END_EXPORTS
