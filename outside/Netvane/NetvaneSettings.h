// Time-outs and the extra CA file of Netvane, read from the environment once per request.
#pragma once

#include <string>

struct CNetvaneSettings
{
    long m_connectTimeoutMs;   // connecting, every request and download
    long m_timeoutMs;          // whole request; for downloads the stall limit instead
    std::string m_caFile;      // extra CA file beside the system store, or empty

    static CNetvaneSettings FromEnvironment();
};
