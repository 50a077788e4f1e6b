// CNetvane's downloads: progress, the file appearing only when complete, failures, giving up.
#include <gtest/gtest.h>

#include "DevnetSuite.h"
#include "Netvane.h"
#include "NetTestUtil.h"
#include "PollWait.h"

#include <atomic>
#include <functional>
#include <thread>   // brings the clocks; <chrono> itself does not build with GBK literals
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
struct PROGRESS_LOG
{
    std::mutex lock;
    std::vector<std::pair<double, double>> calls;   // total, done
    CNetvane* abandonFrom = nullptr;                 // CloseFile once data arrived
};

int RecordProgress(void* context, double total, double done)
{
    PROGRESS_LOG* log = static_cast<PROGRESS_LOG*>(context);
    std::lock_guard<std::mutex> guard(log->lock);
    log->calls.emplace_back(total, done);
    return 0;
}

class NetvaneDownloadTest : public CDevnetSuite<NetvaneDownloadTest>
{
protected:
    static void SetUpTestSuite()
    {
        UseShortTimeouts();
        CDevnetSuite::SetUpTestSuite();
    }
    void SetUp() override
    {
        CDevnetSuite::SetUp();
        if (HasFatalFailure())
            return;
        UseShortTimeouts();
        m_folder = MakeTempFolder("netvane-dl");
        ASSERT_FALSE(m_folder.empty());
        m_target = m_folder + "/file.bin";
    }
    void TearDown() override { RemoveFolder(m_folder); }

    static std::string Http(const std::string& path) { return s_devnet->Url("http") + path; }
    static std::string Expected(size_t size)
    {
        std::string bytes(size, 'a');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>('a' + i % 26);
        return bytes;
    }

    std::string m_folder;
    std::string m_target;
};

TEST_F(NetvaneDownloadTest, WholeFileArrivesWithSensibleProgress)
{
    const size_t size = 300000;
    for (bool extended : {false, true})
    {
        PROGRESS_LOG log;
        CNetvane net;
        std::string url = Http("/devnet/file?size=" + std::to_string(size) + "&chunk=20000&delay_ms=5");
        bool ok = extended ? net.DownloadFile_GetEx(url.c_str(), m_target.c_str(), (void*)RecordProgress, &log)
                           : net.DownloadFile_Get(url.c_str(), m_target.c_str(), (void*)RecordProgress, &log);
        ASSERT_TRUE(ok);
        EXPECT_EQ(Expected(size), ReadFile(m_target));
        EXPECT_EQ("file.bin ", ListFolder(m_folder));

        ASSERT_GE(log.calls.size(), 2u);   // reported as data arrives, not only at the end
        double lastDone = 0.0;
        for (const auto& call : log.calls)
        {
            EXPECT_EQ(static_cast<double>(size), call.first);
            EXPECT_GE(call.second, lastDone);
            EXPECT_LE(call.second, call.first);
            lastDone = call.second;
        }
        EXPECT_EQ(log.calls.back().first, log.calls.back().second);
        std::remove(m_target.c_str());
    }
}

TEST_F(NetvaneDownloadTest, NoCallbackIsFine)
{
    CNetvane net;
    ASSERT_TRUE(net.DownloadFile_Get(Http("/devnet/file?size=10").c_str(), m_target.c_str(), nullptr, nullptr));
    EXPECT_EQ(Expected(10), ReadFile(m_target));
}

TEST_F(NetvaneDownloadTest, EmptyFileIsAWholeFile)
{
    PROGRESS_LOG log;
    CNetvane net;
    ASSERT_TRUE(net.DownloadFile_Get(Http("/devnet/file?size=0").c_str(), m_target.c_str(), (void*)RecordProgress, &log));
    EXPECT_TRUE(FileExists(m_target));
    EXPECT_EQ("", ReadFile(m_target));
}

TEST_F(NetvaneDownloadTest, FailedDownloadLeavesNoFile)
{
    CSilentServer silent;
    const std::string cases[] = {
        Http("/devnet/status?code=404"),
        Http("/devnet/status?code=500"),
        Http("/devnet/file?size=200000&chunk=10000&cut=50000"),   // connection drops midway
        "http://127.0.0.1:" + std::to_string(FreePort()) + "/file",
        "http://127.0.0.1:" + std::to_string(silent.Port()) + "/file",
    };
    UseShortTimeouts("2", "1");
    for (const std::string& url : cases)
    {
        auto start = std::chrono::steady_clock::now();
        CNetvane net;
        EXPECT_FALSE(net.DownloadFile_Get(url.c_str(), m_target.c_str(), nullptr, nullptr)) << url;
        EXPECT_FALSE(FileExists(m_target)) << url;
        EXPECT_EQ("", ListFolder(m_folder)) << url;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << url;
    }
}

TEST_F(NetvaneDownloadTest, MissingTargetFolderFails)
{
    CNetvane net;
    std::string target = m_folder + "/no/such/folder/file.bin";
    EXPECT_FALSE(net.DownloadFile_Get(Http("/devnet/file?size=10").c_str(), target.c_str(), nullptr, nullptr));
    EXPECT_FALSE(FileExists(target));
}

TEST_F(NetvaneDownloadTest, CloseFileGivesUpARunningDownload)
{
    CNetvane net;
    std::atomic<bool> result{true};
    std::atomic<bool> finished{false};
    std::string url = Http("/devnet/file?size=1000000&chunk=1000&delay_ms=20");   // some 20 s
    std::thread download([&] {
        result = net.DownloadFile_GetEx(url.c_str(), m_target.c_str(), nullptr, nullptr);
        finished = true;
    });
    // Running: its partial file is there.
    EXPECT_TRUE(PollUntil([&] { return finished || !ListFolder(m_folder).empty(); }, 10000));
    EXPECT_FALSE(finished);
    net.CloseFile();
    bool stopped = PollUntil([&] { return finished.load(); }, 5000);
    if (!stopped)
        download.detach();   // keeps the suite from hanging; the expectation below fails
    else
        download.join();
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(result);
    EXPECT_EQ("", ListFolder(m_folder));
}

TEST_F(NetvaneDownloadTest, CloseFileGivesUpOnlyTheDownloadThatRuns)
{
    // Called while no download of the object runs, it leaves the next one alone.
    const struct
    {
        const char* name;
        std::function<void(CNetvane&)> before;
    } cases[] = {
        {"a new object", [](CNetvane&) {}},
        {"after a finished download",
         [&](CNetvane& net) {
             ASSERT_TRUE(net.DownloadFile_Get(Http("/devnet/file?size=10").c_str(), m_target.c_str(), nullptr, nullptr));
         }},
        {"after a failed download",
         [&](CNetvane& net) {
             ASSERT_FALSE(net.DownloadFile_Get(Http("/devnet/status?code=404").c_str(), m_target.c_str(), nullptr, nullptr));
         }},
    };
    for (const auto& c : cases)
    {
        CNetvane net;
        c.before(net);
        unlink(m_target.c_str());
        net.CloseFile();
        net.CloseFile();
        EXPECT_TRUE(net.DownloadFile_Get(Http("/devnet/file?size=5000").c_str(), m_target.c_str(), nullptr, nullptr))
            << c.name;
        EXPECT_EQ(Expected(5000), ReadFile(m_target)) << c.name;
    }
}
}
