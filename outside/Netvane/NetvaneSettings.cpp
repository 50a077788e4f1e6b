#include "NetvaneSettings.h"

#include <cmath>
#include <cstdlib>

namespace
{
// A branch office line is slow but not that slow: ten seconds to connect, thirty for a reply.
const double kDefaultConnectSeconds = 10.0;
const double kDefaultTimeoutSeconds = 30.0;

// A time-out is meant to lie between a millisecond and a day; anything else (a number too
// large for a long once in milliseconds, infinity, not a number, zero) keeps the default.
const double kMinSeconds = 0.001;
const double kMaxSeconds = 86400.0;

long SecondsFromEnv(const char* name, double fallback)
{
    double seconds = fallback;
    if (const char* text = std::getenv(name))
    {
        char* end = nullptr;
        double value = std::strtod(text, &end);
        if (end != text && value >= kMinSeconds && value <= kMaxSeconds)
            seconds = value;
    }
    return std::lround(seconds * 1000.0);
}
}

CNetvaneSettings CNetvaneSettings::FromEnvironment()
{
    CNetvaneSettings settings;
    settings.m_connectTimeoutMs = SecondsFromEnv("NETVANE_CONNECT_TIMEOUT", kDefaultConnectSeconds);
    settings.m_timeoutMs = SecondsFromEnv("NETVANE_TIMEOUT", kDefaultTimeoutSeconds);
    if (const char* ca = std::getenv("NETVANE_CA_FILE"))
        settings.m_caFile = ca;
    return settings;
}
