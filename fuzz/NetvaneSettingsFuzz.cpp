// Netvane's settings from the environment, whatever their text: every time-out is the one given
// when it is a number of seconds from a millisecond to a day, else the default.
#include <fuzzer/FuzzedDataProvider.h>
#include <cmath>
#include <map>
#include "FuzzSupport.h"
#include "NetvaneSettings.h"

namespace
{
// What a value must give: its milliseconds, or -1 for "the default".
long Expected(const std::string& text)
{
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !(seconds >= 0.001 && seconds <= 86400.0))
        return -1;
    return std::lround(seconds * 1000.0);
}

// setenv keeps every value it was ever given, which millions of runs turn into gigabytes; one
// "NAME=value" buffer per variable, handed to putenv, is reused instead.
void Set(const char* name, const std::string& value, bool bSet)
{
    static std::map<std::string, std::string> s_entries;
    unsetenv(name);
    if (!bSet)
        return;
    std::string& entry = s_entries[name];
    entry = std::string(name) + "=" + value;
    putenv(entry.data());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const uint8_t present = in.ConsumeIntegral<uint8_t>();
    const std::string connect = in.ConsumeRandomLengthString(64).c_str();
    const std::string timeout = in.ConsumeRandomLengthString(64).c_str();
    const std::string ca = in.ConsumeRemainingBytesAsString().c_str();
    Set("NETVANE_CONNECT_TIMEOUT", connect, present & 1);
    Set("NETVANE_TIMEOUT", timeout, present & 2);
    Set("NETVANE_CA_FILE", ca, present & 4);

    const CNetvaneSettings settings = CNetvaneSettings::FromEnvironment();
    const long connectMs = (present & 1) ? Expected(connect) : -1;
    const long timeoutMs = (present & 2) ? Expected(timeout) : -1;
    FUZZ_CHECK(settings.m_connectTimeoutMs == (connectMs > 0 ? connectMs : 10000));
    FUZZ_CHECK(settings.m_timeoutMs == (timeoutMs > 0 ? timeoutMs : 30000));
    FUZZ_CHECK(settings.m_caFile == ((present & 4) ? ca : std::string()));
    return 0;
}
