// CMFCToolBarImages: a list of equally sized button pictures.
#pragma once

#include <vector>
#include "CObject.h"
#include "CRect.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class wxBitmap;

class CMFCToolBarImages : public CObject
{
public:
    CMFCToolBarImages();
    ~CMFCToolBarImages() override;

    // Adds a copy of the bitmap; with bSetBitsAsTransparent the colour of its top-left pixel
    // becomes transparent. The index of the new image, -1 when the bitmap is not valid.
    int AddImage(HBITMAP hbmp, BOOL bSetBitsAsTransparent = FALSE);
    void SetImageSize(SIZE sizeImage, BOOL bUpdateCount = FALSE);
    CSize GetImageSize() const { return m_size; }
    int GetCount() const { return (int)m_images.size(); }
    BOOL IsValid() const { return !m_images.empty(); }
    void Clear();
    // The image scaled to the list's size (an invalid bitmap for a bad index).
    wxBitmap GetWxBitmap(int iImage) const;

private:
    CSize m_size;
    std::vector<wxBitmap*> m_images;
};

PARVEL_UI_END_EXPORTS
