// In-process locks: the CRITICAL_SECTION calls and the CCriticalSection class. Recursive, as
// on Windows: the owning thread may enter again.
#pragma once

#include <pthread.h>
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

typedef struct _CRITICAL_SECTION
{
    pthread_mutex_t m_mutex;
} CRITICAL_SECTION, *LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

class CCriticalSection
{
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    virtual ~CCriticalSection() { DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    BOOL Lock() { EnterCriticalSection(&m_sect); return TRUE; }
    BOOL Unlock() { LeaveCriticalSection(&m_sect); return TRUE; }
    operator CRITICAL_SECTION*() { return &m_sect; }

    CRITICAL_SECTION m_sect;
};

PARVEL_BASE_END_EXPORTS
