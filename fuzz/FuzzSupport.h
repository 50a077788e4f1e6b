// What every fuzz target needs: a scratch folder of its own, files written whole, and a check
// that stops the run with the reason when something that must hold does not.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Stops the run: libFuzzer keeps the input that got here as a crash.
#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

// A folder of this process's own, made once, in memory where the machine has /dev/shm (every
// input writes files, and a disk would slow the run down to its sync speed).
inline const std::string& ScratchFolder()
{
    static const std::string folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string templ = std::string(base) + "/parvel-fuzz-XXXXXX";
        if (!mkdtemp(templ.data()))
            std::abort();
        return templ;
    }();
    return folder;
}

inline void WriteWhole(const std::string& path, const void* data, size_t size)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    FUZZ_CHECK(fd >= 0);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        FUZZ_CHECK(n > 0);
        p += n;
        size -= (size_t)n;
    }
    close(fd);
}

inline std::string ReadWhole(const std::string& path)
{
    std::string text;
    FILE* f = std::fopen(path.c_str(), "rbe");
    if (!f)
        return text;
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    std::fclose(f);
    return text;
}

// The input up to its first NUL as a C string in a block of exactly that size, so a reader
// that runs past the terminator is caught.
class CExactText
{
public:
    CExactText(const uint8_t* data, size_t size)
    {
        m_nLength = strnlen(reinterpret_cast<const char*>(data), size);
        m_psz = static_cast<char*>(std::malloc(m_nLength + 1));
        std::memcpy(m_psz, data, m_nLength);
        m_psz[m_nLength] = '\0';
    }
    explicit CExactText(const std::string& s) : CExactText(reinterpret_cast<const uint8_t*>(s.data()), s.size()) {}
    ~CExactText() { std::free(m_psz); }
    CExactText(const CExactText&) = delete;
    CExactText& operator=(const CExactText&) = delete;

    const char* c_str() const { return m_psz; }
    size_t size() const { return m_nLength; }

private:
    char* m_psz;
    size_t m_nLength;
};
