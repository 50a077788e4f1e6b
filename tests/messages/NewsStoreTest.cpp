#include <gtest/gtest.h>

#include "MessagesTestUtil.h"
#include "NewsStore.h"

#include <functional>
#include <set>
#include <vector>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

const std::string kTableSql =
    "create table dbMsgRecord ( [id] varchar(128) PRIMARY KEY NOT NULL, user varchar(128), type integer, title varchar(128), content varchar(4069), remindType varchar(128), url varchar(1024), class varchar(256), occrueTime datetime, isRead integer)";
const std::string kTriggerSql =
    "create trigger delete_Msg_Outmoded after insert on dbMsgRecord for each row when (select count(*) from dbMsgRecord) > 500 begin delete from dbMsgRecord where julianday(datetime('now','localtime'))-julianday(occrueTime)>7 and type>=10; delete from dbMsgRecord where julianday(datetime('now','localtime'))-julianday(occrueTime)>30; end;";

CNewsItem* MakeItem(const std::string& id, int type, const std::string& occurTime, const std::string& title = "标题")
{
    CNewsItem* item = new CNewsItem;
    item->id = id;
    item->type = type;
    item->title = title;
    item->content = "内容";
    item->occurTime = occurTime;
    return item;
}

bool InsertOne(CNewsStore& store, const std::string& id, int type, const std::string& occurTime)
{
    CNewsItem* item = MakeItem(id, type, occurTime);
    bool ok = store.Insert(item);
    delete item;
    return ok;
}

class NewsStoreTest : public testing::Test
{
protected:
    std::string DbFile() const { return m_tmp.Path() + "/msg.db"; }
    int Rows(const std::string& where = "1") const
    {
        return std::atoi(QueryText(DbFile(), "select count(*) from dbMsgRecord where " + where).c_str());
    }

    CTempFolder m_tmp;
};

TEST_F(NewsStoreTest, NewFileGetsTableAndTriggerAndSecondStartOnlyReportsTheTable)
{
    bool inserted = false;
    CaptureStdout();
    {
        CNewsStore store(DbFile().c_str());
        store.user = "bbb";
        inserted = InsertOne(store, "A1", 9, DaysAgo(1));
    }
    EXPECT_EQ(GetCapturedStdout(), "");
    ASSERT_TRUE(inserted);
    // SQLite keeps the statements with their leading keywords in capitals and without the last ";".
    EXPECT_EQ(QueryText(DbFile(), "select sql from sqlite_master where type='table' and name='dbMsgRecord'"),
              "CREATE TABLE" + kTableSql.substr(12));
    EXPECT_EQ(QueryText(DbFile(), "select sql from sqlite_master where type='trigger' and name='delete_Msg_Outmoded'"),
              "CREATE TRIGGER" + kTriggerSql.substr(14, kTriggerSql.size() - 15));

    CaptureStdout();
    {
        CNewsStore again(DbFile().c_str());
    }
    EXPECT_EQ(GetCapturedStdout(), "SQLITE_ERROR[1]: table dbMsgRecord already exists");
    EXPECT_EQ(QueryText(DbFile(), "select count(*) from sqlite_master"), "3");  // table, its key index, trigger
    EXPECT_EQ(Rows(), 1);
}

TEST_F(NewsStoreTest, TheRowAfterFiveHundredPurgesOldRows)
{
    struct Kind { const char* prefix; int type; int daysAgo; bool kept; };
    const Kind kinds[] = {
        {"info10d", 11, 10, false},  // information, over a week old
        {"type10_8d", 10, 8, false}, // type 10 counts as information
        {"info3d", 10, 3, true},
        {"plain10d", 9, 10, true},   // below 10: only the month limit applies
        {"plain40d", 9, 40, false},
        {"info40d", 11, 40, false},
    };
    CNewsStore store(DbFile().c_str());
    store.user = "bbb";
    ASSERT_EQ(store.Exec("begin"), 1);
    int n = 0;
    for (const Kind& k : kinds)
        for (int i = 0; i < 20; ++i, ++n) ASSERT_TRUE(InsertOne(store, k.prefix + std::to_string(i), k.type, DaysAgo(k.daysAgo)));
    for (int i = 0; i < 20; ++i, ++n) ASSERT_TRUE(InsertOne(store, "nodate" + std::to_string(i), 11, "not a time"));
    while (n < 500) {
        ASSERT_TRUE(InsertOne(store, "fill" + std::to_string(n), 1, DaysAgo(0)));
        ++n;
    }
    ASSERT_EQ(store.Exec("commit"), 1);
    EXPECT_EQ(Rows(), 500);  // at 500 rows nothing is purged, however old

    ASSERT_TRUE(InsertOne(store, "row501", 1, DaysAgo(0)));
    for (const Kind& k : kinds)
        EXPECT_EQ(Rows(std::string("id like '") + k.prefix + "%'"), k.kept ? 20 : 0) << k.prefix;
    EXPECT_EQ(Rows("id like 'nodate%'"), 20);  // unreadable times are never purged
    EXPECT_EQ(Rows("id like 'fill%' or id='row501'"), 500 - 140 + 1);
}

TEST_F(NewsStoreTest, QuotedTextsRoundTripUnchanged)
{
    CNewsStore store(DbFile().c_str());
    store.user = "o'brien";
    CNewsItem* item = MakeItem("id'1", 3, "2026-01-02 03:04:05", "It's a 'quoted' title");
    item->content = "内容'); drop table dbMsgRecord; --";
    item->remindType = "web";
    item->url = "http://127.0.10.1/a?b='c'";
    item->m_class = "运单/'问题'/";
    CaptureStdout();
    bool inserted = store.Insert(item);
    int loaded = store.Load("");
    EXPECT_EQ(GetCapturedStdout(), "");
    ASSERT_TRUE(inserted);
    ASSERT_EQ(loaded, 1);

    ASSERT_EQ(store.m_recordBox.Count(), 1);
    CNewsItem* back = store.m_recordBox.ItemAt(0);
    EXPECT_EQ(back->id, item->id);
    EXPECT_EQ(back->user, "o'brien");
    EXPECT_EQ(back->type, 3);
    EXPECT_EQ(back->title, item->title);
    EXPECT_EQ(back->content, item->content);
    EXPECT_EQ(back->remindType, "web");
    EXPECT_EQ(back->url, item->url);
    EXPECT_EQ(back->m_class, item->m_class);
    EXPECT_EQ(back->occurTime, item->occurTime);
    EXPECT_EQ(back->isRead, 0);
    delete item;
}

TEST_F(NewsStoreTest, InformationIsStoredReadAndOnlyUnreadRowsAreQueuedAgain)
{
    {
        CNewsStore store(DbFile().c_str());
        store.user = "bbb";
        ASSERT_TRUE(InsertOne(store, "info", 11, DaysAgo(0)));
        ASSERT_TRUE(InsertOne(store, "notice", 9, DaysAgo(0)));
        ASSERT_TRUE(InsertOne(store, "boundary", 10, DaysAgo(0)));
        store.user = "ccc";
        ASSERT_TRUE(InsertOne(store, "other", 1, DaysAgo(0)));
    }
    EXPECT_EQ(QueryText(DbFile(), "select isRead from dbMsgRecord where id='info'"), "1");
    EXPECT_EQ(QueryText(DbFile(), "select isRead from dbMsgRecord where id='notice'"), "0");
    EXPECT_EQ(QueryText(DbFile(), "select isRead from dbMsgRecord where id='boundary'"), "1");

    CaptureStdout();
    CNewsStore next(DbFile().c_str());
    GetCapturedStdout();
    next.user = "bbb";
    CNewsBox queue;
    queue.Append(MakeItem("already", 1, ""));
    ASSERT_TRUE(next.LoadUnread(&queue));
    ASSERT_EQ(queue.Count(), 2);  // appended behind what was there
    EXPECT_EQ(queue.ItemAt(0)->id, "already");
    CNewsItem* again = queue.ItemAt(1);
    EXPECT_EQ(again->id, "notice");
    EXPECT_EQ(again->user, "bbb");
    EXPECT_EQ(again->type, 9);
    EXPECT_EQ(again->title, "标题");
    EXPECT_EQ(again->remindType, "dialog");
    EXPECT_EQ(again->m_class, "aaa/bbb/ccc/ddd/");
}

TEST_F(NewsStoreTest, LoadListsEveryRowOfTheCurrentUserOnly)
{
    CNewsStore store(DbFile().c_str());
    store.user = "bbb";
    ASSERT_TRUE(InsertOne(store, "b-read", 11, DaysAgo(0)));
    ASSERT_TRUE(InsertOne(store, "b-unread", 2, DaysAgo(0)));
    store.user = "ccc";
    ASSERT_TRUE(InsertOne(store, "c-1", 2, DaysAgo(0)));
    store.user = "bbb";

    store.m_recordBox.Append(MakeItem("stale", 1, ""));
    ASSERT_EQ(store.Load(""), 1);
    ASSERT_EQ(store.m_recordBox.Count(), 2);  // replaced, not appended
    EXPECT_EQ(store.m_recordBox.ItemAt(0)->id, "b-read");
    EXPECT_EQ(store.m_recordBox.ItemAt(0)->isRead, 1);
    EXPECT_EQ(store.m_recordBox.ItemAt(1)->id, "b-unread");
    EXPECT_EQ(store.m_recordBox.ItemAt(1)->isRead, 0);

    // A statement of the history dialog, and NULL columns reading as empty text and 0.
    ASSERT_EQ(store.Exec("insert into dbMsgRecord(id, user) values ('bare', 'bbb')"), 1);
    ASSERT_EQ(store.Load("select * from dbMsgRecord where user='bbb' and id like 'ba%'"), 1);
    ASSERT_EQ(store.m_recordBox.Count(), 1);
    CNewsItem* bare = store.m_recordBox.ItemAt(0);
    EXPECT_EQ(bare->title, "");
    EXPECT_EQ(bare->m_class, "");
    EXPECT_EQ(bare->type, 0);
    EXPECT_EQ(bare->isRead, 0);
}

TEST_F(NewsStoreTest, FailedStatementsReportAndKeepTheRecordBox)
{
    CNewsStore store(DbFile().c_str());
    store.user = "bbb";
    ASSERT_TRUE(InsertOne(store, "dup", 1, DaysAgo(0)));
    ASSERT_EQ(store.Load(""), 1);

    const struct { const char* name; std::function<bool()> run; const char* out; } cases[] = {
        {"duplicate id", [&] { return InsertOne(store, "dup", 1, DaysAgo(0)); },
         "SQLITE_CONSTRAINT[19]: UNIQUE constraint failed: dbMsgRecord.id"},
        {"bad query", [&] { return store.Load("select * from noSuchTable") == 1; }, "SQLITE_ERROR[1]: "},
        {"too few columns", [&] { return store.Load("select id from dbMsgRecord") == 1; },
         "CPPSQLITE_ERROR[1000]: Invalid field index requested"},
        {"blank query", [&] { return store.Load("   ") == 1; }, "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer"},
        {"bad delete", [&] { return store.Delete("delete from noSuchTable") == 1; },
         "SQLITE_ERROR[1]: no such table: noSuchTable"},
        {"bad exec", [&] { return store.Exec("update dbMsgRecord set nocolumn=1") == 1; },
         "SQLITE_ERROR[1]: no such column: nocolumn"},
    };
    for (const auto& c : cases) {
        CaptureStdout();
        bool ok = c.run();
        EXPECT_EQ(GetCapturedStdout(), c.out) << c.name;
        EXPECT_FALSE(ok) << c.name;
        ASSERT_EQ(store.m_recordBox.Count(), 1) << c.name;
        EXPECT_EQ(store.m_recordBox.ItemAt(0)->id, "dup") << c.name;
    }
}

TEST_F(NewsStoreTest, WithoutAConnectionEveryStatementReportsDatabaseNotOpen)
{
    CTempFolder tmp;
    mkdir((tmp.Path() + "/folder.db").c_str(), 0755);
    const struct { std::string path; std::string openOut; } cases[] = {
        {tmp.Path() + "/missing/msg.db", "SQLITE_CANTOPEN[14]: unable to open database file"},
        {tmp.Path() + "/folder.db", "SQLITE_CANTOPEN[14]: unable to open database file"},
    };
    const std::string notOpen = "CPPSQLITE_ERROR[1000]: Database not open";
    for (const auto& c : cases) {
        CaptureStdout();
        CNewsStore store(c.path.c_str());
        EXPECT_EQ(GetCapturedStdout(), c.openOut + notOpen) << c.path;
        store.user = "bbb";
        store.m_recordBox.Append(MakeItem("kept", 1, ""));
        CNewsBox queue;

        CaptureStdout();
        bool inserted = InsertOne(store, "x", 1, DaysAgo(0));
        int loaded = store.Load("");
        bool unread = store.LoadUnread(&queue);
        int deleted = store.Delete("");
        int run = store.Exec("update dbMsgRecord set isRead=1 where id='x'");
        EXPECT_EQ(GetCapturedStdout(), notOpen + notOpen + notOpen + notOpen + notOpen);
        EXPECT_FALSE(inserted);
        EXPECT_EQ(loaded, 0);
        EXPECT_FALSE(unread);
        EXPECT_EQ(deleted, 0);
        EXPECT_EQ(run, 0);
        EXPECT_EQ(store.m_recordBox.Count(), 1);
        EXPECT_EQ(queue.Count(), 0);
    }
}

TEST_F(NewsStoreTest, AFileThatIsNoDatabaseReportsAndGoesOn)
{
    FILE* f = fopen(DbFile().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string junk(4096, 'x');
    fwrite(junk.data(), 1, junk.size(), f);
    fclose(f);
    CaptureStdout();
    CNewsStore store(DbFile().c_str());
    EXPECT_EQ(GetCapturedStdout(), "UNKNOWN_ERROR[26]: file is not a database");
    CaptureStdout();
    int loaded = store.Load("");
    EXPECT_EQ(GetCapturedStdout().rfind("UNKNOWN_ERROR[26]", 0), 0u);
    EXPECT_EQ(loaded, 0);
}

TEST_F(NewsStoreTest, DeleteRemovesReadRowsOfTheUserOrRunsTheGivenText)
{
    CNewsStore store(DbFile().c_str());
    store.user = "bbb";
    ASSERT_TRUE(InsertOne(store, "read-a", 11, DaysAgo(0)));
    ASSERT_TRUE(InsertOne(store, "unread-a", 1, DaysAgo(0)));
    CNewsItem* other = MakeItem("read-b", 11, DaysAgo(0));
    other->m_class = "运单/问题/";
    ASSERT_TRUE(store.Insert(other));
    delete other;
    store.user = "ccc";
    ASSERT_TRUE(InsertOne(store, "read-c", 11, DaysAgo(0)));
    store.user = "bbb";

    ASSERT_EQ(store.Load(""), 1);
    ASSERT_EQ(store.Delete("delete from dbMsgRecord where isRead=1 and user='bbb' and class like '运单/%'"), 1);
    EXPECT_EQ(store.m_recordBox.Count(), 0);
    EXPECT_EQ(Rows("id='read-b'"), 0);
    EXPECT_EQ(Rows("id='read-a'"), 1);

    ASSERT_EQ(store.Delete(""), 1);
    EXPECT_EQ(Rows("id='read-a'"), 0);
    EXPECT_EQ(Rows("id='unread-a'"), 1);  // unread rows stay
    EXPECT_EQ(Rows("id='read-c'"), 1);    // other users' rows stay
}

TEST_F(NewsStoreTest, StatementsOfTheTipAndTheHistoryDialog)
{
    EXPECT_EQ(CNewsStore::MarkReadStatement("A B'C"), "update dbMsgRecord set isRead=1 where id='A B''C'");
    EXPECT_EQ(CNewsStore::SelectClassStatement("o'b", "运单/'x'/"),
              "select * from dbMsgRecord where user='o''b' and instr(cast(class as blob),cast('运单/''x''/' as blob))=1");
    EXPECT_EQ(CNewsStore::DeleteClassStatement("bbb", "a/"),
              "delete from dbMsgRecord where isRead=1 and user='bbb' and instr(cast(class as blob),cast('a/' as blob))=1");
    EXPECT_EQ(CNewsStore::SelectClassStatement("u", "1_0%\\/"),
              "select * from dbMsgRecord where user='u' and instr(cast(class as blob),cast('1_0%\\/' as blob))=1");

    CNewsStore store(DbFile().c_str());
    store.user = "o'b";
    const struct { const char* id; int type; const char* cls; } rows[] = {
        {"q'1", 1, "运单/'x'/子/"}, {"q2", 11, "运单/'x'/"}, {"q3", 11, "运单/y/"}, {"q4", 1, "aaa/"},
    };
    for (const auto& r : rows) {
        CNewsItem* item = MakeItem(r.id, r.type, DaysAgo(0));
        item->m_class = r.cls;
        ASSERT_TRUE(store.Insert(item));
        delete item;
    }
    ASSERT_EQ(store.Exec(CNewsStore::MarkReadStatement("q'1")), 1);
    EXPECT_EQ(Rows("id='q''1' and isRead=1"), 1);

    ASSERT_EQ(store.Load(CNewsStore::SelectClassStatement(store.user, "运单/'x'/")), 1);
    ASSERT_EQ(store.m_recordBox.Count(), 2);
    EXPECT_EQ(store.m_recordBox.ItemAt(0)->id, "q'1");
    EXPECT_EQ(store.m_recordBox.ItemAt(1)->id, "q2");

    ASSERT_EQ(store.Delete(CNewsStore::DeleteClassStatement(store.user, "运单/")), 1);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(Rows("id='q4'"), 1);
}

double Now()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

TEST_F(NewsStoreTest, ABusyDatabaseIsWaitedOn)
{
    CNewsStore store(DbFile().c_str());
    store.user = "bbb";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(DbFile().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin exclusive; insert into dbMsgRecord(id, user) values ('theirs', 'x');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread holder([other] {
        usleep(400000);
        sqlite3_exec(other, "commit", nullptr, nullptr, nullptr);
    });
    double start = Now();
    CaptureStdout();
    bool ok = InsertOne(store, "mine", 1, DaysAgo(0));
    std::string out = GetCapturedStdout();
    double waited = Now() - start;
    holder.join();
    sqlite3_close(other);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "");
    EXPECT_GE(waited, 0.3);
    EXPECT_LT(waited, 30.0);
    EXPECT_EQ(Rows("id in ('mine', 'theirs')"), 2);
}

} // namespace

namespace {

// A category path holding a LIKE wildcard or the escape byte matches only its own category, in
// a real database file: "清除" never deletes read messages of a category nobody chose.
TEST_F(NewsStoreTest, CategoryPathsMatchTheirPrefixLiterally)
{
    CNewsStore store(DbFile().c_str());
    store.user = "bbb";
    // GBK characters whose trail byte is '\\' (0x5C) or '_' (0x5F) stand beside the ASCII ones.
    const char* classes[] = {
        "a_b/",  "axb/",  "a_b/c/", "100%/", "100x/", "1000/", "a\\b/", "a\\\\b/", "ab/",
        "\x81\x5C/", "\x81\x5C\x5C/", "\x81\x5F/", "\x81\x40/",
        // Letters in another case are another category; a GBK path ending in a byte that reads
        // as a UTF-8 lead byte (务: CE F1) still finds its classes.
        "Abc/", "abc/", "业务查询/", "业务/", "",
    };
    int n = 0;
    for (const char* cls : classes) {
        for (int read = 0; read < 2; ++read) {
            // Information (type above 9) is stored read.
            CNewsItem* item = MakeItem(std::string("m") + std::to_string(n++), read ? 11 : 1, DaysAgo(0));
            item->m_class = cls;
            ASSERT_TRUE(store.Insert(item));
            delete item;
        }
    }
    const int nRows = n;
    const struct { const char* path; std::vector<std::string> matches; } cases[] = {
        {"a_b/", {"a_b/", "a_b/c/"}},
        {"100%/", {"100%/"}},
        {"a\\b/", {"a\\b/"}},
        {"\x81\x5C/", {"\x81\x5C/"}},
        {"\x81\x5F/", {"\x81\x5F/"}},
        {"a", {"a_b/", "axb/", "a_b/c/", "a\\b/", "a\\\\b/", "ab/", "abc/"}},
        {"abc/", {"abc/"}},
        {"Abc", {"Abc/"}},
        {"业务", {"业务查询/", "业务/"}},
        {"", {"a_b/", "axb/", "a_b/c/", "100%/", "100x/", "1000/", "a\\b/", "a\\\\b/", "ab/", "\x81\x5C/",
              "\x81\x5C\x5C/", "\x81\x5F/", "\x81\x40/", "Abc/", "abc/", "业务查询/", "业务/", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_EQ(store.Load(CNewsStore::SelectClassStatement(store.user, c.path)), 1);
        std::multiset<std::string> listed, expected;
        for (int i = 0; i < store.m_recordBox.Count(); ++i)
            listed.insert(store.m_recordBox.ItemAt(i)->m_class);
        for (const std::string& m : c.matches)
            expected.insert({m, m});
        EXPECT_EQ(expected, listed);
    }
    // Clearing "100%/" and "a_b/" deletes their read messages and nobody else's.
    ASSERT_EQ(store.Delete(CNewsStore::DeleteClassStatement(store.user, "100%/")), 1);
    ASSERT_EQ(store.Delete(CNewsStore::DeleteClassStatement(store.user, "a_b/")), 1);
    EXPECT_EQ(Rows(), nRows - 3);
    EXPECT_EQ(Rows("isRead=1 and class in ('100x/', '1000/', 'axb/')"), 3);
    EXPECT_EQ(Rows("class='100%/'"), 1);
    EXPECT_EQ(Rows("class='a_b/c/' and isRead=0"), 1);
}

} // namespace
