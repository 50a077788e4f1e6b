// A small wrapper of one open registry key.
#pragma once

#include "CString.h"
#include "Registry.h"

class CLRegistry
{
public:
    CLRegistry();
    virtual ~CLRegistry();
    CLRegistry(const CLRegistry&) = delete;
    CLRegistry& operator=(const CLRegistry&) = delete;

    BOOL Open(HKEY hRoot, const char* pszPath, REGSAM samDesired = KEY_ALL_ACCESS);
    void Close();
    BOOL IsOpen() const { return m_hKey != nullptr; }

    // Writes the text as a REG_SZ value, its terminating NUL included.
    BOOL WriteString(const char* pszText, const char* pszValueName);
    // TRUE when the key holds a value of that name.
    BOOL QueryValue(const char* pszValueName);
    BOOL DeleteValue(const char* pszValueName);

    LONG GetLastResult() const { return m_lResult; }

private:
    LONG m_lResult;
    int m_nType;
    DWORD m_dwSize;
    HKEY m_hKey;
    CString m_strPath;
};
