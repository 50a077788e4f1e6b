#include "Guid.h"

#include <cstring>
#include <sys/random.h>

HRESULT CoCreateGuid(GUID* pGuid)
{
    if (!pGuid)
        return (HRESULT)(int32_t)0x80070057u;  // E_INVALIDARG
    unsigned char bytes[16];
    size_t nDone = 0;
    while (nDone < sizeof(bytes))
    {
        ssize_t n = getrandom(bytes + nDone, sizeof(bytes) - nDone, 0);
        if (n <= 0)
            return (HRESULT)(int32_t)0x80004005u;  // E_FAIL
        nDone += (size_t)n;
    }
    // RFC 4122 version 4, variant 1.
    bytes[6] = (unsigned char)((bytes[6] & 0x0F) | 0x40);
    bytes[8] = (unsigned char)((bytes[8] & 0x3F) | 0x80);
    pGuid->Data1 = (DWORD)bytes[0] << 24 | (DWORD)bytes[1] << 16 | (DWORD)bytes[2] << 8 | bytes[3];
    pGuid->Data2 = (WORD)(bytes[4] << 8 | bytes[5]);
    pGuid->Data3 = (WORD)(bytes[6] << 8 | bytes[7]);
    memcpy(pGuid->Data4, bytes + 8, 8);
    return 0;
}
