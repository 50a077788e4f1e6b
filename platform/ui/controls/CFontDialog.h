// CFontDialog: the font dialog, shown as GTK's font chooser, for a rich edit's character format.
#pragma once

#include "CRichEditCtrl.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define CF_SCREENFONTS 0x00000001
#define CF_EFFECTS 0x00000100

class CFontDialog : public CCmdTarget
{
public:
    // Starts from the format's face, size, bold and italic where its mask names them. Without a
    // parent the dialog belongs to the application's main window.
    explicit CFontDialog(const CHARFORMAT2& charformat, DWORD dwFlags = CF_SCREENFONTS, CWnd* pParentWnd = nullptr);
    ~CFontDialog() override;

    // IDOK with a font chosen, IDCANCEL otherwise; from another thread that thread waits.
    virtual INT_PTR DoModal();
    // The chosen font as a character format: face, size, bold and italic.
    void GetCharFormat(CHARFORMAT2& cf) const;

private:
    CHARFORMAT2 m_cf;
    DWORD m_dwFlags;
    CWnd* m_pParentWnd;
};

PARVEL_UI_END_EXPORTS
