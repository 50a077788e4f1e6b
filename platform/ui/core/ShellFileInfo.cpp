#include <cstring>
#include <unistd.h>
#include "ShellFileInfo.h"
#include "ResourceRegistry.h"
#include "SystemInfo.h"

namespace
{
// The same file, whatever the spelling of its path.
bool SameFile(const char* a, const char* b)
{
    char ra[4096], rb[4096];
    if (!realpath(a, ra) || !realpath(b, rb)) return std::strcmp(a, b) == 0;
    return std::strcmp(ra, rb) == 0;
}
}  // namespace

DWORD_PTR SHGetFileInfo(LPCSTR pszPath, DWORD, SHFILEINFO* psfi, UINT cbFileInfo, UINT uFlags)
{
    if (!pszPath || !psfi || cbFileInfo < sizeof(SHFILEINFO)) return 0;
    std::memset(psfi, 0, sizeof(SHFILEINFO));
    const char* slash = std::strrchr(pszPath, '/');
    std::strncpy(psfi->szDisplayName, slash ? slash + 1 : pszPath, sizeof psfi->szDisplayName - 1);
    if (!(uFlags & SHGFI_ICON)) return 1;
    char self[4096] = "";
    ::GetModuleFileName(nullptr, self, sizeof self);
    UINT nID = 0;
    if (!self[0] || !SameFile(pszPath, self) || !CResourceRegistry::FirstDataId(RT_ICON, &nID)) return 0;
    psfi->hIcon = ::LoadIcon(nullptr, MAKEINTRESOURCE(nID));
    return psfi->hIcon ? 1 : 0;
}
