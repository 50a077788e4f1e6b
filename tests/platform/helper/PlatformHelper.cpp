// Second process of the platform tests: holds a named mutex, or reads a registry value.
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include "KernelObject.h"
#include "Registry.h"

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "hold-mutex") == 0)
    {
        HANDLE h = CreateMutex(nullptr, FALSE, argv[2]);
        printf("%s\n", h ? (GetLastError() == ERROR_ALREADY_EXISTS ? "existed" : "created") : "failed");
        fflush(stdout);
        for (;;)
            pause(); // until killed
    }
    if (argc == 4 && strcmp(argv[1], "query-hkcu") == 0)
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, argv[2], 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        {
            printf("no key\n");
            return 1;
        }
        char buf[256] = "";
        DWORD cb = sizeof(buf), type = 0;
        LONG rc = RegQueryValueEx(hKey, argv[3], nullptr, &type, (BYTE*)buf, &cb);
        RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
        {
            printf("no value\n");
            return 1;
        }
        printf("%u:%s\n", (unsigned)type, buf);
        return 0;
    }
    return 2;
}
