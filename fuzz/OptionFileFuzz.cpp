// The option file, whatever its bytes: reading it and writing one setting back keeps every other
// setting as it was read, and the setting written reads back.
#include <algorithm>
#include <utility>
#include <vector>
#include "FuzzSupport.h"
#include "OptionFileStore.h"

namespace
{
// The settings the program keeps in the file.
const std::pair<const char*, const char*> kSettings[] = {
    {"OptionData", "FirstRun"},        {"OptionData", "MiniSizeAtExit"}, {"OptionData", "LargeIcons"},
    {"OptionData", "MinuteToOff"},     {"OptionData", "LocalVersion"},   {"RunTimeInfo", "UserName"},
    {"RunTimeInfo", "PrinterName"},
};

std::string Trimmed(const std::string& s)
{
    const char* ws = " \t\r\n\v\f";
    size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos)
        return std::string();
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

// Section and key names the file itself seems to hold, as a reader would look them up.
std::vector<std::pair<std::string, std::string>> NamesIn(const std::string& text)
{
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    size_t start = 0;
    while (start < text.size() && names.size() < 32)
    {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        line.erase(std::remove(line.begin(), line.end(), '\0'), line.end()); // a NUL is no text
        std::string t = Trimmed(line);
        if (!t.empty() && t[0] == '[')
            section = Trimmed(t.substr(1, t.find(']') == std::string::npos ? 0 : t.find(']') - 1));
        else if (line.find('=') != std::string::npos)
            names.emplace_back(section, Trimmed(line.substr(0, line.find('='))));
    }
    return names;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = ScratchFolder() + "/VelkorOption.cfg";
    WriteWhole(path, data, size);

    COptionFileStore store;
    store.SetFileName(path.c_str());
    FUZZ_CHECK(store.ReadAll() == 1);

    auto names = NamesIn(text);
    for (const auto& s : kSettings)
        names.emplace_back(s.first, s.second);
    const char* const kAbsent = "\001absent";
    std::vector<std::string> before;
    for (const auto& n : names)
        before.push_back(store.GetValue(n.first.c_str(), n.second.c_str(), kAbsent).str());

    // One of the program's own settings, changed as the program changes it.
    const auto& changed = kSettings[size % (sizeof(kSettings) / sizeof(kSettings[0]))];
    const std::string value = "value " + std::to_string(size);
    store.SetValue(changed.first, changed.second, value.c_str());
    FUZZ_CHECK(store.WriteAll() != 0);

    COptionFileStore reread;
    reread.SetFileName(path.c_str());
    FUZZ_CHECK(reread.GetValue(changed.first, changed.second, kAbsent) == value.c_str());
    for (size_t i = 0; i < names.size(); ++i)
    {
        if (names[i].first == changed.first && names[i].second == changed.second)
            continue;
        FUZZ_CHECK(reread.GetValue(names[i].first.c_str(), names[i].second.c_str(), kAbsent) == before[i].c_str());
    }
    return 0;
}
