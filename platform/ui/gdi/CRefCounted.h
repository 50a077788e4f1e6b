// Reference counting of an object that implements interface I: it starts with one reference
// and deletes itself with its last.
#pragma once

#include <atomic>
#include "Picture.h"

template <class I>
class CRefCounted : public I
{
public:
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override
    {
        ULONG n = --m_nRef;
        if (n == 0)
            delete this;
        return n;
    }

protected:
    ~CRefCounted() override = default;

private:
    std::atomic<ULONG> m_nRef{1};
};
