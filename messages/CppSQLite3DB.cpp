#include "CppSQLite3DB.h"

#include "CppSQLite3Exception.h"

#include <CodePage.h>
#include <sqlite3.h>
#include <string>

CppSQLite3DB::CppSQLite3DB() : m_pDB(nullptr), m_nBusyTimeoutMs(60000)
{
}

CppSQLite3DB::~CppSQLite3DB()
{
    Close();
}

void CppSQLite3DB::Open(const char* szFile)
{
    Close();
    std::string name = CCodePage::AnsiToUtf8(szFile ? szFile : "");
    int rc = sqlite3_open(name.c_str(), &m_pDB);
    if (rc != SQLITE_OK) {
        // A failed open still hands back a handle that holds the message; keep none.
        CppSQLite3Exception e(rc, m_pDB ? sqlite3_errmsg(m_pDB) : "");
        sqlite3_close(m_pDB);
        m_pDB = nullptr;
        throw e;
    }
    sqlite3_busy_timeout(m_pDB, m_nBusyTimeoutMs);
}

void CppSQLite3DB::Close()
{
    if (m_pDB) {
        sqlite3_close(m_pDB);
        m_pDB = nullptr;
    }
}

void CppSQLite3DB::CheckDB() const
{
    if (!m_pDB) throw CppSQLite3Exception(CPPSQLITE_ERROR, "Database not open");
}

int CppSQLite3DB::RunStatement(const char* szSQL)
{
    CheckDB();
    char* szError = nullptr;
    int rc = sqlite3_exec(m_pDB, szSQL, nullptr, nullptr, &szError);
    if (rc != SQLITE_OK) {
        CppSQLite3Exception e(rc, szError);
        sqlite3_free(szError);
        throw e;
    }
    return sqlite3_changes(m_pDB);
}

sqlite3_stmt* CppSQLite3DB::Prepare(const char* szSQL)
{
    CheckDB();
    sqlite3_stmt* pVM = nullptr;
    int rc = sqlite3_prepare_v2(m_pDB, szSQL, -1, &pVM, nullptr);
    if (rc != SQLITE_OK) throw CppSQLite3Exception(rc, "");
    // Blank text compiles to no statement at all.
    if (!pVM) throw CppSQLite3Exception(CPPSQLITE_ERROR, "Null Virtual Machine pointer");
    return pVM;
}

CppSQLite3Query CppSQLite3DB::RunQuery(const char* szSQL)
{
    sqlite3_stmt* pVM = Prepare(szSQL);
    int rc = sqlite3_step(pVM);
    if (rc == SQLITE_DONE) return CppSQLite3Query(m_pDB, pVM, true);
    if (rc == SQLITE_ROW) return CppSQLite3Query(m_pDB, pVM, false);
    rc = sqlite3_finalize(pVM);
    throw CppSQLite3Exception(rc, sqlite3_errmsg(m_pDB));
}
