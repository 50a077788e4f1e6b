// A folder's ".hidden" list, whatever its bytes: a file is hidden exactly when a whole line of
// the list names it, and hiding or showing one file keeps every other line of the list.
#include <algorithm>
#include <vector>
#include "FileApi.h"
#include "FuzzSupport.h"

namespace
{
// The entries of a list: its lines without their line ends, empty lines left out.
std::vector<std::string> Entries(const std::string& text)
{
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        if (!line.empty())
            entries.push_back(line);
    }
    return entries;
}

std::vector<std::string> Without(std::vector<std::string> entries, const std::string& name)
{
    entries.erase(std::remove(entries.begin(), entries.end(), name), entries.end());
    return entries;
}

bool Listed(const std::vector<std::string>& entries, const std::string& name)
{
    return std::find(entries.begin(), entries.end(), name) != entries.end();
}

bool IsPlainName(const std::string& s)
{
    if (s.empty() || s.size() > 200 || s == "." || s == ".." || s == ".hidden" || s.compare(0, 7, ".hidden") == 0)
        return false;
    for (unsigned char c : s)
        if (c < 0x20 || c >= 0x7F || c == '/')
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string folder = ScratchFolder() + "/hidden/";
    mkdir(folder.c_str(), 0755);
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = Entries(text);
    // The file to hide: the list's first entry when it could be a file's name.
    const std::string name = !entries.empty() && IsPlainName(entries[0]) ? entries[0] : "VelkorOption.cfg";
    const std::string file = folder + name;
    WriteWhole(file, "x", 1);
    WriteWhole(folder + ".hidden", data, size);

    const DWORD before = GetFileAttributes(file.c_str());
    FUZZ_CHECK(before != INVALID_FILE_ATTRIBUTES);
    FUZZ_CHECK(((before & FILE_ATTRIBUTE_HIDDEN) != 0) == Listed(entries, name));

    FUZZ_CHECK(SetFileAttributes(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    FUZZ_CHECK(GetFileAttributes(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    std::vector<std::string> now = Entries(ReadWhole(folder + ".hidden"));
    FUZZ_CHECK(Listed(now, name));
    FUZZ_CHECK(Without(now, name) == Without(entries, name));

    FUZZ_CHECK(SetFileAttributes(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    FUZZ_CHECK(!(GetFileAttributes(file.c_str()) & FILE_ATTRIBUTE_HIDDEN));
    now = Entries(ReadWhole(folder + ".hidden"));
    FUZZ_CHECK(!Listed(now, name));
    FUZZ_CHECK(now == Without(entries, name));

    unlink(file.c_str());
    unlink((folder + ".hidden").c_str());
    return 0;
}
