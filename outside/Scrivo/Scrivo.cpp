// Scrivo: one log file per day, "<path><prefix>YYYYMMDD.log", one line per trace:
// "YYYY-MM-DD HH:MM:SS.mmm [level] text". Lower levels are more important; a trace is written
// when its level is at most the set level. Levels from 15 up mark banners (the start of a run),
// which are always written, so a log always shows where each run began.
#include "Scrivo.h"

#include <CodePage.h>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

const int kDefaultTraceLevel = 6;  // trace without a level
const int kDefaultLogLevel = 8;
const int kBannerLevel = 15;

class CScrivoLog
{
public:
    void SetPath(const char* path)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_path = path;
        if (!m_path.empty() && m_path.back() != '/') m_path += '/';
        CloseFile();
    }

    void SetLevel(int level) { m_level = level; }

    void Init(const char* prefix)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_prefix = prefix;
        m_bInit = true;
        CloseFile();
    }

    void Write(int level, const char* format, va_list args)
    {
        if (!m_bInit || (level > m_level && level < kBannerLevel)) return;
        std::string text = Format(format, args);

        struct timeval tv;
        gettimeofday(&tv, nullptr);
        struct tm local;
        time_t secs = tv.tv_sec;
        localtime_r(&secs, &local);
        char stamp[64];
        std::snprintf(stamp, sizeof(stamp), "%04d-%02d-%02d %02d:%02d:%02d.%03d [%d] ", local.tm_year + 1900,
                      local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                      static_cast<int>(tv.tv_usec / 1000), level);
        char day[32];
        std::snprintf(day, sizeof(day), "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);

        std::string line = stamp + text;
        if (line.back() != '\n') line += '\n';

        // One write per line under the lock: lines of several threads never mix.
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_bInit) return;
        if (!m_file || m_day != day) OpenFile(day);
        if (!m_file) return;
        std::fwrite(line.data(), 1, line.size(), m_file);
        std::fflush(m_file);
    }

private:
    static std::string Format(const char* format, va_list args)
    {
        va_list copy;
        va_copy(copy, args);
        char small[512];
        int n = std::vsnprintf(small, sizeof(small), format, copy);
        va_end(copy);
        if (n < 0) return std::string();
        if (static_cast<size_t>(n) < sizeof(small)) return std::string(small, n);
        std::string big(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(&big[0], big.size(), format, args);
        big.resize(n);
        return big;
    }

    static void MakeFolders(const std::string& folder)
    {
        for (size_t pos = 1; pos <= folder.size(); ++pos) {
            if (pos == folder.size() || folder[pos] == '/') {
                std::string part = folder.substr(0, pos);
                if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return;
            }
        }
    }

    void OpenFile(const std::string& day)
    {
        CloseFile();
        // Names are ANSI (the prefix carries the account); the file system's are UTF-8.
        std::string folder = CCodePage::AnsiToUtf8(m_path);
        if (!folder.empty()) MakeFolders(folder);
        std::string name = folder + CCodePage::AnsiToUtf8(m_prefix) + day + ".log";
        m_file = std::fopen(name.c_str(), "ab");
        if (m_file) m_day = day;
    }

    void CloseFile()
    {
        if (m_file) std::fclose(m_file);
        m_file = nullptr;
        m_day.clear();
    }

    std::mutex m_lock;
    std::string m_path;
    std::string m_prefix;
    std::string m_day;
    FILE* m_file = nullptr;
    std::atomic<bool> m_bInit{false};
    std::atomic<int> m_level{kDefaultLogLevel};
};

// Never destroyed: static destructors of the program may still trace at exit.
CScrivoLog& Log()
{
    static CScrivoLog* s_log = new CScrivoLog;
    return *s_log;
}

} // namespace

namespace Scrivo {

void setLogPath(const char* path)
{
    if (path) Log().SetPath(path);
}

void setLogLevel(int level) { Log().SetLevel(level); }

void init(const char* prefix) { Log().Init(prefix ? prefix : ""); }

void trace(int level, const char* format, ...)
{
    if (!format) return;
    va_list args;
    va_start(args, format);
    Log().Write(level, format, args);
    va_end(args);
}

void trace(const char* format, ...)
{
    if (!format) return;
    va_list args;
    va_start(args, format);
    Log().Write(kDefaultTraceLevel, format, args);
    va_end(args);
}

} // namespace Scrivo
