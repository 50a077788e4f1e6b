// The message store's statements with whatever ids, users and category paths the server or the
// operator's choice gives: texts are stored and read back exactly, a category's rows are those
// whose class starts with its path's bytes, and clearing a category removes only that user's read
// rows of it.
#include <fuzzer/FuzzedDataProvider.h>
#include <set>
#include <vector>
#include "FuzzSupport.h"
#include "NewsStore.h"

namespace
{
struct TRow
{
    std::string id, user, cls, title;
    int type;
};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

std::set<std::string> Ids(CNewsStore& store, const std::string& sql)
{
    FUZZ_CHECK(store.Load(sql) == 1);
    std::set<std::string> ids;
    for (int i = 0; i < store.m_recordBox.Count(); ++i)
        ids.insert(store.m_recordBox.ItemAt(i)->id);
    return ids;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string user = in.ConsumeRandomLengthString(16).c_str();
    const std::string path = in.ConsumeRandomLengthString(16).c_str();

    CNewsStore store(":memory:");
    FUZZ_CHECK(store.m_db.IsOpen());
    std::vector<TRow> rows;
    const int count = in.ConsumeIntegralInRange<int>(0, 12);
    for (int i = 0; i < count; ++i)
    {
        TRow row;
        // The row's number leads the id and a separator ends it, so no two ids are alike.
        row.id = std::to_string(i) + ":" + in.ConsumeRandomLengthString(8).c_str();
        row.user = in.ConsumeBool() ? user : std::string(in.ConsumeRandomLengthString(16).c_str());
        row.cls = in.ConsumeBool() ? path + in.ConsumeRandomLengthString(8).c_str()
                                   : std::string(in.ConsumeRandomLengthString(24).c_str());
        row.title = in.ConsumeRandomLengthString(32).c_str();
        row.type = in.ConsumeBool() ? 1 : 11; // an unread task, or a read information message
        CNewsItem item;
        item.id = row.id;
        item.type = row.type;
        item.title = row.title;
        item.m_class = row.cls;
        store.user = row.user;
        FUZZ_CHECK(store.Insert(&item));
        rows.push_back(row);
    }
    store.user = user;

    // Every text comes back as it went in.
    FUZZ_CHECK(store.Load("select * from dbMsgRecord") == 1);
    FUZZ_CHECK(store.m_recordBox.Count() == (int)rows.size());
    for (int i = 0; i < store.m_recordBox.Count(); ++i)
    {
        const CNewsItem* item = store.m_recordBox.ItemAt(i);
        FUZZ_CHECK(item->id == rows[i].id && item->user == rows[i].user && item->m_class == rows[i].cls &&
                   item->title == rows[i].title && item->type == rows[i].type);
    }

    std::set<std::string> inClass, left;
    for (const TRow& r : rows)
    {
        if (r.user == user && StartsWith(r.cls, path))
            inClass.insert(r.id);
        if (!(r.user == user && r.type > 9 && StartsWith(r.cls, path)))
            left.insert(r.id);
    }
    FUZZ_CHECK(Ids(store, CNewsStore::SelectClassStatement(user, path)) == inClass);

    // Marking one message read touches that message only.
    if (!rows.empty())
    {
        const TRow& marked = rows[(size_t)in.ConsumeIntegralInRange<int>(0, (int)rows.size() - 1)];
        FUZZ_CHECK(store.Exec(CNewsStore::MarkReadStatement(marked.id)) == 1);
        FUZZ_CHECK(Ids(store, "select * from dbMsgRecord where isRead=1") ==
                   [&] {
                       std::set<std::string> read;
                       for (const TRow& r : rows)
                           if (r.type > 9 || r.id == marked.id)
                               read.insert(r.id);
                       return read;
                   }());
        if (marked.type <= 9)
        {
            left.clear();
            for (const TRow& r : rows)
                if (!(r.user == user && (r.type > 9 || r.id == marked.id) && StartsWith(r.cls, path)))
                    left.insert(r.id);
        }
    }

    FUZZ_CHECK(store.Delete(CNewsStore::DeleteClassStatement(user, path)) == 1);
    FUZZ_CHECK(Ids(store, "select * from dbMsgRecord") == left);
    return 0;
}
