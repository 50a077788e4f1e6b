// A server certificate made for another name is refused even from a trusted CA.
#include <gtest/gtest.h>

#include "DevnetProcess.h"
#include "NetTestUtil.h"

#include <cstdlib>
#include <ftw.h>
#include <unistd.h>

namespace
{
int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
{
    return std::remove(path);
}

// A CA and a server certificate for "other.example" only, in devnet's state folder layout.
bool MakeForeignCertificates(const std::string& dir)
{
    std::string script =
        "cd '" + dir + "' && "
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ca.key -out ca.pem "
        "-days 2 -subj '/CN=Foreign CA' -addext basicConstraints=critical,CA:TRUE "
        "-addext keyUsage=critical,keyCertSign >/dev/null 2>&1 && "
        "openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout server.key -out server.csr "
        "-subj '/CN=other.example' >/dev/null 2>&1 && "
        "printf 'subjectAltName=DNS:other.example\\n' > san.ext && "
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 "
        "-extfile san.ext >/dev/null 2>&1";
    return std::system(script.c_str()) == 0;
}

TEST(NetvaneTlsTest, CertificateForAnotherNameIsRefused)
{
    UseShortTimeouts();
    char pattern[] = "/tmp/netvane-tls-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    std::string dir = pattern;
    ASSERT_TRUE(MakeForeignCertificates(dir));
    {
        CDevnetProcess devnet({}, dir);
        ASSERT_TRUE(devnet.IsReady()) << devnet.Log();
        setenv("NETVANE_CA_FILE", (dir + "/ca.pem").c_str(), 1);

        // Plain http from the same devnet works, so only the name can be the cause.
        EXPECT_TRUE(Get(devnet.Url("http") + "/devnet/ping").hasReply);
        REQUEST_RESULT result = Get(devnet.Url("https") + "/devnet/ping");
        EXPECT_EQ(0u, result.code);
        EXPECT_FALSE(result.hasReply);
    }
    nftw(dir.c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS);
}
}
