#include "RegistryHive.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const char s_hex[] = "0123456789ABCDEF";

std::string Escape(const std::string& s)
{
    std::string out;
    for (unsigned char c : s)
    {
        if (c < 0x20 || c == 0x7F || c == '%' || c == '"' || c == '[' || c == ']')
        {
            out += '%';
            out += s_hex[c >> 4];
            out += s_hex[c & 15];
        }
        else
            out += (char)c;
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string Unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0)
        {
            out += (char)(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        }
        else
            out += s[i];
    }
    return out;
}

void MakeFolders(const std::string& path)
{
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1))
        mkdir(path.substr(0, pos).c_str(), 0755);
}

// Holds the hive's lock file while one operation runs.
class CHiveLock
{
public:
    CHiveLock(const std::string& hivePath, bool bExclusive)
    {
        const std::string lockPath = hivePath + ".lock";
        if (bExclusive)
        {
            MakeFolders(lockPath);
            m_fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        }
        else
        {
            m_fd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (m_fd >= 0)
        {
            while (flock(m_fd, bExclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR)
            {
            }
        }
    }
    ~CHiveLock()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

bool ReadWhole(const std::string& path, std::string& text)
{
    FILE* f = fopen(path.c_str(), "rbe");
    if (!f)
        return errno == ENOENT;
    char buf[8192];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    bool bOk = !ferror(f);
    fclose(f);
    return bOk;
}
} // namespace

std::string CRegistryHive::Fold(const std::string& s)
{
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i)
    {
        unsigned char c = (unsigned char)out[i];
        if (c >= 0x81 && c <= 0xFE && i + 1 < out.size())
            ++i; // a GBK pair: its trail byte may look like an ASCII letter
        else if (c >= 'A' && c <= 'Z')
            out[i] = (char)(c - 'A' + 'a');
    }
    return out;
}

void CRegistryHive::Parse(const std::string& text, REGISTRY_KEYS& keys)
{
    REGISTRY_KEY* pKey = nullptr;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() >= 2 && line[0] == '[' && line.back() == ']')
        {
            std::string path = Unescape(line.substr(1, line.size() - 2));
            REGISTRY_KEY& key = keys[Fold(path)];
            if (key.m_path.empty())
                key.m_path = path;
            pKey = &key;
        }
        else if (pKey && line.size() > 2 && line[0] == '"')
        {
            size_t quote = line.find('"', 1);
            if (quote == std::string::npos || quote + 1 >= line.size() || line[quote + 1] != '=')
                continue;
            REGISTRY_VALUE value;
            value.m_name = Unescape(line.substr(1, quote - 1));
            std::string rest = line.substr(quote + 2);
            size_t colon = rest.find(':');
            if (colon == std::string::npos)
                continue;
            std::string type = rest.substr(0, colon);
            std::string data = rest.substr(colon + 1);
            if (type == "dword")
            {
                DWORD dw = (DWORD)strtoul(data.c_str(), nullptr, 16);
                value.m_type = 4u;
                value.m_data.assign((const char*)&dw, sizeof(dw));
            }
            else
            {
                value.m_type = (DWORD)strtoul(type.c_str(), nullptr, 10);
                value.m_data = Unescape(data);
            }
            pKey->m_values[Fold(value.m_name)] = value;
        }
    }
}

std::string CRegistryHive::Format(const REGISTRY_KEYS& keys)
{
    std::string text;
    for (const auto& k : keys)
    {
        text += "[" + Escape(k.second.m_path) + "]\n";
        for (const auto& v : k.second.m_values)
        {
            const REGISTRY_VALUE& value = v.second;
            text += "\"" + Escape(value.m_name) + "\"=";
            if (value.m_type == 4u && value.m_data.size() == sizeof(DWORD))
            {
                DWORD dw;
                memcpy(&dw, value.m_data.data(), sizeof(dw));
                char buf[16];
                snprintf(buf, sizeof(buf), "%08x", (unsigned)dw);
                text += std::string("dword:") + buf;
            }
            else
            {
                text += std::to_string(value.m_type) + ":" + Escape(value.m_data);
            }
            text += "\n";
        }
    }
    return text;
}

LONG CRegistryHive::Read(const std::function<LONG(const REGISTRY_KEYS&)>& reader) const
{
    CHiveLock lock(m_path, false);
    std::string text;
    if (!ReadWhole(m_path, text))
        return ERROR_ACCESS_DENIED;
    REGISTRY_KEYS keys;
    Parse(text, keys);
    return reader(keys);
}

LONG CRegistryHive::Change(const std::function<LONG(REGISTRY_KEYS&)>& changer) const
{
    CHiveLock lock(m_path, true);
    if (!lock.IsHeld())
        return ERROR_ACCESS_DENIED;
    std::string text;
    if (!ReadWhole(m_path, text))
        return ERROR_ACCESS_DENIED;
    REGISTRY_KEYS keys;
    Parse(text, keys);
    LONG lResult = changer(keys);
    if (lResult != ERROR_SUCCESS)
        return lResult;

    // A new file beside the old one, renamed over it: readers see the old or the new hive, whole.
    const std::string tmpPath = m_path + ".new";
    int fd = open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return ERROR_ACCESS_DENIED;
    fchmod(fd, 0644);
    const std::string out = Format(keys);
    size_t done = 0;
    while (done < out.size())
    {
        ssize_t n = write(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += (size_t)n;
    }
    bool bOk = done == out.size() && fsync(fd) == 0;
    if (close(fd) != 0)
        bOk = false;
    if (!bOk || rename(tmpPath.c_str(), m_path.c_str()) != 0)
    {
        unlink(tmpPath.c_str());
        return ERROR_WRITE_FAULT;
    }
    return ERROR_SUCCESS;
}
