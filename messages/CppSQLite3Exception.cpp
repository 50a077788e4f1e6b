#include "CppSQLite3Exception.h"

#include <sqlite3.h>

const char* SqliteCodeName(int code)
{
    static const char* const kNames[] = {
        "SQLITE_OK",       "SQLITE_ERROR",    "SQLITE_INTERNAL", "SQLITE_PERM",     "SQLITE_ABORT",
        "SQLITE_BUSY",     "SQLITE_LOCKED",   "SQLITE_NOMEM",    "SQLITE_READONLY", "SQLITE_INTERRUPT",
        "SQLITE_IOERR",    "SQLITE_CORRUPT",  "SQLITE_NOTFOUND", "SQLITE_FULL",     "SQLITE_CANTOPEN",
        "SQLITE_PROTOCOL", "SQLITE_EMPTY",    "SQLITE_SCHEMA",   "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
        "SQLITE_MISMATCH", "SQLITE_MISUSE",   "SQLITE_NOLFS",    "SQLITE_AUTH",     "SQLITE_FORMAT",
        "SQLITE_RANGE",
    };
    if (code >= 0 && code < static_cast<int>(sizeof(kNames) / sizeof(kNames[0]))) return kNames[code];
    if (code == 100) return "SQLITE_ROW";
    if (code == 101) return "SQLITE_DONE";
    if (code == CPPSQLITE_ERROR) return "CPPSQLITE_ERROR";
    return "UNKNOWN_ERROR";
}

CppSQLite3Exception::CppSQLite3Exception(int errCode, const char* errMessage)
    : m_nErrCode(errCode),
      m_pszErrMessage(sqlite3_mprintf("%s[%d]: %s", SqliteCodeName(errCode), errCode, errMessage ? errMessage : ""))
{
}

CppSQLite3Exception::CppSQLite3Exception(const CppSQLite3Exception& e)
    : m_nErrCode(e.m_nErrCode), m_pszErrMessage(e.m_pszErrMessage ? sqlite3_mprintf("%s", e.m_pszErrMessage) : nullptr)
{
}

CppSQLite3Exception& CppSQLite3Exception::operator=(const CppSQLite3Exception& e)
{
    if (this != &e) {
        char* copy = e.m_pszErrMessage ? sqlite3_mprintf("%s", e.m_pszErrMessage) : nullptr;
        sqlite3_free(m_pszErrMessage);
        m_pszErrMessage = copy;
        m_nErrCode = e.m_nErrCode;
    }
    return *this;
}

CppSQLite3Exception::~CppSQLite3Exception()
{
    sqlite3_free(m_pszErrMessage);
}
