#include <dlfcn.h>
#include "SystemInfo.h"

#include <cstring>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include "CodePage.h"

namespace
{
// Copies with a NUL; FALSE (and the needed size with the NUL) when it does not fit.
BOOL CopyOut(const std::string& s, LPSTR lpBuffer, DWORD nSize, DWORD& dwCopied)
{
    if (!lpBuffer || nSize == 0)
    {
        dwCopied = 0;
        return FALSE;
    }
    if (s.size() + 1 > nSize)
    {
        memcpy(lpBuffer, s.data(), nSize - 1);
        lpBuffer[nSize - 1] = '\0';
        dwCopied = nSize;
        return FALSE;
    }
    memcpy(lpBuffer, s.c_str(), s.size() + 1);
    dwCopied = (DWORD)s.size();
    return TRUE;
}
} // namespace

HMODULE GetModuleHandle(LPCSTR lpModuleName)
{
    // The loader keeps the module loaded: the reference taken here is given back at once.
    void* h = dlopen(lpModuleName, RTLD_LAZY | RTLD_NOLOAD);
    if (!h)
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    dlclose(h);
    return (HMODULE)h;
}

DWORD GetModuleFileName(HMODULE, LPSTR lpFilename, DWORD nSize)
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n < 0)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    std::string path = CCodePage::Utf8ToAnsi(std::string(buf, (size_t)n));
    DWORD dwCopied;
    if (!CopyOut(path, lpFilename, nSize, dwCopied))
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return dwCopied;
    }
    SetLastError(ERROR_SUCCESS);
    return dwCopied;
}

BOOL GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer)
{
    if (!pcbBuffer)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    struct passwd pw;
    struct passwd* pResult = nullptr;
    char buf[4096];
    std::string name;
    if (getpwuid_r(geteuid(), &pw, buf, sizeof(buf), &pResult) == 0 && pResult)
        name = CCodePage::Utf8ToAnsi(pResult->pw_name);
    if (!lpBuffer || *pcbBuffer < name.size() + 1)
    {
        *pcbBuffer = (DWORD)name.size() + 1;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(lpBuffer, name.c_str(), name.size() + 1);
    *pcbBuffer = (DWORD)name.size() + 1;
    return TRUE;
}

BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation)
{
    if (!lpVersionInformation || lpVersionInformation->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA))
        return FALSE;
    lpVersionInformation->dwMajorVersion = 6;
    lpVersionInformation->dwMinorVersion = 1;
    lpVersionInformation->dwBuildNumber = 7601;
    lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
    lpVersionInformation->szCSDVersion[0] = '\0';
    return TRUE;
}

UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    static const char s_szDir[] = "/usr/bin";
    if (!lpBuffer || uSize < sizeof(s_szDir))
        return (UINT)sizeof(s_szDir);
    memcpy(lpBuffer, s_szDir, sizeof(s_szDir));
    return (UINT)(sizeof(s_szDir) - 1);
}
