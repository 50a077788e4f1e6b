// The CAS sign-on, revalidation and authority calls against a server whose replies are the
// input: every result is one the callers know, every string handed out is whole and owned, and
// nothing leaks whatever the server says.
#include <fuzzer/FuzzedDataProvider.h>
#include <cstring>
#include "CasClient.h"
#include "FuzzSupport.h"
#include "RawHttpServer.h"

namespace
{
CRawHttpServer* g_server = nullptr;

std::string Reply(FuzzedDataProvider& in) { return "HTTP/1.1 " + in.ConsumeRandomLengthString(4096); }
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A request that hangs would stall the run: the server always answers, this bounds the rest.
    setenv("NETVANE_TIMEOUT", "5", 1);
    setenv("NETVANE_CONNECT_TIMEOUT", "5", 1);
    g_server = new CRawHttpServer;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string loginUrl = g_server->Url("/cas/login");
    const uint8_t which = in.ConsumeIntegral<uint8_t>();
    std::deque<std::string> replies;
    for (int i = 0; i < 2; ++i)
        replies.push_back(Reply(in));
    g_server->SetReplies(replies);

    switch (which % 3)
    {
    case 0:
    {
        char* sessionId = nullptr;
        // The caller's ticket block from an earlier sign-on, or none.
        char* tgt = (which & 4) ? strdup("TGT-old") : nullptr;
        const int result = CAS_login(loginUrl.c_str(), "user", "secret", &sessionId, &tgt);
        FUZZ_CHECK(result == 1 || result == -1 || result == -2);
        if (result == 1)
        {
            FUZZ_CHECK(sessionId && tgt);
            FUZZ_CHECK(std::strlen(sessionId) < CAS_FIELD_SIZE && std::strlen(tgt) < CAS_FIELD_SIZE);
        }
        else
            FUZZ_CHECK(!sessionId);
        std::free(sessionId);
        std::free(tgt);
        break;
    }
    case 1:
    {
        char sessionId[] = "ABC123";
        char tgt[] = "TGT-1-xyz";
        const int result = CAS_serviceValidate(loginUrl.c_str(), "http://127.0.0.1/service", sessionId, tgt);
        FUZZ_CHECK(result == 0 || result == 1);
        break;
    }
    default:
    {
        char* response = (which & 4) ? strdup("earlier") : nullptr;
        const bool loaded = LoadUserAuthority(g_server->Url("/auth").c_str(), "user", "1", &response);
        if (loaded)
            FUZZ_CHECK(response != nullptr);
        std::free(response);
        break;
    }
    }
    return 0;
}
