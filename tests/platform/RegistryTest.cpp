#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "Registry.h"
#include "TestFolder.h"

namespace
{
const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

LONG QueryString(HKEY root, const char* path, const char* name, std::string& out)
{
    HKEY h = nullptr;
    LONG rc = RegOpenKeyEx(root, path, 0, KEY_READ, &h);
    if (rc != ERROR_SUCCESS)
        return rc;
    char buf[512] = "";
    DWORD cb = sizeof(buf), type = 0;
    rc = RegQueryValueEx(h, name, nullptr, &type, (BYTE*)buf, &cb);
    RegCloseKey(h);
    if (rc == ERROR_SUCCESS)
        out.assign(buf, cb ? cb - 1 : 0);
    return rc;
}
} // namespace

TEST(Registry, ValuesRoundTripWithCaseInsensitiveNames)
{
    CTestFolder folder;
    HKEY h = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING",
                                            0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &h, &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    DWORD one = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(h, "Parvel", 0, REG_DWORD, (const BYTE*)&one, sizeof(one)));
    const char text[] = "中文值 with \"quotes\" and %25\n";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(h, "Text", 0, REG_SZ, (const BYTE*)text, sizeof(text)));
    RegCloseKey(h);

    HKEY h2 = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_CURRENT_USER, "software\\MICROSOFT\\internet explorer\\main\\featurecontrol\\feature_gpu_rendering",
                                            0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h2, &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    DWORD value = 0, cb = sizeof(value), type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(h2, "PARVEL", nullptr, &type, (BYTE*)&value, &cb));
    EXPECT_EQ(REG_DWORD, type);
    EXPECT_EQ(1u, value);
    EXPECT_EQ(4u, cb);

    // Size query, short buffer, exact read.
    cb = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueEx(h2, "text", nullptr, &type, nullptr, &cb));
    EXPECT_EQ(sizeof(text), cb);
    char small[4];
    cb = sizeof(small);
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueEx(h2, "text", nullptr, &type, (BYTE*)small, &cb));
    EXPECT_EQ(sizeof(text), cb);
    char buf[64];
    cb = sizeof(buf);
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(h2, "text", nullptr, &type, (BYTE*)buf, &cb));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_STREQ(text, buf);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueEx(h2, "missing", nullptr, &type, nullptr, &cb));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValue(h2, "Parvel"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValue(h2, "Parvel"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueEx(h2, "Parvel", nullptr, &type, nullptr, &cb));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(h2));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(h2));

    HKEY h3 = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_READ, &h3));
    EXPECT_EQ(nullptr, h3);
    // A key above an existing one exists too.
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer", 0, KEY_READ, &h3));
    RegCloseKey(h3);
}

TEST(Registry, ValueIsReadByAnotherProcess)
{
    CTestFolder folder;
    HKEY h = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Parvel\\Settings", 0, nullptr, 0, KEY_ALL_ACCESS,
                                            nullptr, &h, nullptr));
    const char text[] = "written here";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(h, "Shared", 0, REG_SZ, (const BYTE*)text, sizeof(text)));
    RegCloseKey(h);
    CHelperProcess helper({PLATFORM_HELPER, "query-hkcu", "SOFTWARE\\PARVEL\\SETTINGS", "shared"});
    EXPECT_EQ("1:written here", helper.ReadLine(10000));
    EXPECT_EQ(0, helper.Wait(10000));
}

TEST(Registry, MachineHiveNeedsAdministratorRights)
{
    CTestFolder folder;
    // As root: the machine hive is writable.
    HKEY h = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Parvel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                            &h, nullptr));
    DWORD v = 8000;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(h, "Emulation", 0, REG_DWORD, (const BYTE*)&v, 4));
    RegCloseKey(h);
    mkdir((folder / "userhive").c_str(), 0777);
    chmod((folder / "userhive").c_str(), 0777);

    int rc = RunAsNobody([] {
        HKEY k = nullptr;
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kRun, 0, KEY_ALL_ACCESS, &k) != ERROR_ACCESS_DENIED)
            return 1;
        if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Parvel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
            ERROR_ACCESS_DENIED)
            return 2;
        // Reading is allowed, writing through a read handle is not.
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Parvel", 0, KEY_READ, &k) != ERROR_SUCCESS)
            return 3;
        DWORD value = 0, cb = 4;
        if (RegQueryValueEx(k, "Emulation", nullptr, nullptr, (BYTE*)&value, &cb) != ERROR_SUCCESS || value != 8000)
            return 4;
        if (RegSetValueEx(k, "Emulation", 0, REG_DWORD, (const BYTE*)&value, 4) != ERROR_ACCESS_DENIED)
            return 5;
        RegCloseKey(k);
        // The user's own hive works.
        if (RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Parvel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return 6;
        if (RegSetValueEx(k, "Emulation", 0, REG_DWORD, (const BYTE*)&value, 4) != ERROR_SUCCESS)
            return 7;
        RegCloseKey(k);
        return 0;
    });
    EXPECT_EQ(0, rc);
}

TEST(Registry, RunValueIsAnAutostartEntry)
{
    CTestFolder folder;
    struct CASE
    {
        HKEY root;
        const char* folderName;
    } cases[] = {{HKEY_LOCAL_MACHINE, "xdg-system"}, {HKEY_CURRENT_USER, "xdg-user"}};
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.folderName);
        HKEY h = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(c.root, kRun, 0, KEY_ALL_ACCESS, &h));
        const char text[] = "./Parvel";
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(h, "Parvel", 0, REG_SZ, (const BYTE*)text, sizeof(text)));
        const std::string entry = CTestFolder::ReadFile(folder / (std::string(c.folderName) + "/parvel-run-parvel.desktop"));
        EXPECT_NE(std::string::npos, entry.find("[Desktop Entry]\n"));
        EXPECT_NE(std::string::npos, entry.find("Exec=\"" + folder.Path() + "/Parvel\"\n")) << entry;
        EXPECT_NE(std::string::npos, entry.find("Path=" + folder.Path() + "\n")) << entry;
        RegCloseKey(h);

        std::string value;
        EXPECT_EQ(ERROR_SUCCESS, QueryString(c.root, kRun, "PARVEL", value));
        EXPECT_EQ("./Parvel", value);

        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(c.root, kRun, 0, KEY_ALL_ACCESS, &h));
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteValue(h, "Parvel"));
        RegCloseKey(h);
        EXPECT_EQ("<missing>", CTestFolder::ReadFile(folder / (std::string(c.folderName) + "/parvel-run-parvel.desktop")));
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, QueryString(c.root, kRun, "Parvel", value));
    }
    // The running program named relative to a working folder that does not hold it.
    HKEY h = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, kRun, 0, KEY_ALL_ACCESS, &h));
    const char self[] = "./platform_tests";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(h, "Self", 0, REG_SZ, (const BYTE*)self, sizeof(self)));
    RegCloseKey(h);
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    ASSERT_GT(n, 0);
    const std::string entry = CTestFolder::ReadFile(folder / "xdg-user/parvel-run-self.desktop");
    EXPECT_NE(std::string::npos, entry.find("Exec=\"" + std::string(exe, (size_t)n) + "\"\n")) << entry;
    EXPECT_NE(std::string::npos, entry.find("Path=" + folder.Path() + "\n")) << entry;

    // Installed, the launcher that started the program stands for it; a launcher that is not
    // there does not.
    const std::string launcher = folder.Path() + "/bin/parvel";
    mkdir((folder.Path() + "/bin").c_str(), 0755);
    CTestFolder::WriteFile(launcher, "#!/bin/sh\n");
    chmod(launcher.c_str(), 0755);
    struct LAUNCHER
    {
        std::string env;
        std::string exec;
    } launchers[] = {{launcher, launcher},
                     {folder.Path() + "/bin/missing", std::string(exe, (size_t)n)},
                     {"bin/parvel", std::string(exe, (size_t)n)}};
    for (const LAUNCHER& l : launchers)
    {
        SCOPED_TRACE(l.env);
        setenv("PARVEL_LAUNCHER", l.env.c_str(), 1);
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, kRun, 0, KEY_ALL_ACCESS, &h));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(h, "Self", 0, REG_SZ, (const BYTE*)self, sizeof(self)));
        RegCloseKey(h);
        unsetenv("PARVEL_LAUNCHER");
        const std::string launched = CTestFolder::ReadFile(folder / "xdg-user/parvel-run-self.desktop");
        EXPECT_NE(std::string::npos, launched.find("Exec=\"" + l.exec + "\"\n")) << launched;
        EXPECT_NE(std::string::npos, launched.find("X-Parvel-Value=./platform_tests\n")) << launched;
    }

    // Without rights the machine-wide entry can be neither written nor opened for writing.
    EXPECT_EQ(0, RunAsNobody([] {
        HKEY h = nullptr;
        return RegOpenKeyEx(HKEY_LOCAL_MACHINE, kRun, 0, KEY_ALL_ACCESS, &h) == ERROR_ACCESS_DENIED ? 0 : 1;
    }));
}

TEST(Registry, LongRunValuesReadBackWhole)
{
    CTestFolder folder;
    // The tail of a value that fills a reader's line buffer must not pass for a line of its own.
    const std::string values[] = {
        std::string(8176, 'a') + "X-Parvel-Value=forged",
        std::string(8177, 'b') + "\nX-Parvel-Value=forged",
        "./Parvel " + std::string(100000, 'c'),
    };
    for (const std::string& value : values)
    {
        HKEY h = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, kRun, 0, KEY_ALL_ACCESS, &h));
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueEx(h, "Parvel", 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1));
        std::vector<char> buffer(value.size() + 16, 'x');
        DWORD cb = (DWORD)buffer.size(), type = 0;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(h, "Parvel", nullptr, &type, (BYTE*)buffer.data(), &cb));
        RegCloseKey(h);
        EXPECT_EQ(value.size() + 1, cb);
        EXPECT_EQ(value, std::string(buffer.data()));
    }
}
