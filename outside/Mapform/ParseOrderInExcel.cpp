// An order sheet: the first worksheet of a .xls (BIFF) file as UTF-8 JSON text, an array of
// rows, each an array of cell texts. FreeXL reads the sheet in a child process (mapform-sheet)
// with limits on memory and time: the file comes from the operator's mail and disks, and a fault
// of the library on a crafted one must end the child, not the client.
#include "Mapform.h"

#include <CodePage.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

// The sanitized builds reserve more address space than any memory limit allows. gcc names
// them by macros, clang only by __has_feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MAPFORM_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define MAPFORM_SANITIZED 1
#endif
#endif

namespace {

// Far above what an order sheet needs, far below what hurts the machine.
const rlim_t kMemoryLimit = 1024ull * 1024 * 1024;
const rlim_t kCpuSeconds = 30;
const int kWallMilliseconds = 60000;
const size_t kMaxOutput = 256u * 1024 * 1024;

bool IsFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The client hands over an ANSI (GBK) path; the file system names are UTF-8.
std::string FileName(const char* path)
{
    std::string utf8 = CCodePage::AnsiToUtf8(path);
    if (IsFile(utf8)) return utf8;
    return path;
}

// The reader program stands beside this library.
std::string ReaderPath()
{
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void*>(&MF_ParseOrderInExcel), &info) || !info.dli_fname) return std::string();
    std::string lib = info.dli_fname;
    size_t slash = lib.rfind('/');
    return (slash == std::string::npos ? std::string(".") : lib.substr(0, slash)) + "/mapform-sheet";
}

long long NowMs()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

// Runs the reader on the file; true with its whole output when it ended well in time.
bool RunReader(const std::string& reader, const std::string& file, std::string& out)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    const char* argv[] = { reader.c_str(), file.c_str(), nullptr };
    pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // Only async-signal-safe calls until exec: the client has threads.
        int null = open("/dev/null", O_RDWR);
        if (null >= 0) dup2(null, 0);
        dup2(fds[1], 1);
        close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
#if !defined(MAPFORM_SANITIZED)
        struct rlimit mem = { kMemoryLimit, kMemoryLimit };
        setrlimit(RLIMIT_AS, &mem);
#endif
        struct rlimit cpu = { kCpuSeconds, kCpuSeconds };
        setrlimit(RLIMIT_CPU, &cpu);
        struct rlimit core = { 0, 0 };
        setrlimit(RLIMIT_CORE, &core);
        signal(SIGPIPE, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execv(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    close(fds[1]);

    bool ok = true;
    long long deadline = NowMs() + kWallMilliseconds;
    char buf[65536];
    for (;;) {
        long long left = deadline - NowMs();
        if (left <= 0) { ok = false; break; }
        struct pollfd pfd = { fds[0], POLLIN, 0 };
        int r = poll(&pfd, 1, (int)left);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) { ok = false; break; }
        ssize_t n = read(fds[0], buf, sizeof(buf));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (out.size() + (size_t)n > kMaxOutput) { ok = false; break; }
        out.append(buf, (size_t)n);
    }
    close(fds[0]);
    if (!ok) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool MF_ParseOrderInExcel(const char* path, char** text)
{
    if (!path || !*path || !text) return false;
    std::string name = FileName(path);
    if (!IsFile(name)) return false;

    std::string json;
    if (!RunReader(ReaderPath(), name, json) || json.empty()) return false;

    char* copy = static_cast<char*>(std::malloc(json.size() + 1));
    if (!copy) return false;
    std::memcpy(copy, json.c_str(), json.size() + 1);
    *text = copy;
    return true;
}
