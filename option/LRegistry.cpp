#include "LRegistry.h"

#include <cstring>

CLRegistry::CLRegistry() : m_lResult(ERROR_SUCCESS), m_nType(0), m_dwSize(0), m_hKey(nullptr) {}

CLRegistry::~CLRegistry() { Close(); }

BOOL CLRegistry::Open(HKEY hRoot, const char* pszPath, REGSAM samDesired)
{
    Close();
    m_strPath = pszPath;
    m_lResult = RegOpenKeyEx(hRoot, pszPath, 0, samDesired, &m_hKey);
    if (m_lResult != ERROR_SUCCESS)
        m_hKey = nullptr;
    return m_lResult == ERROR_SUCCESS;
}

void CLRegistry::Close()
{
    if (m_hKey)
    {
        m_lResult = RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

BOOL CLRegistry::WriteString(const char* pszText, const char* pszValueName)
{
    if (!m_hKey || !pszText)
        return FALSE;
    const DWORD dwSize = (DWORD)strlen(pszText) + 1;
    m_lResult = RegSetValueEx(m_hKey, pszValueName, 0, REG_SZ, (const BYTE*)pszText, dwSize);
    m_dwSize = dwSize;
    m_nType = 1;
    return m_lResult == ERROR_SUCCESS;
}

BOOL CLRegistry::QueryValue(const char* pszValueName)
{
    if (!m_hKey)
        return FALSE;
    DWORD dwType = REG_NONE;
    DWORD cbData = 0;
    m_lResult = RegQueryValueEx(m_hKey, pszValueName, nullptr, &dwType, nullptr, &cbData);
    return m_lResult == ERROR_SUCCESS;
}

BOOL CLRegistry::DeleteValue(const char* pszValueName)
{
    if (!m_hKey)
        return FALSE;
    m_lResult = RegDeleteValue(m_hKey, pszValueName);
    return m_lResult == ERROR_SUCCESS;
}
