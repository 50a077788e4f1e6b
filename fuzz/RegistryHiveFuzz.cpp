// A hive file, whatever its bytes: what it reads as survives a save unchanged, and a value set
// by name reads back exactly, however odd its name or data.
#include "FuzzSupport.h"
#include "RegistryHive.h"
#include "Registry.h"

namespace
{
bool SameKeys(const REGISTRY_KEYS& a, const REGISTRY_KEYS& b)
{
    if (a.size() != b.size())
        return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
    {
        if (i->first != j->first || i->second.m_path != j->second.m_path ||
            i->second.m_values.size() != j->second.m_values.size())
            return false;
        for (auto v = i->second.m_values.begin(), w = j->second.m_values.begin(); v != i->second.m_values.end(); ++v, ++w)
        {
            if (v->first != w->first || v->second.m_name != w->second.m_name || v->second.m_type != w->second.m_type ||
                v->second.m_data != w->second.m_data)
                return false;
        }
    }
    return true;
}

REGISTRY_KEYS Load(const CRegistryHive& hive)
{
    REGISTRY_KEYS keys;
    FUZZ_CHECK(hive.Read([&](const REGISTRY_KEYS& k) {
        keys = k;
        return (LONG)ERROR_SUCCESS;
    }) == ERROR_SUCCESS);
    return keys;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = ScratchFolder() + "/user.hive";
    WriteWhole(path, data, size);
    CRegistryHive hive(path);

    const REGISTRY_KEYS read = Load(hive);
    FUZZ_CHECK(hive.Change([](REGISTRY_KEYS&) { return (LONG)ERROR_SUCCESS; }) == ERROR_SUCCESS);
    FUZZ_CHECK(SameKeys(read, Load(hive)));

    // A value whose path, name and data are cut from the input itself.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t third = size / 3;
    const std::string keyPath = "Software\\" + text.substr(0, third);
    const std::string name = text.substr(third, third);
    const std::string value = text.substr(2 * third);
    const DWORD type = size % 2 ? REG_SZ : REG_BINARY;
    REGISTRY_KEYS expected;
    FUZZ_CHECK(hive.Change([&](REGISTRY_KEYS& keys) {
        REGISTRY_KEY& key = keys[CRegistryHive::Fold(keyPath)];
        if (key.m_path.empty())
            key.m_path = keyPath;
        REGISTRY_VALUE& v = key.m_values[CRegistryHive::Fold(name)];
        v.m_name = name;
        v.m_type = type;
        v.m_data = value;
        expected = keys;
        return (LONG)ERROR_SUCCESS;
    }) == ERROR_SUCCESS);
    FUZZ_CHECK(SameKeys(expected, Load(hive)));
    return 0;
}
