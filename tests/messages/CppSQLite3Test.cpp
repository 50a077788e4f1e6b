#include <gtest/gtest.h>

#include "CppSQLite3DB.h"
#include "CppSQLite3Exception.h"
#include "MessagesTestUtil.h"
#include "SqlTextBuffer.h"

#include <functional>
#include <string>

namespace {

TEST(CppSQLite3Test, CodeNames)
{
    const struct { int code; const char* name; } cases[] = {
        {0, "SQLITE_OK"}, {1, "SQLITE_ERROR"}, {5, "SQLITE_BUSY"}, {14, "SQLITE_CANTOPEN"}, {19, "SQLITE_CONSTRAINT"},
        {23, "SQLITE_AUTH"}, {24, "SQLITE_FORMAT"}, {25, "SQLITE_RANGE"}, {26, "UNKNOWN_ERROR"}, {99, "UNKNOWN_ERROR"},
        {100, "SQLITE_ROW"}, {101, "SQLITE_DONE"}, {1000, "CPPSQLITE_ERROR"}, {-1, "UNKNOWN_ERROR"},
        {261, "UNKNOWN_ERROR"} /* an extended code */,
    };
    for (const auto& c : cases) EXPECT_STREQ(SqliteCodeName(c.code), c.name) << c.code;
}

TEST(CppSQLite3Test, ExceptionCopiesOwnTheirMessage)
{
    CppSQLite3Exception* original = new CppSQLite3Exception(5, "database is locked");
    CppSQLite3Exception copy(*original);
    CppSQLite3Exception assigned(1, nullptr);
    EXPECT_STREQ(assigned.ErrorMessage(), "SQLITE_ERROR[1]: ");
    assigned = *original;
    delete original;
    EXPECT_EQ(copy.ErrorCode(), 5);
    EXPECT_STREQ(copy.ErrorMessage(), "SQLITE_BUSY[5]: database is locked");
    EXPECT_STREQ(assigned.ErrorMessage(), "SQLITE_BUSY[5]: database is locked");
}

TEST(CppSQLite3Test, TextBufferDoublesQuotes)
{
    CSqlTextBuffer sql;
    sql.Format("select * from t where a='%q' and b=%d", "it's ''x''", 7);
    EXPECT_STREQ(sql, "select * from t where a='it''s ''''x''''' and b=7");
    sql.Format("%q", "运单'号");
    EXPECT_STREQ(sql, "运单''号");
    sql.Release();
    EXPECT_STREQ(sql, "");
}

std::string MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CppSQLite3Exception& e) {
        return e.ErrorMessage();
    }
    return "(no exception)";
}

TEST(CppSQLite3Test, QueryCursorAndItsChecks)
{
    CTempFolder tmp;
    CppSQLite3DB db;
    EXPECT_EQ(MessageOf([&] { db.RunStatement("select 1"); }), "CPPSQLITE_ERROR[1000]: Database not open");
    EXPECT_EQ(MessageOf([&] { db.RunQuery("select 1"); }), "CPPSQLITE_ERROR[1000]: Database not open");
    db.Open((tmp.Path() + "/q.db").c_str());
    ASSERT_TRUE(db.IsOpen());
    EXPECT_EQ(db.RunStatement("create table t(a, b); insert into t values (1, 'x'), (2, NULL); update t set a=a+10"), 2);

    CppSQLite3Query q = db.RunQuery("select a, b from t order by a");
    ASSERT_FALSE(q.AtEnd());
    EXPECT_EQ(q.ColumnCount(), 2);
    EXPECT_EQ(q.ColumnInt(0), 11);
    EXPECT_STREQ(q.ColumnText(1), "x");
    EXPECT_EQ(MessageOf([&] { q.ColumnText(2); }), "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(MessageOf([&] { q.ColumnInt(-1); }), "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    q.Step();
    EXPECT_EQ(q.ColumnText(1), nullptr);
    EXPECT_EQ(q.ColumnInt(1, 42), 42);  // NULL gives the default

    // Assignment takes the statement over.
    CppSQLite3Query other;
    other = q;
    EXPECT_EQ(MessageOf([&] { q.AtEnd(); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
    EXPECT_EQ(other.ColumnInt(0), 12);
    other.Step();
    EXPECT_TRUE(other.AtEnd());
    other.Finish();
    EXPECT_EQ(MessageOf([&] { other.Step(); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");

    CppSQLite3Query empty = db.RunQuery("select a from t where a > 100");
    EXPECT_TRUE(empty.AtEnd());
    // A statement that fails at its first step.
    EXPECT_EQ(MessageOf([&] { db.RunQuery("insert into t(a) values (abs(-9223372036854775807 - 1))"); }),
              "SQLITE_ERROR[1]: integer overflow");
    db.Close();
    EXPECT_FALSE(db.IsOpen());
}

} // namespace
