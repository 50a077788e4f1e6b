#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <set>
#include "FileApi.h"
#include "FileFind.h"
#include "SystemInfo.h"
#include "TestFolder.h"

TEST(FileAttributes, HiddenThroughTheFolderList)
{
    CTestFolder folder;
    CTestFolder::WriteFile(folder / "VelkorOption.cfg", "x");
    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributes("VelkorOption.cfg"));
    ASSERT_TRUE(SetFileAttributes("VelkorOption.cfg", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, GetFileAttributes("VelkorOption.cfg"));
    EXPECT_EQ("VelkorOption.cfg\n", CTestFolder::ReadFile(folder / ".hidden"));

    ASSERT_TRUE(CreateDirectory("./log/", nullptr));
    EXPECT_FALSE(CreateDirectory("./log/", nullptr));
    EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
    EXPECT_FALSE(CreateDirectory("./no/such/log/", nullptr));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
    DWORD dw = GetFileAttributes("./log/");
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, dw);
    ASSERT_TRUE(SetFileAttributes("./log/", dw | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, GetFileAttributes("./log"));
    EXPECT_EQ("VelkorOption.cfg\nlog\n", CTestFolder::ReadFile(folder / ".hidden"));

    ASSERT_TRUE(SetFileAttributes("VelkorOption.cfg", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributes("VelkorOption.cfg"));
    EXPECT_EQ("log\n", CTestFolder::ReadFile(folder / ".hidden"));

    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributes("missing.cfg"));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_FALSE(SetFileAttributes("missing.cfg", FILE_ATTRIBUTE_HIDDEN));
}

TEST(FileAttributes, DeletedFileTakesItsHiddenMarkAlong)
{
    CTestFolder folder;
    CTestFolder::WriteFile(folder / "a.pdf", "x");
    SetFileAttributes("a.pdf", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(PathFileExists("a.pdf"));
    ASSERT_TRUE(DeleteFile("a.pdf"));
    EXPECT_FALSE(PathFileExists("a.pdf"));
    EXPECT_FALSE(DeleteFile("a.pdf"));
    CTestFolder::WriteFile(folder / "a.pdf", "y");
    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributes("a.pdf"));
}

// A list written by someone else may hold a line longer than any buffer, or a NUL: such a line is
// one entry, names no other file, and survives the next change of the list byte for byte.
TEST(FileAttributes, HiddenListLinesAreReadWhole)
{
    CTestFolder folder;
    CTestFolder::WriteFile(folder / "a.pdf", "x");
    CTestFolder::WriteFile(folder / "b.pdf", "x");
    const std::string longLine = std::string(4095, 'x') + "a.pdf";
    const std::string withNul = std::string("b.pdf\0tail", 10);
    const std::string list = longLine + "\n" + withNul + "\n";
    CTestFolder::WriteFile(folder / ".hidden", list);

    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributes("a.pdf"));
    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributes("b.pdf"));
    ASSERT_TRUE(SetFileAttributes("a.pdf", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(list + "a.pdf\n", CTestFolder::ReadFile(folder / ".hidden"));
    ASSERT_TRUE(SetFileAttributes("a.pdf", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(list, CTestFolder::ReadFile(folder / ".hidden"));
}

TEST(FileFind, PatternsAndTheFolderItself)
{
    CTestFolder folder;
    mkdir((folder / "Update").c_str(), 0755);
    mkdir((folder / "Update/sub").c_str(), 0755);
    CTestFolder::WriteFile(folder / "Update/Renewo.exe", "1");
    CTestFolder::WriteFile(folder / "Update/readme", "2");
    CTestFolder::WriteFile(folder / "Update/old.PDF", "3");

    struct CASE
    {
        const char* pattern;
        std::set<std::string> names;
    } cases[] = {
        {"./Update/*.*", {".", "..", "sub", "Renewo.exe", "readme", "old.PDF"}},
        {"./Update/*.pdf", {"old.PDF"}},
        {"./Update/R?newo.*", {"Renewo.exe"}},
        {"./Update/readme", {"readme"}},
        {"./Update/", {"Update"}},
        {"./Update/sub/", {"sub"}},
        {"./Update/readme/", {}},
        {"./Nothing/", {}},
        {"./Update/*.txt", {}},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pattern);
        std::set<std::string> found;
        WIN32_FIND_DATA fd;
        HANDLE h = FindFirstFile(c.pattern, &fd);
        if (h != INVALID_HANDLE_VALUE)
        {
            do
                found.insert(fd.cFileName);
            while (FindNextFile(h, &fd));
            EXPECT_EQ((DWORD)ERROR_NO_MORE_FILES, GetLastError());
            EXPECT_TRUE(FindClose(h));
        }
        else
            EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
        EXPECT_EQ(c.names, found);
    }

    // The framework's walk: FindNextFile before each entry; files deleted, folders and dots kept.
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile("./Update/*.*"));
    BOOL bMore = TRUE;
    std::set<std::string> dirs;
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (finder.IsDirectory())
        {
            dirs.insert((const char*)finder.GetFileName());
            EXPECT_EQ(finder.IsDots() != 0, finder.GetFileName() == "." || finder.GetFileName() == "..");
            continue;
        }
        EXPECT_EQ(CString("./Update/") + finder.GetFileName(), finder.GetFilePath());
        EXPECT_TRUE(DeleteFile(finder.GetFilePath()));
    }
    finder.Close();
    EXPECT_EQ((std::set<std::string>{".", "..", "sub"}), dirs);
    EXPECT_FALSE(PathFileExists("./Update/readme"));

    ASSERT_TRUE(finder.FindFile("./Update/"));
    finder.FindNextFile();
    EXPECT_TRUE(finder.IsDirectory());
    EXPECT_FALSE(finder.IsDots());
    EXPECT_STREQ("./Update", finder.GetFilePath());
    EXPECT_FALSE(finder.FindFile("./pdfdownload/"));
}

TEST(Paths, SplitPath)
{
    struct CASE
    {
        const char* path;
        const char* dir;
        const char* name;
        const char* ext;
    } cases[] = {
        {"/opt/parvel/bin/Parvel", "/opt/parvel/bin/", "Parvel", ""},
        {"/opt/parvel/Parvel.exe", "/opt/parvel/", "Parvel", ".exe"},
        {"Parvel.tar.gz", "", "Parvel.tar", ".gz"},
        {"./dir.d/file", "./dir.d/", "file", ""},
        {"/root/", "/root/", "", ""},
        {"", "", "", ""},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.path);
        char drive[3] = "x", dir[260] = "x", name[256] = "x", ext[256] = "x";
        EXPECT_EQ(0, _splitpath_s(c.path, drive, 3, dir, 260, name, 256, ext, 256));
        EXPECT_STREQ("", drive);
        EXPECT_STREQ(c.dir, dir);
        EXPECT_STREQ(c.name, name);
        EXPECT_STREQ(c.ext, ext);
    }
    // A part longer than its buffer: nothing is written past it, every part comes back empty.
    char drive[3], dir[8] = "x", name[256] = "x", ext[256] = "x";
    EXPECT_EQ(ERANGE, _splitpath_s("/a/long/folder/name", drive, 3, dir, sizeof(dir), name, 256, ext, 256));
    EXPECT_STREQ("", dir);
    EXPECT_STREQ("", name);
}

TEST(Paths, TempPathAndModuleFileName)
{
    CTestFolder folder;
    const std::string user = "parvel-" + std::to_string(geteuid()) + "/";
    char buf[260];
    DWORD n = GetTempPath(sizeof(buf), buf);
    EXPECT_EQ(folder / "tmp/" + user, std::string(buf));
    EXPECT_EQ(strlen(buf), n);
    EXPECT_EQ(n + 1, GetTempPath(3, buf)); // too small: the size needed
    setenv("TMPDIR", "/var/tmp/", 1);
    GetTempPath(sizeof(buf), buf);
    EXPECT_EQ("/var/tmp/" + user, std::string(buf));
    unsetenv("TMPDIR");
    GetTempPath(sizeof(buf), buf);
    EXPECT_EQ("/tmp/" + user, std::string(buf));
    // The user's runtime folder is the user's own already.
    setenv("XDG_RUNTIME_DIR", (folder / "run").c_str(), 1);
    GetTempPath(sizeof(buf), buf);
    EXPECT_EQ(folder / "run/", std::string(buf));
    setenv("XDG_RUNTIME_DIR", "relative/run", 1);  // not a runtime folder
    GetTempPath(sizeof(buf), buf);
    EXPECT_EQ("/tmp/" + user, std::string(buf));
    unsetenv("XDG_RUNTIME_DIR");

    char path[MAX_PATH];
    DWORD len = GetModuleFileName(nullptr, path, sizeof(path));
    ASSERT_GT(len, 0u);
    EXPECT_EQ('/', path[0]);
    EXPECT_STREQ("platform_tests", strrchr(path, '/') + 1);
    char tiny[5];
    EXPECT_EQ(5u, GetModuleFileName(nullptr, tiny, sizeof(tiny)));
    EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(4u, strlen(tiny));
}

TEST(Paths, PrivateFolderIsTheUsersAlone)
{
    CTestFolder folder;
    struct CASE
    {
        const char* name;
        std::function<void(const std::string&)> prepare;
        BOOL bPrivate;
        mode_t mode;  // after the call, when private
    } cases[] = {
        {"missing", [](const std::string&) {}, TRUE, 0700},
        {"own and private", [](const std::string& p) { mkdir(p.c_str(), 0700); }, TRUE, 0700},
        {"own, others may read", [](const std::string& p) { mkdir(p.c_str(), 0755); chmod(p.c_str(), 0755); }, TRUE, 0700},
        {"own, others may write", [](const std::string& p) { mkdir(p.c_str(), 0777); chmod(p.c_str(), 01777); }, TRUE, 0700},
        {"symbolic link to an own folder", [&](const std::string& p) {
             mkdir((folder / "target").c_str(), 0700);
             ASSERT_EQ(0, symlink((folder / "target").c_str(), p.c_str()));
         }, FALSE, 0},
        {"a file", [](const std::string& p) { fclose(fopen(p.c_str(), "w")); }, FALSE, 0},
        {"another user's", [](const std::string& p) {
             mkdir(p.c_str(), 0700);
             if (chown(p.c_str(), geteuid() + 4242, getegid()) != 0)
                 GTEST_SKIP() << "only root can give a folder away";
         }, FALSE, 0},
    };
    int n = 0;
    for (const CASE& c : cases)
    {
        const std::string path = folder / ("case" + std::to_string(n++));
        c.prepare(path);
        if (HasFatalFailure() || IsSkipped())
            return;
        SetLastError(0);
        EXPECT_EQ(c.bPrivate, CreatePrivateDirectory((path + "/").c_str())) << c.name;
        struct stat st = {};
        if (c.bPrivate)
        {
            ASSERT_EQ(0, lstat(path.c_str(), &st)) << c.name;
            EXPECT_TRUE(S_ISDIR(st.st_mode)) << c.name;
            EXPECT_EQ(c.mode, st.st_mode & 07777) << c.name;
        }
        else
            EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError()) << c.name;
    }
    // A folder that cannot be made: its parent is missing.
    EXPECT_FALSE(CreatePrivateDirectory((folder / "no/such/folder").c_str()));
}
