// A growable array of values, indexed from 0 (the framework's CArray<TYPE, ARG_TYPE>).
#pragma once

#include <vector>
#include "WinTypes.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray
{
public:
    INT_PTR GetSize() const { return (INT_PTR)m_items.size(); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_items.empty(); }

    // Index of the new element.
    INT_PTR Add(ARG_TYPE item) { m_items.push_back(item); return (INT_PTR)m_items.size() - 1; }

    const TYPE& GetAt(INT_PTR i) const { return m_items.at((size_t)i); }
    TYPE& ElementAt(INT_PTR i) { return m_items.at((size_t)i); }
    void SetAt(INT_PTR i, ARG_TYPE item) { m_items.at((size_t)i) = item; }
    const TYPE& operator[](INT_PTR i) const { return m_items.at((size_t)i); }
    TYPE& operator[](INT_PTR i) { return m_items.at((size_t)i); }

    void RemoveAt(INT_PTR i, INT_PTR nCount = 1)
    {
        if (i < 0 || nCount <= 0 || (size_t)i >= m_items.size())
            return;
        size_t last = (size_t)i + (size_t)nCount;
        m_items.erase(m_items.begin() + i, m_items.begin() + (last > m_items.size() ? m_items.size() : last));
    }
    // Frees the storage too.
    void RemoveAll() { std::vector<TYPE>().swap(m_items); }
    // New elements are value-initialised; a negative size counts as 0.
    void SetSize(INT_PTR nNewSize) { m_items.resize(nNewSize > 0 ? (size_t)nNewSize : 0); }

private:
    std::vector<TYPE> m_items;
};
