// CWndHandle: the type of CWnd::m_hWnd. The GUI thread sets the handle when it makes, binds or
// destroys the window; any thread reads it (GetSafeHwnd, a worker's PostMessage), so it is read and
// written whole, with the store ordered before the read that sees it. It converts to HWND and takes
// HWND assignments like the plain handle it stands for.
#pragma once

#include <atomic>
#include <cstddef>
#include "WinTypes.h"

class CWndHandle
{
public:
    CWndHandle(std::nullptr_t = nullptr) : m_h(nullptr) {}
    // Explicit: a conditional of an HWND and an m_hWnd stays an HWND.
    explicit CWndHandle(HWND h) : m_h(h) {}
    CWndHandle(const CWndHandle& other) : m_h(other.Get()) {}
    CWndHandle& operator=(const CWndHandle& other)
    {
        Set(other.Get());
        return *this;
    }
    CWndHandle& operator=(HWND h)
    {
        Set(h);
        return *this;
    }
    operator HWND() const { return Get(); }

private:
    HWND Get() const { return m_h.load(std::memory_order_acquire); }
    void Set(HWND h) { m_h.store(h, std::memory_order_release); }
    std::atomic<HWND> m_h;
};
