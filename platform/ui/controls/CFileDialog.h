// CFileDialog: the file-open and file-save dialogs, shown as GTK's file chooser.
#pragma once

#include "CWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000

class CFileDialog : public CCmdTarget
{
public:
    // lpszFilter: "description|patterns|...||", patterns separated by ";". Without a parent the
    // dialog belongs to the application's main window.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);
    ~CFileDialog() override;

    // IDOK with a file chosen, IDCANCEL otherwise. The chooser lives on the GUI thread; called on
    // another thread, that thread waits until it is answered.
    virtual INT_PTR DoModal();
    // The chosen file's full path (ANSI), empty before a choice.
    CString GetPathName() const;

private:
    BOOL m_bOpenFileDialog;
    DWORD m_dwFlags;
    CString m_strDefExt;
    CString m_strFileName;
    CString m_strFilter;
    CWnd* m_pParentWnd;
    CString m_strPathName;
};

PARVEL_UI_END_EXPORTS
