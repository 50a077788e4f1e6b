// CComboBox: the drop-down list combo box (CBS_DROPDOWNLIST), a GTK choice. The text of the
// window is the text of the selected item; items are GBK.
#pragma once

#include "CWnd.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_AUTOHSCROLL 0x0040L
#define CBS_SORT 0x0100L
#define CBS_HASSTRINGS 0x0200L

#define CB_ERR (-1)
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E

#define CBN_SELCHANGE 1

class CComboBox : public CWnd
{
    DECLARE_DYNAMIC(CComboBox)
public:
    CComboBox() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int AddString(LPCSTR lpszString);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    // The first item from the one after nStartAfter (-1: from the top), wrapping, whose text begins
    // with the given text, letter case aside; CB_ERR when none does.
    int FindString(int nStartAfter, LPCSTR lpszString) const;
    int SelectString(int nStartAfter, LPCSTR lpszString);
    void GetLBText(int nIndex, CString& rString) const;
    void ResetContent();
};

PARVEL_UI_END_EXPORTS
