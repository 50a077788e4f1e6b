// The connection to one SQLite database file; failures are thrown as CppSQLite3Exception.
#pragma once

#include "CppSQLite3Query.h"

struct sqlite3;
struct sqlite3_stmt;

class CppSQLite3DB
{
public:
    CppSQLite3DB();
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;
    virtual ~CppSQLite3DB();

    // The path is ANSI text.
    void Open(const char* szFile);
    void Close();
    bool IsOpen() const { return m_pDB != nullptr; }
    // Runs one or more statements without results; gives the rows changed by the last one.
    int RunStatement(const char* szSQL);
    CppSQLite3Query RunQuery(const char* szSQL);

private:
    sqlite3_stmt* Prepare(const char* szSQL);
    void CheckDB() const;

    sqlite3* m_pDB;
    int m_nBusyTimeoutMs;
};
