// Time-outs from the environment: out-of-range values are refused and the default kept.
#include <gtest/gtest.h>

#include <cstdlib>
#include "NetvaneSettings.h"

namespace {

TEST(NetvaneSettingsTest, OutOfRangeTimeOutsKeepTheDefault)
{
    const struct { const char* text; long ms; } cases[] = {
        { "4E44", 30000 }, { "1e300", 30000 }, { "inf", 30000 }, { "-inf", 30000 }, { "nan", 30000 },
        { "0", 30000 },    { "-5", 30000 },    { "0.0001", 30000 }, { "86401", 30000 }, { "soon", 30000 },
        { "", 30000 },     { "0.001", 1 },     { "2.5", 2500 },    { "45", 45000 },   { "86400", 86400000 },
    };
    for (const auto& c : cases)
    {
        setenv("NETVANE_TIMEOUT", c.text, 1);
        setenv("NETVANE_CONNECT_TIMEOUT", c.text, 1);
        CNetvaneSettings settings = CNetvaneSettings::FromEnvironment();
        EXPECT_EQ(c.ms, settings.m_timeoutMs) << c.text;
        EXPECT_EQ(c.ms == 30000 ? 10000 : c.ms, settings.m_connectTimeoutMs) << c.text;
    }
    unsetenv("NETVANE_TIMEOUT");
    unsetenv("NETVANE_CONNECT_TIMEOUT");
    EXPECT_EQ(30000, CNetvaneSettings::FromEnvironment().m_timeoutMs);
    EXPECT_EQ(10000, CNetvaneSettings::FromEnvironment().m_connectTimeoutMs);
}

} // namespace
