// devnet's state folder: the CA and server certificate are made once and then reused.
#include <gtest/gtest.h>

#include "DevnetProcess.h"
#include "NetTestUtil.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace
{
TEST(DevnetStateTest, CertificatesAreMadeOnceAndReused)
{
    UseShortTimeouts();
    const std::string root = MakeTempFolder("devnet-state");
    ASSERT_FALSE(root.empty());
    std::string dir = root + "/nested/state";   // made by devnet
    std::string ca, cert;
    {
        CDevnetProcess first({}, dir);
        ASSERT_TRUE(first.IsReady()) << first.Log();
        EXPECT_EQ(dir + "/ca.pem", first.CaPath());
        ca = ReadFile(dir + "/ca.pem");
        cert = ReadFile(dir + "/server.pem");
        ASSERT_EQ(0u, ca.find("-----BEGIN CERTIFICATE-----"));
        EXPECT_NE(ca, cert);
        EXPECT_TRUE(Get(first.Url("https") + "/devnet/ping").hasReply);
    }
    {
        CDevnetProcess second({}, dir);
        ASSERT_TRUE(second.IsReady()) << second.Log();
        EXPECT_EQ(ca, ReadFile(dir + "/ca.pem"));
        EXPECT_EQ(cert, ReadFile(dir + "/server.pem"));
        // Trusted through the CA a test names, by IP and by localhost.
        EXPECT_TRUE(Get(second.Url("https") + "/devnet/ping").hasReply);
        std::string byName = second.Url("https");
        byName.replace(byName.find("127.0.0.1"), 9, "localhost");
        EXPECT_TRUE(Get(byName + "/devnet/ping").hasReply);
    }
    RemoveFolder(root);
}

TEST(DevnetStateTest, CertificateNotCoveringItsAddressesIsMadeAnewByTheSameCa)
{
    UseShortTimeouts();
    const std::string dir = MakeTempFolder("devnet-state");
    ASSERT_FALSE(dir.empty());
    ASSERT_TRUE(MakeTestCertificates(dir, "DNS:other.example"));
    std::string ca = ReadFile(dir + "/ca.pem");
    std::string foreign = ReadFile(dir + "/server.pem");
    {
        CDevnetProcess devnet({}, dir);
        ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
        EXPECT_EQ(ca, ReadFile(dir + "/ca.pem"));
        EXPECT_NE(foreign, ReadFile(dir + "/server.pem"));
        EXPECT_TRUE(Get(devnet.Url("https") + "/devnet/ping").hasReply);
    }
    RemoveFolder(dir);
}

TEST(DevnetStateTest, StopsOnTermAndRefusesBadCommandLines)
{
    // A bad command line ends devnet before it listens.
    CDevnetProcess bad({"--account", "no-colon"});
    EXPECT_FALSE(bad.IsReady());
    EXPECT_NE(std::string::npos, bad.Log().find("--account wants USER:PASSWORD")) << bad.Log();

    std::string url;
    {
        CDevnetProcess devnet;
        ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
        url = devnet.Url("http") + "/devnet/ping";
        EXPECT_TRUE(Get(url).hasReply);
    }
    // Its destructor sent SIGTERM and waited: nothing answers any more.
    EXPECT_FALSE(Get(url).hasReply);
}
}
