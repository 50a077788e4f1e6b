// CDialog: modal and modeless dialogs built from a template of the resource registry.
#pragma once

#include "CWnd.h"
#include "CDataExchange.h"
#include "ResourceRegistry.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog in a nested message loop until EndDialog; the result EndDialog gave, or -1
    // when the window could not be made. Called on another thread, the dialog still lives on the
    // GUI thread and the calling thread waits until it is closed.
    virtual INT_PTR DoModal();
    // Modeless: makes the window (shown when the template says WS_VISIBLE).
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Dialog units of this dialog's font to pixels (as MapDialogRect).
    void MapDialogRect(LPRECT lpRect) const;
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;

    UINT m_nIDHelp;
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    BOOL CreateFromTemplate(CWnd* pParentWnd, BOOL bModal);

    int m_nModalResult;
    BOOL m_bModal;
    BOOL m_bEndRequested;
    UINT m_nDefID;
    int m_nBaseUnitX;  // dialog base units of the template's font, in pixels
    int m_nBaseUnitY;
    void* m_pModalState;  // the running modal loop

    DECLARE_MESSAGE_MAP()
    friend class CDialogImpl;
};

// A dialog's initial data: messages sent to its controls once they exist, before WM_INITDIALOG
// (the items of a combo box). Register an array with
// CResourceRegistry::AddData(dialog id, RT_DLGINIT, items, sizeof items).
#ifndef RT_DLGINIT
#define RT_DLGINIT MAKEINTRESOURCE(240)
#endif
struct DLGINIT_DATA
{
    int nIDC;
    UINT message;  // CB_ADDSTRING, ...
    const char* lpszText;  // GBK, the message's lParam
};

// The dialog base units of a font as Windows computes them: the average width of the 52 Latin
// letters (rounded) and the font's height; pixels = units * base / 4 (x) and / 8 (y).
struct DIALOG_BASE_UNITS
{
    int cx;
    int cy;
};
// Face and point size of the template's font (DS_FIXEDSYS / DS_SHELLFONT: the system's dialog font).
DIALOG_BASE_UNITS AfxGetDialogBaseUnits(const char* lpszFace, int nPointSize);
int MulDivDialogUnit(int nUnits, int nBase, int nDivisor);

PARVEL_UI_END_EXPORTS
