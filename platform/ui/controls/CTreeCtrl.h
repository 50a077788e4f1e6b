// CTreeCtrl and the tree view window class ("SysTreeView32"): items with GBK texts under an
// invisible root (TVI_ROOT), selection with TVN_SELCHANGED for program and user changes alike.
// With TVS_SINGLEEXPAND a newly selected item is expanded.
#pragma once

#include "CWnd.h"
#include "UiExport.h"
#include "CommCtrlBase.h"

PARVEL_UI_BEGIN_EXPORTS

#define WC_TREEVIEW "SysTreeView32"

typedef struct _TREEITEM* HTREEITEM;
#define TVI_ROOT ((HTREEITEM)(ULONG_PTR)-0x10000)
#define TVI_FIRST ((HTREEITEM)(ULONG_PTR)-0x0FFFF)
#define TVI_LAST ((HTREEITEM)(ULONG_PTR)-0x0FFFE)

// Styles.
#define TVS_HASBUTTONS 0x0001
#define TVS_HASLINES 0x0002
#define TVS_LINESATROOT 0x0004
#define TVS_SHOWSELALWAYS 0x0020
#define TVS_INFOTIP 0x0800
#define TVS_SINGLEEXPAND 0x0400

// Messages.
#define TV_FIRST 0x1100
#define TVM_INSERTITEMA (TV_FIRST + 0)
#define TVM_DELETEITEM (TV_FIRST + 1)
#define TVM_EXPAND (TV_FIRST + 2)
#define TVM_GETITEMRECT (TV_FIRST + 4)
#define TVM_GETCOUNT (TV_FIRST + 5)
#define TVM_GETNEXTITEM (TV_FIRST + 10)
#define TVM_SELECTITEM (TV_FIRST + 11)
#define TVM_GETITEMA (TV_FIRST + 12)
#define TVM_SETITEMA (TV_FIRST + 13)
#define TVM_INSERTITEM TVM_INSERTITEMA
#define TVM_GETITEM TVM_GETITEMA
#define TVM_SETITEM TVM_SETITEMA

#define TVGN_ROOT 0x0000
#define TVGN_NEXT 0x0001
#define TVGN_PREVIOUS 0x0002
#define TVGN_PARENT 0x0003
#define TVGN_CHILD 0x0004
#define TVGN_CARET 0x0009

#define TVE_COLLAPSE 0x0001
#define TVE_EXPAND 0x0002

#define TVIF_TEXT 0x0001
#define TVIF_HANDLE 0x0010
#define TVIF_STATE 0x0008
#define TVIS_SELECTED 0x0002
#define TVIS_EXPANDED 0x0020

// Notifications.
#define TVN_FIRST (0U - 400U)
#define TVN_SELCHANGED (TVN_FIRST - 2)

typedef struct tagTVITEMA
{
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
} TVITEM, TVITEMA;

typedef struct tagTVINSERTSTRUCTA
{
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    TVITEMA item;
} TVINSERTSTRUCT, TVINSERTSTRUCTA;

typedef struct tagNMTREEVIEWA
{
    NMHDR hdr;
    UINT action;
    TVITEMA itemOld;
    TVITEMA itemNew;
    POINT ptDrag;
} NMTREEVIEW, *LPNMTREEVIEW;

class CTreeCtrl : public CWnd
{
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    CTreeCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    HTREEITEM InsertItem(LPCSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    BOOL DeleteItem(HTREEITEM hItem);
    BOOL DeleteAllItems();
    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM hItem) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const;
    HTREEITEM GetParentItem(HTREEITEM hItem) const;
    HTREEITEM GetSelectedItem() const;
    BOOL SelectItem(HTREEITEM hItem);
    BOOL Expand(HTREEITEM hItem, UINT nCode);
    CString GetItemText(HTREEITEM hItem) const;
    BOOL SetItemText(HTREEITEM hItem, LPCSTR lpszItem);
    UINT GetCount() const;
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
};

PARVEL_UI_END_EXPORTS
