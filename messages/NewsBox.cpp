#include "NewsBox.h"

#include "CStringArray.h"
#include "NewsComponent.h"
#include "NewsInterface.h"
#include "NewsStore.h"
#include "MurmelResource.h"

#include <cstdio>

namespace {
const char* const kSkinCaption = "Velkor\277\354\321\266" /* Velkor快讯 */;
const int kTipWidth = 250;
const int kTipHeight = 180;
}

CNewsBox::~CNewsBox()
{
    Clear();
    if (m_dlg.GetSafeHwnd())
        m_dlg.DestroyWindow();
    m_tip.Destroy();
}

int CNewsBox::Create(HWND hHost)
{
    m_hHost = hHost;
    m_dlg.Create(IDD_NEWS_RECORD, CWnd::FromHandle(hHost));
    m_tip.LoadSkin(IDB_NEWS_SKIN, 0);
    return m_tip.Create(kSkinCaption, nullptr, kTipWidth, kTipHeight);
}

void CNewsBox::ShowTip()
{
    m_tip.Show(1);
}

int CNewsBox::HideTip()
{
    if (!m_tip.IsVisible())
        return 0;
    m_tip.Show(0);
    return 1;
}

int CNewsBox::Count()
{
    CAutoLock guard(m_lock);
    return static_cast<int>(m_items.size());
}

CNewsItem* CNewsBox::ItemAt(int n)
{
    CAutoLock guard(m_lock);
    if (n < 0) return nullptr;
    for (CNewsItem* pItem : m_items) {
        if (n-- == 0) return pItem;
    }
    return nullptr;
}

void CNewsBox::Append(CNewsItem* pItem)
{
    if (!pItem) return;
    CAutoLock guard(m_lock);
    m_items.push_back(pItem);
}

void CNewsBox::Clear()
{
    CAutoLock guard(m_lock);
    for (CNewsItem* pItem : m_items) delete pItem;
    m_items.clear();
}

void CNewsBox::RemoveItem(CNewsItem* pItem)
{
    if (!pItem) return;
    CAutoLock guard(m_lock);
    m_items.remove(pItem);
    delete pItem;
}

void CNewsBox::ShowTipFor(int n)
{
    CAutoLock guard(m_lock);
    CNewsItem* pItem = ItemAt(n);
    if (!pItem)
        return;
    CStringArray parts;
    SplitPath(pItem->m_class.c_str(), '/', parts);
    CString caption;
    if (parts.GetSize() > 0)
        caption = parts[parts.GetSize() - 1];
    m_tip.SetTexts(caption, pItem->title.c_str(), pItem->content.c_str(), pItem->url.c_str());
    m_tip.Show(1);
}

void CNewsBox::NotifyHost(int n)
{
    CAutoLock guard(m_lock);
    CNewsItem* pItem = ItemAt(n);
    if (pItem && m_hHost)
        ::SendMessage(m_hHost, WM_SHOWNEWS, 0, reinterpret_cast<LPARAM>(pItem));
}

void CNewsBox::MarkRead(int n)
{
    CAutoLock guard(m_lock);
    CNewsItem* pItem = ItemAt(n);
    if (pItem) {
        if (CNewsStore* pStore = NewsStore())
            pStore->Exec(CNewsStore::MarkReadStatement(pItem->id));
        RemoveItem(pItem);
    }
    ShowTipFor(0);
}

void CNewsBox::SplitPath(const char* text, char sep, CStringArray& parts)
{
    parts.RemoveAll();
    if (!text)
        return;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    const char* b = text;
    const char* e = text + std::char_traits<char>::length(text);
    while (b < e && isBlank(*b)) ++b;
    while (e > b && isBlank(e[-1])) --e;
    // Only pieces closed by a separator count: text after the last one is no component, so every
    // component stays a prefix that the history dialog's "like 'path%'" finds again.
    const char* start = b;
    for (const char* p = b; p < e; ++p) {
        if (*p != sep)
            continue;
        if (p > start)
            parts.Add(CString(start, static_cast<int>(p - start)));
        start = p + 1;
    }
}

void CNewsBox::FillList()
{
    CListCtrl& list = m_dlg.m_list;
    if (!list.GetSafeHwnd())
        return;
    list.DeleteAllItems();
    int i = 0;
    for (CNewsItem* pItem : m_items) {
        char number[16];
        std::snprintf(number, sizeof(number), "%d", i + 1);
        list.InsertItem(i, number);
        list.SetItemText(i, 1, pItem->occurTime.c_str());
        list.SetItemText(i, 2, pItem->title.c_str());
        list.SetItemText(i, 3, pItem->content.c_str());
        list.SetItemText(i, 4, pItem->isRead == 1 ? "\322\321\266\301" /* 已读 */ : "\316\264\266\301" /* 未读 */);
        ++i;
    }
    if (i > 0)
        list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

HTREEITEM CNewsBox::FindChild(CTreeCtrl& tree, HTREEITEM hParent, const char* text)
{
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h)) {
        if (tree.GetItemText(h) == text)
            return h;
    }
    return nullptr;
}

void CNewsBox::InsertTreePath(CTreeCtrl& tree, HTREEITEM hFrom, const CStringArray& parts, int nFirst)
{
    HTREEITEM hParent = hFrom;
    for (INT_PTR i = nFirst; i < parts.GetSize(); ++i)
        hParent = tree.InsertItem(parts[i], hParent, TVI_LAST);
}

void CNewsBox::FillTreeAndShow()
{
    CTreeCtrl& tree = m_dlg.m_tree;
    if (!tree.GetSafeHwnd())
        return;
    tree.DeleteAllItems();
    HTREEITEM hRoot = tree.InsertItem("\313\371\323\320\317\373\317\242" /* 所有消息 */, TVI_ROOT, TVI_LAST);
    for (CNewsItem* pItem : m_items) {
        CStringArray parts;
        SplitPath(pItem->m_class.c_str(), '/', parts);
        HTREEITEM hAt = hRoot;
        int i = 0;
        for (; i < parts.GetSize(); ++i) {
            HTREEITEM hChild = FindChild(tree, hAt, parts[i]);
            if (!hChild)
                break;
            hAt = hChild;
        }
        InsertTreePath(tree, hAt, parts, i);
    }
    m_dlg.ShowWindow(SW_SHOW);
    tree.SelectItem(hRoot);
}
