// The program's resources by id, and the resource calls over them.
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>
#include <mutex>
#include <string>
#include "WinUser.h"
#include "ResourceRegistry.h"

namespace
{
// A resource key: a number, or a name (upper-cased, as resource names compare without case).
struct ResKey
{
    UINT id;
    std::string name;
    bool operator<(const ResKey& o) const { return id != o.id ? id < o.id : name < o.name; }
};

ResKey KeyOf(const char* p)
{
    if (IS_INTRESOURCE(p))
        return {(UINT)(UINT_PTR)p, std::string()};
    if (p[0] == '#')
        return {(UINT)atoi(p + 1), std::string()};
    std::string s;
    for (const char* q = p; *q; ++q)
        s += (char)toupper((unsigned char)*q);
    return {0, s};
}

struct DataEntry
{
    const void* pData;
    DWORD dwSize;
};

struct Registry
{
    std::mutex lock;
    std::map<UINT, const char*> strings;
    std::map<UINT, const DLGTEMPLATE_DATA*> dialogs;
    std::map<std::pair<ResKey, ResKey>, DataEntry> data;
};

Registry& Reg()
{
    static auto* r = new Registry;
    return *r;
}

const char* LoadStringFromRegistry(UINT nID)
{
    return CResourceRegistry::FindString(nID);
}

// The first registration also hooks the string table into CString::LoadString.
void HookStrings()
{
    static bool s_done = false;
    if (!s_done)
    {
        s_done = true;
        CString::SetStringLoader(&LoadStringFromRegistry);
    }
}
}  // namespace

void CResourceRegistry::AddString(UINT nID, const char* lpszText)
{
    HookStrings();
    std::lock_guard<std::mutex> guard(Reg().lock);
    Reg().strings[nID] = lpszText;
}

void CResourceRegistry::AddDialog(UINT nID, const DLGTEMPLATE_DATA* pTemplate)
{
    HookStrings();
    std::lock_guard<std::mutex> guard(Reg().lock);
    Reg().dialogs[nID] = pTemplate;
}

void CResourceRegistry::AddData(const char* lpszName, const char* lpszType, const void* pData, DWORD dwSize)
{
    HookStrings();
    std::lock_guard<std::mutex> guard(Reg().lock);
    Reg().data[{KeyOf(lpszName), KeyOf(lpszType)}] = {pData, dwSize};
}

void CResourceRegistry::AddData(UINT nID, const char* lpszType, const void* pData, DWORD dwSize)
{
    AddData(MAKEINTRESOURCE(nID), lpszType, pData, dwSize);
}

void CResourceRegistry::AddAccelerators(UINT nID, const ACCEL* pEntries, int nEntries)
{
    if (pEntries && nEntries > 0)
        AddData(MAKEINTRESOURCE(nID), RT_ACCELERATOR, pEntries, (DWORD)(sizeof(ACCEL) * (size_t)nEntries));
}

const char* CResourceRegistry::FindString(UINT nID)
{
    std::lock_guard<std::mutex> guard(Reg().lock);
    auto it = Reg().strings.find(nID);
    return it == Reg().strings.end() ? nullptr : it->second;
}

const DLGTEMPLATE_DATA* CResourceRegistry::FindDialog(UINT nID)
{
    std::lock_guard<std::mutex> guard(Reg().lock);
    auto it = Reg().dialogs.find(nID);
    return it == Reg().dialogs.end() ? nullptr : it->second;
}

BOOL CResourceRegistry::FindData(const char* lpszName, const char* lpszType, const void** ppData, DWORD* pdwSize)
{
    if (!lpszName || !lpszType)
        return FALSE;
    std::lock_guard<std::mutex> guard(Reg().lock);
    auto it = Reg().data.find({KeyOf(lpszName), KeyOf(lpszType)});
    if (it == Reg().data.end())
        return FALSE;
    if (ppData)
        *ppData = it->second.pData;
    if (pdwSize)
        *pdwSize = it->second.dwSize;
    return TRUE;
}

BOOL CResourceRegistry::FirstDataId(const char* lpszType, UINT* pnID)
{
    if (!lpszType)
        return FALSE;
    ResKey type = KeyOf(lpszType);
    std::lock_guard<std::mutex> guard(Reg().lock);
    for (const auto& entry : Reg().data)
    {
        const ResKey& name = entry.first.first;
        if (entry.first.second.id == type.id && entry.first.second.name == type.name && name.name.empty())
        {
            if (pnID)
                *pnID = name.id;
            return TRUE;
        }
    }
    return FALSE;
}

// HRSRC points to the registry's entry; HGLOBAL of a resource is its data (read-only, never freed).
namespace
{
struct ResHandle
{
    const void* pData;
    DWORD dwSize;
};
}  // namespace

HRSRC FindResource(HMODULE, LPCSTR lpName, LPCSTR lpType)
{
    const void* p = nullptr;
    DWORD n = 0;
    if (!CResourceRegistry::FindData(lpName, lpType, &p, &n))
    {
        SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
        return nullptr;
    }
    static std::mutex s_lock;
    static auto* s_handles = new std::map<const void*, ResHandle*>;
    std::lock_guard<std::mutex> guard(s_lock);
    ResHandle*& h = (*s_handles)[p];
    if (!h)
        h = new ResHandle{p, n};
    return (HRSRC)h;
}

HGLOBAL LoadResource(HMODULE, HRSRC hResInfo)
{
    return hResInfo ? (HGLOBAL)const_cast<void*>(reinterpret_cast<ResHandle*>(hResInfo)->pData) : nullptr;
}

LPVOID LockResource(HGLOBAL hResData)
{
    return hResData;
}

DWORD SizeofResource(HMODULE, HRSRC hResInfo)
{
    return hResInfo ? reinterpret_cast<ResHandle*>(hResInfo)->dwSize : 0;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}

namespace
{
struct ModuleTable
{
    std::string name;  // upper case
    std::map<UINT, const char*> strings;
};
std::mutex g_moduleLock;
std::vector<std::unique_ptr<ModuleTable>>& Modules()
{
    static std::vector<std::unique_ptr<ModuleTable>> s;
    return s;
}
std::string UpperAscii(const char* p)
{
    std::string s = p ? p : "";
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return s;
}
ModuleTable* ModuleOf(HINSTANCE h)
{
    std::lock_guard<std::mutex> guard(g_moduleLock);
    for (auto& m : Modules())
        if (reinterpret_cast<HINSTANCE>(m.get()) == h)
            return m.get();
    return nullptr;
}
}  // namespace

void CResourceRegistry::AddModuleString(const char* lpszModule, UINT nID, const char* lpszText)
{
    std::lock_guard<std::mutex> guard(g_moduleLock);
    std::string name = UpperAscii(lpszModule);
    for (auto& m : Modules())
        if (m->name == name)
        {
            m->strings[nID] = lpszText;
            return;
        }
    auto m = std::make_unique<ModuleTable>();
    m->name = name;
    m->strings[nID] = lpszText;
    Modules().push_back(std::move(m));
}

HMODULE LoadLibraryA(LPCSTR lpszLibFileName)
{
    std::lock_guard<std::mutex> guard(g_moduleLock);
    std::string name = UpperAscii(lpszLibFileName);
    for (auto& m : Modules())
        if (m->name == name)
            return reinterpret_cast<HMODULE>(m.get());
    return nullptr;
}

BOOL FreeLibrary(HMODULE hModule)
{
    return ModuleOf(hModule) != nullptr;
}

int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    const char* p = nullptr;
    if (ModuleTable* pModule = hInstance ? ModuleOf(hInstance) : nullptr)
    {
        auto it = pModule->strings.find(uID);
        p = it == pModule->strings.end() ? nullptr : it->second;
    }
    else
        p = CResourceRegistry::FindString(uID);
    if (!lpBuffer || cchBufferMax <= 0)
        return 0;
    if (!p)
    {
        lpBuffer[0] = 0;
        return 0;
    }
    int n = (int)strlen(p);
    if (n > cchBufferMax - 1)
        n = cchBufferMax - 1;
    memcpy(lpBuffer, p, (size_t)n);
    lpBuffer[n] = 0;
    return n;
}
