#include "NewsBox.h"

CNewsBox::~CNewsBox()
{
    Clear();
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
