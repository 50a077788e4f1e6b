#include "Registry.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unistd.h>
#include <unordered_set>
#include "AutostartEntry.h"
#include "ProgramTable.h"
#include "RegistryHive.h"

namespace
{
const char s_runKey[] = "software\\microsoft\\windows\\currentversion\\run";

#define KEY_WRITE_RIGHTS (KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x00010000u | 0x00040000u | 0x00080000u)

struct CRegKey
{
    bool m_bMachine;
    std::string m_path; // without leading or trailing backslashes
    REGSAM m_access;
};

std::mutex g_keysLock;
std::unordered_set<CRegKey*>& OpenKeys()
{
    static auto* s_keys = new std::unordered_set<CRegKey*>;
    return *s_keys;
}

bool IsAdministrator() { return geteuid() == 0; }

std::string HivePath(bool bMachine)
{
    const char* pszPath = getenv(bMachine ? "PARVEL_HKLM_HIVE" : "PARVEL_HKCU_HIVE");
    if (pszPath && *pszPath)
        return pszPath;
    if (bMachine)
        return "/var/lib/parvel/registry/system.hive";
    const char* pszData = getenv("XDG_DATA_HOME");
    if (pszData && *pszData == '/')
        return std::string(pszData) + "/parvel/registry/user.hive";
    const char* pszHome = getenv("HOME");
    return std::string(pszHome && *pszHome ? pszHome : "/root") + "/.local/share/parvel/registry/user.hive";
}

// "\\a\\\\b\\" -> "a\\b"
std::string CleanPath(const char* psz)
{
    std::string out;
    for (const char* p = psz ? psz : ""; *p; ++p)
    {
        if (*p == '\\' && (out.empty() || out.back() == '\\'))
            continue;
        out += *p;
    }
    while (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

std::string JoinPath(const std::string& parent, const std::string& sub)
{
    if (parent.empty())
        return sub;
    if (sub.empty())
        return parent;
    return parent + "\\" + sub;
}

// The Run key and the keys above it are there on every system.
bool IsBuiltInKey(const std::string& folded)
{
    const std::string run(s_runKey);
    return folded.empty() || run == folded || (run.compare(0, folded.size(), folded) == 0 && run[folded.size()] == '\\');
}

bool IsRunKey(const CRegKey& key) { return CRegistryHive::Fold(key.m_path) == s_runKey; }

// An App Paths key of the machine names the installed program of the program table; TRUE when the
// key is one, with the program's path ("" when it is not installed).
bool IsAppPathsKey(const CRegKey& key, std::string& strPath)
{
    return key.m_bMachine && CProgramTable::ReadAppPathsKey(key.m_path.c_str(), strPath);
}

bool KeyExists(const REGISTRY_KEYS& keys, const std::string& folded)
{
    if (IsBuiltInKey(folded) || keys.count(folded))
        return true;
    auto it = keys.lower_bound(folded + "\\");
    return it != keys.end() && it->first.compare(0, folded.size() + 1, folded + "\\") == 0;
}

// Resolves a handle (a root or an open key) to a copy of its description.
bool ResolveKey(HKEY hKey, CRegKey& key)
{
    if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER)
    {
        key.m_bMachine = hKey == HKEY_LOCAL_MACHINE;
        key.m_path.clear();
        key.m_access = (key.m_bMachine && !IsAdministrator()) ? KEY_READ : KEY_ALL_ACCESS;
        return true;
    }
    std::lock_guard<std::mutex> guard(g_keysLock);
    CRegKey* p = (CRegKey*)hKey;
    if (!OpenKeys().count(p))
        return false;
    key = *p;
    return true;
}

HKEY NewKeyHandle(const CRegKey& key)
{
    CRegKey* p = new CRegKey(key);
    std::lock_guard<std::mutex> guard(g_keysLock);
    OpenKeys().insert(p);
    return (HKEY)p;
}

// Resolves a handle as ResolveKey does, for a change that needs the rights given.
LONG ResolveKeyForWrite(HKEY hKey, CRegKey& key, REGSAM needed)
{
    if (!ResolveKey(hKey, key))
        return ERROR_INVALID_HANDLE;
    if ((key.m_access & needed) != needed)
        return ERROR_ACCESS_DENIED;
    if (key.m_bMachine && !IsAdministrator())
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

std::string ValueName(LPCSTR lpValueName) { return lpValueName ? lpValueName : ""; }

// Copies a value out as Windows does: the size alone, the data, or ERROR_MORE_DATA.
LONG CopyValueOut(DWORD type, const std::string& data, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpType)
        *lpType = type;
    if (!lpcbData)
        return lpData ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const DWORD cbNeeded = (DWORD)data.size();
    if (!lpData)
    {
        *lpcbData = cbNeeded;
        return ERROR_SUCCESS;
    }
    if (*lpcbData < cbNeeded)
    {
        *lpcbData = cbNeeded;
        return ERROR_MORE_DATA;
    }
    memcpy(lpData, data.data(), cbNeeded);
    *lpcbData = cbNeeded;
    return ERROR_SUCCESS;
}
} // namespace

LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    CRegKey key;
    if (!ResolveKey(hKey, key))
        return ERROR_INVALID_HANDLE;
    key.m_path = JoinPath(key.m_path, CleanPath(lpSubKey));
    key.m_access = samDesired;
    if ((samDesired & KEY_WRITE_RIGHTS) && key.m_bMachine && !IsAdministrator())
        return ERROR_ACCESS_DENIED;
    std::string strAppPath;
    if (IsAppPathsKey(key, strAppPath))
    {
        if (strAppPath.empty())
            return ERROR_FILE_NOT_FOUND;
        *phkResult = NewKeyHandle(key);
        return ERROR_SUCCESS;
    }
    const std::string folded = CRegistryHive::Fold(key.m_path);
    LONG lResult = CRegistryHive(HivePath(key.m_bMachine)).Read([&](const REGISTRY_KEYS& keys) {
        return KeyExists(keys, folded) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (lResult != ERROR_SUCCESS)
        return lResult;
    *phkResult = NewKeyHandle(key);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired, LPSECURITY_ATTRIBUTES,
                    PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    CRegKey key;
    if (!ResolveKey(hKey, key))
        return ERROR_INVALID_HANDLE;
    if (key.m_bMachine && !IsAdministrator())
        return ERROR_ACCESS_DENIED;
    key.m_path = JoinPath(key.m_path, CleanPath(lpSubKey));
    key.m_access = samDesired;
    const std::string folded = CRegistryHive::Fold(key.m_path);
    bool bCreated = false;
    LONG lResult = CRegistryHive(HivePath(key.m_bMachine)).Change([&](REGISTRY_KEYS& keys) {
        if (KeyExists(keys, folded))
            return (LONG)ERROR_BADKEY; // nothing to save
        REGISTRY_KEY& entry = keys[folded];
        entry.m_path = key.m_path;
        bCreated = true;
        return (LONG)ERROR_SUCCESS;
    });
    if (lResult != ERROR_SUCCESS && lResult != ERROR_BADKEY)
        return lResult;
    if (lpdwDisposition)
        *lpdwDisposition = bCreated ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = NewKeyHandle(key);
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    CRegKey key;
    LONG lResult = ResolveKeyForWrite(hKey, key, KEY_SET_VALUE);
    if (lResult != ERROR_SUCCESS)
        return lResult;
    if (!lpData && cbData)
        return ERROR_INVALID_PARAMETER;
    std::string data(lpData ? (const char*)lpData : "", lpData ? cbData : 0);
    const std::string name = ValueName(lpValueName);

    if (IsRunKey(key))
    {
        if (dwType != REG_SZ && dwType != REG_EXPAND_SZ)
            return ERROR_INVALID_PARAMETER;
        return CAutostartEntry::Write(CAutostartEntry::Folder(key.m_bMachine), name, std::string(data.c_str()));
    }

    const std::string folded = CRegistryHive::Fold(key.m_path);
    return CRegistryHive(HivePath(key.m_bMachine)).Change([&](REGISTRY_KEYS& keys) {
        if (!KeyExists(keys, folded))
            return (LONG)ERROR_FILE_NOT_FOUND; // deleted meanwhile
        REGISTRY_KEY& entry = keys[folded];
        if (entry.m_path.empty())
            entry.m_path = key.m_path;
        REGISTRY_VALUE& value = entry.m_values[CRegistryHive::Fold(name)];
        if (value.m_name.empty())
            value.m_name = name;
        value.m_type = dwType;
        value.m_data = data;
        return (LONG)ERROR_SUCCESS;
    });
}

LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    CRegKey key;
    if (!ResolveKey(hKey, key))
        return ERROR_INVALID_HANDLE;
    const std::string name = ValueName(lpValueName);

    if (IsRunKey(key))
    {
        std::string text;
        if (!CAutostartEntry::Query(CAutostartEntry::Folder(key.m_bMachine), name, text))
            return ERROR_FILE_NOT_FOUND;
        return CopyValueOut(REG_SZ, text + '\0', lpType, lpData, lpcbData);
    }

    std::string strAppPath;
    if (IsAppPathsKey(key, strAppPath))
    {
        // The key's default value is the program's full path; it has no other values.
        if (!name.empty() || strAppPath.empty())
            return ERROR_FILE_NOT_FOUND;
        return CopyValueOut(REG_SZ, strAppPath + '\0', lpType, lpData, lpcbData);
    }

    const std::string folded = CRegistryHive::Fold(key.m_path);
    DWORD type = REG_NONE;
    std::string data;
    LONG lResult = CRegistryHive(HivePath(key.m_bMachine)).Read([&](const REGISTRY_KEYS& keys) {
        auto k = keys.find(folded);
        if (k == keys.end())
            return (LONG)ERROR_FILE_NOT_FOUND;
        auto v = k->second.m_values.find(CRegistryHive::Fold(name));
        if (v == k->second.m_values.end())
            return (LONG)ERROR_FILE_NOT_FOUND;
        type = v->second.m_type;
        data = v->second.m_data;
        return (LONG)ERROR_SUCCESS;
    });
    if (lResult != ERROR_SUCCESS)
        return lResult;
    return CopyValueOut(type, data, lpType, lpData, lpcbData);
}

LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName)
{
    CRegKey key;
    LONG lResult = ResolveKeyForWrite(hKey, key, KEY_SET_VALUE);
    if (lResult != ERROR_SUCCESS)
        return lResult;
    const std::string name = ValueName(lpValueName);

    if (IsRunKey(key))
        return CAutostartEntry::Delete(CAutostartEntry::Folder(key.m_bMachine), name);

    const std::string folded = CRegistryHive::Fold(key.m_path);
    return CRegistryHive(HivePath(key.m_bMachine)).Change([&](REGISTRY_KEYS& keys) {
        auto k = keys.find(folded);
        if (k == keys.end() || !k->second.m_values.erase(CRegistryHive::Fold(name)))
            return (LONG)ERROR_FILE_NOT_FOUND;
        return (LONG)ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey)
{
    if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    CRegKey* p = (CRegKey*)hKey;
    {
        std::lock_guard<std::mutex> guard(g_keysLock);
        if (!OpenKeys().erase(p))
            return ERROR_INVALID_HANDLE;
    }
    delete p;
    return ERROR_SUCCESS;
}
