// An ordered list of owned messages under its own re-entrant lock: the tip queue, or the rows
// loaded for the history dialog.
#pragma once

#include "CritSec.h"
#include "NewsItem.h"

#include <list>

class CNewsBox
{
public:
    CNewsBox() = default;
    CNewsBox(const CNewsBox&) = delete;
    CNewsBox& operator=(const CNewsBox&) = delete;
    virtual ~CNewsBox();

    int Count();
    // The n-th item (0-based), null when there is none.
    CNewsItem* ItemAt(int n);
    // The box takes ownership; null is ignored.
    void Append(CNewsItem* pItem);
    // Removes and deletes every item.
    void Clear();
    // Removes every entry equal to the pointer, then deletes the item.
    void RemoveItem(CNewsItem* pItem);

protected:
    CCritSec m_lock;
    std::list<CNewsItem*> m_items;
};
