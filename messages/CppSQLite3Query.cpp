#include "CppSQLite3Query.h"

#include "CppSQLite3Exception.h"

#include <sqlite3.h>

CppSQLite3Query::CppSQLite3Query() : m_pVM(nullptr), m_pDB(nullptr), m_bEof(true), m_nCols(0), m_bOwnVM(false)
{
}

CppSQLite3Query::CppSQLite3Query(sqlite3* pDB, sqlite3_stmt* pVM, bool bEof, bool bOwnVM)
    : m_pVM(pVM), m_pDB(pDB), m_bEof(bEof), m_nCols(pVM ? sqlite3_column_count(pVM) : 0), m_bOwnVM(bOwnVM)
{
}

CppSQLite3Query::CppSQLite3Query(CppSQLite3Query& rQuery) : CppSQLite3Query()
{
    TakeOver(rQuery);
}

CppSQLite3Query::CppSQLite3Query(CppSQLite3Query&& rQuery) : CppSQLite3Query()
{
    TakeOver(rQuery);
}

CppSQLite3Query& CppSQLite3Query::operator=(CppSQLite3Query& rQuery)
{
    if (this != &rQuery) {
        try {
            Finish();
        } catch (...) {
        }
        TakeOver(rQuery);
    }
    return *this;
}

CppSQLite3Query& CppSQLite3Query::operator=(CppSQLite3Query&& rQuery)
{
    return *this = static_cast<CppSQLite3Query&>(rQuery);
}

CppSQLite3Query::~CppSQLite3Query()
{
    try {
        Finish();
    } catch (...) {
    }
}

void CppSQLite3Query::TakeOver(CppSQLite3Query& rQuery)
{
    m_pVM = rQuery.m_pVM;
    m_pDB = rQuery.m_pDB;
    m_bEof = rQuery.m_bEof;
    m_nCols = rQuery.m_nCols;
    m_bOwnVM = rQuery.m_bOwnVM;
    rQuery.m_pVM = nullptr;
    rQuery.m_bEof = true;
    rQuery.m_nCols = 0;
    rQuery.m_bOwnVM = false;
}

void CppSQLite3Query::CheckVM() const
{
    if (!m_pVM) throw CppSQLite3Exception(CPPSQLITE_ERROR, "Null Virtual Machine pointer");
}

void CppSQLite3Query::CheckField(int nField) const
{
    CheckVM();
    if (nField < 0 || nField >= m_nCols) throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid field index requested");
}

bool CppSQLite3Query::AtEnd()
{
    CheckVM();
    return m_bEof;
}

void CppSQLite3Query::Step()
{
    CheckVM();
    int rc = sqlite3_step(m_pVM);
    if (rc == SQLITE_DONE) {
        m_bEof = true;
    } else if (rc != SQLITE_ROW) {
        rc = sqlite3_finalize(m_pVM);
        m_pVM = nullptr;
        throw CppSQLite3Exception(rc, m_pDB ? sqlite3_errmsg(m_pDB) : "");
    }
}

const char* CppSQLite3Query::ColumnText(int nField)
{
    CheckField(nField);
    return reinterpret_cast<const char*>(sqlite3_column_text(m_pVM, nField));
}

int CppSQLite3Query::ColumnType(int nField)
{
    CheckField(nField);
    return sqlite3_column_type(m_pVM, nField);
}

int CppSQLite3Query::ColumnInt(int nField, int nNullValue)
{
    if (ColumnType(nField) == SQLITE_NULL) return nNullValue;
    return sqlite3_column_int(m_pVM, nField);
}

void CppSQLite3Query::Finish()
{
    if (m_pVM && m_bOwnVM) {
        int rc = sqlite3_finalize(m_pVM);
        m_pVM = nullptr;
        if (rc != SQLITE_OK) throw CppSQLite3Exception(rc, m_pDB ? sqlite3_errmsg(m_pDB) : "");
    }
    m_pVM = nullptr;
}
