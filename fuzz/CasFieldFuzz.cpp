// Field extraction from CAS replies and the bounded formatter: what they give matches a plain
// reading of the text, and nothing is written past a field or a buffer.
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include "CasClient.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string marker = in.ConsumeRandomLengthString(64);
    const char stop = in.ConsumeIntegral<char>();
    const size_t bufferSize = in.ConsumeIntegralInRange<size_t>(0, 2048);
    const std::string text = in.ConsumeRemainingBytesAsString();
    CExactText reply(text);
    CExactText mark(marker);

    // The field as a block of exactly its size.
    std::unique_ptr<char[]> field(new char[CAS_FIELD_SIZE]);
    const int found = ExtractCasField(reply.c_str(), mark.c_str(), stop, field.get());

    const std::string r = reply.c_str();
    const size_t at = r.find(mark.c_str());
    int expected = 0;
    std::string value;
    if (at != std::string::npos)
    {
        const size_t start = at + mark.size();
        const size_t end = stop ? r.find(stop, start) : r.size(); // as strchr finds a NUL
        if (end != std::string::npos)
        {
            value = r.substr(start, end - start);
            expected = value.size() < CAS_FIELD_SIZE ? 1 : -1;
        }
    }
    FUZZ_CHECK(found == expected);
    FUZZ_CHECK(found == 1 ? value == field.get() : field[0] == '\0');

    // The formatter with a buffer of exactly the size it is told.
    std::unique_ptr<char[]> buffer(new char[bufferSize ? bufferSize : 1]);
    const bool fits = FormatBounded(buffer.get(), bufferSize, "JSESSIONID=%s", reply.c_str());
    const std::string full = std::string("JSESSIONID=") + reply.c_str();
    FUZZ_CHECK(fits == (bufferSize > full.size()));
    if (fits)
        FUZZ_CHECK(full == buffer.get());
    else if (bufferSize)
        FUZZ_CHECK(buffer[0] == '\0');
    return 0;
}
