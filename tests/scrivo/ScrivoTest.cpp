#include <gtest/gtest.h>

#include "Scrivo.h"
#include "PollWait.h"
#include "TestFiles.h"

#include <CodePage.h>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <set>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string Today()
{
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    char day[16];
    strftime(day, sizeof(day), "%Y%m%d", &local);
    return day;
}

std::vector<std::string> ReadLines(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "YYYY-MM-DD HH:MM:SS.mmm [level] " before the text.
bool ParseLine(const std::string& line, int* level, std::string* text)
{
    int y, mo, d, h, mi, s, ms, lv, used = 0;
    if (std::sscanf(line.c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%3d [%d] %n", &y, &mo, &d, &h, &mi, &s, &ms, &lv, &used) != 8)
        return false;
    if (used != static_cast<int>(line.find("] ") + 2)) return false;
    *level = lv;
    *text = line.substr(used);
    return true;
}

class ScrivoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = MakeTempFolder("scrivo");
        ASSERT_FALSE(m_dir.empty());
        Scrivo::setLogPath((m_dir + "/").c_str());
        Scrivo::setLogLevel(8);
        Scrivo::init("Parvel_test_");
    }
    void TearDown() override { RemoveFolder(m_dir); }

    std::string LogFile() const { return m_dir + "/Parvel_test_" + Today() + ".log"; }

    std::string m_dir;
};

TEST_F(ScrivoTest, LinesCarryStampLevelAndText)
{
    Scrivo::trace(8, "%s [%d] %05.1f", "SYSTEM START", 42, 3.25);
    Scrivo::trace("plain %s", "default");
    Scrivo::trace(1, "already ended\n");

    std::vector<std::string> lines = ReadLines(LogFile());
    ASSERT_EQ(lines.size(), 3u);
    const struct { int level; const char* text; } expected[] = {
        {8, "SYSTEM START [42] 003.2"}, {6, "plain default"}, {1, "already ended"},
    };
    for (size_t i = 0; i < 3; ++i) {
        int level = -1;
        std::string text;
        ASSERT_TRUE(ParseLine(lines[i], &level, &text)) << lines[i];
        EXPECT_EQ(level, expected[i].level);
        EXPECT_EQ(text, expected[i].text);
    }
}

// Banner levels (15 and up) pass whatever the set level is.
TEST_F(ScrivoTest, TracesAboveTheSetLevelAreDroppedButBannersPass)
{
    const struct { int set; int level; bool written; } cases[] = {
        {8, 8, true}, {8, 9, false}, {8, 14, false}, {8, 15, true}, {8, 0, true}, {3, 3, true}, {3, 4, false},
        {0, 0, true}, {0, 1, false}, {0, 15, true},
    };
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        Scrivo::setLogLevel(c.set);
        std::string text = "set " + std::to_string(c.set) + " level " + std::to_string(c.level);
        Scrivo::trace(c.level, "%s", text.c_str());
        if (c.written) expected.push_back(text);
    }
    // Without a level: written at level 8, dropped at level 5.
    Scrivo::setLogLevel(8);
    Scrivo::trace("default at 8");
    expected.push_back("default at 8");
    Scrivo::setLogLevel(5);
    Scrivo::trace("default at 5");

    std::vector<std::string> got;
    for (const std::string& line : ReadLines(LogFile())) {
        int level;
        std::string text;
        ASSERT_TRUE(ParseLine(line, &level, &text)) << line;
        got.push_back(text);
    }
    EXPECT_EQ(got, expected);
}

TEST_F(ScrivoTest, GbkBytesAreWrittenUnchanged)
{
    Scrivo::trace("导入订单：%s", "/home/张三/订单.xls");
    std::vector<std::string> lines = ReadLines(LogFile());
    ASSERT_EQ(lines.size(), 1u);
    int level;
    std::string text;
    ASSERT_TRUE(ParseLine(lines[0], &level, &text));
    EXPECT_EQ(text, "导入订单：/home/张三/订单.xls");  // GBK literal, compared byte for byte
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xB5u);  // first byte of the GBK form of 导
}

TEST_F(ScrivoTest, AccountInThePrefixNamesTheFileInUtf8)
{
    Scrivo::init("Parvel_张三");
    Scrivo::trace(2, "hello");
    std::string file = m_dir + "/" + CCodePage::AnsiToUtf8("Parvel_张三") + Today() + ".log";
    std::vector<std::string> lines = ReadLines(file);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("[2] hello"), std::string::npos);
}

TEST_F(ScrivoTest, MissingFoldersAreCreated)
{
    std::string nested = m_dir + "/a/b/log";  // no trailing slash: one is added
    Scrivo::setLogPath(nested.c_str());
    Scrivo::init("X_");
    Scrivo::trace(1, "into a new folder");
    std::vector<std::string> lines = ReadLines(nested + "/X_" + Today() + ".log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("into a new folder"), std::string::npos);
}

TEST_F(ScrivoTest, LongLinesAreWrittenWhole)
{
    std::string big(200000, 'z');
    Scrivo::trace(1, "<%s>", big.c_str());
    std::vector<std::string> lines = ReadLines(LogFile());
    ASSERT_EQ(lines.size(), 1u);
    int level;
    std::string text;
    ASSERT_TRUE(ParseLine(lines[0], &level, &text));
    EXPECT_EQ(text, "<" + big + ">");
}

TEST_F(ScrivoTest, ThreadsNeitherInterleaveNorLoseLines)
{
    const int kThreads = 8, kLines = 400;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            std::string pad(1000 + t * 97, static_cast<char>('a' + t));
            for (int i = 0; i < kLines; ++i) Scrivo::trace(4, "t%d i%d %s", t, i, pad.c_str());
        });
    }
    for (std::thread& th : threads) th.join();

    std::set<std::string> expected;
    for (int t = 0; t < kThreads; ++t) {
        std::string pad(1000 + t * 97, static_cast<char>('a' + t));
        for (int i = 0; i < kLines; ++i) expected.insert("t" + std::to_string(t) + " i" + std::to_string(i) + " " + pad);
    }
    std::set<std::string> got;
    for (const std::string& line : ReadLines(LogFile())) {
        int level;
        std::string text;
        ASSERT_TRUE(ParseLine(line, &level, &text)) << line.substr(0, 80);
        EXPECT_TRUE(got.insert(text).second) << "duplicate " << text.substr(0, 20);
    }
    EXPECT_TRUE(got == expected);
}

// Runs in a fresh copy of this program, so that nothing has called init yet.
TEST(ScrivoBeforeInitTest, TraceBeforeInitWritesNothing)
{
    if (const char* dir = std::getenv("SCRIVO_FRESH_DIR")) {
        Scrivo::trace(1, "before anything %d", 1);
        Scrivo::setLogPath(dir);
        Scrivo::setLogLevel(8);
        Scrivo::trace(1, "before init %s", "x");
        Scrivo::trace("before init");
        return;
    }
    std::string dir = MakeTempFolder("scrivo");
    ASSERT_FALSE(dir.empty());
    pid_t pid = fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
        setenv("SCRIVO_FRESH_DIR", (dir + "/").c_str(), 1);
        execl("/proc/self/exe", "scrivo_tests", "--gtest_filter=ScrivoBeforeInitTest.*", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    bool done = PollUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 20000, 50);
    if (!done) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(done);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(IsFolder(dir));
    EXPECT_EQ(FolderEntries(dir), std::set<std::string>());
    RemoveFolder(dir);
}

} // namespace
