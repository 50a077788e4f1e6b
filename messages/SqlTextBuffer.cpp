#include "SqlTextBuffer.h"

#include <cstdarg>
#include <sqlite3.h>

const char* CSqlTextBuffer::Format(const char* format, ...)
{
    Release();
    va_list args;
    va_start(args, format);
    m_pBuf = sqlite3_vmprintf(format, args);
    va_end(args);
    return m_pBuf;
}

void CSqlTextBuffer::Release()
{
    sqlite3_free(m_pBuf);
    m_pBuf = nullptr;
}
