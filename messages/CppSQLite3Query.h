// A cursor on the rows of one prepared statement.
#pragma once

struct sqlite3;
struct sqlite3_stmt;

class CppSQLite3Query
{
public:
    CppSQLite3Query();
    CppSQLite3Query(sqlite3* pDB, sqlite3_stmt* pVM, bool bEof, bool bOwnVM = true);
    // Copying takes the statement over; the source is left finished.
    CppSQLite3Query(CppSQLite3Query& rQuery);
    CppSQLite3Query(CppSQLite3Query&& rQuery);
    CppSQLite3Query& operator=(CppSQLite3Query& rQuery);
    CppSQLite3Query& operator=(CppSQLite3Query&& rQuery);
    virtual ~CppSQLite3Query();

    int ColumnCount() const { return m_nCols; }
    bool AtEnd();
    void Step();
    // Null for a NULL column.
    const char* ColumnText(int nField);
    int ColumnType(int nField);
    int ColumnInt(int nField, int nNullValue = 0);
    void Finish();

private:
    void TakeOver(CppSQLite3Query& rQuery);
    void CheckVM() const;
    void CheckField(int nField) const;

    sqlite3_stmt* m_pVM;
    sqlite3* m_pDB;
    bool m_bEof;
    int m_nCols;
    bool m_bOwnVM;
};
