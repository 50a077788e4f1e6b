#include <gtest/gtest.h>
#include "FileApi.h"
#include "TestFolder.h"

namespace
{
// Runs the probe (a fresh process: built-in defaults, empty line store) in the current folder.
std::string Probe(std::vector<std::string> args)
{
    args.insert(args.begin(), OPTION_PROBE);
    CHelperProcess probe(args);
    std::string line = probe.ReadLine(10000);
    EXPECT_EQ(0, probe.Wait(10000));
    return line;
}

std::string Field(const std::string& state, const std::string& name)
{
    size_t pos = state.find(name + "=");
    if (pos == std::string::npos)
        return "<none>";
    pos += name.size() + 1;
    return state.substr(pos, state.find(' ', pos) - pos);
}

const char kCfg[] = "VelkorOption.cfg";
} // namespace

TEST(OptionCtrl, FirstStartCreatesTheHiddenFile)
{
    CTestFolder folder;
    std::string state = Probe({"load"});
    EXPECT_EQ("1", Field(state, "FirstRun"));
    EXPECT_EQ("10", Field(state, "MinuteToOff"));
    EXPECT_EQ("[OptionData]\r\nMiniSizeAtExit=0\r\nMinuteToOff=10\r\n", CTestFolder::ReadFile(folder / kCfg));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, GetFileAttributes(kCfg));

    // The exit marks it: FirstRun=0 joins the section.
    Probe({"load", "not-first-run"});
    EXPECT_EQ("[OptionData]\r\nMiniSizeAtExit=0\r\nMinuteToOff=10\r\nFirstRun=0\r\n", CTestFolder::ReadFile(folder / kCfg));
    EXPECT_EQ("0", Field(Probe({"load"}), "FirstRun"));
}

TEST(OptionCtrl, LoadAppliesTheFileAsTheRecordAllows)
{
    const struct
    {
        const char* file;
        const char* field;
        const char* expected;
    } cases[] = {
        {"[OptionData]\r\nMinuteToOff=15\r\n", "MinuteToOff", "15"},
        {"[OptionData]\r\nMinuteToOff=0\r\n", "MinuteToOff", "10"},
        {"[OptionData]\r\nMinuteToOff=65536\r\n", "MinuteToOff", "10"},
        {"[OptionData]\r\nMinuteToOff=65551\r\n", "MinuteToOff", "15"},
        {"[OptionData]\r\nMinuteToOff=soon\r\n", "MinuteToOff", "10"},
        {"[ OptionData ]\r\n MinuteToOff = 20 \r\n", "MinuteToOff", "20"},
        {"[OptionData]\r\nFirstRun=1\r\n", "FirstRun", "0"},
        {"[OptionData]\r\nFirstRun=\r\n", "FirstRun", "1"},
        {"[OptionData]\r\nFirstRun\r\n", "FirstRun", "1"},
        {"[OptionData]\r\nMiniSizeAtExit=1\r\nLargeIcons=-2\r\n", "LargeIcons", "-2"},
        {"[OptionData]\r\nMiniSizeAtExit=1\r\n", "MiniSizeAtExit", "1"},
        {"[OptionData]\r\nMiniSizeAtExit=yes\r\n", "MiniSizeAtExit", "0"},
        {"[OptionData]\r\nLocalVersion=1.0.0.7\r\n", "LocalVersion", "1.0.0.7"},
        {"[RunTimeInfo]\r\nUserName=李四\r\nPrinterName=PDF\r\n", "UserName", "李四"},
        {"[RunTimeInfo]\r\nUserName=李四\r\nPrinterName=PDF\r\n", "Printer", "PDF"},
        {"[OptionData]\r\nUserName=x\r\n", "UserName", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        CTestFolder folder;
        CTestFolder::WriteFile(folder / kCfg, c.file);
        EXPECT_EQ(c.expected, Field(Probe({"load"}), c.field));
        EXPECT_EQ(c.file, CTestFolder::ReadFile(folder / kCfg)); // loading writes nothing
    }
}

TEST(OptionCtrl, SetUserInfoWithAnEmptyNameKeepsTheRecordsName)
{
    CTestFolder folder;
    CTestFolder::WriteFile(folder / kCfg, "[OptionData]\r\nMinuteToOff=10\r\n[RunTimeInfo]\r\nUserName=alice\r\n");
    std::string state = Probe({"load", "user", ""});
    EXPECT_EQ("alice", Field(state, "UserName"));
    EXPECT_EQ("[OptionData]\r\nMinuteToOff=10\r\n[RunTimeInfo]\r\nUserName\r\n", CTestFolder::ReadFile(folder / kCfg));

    // The bare line is no key any more: the next name goes on a line of its own.
    state = Probe({"load", "user", "bob", "printer", "PDF"});
    EXPECT_EQ("bob", Field(state, "UserName"));
    EXPECT_EQ("[OptionData]\r\nMinuteToOff=10\r\n[RunTimeInfo]\r\nUserName\r\nUserName=bob\r\nPrinterName=PDF\r\n",
              CTestFolder::ReadFile(folder / kCfg));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, GetFileAttributes(kCfg));
}

TEST(OptionCtrl, SettingsAreWrittenAndReadBack)
{
    CTestFolder folder;
    Probe({"load", "mini", "1", "minutes", "30"});
    EXPECT_EQ("[OptionData]\r\nMiniSizeAtExit=1\r\nMinuteToOff=30\r\nFirstRun=0\r\n", CTestFolder::ReadFile(folder / kCfg));
    std::string state = Probe({"load"});
    EXPECT_EQ("1", Field(state, "MiniSizeAtExit"));
    EXPECT_EQ("30", Field(state, "MinuteToOff"));
    EXPECT_EQ("0", Field(state, "FirstRun"));
}

TEST(OptionCtrl, ReadOnlyFolderSkipsTheWriteButChangesTheRecord)
{
    CTestFolder folder;
    const char file[] = "[OptionData]\r\nMiniSizeAtExit=0\r\nMinuteToOff=10\r\n";
    CTestFolder::WriteFile(folder / kCfg, file);
    std::string state = Probe({"--as-nobody", "load", "not-first-run", "mini", "1"});
    EXPECT_EQ("0", Field(state, "FirstRun"));
    EXPECT_EQ("1", Field(state, "MiniSizeAtExit"));
    EXPECT_EQ(file, CTestFolder::ReadFile(folder / kCfg));
    EXPECT_EQ("<missing>", CTestFolder::ReadFile(folder / "VelkorOption.cfg.new"));
}

TEST(OptionCtrl, AutoRunWithAdministratorRights)
{
    CTestFolder folder;
    const std::string entry = folder / "xdg-system/parvel-run-parvel.desktop";
    EXPECT_EQ("0", Field(Probe({}), "AutoRun"));
    EXPECT_EQ("1", Field(Probe({"autorun", "1"}), "AutoRun"));
    const std::string text = CTestFolder::ReadFile(entry);
    EXPECT_NE(std::string::npos, text.find("X-Parvel-Value=./Parvel\n")) << text;
    EXPECT_NE(std::string::npos, text.find("Exec=\"" + folder.Path() + "/Parvel\"\n")) << text;
    EXPECT_EQ("1", Field(Probe({}), "AutoRun"));          // another process sees it
    EXPECT_EQ("1", Field(Probe({"autorun", "1"}), "AutoRun")); // rewritten, still there
    EXPECT_EQ("0", Field(Probe({"autorun", "0"}), "AutoRun"));
    EXPECT_EQ("<missing>", CTestFolder::ReadFile(entry));
    EXPECT_EQ("0", Field(Probe({"autorun", "0"}), "AutoRun")); // nothing to delete: nothing happens
}

TEST(OptionCtrl, AutoRunWithoutAdministratorRightsDoesNothing)
{
    CTestFolder folder;
    const std::string entry = folder / "xdg-system/parvel-run-parvel.desktop";
    EXPECT_EQ("0", Field(Probe({"--as-nobody", "autorun", "1"}), "AutoRun"));
    EXPECT_EQ("<missing>", CTestFolder::ReadFile(entry));

    Probe({"autorun", "1"});
    const std::string text = CTestFolder::ReadFile(entry);
    ASSERT_NE("<missing>", text);
    // The key cannot be opened with all access: the value reads as absent and stays.
    EXPECT_EQ("0", Field(Probe({"--as-nobody", "autorun", "0"}), "AutoRun"));
    EXPECT_EQ(text, CTestFolder::ReadFile(entry));
}

TEST(OptionCtrl, ANulInALineLosesNoSetting)
{
    // The header of the user's section holds a NUL: a save and the next load keep the user
    // name and the printer.
    const std::string file("[OptionData]\r\nMinuteToOff=15\r\n[RunTimeInfo\0]\r\nUserName=李四\r\nPrinter\0Name=PDF\0\r\n",
                           sizeof("[OptionData]\r\nMinuteToOff=15\r\n[RunTimeInfo\0]\r\nUserName=李四\r\nPrinter\0Name=PDF\0\r\n") - 1);
    ASSERT_NE(std::string::npos, file.find('\0'));
    CTestFolder folder;
    CTestFolder::WriteFile(folder / kCfg, file);
    std::string state = Probe({"load", "minutes", "20"});
    EXPECT_EQ("李四", Field(state, "UserName"));
    EXPECT_EQ("PDF", Field(state, "Printer"));
    state = Probe({"load"});
    EXPECT_EQ("20", Field(state, "MinuteToOff"));
    EXPECT_EQ("李四", Field(state, "UserName"));
    EXPECT_EQ("PDF", Field(state, "Printer"));
    EXPECT_EQ(std::string::npos, CTestFolder::ReadFile(folder / kCfg).find('\0'));
}
