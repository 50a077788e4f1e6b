#include "CriticalSection.h"

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&lpCriticalSection->m_mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) { pthread_mutex_lock(&lpCriticalSection->m_mutex); }

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) { pthread_mutex_unlock(&lpCriticalSection->m_mutex); }

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) { pthread_mutex_destroy(&lpCriticalSection->m_mutex); }
