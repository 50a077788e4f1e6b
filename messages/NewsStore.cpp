#include "NewsStore.h"

#include "CppSQLite3Exception.h"
#include "SqlTextBuffer.h"

#include <cstdio>
#include <vector>

namespace {

const char* const kCreateTable =
    "create table dbMsgRecord ( [id] varchar(128) PRIMARY KEY NOT NULL, user varchar(128), type integer, "
    "title varchar(128), content varchar(4069), remindType varchar(128), url varchar(1024), class varchar(256), "
    "occrueTime datetime, isRead integer)";

// Once the table holds more than 500 rows, every insert purges information messages older than
// a week and any message older than a month.
const char* const kCreateTrigger =
    "create trigger delete_Msg_Outmoded after insert on dbMsgRecord for each row when (select count(*) from "
    "dbMsgRecord) > 500 begin delete from dbMsgRecord where julianday(datetime('now','localtime'))-julianday("
    "occrueTime)>7 and type>=10; delete from dbMsgRecord where julianday(datetime('now','localtime'))-julianday("
    "occrueTime)>30; end;";

void Report(const CppSQLite3Exception& e)
{
    std::printf("%s", e.ErrorMessage());
    std::fflush(stdout);
}

std::string Text(CppSQLite3Query& q, int nField)
{
    const char* s = q.ColumnText(nField);
    return s ? s : "";
}

// Columns of "select *" in table order; isRead only when asked for.
CNewsItem* ReadRow(CppSQLite3Query& q, bool bWithRead)
{
    CNewsItem* pItem = new CNewsItem;
    try {
        pItem->id = Text(q, 0);
        pItem->user = Text(q, 1);
        pItem->type = q.ColumnInt(2, 0);
        pItem->title = Text(q, 3);
        pItem->content = Text(q, 4);
        pItem->remindType = Text(q, 5);
        pItem->url = Text(q, 6);
        pItem->m_class = Text(q, 7);
        pItem->occurTime = Text(q, 8);
        if (bWithRead) pItem->isRead = q.ColumnInt(9, 0);
    } catch (...) {
        delete pItem;
        throw;
    }
    return pItem;
}

} // namespace

CNewsStore::CNewsStore(const char* dbPath)
{
    try {
        m_db.Open(dbPath);
    } catch (const CppSQLite3Exception& e) {
        Report(e);
    }
    // On an existing database the table is there already: that failure also skips the trigger.
    try {
        m_db.RunStatement(kCreateTable);
        m_db.RunStatement(kCreateTrigger);
    } catch (const CppSQLite3Exception& e) {
        Report(e);
    }
}

CNewsStore::~CNewsStore()
{
    m_db.Close();
}

bool CNewsStore::Insert(const CNewsItem* pItem)
{
    if (!pItem) return false;
    CSqlTextBuffer sql;
    sql.Format("insert into dbMsgRecord(id, user, type, title, content, remindType, url, class, occrueTime, isRead) "
               "values ('%q', '%q', %d, '%q', '%q', '%q', '%q', '%q', '%q', '%d')",
               pItem->id.c_str(), user.c_str(), pItem->type, pItem->title.c_str(), pItem->content.c_str(),
               pItem->remindType.c_str(), pItem->url.c_str(), pItem->m_class.c_str(), pItem->occurTime.c_str(),
               pItem->type > 9 ? 1 : 0);
    try {
        m_db.RunStatement(sql);
        return true;
    } catch (const CppSQLite3Exception& e) {
        Report(e);
        return false;
    }
}

int CNewsStore::Load(const std::string& sql)
{
    CSqlTextBuffer byUser;
    const char* szSQL = sql.c_str();
    if (sql.empty()) szSQL = byUser.Format("select * from dbMsgRecord where user='%q'", user.c_str());

    // Rows are gathered first, so that a failure part-way leaves the record box as it was.
    std::vector<CNewsItem*> rows;
    try {
        CppSQLite3Query q = m_db.RunQuery(szSQL);
        while (!q.AtEnd()) {
            rows.push_back(ReadRow(q, true));
            q.Step();
        }
    } catch (const CppSQLite3Exception& e) {
        Report(e);
        for (CNewsItem* pItem : rows) delete pItem;
        return 0;
    }
    m_recordBox.Clear();
    for (CNewsItem* pItem : rows) m_recordBox.Append(pItem);
    return 1;
}

bool CNewsStore::LoadUnread(CNewsBox* pBox)
{
    if (!pBox) return false;
    CSqlTextBuffer sql;
    sql.Format("select * from dbMsgRecord where isRead=0 and user='%q'", user.c_str());
    try {
        CppSQLite3Query q = m_db.RunQuery(sql);
        while (!q.AtEnd()) {
            pBox->Append(ReadRow(q, false));
            q.Step();
        }
        return true;
    } catch (const CppSQLite3Exception& e) {
        Report(e);
        return false;
    }
}

int CNewsStore::Delete(const std::string& sql)
{
    CSqlTextBuffer byUser;
    const char* szSQL = sql.c_str();
    if (sql.empty()) szSQL = byUser.Format("delete from dbMsgRecord where isRead=1 and user='%q'", user.c_str());
    try {
        m_db.RunStatement(szSQL);
    } catch (const CppSQLite3Exception& e) {
        Report(e);
        return 0;
    }
    m_recordBox.Clear();
    return 1;
}

int CNewsStore::Exec(const std::string& sql)
{
    try {
        m_db.RunStatement(sql.c_str());
        return 1;
    } catch (const CppSQLite3Exception& e) {
        Report(e);
        return 0;
    }
}

std::string CNewsStore::MarkReadStatement(const std::string& id)
{
    CSqlTextBuffer sql;
    return sql.Format("update dbMsgRecord set isRead=1 where id='%q'", id.c_str());
}

// A class starts with the category path when its first bytes are the path's bytes. LIKE cannot
// say that even with its wildcards escaped: it ignores the case of ASCII letters, so "清除" of
// "Notice/" would also clear "notice/", and it reads the text as UTF-8, so a GBK path whose last
// byte looks like a UTF-8 lead byte misses its own classes ("业务" against "业务查询/"). On
// blobs, instr finds bytes (and an empty path at 1, as in an empty class).
std::string CNewsStore::SelectClassStatement(const std::string& user, const std::string& path)
{
    CSqlTextBuffer sql;
    return sql.Format("select * from dbMsgRecord where user='%q' and instr(cast(class as blob),cast('%q' as blob))=1",
                      user.c_str(), path.c_str());
}

std::string CNewsStore::DeleteClassStatement(const std::string& user, const std::string& path)
{
    CSqlTextBuffer sql;
    return sql.Format(
        "delete from dbMsgRecord where isRead=1 and user='%q' and instr(cast(class as blob),cast('%q' as blob))=1",
        user.c_str(), path.c_str());
}
