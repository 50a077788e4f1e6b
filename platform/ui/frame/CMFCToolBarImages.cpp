// CMFCToolBarImages: button pictures kept as wx bitmaps.
#include <wx/wx.h>
#include "CMFCToolBarImages.h"
#include "WxMenu.h"
#include "GdiApi.h"

CMFCToolBarImages::CMFCToolBarImages() : m_size(16, 15) {}

CMFCToolBarImages::~CMFCToolBarImages()
{
    Clear();
}

void CMFCToolBarImages::Clear()
{
    for (wxBitmap* p : m_images)
        delete p;
    m_images.clear();
}

int CMFCToolBarImages::AddImage(HBITMAP hbmp, BOOL bSetBitsAsTransparent)
{
    COLORREF key = (COLORREF)-1;
    if (bSetBitsAsTransparent)
    {
        HDC mem = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(mem, (HGDIOBJ)hbmp);
        key = GetPixel(mem, 0, 0);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    wxBitmap bmp = AfxWxBitmapFromHandle(hbmp, key);
    if (!bmp.IsOk())
        return -1;
    m_images.push_back(new wxBitmap(bmp));
    return (int)m_images.size() - 1;
}

void CMFCToolBarImages::SetImageSize(SIZE sizeImage, BOOL)
{
    m_size = CSize(sizeImage.cx, sizeImage.cy);
}

wxBitmap CMFCToolBarImages::GetWxBitmap(int iImage) const
{
    if (iImage < 0 || iImage >= (int)m_images.size())
        return wxBitmap();
    const wxBitmap& b = *m_images[(size_t)iImage];
    if (m_size.cx <= 0 || m_size.cy <= 0 || (b.GetWidth() == m_size.cx && b.GetHeight() == m_size.cy))
        return b;
    return wxBitmap(b.ConvertToImage().Scale(m_size.cx, m_size.cy, wxIMAGE_QUALITY_HIGH));
}
