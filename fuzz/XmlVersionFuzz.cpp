// The update service's reply, whatever its bytes: both readers fill their fixed records within
// bounds, terminated, and refuse what they cannot hold.
#include <cstring>
#include "FuzzSupport.h"
#include "Mapform.h"

namespace
{
bool Terminated(const char* field, size_t size) { return memchr(field, '\0', size) != nullptr; }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CExactText reply(data, size);

    XML_RESPONSE* response = new XML_RESPONSE;
    std::memset(response, 0, sizeof(*response));
    if (MF_ParseXml(reply.c_str(), response))
    {
        FUZZ_CHECK(response->success == 0 || response->success == 1);
        FUZZ_CHECK(Terminated(response->code, sizeof(response->code)));
        FUZZ_CHECK(Terminated(response->message, sizeof(response->message)));
    }
    delete response;

    VERSION_INFO* version = new VERSION_INFO;
    std::memset(version, 0, sizeof(*version));
    if (MF_ParseVersion(reply.c_str(), version))
    {
        FUZZ_CHECK(version->version[0] != '\0');
        FUZZ_CHECK(Terminated(version->version, sizeof(version->version)));
        FUZZ_CHECK(Terminated(version->url, sizeof(version->url)));
    }
    delete version;
    return 0;
}
