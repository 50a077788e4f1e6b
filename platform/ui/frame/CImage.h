// CImage: a picture loaded from a file (PNG, BMP, JPEG, GIF, ICO) into a drawing-layer bitmap.
#pragma once

#include "WinTypes.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CImage
{
public:
    CImage() = default;
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // S_OK, or E_FAIL when the file is missing or is no picture (the image then stays empty).
    HRESULT Load(LPCSTR pszFileName);
    void Destroy();
    BOOL IsNull() const { return m_hBitmap == nullptr; }
    int GetWidth() const;
    int GetHeight() const;
    operator HBITMAP() const { return m_hBitmap; }
    // Gives the bitmap away: the image is empty afterwards and the caller deletes the bitmap.
    HBITMAP Detach();
    void Attach(HBITMAP hBitmap);

private:
    HBITMAP m_hBitmap = nullptr;
};

PARVEL_UI_END_EXPORTS
