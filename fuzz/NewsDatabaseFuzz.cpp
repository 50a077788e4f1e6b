// A message database file of any bytes (damaged, foreign, or made to harm): the store opens it,
// reads, writes and clears through it with failures reported, never a crash or a leak.
#include "FuzzSupport.h"
#include "NewsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = ScratchFolder() + "/msg.db";
    unlink((path + "-journal").c_str());
    WriteWhole(path, data, size);
    {
        CNewsStore store(path.c_str());
        store.user = "demo";
        store.Load("");
        CNewsBox unread;
        store.LoadUnread(&unread);
        for (int i = 0; i < unread.Count(); ++i)
            FUZZ_CHECK(unread.ItemAt(i) != nullptr);
        CNewsItem item;
        item.id = "fuzz-1";
        item.title = "title";
        item.type = 1;
        store.Insert(&item);
        store.Exec(CNewsStore::MarkReadStatement("fuzz-1"));
        store.Load(CNewsStore::SelectClassStatement("demo", "aaa/"));
        store.Delete("");
        store.Delete(CNewsStore::DeleteClassStatement("demo", "aaa/"));
    }
    return 0;
}
