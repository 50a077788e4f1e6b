#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include "FileApi.h"
#include "OptionFileStore.h"
#include "TestFolder.h"

namespace
{
const char kParsed[] = "  [ OptionData ] \r\n"
                       "\r\n"
                       "   MinuteToOff = 20 \r\n"
                       "FirstRun\r\n"
                       "no equals here\r\n"
                       "LocalVersion=1.2=3\r\n"
                       "Empty=\r\n"
                       "[RunTimeInfo]\r\n"
                       "UserName = 张三\r\n"
                       "[OptionData]\r\n"
                       "LargeIcons=1\r\n"
                       "[optiondata]\r\n"
                       "MiniSizeAtExit=5\n"
                       "[Broken\r\n"
                       "Key=inside broken";

std::vector<std::string> Lines(const COptionFileStore& store)
{
    std::vector<std::string> v;
    for (const CString& s : store.GetLines())
        v.push_back(s.str());
    return v;
}
} // namespace

TEST(OptionFileStore, ParsesSectionsKeysAndBlanks)
{
    CTestFolder folder;
    CTestFolder::WriteFile(folder / "VelkorOption.cfg", kParsed);
    COptionFileStore store;
    store.SetFileName("VelkorOption.cfg");
    const struct
    {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"OptionData", "MinuteToOff", "20"},
        {"OptionData", "FirstRun", "dflt"},      // a bare line is never a key
        {"OptionData", "no equals here", "dflt"},
        {"OptionData", "LocalVersion", "1.2=3"}, // split at the first "="
        {"OptionData", "Empty", ""},
        {"RunTimeInfo", "UserName", "张三"},
        {"OptionData", "LargeIcons", "dflt"},    // a later section of the same name is not searched
        {"OptionData", "minutetooff", "dflt"},   // keys compare with case
        {"optiondata", "MiniSizeAtExit", "5"},
        {"RunTimeInfo", "MinuteToOff", "dflt"},
        {"Missing", "MinuteToOff", "dflt"},
        {"optiondata", "Key", "dflt"},           // "[Broken" is still a header: it ends the section
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.expected, store.GetValue(c.section, c.key, "dflt")) << c.section << "/" << c.key;
    EXPECT_EQ(15u, store.GetLines().size());
    EXPECT_EQ("MiniSizeAtExit=5", Lines(store)[12]);
}

TEST(OptionFileStore, MissingFileKeepsTheLinesInMemory)
{
    CTestFolder folder;
    COptionFileStore store;
    store.SetFileName("VelkorOption.cfg");
    EXPECT_EQ(0, store.ReadAll());
    store.SetValue("OptionData", "MinuteToOff", "10");
    EXPECT_EQ(0, store.ReadAll());
    EXPECT_STREQ("dflt", store.GetValue("OptionData", "MinuteToOff", "dflt"));
    EXPECT_EQ((std::vector<std::string>{"[OptionData]", "MinuteToOff=10"}), Lines(store));
}

TEST(OptionFileStore, SetValueReplacesInsertsAndAppends)
{
    CTestFolder folder;
    CTestFolder::WriteFile(folder / "VelkorOption.cfg", "[OptionData]\nFirstRun=0\n\n[RunTimeInfo]\nUserName=a\n[OptionData]\nX=1\n");
    COptionFileStore store;
    store.SetFileName("VelkorOption.cfg");
    ASSERT_EQ(1, store.ReadAll());
    store.SetValue("OptionData", "FirstRun", "1");         // replaced in place
    store.SetValue("OptionData", "MinuteToOff", "15");     // the section's last line, before the next header
    store.SetValue("RunTimeInfo", "PrinterName", "PDF");   // the last section: at the end... of that section
    store.SetValue("RunTimeInfo", "UserName", "");         // a bare key
    store.SetValue("New", "Key", "v");                     // a new section at the end
    EXPECT_EQ((std::vector<std::string>{"[OptionData]", "FirstRun=1", "", "MinuteToOff=15", "[RunTimeInfo]", "UserName",
                                        "PrinterName=PDF", "[OptionData]", "X=1", "[New]", "Key=v"}),
              Lines(store));
    store.SetValue("New", "Other", "w");                   // after the file's last line
    EXPECT_EQ("Other=w", Lines(store).back());
}

TEST(OptionFileStore, WriteAllReplacesTheFileAndKeepsItHidden)
{
    CTestFolder folder;
    COptionFileStore store;
    store.SetFileName("VelkorOption.cfg");
    store.SetValue("OptionData", "MiniSizeAtExit", "0");
    store.SetValue("RunTimeInfo", "UserName", "王五");
    ASSERT_NE(0, store.WriteAll());
    EXPECT_EQ("[OptionData]\r\nMiniSizeAtExit=0\r\n[RunTimeInfo]\r\nUserName=王五\r\n",
              CTestFolder::ReadFile(folder / "VelkorOption.cfg"));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, GetFileAttributes("VelkorOption.cfg"));
    EXPECT_EQ("<missing>", CTestFolder::ReadFile(folder / "VelkorOption.cfg.new"));
    ASSERT_EQ(1, store.ReadAll());
    EXPECT_STREQ("王五", store.GetValue("RunTimeInfo", "UserName", ""));

    // A folder the process may not write in: the write is skipped, the old file stays whole.
    EXPECT_EQ(0, RunAsNobody([&] {
        store.SetValue("OptionData", "MiniSizeAtExit", "1");
        return store.WriteAll() == 0 ? 0 : 1;
    }));
    EXPECT_EQ("[OptionData]\r\nMiniSizeAtExit=0\r\n[RunTimeInfo]\r\nUserName=王五\r\n",
              CTestFolder::ReadFile(folder / "VelkorOption.cfg"));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, GetFileAttributes("VelkorOption.cfg"));
}

TEST(OptionFileStore, AWriteCutShortKeepsTheOldFile)
{
    CTestFolder folder;
    const std::string old = "[OptionData]\r\nMiniSizeAtExit=0\r\n";
    CTestFolder::WriteFile(folder / "VelkorOption.cfg", old);
    SetFileAttributes("VelkorOption.cfg", FILE_ATTRIBUTE_HIDDEN);
    COptionFileStore store;
    store.SetFileName("VelkorOption.cfg");
    ASSERT_EQ(1, store.ReadAll());
    // The file-size limit stops the write part way, as a full disk would.
    EXPECT_EQ(0, RunInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        store.SetValue("RunTimeInfo", "UserName", std::string(200, 'x').c_str());
        return store.WriteAll() == 0 ? 0 : 1;
    }));
    EXPECT_EQ(old, CTestFolder::ReadFile(folder / "VelkorOption.cfg"));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, GetFileAttributes("VelkorOption.cfg"));
    EXPECT_EQ("<missing>", CTestFolder::ReadFile(folder / "VelkorOption.cfg.new"));
}
