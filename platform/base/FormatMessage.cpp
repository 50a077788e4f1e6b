#include "FormatMessage.h"

#include <cstdlib>
#include <cstring>

namespace
{
struct SystemText
{
    DWORD code;
    const char* text;
};
const SystemText kTexts[] = {
    {0x80020009u, "Exception occurred.\r\n"},
    {0x80020003u, "Member not found.\r\n"},
    {0x80020006u, "Unknown name.\r\n"},
    {0x8002000Eu, "Invalid number of parameters.\r\n"},
    {0x8000FFFFu, "Catastrophic failure\r\n"},
    {0x80004005u, "Unspecified error\r\n"},
    {0x80070057u, "The parameter is incorrect.\r\n"},
};
}  // namespace

DWORD FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPSTR lpBuffer, DWORD nSize, void*)
{
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || !lpBuffer)
        return 0;
    const char* text = nullptr;
    for (const SystemText& t : kTexts)
        if (t.code == dwMessageId)
            text = t.text;
    if (!text)
        return 0;
    size_t n = strlen(text);
    if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER)
    {
        char* p = static_cast<char*>(malloc(n + 1));
        if (!p)
            return 0;
        memcpy(p, text, n + 1);
        *reinterpret_cast<char**>(lpBuffer) = p;
        return (DWORD)n;
    }
    if (nSize <= n)
        return 0;
    memcpy(lpBuffer, text, n + 1);
    return (DWORD)n;
}

HANDLE LocalFree(HANDLE hMem)
{
    free(hMem);
    return nullptr;
}
