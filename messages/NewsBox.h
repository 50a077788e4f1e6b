// An ordered list of owned messages under its own re-entrant lock, with the tip window that shows
// its head, the history dialog that lists it and the host window that hears of clicked messages.
// Two boxes exist: the tip queue of unread messages, and the rows loaded for the history dialog.
#pragma once

#include "CritSec.h"
#include "NewsItem.h"
#include "NewsRecordDlg.h"
#include "NewsTipWnd.h"

#include <list>

class CStringArray;
class CTreeCtrl;
typedef struct _TREEITEM* HTREEITEM;

class CNewsBox
{
public:
    CNewsBox() = default;
    CNewsBox(const CNewsBox&) = delete;
    CNewsBox& operator=(const CNewsBox&) = delete;
    virtual ~CNewsBox();

    // Makes the (hidden) history dialog owned by the host and the tip window; 1 when the tip exists.
    int Create(HWND hHost);
    void ShowTip();
    // 1 when the tip was visible and is hidden now.
    int HideTip();

    int Count();
    // The n-th item (0-based), null when there is none.
    CNewsItem* ItemAt(int n);
    // The box takes ownership; null is ignored.
    void Append(CNewsItem* pItem);
    // Removes and deletes every item.
    void Clear();
    // Removes every entry equal to the pointer, then deletes the item.
    void RemoveItem(CNewsItem* pItem);

    // Fills the tip from item n and shows it; nothing when there is no item n.
    void ShowTipFor(int n);
    // Sends item n to the host (WM_SHOWNEWS) and returns when the host has handled it.
    void NotifyHost(int n);
    // Marks item n read in the database, drops it and shows the next one.
    void MarkRead(int n);
    // The components of a category path: each piece that ends at the separator, empty ones dropped.
    static void SplitPath(const char* text, char sep, CStringArray& parts);

    // The history dialog's list and tree from the items.
    void FillList();
    void FillTreeAndShow();
    static HTREEITEM FindChild(CTreeCtrl& tree, HTREEITEM hParent, const char* text);
    static void InsertTreePath(CTreeCtrl& tree, HTREEITEM hFrom, const CStringArray& parts, int nFirst);

    CNewsTipWnd& Tip() { return m_tip; }
    CNewsRecordDlg& Dialog() { return m_dlg; }
    HWND Host() const { return m_hHost; }

protected:
    CCritSec m_lock;
    std::list<CNewsItem*> m_items;
    CNewsTipWnd m_tip;
    CNewsRecordDlg m_dlg;
    HWND m_hHost = nullptr;
};
