// A re-entrant lock on the operating system's critical section, and its scoped guard.
#pragma once

#include <CriticalSection.h>

class CCritSec
{
public:
    CCritSec() { InitializeCriticalSection(&m_sect); }
    ~CCritSec() { DeleteCriticalSection(&m_sect); }
    CCritSec(const CCritSec&) = delete;
    CCritSec& operator=(const CCritSec&) = delete;

    void Lock() { EnterCriticalSection(&m_sect); }
    void Unlock() { LeaveCriticalSection(&m_sect); }

private:
    CRITICAL_SECTION m_sect;
};

class CAutoLock
{
public:
    explicit CAutoLock(CCritSec& lock) : m_lock(lock) { m_lock.Lock(); }
    ~CAutoLock() { m_lock.Unlock(); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCritSec& m_lock;
};
