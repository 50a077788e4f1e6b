// The trans-URL list reply, whatever its bytes: the list grows by exactly the count given back,
// or neither changes.
#include <vector>
#include "FuzzSupport.h"
#include "XmlReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CExactText reply(data, size);
    std::vector<std::string> list{"kept"};
    int count = -7;
    ParseTransUrlList(reply.c_str(), list, count);
    if (count == -7)
        FUZZ_CHECK(list.size() == 1);
    else
        FUZZ_CHECK(count >= 1 && list.size() == 1 + (size_t)count);
    FUZZ_CHECK(list[0] == "kept");
    return 0;
}
