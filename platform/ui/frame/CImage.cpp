// CImage: files decoded by the drawing layer.
#include <fstream>
#include <iterator>
#include <vector>
#include "CImage.h"
#include "GdiImpl.h"
#include "CodePage.h"

#ifndef S_OK
#define S_OK ((HRESULT)0)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005L)
#endif

CImage::~CImage()
{
    Destroy();
}

HRESULT CImage::Load(LPCSTR pszFileName)
{
    Destroy();
    if (!pszFileName || !*pszFileName)
        return E_FAIL;
    std::ifstream in(CCodePage::AnsiToUtf8(pszFileName), std::ios::binary);
    if (!in)
        return E_FAIL;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        return E_FAIL;
    m_hBitmap = gdi::BitmapFromImage(bytes.data(), bytes.size());
    return m_hBitmap ? S_OK : E_FAIL;
}

void CImage::Destroy()
{
    if (m_hBitmap)
        DeleteObject((HGDIOBJ)m_hBitmap);
    m_hBitmap = nullptr;
}

int CImage::GetWidth() const
{
    BITMAP bm{};
    return m_hBitmap && GetObjectA((HGDIOBJ)m_hBitmap, sizeof(bm), &bm) ? bm.bmWidth : 0;
}

int CImage::GetHeight() const
{
    BITMAP bm{};
    return m_hBitmap && GetObjectA((HGDIOBJ)m_hBitmap, sizeof(bm), &bm) ? bm.bmHeight : 0;
}

HBITMAP CImage::Detach()
{
    HBITMAP h = m_hBitmap;
    m_hBitmap = nullptr;
    return h;
}

void CImage::Attach(HBITMAP hBitmap)
{
    Destroy();
    m_hBitmap = hBitmap;
}
