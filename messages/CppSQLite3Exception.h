// A failed SQLite call: the result code and the text "NAME[code]: message".
#pragma once

#define CPPSQLITE_ERROR 1000

// Name of an SQLite result code ("SQLITE_BUSY", "CPPSQLITE_ERROR", "UNKNOWN_ERROR", ...).
const char* SqliteCodeName(int code);

class CppSQLite3Exception
{
public:
    CppSQLite3Exception(int errCode, const char* errMessage);
    CppSQLite3Exception(const CppSQLite3Exception& e);
    CppSQLite3Exception& operator=(const CppSQLite3Exception& e);
    virtual ~CppSQLite3Exception();

    int ErrorCode() const { return m_nErrCode; }
    const char* ErrorMessage() const { return m_pszErrMessage ? m_pszErrMessage : ""; }

private:
    int m_nErrCode;
    char* m_pszErrMessage;  // from sqlite3_mprintf, may be null
};
