// The message-list reply, whatever its bytes: a reply that is refused leaves the record as it was.
#include "FuzzSupport.h"
#include "NewsItem.h"
#include "XmlReaders.h"

namespace
{
bool Same(const CNewsItem& a, const CNewsItem& b)
{
    return a.id == b.id && a.user == b.user && a.type == b.type && a.title == b.title && a.content == b.content &&
           a.remindType == b.remindType && a.url == b.url && a.m_class == b.m_class && a.occurTime == b.occurTime &&
           a.isRead == b.isRead;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CExactText reply(data, size);
    const CNewsItem fresh;
    CNewsItem item;
    if (!ParseMessageList(reply.c_str(), item))
        FUZZ_CHECK(Same(item, fresh));
    else
        FUZZ_CHECK(item.id == fresh.id && item.user == fresh.user && item.isRead == fresh.isRead);
    return 0;
}
