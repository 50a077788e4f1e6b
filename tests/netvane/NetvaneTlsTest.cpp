// A server certificate made for another name is refused even from a trusted CA.
#include <gtest/gtest.h>

#include "DevnetProcess.h"
#include "NetTestUtil.h"

#include <cstdlib>
#include <unistd.h>

namespace
{
TEST(NetvaneTlsTest, CertificateForAnotherNameIsRefused)
{
    UseShortTimeouts();
    const std::string dir = MakeTempFolder("netvane-tls");
    ASSERT_FALSE(dir.empty());
    ASSERT_TRUE(MakeTestCertificates(dir, "IP:127.0.0.1"));   // not the name localhost
    {
        CDevnetProcess devnet({}, dir);
        ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
        setenv("NETVANE_CA_FILE", (dir + "/ca.pem").c_str(), 1);

        // The same server by the address the certificate names is trusted, so only the name
        // can be the cause of the refusal.
        std::string byAddress = devnet.Url("https");
        EXPECT_TRUE(Get(byAddress + "/devnet/ping").hasReply);
        std::string byName = byAddress;
        byName.replace(byName.find("127.0.0.1"), 9, "localhost");
        REQUEST_RESULT result = Get(byName + "/devnet/ping");
        EXPECT_EQ(0u, result.code);
        EXPECT_FALSE(result.hasReply);
    }
    RemoveFolder(dir);
}
}
