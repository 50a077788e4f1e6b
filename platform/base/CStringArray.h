// A growable array of CString, indexed from 0.
#pragma once

#include <vector>
#include "CString.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

class CStringArray
{
public:
    INT_PTR GetSize() const { return (INT_PTR)m_items.size(); }

    // Index of the new element.
    INT_PTR Add(const CString& s) { m_items.push_back(s); return (INT_PTR)m_items.size() - 1; }

    const CString& GetAt(INT_PTR i) const { return m_items.at((size_t)i); }
    const CString& operator[](INT_PTR i) const { return m_items.at((size_t)i); }
    CString& operator[](INT_PTR i) { return m_items.at((size_t)i); }

    void RemoveAll() { m_items.clear(); }
    // New elements are empty; a negative size counts as 0.
    void SetSize(INT_PTR nNewSize) { m_items.resize(nNewSize > 0 ? (size_t)nNewSize : 0); }

private:
    std::vector<CString> m_items;
};

PARVEL_BASE_END_EXPORTS
