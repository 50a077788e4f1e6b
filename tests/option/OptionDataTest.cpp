#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include "OptionCtrl.h"
#include "TestFolder.h"

namespace
{
// Every field through its getter, in record order.
std::vector<std::string> AllFields(const COptionData& d)
{
    std::vector<std::string> v = {
        d.GetHomePageUrl().str(), d.GetUserAuthorityUrl().str(), d.GetInterfaceUrl().str(), d.GetFirstLink().str(),
        d.GetQueryLink().str(), d.GetUpdateClientName().str(), d.GetUpdateClientUrl().str(), d.GetAccountLoginUrl().str(),
        d.GetAccountLogoutUrl().str(), d.GetMenuUrl().str(), d.GetMailLabelPdfUrl().str(), d.GetMailImportUrl().str(),
        d.GetFindPwdUrl().str(), d.GetSessionMsgUrl().str(), d.GetTransUrlListUrl().str(), d.GetMessageUrl().str(),
        d.GetVpnRegUrl().str(), d.GetSQVpnUrl().str(), d.GetSessionId().str(), d.GetUserNameA().str(), d.GetTGT().str(),
        d.GetDownloadPath().str(), d.GetUpdatePath().str(), d.GetTempPathA().str(), d.GetAppFullPath().str(),
        d.GetAppPath().str(), d.GetAppName().str(), d.GetPrinter().str(), d.GetGhostScriptPath().str(),
        d.GetLocalVersion().str(), d.GetClientID().str()};
    for (int n : {d.GetClientType(), d.IsFirstRun(), d.IsMiniSizeAtExit(), d.IsLargeIcons(), (int)d.GetMinuteToOff()})
        v.push_back(std::to_string(n));
    return v;
}
} // namespace

TEST(OptionData, DefaultsOfANewRecord)
{
    // The destructor is the option control's alone: this record is never destroyed.
    const COptionData& d = *new COptionData;
    const std::vector<std::string> expected = {
        "http://" PARVEL_HOST_WEB "/kesta/index_cas.php",
        "", "", "http://" PARVEL_HOST_WEB "/kesta/kesta_cas_login.php", "",
        "Renewo.exe", "", "https://" PARVEL_HOST_CAS ":8443/cas3.4/login", "https://" PARVEL_HOST_CAS ":8443/cas3.4/logout",
        "", "", "", "", "", "http://" PARVEL_HOST_WEB ":45178/kesta/notify/transition_cs_interface.php", "",
        "", "https://" PARVEL_HOST_VPN ":8443/vpn/login.html",
        "", "", "", "", "", "", "", "", "", "", "gswin32c.exe", "", "100000013",
        "1", "1", "0", "0", "10"};
    std::vector<std::string> actual = AllFields(d);
    ASSERT_EQ(expected.size(), actual.size());
    // Fields with hosts of other kinds: only their fixed scheme, port and path are checked.
    const struct
    {
        int index;
        const char* prefix;
        const char* suffix;
    } partial[] = {{1, "http://", ":11372/velkorauth/actions/outer/user/menu.action"},
                   {2, "http://", "/velkor/oos/oos_param_get.php"},
                   {4, "http://", "/kesta/gox.php"},
                   {6, "http://", ":81/velkor_khd/w/"},
                   {12, "http://", ":30088/velkorsoa/portal/login/mimazhaohui.jsp"},
                   {15, "http://", "/api/order/reverse.php"},
                   {16, "http://", ":45158/velkorvpn/actions/outer/api/option.action"}};
    for (const auto& p : partial)
    {
        const std::string& s = actual[p.index];
        EXPECT_EQ(0u, s.find(p.prefix)) << s;
        ASSERT_GT(s.size(), strlen(p.suffix));
        EXPECT_EQ(p.suffix, s.substr(s.size() - strlen(p.suffix))) << s;
        EXPECT_GT(s.size(), strlen(p.prefix) + strlen(p.suffix)) << "host missing: " << s;
        actual[p.index] = "";
    }
    EXPECT_EQ(expected, actual);
}

TEST(OptionData, SettersIgnoreEmptyTextAndZeroMinutes)
{
    CTestFolder folder;
    COptionCtrl ctrl;
    COptionData& d = COptionCtrl::GetOptionData();
    EXPECT_EQ(&d, &COptionCtrl::GetOptionData());

    ctrl.SetServerUrlInfo("first", "query", "menu", "pdf", "import", "session");
    ctrl.SetServerUrlInfo("", "", "", "", "", "");
    ctrl.SetServerUrlInfo(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_STREQ("first", d.GetFirstLink());
    EXPECT_STREQ("query", d.GetQueryLink());
    EXPECT_STREQ("menu", d.GetMenuUrl());
    EXPECT_STREQ("pdf", d.GetMailLabelPdfUrl());
    EXPECT_STREQ("import", d.GetMailImportUrl());
    EXPECT_STREQ("session", d.GetSessionMsgUrl());

    ctrl.SetLocalVersionInfo("1.2.3.4");
    ctrl.SetLocalVersionInfo("");
    EXPECT_STREQ("1.2.3.4", d.GetLocalVersion());

    const struct
    {
        int in;
        WORD expected;
    } minutes[] = {{15, 15}, {0, 15}, {65536, 15}, {65536 + 20, 20}, {-1, 65535}, {10, 10}};
    for (const auto& m : minutes)
    {
        ctrl.SetOptionInfo(m.in);
        EXPECT_EQ(m.expected, d.GetMinuteToOff()) << m.in;
    }
    EXPECT_EQ(1, ctrl.ModifyOption(nullptr));
}

TEST(OptionData, CopyEqualsItsSourceFieldByField)
{
    CTestFolder folder;
    COptionCtrl ctrl;
    ctrl.SetServerUrlInfo("a", "b", "c", "d", "e", "f");
    ctrl.SetUserInfo("用户", "sid-1", "TGT-1");
    ctrl.SetPathInfo("/opt/parvel/Parvel");
    ctrl.EnableLargeIcons(7);
    ctrl.EnableMiniSizeAtExit(3);
    ctrl.SetOptionInfo(25);
    const COptionData& src = COptionCtrl::GetOptionData();
    const COptionData& copy = *new COptionData(src);
    EXPECT_EQ(AllFields(src), AllFields(copy));
    EXPECT_EQ(7, copy.IsLargeIcons());
    EXPECT_EQ(25, copy.GetMinuteToOff());
    COptionData& assigned = *new COptionData;
    assigned = src;
    EXPECT_EQ(AllFields(src), AllFields(assigned));
    EXPECT_STREQ("用户", assigned.GetUserNameA());
}

TEST(OptionCtrl, SetPathInfoGivesTheWorkingPaths)
{
    CTestFolder folder;
    COptionCtrl ctrl;
    ctrl.SetPathInfo("/opt/parvel/bin/Parvel");
    const COptionData& d = COptionCtrl::GetOptionData();
    EXPECT_STREQ("/opt/parvel/bin/Parvel", d.GetAppFullPath());
    EXPECT_STREQ("./", d.GetAppPath());
    EXPECT_STREQ("Parvel", d.GetAppName());
    EXPECT_STREQ("./download/", d.GetDownloadPath());
    EXPECT_STREQ("./Update/", d.GetUpdatePath());
    // The label folder stands in the user's own temporary folder, and both are private.
    const std::string user = folder / ("tmp/parvel-" + std::to_string(geteuid()));
    EXPECT_EQ(user + "/pdfdownload/", d.GetTempPathA().str());
    struct stat st;
    ASSERT_EQ(0, lstat(user.c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(0700u, st.st_mode & 07777);
    ASSERT_EQ(0, lstat((user + "/pdfdownload").c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(0700u, st.st_mode & 07777);
    EXPECT_EQ(geteuid(), st.st_uid);
    ctrl.SetPathInfo("/opt/parvel/bin/Parvel"); // the folder exists now: found, not recreated
    EXPECT_EQ(0, stat((user + "/pdfdownload").c_str(), &st));
}

TEST(OptionCtrl, ALabelFolderOfAnotherKindIsLeftAlone)
{
    CTestFolder folder;
    const std::string user = folder / ("tmp/parvel-" + std::to_string(geteuid()));
    // Made first by someone else as a link to a folder of theirs: nothing is made inside it.
    mkdir((folder / "elsewhere").c_str(), 0777);
    ASSERT_EQ(0, symlink((folder / "elsewhere").c_str(), user.c_str()));
    COptionCtrl ctrl;
    ctrl.SetPathInfo("/opt/parvel/bin/Parvel");
    EXPECT_EQ(user + "/pdfdownload/", COptionCtrl::GetOptionData().GetTempPathA().str());
    struct stat st;
    EXPECT_NE(0, lstat((folder / "elsewhere/pdfdownload").c_str(), &st));
}
