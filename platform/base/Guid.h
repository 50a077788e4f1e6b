// GUIDs: the record, and fresh random ones.
#pragma once

#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

struct GUID
{
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};

inline bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           __builtin_memcmp(a.Data4, b.Data4, 8) == 0;
}

// A new random (version 4) GUID; 0 (S_OK) on success, negative when no randomness was to be had.
HRESULT CoCreateGuid(GUID* pGuid);

PARVEL_BASE_END_EXPORTS
