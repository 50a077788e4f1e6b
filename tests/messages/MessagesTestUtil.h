// Helpers of the message store tests: a temporary folder and a look into the database file.
#pragma once

#include <cstdlib>
#include <ctime>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include "TestFiles.h"

class CTempFolder
{
public:
    CTempFolder() : m_path(MakeTempFolder("murmel")) {}
    ~CTempFolder()
    {
        if (!m_path.empty())
            RemoveFolder(m_path);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// First column of the first row as text ("" when none), through a connection of its own.
inline std::string QueryText(const std::string& dbFile, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(dbFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            result = t ? reinterpret_cast<const char*>(t) : "";
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return result;
}

// Local time text "days" days ago, as the server writes occurrence times.
inline std::string DaysAgo(int days)
{
    time_t t = time(nullptr) - static_cast<time_t>(days) * 86400;
    struct tm local;
    localtime_r(&t, &local);
    char buf[32];
    strftime(buf, sizeof(buf), "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}
