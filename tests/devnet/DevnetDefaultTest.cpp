// devnet on the client's compiled-in default addresses, started by the devnet_default fixture.
#include <gtest/gtest.h>

#include "NetTestUtil.h"

namespace
{
TEST(DevnetDefaultTest, ServicesAnswerOnTheDefaultAddresses)
{
    UseShortTimeouts();
    const std::string login = std::string("https://") + DEVNET_HOST_CAS + ":8443/cas3.4/login";
    std::string session, tgt;
    REQUEST_RESULT signedOn = CasSignOn(login, "demo", "velkor2026", session, tgt);
    EXPECT_EQ("success", Field(signedOn.text, "div id=\"msg\" class=\"", '"')) << signedOn.text;
    EXPECT_FALSE(tgt.empty());

    CNetvane update;
    update.AddParam("type", "xml");
    update.AddParam("version", "1.0.0.1");
    REQUEST_RESULT version = Post(update, std::string("http://") + DEVNET_HOST_UPDATE + ":81/velkor_khd/w/");
    EXPECT_NE(std::string::npos,
              version.text.find(std::string("<url>http://") + DEVNET_HOST_UPDATE + ":81/velkor_khd/w/Renewo.exe</url>"));

    CNetvane menus;
    menus.AddParam("userId", "demo");
    menus.AddParam("authId", "100000013");
    REQUEST_RESULT tree = Post(menus, std::string("http://") + DEVNET_HOST_AUTH
                                          + ":11372/velkorauth/actions/outer/user/menu.action");
    EXPECT_EQ(0u, tree.text.find("<menus><menu "));

    REQUEST_RESULT home = Get(std::string("http://") + DEVNET_HOST_WEB + "/kesta/index_cas.php");
    EXPECT_TRUE(home.hasReply);
}
}
