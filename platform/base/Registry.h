// Registry calls on file-backed hives: HKEY_LOCAL_MACHINE in a system hive that only the
// administrator (euid 0) may change, HKEY_CURRENT_USER in the user's hive. Values under
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Run" are XDG autostart entries, so autorun works
// on the desktop. Locations: PARVEL_HKLM_HIVE, PARVEL_HKCU_HIVE, PARVEL_AUTOSTART_SYSTEM,
// PARVEL_AUTOSTART_USER.
#pragma once

#include "KernelObject.h"
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

typedef DWORD REGSAM;
typedef HKEY* PHKEY;
typedef LONG LSTATUS;

#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)

#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_CREATE_LINK 0x0020u
#define KEY_READ 0x00020019u
#define KEY_WRITE 0x00020006u
#define KEY_ALL_ACCESS 0x000F003Fu

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u

#define REG_OPTION_NON_VOLATILE 0u
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u

#ifndef ERROR_BADKEY
#define ERROR_BADKEY 1010L
#endif

LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                    LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName);
LONG RegCloseKey(HKEY hKey);

PARVEL_BASE_END_EXPORTS
